#pragma once
// The read-only multi-line boxes (the call string, "What It Does", the
// output): a text view of the project's own. It draws only the rows in view,
// straight from the text box's own text, with an index of where each row
// starts, so setting or adding text costs its length and nothing more,
// however long the text and its lines. A box of streamed output keeps its
// columns and scrolls sideways; any other wraps its words at its width. It
// scrolls, selects with mouse and keyboard, copies, and answers the messages
// a multi-line edit answers for its text, selection and lines.

#include <windows.h>

#include "forms/controls.h"

namespace win32 {

inline constexpr wchar_t kTextViewClass[] = L"VorlaneText";

// Whether the box is drawn by a text view.
bool IsTextView(const forms::Control& control);

void RegisterTextView(HINSTANCE instance);
// Creates the view of `box` (passed as the creation parameter).
HWND CreateTextView(HINSTANCE instance, HWND parent, int id, forms::TextBox& box);
// The box's text was replaced, grew at its end, or its caret moved.
void TextChanged(HWND view, forms::Prop prop);

}  // namespace win32
