// The real main window under wine, driven through its native controls.

#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>
#include <gtest/gtest.h>

#include <set>

#include "backup/frm_backup.h"
#include "backup/frm_browse.h"
#include "backup/frm_changes.h"
#include "backup/frm_runs.h"
#include "editors/frm_ace.h"
#include "editors/frm_change.h"
#include "editors/frm_trustee.h"
#include "setup/frm_settings.h"
#include "forms/input_box.h"
#include "forms/win32/text_view.h"
#include "forms/win32/win32_backend.h"
#include "tests/native/fakes.h"
#include "forms/win32/wide.h"
#include "tests/win/dialog_checks.h"
#include "tests/win/native_window.h"

using native::Find;
using native::Text;

namespace {

VARIANT Self() {
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  return self;
}

IAccessible* Accessible(HWND hwnd) {
  IAccessible* accessible = nullptr;
  AccessibleObjectFromWindow(hwnd, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&accessible));
  return accessible;
}

std::string Name(IAccessible* accessible) {
  BSTR name = nullptr;
  if (!accessible || accessible->get_accName(Self(), &name) != S_OK) return "(no name)";
  std::string text = win32::Utf8(name ? name : L"");
  SysFreeString(name);
  return text;
}

class Gui : public ::testing::Test {
 protected:
  win32::Win32Backend backend{GetModuleHandleW(nullptr)};
  Headless program{&backend};
  FrmMain& main = program.main;
  HWND top = backend.window(&main);
  HWND at(const std::string& name) {
    HWND hwnd = Find(top, name);
    EXPECT_NE(hwnd, nullptr) << name;
    return hwnd;
  }
  std::string call() { return Text(at("txtCallString")); }
};

}  // namespace

TEST_F(Gui, MainWindowAsTheUserSeesIt) {
  ASSERT_NE(top, nullptr);
  EXPECT_EQ(Text(top), "Vorlane ---Front End For SetACL");
  RECT client;
  GetClientRect(top, &client);
  win32::Scale scale = backend.scale(main);
  EXPECT_GE(scale.x * 15, GetDpiForWindow(top) / 96.0);
  EXPECT_EQ(client.right, scale.X(8310));
  EXPECT_EQ(client.bottom, scale.Y(10575));
  const LONG sizable = WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME;
  EXPECT_EQ(GetWindowLongW(top, GWL_STYLE) & sizable, sizable);

  std::set<int> ids;
  for (const auto& control : main.controls()) {
    HWND hwnd = at(control->codeName());
    ids.insert(GetDlgCtrlID(hwnd));
    EXPECT_EQ(Text(hwnd), control->text()) << control->codeName();
    EXPECT_EQ(IsWindowVisible(hwnd) != 0, control->shown()) << control->codeName();
  }
  EXPECT_EQ(ids.size(), main.controls().size());
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(at("txtObjName"), WM_GETFONT, 0, 0));
  EXPECT_NE(font, nullptr);
  EXPECT_NE(font, GetStockObject(SYSTEM_FONT));
  EXPECT_EQ(call(), "SetACL.exe -on \"\" -ot file");
  for (const char* view : {"txtCallString", "txtExplain", "txtOutputs"}) {
    wchar_t cls[32] = {};
    GetClassNameW(at(view), cls, 32);
    EXPECT_EQ(std::wstring(cls), win32::kTextViewClass) << view;
  }
  EXPECT_TRUE(GetWindowLongW(at("CboObjType"), GWL_STYLE) & CBS_DROPDOWNLIST);
}

TEST_F(Gui, TypingPickingAndTickingRebuildTheCallString) {
  native::Type(at("txtObjName"), "C:\\Data");
  EXPECT_TRUE(IsWindowVisible(at("fraOptions")));
  EXPECT_TRUE(IsWindowVisible(at("cmdSendIt")));
  EXPECT_TRUE(IsWindowVisible(at("fraBackupRestore")));
  EXPECT_EQ(call(), "SetACL.exe -on \"C:\\Data\" -ot file");

  native::Pick(at("cboRecursionFile"), 3);
  EXPECT_EQ(call(), "SetACL.exe -on \"C:\\Data\" -ot file -rec cont_obj");
  native::Type(at("txtOwner"), "Bob");
  native::Click(at("chkOwner"));
  EXPECT_EQ(SendMessageW(at("chkOwner"), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(call(),
            "SetACL.exe -on \"C:\\Data\" -ot file -actn setowner -ownr \"n:Bob;s:y\" -rec cont_obj");
  native::Click(at("optSilentYes"));
  EXPECT_EQ(SendMessageW(at("optSilentNo"), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(call(), "SetACL.exe -on \"C:\\Data\" -ot file -actn setowner -ownr \"n:Bob;s:y\" -rec "
                    "cont_obj -silent ");

  native::Pick(at("CboObjType"), 1);
  EXPECT_FALSE(IsWindowVisible(at("cboRecursionFile")));
  EXPECT_TRUE(IsWindowVisible(at("cboRecursionReg")));
  EXPECT_FALSE(IsWindowVisible(at("cmdBrowse")));
  native::Pick(at("CboObjType"), 2);
  EXPECT_FALSE(IsWindowVisible(at("FraRecursion")));
  EXPECT_EQ(call(), "SetACL.exe -on \"C:\\Data\" -ot srv -actn setowner -ownr \"n:Bob;s:y\" -silent ");
}

// Text put in from outside (a paste with the mouse, an assistive or
// scripting tool) is the model's text at once, and the call string follows.
TEST_F(Gui, TextPastedOrSetFromOutsideReachesTheCallString) {
  SetWindowTextW(at("txtObjName"), L"C:\\Pasted");
  SetWindowTextW(at("txtOwner"), L"Bob");
  ASSERT_TRUE(OpenClipboard(top));
  EmptyClipboard();
  const wchar_t log[] = L"a.log";
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, sizeof log);
  std::copy_n(log, std::size(log), static_cast<wchar_t*>(GlobalLock(memory)));
  GlobalUnlock(memory);
  SetClipboardData(CF_UNICODETEXT, memory);
  CloseClipboard();
  SendMessageW(at("txtLogFile"), WM_PASTE, 0, 0);
  EXPECT_EQ(main.txtLogFile.text(), "a.log");
  EXPECT_EQ(call(), "SetACL.exe -on \"C:\\Pasted\" -ot file -actn setowner -ownr \"n:Bob;\" -log "
                    "\"D:\\Tools\\LogFiles\\a.log\"");
  EXPECT_TRUE(IsWindowVisible(at("fraOptions")));
}

// What a screen reader announces for each input control: the caption of the
// label or frame that names it on screen.
TEST_F(Gui, InputControlsAreNamedByTheirLabels) {
  struct Case {
    forms::Form& form;
    const char* control;
    const char* name;
  };
  for (const Case& c : std::initializer_list<Case>{
           {main, "txtObjName", "Object Name"}, {main, "CboObjType", "Object Type"},
           {main, "txtRestore", "File Name"}, {main, "txtOwner", "Set Owner"},
           {main, "txtGroup", "Set Primary Group"}, {main, "cboRstchldrn", "Reset Children"},
           {main, "txtLogFile", "Log File"}, {main, "txtCallString", "Call String"},
           {main, "txtOutputs", "Output"},
           {main.aceEditor(), "txtName", "Name"}, {main.aceEditor(), "cboModeDacl", "Mode DACL"},
           {main.aceEditor(), "cboWhere", "Where"}, {main.trusteeEditor(), "txtName2", "Name Two"},
           {main.trusteeEditor(), "cboWhere", "Where"}, {main.backupWindow(), "txtFileName", "File Name"},
           {main.settingsWindow(), "txtLocation", "SetAcl.exe Location"},
           {main.settingsWindow(), "txtKeepRuns", "Keep the last"},
           {main.settingsWindow(), "txtKeepMegabytes", "Use at most"},
           {main.runsWindow(), "lvwRuns", "Runs"}, {main.changesWindow(), "txtChanges", "Changes"},
           {main.backupChooser(), "fleBrowse", "Choose File"}}) {
    if (&c.form != &main) c.form.show();
    IAccessible* accessible = Accessible(Find(backend.window(&c.form), c.control));
    ASSERT_NE(accessible, nullptr) << c.control;
    EXPECT_EQ(Name(accessible), c.name) << c.control;
    if (std::string(c.control) == "txtOutputs") {  // a text view: a read-only text
      main.txtOutputs.append("done\r\n");
      VARIANT role{};
      BSTR value = nullptr;
      EXPECT_EQ(accessible->get_accRole(Self(), &role), S_OK);
      EXPECT_EQ(role.lVal, ROLE_SYSTEM_TEXT);
      EXPECT_EQ(accessible->get_accValue(Self(), &value), S_OK);
      EXPECT_EQ(win32::Utf8(value ? value : L""), "done\r\n");
      SysFreeString(value);
    }
    accessible->Release();
    if (&c.form != &main) c.form.hide();
  }
  // The list editor's box is named after the list it shows.
  native::WhileModal([&] {
    FrmChange& change = main.listEditor();
    IAccessible* accessible = Accessible(Find(backend.window(&change), "txtChange"));
    EXPECT_EQ(Name(accessible), "Filter list");
    accessible->Release();
    change.hide();
  });
  native::Click(at("cmdFilterNum"));
}

// A window that goes takes its names with it, and an assistive tool still
// holding an object of one of its controls gets an error, not freed memory.
TEST_F(Gui, AClosedWindowLeavesNoNamesAndNoLiveAccessibleObjects) {
  FrmSettings* settings = &main.settingsWindow();
  settings->show();
  IAccessible* accessible = Accessible(Find(backend.window(settings), "txtLocation"));
  ASSERT_NE(accessible, nullptr);
  EXPECT_NE(GlobalFindAtomW(L"txtLocation"), 0);
  settings->userClose();  // its close box unloads it
  native::Pump();
  main.settingsWindow();  // made anew: the old form is gone
  EXPECT_EQ(GlobalFindAtomW(L"txtLocation"), 0);
  BSTR name = nullptr;
  EXPECT_TRUE(FAILED(accessible->get_accName(Self(), &name)));
  EXPECT_TRUE(FAILED(accessible->get_accValue(Self(), &name)));
  accessible->Release();
}

// A window made larger keeps its size when it is laid out again; a new DPI
// gives it the rectangle the system suggests.
TEST_F(Gui, TheUsersSizeAndTheSuggestedRectangleAreKept) {
  RECT design;
  GetWindowRect(top, &design);
  SetWindowPos(top, nullptr, 0, 0, design.right - design.left + 100, design.bottom - design.top,
               SWP_NOMOVE | SWP_NOZORDER);
  main.setWindowHeight(0);  // a layout anew
  RECT kept;
  GetWindowRect(top, &kept);
  EXPECT_EQ(kept.right - kept.left, design.right - design.left + 100);

  MONITORINFO screen{};
  screen.cbSize = sizeof screen;
  GetMonitorInfoW(MonitorFromWindow(top, MONITOR_DEFAULTTONEAREST), &screen);
  RECT suggested = screen.rcWork;
  SendMessageW(top, WM_DPICHANGED, MAKEWPARAM(120, 120), reinterpret_cast<LPARAM>(&suggested));
  RECT now;
  GetWindowRect(top, &now);
  EXPECT_TRUE(EqualRect(&now, &suggested));
  EXPECT_GE(backend.scale(main).x * 15, 1.25);
}

TEST_F(Gui, CodeChangesReachTheControlsAndResetRunsThroughThem) {
  native::Type(at("txtObjName"), "x");
  native::Pick(at("cboClr"), 2);
  native::Type(at("txtLogFile"), "a.log");
  program.dialogs.expect({"Are you sure you want to remove all options?", "Remove All Options?",
                          forms::Buttons::YesNo},
                         forms::Answer::Yes);
  native::Click(at("cmdResetOptions"));
  EXPECT_EQ(SendMessageW(at("cboClr"), CB_GETCURSEL, 0, 0), 0);
  EXPECT_EQ(Text(at("txtLogFile")), "");
  EXPECT_EQ(call(), "SetACL.exe -on \"x\" -ot file");
}

// The output box: pieces appended show at once and scroll it to its end; the
// mouse selects and the selection copies; a larger window gives it the room.
TEST_F(Gui, OutputBoxAppendsSelectsCopiesAndGrows) {
  main.tabPages.userPick(1);
  HWND box = at("txtOutputs");
  std::string all;
  for (int i = 0; i < 2000; ++i) {
    std::string piece = "line " + std::to_string(i) + "\r\n";
    main.txtOutputs.append(piece);
    all += piece;
  }
  main.txtOutputs.append("alpha beta");
  all += "alpha beta";
  EXPECT_TRUE(native::Text(box) == all);
  EXPECT_EQ(SendMessageW(box, EM_GETLINECOUNT, 0, 0), 2001);
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_ALL;
  native::Pump();
  GetScrollInfo(box, SB_VERT, &si);
  EXPECT_EQ(si.nPos + static_cast<int>(si.nPage), 2001);  // the last line in view

  // Drag over "alpha" on the last line, the last row of the view.
  HDC dc = GetDC(box);
  SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(box, WM_GETFONT, 0, 0)));
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  SIZE zero{};
  GetTextExtentPoint32W(dc, L"0", 1, &zero);
  ReleaseDC(box, dc);
  int y = (2000 - si.nPos) * tm.tmHeight + 1;
  SendMessageW(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, y));
  SendMessageW(box, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(5 * zero.cx + 1, y));
  SendMessageW(box, WM_LBUTTONUP, 0, MAKELPARAM(5 * zero.cx + 1, y));
  SendMessageW(box, WM_COPY, 0, 0);
  ASSERT_TRUE(OpenClipboard(top));
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  EXPECT_EQ(data ? win32::Utf8(static_cast<const wchar_t*>(GlobalLock(data))) : "", "alpha");
  if (data) GlobalUnlock(data);
  CloseClipboard();

  RECT before, after;
  GetWindowRect(box, &before);
  ShowWindow(top, SW_MAXIMIZE);
  native::Pump();
  GetWindowRect(box, &after);
  EXPECT_GT(after.bottom - after.top, before.bottom - before.top);
  EXPECT_GT(after.right - after.left, before.right - before.left);
  ShowWindow(top, SW_RESTORE);
}

TEST_F(Gui, TooltipsCarryTheExactTexts) {
  HWND search[2] = {nullptr, top};
  EnumThreadWindows(GetCurrentThreadId(), [](HWND hwnd, LPARAM lp) {
    auto* s = reinterpret_cast<HWND*>(lp);
    wchar_t cls[64];
    GetClassNameW(hwnd, cls, 64);
    if (std::wstring(cls) == TOOLTIPS_CLASSW && GetWindow(hwnd, GW_OWNER) == s[1]) {
      s[0] = hwnd;
      return FALSE;
    }
    return TRUE;
  }, reinterpret_cast<LPARAM>(search));
  ASSERT_NE(search[0], nullptr);
  for (const char* name : {"txtLogFile", "cmdSendIt"}) {
    wchar_t text[256] = {};
    TTTOOLINFOW ti{};
    ti.cbSize = sizeof ti;
    ti.hwnd = top;
    ti.uId = reinterpret_cast<UINT_PTR>(at(name));
    ti.lpszText = text;
    SendMessageW(search[0], TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&ti));
    EXPECT_EQ(win32::Utf8(text), main.find(name)->tooltip()) << name;
  }
}

TEST(GuiInputBox, OkReturnsTheTextCancelTheEmptyText) {
  win32::Win32Backend backend{GetModuleHandleW(nullptr)};
  for (bool ok : {true, false}) {
    forms::InputBox box("What phrase would you like filtered?", "Add Filter", "");
    box.attach(&backend);
    box.show();
    HWND top = backend.window(&box);
    EXPECT_EQ(Text(top), "Add Filter");
    EXPECT_EQ(Text(Find(top, "lblPrompt")), "What phrase would you like filtered?");
    native::Type(Find(top, "txtInput"), "tmp");
    native::Click(Find(top, ok ? "cmdOK" : "cmdCancel"));
    EXPECT_FALSE(IsWindowVisible(top));
    EXPECT_EQ(box.result(), ok ? "tmp" : "");
    backend.unload(box);
  }
}

TEST_F(Gui, AceEditorWithItsAdvancedPanelReachesTheCallString) {
  native::Type(at("txtObjName"), "C:\\Data");
  program.dialogs.expect({"If you make changes to the advanced options, you must \r\n"
                          "leave the advanced options open for the changes to take place",
                          "Leave Options Open For Changes", forms::Buttons::Ok,
                          forms::Icon::Information},
                         forms::Answer::Ok);
  FrmAce& ace = main.aceEditor();
  bool drove = false;
  native::WhileModal([&] {
    HWND dialog = backend.window(&ace);
    native::ExpectModalDialog(dialog, top);
    EXPECT_EQ(Text(dialog), "Files/Dirs");
    EXPECT_EQ(native::WindowHeight(dialog), backend.scale(ace).Y(FrmAce::kClosedHeight));
    EXPECT_FALSE(IsWindowVisible(Find(dialog, "fraAdvanced")));
    native::Type(Find(dialog, "txtName"), "Everyone");
    // Alt+W, as the keyboard sends it to the box with the focus: the modal
    // loop hands it to the form, which moves the focus to "Where".
    PostMessageW(Find(dialog, "txtName"), WM_SYSCHAR, 'w', 0x20110001);
    native::WhileModal([&, dialog] {
      EXPECT_EQ(GetFocus(), Find(dialog, "cboWhere"));
      native::Click(Find(dialog, "cmdAdvanced"));
      EXPECT_EQ(native::WindowHeight(dialog), backend.scale(ace).Y(FrmAce::kOpenHeight));
      EXPECT_TRUE(IsWindowVisible(Find(dialog, "chkDirsAdvTraverse")));
      // Boxes stacked closer than they are high still never overlap.
      RECT read, write, both;
      GetWindowRect(Find(dialog, "chkDirsRead"), &read);
      GetWindowRect(Find(dialog, "chkDirsWrite"), &write);
      EXPECT_FALSE(IntersectRect(&both, &read, &write));
      native::Click(Find(dialog, "chkDirsAdvTraverse"));
      native::Click(Find(dialog, "chkDirsFull"));  // clears the ticked defaults
      EXPECT_EQ(SendMessageW(Find(dialog, "chkDirsRead"), BM_GETCHECK, 0, 0), BST_UNCHECKED);
      native::Click(Find(dialog, "chkSo"));
      native::Click(Find(dialog, "cmdAdd"));
      drove = true;
      if (ace.visible()) ace.hide();  // never leave the loop running
    });
  });
  native::Click(at("cmdAce"));
  EXPECT_TRUE(drove);
  EXPECT_TRUE(IsWindowEnabled(top));
  EXPECT_EQ(call(), "SetACL.exe -on \"C:\\Data\" -ot file -actn ace "
                    "-ace \"n:Everyone;p:full,traverse;i:so;m:set;w:dacl\" ");
  EXPECT_EQ(Text(at("cmdAceNum")), "1");
}

TEST_F(Gui, EntryListEditorSavesAnEditedList) {
  native::Type(at("txtObjName"), "C:\\Data");
  program.addFilter("old");
  program.dialogs.expect({"Are you sure you want to save", "Save Changes?", forms::Buttons::YesNo},
                         forms::Answer::Yes);
  bool drove = false;
  native::WhileModal([&] {
    FrmChange& change = main.listEditor();
    HWND dialog = backend.window(&change);
    native::ExpectModalDialog(dialog, top);
    EXPECT_EQ(Text(dialog), "Filter Change");
    HWND text = Find(dialog, "txtChange");
    EXPECT_EQ(Text(text), " -fltr \"old\" ");
    // Set from outside, as UI Automation's value pattern does: a multi-line
    // box reports no change for it.
    SetWindowTextW(text, L" -fltr \"new\"");
    native::Click(Find(dialog, "cmdCount(0)"));
    EXPECT_EQ(Text(at("cmdFilterNum")), "2");
    native::Click(Find(dialog, "cmdSave"));
    drove = true;
    if (change.visible()) change.hide();
  });
  native::Click(at("cmdFilterNum"));
  EXPECT_TRUE(drove);
  EXPECT_EQ(call(), "SetACL.exe -on \"C:\\Data\" -ot file -fltr \"new\"");
}

// The text views answer for their text in UTF-16, whole or as much as a
// buffer holds without half a pair; the output keeps a long line one row,
// the call string wraps at the box's width.
TEST_F(Gui, TextViewsGiveTheirTextAndTheirRows) {
  main.tabPages.userPick(1);
  HWND box = at("txtOutputs");
  main.txtOutputs.append("ab\xF0\x9F\x98\x80" "cd " + std::string(500, 'x'));
  EXPECT_EQ(SendMessageW(box, WM_GETTEXTLENGTH, 0, 0), 507);
  wchar_t four[4];
  EXPECT_EQ(SendMessageW(box, WM_GETTEXT, 4, reinterpret_cast<LPARAM>(four)), 2);
  EXPECT_EQ(std::wstring(four), L"ab");
  wchar_t five[5];
  EXPECT_EQ(SendMessageW(box, WM_GETTEXT, 5, reinterpret_cast<LPARAM>(five)), 4);
  EXPECT_EQ(std::wstring(five), L"ab\xD83D\xDE00");
  EXPECT_EQ(native::Text(box), "ab\xF0\x9F\x98\x80" "cd " + std::string(500, 'x'));
  EXPECT_EQ(SendMessageW(box, EM_GETLINECOUNT, 0, 0), 1);

  native::Type(at("txtObjName"), "C:\\" + std::string(300, 'd'));
  EXPECT_GT(SendMessageW(at("txtCallString"), EM_GETLINECOUNT, 0, 0), 5);
}

// In a view that wraps, End keeps the caret on its row however often it is
// pressed, and a row as wide as the view never scrolls it sideways.
TEST_F(Gui, EndStaysOnAWrappedRowAndTheViewNeverScrollsSideways) {
  HWND box = at("txtCallString");
  HDC dc = GetDC(box);
  HGDIOBJ was = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(box, WM_GETFONT, 0, 0)));
  SIZE digit{};
  GetTextExtentPoint32W(dc, L"0", 1, &digit);
  SelectObject(dc, was);
  ReleaseDC(box, dc);
  RECT client;
  GetClientRect(box, &client);
  const int columns = client.right / digit.cx;
  auto press = [&](std::initializer_list<WPARAM> keys) {
    for (WPARAM key : keys) SendMessageW(box, WM_KEYDOWN, key, 0);
    DWORD from = 0, to = 0;
    SendMessageW(box, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    POINT caret{};
    GetCaretPos(&caret);
    return std::pair{to, caret};
  };
  std::string words;
  while (static_cast<int>(words.size()) < 4 * columns) words += "word ";
  main.txtCallString.setText(words);
  SetFocus(box);
  auto [end, caret] = press({VK_HOME, VK_END});
  EXPECT_GT(end, 0u);
  EXPECT_EQ(caret.y, 0);
  EXPECT_EQ(press({VK_END, VK_END}).first, end);

  main.txtCallString.setText(std::string(columns, 'x') + "\r\ny");
  SetFocus(box);
  EXPECT_EQ(press({VK_HOME, VK_END, VK_DOWN}).second.x, digit.cx);  // just after the y, its column in view
}
