// Every command Vorlane composes, read back as the real SetACL.exe reads its
// arguments (the stand-in's reading): values arrive as typed; and the
// stand-in's refusals and leniencies are the real tool's.

#include <gtest/gtest.h>

#include "setacl/call_string.h"
#include "setacl/arguments.h"
#include "tests/native/fakes.h"
#include "tools/setacl/command.h"

namespace {

class StandIn : public ::testing::Test, public Headless {
 protected:
  standin::Parsed run() { return standin::Parse("C:\\Tools\\" + main.txtCallString.text()); }
};

}  // namespace

// Backslashes before a closing quote are doubled and a quote inside a value
// escaped, so the C runtime gives the tool the value as typed. The backup and
// restore commands start SetACL.exe by its quoted path.
TEST(StandInReading, EveryComposedCommandCarriesValuesAsTyped) {
  struct Case {
    const char* name;
    const char* onOption;  // -on as the command lines carry it
  };
  const Case cases[] = {
      {"C:\\", "-on \"C:\\\\\""},
      {"\\\\server\\share\\", "-on \"\\\\server\\share\\\\\""},
      {"C:\\Data\\\\", "-on \"C:\\Data\\\\\\\\\""},
      {"C:\\Data\\Projects", "-on \"C:\\Data\\Projects\""},
      {"C:\\My \"Data\"", "-on \"C:\\My \\\"Data\\\"\""},
  };
  const std::string program = "C:\\Program Files\\Perm";
  for (const Case& c : cases) {
    Command command;
    command.object = c.name;
    command.logFile = "logs\\";
    const std::string commands[] = {"C:\\Tools\\" + CallString(command, program),
                                    BackupCommand(program, command, {.dacl = true}, "set\\"),
                                    RestoreCommand(program, command, "set\\")};
    for (const std::string& line : commands) {
      EXPECT_NE(line.find(std::string(" ") + c.onOption + " -ot file"), std::string::npos) << line;
      std::vector<std::string> args = SplitArguments(line);
      EXPECT_EQ(args.at(2), c.name) << line;
    }
    EXPECT_EQ(standin::Parse(commands[0]).command.log, "C:\\Program Files\\Perm\\LogFiles\\logs\\");
    EXPECT_EQ(SplitArguments(commands[1]).at(0), "C:\\Program Files\\Perm\\SetACL.exe");
    EXPECT_EQ(standin::Parse(commands[1]).command.backup, "C:\\Program Files\\Perm\\Backups\\set\\");
    EXPECT_EQ(standin::Parse(commands[2]).command.backup, "C:\\Program Files\\Perm\\Backups\\set\\");
  }
}

TEST_F(StandIn, TakesWhatTheMainWindowAndEditorsComposeAndSaysWhatItWouldDo) {
  type(main.txtObjName, "C:\\Data\\My Projects");
  main.cboRecursionFile.userPick(3);
  // Entries as the editors write them, and one edited by hand in the list editor.
  handEdit(main.cmdAceNum,
           "-ace \"n:Everyone;p:read,list_folder,read_ex;i:so,sc;m:grant;w:dacl\" "
           "-ace \"n:S-1-5-32-545;p:full,delete;s:y;m:deny;w:dacl\" "
           "-ace \"N:Bob;P:READ;I:sc,so;S:n;M:Aud_Succ;W:SACL\" ");
  handEdit(main.cmdTrstNum, " -trst \"n1:Users;n2:Guests;s2:y;ta:repltrst;w:sacl,dacl\"");
  type(main.txtOwner, "Administrators");
  addFilter("Temp files");
  main.chkGroup.userClick();
  type(main.txtGroup, "S-1-5-32-544");
  main.cboInDacl.userPick(2);
  main.cboClr.userPick(3);
  main.cboRstchldrn.userPick(1);
  type(main.txtLogFile, "run1.log");
  main.chkIgnoreErr.userClick();
  main.optSilentYes.userClick();
  standin::Parsed parsed = run();
  ASSERT_EQ(parsed.error, "");
  EXPECT_TRUE(parsed.command.silent);
  EXPECT_TRUE(parsed.command.ignoreErrors);
  EXPECT_EQ(parsed.command.log, "D:\\Tools\\LogFiles\\run1.log");
  const std::string on = " on file \"C:\\Data\\My Projects\", recursion cont_obj, skipping "
                         "\"Temp files\", going on after errors";
  EXPECT_EQ(standin::Describe(parsed.command),
            (std::vector<std::string>{
                "ace: grant read,list_folder,read_ex for \"Everyone\" in dacl, inheritance so,sc" + on,
                "ace: deny full,delete for \"S-1-5-32-545\" (SID) in dacl" + on,
                "ace: aud_succ read for \"Bob\" in sacl, inheritance sc,so" + on,
                "trustee: repltrst \"Users\" and \"Guests\" (SID) in dacl,sacl" + on,
                "setowner: \"Administrators\"" + on,
                "setgroup: \"S-1-5-32-544\" (SID)" + on,
                "setprot: dacl p_c, sacl nc" + on,
                "clear: dacl,sacl" + on,
                "rstchldrn: dacl" + on,
            }));
}

// A key name may hold quotes: the tool reads one object, with no recursion
// of its own.
TEST_F(StandIn, ReadsAKeyNameWithQuotesAsOneObject) {
  main.CboObjType.setText("Reg Key");
  type(main.txtObjName, R"(HKLM\SOFTWARE\Acme\Sub" -rec "yes)");
  main.cboClr.userPick(1);
  standin::Parsed parsed = run();
  ASSERT_EQ(parsed.error, "") << main.txtCallString.text();
  EXPECT_EQ(parsed.command.object, R"(HKLM\SOFTWARE\Acme\Sub" -rec "yes)");
  EXPECT_EQ(parsed.command.recursion, "");
  EXPECT_EQ(standin::Describe(parsed.command),
            std::vector<std::string>{R"(clear: dacl on reg "HKLM\SOFTWARE\Acme\Sub" -rec "yes")"});
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
    handEdit(main.cmdAceNum, std::string("-ace \"n:x;") + c.ace + ";m:set;w:dacl\" ");
    EXPECT_EQ(run().error, "") << main.txtCallString.text();
  }
}

TEST(StandInParse, BackupRestoreAndListingToTheScreen) {
  standin::Parsed list = standin::Parse(
      "C:\\Tools\\Perm\\SetACL.exe -on \"D:\\Data\" -ot file -actn list -lst \"f:sddl;w:o,d\" "
      "-bckp \"C:\\Tools\\Perm\\Backups\\data.txt\"");
  ASSERT_EQ(list.error, "");
  EXPECT_EQ(standin::Describe(list.command),
            std::vector<std::string>{"list: d,o as sddl into \"C:\\Tools\\Perm\\Backups\\data.txt\" "
                                     "on file \"D:\\Data\""});
  standin::Parsed restore = standin::Parse(
      "\"C:\\Program Files\\Perm\\SetACL.exe\" -on \"D:\\Data\" -ot file -actn restore -bckp "
      "\"C:\\Program Files\\Perm\\Backups\\data.txt\"");
  ASSERT_EQ(restore.error, "");
  EXPECT_EQ(restore.command.backup, "C:\\Program Files\\Perm\\Backups\\data.txt");
  restore.command.backedUpObjects = 2;
  restore.command.filters = {"TEMP"};
  EXPECT_EQ(standin::Describe(restore.command),
            std::vector<std::string>{"restore: 2 objects from \"C:\\Program Files\\Perm\\Backups\\data.txt\" "
                                     "(-on is not used) on file \"D:\\Data\", skipping \"TEMP\""});
  EXPECT_TRUE(standin::Filtered(restore.command, "D:\\Data\\temp\\x"));
  EXPECT_FALSE(standin::Filtered(restore.command, "D:\\Data\\tmp"));

  standin::Parsed screen =
      standin::Parse("SetACL.exe -on \"C:\\\\\" -ot file -actn list -lst \"f:tab;w:g,o,s,d\"");
  ASSERT_EQ(screen.error, "");
  EXPECT_TRUE(standin::ListsToScreen(screen.command));
  EXPECT_EQ(standin::Describe(screen.command),
            std::vector<std::string>{"list: d,s,o,g as tab into the screen on file \"C:\\\""});
}

// Each refusal of the real tool with its message and exit code, and each form
// it takes that a strict reading would refuse.
TEST(StandInParse, RefusesAndTakesWhatTheRealToolDoes) {
  struct Case {
    const char* arguments;
    const char* error;  // empty: taken
    standin::ExitCode code;
  };
  using standin::kInvalidParameters;
  using standin::kOk;
  const Case cases[] = {
      {"", "No parameters given: see the usage.", standin::kUsage},
      {"-on \"x\" -ot file", "No action specified (-actn).", kInvalidParameters},
      {"-ot file -actn clear -clr \"dacl\"", "No object name specified (-on).", kInvalidParameters},
      {"-on \"\" -ot file -actn clear -clr \"dacl\"", "No object name specified (-on).",
       kInvalidParameters},
      {"-on \"-x\" -ot file -actn clear -clr \"dacl\"", "No parameter found for option -on",
       kInvalidParameters},
      {"-on \"x\" -ot -actn clear", "No parameter found for option -ot", kInvalidParameters},
      {"-on \"x\" -ot disk -actn clear -clr \"dacl\"", "Invalid object type: disk", kInvalidParameters},
      {"-on \"x\" -ot file -actn clear -clr \"all\"", "Invalid ACL type: all", kInvalidParameters},
      {"-on \"x\" -ot file -actn clear -clr \"dacl\" -force y", "Invalid option: -force",
       kInvalidParameters},
      {"-on \"x\" -ot file -actn clear", "Action clear is missing its parameters.", kInvalidParameters},
      {"-on \"x\" -ot file -actn ace -ace \"n:a;p:read;m:set;w:sacl,dacl\"",
       "Invalid ACL type: sacl,dacl", kInvalidParameters},
      {"-on \"x\" -ot file -actn ace -ace \"n:a;p:read;m:grant;w:sacl\"",
       "Invalid access mode for this ACL type: grant", kInvalidParameters},
      {"-on \"x\" -ot file -actn ace -ace \"n:a;p:read;m:aud_fail;w:dacl\"",
       "Invalid access mode for this ACL type: aud_fail", kInvalidParameters},
      {"-on \"x\" -ot file -actn ace -ace \"n:a;p:start_stop\"", "Invalid permission: start_stop",
       kInvalidParameters},
      {"-on \"x\" -ot file -actn ace -ace \"n:a;p:read;q:1\"", "Invalid parameter format: q:1",
       kInvalidParameters},
      {"-on \"x\" -ot file -actn ace -ace \"n:a;N:b;p:read\"",
       "Invalid parameter format: n: given twice in n:a;N:b;p:read", kInvalidParameters},
      {"-on \"x\" -on \"y\" -ot file -actn clear -clr \"dacl\"",
       "Option -on specified more than once.", kInvalidParameters},
      {"-on \"x\" -ot file -actn ace -ace \"n:a;p:read;i:so,xx\"", "Invalid inheritance flag: xx",
       kInvalidParameters},
      {"-on \"x\" -ot reg -rec cont -actn clear -clr \"dacl\"",
       "Invalid recursion for this object type: cont", kInvalidParameters},
      {"-on \"x\" -ot file -actn trustee -trst \"n1:a;ta:cpytrst\"",
       "Trustee action cpytrst needs a second trustee.", kInvalidParameters},
      {"-on \"x\" -ot file -actn list -lst \"f:sddl;w:d,x\"", "Invalid list type: d,x",
       kInvalidParameters},
      {"-on \"x\" -ot file stray -actn clear -clr \"dacl\"", "Invalid parameter: stray",
       kInvalidParameters},
      // Undoubled, the backslash escapes the quote: the rest is all object name.
      {"-on \"C:\\\" -ot file -actn clear -clr \"dacl\"", "No object type specified (-ot).",
       kInvalidParameters},
      {"-ON \"x\" -Ot FILE -ACTN Clear -clr \"SACL,DACL\" -ignoreerr", "", kOk},
      {"-on \"x\" -ot file -actn ace -ace \"n:a;p:read;i:sc,so;s:n;m:aud_succ;w:sacl\"", "", kOk},
      {"-on \"x\" -ot file -actn ace -ace \"n:a;p:full;m:aud_fail;w:SACL\" -silent", "", kOk},
      {"-on \"x\" -ot file -actn setowner -ownr \"n:a;s:n;\"", "", kOk},
      {"-on \"x\" -ot file -actn rstchldrn -rst \"sacl,dacl\"", "", kOk},
      {"-on \"x\" -ot file -actn trustee -trst \"n1:a;ta:remtrst;w:sacl,dacl\"", "", kOk},
      {"-on \"x\" -ot file -actn list -lst \"f:csv;w:g,d;i:y;s:n\"", "", kOk},
      {"-on \"x\" -ot srv -rec cont -actn clear -clr \"dacl\"", "", kOk},
  };
  for (const Case& c : cases) {
    standin::Parsed parsed = standin::Parse(std::string("SetACL.exe ") + c.arguments);
    EXPECT_EQ(parsed.error, c.error) << c.arguments;
    EXPECT_EQ(parsed.exitCode, c.code) << c.arguments;
  }
}

TEST(StandInParse, SplitsArgumentsAsTheCRuntimeDoes) {
  EXPECT_EQ(SplitArguments(
                "\"C:\\Program Files\\SetACL.exe\" -on \"C:\\\\\" a\\\\b \"q\\\"x\" \"\"\"\" e\"\" \"\""),
            (std::vector<std::string>{"C:\\Program Files\\SetACL.exe", "-on", "C:\\", "a\\\\b",
                                      "q\"x", "\"", "e", ""}));
}
