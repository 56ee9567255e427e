// Showing and hiding by object name and type, and the type change.

#include <gtest/gtest.h>

#include <cctype>
#include <map>

#include "backup/frm_backup.h"
#include "editors/frm_ace.h"
#include "editors/frm_trustee.h"
#include "setup/frm_settings.h"
#include "tests/native/fakes.h"

namespace {

class MainWindow : public ::testing::Test, public Headless {
 protected:
  std::vector<std::string> shownTopLevel() const {
    std::vector<std::string> names;
    for (const auto& c : main.controls())
      if (c->container() == nullptr && c->visible()) names.push_back(c->name());
    return names;
  }
};

const std::vector<std::string> kEmptyName = {"FraRequired", "cmdRuns", "cmdProgOptions", "cmdAbout",
                                             "lblCallString", "txtCallString", "cmdWhatChanged",
                                             "lblStatus", "tabPages", "txtExplain"};
const std::vector<std::string> kNamed = {
    "FraRequired",   "fraBackupRestore", "fraOptions", "cmdSendIt",      "chkIgnoreErr",
    "cmdRuns",       "cmdProgOptions",   "cmdAbout",   "lblCallString",  "txtCallString",
    "cmdWhatChanged", "lblStatus",       "tabPages",   "txtExplain"};

}  // namespace

TEST_F(MainWindow, StartingState) {
  EXPECT_EQ(shownTopLevel(), kEmptyName);
  EXPECT_TRUE(main.cmdBrowse.visible());
  EXPECT_TRUE(main.cboRecursionFile.visible());
  EXPECT_FALSE(main.cboRecursionReg.visible());
  EXPECT_EQ(main.command().type, ObjectType::File);
  EXPECT_TRUE(main.optSilentNo.value());
  const forms::Control* first = nullptr;
  for (const auto& c : main.controls())
    if (c->kind() != forms::Kind::Frame && c->kind() != forms::Kind::Label &&
        (!first || c->tabIndex() < first->tabIndex()))
      first = c.get();
  EXPECT_EQ(first, &main.txtObjName);
}

TEST_F(MainWindow, TypingShowsTheOptionsAndEmptyingHidesThem) {
  type(main.txtObjName, "C");
  EXPECT_EQ(shownTopLevel(), kNamed);
  type(main.txtObjName, " ");  // blanks are a name
  EXPECT_EQ(shownTopLevel(), kNamed);
  type(main.txtObjName, "");
  EXPECT_EQ(shownTopLevel(), kEmptyName);

  // A paste with the mouse, or text set from outside, raises no key: the call
  // string and "What It Does" follow the field all the same.
  main.txtObjName.userEdit("C:\\Pasted");
  EXPECT_EQ(main.txtCallString.text(), "SetACL.exe -on \"C:\\Pasted\" -ot file");
  EXPECT_TRUE(main.txtExplain.text().starts_with("Object: the file or folder \"C:\\Pasted\""));
  EXPECT_TRUE(main.fraOptions.visible());
  main.txtOwner.userEdit("Bob");
  EXPECT_EQ(main.txtCallString.text(),
            "SetACL.exe -on \"C:\\Pasted\" -ot file -actn setowner -ownr \"n:Bob;\"");
}

TEST_F(MainWindow, BrowsingAndCancellingTheBrowser) {
  browser.results = {"C:\\Picked", ""};
  main.cmdBrowse.userClick();
  EXPECT_EQ(main.txtObjName.text(), "C:\\Picked");
  EXPECT_EQ(shownTopLevel(), kNamed);
  EXPECT_EQ(main.txtCallString.text(), "SetACL.exe -on \"C:\\Picked\" -ot file");
  main.cmdBrowse.userClick();
  EXPECT_EQ(main.txtObjName.text(), "");
  EXPECT_EQ(shownTopLevel(), kEmptyName);
  EXPECT_EQ(browser.titles, (std::vector<std::string>{"Select Folder", "Select Folder"}));
  EXPECT_EQ(browser.owners[0], &main);
}

TEST_F(MainWindow, TypeChangeEmptiesTheAcesOnly) {
  type(main.txtObjName, "C:\\D");
  handEdit(main.cmdAceNum, "-ace \"n:a;p:read;m:set;w:dacl\" -ace \"n:b;p:read;m:set;w:dacl\" ", 2);
  handEdit(main.cmdTrstNum, " -trst \"n1:a;ta:remtrst;w:dacl\"");
  addFilter("tmp");
  EXPECT_EQ(main.cmdAceNum.text(), "2");
  main.CboObjType.userPick(1);
  EXPECT_EQ(main.cmdAceNum.text(), "0");
  EXPECT_FALSE(main.cboRecursionFile.visible());
  EXPECT_TRUE(main.cboRecursionReg.visible());
  EXPECT_FALSE(main.cmdBrowse.visible());
  EXPECT_EQ(main.command().type, ObjectType::Registry);
  EXPECT_EQ(main.txtCallString.text(),
            "SetACL.exe -on \"C:\\D\" -ot reg -actn trustee -trst \"n1:a;ta:remtrst;w:dacl\" "
            "-fltr \"tmp\" ");
}

TEST_F(MainWindow, TypesWithoutRecursion) {
  type(main.txtObjName, "x");
  for (const char* type : {"Service", "Printer", "Network Share"}) {
    main.CboObjType.setText(type);
    EXPECT_FALSE(main.FraRecursion.visible()) << type;
    EXPECT_FALSE(main.cmdBrowse.visible()) << type;
    EXPECT_TRUE(main.fraOptions.visible()) << type;
  }
}

// Alt and a letter moves the focus to each labelled input of every window;
// no two controls of a window share a letter.
TEST(AccessKeys, EveryLabelledInputHasOneOfItsOwn) {
  Headless h;
  Headless::type(h.main.txtObjName, "x");
  FrmMain& m = h.main;
  for (forms::Form* form : std::initializer_list<forms::Form*>{
           &m, &m.aceEditor(), &m.trusteeEditor(), &m.backupWindow(), &m.settingsWindow()}) {
    std::map<char, std::string> keys;
    auto take = [&](const std::string& caption, const std::string& owner) {
      if (char key = forms::Control::AccessKey(caption)) {
        EXPECT_TRUE(keys.emplace(key, owner).second)
            << form->name() << ": " << owner << " and " << keys[key] << " share " << key;
      }
    };
    for (const auto& c : form->controls()) {
      if (c->kind() == forms::Kind::TabStrip)
        for (const std::string& item : static_cast<forms::TabStrip&>(*c).items())
          take(item, c->codeName() + " " + item);
      else
        take(c->text(), c->codeName());
    }
    for (const auto& c : form->controls()) {
      bool input = c->kind() == forms::Kind::TextBox || c->kind() == forms::Kind::ComboBox ||
                   c->kind() == forms::Kind::FileListBox;
      if (!input || !c->shown() || &c->namer() == form) continue;
      char key = forms::Control::AccessKey(c->namer().text());
      ASSERT_NE(key, 0) << form->name() << ": " << c->codeName() << " has no access key";
      EXPECT_TRUE(form->userAccessKey(static_cast<char>(std::toupper(key))));
      EXPECT_EQ(form->focused(), c.get()) << form->name() << ": Alt+" << key;
    }
  }
  // A tab's key shows its page and moves the focus there.
  EXPECT_TRUE(m.userAccessKey('o'));
  EXPECT_TRUE(m.txtOutputs.shown());
  EXPECT_EQ(m.focused(), &m.txtOutputs);
  EXPECT_EQ(m.txtOutputs.accessibleName(), "Output");
  EXPECT_FALSE(m.userAccessKey('q'));
}
