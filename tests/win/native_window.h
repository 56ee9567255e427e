#pragma once
// Drives real controls from outside, as a user or an automation tool would:
// finds them by their VorlaneName and sends them window messages.

#include <windows.h>

#include <string>

namespace native {

// The control of a top-level window whose VorlaneName is name, or null.
HWND Find(HWND top, const std::string& name);
std::string Text(HWND hwnd);
// Lets queued messages run.
void Pump();
// Sets the text as if typed and releases the key.
void Type(HWND edit, const std::string& text);
// Picks a list item and sends the notification a user's pick sends.
void Pick(HWND combo, int index);
void Click(HWND button);
int Px(int twips, HWND hwnd);

}  // namespace native
