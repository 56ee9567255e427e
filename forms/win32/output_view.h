#pragma once
// The output box: a read-only text view for a command's output of any size.
// It draws only the lines in view, straight from the text box's own text,
// with an index of where each line starts; text arriving at the end costs
// only its own length, however much is there and however long its lines.
// It scrolls, selects with mouse and keyboard, copies, and answers the
// messages a multi-line edit answers for its text, selection and lines.

#include <windows.h>

#include "forms/controls.h"

namespace win32 {

inline constexpr wchar_t kOutputViewClass[] = L"VorlaneOutput";

void RegisterOutputView(HINSTANCE instance);
// Creates the view of `box` (passed as the creation parameter).
HWND CreateOutputView(HINSTANCE instance, HWND parent, int id, forms::TextBox& box);
// The box's text was replaced, grew at its end, or its caret moved.
void OutputChanged(HWND view, forms::Prop prop);

}  // namespace win32
