#include "forms/win32/font_scale.h"

#include <algorithm>
#include <vector>

#include "forms/win32/wide.h"

namespace win32 {
namespace {

// The design was made in Tahoma 8 pt at 96 DPI.
constexpr wchar_t kDesignFace[] = L"Tahoma";
constexpr int kDesignFontHeight = -11;
constexpr double kTwipsPerDesignPixel = 15;
// A label taller than this wraps by design, so its width is no measure.
constexpr int kOneLineLabel = 510;

int TextWidth(HDC dc, const std::string& text) {
  std::wstring wide = Wide(text);
  RECT r{0, 0, 0, 0};
  DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &r, DT_CALCRECT | DT_SINGLELINE);
  return r.right;
}

// The pixels a control's caption or widest item takes in the DC's font,
// with the check mark or drop arrow the system draws beside it; 0 when its
// width is free.
int CaptionWidth(HDC dc, const forms::Control& c, UINT dpi) {
  using forms::Kind;
  switch (c.kind()) {
    case Kind::Frame:
    case Kind::CommandButton:
      return c.text().empty() ? 0 : TextWidth(dc, c.text());
    case Kind::Label:
      return c.text().empty() || c.height() > kOneLineLabel ? 0 : TextWidth(dc, c.text());
    case Kind::CheckBox:
    case Kind::OptionButton:
      return TextWidth(dc, c.text()) + GetSystemMetricsForDpi(SM_CXMENUCHECK, dpi);
    case Kind::ComboBox: {
      int widest = 0;
      for (const std::string& item : static_cast<const forms::ComboBox&>(c).items())
        widest = std::max(widest, TextWidth(dc, item));
      return widest ? widest + GetSystemMetricsForDpi(SM_CXVSCROLL, dpi) : 0;
    }
    default:
      return 0;
  }
}

}  // namespace

Scale FontScale(const forms::Form& form, HWND hwnd, HFONT font, UINT dpi) {
  LOGFONTW designFace{};
  designFace.lfHeight = kDesignFontHeight;
  designFace.lfWeight = FW_NORMAL;
  lstrcpynW(designFace.lfFaceName, kDesignFace, LF_FACESIZE);
  HFONT designFont = CreateFontIndirectW(&designFace);

  HDC dc = GetDC(hwnd);
  HGDIOBJ old = SelectObject(dc, designFont);
  TEXTMETRICW design{}, now{};
  GetTextMetricsW(dc, &design);
  std::vector<int> designWidths;
  for (const auto& control : form.controls()) designWidths.push_back(CaptionWidth(dc, *control, 96));
  SelectObject(dc, font);
  GetTextMetricsW(dc, &now);

  double byDpi = dpi / 96.0;
  double x = std::max(byDpi, double(now.tmAveCharWidth) / design.tmAveCharWidth);
  double y = std::max(byDpi, double(now.tmHeight) / design.tmHeight);
  const auto& all = form.controls();
  for (size_t i = 0; i < all.size(); ++i)
    if (designWidths[i]) x = std::max(x, double(CaptionWidth(dc, *all[i], dpi)) / designWidths[i]);
  SelectObject(dc, old);
  ReleaseDC(hwnd, dc);
  DeleteObject(designFont);
  return {x / kTwipsPerDesignPixel, y / kTwipsPerDesignPixel};
}

RECT PlaceOf(const forms::Control& control, const Scale& scale) {
  POINT at{control.left(), control.top()};
  for (const forms::Control* in = control.container(); in != nullptr; in = in->container()) {
    at.x += in->left();
    at.y += in->top();
  }
  LONG bottom = at.y + control.height();
  auto stacked = [](const forms::Control& c) {
    return c.kind() == forms::Kind::CheckBox || c.kind() == forms::Kind::OptionButton;
  };
  if (stacked(control)) {
    for (const auto& other : control.form().controls()) {
      if (other.get() == &control || !stacked(*other) || other->container() != control.container())
        continue;
      bool below = other->top() > control.top() && other->top() < control.top() + control.height();
      bool beside = other->left() < control.left() + control.width() &&
                    control.left() < other->left() + other->width();
      if (below && beside) bottom = std::min(bottom, at.y + other->top() - control.top());
    }
  }
  return {scale.X(at.x), scale.Y(at.y), scale.X(at.x + control.width()), scale.Y(bottom)};
}

}  // namespace win32
