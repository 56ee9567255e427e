// The stand-in SetACL.exe's reading of command lines: everything the main
// window composes is taken, anything else refused with a reason.

#include <gtest/gtest.h>

#include "tests/native/fakes.h"
#include "tools/setacl/command.h"

namespace {

class StandIn : public ::testing::Test, public Headless {
 protected:
  standin::Parsed run() { return standin::Parse("C:\\Tools\\" + main.txtCallString.text()); }
};

}  // namespace

TEST_F(StandIn, TakesWhatTheMainWindowComposesAndSaysWhatItWouldDo) {
  type(main.txtObjName, "C:\\Data\\My Projects");
  main.cboRecursionFile.userPick(3);
  state.AceList =
      "-ace \"n:Everyone;p:read,list_folder,read_ex;i:so,sc;m:grant;w:dacl\" "
      "-ace \"n:S-1-5-32-545;p:full,delete;s:y;m:deny;w:sacl,dacl\" ";
  state.TrusteeList = " -trst \"n1:Users;n2:Guests;s2:y;ta:repltrst;w:dacl,sacl\"";
  type(main.txtOwner, "Administrators");
  state.FilterList = " -fltr \"Temp files\" ";
  main.chkGroup.userClick();
  type(main.txtGroup, "S-1-5-32-544");
  main.cboInDacl.userPick(2);
  main.cboClr.userPick(3);
  main.cboRstchldrn.userPick(1);
  type(main.txtLogFile, "run1.log");
  main.optSilentYes.userClick();
  standin::Parsed parsed = run();
  ASSERT_EQ(parsed.error, "");
  EXPECT_TRUE(parsed.command.silent);
  EXPECT_EQ(parsed.command.log, "D:\\Tools\\LogFiles\\run1.log");
  const std::string on = " on file \"C:\\Data\\My Projects\", recursion cont_obj, skipping \"Temp files\"";
  EXPECT_EQ(standin::Describe(parsed.command),
            (std::vector<std::string>{
                "ace: grant read,list_folder,read_ex for \"Everyone\" in dacl, inheritance so,sc" + on,
                "ace: deny full,delete for \"S-1-5-32-545\" (SID) in sacl,dacl" + on,
                "trustee: repltrst \"Users\" and \"Guests\" (SID) in dacl,sacl" + on,
                "setowner: \"Administrators\"" + on,
                "setgroup: \"S-1-5-32-544\" (SID)" + on,
                "setprot: dacl p_c, sacl nc" + on,
                "clear: dacl,sacl" + on,
                "rstchldrn: dacl" + on,
            }));
}

TEST_F(StandIn, TakesEveryTypeWithItsOwnPermissionsAndRecursion) {
  struct Case {
    int type;
    const char* ace;
    const char* recursionBox;
  };
  const Case cases[] = {
      {0, "p:write,change,profile,traverse,write_owner", "cboRecursionFile"},
      {1, "p:read,query_val,read_access", "cboRecursionReg"},
      {2, "p:read,start_stop", nullptr},
      {3, "p:print,man_printer,man_docs", nullptr},
      {4, "p:read,change", nullptr},
  };
  for (const Case& c : cases) {
    main.CboObjType.userPick(c.type);
    type(main.txtObjName, "object");
    if (c.recursionBox) static_cast<forms::ComboBox*>(main.find(c.recursionBox))->userPick(1);
    state.AceList = std::string("-ace \"n:x;") + c.ace + ";m:set;w:dacl\" ";
    main.BuildIt();
    EXPECT_EQ(run().error, "") << main.txtCallString.text();
  }
}

TEST(StandInParse, BackupAndRestoreCommands) {
  standin::Parsed list = standin::Parse(
      "C:\\Tools\\Perm\\SetACL.exe -on \"D:\\Data\" -ot file -actn list -lst \"f:sddl;w:d,o\" "
      "-bckp \"C:\\Tools\\Perm\\Backups\\data.txt\"");
  ASSERT_EQ(list.error, "");
  EXPECT_EQ(standin::Describe(list.command),
            std::vector<std::string>{"list: d,o as sddl into \"C:\\Tools\\Perm\\Backups\\data.txt\" "
                                     "on file \"D:\\Data\""});
  std::string object;
  ASSERT_TRUE(standin::ReadBackup(standin::BackupText(list.command), object));
  EXPECT_EQ(object, "D:\\Data");
  EXPECT_FALSE(standin::ReadBackup("not a backup", object));

  standin::Parsed restore = standin::Parse(
      "\"C:\\Program Files\\Perm\\SetACL.exe\" -on \"D:\\Data\" -ot file -actn restore -bckp "
      "\"C:\\Program Files\\Perm\\Backups\\data.txt\"");
  ASSERT_EQ(restore.error, "");
  EXPECT_EQ(restore.command.backup, "C:\\Program Files\\Perm\\Backups\\data.txt");
  EXPECT_EQ(standin::Parse("SetACL.exe -on \"x\" -ot reg -actn list -lst \"f:csv;w:s,g;i:y;s:y\" "
                           "-bckp \"b\"").error,
            "");
}

TEST(StandInParse, RefusesAnythingElseWithAReason) {
  struct Case {
    const char* arguments;
    const char* error;
  };
  const Case cases[] = {
      {"-on \"x\" -ot file", "no action given (-actn)"},
      {"-ot file -actn clear -clr \"dacl\"", "no object given (-on)"},
      {"-on \"x\" -ot disk -actn clear -clr \"dacl\"", "unknown value \"disk\" for -ot"},
      {"-on \"x\" -ot file -actn clear -clr \"dacl", "unbalanced double quotes"},
      {"-on \"x\" -ot file -actn clear -clr", "missing value for -clr"},
      {"-on \"x\" -ot -actn clear", "missing value for -ot"},
      {"-on \"x\" -ot file -actn clear -clr \"all\"", "unknown value \"all\" for -clr"},
      {"-on \"x\" -ot file -actn clear -clr \"dacl\" -force", "missing value for -force"},
      {"-on \"x\" -ot file -actn clear -clr \"dacl\" -force y", "unknown option -force"},
      {"-on \"x\" -ot file -actn clear", "-actn clear needs -clr"},
      {"-on \"x\" -ot file -clr \"dacl\" -actn ace -ace \"n:a;p:read\"",
       "-clr given without -actn clear"},
      {"-on \"x\" -ot file -actn ace -ace \"n:a;p:start_stop;m:set;w:dacl\"",
       "unknown value \"start_stop\" for p: with -ot file"},
      {"-on \"x\" -ot file -actn ace -ace \"n:a;p:read;m:allow;w:dacl\"",
       "unknown value \"allow\" for m:"},
      {"-on \"x\" -ot file -actn ace -ace \"n:a;p:read;q:1\"", "unknown field \"q:1\" in \"n:a;p:read;q:1\""},
      {"-on \"x\" -ot file -actn ace -ace \"p:read\"", "-ace needs n: and p: in \"p:read\""},
      {"-on \"x\" -ot reg -rec cont -actn clear -clr \"dacl\"",
       "unknown value \"cont\" for -rec with -ot reg"},
      {"-on \"x\" -ot file -actn trustee -trst \"n1:a;ta:cpytrst;w:dacl\"", "-trst ta:cpytrst needs n2:"},
      {"-on \"x\" -ot file -actn setowner -ownr \"n:a;s:n\"", "unknown value \"n\" for s:"},
      {"-on \"x\" -ot file -actn setprot -op \"dacl:nc\"", "-op needs dacl: and sacl: in \"dacl:nc\""},
      {"-on \"x\" -ot file -actn list -lst \"f:sddl;w:o,d\" -bckp \"b\"",
       "unknown value \"o,d\" for w:"},
      {"-on \"x\" -on \"y\" -ot file -actn clear -clr \"dacl\"", "-on given twice"},
      {"-on \"x\" -ot file -actn clear -actn clear -clr \"dacl\"", "-actn clear given twice"},
      {"-on \"x\" -ot file stray -actn clear -clr \"dacl\"", "unexpected \"stray\""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(standin::Parse(std::string("SetACL.exe ") + c.arguments).error, c.error) << c.arguments;
}
