// Clear buttons, filters and the option reset, answered both ways.

#include <gtest/gtest.h>

#include "tests/native/fakes.h"

using forms::Answer;
using forms::Buttons;

namespace {

// Every list, the owner and the group filled, one entry each (the ACEs counted two).
struct Filled : Headless {
  Filled() {
    type(main.txtObjName, "C:\\D");
    handEdit(main.cmdAceNum, "-ace \"n:a;p:read;m:set;w:dacl\" ", 2);  // adjusted by hand
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

const forms::Message kReset{"Are you sure you want to remove all options?", "Remove All Options?", Buttons::YesNo};

struct ClearCase {
  int index;
  const char* prompt;
  const char* title;
  const char* after;  // the call string after Yes
  const char* left;   // then the ACE, trustee and filter counts and the owner's and group's SID boxes
};

const char* const kFull =
    "SetACL.exe -on \"C:\\D\" -ot file -actn ace -ace \"n:a;p:read;m:set;w:dacl\"  -actn trustee "
    "-trst \"n1:a;ta:remtrst;w:dacl\" -actn setowner -ownr \"n:Bob;s:y\" -fltr \"tmp\"  -actn "
    "setgroup -grp \"n:Staff;s:y\"";

const ClearCase kClearCases[] = {
    {0, "Are you sure you want to clear the ACEs?", "Clear ACEs?",
     "SetACL.exe -on \"C:\\D\" -ot file -actn trustee -trst \"n1:a;ta:remtrst;w:dacl\" -actn "
     "setowner -ownr \"n:Bob;s:y\" -fltr \"tmp\"  -actn setgroup -grp \"n:Staff;s:y\"", "01111"},
    {1, "Are you sure you want to clear the Trustees?", "Clear Trustees?",
     "SetACL.exe -on \"C:\\D\" -ot file -actn ace -ace \"n:a;p:read;m:set;w:dacl\"  -actn "
     "setowner -ownr \"n:Bob;s:y\" -fltr \"tmp\"  -actn setgroup -grp \"n:Staff;s:y\"", "20111"},
    {2, "Are you sure you want to clear the Owners?", "Clear Owners?",
     "SetACL.exe -on \"C:\\D\" -ot file -actn ace -ace \"n:a;p:read;m:set;w:dacl\"  -actn "
     "trustee -trst \"n1:a;ta:remtrst;w:dacl\" -fltr \"tmp\"  -actn setgroup -grp "
     "\"n:Staff;s:y\"", "21101"},
    {3, "Are you sure you want to clear the Group?", "Clear Group?",
     "SetACL.exe -on \"C:\\D\" -ot file -actn ace -ace \"n:a;p:read;m:set;w:dacl\"  -actn "
     "trustee -trst \"n1:a;ta:remtrst;w:dacl\" -actn setowner -ownr \"n:Bob;s:y\" -fltr \"tmp\" ", "21110"},
    {4, "Are you sure you want to clear the Filters?", "Clear Filters?",
     "SetACL.exe -on \"C:\\D\" -ot file -actn ace -ace \"n:a;p:read;m:set;w:dacl\"  -actn "
     "trustee -trst \"n1:a;ta:remtrst;w:dacl\" -actn setowner -ownr \"n:Bob;s:y\" -actn setgroup "
     "-grp \"n:Staff;s:y\"", "21011"},
};

}  // namespace

TEST(Clear, EachClearAsksAndOnlyYesActs) {
  for (const ClearCase& c : kClearCases) {
    SCOPED_TRACE(c.index);
    Filled f;
    ASSERT_EQ(f.call(), kFull);
    for (Answer answer : {Answer::No, Answer::Yes}) {
      f.dialogs.expect({c.prompt, c.title, Buttons::YesNo}, answer);
      f.main.cmdClear[c.index].userClick();
      EXPECT_EQ(f.call(), answer == Answer::No ? kFull : c.after);
    }
    EXPECT_EQ(f.main.cmdAceNum.text() + f.main.cmdTrstNum.text() + f.main.cmdFilterNum.text() +
                  std::to_string(f.main.chkOwner.value()) + std::to_string(f.main.chkGroup.value()),
              c.left);
  }
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

// The reset asks; No changes nothing, Yes resets all but the name, the type and the restore file.
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
    const std::string before = call();
    dialogs.expect(kReset, Answer::No);
    main.cmdResetOptions.userClick();
    EXPECT_EQ(call(), before);
    dialogs.expect(kReset, Answer::Yes);
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
