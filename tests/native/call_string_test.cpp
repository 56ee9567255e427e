// The call string, fragment by fragment.

#include <gtest/gtest.h>

#include "tests/native/fakes.h"

namespace {

class CallString : public ::testing::Test, public Headless {
 protected:
  const std::string& call() const { return main.txtCallString.text(); }
  void name(const std::string& text) { type(main.txtObjName, text); }
};

}  // namespace

TEST_F(CallString, StartsAsTheEmptyFileObject) {
  EXPECT_EQ(call(), "SetACL.exe -on \"\" -ot file");
  EXPECT_EQ(state.ObjTypeCode, "file");
  EXPECT_EQ(state.AceList, "");
  name("C:\\X");
  EXPECT_EQ(call(), "SetACL.exe -on \"C:\\X\" -ot file");
}

TEST_F(CallString, WorkedExample) {
  name("C:\\Data\\Projects");
  main.cboRecursionFile.userPick(3);
  state.AceList = "-ace \"n:Users;p:read;m:grant;w:dacl\" ";
  type(main.txtOwner, "Administrators");
  state.FilterList = " -fltr \"Temp\" ";
  main.chkGroup.userClick();
  type(main.txtGroup, "S-1-5-32-544");
  main.cboInDacl.userPick(2);
  main.cboRstchldrn.userPick(1);
  type(main.txtLogFile, "run1.log");
  main.optSilentYes.userClick();
  EXPECT_EQ(call(),
            "SetACL.exe -on \"C:\\Data\\Projects\" -ot file -actn ace -ace "
            "\"n:Users;p:read;m:grant;w:dacl\"  -actn setowner -ownr \"n:Administrators;\" -rec "
            "cont_obj -fltr \"Temp\"  -actn setgroup -grp \"n:S-1-5-32-544;s:y\" -actn setprot -op "
            "\"dacl:p_c;sacl:nc\" -actn rstchldrn -rst \"dacl\" -log "
            "\"D:\\Tools\\LogFiles\\run1.log\" -silent ");
  std::string before = call();
  main.BuildIt();
  EXPECT_EQ(call(), before);
  // Continue on errors: after the log, before silent.
  main.chkIgnoreErr.userClick();
  EXPECT_EQ(call(), before.substr(0, before.size() - 9) + " -ignoreerr -silent ");
}

TEST_F(CallString, OptionFragments) {
  struct Case {
    const char* box;
    const char* pick;
    const char* fragment;
  } cases[] = {
      {"cboClr", "DACL", " -actn clear -clr \"dacl\""},
      {"cboClr", "SACL", " -actn clear -clr \"sacl\""},
      {"cboClr", "Both", " -actn clear -clr \"dacl,sacl\""},
      {"cboRstchldrn", "DACL", " -actn rstchldrn -rst \"dacl\""},
      {"cboRstchldrn", "SACL", " -actn rstchldrn -rst \"sacl\""},
      {"cboRstchldrn", "Both", " -actn rstchldrn -rst \"dacl,sacl\""},
      {"cboInDacl", "Inherits Parent", " -actn setprot -op \"dacl:np;sacl:nc\""},
      {"cboInDacl", "Prot/No Copy Parent", " -actn setprot -op \"dacl:p_nc;sacl:nc\""},
      {"cboInSacl", "Inherits Parent", " -actn setprot -op \"dacl:nc;sacl:np\""},
      {"cboInSacl", "Prot/Copy Parent", " -actn setprot -op \"dacl:nc;sacl:p_c\""},
      {"cboRecursionFile", "Dirs Only", " -rec cont"},
      {"cboRecursionFile", "Files Only", " -rec obj"},
  };
  for (const Case& c : cases) {
    auto& box = static_cast<forms::ComboBox&>(*main.find(c.box));
    box.setText(c.pick);
    EXPECT_EQ(call(), std::string("SetACL.exe -on \"\" -ot file") + c.fragment) << c.pick;
    box.setListIndex(0);
    EXPECT_EQ(call(), "SetACL.exe -on \"\" -ot file") << c.pick;
  }
}

TEST_F(CallString, StaleFragmentsNeverReachTheCallString) {
  main.cboClr.setText("DACL");
  main.cboClr.setText("None");
  EXPECT_EQ(state.ClearOpt, " -actn clear -clr \"dacl\"");
  EXPECT_EQ(call(), "SetACL.exe -on \"\" -ot file");
  type(main.txtGroup, "Staff");
  type(main.txtGroup, "");
  EXPECT_EQ(state.SetGroupOpt, " -actn setgroup -grp \"n:Staff\"");
  EXPECT_EQ(call(), "SetACL.exe -on \"\" -ot file");
}

TEST_F(CallString, RecursionCountsOnlyForItsObjectType) {
  main.cboRecursionFile.setText("Dirs Only");
  main.CboObjType.setText("Service");
  EXPECT_EQ(call(), "SetACL.exe -on \"\" -ot srv");
  main.CboObjType.setText("Reg Key");
  EXPECT_EQ(call(), "SetACL.exe -on \"\" -ot reg");
  main.cboRecursionReg.setText("Yes");
  type(main.txtOwner, "Bob");
  state.FilterList = " -fltr \"x\" ";
  main.BuildIt();
  EXPECT_EQ(call(),
            "SetACL.exe -on \"\" -ot reg -actn setowner -ownr \"n:Bob;\" -rec yes -fltr \"x\" ");
  main.CboObjType.setText("Dir/File");
  EXPECT_EQ(call(), "SetACL.exe -on \"\" -ot file -actn setowner -ownr \"n:Bob;\" -rec cont -fltr \"x\" ");
}

TEST_F(CallString, OwnerEndsInASemicolonGroupDoesNot) {
  type(main.txtOwner, "Bob");
  EXPECT_EQ(call(), "SetACL.exe -on \"\" -ot file -actn setowner -ownr \"n:Bob;\"");
  main.chkOwner.userClick();
  EXPECT_EQ(call(), "SetACL.exe -on \"\" -ot file -actn setowner -ownr \"n:Bob;s:y\"");
  main.chkOwner.setValue(2);  // greyed is not ticked
  EXPECT_EQ(call(), "SetACL.exe -on \"\" -ot file -actn setowner -ownr \"n:Bob;\"");
  type(main.txtOwner, "");
  type(main.txtGroup, "Bob");
  EXPECT_EQ(call(), "SetACL.exe -on \"\" -ot file -actn setgroup -grp \"n:Bob\"");
}

TEST_F(CallString, UserTextsGoInAsTyped) {
  name(" a\"b ");
  type(main.txtLogFile, "x y.log");
  EXPECT_EQ(call(), "SetACL.exe -on \" a\"b \" -ot file -log \"D:\\Tools\\LogFiles\\x y.log\"");
}

TEST_F(CallString, TrusteesBringTheirOwnBlank) {
  state.TrusteeList = " -trst \"n1:a;ta:remtrst;w:dacl\"";
  main.BuildIt();
  EXPECT_EQ(call(), "SetACL.exe -on \"\" -ot file -actn trustee -trst \"n1:a;ta:remtrst;w:dacl\"");
}

TEST_F(CallString, NothingSelectedCountsAsAnyOtherText) {
  main.CboObjType.setListIndex(-1);
  EXPECT_EQ(state.ObjTypeCode, "shr");
  EXPECT_EQ(state.SelectedObjType, "");
  main.cboClr.setListIndex(-1);
  EXPECT_EQ(call(), "SetACL.exe -on \"\" -ot shr -actn clear -clr \"dacl,sacl\"");
}
