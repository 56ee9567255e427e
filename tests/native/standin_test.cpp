// Every command Vorlane composes, read back as the stand-in reads it (the one
// reader, ReadCall): values arrive as typed, the stand-in says what each
// action would do, and its refusals and leniencies are the real tool's.

#include <gtest/gtest.h>

#include "setacl/call_reader.h"
#include "setacl/call_string.h"
#include "tests/native/fakes.h"
#include "tools/setacl/describe.h"

namespace {

class StandIn : public ::testing::Test, public Headless {
 protected:
  CallReading run() { return ReadCall("C:\\Tools\\" + main.txtCallString.text()); }
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
      EXPECT_EQ(ReadCall(line).command.object, c.name) << line;
    }
    EXPECT_EQ(ReadCall(commands[0]).logPath, "C:\\Program Files\\Perm\\LogFiles\\logs\\");
    EXPECT_EQ(SplitArguments(commands[1]).at(0), "C:\\Program Files\\Perm\\SetACL.exe");
    for (const std::string& line : {commands[1], commands[2]}) {
      const CallReading reading = ReadCall(line);
      EXPECT_EQ(reading.refusal(), nullptr) << line;
      EXPECT_EQ(reading.backupFile, "C:\\Program Files\\Perm\\Backups\\set\\") << line;
    }
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
  const CallReading reading = run();
  ASSERT_EQ(reading.refusal(), nullptr) << reading.refusal()->toolMessage;
  EXPECT_TRUE(reading.command.silent);
  EXPECT_TRUE(reading.command.continueOnErrors);
  EXPECT_EQ(reading.logPath, "D:\\Tools\\LogFiles\\run1.log");
  const std::string on =
      " on file \"C:\\Data\\My Projects\", recursion cont_obj, skipping "
      "\"Temp files\", going on after errors";
  EXPECT_EQ(
      standin::Describe(reading),
      (std::vector<std::string>{
          "ace: grant read,list_folder,read_ex for \"Everyone\" in dacl, inheritance so,sc" + on,
          "ace: deny full,delete for \"S-1-5-32-545\" (SID) in dacl" + on,
          "ace: aud_succ read for \"Bob\" in sacl, inheritance so,sc" + on,
          "trustee: repltrst \"Users\" and \"Guests\" (SID) in dacl,sacl" + on,
          "setowner: \"Administrators\"" + on,
          "setgroup: \"S-1-5-32-544\" (SID)" + on,
          "setprot: dacl p_c, sacl nc" + on,
          "clear: dacl,sacl" + on,
          "rstchldrn: dacl" + on,
      }));
}

TEST_F(StandIn, TakesEveryTypeWithItsOwnPermissionsAndRecursion) {
  struct Case { int type; const char *ace, *recursionBox; };
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
    const CallReading reading = run();
    EXPECT_EQ(reading.refusal(), nullptr)
        << main.txtCallString.text() << ": " << reading.refusal()->toolMessage;
  }
}

TEST(StandInReading, BackupRestoreAndListingToTheScreen) {
  const CallReading list = ReadCall(
      "C:\\Tools\\Perm\\SetACL.exe -on \"D:\\Data\" -ot file -actn list -lst \"f:sddl;w:o,d\" "
      "-bckp \"C:\\Tools\\Perm\\Backups\\data.txt\"");
  ASSERT_EQ(list.refusal(), nullptr);
  EXPECT_FALSE(standin::ListsToScreen(list));
  EXPECT_EQ(
      standin::Describe(list),
      std::vector<std::string>{"list: d,o as sddl into \"C:\\Tools\\Perm\\Backups\\data.txt\" "
                               "on file \"D:\\Data\""});
  const CallReading restore = ReadCall(
      "\"C:\\Program Files\\Perm\\SetACL.exe\" -on \"D:\\Data\" -ot file -actn restore -bckp "
      "\"C:\\Program Files\\Perm\\Backups\\data.txt\" -fltr TEMP");
  ASSERT_EQ(restore.refusal(), nullptr);
  EXPECT_EQ(standin::Describe(restore, 2),
            std::vector<std::string>{
                "restore: 2 objects from \"C:\\Program Files\\Perm\\Backups\\data.txt\" "
                "(-on is not used) on file \"D:\\Data\", skipping \"TEMP\""});
  EXPECT_TRUE(standin::Filtered(restore.command, "D:\\Data\\temp\\x"));
  EXPECT_FALSE(standin::Filtered(restore.command, "D:\\Data\\tmp"));

  const CallReading screen =
      ReadCall("SetACL.exe -on \"C:\\\\\" -ot file -actn list -lst \"f:tab;w:g,o,s,d\"");
  ASSERT_EQ(screen.refusal(), nullptr);
  EXPECT_TRUE(standin::ListsToScreen(screen));
  EXPECT_EQ(standin::Describe(screen),
            std::vector<std::string>{"list: d,s,o,g as tab into the screen on file \"C:\\\""});
}

// What the stand-in says of a call: the real tool's refusal with its exit
// code, or for a form a strict reading would refuse, what it would do. The
// refusals ReadCall's own tests name are not repeated here.
TEST(StandInReading, RefusesAndTakesWhatTheRealToolDoes) {
  struct Case {
    const char* arguments;
    const char* said;  // the refusal's message, or the one line the call is described by
    ToolExit exit;
  };
  constexpr ToolExit kRefused = ToolExit::InvalidParameters;
  const Case cases[] = {
      {"-on \"x\" -ot -actn clear", "No parameter found for option -ot", kRefused},
      {"-on \"x\" -ot file -actn clear -clr \"dacl\" -force y", "Invalid option: -force", kRefused},
      {"-on \"x\" -ot file -actn clear", "Action clear is missing its parameters.", kRefused},
      {"-on \"x\" -ot file -actn ace -ace \"n:a;p:read;m:aud_fail;w:dacl\"",
       "Invalid access mode for this ACL type: aud_fail", kRefused},
      {"-on \"x\" -ot file -actn ace -ace \"n:a;p:start_stop\"", "Invalid permission: start_stop",
       kRefused},
      {"-on \"x\" -ot file -actn ace -ace \"n:a;p:read;q:1\"", "Invalid parameter format: q:1",
       kRefused},
      {"-on \"x\" -ot file -actn ace -ace \"n:a;N:b;p:read\"",
       "Invalid parameter format: n: given twice in n:a;N:b;p:read", kRefused},
      {"-on \"x\" -ot file -actn ace -ace \"n:a;p:read;i:so,xx\"", "Invalid inheritance flag: xx",
       kRefused},
      {"-on \"x\" -ot reg -rec cont -actn clear -clr \"dacl\"",
       "Invalid recursion for this object type: cont", kRefused},
      {"-on \"x\" -ot file -actn list -lst \"f:sddl;w:d,x\"", "Invalid list type: d,x", kRefused},
      // Undoubled, the backslash escapes the quote: the rest is all object name.
      {"-on \"C:\\\" -ot file -actn clear -clr \"dacl\"", "No object type specified (-ot).",
       kRefused},
      {"-ON \"x\" -Ot FILE -ACTN Clear -clr \"SACL,DACL\" -ignoreerr",
       "clear: dacl,sacl on file \"x\", going on after errors", ToolExit::Ok},
      {"-on \"x\" -ot file -actn ace -ace \"n:a;p:read;i:sc,so;s:n;m:aud_succ;w:sacl\"",
       "ace: aud_succ read for \"a\" in sacl, inheritance so,sc on file \"x\"", ToolExit::Ok},
      {"-on \"x\" -ot file -actn ace -ace \"n:a;p:full;m:aud_fail;w:SACL\" -silent",
       "ace: aud_fail full for \"a\" in sacl on file \"x\"", ToolExit::Ok},
      // An entry for each list, as the ACE editor writes a revoke of both.
      {"-on \"x\" -ot file -actn ace -ace \"n:a;p:read;m:revoke;w:dacl\" "
       "-ace \"n:a;p:read;m:revoke;w:sacl\"",
       "ace: revoke read for \"a\" in dacl,sacl on file \"x\"", ToolExit::Ok},
      {"-on \"x\" -ot file -actn setowner -ownr \"n:a;s:n;\"", "setowner: \"a\" on file \"x\"",
       ToolExit::Ok},
      {"-on \"x\" -ot file -actn rstchldrn -rst \"sacl,dacl\"",
       "rstchldrn: dacl,sacl on file \"x\"", ToolExit::Ok},
      {"-on \"x\" -ot file -actn trustee -trst \"n1:a;ta:remtrst;w:sacl,dacl\"",
       "trustee: remtrst \"a\" in dacl,sacl on file \"x\"", ToolExit::Ok},
      // Without -lst the tool lists the DACL as CSV.
      {"-on x -ot file -actn list", "list: d as csv into the screen on file \"x\"", ToolExit::Ok},
      {"-on \"x\" -ot file -actn list -lst \"f:csv;w:g,d;i:y;s:n\"",
       "list: d,g, inherited as csv into the screen on file \"x\"", ToolExit::Ok},
      {"-on \"x\" -ot reg -rec YES -actn clear -clr \"dacl\"",
       "clear: dacl on reg \"x\", recursion yes", ToolExit::Ok},
      {"-on \"x\" -ot srv -rec cont -actn clear -clr \"dacl\"", "clear: dacl on srv \"x\"",
       ToolExit::Ok},
  };
  for (const Case& c : cases) {
    const CallReading reading = ReadCall(std::string("SetACL.exe ") + c.arguments);
    const CallProblem* refusal = reading.refusal();
    EXPECT_EQ(refusal ? refusal->exit : ToolExit::Ok, c.exit) << c.arguments;
    EXPECT_EQ(refusal ? std::vector<std::string>{refusal->toolMessage} : standin::Describe(reading),
              std::vector<std::string>{c.said})
        << c.arguments;
  }
}

TEST(StandInReading, SplitsArgumentsAsTheCRuntimeDoes) {
  const CallReading reading = ReadCall(
      "\"C:\\Program Files\\SetACL.exe\" -on \"C:\\\\\" -fltr a\\\\b -fltr \"q\\\"x\" "
      "-fltr \"\"\"\" -fltr e\"\" -fltr \"\" -ot file -actn clear -clr dacl");
  ASSERT_EQ(reading.refusal(), nullptr);
  EXPECT_EQ(reading.command.object, "C:\\");
  EXPECT_EQ(reading.command.filters.added,
            (std::vector<std::string>{"a\\\\b", "q\"x", "\"", "e", ""}));
}
