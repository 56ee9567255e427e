#pragma once
// Drives real controls from outside, as a user or an automation tool would:
// finds them by their VorlaneName and sends them window messages.

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace native {

// The control of a top-level window whose VorlaneName is name, or null.
HWND Find(HWND top, const std::string& name);
std::string Text(HWND hwnd);
// Lets queued messages run.
void Pump();
// Polls the condition every 50 ms, letting messages run, until it holds;
// false when it still does not after the time.
bool WaitFor(const std::function<bool()>& condition, int milliseconds);
// Sets the text as if typed and releases the key.
void Type(HWND edit, const std::string& text);
// Picks a list item and sends the notification a user's pick sends.
void Pick(HWND combo, int index);
void Click(HWND button);
// Clicks an item of a list box with the mouse.
void ClickItem(HWND list, int index);
std::vector<std::string> Items(HWND list);
// Runs steps once from inside the next modal loop of this thread: the way to
// drive a dialog that a click shows modally. With `ready`, the steps wait
// until it holds: for a dialog that opens later, at the end of a run.
void WhileModal(std::function<void()> steps, std::function<bool()> ready = {});

// For windows of another process, which answer only while their thread
// takes messages: the text of a control, or nullopt when it did not answer
// within the time.
std::optional<std::string> TextOfOther(HWND hwnd, UINT milliseconds = 2000);
// Presses a button of another process's message box.
void Press(HWND box, int button);

}  // namespace native
