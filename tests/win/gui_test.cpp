// The real main window under wine, driven through its native controls.

#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>
#include <gtest/gtest.h>

#include <set>

#include "editors/frm_ace.h"
#include "editors/frm_change.h"
#include "editors/frm_trustee.h"
#include "backup/frm_backup.h"
#include "backup/frm_browse.h"
#include "setup/frm_settings.h"
#include "forms/input_box.h"
#include "forms/win32/win32_backend.h"
#include "tests/native/fakes.h"
#include "platform/win32/wide.h"
#include "tests/win/dialog_checks.h"
#include "tests/win/native_window.h"

using native::Find;
using native::Text;

namespace {

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
  EXPECT_EQ(client.bottom, scale.Y(10455));
  LONG style = GetWindowLongW(top, GWL_STYLE);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_TRUE(style & WS_MAXIMIZEBOX);
  EXPECT_TRUE(style & WS_THICKFRAME);

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
  EXPECT_FALSE(IsWindowVisible(at("fraOptions")));
  EXPECT_FALSE(IsWindowVisible(at("cmdSendIt")));
  EXPECT_TRUE(IsWindowVisible(at("cmdBrowse")));
  EXPECT_TRUE(GetWindowLongW(at("txtCallString"), GWL_STYLE) & ES_READONLY);
  EXPECT_TRUE(GetWindowLongW(at("txtCallString"), GWL_STYLE) & ES_MULTILINE);
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

// Text put in from outside (a paste, an assistive or scripting tool) is the
// model's text at once, and still rebuilds nothing without a key release.
TEST_F(Gui, TextSetFromOutsideReachesTheModel) {
  FrmSettings& settings = program.app.frmSettings();
  settings.show();
  HWND location = Find(backend.window(&settings), "txtLocation");
  for (auto [hwnd, box] : {std::pair{at("txtObjName"), &main.txtObjName},
                           std::pair{at("txtOwner"), &main.txtOwner},
                           std::pair{location, &settings.txtLocation}}) {
    SetWindowTextW(hwnd, L"C:\\Pasted");
    EXPECT_EQ(box->text(), "C:\\Pasted") << box->codeName();
  }
  settings.hide();
  EXPECT_EQ(call(), "SetACL.exe -on \"\" -ot file");
  EXPECT_FALSE(IsWindowVisible(at("fraOptions")));
}

// What a screen reader announces for each input control: the caption of the
// label or frame that names it on screen.
TEST_F(Gui, InputControlsAreNamedByTheirLabels) {
  App& app = program.app;
  program.state.EditListKind = "Filter";
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
           {app.frmAce(), "txtName", "Name"}, {app.frmAce(), "cboModeDacl", "Mode DACL"},
           {app.frmAce(), "cboWhere", "Where"}, {app.frmTrustee(), "txtName2", "Name Two"},
           {app.frmTrustee(), "cboWhere", "Where"}, {app.frmBackup(), "txtFileName", "File Name"},
           {app.frmSettings(), "txtLocation", "SetAcl.exe Location"},
           {app.frmBrowse(), "fleBrowse", "Choose File"},
           {app.frmChange(), "txtChange", "Filter list"}}) {
    if (&c.form != &main) c.form.show();
    IAccessible* accessible = nullptr;
    ASSERT_EQ(AccessibleObjectFromWindow(Find(backend.window(&c.form), c.control), OBJID_CLIENT,
                                         IID_IAccessible, reinterpret_cast<void**>(&accessible)),
              S_OK) << c.control;
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    EXPECT_EQ(accessible->get_accName(self, &name), S_OK) << c.control;
    EXPECT_EQ(win32::Utf8(name ? name : L""), c.name) << c.control;
    SysFreeString(name);
    if (std::string(c.control) == "txtOutputs") {  // the output view: a read-only text
      main.txtOutputs.append("done\r\n");
      VARIANT role{};
      BSTR value = nullptr;
      EXPECT_EQ(accessible->get_accRole(self, &role), S_OK);
      EXPECT_EQ(role.lVal, ROLE_SYSTEM_TEXT);
      EXPECT_EQ(accessible->get_accValue(self, &value), S_OK);
      EXPECT_EQ(win32::Utf8(value ? value : L""), "done\r\n");
      SysFreeString(value);
    }
    accessible->Release();
    if (&c.form != &main) c.form.hide();
  }
}

TEST_F(Gui, BrowseAndCancelThroughTheButton) {
  program.browser.results = {"C:\\Picked", ""};
  native::Click(at("cmdBrowse"));
  EXPECT_EQ(Text(at("txtObjName")), "C:\\Picked");
  EXPECT_TRUE(IsWindowVisible(at("fraOptions")));
  native::Click(at("cmdBrowse"));
  EXPECT_EQ(Text(at("txtObjName")), "");
  EXPECT_FALSE(IsWindowVisible(at("fraOptions")));
}

TEST_F(Gui, CodeChangesReachTheControlsAndResetRunsThroughThem) {
  native::Type(at("txtObjName"), "x");
  native::Pick(at("cboClr"), 2);
  native::Type(at("txtLogFile"), "a.log");
  main.cmdAceNum.setText("5");
  EXPECT_EQ(Text(at("cmdAceNum")), "5");
  program.dialogs.expect({"Are you sure you want to remove all options?", "Remove All Options?",
                          forms::Buttons::YesNo},
                         forms::Answer::Yes);
  native::Click(at("cmdResetOptions"));
  EXPECT_EQ(Text(at("cmdAceNum")), "0");
  EXPECT_EQ(SendMessageW(at("cboClr"), CB_GETCURSEL, 0, 0), 0);
  EXPECT_EQ(Text(at("txtLogFile")), "");
  EXPECT_EQ(call(), "SetACL.exe -on \"x\" -ot file");
}

// The output box: pieces appended show at once and scroll it to its end; the
// mouse selects and the selection copies; a larger window gives it the room.
TEST_F(Gui, OutputBoxAppendsSelectsCopiesAndGrows) {
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
  FrmAce& ace = program.app.frmAce();
  bool drove = false;
  native::WhileModal([&] {
    HWND dialog = backend.window(&ace);
    native::ExpectModalDialog(dialog, top);
    EXPECT_EQ(Text(dialog), "Files/Dirs");
    EXPECT_EQ(native::WindowHeight(dialog), backend.scale(ace).Y(FrmAce::kClosedHeight));
    EXPECT_FALSE(IsWindowVisible(Find(dialog, "fraAdvanced")));
    native::Type(Find(dialog, "txtName"), "Everyone");
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
  native::Click(at("cmdAce"));
  EXPECT_TRUE(drove);
  EXPECT_TRUE(IsWindowEnabled(top));
  EXPECT_EQ(call(), "SetACL.exe -on \"C:\\Data\" -ot file -actn ace "
                    "-ace \"n:Everyone;p:full,traverse;i:so;m:set;w:dacl\" ");
  EXPECT_EQ(Text(at("cmdAceNum")), "1");
}

TEST_F(Gui, TrusteeEditorReachesTheCallString) {
  native::Type(at("txtObjName"), "C:\\Data");
  FrmTrustee& trustee = program.app.frmTrustee();
  bool drove = false;
  native::WhileModal([&] {
    HWND dialog = backend.window(&trustee);
    native::ExpectModalDialog(dialog, top);
    EXPECT_EQ(Text(dialog), "Add Trustee");
    EXPECT_FALSE(IsWindowVisible(Find(dialog, "txtName2")));
    native::Pick(Find(dialog, "cboTrusteeAction"), 1);
    EXPECT_TRUE(IsWindowVisible(Find(dialog, "txtName2")));
    native::Type(Find(dialog, "txtName1"), "Users");
    native::Type(Find(dialog, "txtName2"), "Guests");
    native::Click(Find(dialog, "chkName2"));
    native::Pick(Find(dialog, "cboWhere"), 2);
    native::Click(Find(dialog, "cmdSave"));
    drove = true;
    if (trustee.visible()) trustee.hide();
  });
  native::Click(at("cmdTrst"));
  EXPECT_TRUE(drove);
  EXPECT_EQ(call(), "SetACL.exe -on \"C:\\Data\" -ot file -actn trustee "
                    "-trst \"n1:Users;n2:Guests;s2:y;ta:repltrst;w:dacl,sacl\"");
  EXPECT_EQ(Text(at("cmdTrstNum")), "1");
}

TEST_F(Gui, EntryListEditorSavesAnEditedList) {
  native::Type(at("txtObjName"), "C:\\Data");
  program.state.FilterList = " -fltr \"old\"";
  program.dialogs.expect({"Are you sure you want to save", "Save Changes?", forms::Buttons::YesNo},
                         forms::Answer::Yes);
  bool drove = false;
  native::WhileModal([&] {
    FrmChange& change = program.app.frmChange();
    HWND dialog = backend.window(&change);
    native::ExpectModalDialog(dialog, top);
    EXPECT_EQ(Text(dialog), "Filter Change");
    HWND text = Find(dialog, "txtChange");
    EXPECT_EQ(Text(text), " -fltr \"old\"");
    // Set from outside, as UI Automation's value pattern does: a multi-line
    // box reports no change for it.
    SetWindowTextW(text, L" -fltr \"new\"");
    native::Click(Find(dialog, "cmdCount(0)"));
    EXPECT_EQ(Text(at("cmdFilterNum")), "1");
    native::Click(Find(dialog, "cmdSave"));
    drove = true;
    if (change.visible()) change.hide();
  });
  native::Click(at("cmdFilterNum"));
  EXPECT_TRUE(drove);
  EXPECT_EQ(call(), "SetACL.exe -on \"C:\\Data\" -ot file -fltr \"new\"");
}
