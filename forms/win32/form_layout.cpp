#include "forms/win32/form_layout.h"

#include <algorithm>
#include <utility>

namespace win32 {
namespace {

constexpr int kComboDropHeight = 200;  // list part of a drop-down, in pixels at 96 DPI

// The part of the window's screen not taken by the task bar.
RECT WorkArea(HWND hwnd) {
  MONITORINFO mi{};
  mi.cbSize = sizeof mi;
  GetMonitorInfoW(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &mi);
  return mi.rcWork;
}

bool Resizable(const forms::Form& form) { return form.style() == forms::Style::Main; }

DWORD Style(HWND hwnd) { return static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE)); }
DWORD ExStyle(HWND hwnd) { return static_cast<DWORD>(GetWindowLongW(hwnd, GWL_EXSTYLE)); }

SIZE SizeOf(const RECT& r) { return {r.right - r.left, r.bottom - r.top}; }

}  // namespace

FormLayout::~FormLayout() {
  if (font_) DeleteObject(font_);
}

// The message font and the scale it and the DPI give; a window that would
// not fit its screen's work area shrinks as a whole, its font with it, the
// frame around the client area staying as it is.
void FormLayout::fit(HWND hwnd, const forms::Form& form) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi_);
  LOGFONTW face = metrics.lfMessageFont;
  if (font_) DeleteObject(font_);
  font_ = CreateFontIndirectW(&face);
  scale_ = FontScale(form, hwnd, font_, dpi_);

  auto outer = [&] {
    SIZE client{scale_.X(form.clientWidth()), scale_.Y(form.clientHeight())};
    RECT r{0, 0, client.cx, client.cy};
    AdjustWindowRectExForDpi(&r, Style(hwnd), FALSE, ExStyle(hwnd), dpi_);
    SIZE size = SizeOf(r);
    if (form.windowHeight()) size.cy = scale_.Y(form.windowHeight());
    return std::pair{size, SIZE{size.cx - client.cx, size.cy - client.cy}};
  };
  auto [size, frame] = outer();
  SIZE work = SizeOf(WorkArea(hwnd));
  double shrink = std::min({1.0, double(work.cx - frame.cx) / (size.cx - frame.cx),
                            double(work.cy - frame.cy) / (size.cy - frame.cy)});
  if (shrink < 1.0) {
    face.lfHeight = static_cast<LONG>(face.lfHeight * shrink);
    DeleteObject(font_);
    font_ = CreateFontIndirectW(&face);
    scale_ = scale_.times(shrink);
    size = outer().first;
  }
  design_ = size;
}

void FormLayout::apply(HWND hwnd, const forms::Form& form, ControlWindows& controls) {
  if (!dpi_) dpi_ = GetDpiForWindow(hwnd);
  fit(hwnd, form);
  // A fixed dialog is its design's size; a window the user sizes keeps what
  // the user made it, but never less than the design.
  if (!IsZoomed(hwnd)) {
    RECT r;
    GetWindowRect(hwnd, &r);
    SIZE size = design_;
    if (Resizable(form) && IsWindowVisible(hwnd))
      size = {std::max(size.cx, r.right - r.left), std::max(size.cy, r.bottom - r.top)};
    // A window grown by code moves up as far as it must to stay on the screen.
    RECT work = WorkArea(hwnd);
    LONG top = r.top + size.cy > work.bottom ? std::max(work.top, work.bottom - size.cy) : r.top;
    SetWindowPos(hwnd, nullptr, r.left, top, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  controls.setFont(font_);
  place(hwnd, form, controls);
}

void FormLayout::dpiChanged(HWND hwnd, const forms::Form& form, ControlWindows& controls, UINT dpi,
                            const RECT& suggested) {
  dpi_ = dpi;
  fit(hwnd, form);
  SIZE size = SizeOf(suggested);
  if (!Resizable(form)) size = design_;
  SetWindowPos(hwnd, nullptr, suggested.left, suggested.top, std::max(size.cx, design_.cx),
               std::max(size.cy, design_.cy), SWP_NOZORDER | SWP_NOACTIVATE);
  controls.setFont(font_);
  place(hwnd, form, controls);
}

void FormLayout::place(HWND hwnd, const forms::Form& form, ControlWindows& controls) const {
  // What the user grew the window by goes to the controls that stretch.
  RECT client;
  GetClientRect(hwnd, &client);
  SIZE extra{std::max<LONG>(0, client.right - scale_.X(form.clientWidth())),
             std::max<LONG>(0, client.bottom - scale_.Y(form.clientHeight()))};
  const auto& all = form.controls();
  HDWP moves = BeginDeferWindowPos(static_cast<int>(all.size()));
  for (std::size_t i = 0; i < all.size() && moves; ++i) {
    RECT r = PlaceOf(*all[i], scale_);
    if (all[i]->stretchesWidth()) r.right += extra.cx;
    if (all[i]->stretchesHeight()) r.bottom += extra.cy;
    if (all[i]->movesDown()) OffsetRect(&r, 0, extra.cy);
    int height = r.bottom - r.top;
    if (all[i]->kind() == forms::Kind::ComboBox) height += MulDiv(kComboDropHeight, dpi_, 96);
    moves = DeferWindowPos(moves, controls[i], nullptr, r.left, r.top, r.right - r.left, height,
                           SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (moves) EndDeferWindowPos(moves);
  // Frames and labels draw on their parent: what they left behind goes too.
  RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
}

}  // namespace win32
