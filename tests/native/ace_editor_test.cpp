// The ACE editor and its advanced panel, opened from the main window.

#include <gtest/gtest.h>

#include <set>

#include "editors/frm_ace.h"
#include "setacl/call_string.h"
#include "tests/native/fakes.h"

namespace {

using forms::Answer;
using forms::Buttons;
using forms::Icon;

// The ticked boxes the user can see.
std::set<std::string> ShownTicked(const forms::Form& form) {
  std::set<std::string> names;
  for (const auto& c : form.controls())
    if (c->kind() == forms::Kind::CheckBox && c->shown() &&
        static_cast<forms::CheckBox&>(*c).ticked())
      names.insert(c->name());
  return names;
}

class AceEditor : public ::testing::Test, public Headless {
 protected:
  AceEditor() { type(main.txtObjName, "C:\\Data"); }
  // The main window set to the object type, then the editor opened.
  FrmAce& open(const std::string& objectType) {
    main.CboObjType.setText(objectType);
    main.cmdAce.userClick();
    return ace;
  }
  forms::CheckBox& box(const std::string& name) {
    auto* found = dynamic_cast<forms::CheckBox*>(ace.find(name));
    EXPECT_NE(found, nullptr) << name;
    return *found;
  }
  void name(const std::string& text) { ace.txtName.userEdit(text); }
  void openAdvanced() {
    dialogs.expect({"If you make changes to the advanced options, you must \r\n"
                    "leave the advanced options open for the changes to take place",
                    "Leave Options Open For Changes", Buttons::Ok, Icon::Information},
                   Answer::Ok);
    ace.cmdAdvanced.userClick();
  }
  std::string aces() const { return ListText(main.command().aces); }
  std::string add() {
    std::string before = aces();
    ace.cmdAdd.userClick();
    return aces().substr(before.size());
  }
  FrmAce& ace = main.aceEditor();
};

}  // namespace

TEST_F(AceEditor, BothWorkedExamplesByteForByte) {
  open("Dir/File");
  name("Everyone");
  ace.chkSo.userClick();
  ace.chkSc.userClick();
  ace.cboModeDacl.userPick(1);
  EXPECT_EQ(add(), "-ace \"n:Everyone;p:read,list_folder,read_ex;i:so,sc;m:grant;w:dacl\" ");
  EXPECT_FALSE(ace.visible());
  EXPECT_EQ(main.cmdAceNum.text(), "1");
  EXPECT_EQ(main.txtCallString.text(),
            "SetACL.exe -on \"C:\\Data\" -ot file -actn ace -ace "
            "\"n:Everyone;p:read,list_folder,read_ex;i:so,sc;m:grant;w:dacl\" ");

  // "Both" offers revoke alone, and makes an entry for each list.
  main.cmdAce.userClick();
  ace.optYes.userClick();
  ace.cboWhere.userPick(2);
  EXPECT_EQ(ace.cboModeDacl.items(), std::vector<std::string>{"Revoke"});
  ace.chkSo.userClick();
  ace.chkSc.userClick();
  EXPECT_EQ(add(), "-ace \"n:Everyone;p:read,list_folder,read_ex;s:y;m:revoke;w:dacl\" "
                   "-ace \"n:Everyone;p:read,list_folder,read_ex;s:y;m:revoke;w:sacl\" ");
  EXPECT_EQ(main.cmdAceNum.text(), "2");
}

// The modes follow the lists: a DACL's allow and deny modes, a SACL's audit
// modes, revoke in both; the mode chosen stays where the lists offer it.
TEST_F(AceEditor, TheModesFollowTheLists) {
  open("Dir/File");
  name("Users");
  ace.cboModeDacl.userPick(2);  // Revoke
  ace.cboWhere.userPick(1);
  EXPECT_EQ(ace.cboModeDacl.items(),
            (std::vector<std::string>{"Audit success", "Audit failure", "Revoke"}));
  EXPECT_EQ(ace.cboModeDacl.text(), "Revoke");
  ace.cboModeDacl.userPick(1);
  EXPECT_EQ(add(), "-ace \"n:Users;p:read,list_folder,read_ex;m:aud_fail;w:sacl\" ");
  main.cmdAce.userClick();
  ace.cboWhere.userPick(0);
  EXPECT_EQ(ace.cboModeDacl.text(), "Set");
  EXPECT_TRUE(main.txtExplain.text().find("ACE: audit \"Users\" failing at read, list folder "
                                          "contents and read and execute, in the SACL") !=
              std::string::npos)
      << main.txtExplain.text();
}

// Each type's boxes ticked at first and the entry they add; the boxes a
// click clears.
TEST_F(AceEditor, ClicksClearTheBoxesTheyExclude) {
  const struct {
    const char* type;  // none: the Network Shares panel
    std::vector<std::string> clicks;
    std::set<std::string> left;
    const char* entry = nullptr;  // then added for "x"
  } cases[] = {
      {"Dir/File", {}, {"chkDirsRead", "chkDirsList_Folder", "chkDirsRead_Ex"},
       "-ace \"n:x;p:read,list_folder,read_ex;m:set;w:dacl\" "},
      {"Reg Key", {}, {"chkRegistryRead"}, "-ace \"n:x;p:read;m:set;w:dacl\" "},
      {"Service", {}, {"chkServiceFull"}, "-ace \"n:x;p:full;m:set;w:dacl\" "},
      {"Printer", {}, {"chkPrintersPrint"}, "-ace \"n:x;p:print;m:set;w:dacl\" "},
      {"Network Share", {}, {"chkShareFull"}, "-ace \"n:x;p:full;m:set;w:dacl\" "},
      {"", {}, {"chkShareFull"}, "-ace \"n:x;p:full;m:set;w:dacl\" "},
      {"Dir/File", {"chkDirsFull"}, {"chkDirsFull"}},
      {"Dir/File", {"chkDirsFull", "chkDirsRead"}, {"chkDirsRead"}},
      {"Dir/File", {"chkDirsChange"}, {"chkDirsChange"}},
      {"Dir/File", {"chkDirsChange", "chkDirsWrite"}, {"chkDirsWrite"}},
      {"Dir/File", {"chkDirsProfile"},
       {"chkDirsRead", "chkDirsList_Folder", "chkDirsRead_Ex", "chkDirsProfile"}},
      {"Dir/File", {"chkDirsFull", "chkDirsProfile"}, {"chkDirsProfile"}},
      {"Dir/File", {"chkDirsProfile", "chkDirsChange"}, {"chkDirsChange"}},
      {"Dir/File", {"chkDirsRead"}, {"chkDirsList_Folder", "chkDirsRead_Ex"}},  // a clearing click
      {"Reg Key", {"chkRegistryFull"}, {"chkRegistryFull"}},
      {"Reg Key", {"chkRegistryFull", "chkRegistryRead"}, {"chkRegistryRead"}},
      {"Service", {"chkServiceRead", "chkServiceStart_Stop"}, {"chkServiceRead", "chkServiceStart_Stop"}},
      {"Service", {"chkServiceRead", "chkServiceFull"}, {"chkServiceFull"}},
      {"Printer", {"chkPrintersMan_Docs", "chkPrintersMan_Printer"},
       {"chkPrintersPrint", "chkPrintersMan_Docs", "chkPrintersMan_Printer"}},
      {"Printer", {"chkPrintersFull"}, {"chkPrintersFull"}},
      // "Modify" on the Network Shares panel rules out only "Full".
      {"Network Share", {"chkShareRead", "chkShareChange"}, {"chkShareRead", "chkShareChange"}},
      {"Network Share", {"chkShareChange", "chkShareFull"}, {"chkShareFull"}},
      {"Network Share", {"chkSo", "chkSc"}, {"chkShareFull", "chkSo", "chkSc"}},
      {"Network Share", {"chkSo", "chkSc", "chkNp"}, {"chkShareFull", "chkNp"}},
      {"Network Share", {"chkNp", "chkIo"}, {"chkShareFull", "chkIo"}},
      {"Network Share", {"chkIo", "chkSc"}, {"chkShareFull", "chkSc"}},
  };
  for (const auto& c : cases) {
    Headless fresh;
    fresh.type(fresh.main.txtObjName, "x");
    if (*c.type) fresh.main.CboObjType.setText(c.type);
    else fresh.main.CboObjType.setListIndex(-1);
    fresh.main.cmdAce.userClick();
    FrmAce& editor = fresh.main.aceEditor();
    EXPECT_EQ(editor.fraShare.visible(), !*c.type || std::string(c.type) == "Network Share") << c.type;
    std::string clicks;
    for (const std::string& click : c.clicks) {
      static_cast<forms::CheckBox*>(editor.find(click))->userClick();
      clicks += click + " ";
    }
    EXPECT_EQ(ShownTicked(editor), c.left) << c.type << ": " << clicks;
    if (!c.entry) continue;
    editor.txtName.userEdit("x");
    editor.cmdAdd.userClick();
    EXPECT_EQ(ListText(fresh.main.command().aces), c.entry) << c.type;
  }
}

TEST_F(AceEditor, FieldsFromTheTickedBoxesInTableOrder) {
  open("Dir/File");
  name(" ");  // blanks are a name
  box("chkDirsList_Folder").userClick();
  box("chkDirsRead_Ex").userClick();
  box("chkDirsProfile").userClick();
  ace.chkNp.userClick();
  EXPECT_EQ(add(), "-ace \"n: ;p:read,profile;i:np;m:set;w:dacl\" ");
  main.cmdAce.userClick();
  ace.chkIo.userClick();
  ace.cboModeDacl.userPick(2);
  ace.cboWhere.userPick(1);
  EXPECT_EQ(add(), "-ace \"n: ;p:read,profile;i:io;m:revoke;w:sacl\" ");
}

TEST_F(AceEditor, DenyIsConfirmed) {
  open("Reg Key");
  name("u");
  const forms::Message deny{"Are you sure you want to deny permissions?", "Deny?", Buttons::YesNo};
  dialogs.expect(deny, Answer::No);
  ace.cboModeDacl.userPick(1);  // Grant asks nothing
  ace.cboModeDacl.userPick(3);
  EXPECT_EQ(ace.cboModeDacl.text(), "Set");  // not the Grant before it
  dialogs.expect(deny, Answer::Yes);
  ace.cboModeDacl.userPick(3);
  EXPECT_EQ(add(), "-ace \"n:u;p:read;m:deny;w:dacl\" ");
}

TEST_F(AceEditor, AMissingNameOrPermissionStopsTheAdd) {
  open("Service");
  dialogs.expect({"You must fill in the name property box", "Name?"}, Answer::Ok,
                 [this] { EXPECT_TRUE(ace.txtName.hasFocus()); });
  EXPECT_EQ(add(), "");
  name("u");
  ace.chkServiceFull.userClick();
  dialogs.expect({"You must choose some permissions", "Choose Permissions", Buttons::Ok,
                  Icon::Information},
                 Answer::Ok);
  EXPECT_EQ(add(), "");
  EXPECT_TRUE(ace.visible());
  EXPECT_EQ(main.cmdAceNum.text(), "0");
}

TEST_F(AceEditor, CancelRevertsNothing) {
  open("Printer");
  name("u");
  ace.chkPrintersFull.userClick();
  ace.optYes.userClick();
  ace.cboWhere.userPick(2);
  ace.cmdCancel.userClick();
  EXPECT_FALSE(ace.visible());
  EXPECT_EQ(aces(), "");
  main.cmdAce.userClick();
  EXPECT_EQ(ace.txtName.text(), "u");
  EXPECT_EQ(ShownTicked(ace), std::set<std::string>{"chkPrintersFull"});
  EXPECT_TRUE(ace.optYes.value());
  EXPECT_EQ(ace.cboWhere.text(), "Both");
}

TEST_F(AceEditor, AdvancedTokensCountOnlyWhileThePanelIsOpen) {
  open("Dir/File");
  name("u");
  EXPECT_EQ(ace.windowHeight(), FrmAce::kClosedHeight);
  openAdvanced();
  EXPECT_TRUE(ace.fraAdvanced.visible());
  EXPECT_TRUE(ace.fraDirsFilesAdvanced.visible());
  EXPECT_FALSE(ace.fraRegistryAdv.visible());
  EXPECT_EQ(ace.windowHeight(), FrmAce::kOpenHeight);
  for (const char* cleared : {"chkDirsRead", "chkDirsList_Folder", "chkDirsRead_Ex"})
    box(cleared).userClick();
  box("chkDirsAdvTraverse").userClick();
  EXPECT_EQ(add(), "-ace \"n:u;p:traverse;m:set;w:dacl\" ");  // the advanced box alone suffices

  main.cmdAce.userClick();
  EXPECT_TRUE(ace.fraAdvanced.visible());  // left open
  box("chkDirsFull").userClick();
  box("chkDirsAdvDelete").userClick();
  EXPECT_EQ(add(), "-ace \"n:u;p:full,traverse,delete;m:set;w:dacl\" ");

  main.cmdAce.userClick();
  ace.cmdHide.userClick();
  EXPECT_EQ(ace.windowHeight(), FrmAce::kClosedHeight);
  EXPECT_EQ(add(), "-ace \"n:u;p:full;m:set;w:dacl\" ");

  main.cmdAce.userClick();
  openAdvanced();  // the message on every opening
  EXPECT_EQ(add(), "-ace \"n:u;p:full,traverse,delete;m:set;w:dacl\" ");
  main.cmdAce.userClick();
  ace.cmdAdvanced.userClick();  // closing tells nothing
  EXPECT_FALSE(ace.fraAdvanced.visible());
}

TEST_F(AceEditor, TheOpenPanelFollowsTheObjectType) {
  open("Dir/File");
  name("u");
  openAdvanced();
  box("chkDirsAdvTraverse").userClick();
  ace.cmdCancel.userClick();

  open("Reg Key");
  EXPECT_TRUE(ace.fraAdvanced.visible());
  EXPECT_TRUE(ace.fraRegistryAdv.visible());
  EXPECT_FALSE(ace.fraDirsFilesAdvanced.visible());
  EXPECT_EQ(ace.windowHeight(), FrmAce::kOpenHeight);
  box("chkRegAdvQuery_Val").userClick();
  box("chkRegAdvNotify").userClick();
  EXPECT_EQ(add(), "-ace \"n:u;p:read,query_val,notify;m:set;w:dacl\" ");

  open("Service");
  EXPECT_FALSE(ace.fraAdvanced.visible());
  EXPECT_FALSE(ace.cmdAdvanced.visible());
  EXPECT_EQ(ace.windowHeight(), FrmAce::kClosedHeight);
  EXPECT_EQ(add(), "-ace \"n:u;p:full;m:set;w:dacl\" ");
}

TEST_F(AceEditor, ClearAdvAsksThenClearsBothSubPanels) {
  open("Reg Key");
  name("u");
  openAdvanced();
  box("chkRegAdvDelete").userClick();
  box("chkDirsAdvWrite_Owner").setValue(1);  // on the hidden sub-panel
  const forms::Message question{"Are you sure you want to clear the Advanced Permissions?",
                                "Clear Advanced Permissions?", Buttons::YesNo, Icon::Question};
  for (Answer answer : {Answer::No, Answer::Yes}) {
    dialogs.expect(question, answer);
    ace.cndAdvClear.userClick();
    EXPECT_EQ(box("chkRegAdvDelete").ticked(), answer == Answer::No);
    EXPECT_EQ(box("chkDirsAdvWrite_Owner").ticked(), answer == Answer::No);
  }
  EXPECT_TRUE(ace.chkRegistryRead.ticked());  // the panel boxes stay
  EXPECT_TRUE(ace.fraAdvanced.visible());
}
