#pragma once
// Twips are the design unit; pixels follow the dialog font as well as the
// DPI, the way dialog units do, so a larger font or a wider face makes the
// window larger instead of clipping its captions.

#include <windows.h>

#include <cmath>

#include "forms/form.h"

namespace win32 {

struct Scale {
  double x = 1.0 / 15, y = 1.0 / 15;  // pixels per twip
  int X(int twips) const { return static_cast<int>(std::lround(twips * x)); }
  int Y(int twips) const { return static_cast<int>(std::lround(twips * y)); }
  Scale times(double f) const { return {x * f, y * f}; }
};

// The scale for the form drawn in this font at this DPI: as much as the
// font is wider and taller than the design font (Tahoma 8 pt at 96 DPI),
// never below the DPI's own, and wider still where a caption or list item
// grows more than the average: each then fits as it fitted in the design.
Scale FontScale(const forms::Form& form, HWND hwnd, HFONT font, UINT dpi);

// A control's place in its form's client area, in pixels. Edges are scaled
// one by one, so controls that touch in the design touch on the screen; a
// check box or option button ends where the next one below it begins.
RECT PlaceOf(const forms::Control& control, const Scale& scale);

}  // namespace win32
