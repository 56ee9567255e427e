#include "forms/win32/control_windows.h"

#include <commctrl.h>

#include <algorithm>
#include <memory>

#include "forms/win32/accessible_name.h"
#include "forms/win32/text_view.h"
#include "forms/win32/wide.h"

namespace win32 {
namespace {

constexpr int kFirstId = 100;
constexpr int kOneLine = 300;  // twips
constexpr wchar_t kNameProperty[] = L"VorlaneName";

struct NativeKind {
  const wchar_t* cls;
  DWORD style;
  DWORD exStyle;
};

NativeKind KindOf(const forms::Control& control) {
  using forms::Kind;
  switch (control.kind()) {
    case Kind::Frame:
      return {L"BUTTON", BS_GROUPBOX, 0};
    case Kind::Label:
      // A label one line high ends in an ellipsis rather than wrapping into
      // a line it has no room for.
      return {L"STATIC", static_cast<DWORD>(control.rect().height <= kOneLine ? SS_LEFT | SS_ENDELLIPSIS : SS_LEFT), 0};
    case Kind::TextBox: {
      auto& box = static_cast<const forms::TextBox&>(control);
      DWORD style = WS_TABSTOP | (box.readOnly() ? ES_READONLY : 0);
      style |= box.multiLine() ? ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL : ES_AUTOHSCROLL;
      return {L"EDIT", style, WS_EX_CLIENTEDGE};
    }
    case Kind::ComboBox:
      return {L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0};
    case Kind::CheckBox:
      return {L"BUTTON", BS_3STATE | WS_TABSTOP, 0};
    case Kind::OptionButton:
      return {L"BUTTON", BS_RADIOBUTTON | WS_TABSTOP, 0};
    case Kind::CommandButton:
      return {L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0};
    case Kind::FileListBox:
      return {L"LISTBOX", LBS_NOTIFY | WS_VSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
    case Kind::TabStrip:
      return {WC_TABCONTROLW, WS_TABSTOP | WS_CLIPSIBLINGS, 0};
    case Kind::ListView:
      return {WC_LISTVIEWW, LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS | LVS_SINGLESEL | WS_TABSTOP,
              WS_EX_CLIENTEDGE};
    case Kind::Form:
      break;
  }
  return {L"STATIC", 0, 0};
}

bool IsEdit(const forms::Control& c) { return c.kind() == forms::Kind::TextBox && !IsTextView(c); }

bool TakesInput(const forms::Control& c) {
  return c.kind() == forms::Kind::TextBox || c.kind() == forms::Kind::ComboBox ||
         c.kind() == forms::Kind::FileListBox || c.kind() == forms::Kind::ListView;
}

// The table's columns anew and its row count: the rows stay in the model and
// the list asks for the texts it shows, so a table of a million rows costs no
// more to show than one of ten. Each column is as wide as its widest text
// among the head and the first rows.
void FillTable(HWND hwnd, const forms::ListView& table) {
  SendMessageW(hwnd, LVM_SETITEMCOUNT, 0, 0);
  while (SendMessageW(hwnd, LVM_DELETECOLUMN, 0, 0)) {
  }
  for (std::size_t i = 0; i < table.columns().size(); ++i) {
    std::wstring head = Wide(table.columns()[i]);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_SUBITEM;
    column.pszText = head.data();
    column.iSubItem = static_cast<int>(i);
    SendMessageW(hwnd, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
  }
  SendMessageW(hwnd, LVM_SETITEMCOUNT, table.rows().size(), LVSICF_NOSCROLL);
  // Measured here: the system's own sizing leaves the last column out.
  constexpr std::size_t kMeasuredRows = 500;
  const int padding = MulDiv(16, GetDpiForWindow(hwnd), 96);
  for (std::size_t i = 0; i < table.columns().size(); ++i) {
    auto width = [&](const std::string& text) {
      std::wstring wide = Wide(text);
      return static_cast<int>(SendMessageW(hwnd, LVM_GETSTRINGWIDTHW, 0,
                                           reinterpret_cast<LPARAM>(wide.c_str()))) + padding;
    };
    int widest = width(table.columns()[i]);
    for (std::size_t r = 0; r < std::min(table.rows().size(), kMeasuredRows); ++r)
      if (i < table.rows()[r].size()) widest = std::max(widest, width(table.rows()[r][i]));
    SendMessageW(hwnd, LVM_SETCOLUMNWIDTH, i, widest);
  }
}

// The text the list asks for, copied into the buffer it offers.
void ShowCell(const forms::ListView& table, LVITEMW& item) {
  if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0) return;
  std::wstring text;
  const auto row = static_cast<std::size_t>(item.iItem), column = static_cast<std::size_t>(item.iSubItem);
  if (row < table.rows().size() && column < table.rows()[row].size()) text = Wide(table.rows()[row][column]);
  const std::size_t length = std::min(text.size(), static_cast<std::size_t>(item.cchTextMax - 1));
  std::copy_n(text.data(), length, item.pszText);
  item.pszText[length] = L'\0';
}

// The one row selected and in view; none for -1.
void SelectRow(HWND hwnd, int row) {
  LVITEMW state{};
  state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(hwnd, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
  if (row < 0) return;
  state.state = state.stateMask;
  SendMessageW(hwnd, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
  SendMessageW(hwnd, LVM_ENSUREVISIBLE, row, FALSE);
}

int Depth(const forms::Control& control) {
  int depth = 0;
  for (const forms::Control* c = control.container(); c != nullptr; c = c->container()) ++depth;
  return depth;
}

// What a control's window keeps beside it: its name, and for input
// controls the link their accessible objects read the control through.
struct Subclassed {
  forms::Control& control;
  const ControlWindows& windows;
  ATOM name;
  std::unique_ptr<AccessibleLink> accessible;
};

// Every control's window: input controls answer assistive tools; text
// boxes report their key release and typed characters (Enter stays with the
// box, for its key handler) and take text set from outside into the model
// (a multi-line box reports no change for it); and as the window goes, its
// name and accessible link go with it.
LRESULT CALLBACK ControlProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                             DWORD_PTR data) {
  auto& s = *reinterpret_cast<Subclassed*>(data);
  const bool edit = IsEdit(s.control);
  switch (msg) {
    case WM_GETOBJECT:
      if (s.accessible)
        if (LRESULT r = s.accessible->answer(hwnd, wp, lp)) return r;
      break;
    case WM_GETDLGCODE: {
      if (!edit) break;
      LRESULT code = DefSubclassProc(hwnd, msg, wp, lp);
      auto* m = reinterpret_cast<const MSG*>(lp);
      if (m && m->message == WM_KEYDOWN && m->wParam == VK_RETURN) code |= DLGC_WANTMESSAGE;
      return code;
    }
    case WM_SETTEXT: {
      if (!edit) break;
      LRESULT r = DefSubclassProc(hwnd, msg, wp, lp);
      if (!s.windows.mirroring())
        static_cast<forms::TextBox&>(s.control).userEdit(WindowText(hwnd));
      return r;
    }
    case WM_CHAR:
      if (!edit) break;
      static_cast<forms::TextBox&>(s.control).userKeyPress(static_cast<int>(wp));
      if (wp == VK_RETURN && !static_cast<forms::TextBox&>(s.control).multiLine()) return 0;
      break;
    case WM_KEYUP: {
      if (!edit) break;
      LRESULT r = DefSubclassProc(hwnd, msg, wp, lp);
      static_cast<forms::TextBox&>(s.control).userKeyUp(static_cast<int>(wp));
      return r;
    }
    case WM_NCDESTROY:
      RemovePropW(hwnd, kNameProperty);
      GlobalDeleteAtom(s.name);
      RemoveWindowSubclass(hwnd, ControlProc, 0);
      delete &s;
      break;
    default:
      break;
  }
  return DefSubclassProc(hwnd, msg, wp, lp);
}

}  // namespace

ControlWindows::ControlWindows(forms::Form& form, HWND parent, HINSTANCE instance) : form_(form) {
  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0,
                             0, 0, parent, nullptr, instance, nullptr);
  const auto& all = form.controls();
  windows_.resize(all.size());
  for (std::size_t i = 0; i < all.size(); ++i) {
    forms::Control& c = *all[i];
    places_[&c] = i;
    const int id = kFirstId + static_cast<int>(i);
    NativeKind kind = KindOf(c);
    HWND hwnd = IsTextView(c)
                    ? CreateTextView(instance, parent, id, static_cast<forms::TextBox&>(c))
                    : CreateWindowExW(kind.exStyle, kind.cls, Wide(c.text()).c_str(),
                                      WS_CHILD | kind.style, 0, 0, 0, 0, parent,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance,
                                      nullptr);
    windows_[i] = hwnd;
    ATOM name = GlobalAddAtomW(Wide(c.codeName()).c_str());
    SetPropW(hwnd, kNameProperty, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(name)));
    auto* subclassed = new Subclassed{c, *this, name,
                                      TakesInput(c) ? std::make_unique<AccessibleLink>(c) : nullptr};
    SetWindowSubclass(hwnd, ControlProc, 0, reinterpret_cast<DWORD_PTR>(subclassed));
    // No limit but memory, as for the text the model holds.
    if (IsEdit(c)) SendMessageW(hwnd, EM_SETLIMITTEXT, 0, 0);
    if (c.kind() == forms::Kind::ListView)
      SendMessageW(hwnd, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    if (!c.tooltip().empty()) {
      std::wstring tip = Wide(c.tooltip());
      TTTOOLINFOW ti{};
      ti.cbSize = sizeof ti;
      ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
      ti.hwnd = parent;
      ti.uId = reinterpret_cast<UINT_PTR>(hwnd);
      ti.lpszText = tip.data();
      SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    }
    bool list = dynamic_cast<forms::ListControl*>(&c) || c.kind() == forms::Kind::ListView;
    mirror(c, list ? forms::Prop::List : forms::Prop::Value);
    mirror(c, forms::Prop::Enabled);
  }

  // Tab order is window order: focusable controls by tab index, frames and
  // tab strips beneath all, so what stands on them is drawn over them.
  std::vector<std::size_t> order(all.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  auto beneath = [](const forms::Control& c) {
    return c.kind() == forms::Kind::Frame || c.kind() == forms::Kind::TabStrip;
  };
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    bool fa = beneath(*all[a]), fb = beneath(*all[b]);
    if (fa != fb) return fb;
    if (fa) return Depth(*all[a]) > Depth(*all[b]);
    return all[a]->tabIndex() < all[b]->tabIndex();
  });
  HWND after = HWND_TOP;
  for (std::size_t i : order) {
    SetWindowPos(windows_[i], after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    after = windows_[i];
  }
}

HWND ControlWindows::of(const forms::Control& control) const {
  auto it = places_.find(&control);
  return it == places_.end() ? nullptr : windows_[it->second];
}

void ControlWindows::setFont(HFONT font) {
  for (HWND hwnd : windows_) SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

void ControlWindows::showShown() {
  const auto& all = form_.controls();
  for (std::size_t i = 0; i < all.size(); ++i)
    ShowWindow(windows_[i], all[i]->shown() ? SW_SHOWNA : SW_HIDE);
}

void ControlWindows::mirror(forms::Control& c, forms::Prop prop) {
  using forms::Kind;
  using forms::Prop;
  HWND hwnd = of(c);
  if (!hwnd) return;
  // A text view reads the box's own text: it only hears what changed.
  if (IsTextView(c) && (prop == Prop::Text || prop == Prop::Appended || prop == Prop::Caret))
    return TextChanged(hwnd, prop);
  ++mirroring_;
  switch (prop) {
    case Prop::Text:
      SetWindowTextW(hwnd, Wide(c.text()).c_str());
      break;
    case Prop::Caret: {
      WPARAM pos = static_cast<forms::TextBox&>(c).selStart();
      SendMessageW(hwnd, EM_SETSEL, pos, pos);
      SendMessageW(hwnd, EM_SCROLLCARET, 0, 0);
      break;
    }
    case Prop::List: {
      if (c.kind() == Kind::ListView) {
        FillTable(hwnd, static_cast<forms::ListView&>(c));
        SelectRow(hwnd, static_cast<forms::ListView&>(c).selectedRow());
        break;
      }
      auto& list = static_cast<forms::ListControl&>(c);
      if (c.kind() == Kind::TabStrip) {
        SendMessageW(hwnd, TCM_DELETEALLITEMS, 0, 0);
        for (std::size_t i = 0; i < list.items().size(); ++i) {
          std::wstring caption = Wide(list.items()[i]);
          TCITEMW item{};
          item.mask = TCIF_TEXT;
          item.pszText = caption.data();
          SendMessageW(hwnd, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
        }
        SendMessageW(hwnd, TCM_SETCURSEL, static_cast<WPARAM>(list.listIndex()), 0);
        break;
      }
      bool combo = c.kind() == Kind::ComboBox;
      SendMessageW(hwnd, combo ? CB_RESETCONTENT : LB_RESETCONTENT, 0, 0);
      for (const std::string& item : list.items())
        SendMessageW(hwnd, combo ? CB_ADDSTRING : LB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(Wide(item).c_str()));
      [[fallthrough]];
    }
    case Prop::Value:
      if (c.kind() == Kind::ListView)
        SelectRow(hwnd, static_cast<forms::ListView&>(c).selectedRow());
      else if (c.kind() == Kind::TabStrip)
        SendMessageW(hwnd, TCM_SETCURSEL, static_cast<WPARAM>(static_cast<forms::ListControl&>(c).listIndex()), 0);
      else if (c.kind() == Kind::ComboBox || c.kind() == Kind::FileListBox)
        SendMessageW(hwnd, c.kind() == Kind::ComboBox ? CB_SETCURSEL : LB_SETCURSEL,
                     static_cast<WPARAM>(static_cast<forms::ListControl&>(c).listIndex()), 0);
      else if (c.kind() == Kind::CheckBox)
        SendMessageW(hwnd, BM_SETCHECK, static_cast<forms::CheckBox&>(c).value(), 0);
      else if (c.kind() == Kind::OptionButton)
        SendMessageW(hwnd, BM_SETCHECK, static_cast<forms::OptionButton&>(c).value(), 0);
      break;
    case Prop::Enabled:
      EnableWindow(hwnd, c.enabled());
      break;
    case Prop::Focus:
      SetFocus(hwnd);
      break;
    default:
      break;
  }
  --mirroring_;
}

void ControlWindows::notify(NMHDR& header) {
  std::size_t index = header.idFrom - kFirstId;
  const auto& all = form_.controls();
  if (index >= all.size() || windows_[index] != header.hwndFrom) return;
  // The list asks for its texts whenever it draws, mirroring or not.
  if (all[index]->kind() == forms::Kind::ListView && header.code == LVN_GETDISPINFOW)
    return ShowCell(static_cast<const forms::ListView&>(*all[index]), reinterpret_cast<NMLVDISPINFOW&>(header).item);
  if (mirroring_) return;
  if (all[index]->kind() == forms::Kind::TabStrip && header.code == TCN_SELCHANGE)
    static_cast<forms::ListControl&>(*all[index])
        .userPick(static_cast<int>(SendMessageW(header.hwndFrom, TCM_GETCURSEL, 0, 0)));
  if (all[index]->kind() != forms::Kind::ListView) return;
  auto& table = static_cast<forms::ListView&>(*all[index]);
  if (header.code == LVN_COLUMNCLICK) table.userClickColumn(reinterpret_cast<const NMLISTVIEW&>(header).iSubItem);
  if (header.code == LVN_ITEMCHANGED) {
    const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
    if ((change.uChanged & LVIF_STATE) && (change.uNewState & LVIS_SELECTED)) table.userSelect(change.iItem);
  }
}

void ControlWindows::command(WORD id, WORD code, HWND hwnd) {
  std::size_t index = id - kFirstId;
  const auto& all = form_.controls();
  if (mirroring_ || index >= all.size() || windows_[index] != hwnd) return;
  forms::Control& c = *all[index];
  switch (c.kind()) {
    case forms::Kind::CommandButton:
      if (code == BN_CLICKED) static_cast<forms::CommandButton&>(c).userClick();
      break;
    case forms::Kind::CheckBox:
      if (code == BN_CLICKED) static_cast<forms::CheckBox&>(c).userClick();
      break;
    case forms::Kind::OptionButton:
      if (code == BN_CLICKED) static_cast<forms::OptionButton&>(c).userClick();
      break;
    case forms::Kind::ComboBox:
      if (code == CBN_SELCHANGE)
        static_cast<forms::ListControl&>(c).userPick(
            static_cast<int>(SendMessageW(hwnd, CB_GETCURSEL, 0, 0)));
      break;
    case forms::Kind::FileListBox:
      if (code == LBN_SELCHANGE)
        static_cast<forms::ListControl&>(c).userPick(
            static_cast<int>(SendMessageW(hwnd, LB_GETCURSEL, 0, 0)));
      break;
    case forms::Kind::TextBox:
      if (code == EN_CHANGE) static_cast<forms::TextBox&>(c).userEdit(WindowText(hwnd));
      break;
    default:
      break;
  }
}

}  // namespace win32
