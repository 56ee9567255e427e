// The trustee editor and the entry list editor, opened from the main window.

#include <gtest/gtest.h>

#include "editors/frm_change.h"
#include "editors/frm_trustee.h"
#include "setacl/call_string.h"
#include "tests/native/fakes.h"

namespace {

using forms::Answer;
using forms::Buttons;

class TrusteeEditor : public ::testing::Test, public Headless {
 protected:
  TrusteeEditor() {
    type(main.txtObjName, "C:\\Data");
    main.cmdTrst.userClick();
  }
  std::string trustees() const { return ListText(main.command().trustees); }
  std::string save() {
    std::string before = trustees();
    trustee.cmdSave.userClick();
    return trustees().substr(before.size());
  }
  FrmTrustee& trustee = main.trusteeEditor();
};

}  // namespace

TEST_F(TrusteeEditor, BothWorkedExamplesByteForByte) {
  EXPECT_EQ(trustee.cboTrusteeAction.text(), "Remove ACEs");
  EXPECT_FALSE(trustee.txtName2.visible());
  trustee.cboTrusteeAction.userPick(1);
  EXPECT_TRUE(trustee.txtName2.visible());
  trustee.txtName1.userEdit("Users");
  trustee.txtName2.userEdit("Guests");
  trustee.chkName2.userClick();
  trustee.cboWhere.userPick(2);
  EXPECT_EQ(save(), " -trst \"n1:Users;n2:Guests;s2:y;ta:repltrst;w:dacl,sacl\"");
  EXPECT_FALSE(trustee.visible());
  EXPECT_EQ(main.cmdTrstNum.text(), "1");
  EXPECT_EQ(main.txtCallString.text(),
            "SetACL.exe -on \"C:\\Data\" -ot file -actn trustee -trst "
            "\"n1:Users;n2:Guests;s2:y;ta:repltrst;w:dacl,sacl\"");

  // Remove ACEs: the second name left over and its SID box are not written.
  main.cmdTrst.userClick();
  trustee.cboTrusteeAction.userPick(0);
  EXPECT_FALSE(trustee.txtName2.visible());
  trustee.txtName1.userEdit("S-1-1-0");
  trustee.chkName1.userClick();
  trustee.cboWhere.userPick(1);
  EXPECT_EQ(save(), " -trst \"n1:S-1-1-0;s1:y;ta:remtrst;w:sacl\"");
  EXPECT_EQ(main.cmdTrstNum.text(), "2");
}

TEST_F(TrusteeEditor, AnIncompleteFormSavesNothing) {
  const forms::Message incomplete{"Please complete form", "Complete From"};
  dialogs.expect(incomplete, Answer::Ok);
  EXPECT_EQ(save(), "");
  trustee.cboTrusteeAction.userPick(2);  // Copy Perms wants both names
  trustee.txtName1.userEdit("a");
  trustee.txtName2.setFocus();
  dialogs.expect(incomplete, Answer::Ok);
  EXPECT_EQ(save(), "");
  EXPECT_TRUE(trustee.txtName1.hasFocus());
  EXPECT_TRUE(trustee.visible());
  EXPECT_EQ(main.cmdTrstNum.text(), "0");
  trustee.txtName2.userEdit("b;\"c");
  EXPECT_EQ(save(), " -trst \"n1:a;n2:b;\\\"c;ta:cpytrst;w:dacl\"");
}

TEST_F(TrusteeEditor, SaveTwiceAppendsTwiceAndCloseKeepsTheFields) {
  trustee.txtName1.userEdit("a");
  std::string first = save();
  main.cmdTrst.userClick();
  EXPECT_EQ(save(), first);
  EXPECT_EQ(main.cmdTrstNum.text(), "2");
  main.cmdTrst.userClick();
  trustee.txtName1.userEdit("changed");
  trustee.cmdClose.userClick();
  EXPECT_EQ(trustees(), first + first);
  main.cmdTrst.userClick();
  EXPECT_EQ(trustee.txtName1.text(), "changed");
}

namespace {

class ListEditor : public ::testing::Test, public Headless {
 protected:
  ListEditor() { type(main.txtObjName, "C:\\Data"); }
  FrmChange& change() { return main.listEditor(); }
  const forms::Message kSave{"Are you sure you want to save", "Save Changes?", Buttons::YesNo};
  const forms::Message kClear{"Are you sure you want to clear these options?", "Clear Options?",
                              Buttons::YesNo};
};

}  // namespace

TEST_F(ListEditor, EachCountButtonOpensItsList) {
  handEdit(main.cmdAceNum, "-ace \"n:a;p:full;m:set;w:dacl\" ");
  handEdit(main.cmdTrstNum, " -trst \"n1:a;ta:remtrst;w:dacl\"");
  addFilter("x\\");
  const struct {
    forms::CommandButton& button;
    const char* caption;
    std::string text;
  } cases[] = {{main.cmdAceNum, "Ace Change", "-ace \"n:a;p:full;m:set;w:dacl\" "},
               {main.cmdTrstNum, "Trustee Change", " -trst \"n1:a;ta:remtrst;w:dacl\""},
               {main.cmdFilterNum, "Filter Change", " -fltr \"x\\\\\" "}};
  // Each closed by its close box, which destroys it: the next is a new one.
  for (const auto& c : cases) {
    c.button.userClick();
    FrmChange& shown = change();
    EXPECT_EQ(shown.text(), c.caption);
    EXPECT_EQ(shown.txtChange.text(), c.text);
    shown.userClose();
    EXPECT_TRUE(shown.unloaded());
  }
}

TEST_F(ListEditor, SaveWritesTheTextVerbatimAndCloseDropsEdits) {
  main.cmdAceNum.userClick();
  EXPECT_EQ(change().txtChange.text(), "");
  const std::string edited = "-ace \"n:hand;p:read;m:set;w:dacl\"  trailing ";
  change().txtChange.userEdit(edited);
  dialogs.expect(kSave, Answer::No);
  change().cmdSave.userClick();
  EXPECT_TRUE(change().visible());
  EXPECT_EQ(main.txtCallString.text(), "SetACL.exe -on \"C:\\Data\" -ot file");
  dialogs.expect(kSave, Answer::Yes);
  change().cmdSave.userClick();
  EXPECT_FALSE(change().visible());
  EXPECT_EQ(main.cmdAceNum.text(), "0");  // a save leaves the count alone
  EXPECT_EQ(main.txtCallString.text(), "SetACL.exe -on \"C:\\Data\" -ot file -actn ace " + edited);

  main.cmdAceNum.userClick();
  change().txtChange.userEdit("abandoned");
  change().cmdClose.userClick();
  main.cmdAceNum.userClick();
  EXPECT_EQ(change().txtChange.text(), edited);
}

TEST_F(ListEditor, TheCountMovesByOneAndNeverBelowNought) {
  main.cmdFilterNum.userClick();
  const struct {
    int element;
    const char* after;
  } steps[] = {{0, "1"}, {0, "2"}, {1, "1"}, {1, "0"}, {1, "0"}};
  for (const auto& s : steps) {
    change().cmdCount[s.element].userClick();
    EXPECT_EQ(main.cmdFilterNum.text(), s.after) << s.element;
  }
  EXPECT_TRUE(change().visible());
}

TEST_F(ListEditor, ClearEmptiesListAndCount) {
  handEdit(main.cmdTrstNum, " -trst \"n1:a;ta:remtrst;w:dacl\"", 1);
  main.cmdTrstNum.userClick();
  for (Answer answer : {Answer::No, Answer::Yes}) {
    dialogs.expect(kClear, answer);
    change().cmdClear.userClick();
    EXPECT_EQ(main.cmdTrstNum.text(), answer == Answer::No ? "1" : "0");
  }
  EXPECT_EQ(main.txtCallString.text(), "SetACL.exe -on \"C:\\Data\" -ot file");
  EXPECT_FALSE(change().visible());
}
