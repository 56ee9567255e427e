// Clear buttons, filters and the option reset, answered both ways.

#include <gtest/gtest.h>

#include "tests/native/fakes.h"

using forms::Answer;
using forms::Buttons;

namespace {

// Every list, the owner and the group filled, one entry each.
struct Filled : Headless {
  Filled() {
    type(main.txtObjName, "C:\\D");
    handEdit(main.cmdAceNum, "-ace \"n:a;p:read;m:set;w:dacl\" ", 1);
    handEdit(main.cmdTrstNum, " -trst \"n1:a;ta:remtrst;w:dacl\"", 1);
    addFilter("tmp");
    main.chkOwner.setValue(1);
    type(main.txtOwner, "Bob");
    main.chkGroup.setValue(1);
    type(main.txtGroup, "Staff");
  }
  const std::string& call() const { return main.txtCallString.text(); }
};

class Clearing : public ::testing::Test, public Filled {};

struct ClearCase {
  int index;
  const char* prompt;
  const char* title;
  const char* after;  // the call string after Yes
};

const char* const kFull =
    "SetACL.exe -on \"C:\\D\" -ot file -actn ace -ace \"n:a;p:read;m:set;w:dacl\"  -actn trustee "
    "-trst \"n1:a;ta:remtrst;w:dacl\" -actn setowner -ownr \"n:Bob;s:y\" -fltr \"tmp\"  -actn "
    "setgroup -grp \"n:Staff;s:y\"";

const ClearCase kClearCases[] = {
    {0, "Are you sure you want to clear the ACEs?", "Clear ACEs?",
     "SetACL.exe -on \"C:\\D\" -ot file -actn trustee -trst \"n1:a;ta:remtrst;w:dacl\" -actn "
     "setowner -ownr \"n:Bob;s:y\" -fltr \"tmp\"  -actn setgroup -grp \"n:Staff;s:y\""},
    {1, "Are you sure you want to clear the Trustees?", "Clear Trustees?",
     "SetACL.exe -on \"C:\\D\" -ot file -actn ace -ace \"n:a;p:read;m:set;w:dacl\"  -actn "
     "setowner -ownr \"n:Bob;s:y\" -fltr \"tmp\"  -actn setgroup -grp \"n:Staff;s:y\""},
    {2, "Are you sure you want to clear the Owners?", "Clear Owners?",
     "SetACL.exe -on \"C:\\D\" -ot file -actn ace -ace \"n:a;p:read;m:set;w:dacl\"  -actn "
     "trustee -trst \"n1:a;ta:remtrst;w:dacl\" -fltr \"tmp\"  -actn setgroup -grp "
     "\"n:Staff;s:y\""},
    {3, "Are you sure you want to clear the Group?", "Clear Group?",
     "SetACL.exe -on \"C:\\D\" -ot file -actn ace -ace \"n:a;p:read;m:set;w:dacl\"  -actn "
     "trustee -trst \"n1:a;ta:remtrst;w:dacl\" -actn setowner -ownr \"n:Bob;s:y\" -fltr \"tmp\" "},
    {4, "Are you sure you want to clear the Filters?", "Clear Filters?",
     "SetACL.exe -on \"C:\\D\" -ot file -actn ace -ace \"n:a;p:read;m:set;w:dacl\"  -actn "
     "trustee -trst \"n1:a;ta:remtrst;w:dacl\" -actn setowner -ownr \"n:Bob;s:y\" -actn setgroup "
     "-grp \"n:Staff;s:y\""},
};

}  // namespace

TEST(Clear, EachClearAsksAndOnlyYesActs) {
  for (const ClearCase& c : kClearCases) {
    SCOPED_TRACE(c.index);
    Filled f;
    ASSERT_EQ(f.call(), kFull);
    f.dialogs.expect({c.prompt, c.title, Buttons::YesNo}, Answer::No);
    f.main.cmdClear[c.index].userClick();
    EXPECT_EQ(f.call(), kFull);
    f.dialogs.expect({c.prompt, c.title, Buttons::YesNo}, Answer::Yes);
    f.main.cmdClear[c.index].userClick();
    EXPECT_EQ(f.call(), c.after);
  }
}

TEST_F(Clearing, ClearsResetTheCountsAndSidFlags) {
  handEdit(main.cmdAceNum, "-ace \"n:a;p:read;m:set;w:dacl\" ", 4);  // adjusted by hand
  EXPECT_EQ(main.cmdAceNum.text(), "5");
  dialogs.expect({"Are you sure you want to clear the ACEs?", "Clear ACEs?", Buttons::YesNo},
                 Answer::Yes);
  main.cmdClear[0].userClick();
  EXPECT_EQ(main.cmdAceNum.text(), "0");
  dialogs.expect({"Are you sure you want to clear the Owners?", "Clear Owners?", Buttons::YesNo},
                 Answer::Yes);
  main.cmdClear[2].userClick();
  EXPECT_EQ(main.chkOwner.value(), 0);
  EXPECT_EQ(main.txtOwner.text(), "");
  dialogs.expect({"Are you sure you want to clear the Filters?", "Clear Filters?", Buttons::YesNo},
                 Answer::Yes);
  main.cmdClear[4].userClick();
  EXPECT_EQ(main.cmdFilterNum.text(), "0");
  EXPECT_EQ(main.cmdTrstNum.text(), "1");
}

TEST(Filter, PhrasesAreAddedAsTyped) {
  Headless h;
  struct Step {
    const char* reply;
    const char* list;
    const char* count;
  } steps[] = {
      {"tmp", " -fltr \"tmp\" ", "1"},
      {"", " -fltr \"tmp\" ", "1"},  // cancelled or empty: nothing
      {"bak", " -fltr \"tmp\"  -fltr \"bak\" ", "2"},
      {"  ", " -fltr \"tmp\"  -fltr \"bak\"  -fltr \"  \" ", "3"},
      {"a \"b\"", " -fltr \"tmp\"  -fltr \"bak\"  -fltr \"  \"  -fltr \"a \\\"b\\\"\" ", "4"},
  };
  for (const Step& step : steps) {
    h.addFilter(step.reply);
    EXPECT_EQ(h.main.cmdFilterNum.text(), step.count);
    EXPECT_EQ(h.main.txtCallString.text(), std::string("SetACL.exe -on \"\" -ot file") + step.list);
  }
}

TEST_F(Clearing, ResetAnsweredNoChangesNothing) {
  main.cboClr.setText("SACL");
  std::string before = call();
  dialogs.expect({"Are you sure you want to remove all options?", "Remove All Options?",
                  Buttons::YesNo},
                 Answer::No);
  main.cmdResetOptions.userClick();
  EXPECT_EQ(call(), before);
}

TEST_F(Clearing, ResetKeepsNameTypeAndRestoreFile) {
  for (const char* objType : {"Reg Key", "Dir/File"}) {
    main.CboObjType.setText(objType);
    handEdit(main.cmdAceNum, "-ace \"n:a;p:read;m:set;w:dacl\" ", 1);
    main.cboRecursionFile.setText("Dirs Only");
    main.cboRecursionReg.setText("Yes");
    main.cboInDacl.setText("Inherits Parent");
    main.cboInSacl.setText("Inherits Parent");
    main.cboClr.setText("Both");
    main.cboRstchldrn.setText("Both");
    main.optSilentYes.select();
    main.chkIgnoreErr.setValue(1);
    type(main.txtLogFile, "a.log");
    main.txtRestore.setText("saved.txt");
    dialogs.expect({"Are you sure you want to remove all options?", "Remove All Options?",
                    Buttons::YesNo},
                   Answer::Yes);
    main.cmdResetOptions.userClick();
    EXPECT_EQ(call(), std::string("SetACL.exe -on \"C:\\D\" -ot ") +
                          (std::string(objType) == "Reg Key" ? "reg" : "file"));
    for (auto* count : {&main.cmdAceNum, &main.cmdTrstNum, &main.cmdFilterNum})
      EXPECT_EQ(count->text(), "0");
    EXPECT_EQ(main.chkOwner.value(), 0);
    EXPECT_EQ(main.chkGroup.value(), 0);
    EXPECT_EQ(main.CboObjType.text(), objType);
    EXPECT_EQ(main.txtRestore.text(), "saved.txt");
    EXPECT_TRUE(main.optSilentNo.value());
  }
}
