#include "tests/win/native_window.h"

#include "forms/win32/wide.h"

namespace native {

namespace {

struct Search {
  std::wstring name;
  HWND found = nullptr;
};

BOOL CALLBACK Visit(HWND hwnd, LPARAM lp) {
  auto& search = *reinterpret_cast<Search*>(lp);
  auto atom = static_cast<ATOM>(reinterpret_cast<UINT_PTR>(GetPropW(hwnd, L"VorlaneName")));
  wchar_t name[128] = {};
  if (atom && GlobalGetAtomNameW(atom, name, 128) && search.name == name) {
    search.found = hwnd;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

HWND Find(HWND top, const std::string& name) {
  Search search{win32::Wide(name)};
  EnumChildWindows(top, Visit, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string Text(HWND hwnd) { return win32::WindowText(hwnd); }

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

bool WaitFor(const std::function<bool()>& condition, int milliseconds) {
  for (int waited = 0; waited < milliseconds; waited += 50) {
    if (condition()) return true;
    Pump();
    Sleep(50);
  }
  return condition();
}

void Type(HWND edit, const std::string& text) {
  SetWindowTextW(edit, win32::Wide(text).c_str());
  SendMessageW(edit, WM_KEYUP, 'A', 0xC0000001);
  Pump();
}

void Pick(HWND combo, int index) {
  SendMessageW(combo, CB_SETCURSEL, index, 0);
  SendMessageW(GetParent(combo), WM_COMMAND,
               MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
  Pump();
}

void Click(HWND button) {
  SendMessageW(button, BM_CLICK, 0, 0);
  Pump();
}

void ClickItem(HWND list, int index) {
  RECT item{};
  SendMessageW(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item));
  LPARAM at = MAKELPARAM(item.left + 2, (item.top + item.bottom) / 2);
  SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(list, WM_LBUTTONUP, 0, at);
  Pump();
}

std::vector<std::string> Items(HWND list) {
  std::vector<std::string> items;
  int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    std::wstring item(SendMessageW(list, LB_GETTEXTLEN, i, 0) + 1, L'\0');
    item.resize(SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(item.data())));
    items.push_back(win32::Utf8(item));
  }
  return items;
}

void WhileModal(std::function<void()> steps, std::function<bool()> ready) {
  static std::function<void()> pending;
  static std::function<bool()> until;
  pending = std::move(steps);
  until = std::move(ready);
  SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
    if (until && !until()) return;
    KillTimer(nullptr, id);
    auto steps = std::move(pending);
    steps();
  });
}

std::optional<std::string> TextOfOther(HWND hwnd, UINT milliseconds) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, milliseconds, &length))
    return std::nullopt;
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                           SMTO_NORMAL, milliseconds, &copied))
    return std::nullopt;
  text.resize(copied);
  return win32::Utf8(text);
}

void Press(HWND box, int button) {
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
}

}  // namespace native
