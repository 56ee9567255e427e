// The call string: composed from the model, and as the main window's
// controls set the model.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "setacl/call_string.h"
#include "setacl/scope.h"
#include "setacl/arguments.h"
#include "tests/native/fakes.h"

namespace {

const std::string kFile = "SetACL.exe -on \"C:\\D\" -ot file";
using Args = std::vector<std::string>;

}  // namespace

// Every option in its place. A quote inside a value goes as \" with the
// backslashes right before it doubled, so the C runtime hands SetACL.exe every
// value whole (the tail: the arguments after the object and its type);
// backslashes before the closing quote are doubled, those before a ; are not.
// A list edited by hand is command-line text already and goes in as typed.
TEST(Compose, EveryOptionInItsPlace) {
  struct Case {
    std::function<void(Command&)> set;
    std::string call;
    std::optional<Args> tail = std::nullopt;
  };
  const AceEntry read{{"Users"}, {"read"}, 0, AceMode::Grant, AclLists::Dacl};
  const Case cases[] = {
      {[](Command&) {}, kFile},
      {[](Command& c) { c.type = ObjectType::Share; }, "SetACL.exe -on \"C:\\D\" -ot shr"},
      // Backslashes before a closing quote are doubled.
      {[](Command& c) { c.object = "C:\\"; }, "SetACL.exe -on \"C:\\\\\" -ot file"},
      {[&](Command& c) { c.aces.add(read); },
       kFile + " -actn ace -ace \"n:Users;p:read;m:grant;w:dacl\" "},
      {[](Command& c) {
         c.aces.add({{"S-1-1-0", true}, {"read", "profile"}, kSubObjects | kSubContainers,
                     AceMode::Revoke, AclLists::Both});
         c.aces.add({{"B"}, {"full"}, kNoPropagation, AceMode::Deny, AclLists::Sacl});
       },
       kFile + " -actn ace -ace \"n:S-1-1-0;p:read,profile;s:y;i:so,sc;m:revoke;w:dacl\" "
               "-ace \"n:S-1-1-0;p:read,profile;s:y;i:so,sc;m:revoke;w:sacl\" "
               "-ace \"n:B;p:full;i:np;m:deny;w:sacl\" "},
      // Entries added after a hand edit follow the edited text.
      {[&](Command& c) { c.aces.replace("edited "); c.aces.add(read); },
       kFile + " -actn ace edited -ace \"n:Users;p:read;m:grant;w:dacl\" "},
      {[](Command& c) {
         c.trustees.add({TrusteeAction::Replace, {"Users"}, {"Guests", true}, AclLists::Both});
         c.trustees.add({TrusteeAction::Remove, {"S-1-1-0", true}, {"left", true}, AclLists::Sacl});
       },
       kFile + " -actn trustee -trst \"n1:Users;n2:Guests;s2:y;ta:repltrst;w:dacl,sacl\" "
               "-trst \"n1:S-1-1-0;s1:y;ta:remtrst;w:sacl\""},
      {[](Command& c) { c.owner = {"Bob"}; }, kFile + " -actn setowner -ownr \"n:Bob;\""},
      {[](Command& c) { c.owner = {"Bob", true}; }, kFile + " -actn setowner -ownr \"n:Bob;s:y\""},
      {[](Command& c) { c.group = {"G\\"}; }, kFile + " -actn setgroup -grp \"n:G\\\\\""},
      {[](Command& c) { c.group = {"S-1-5-32-544", true}; },
       kFile + " -actn setgroup -grp \"n:S-1-5-32-544;s:y\""},
      {[](Command& c) { c.recursion = Recursion::ContainersAndObjects; }, kFile + " -rec cont_obj"},
      {[](Command& c) { c.type = ObjectType::Registry; c.recursion = Recursion::Subkeys; },
       "SetACL.exe -on \"C:\\D\" -ot reg -rec yes"},
      // Recursion counts for files and keys only, each with its own values.
      {[](Command& c) { c.type = ObjectType::Service; c.recursion = Recursion::Containers; },
       "SetACL.exe -on \"C:\\D\" -ot srv"},
      {[](Command& c) { c.type = ObjectType::Registry; c.recursion = Recursion::Objects; },
       "SetACL.exe -on \"C:\\D\" -ot reg"},
      {[](Command& c) { c.filters.add("tmp"); c.filters.add("b\\"); },
       kFile + " -fltr \"tmp\"  -fltr \"b\\\\\" "},
      {[](Command& c) { c.saclProtection = Protection::InheritsParent; },
       kFile + " -actn setprot -op \"dacl:nc;sacl:np\""},
      {[](Command& c) { c.daclProtection = Protection::ProtectedNoCopy; },
       kFile + " -actn setprot -op \"dacl:p_nc;sacl:nc\""},
      {[](Command& c) { c.clear = AclLists::Both; }, kFile + " -actn clear -clr \"dacl,sacl\""},
      {[](Command& c) { c.resetChildren = AclLists::Sacl; },
       kFile + " -actn rstchldrn -rst \"sacl\""},
      {[](Command& c) { c.logFile = "x y.log"; },
       kFile + " -log \"D:\\Tools\\LogFiles\\x y.log\""},
      {[](Command& c) { c.continueOnErrors = c.silent = true; }, kFile + " -ignoreerr -silent "},
      // Quotes in values, and what the C runtime hands the tool of them.
      {[](Command& c) { c.object = R"( a"b )"; }, "SetACL.exe" R"( -on " a\"b " -ot file)", Args{}},
      {[](Command& c) { c.object = R"(a\\"b)"; }, "SetACL.exe" R"( -on "a\\\\\"b" -ot file)", Args{}},
      {[](Command& c) { c.object = R"(C:\My "Data"\)"; },
       "SetACL.exe" R"( -on "C:\My \"Data\"\\" -ot file)", Args{}},
      {[](Command& c) { c.filters.add("tmp"); c.filters.add(R"(a "b\)"); },
       kFile + R"( -fltr "tmp"  -fltr "a \"b\\" )",
       Args{"-fltr", "tmp", "-fltr", R"(a "b\)"}},
      {[](Command& c) { c.owner = {R"(Bob "the" Admin)"}; },
       kFile + R"( -actn setowner -ownr "n:Bob \"the\" Admin;")",
       Args{"-actn", "setowner", "-ownr", R"(n:Bob "the" Admin;)"}},
      {[](Command& c) { c.owner = {R"(S"1)", true}; },
       kFile + R"( -actn setowner -ownr "n:S\"1;s:y")",
       Args{"-actn", "setowner", "-ownr", R"(n:S"1;s:y)"}},
      {[](Command& c) { c.group = {R"(G"\)"}; },
       kFile + R"( -actn setgroup -grp "n:G\"\\")",
       Args{"-actn", "setgroup", "-grp", R"(n:G"\)"}},
      {[](Command& c) { c.group = {R"(G"\)", true}; },
       kFile + R"( -actn setgroup -grp "n:G\"\;s:y")",
       Args{"-actn", "setgroup", "-grp", R"(n:G"\;s:y)"}},
      {[](Command& c) {
         c.aces.replace(R"(-ace "n:q\"x;p:read" )");
         c.aces.add({{R"(Dom\"x\)"}, {"read"}, 0, AceMode::Grant, AclLists::Dacl});
       },
       kFile + R"( -actn ace -ace "n:q\"x;p:read" )"
       R"(-ace "n:Dom\\\"x\;p:read;m:grant;w:dacl" )",
       Args{"-actn", "ace", "-ace", R"(n:q"x;p:read)", "-ace", R"(n:Dom\"x\;p:read;m:grant;w:dacl)"}},
      {[](Command& c) {
         c.trustees.add({TrusteeAction::Replace, {R"(A"1)"}, {R"(B"2\)", true}, AclLists::Dacl});
         c.trustees.add({TrusteeAction::Remove, {R"(C"3)"}, {}, AclLists::Sacl});
       },
       kFile + R"( -actn trustee -trst "n1:A\"1;n2:B\"2\;s2:y;ta:repltrst;w:dacl")"
       R"( -trst "n1:C\"3;ta:remtrst;w:sacl")",
       Args{"-actn", "trustee", "-trst", R"(n1:A"1;n2:B"2\;s2:y;ta:repltrst;w:dacl)", "-trst",
        R"(n1:C"3;ta:remtrst;w:sacl)"}},
      {[](Command& c) { c.logFile = R"(a"b.log)"; },
       kFile + R"( -log "D:\Tools\LogFiles\a\"b.log")",
       Args{"-log", R"(D:\Tools\LogFiles\a"b.log)"}},
      // The folder's last backslash stands right before the name's quote.
      {[](Command& c) { c.logFile = R"("x\)"; },
       kFile + R"( -log "D:\Tools\LogFiles\\\"x\\")",
       Args{"-log", R"(D:\Tools\LogFiles\"x\)"}},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    Command command;
    command.object = R"(C:\D)";
    cases[i].set(command);
    const std::string call = CallString(command, R"(D:\Tools)");
    EXPECT_EQ(call, cases[i].call) << "case " << i;
    if (!cases[i].tail) continue;
    std::vector<std::string> expected = {"SetACL.exe", "-on", command.object, "-ot", "file"};
    expected.insert(expected.end(), cases[i].tail->begin(), cases[i].tail->end());
    EXPECT_EQ(SplitArguments(call), expected) << "case " << i;
  }
}

// The key name with quotes in every command that names the object: always
// one object, never a -rec of its own.
TEST(Compose, AKeyNameWithQuotesIsOneObjectInEveryCommand) {
  Command key;
  key.object = R"(HKLM\SOFTWARE\Acme\Sub" -rec "yes)";
  key.type = ObjectType::Registry;
  const std::string on = R"( -on "HKLM\SOFTWARE\Acme\Sub\" -rec \"yes" -ot reg)";
  const std::string scope = ScopeArguments(*ScopeOfCall(CallArguments(key, R"(C:\Program Files\Perm)")));
  const std::string program = R"(C:\Program Files\Perm)";
  const std::string programName = R"("C:\Program Files\Perm\SetACL.exe")";
  const std::string snap = R"(C:\Snaps\1.txt)";
  const std::string set = R"(C:\Program Files\Perm\Backups\"set")";
  struct Case { std::string line, expected, file; };  // file: what -bckp hands the tool, if given
  const Case cases[] = {
      {CallString(key, program), "SetACL.exe" + on, ""},
      {"SetACL.exe" + CurrentPermissionsOptions(key),
       "SetACL.exe" + on + R"( -actn list -lst "f:sddl;w:d,s,o,g")", ""},
      {"SetACL.exe" + scope, "SetACL.exe" + on + " -ignoreerr", ""},
      {"SetACL.exe" + ListingToFile(scope, snap, false),
       "SetACL.exe" + on + R"( -ignoreerr -actn list -lst "f:sddl;w:d,o,g" -bckp "C:\Snaps\1.txt")",
       snap},
      {"SetACL.exe" + RestoreFromFile(scope, snap),
       "SetACL.exe" + on + R"( -ignoreerr -actn restore -bckp "C:\Snaps\1.txt")", snap},
      // A file name that begins with a quote: the folder's backslash before it doubled.
      {BackupCommand(program, key, {.dacl = true}, R"("set")"),
       programName + on +
           R"( -actn list -lst "f:sddl;w:d" -bckp "C:\Program Files\Perm\Backups\\\"set\"")",
       set},
      {RestoreCommand(program, key, R"("set")"),
       programName + on + R"( -actn restore -bckp "C:\Program Files\Perm\Backups\\\"set\"")", set},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.line, c.expected);
    std::vector<std::string> args = SplitArguments(c.line);
    ASSERT_GE(args.size(), 5u) << c.line;
    EXPECT_EQ(args[1], "-on") << c.line;
    EXPECT_EQ(args[2], key.object) << c.line;
    EXPECT_EQ(std::ranges::count(args, "-rec"), 0) << c.line;
    auto bckp = std::ranges::find(args, "-bckp");
    EXPECT_EQ(bckp == args.end() || bckp + 1 == args.end() ? "" : *(bckp + 1), c.file) << c.line;
  }
}

namespace {

class CallString : public ::testing::Test, public Headless {
 protected:
  const std::string& call() const { return main.txtCallString.text(); }
};

}  // namespace

// The worked example, its fragments in their fixed order, and what "What It
// Does" makes of it.
TEST_F(CallString, WorkedExampleAndItsExplanation) {
  tree.children = {{"C:\\Data\\Projects", {{"Temp", true}, {"Plan.docx"}, {"Notes", true}}},
                   {"C:\\Data\\Projects\\Temp", {{"a.tmp"}}},
                   {"C:\\Data\\Projects\\Notes", {{"x.txt"}}}};
  type(main.txtObjName, "C:\\Data\\Projects");
  main.cboRecursionFile.userPick(3);
  handEdit(main.cmdAceNum, "-ace \"n:Users;p:read;m:grant;w:dacl\" ");
  type(main.txtOwner, "Administrators");
  addFilter("Temp");
  main.chkGroup.userClick();
  type(main.txtGroup, "S-1-5-32-544");
  main.cboInDacl.userPick(2);
  main.cboRstchldrn.userPick(1);
  type(main.txtLogFile, "run1.log");
  main.optSilentYes.userClick();
  const std::string example =
      "SetACL.exe -on \"C:\\Data\\Projects\" -ot file -actn ace -ace "
      "\"n:Users;p:read;m:grant;w:dacl\"  -actn setowner -ownr \"n:Administrators;\" -rec "
      "cont_obj -fltr \"Temp\"  -actn setgroup -grp \"n:S-1-5-32-544;s:y\" -actn setprot -op "
      "\"dacl:p_c;sacl:nc\" -actn rstchldrn -rst \"dacl\" -log "
      "\"D:\\Tools\\LogFiles\\run1.log\" -silent ";
  EXPECT_EQ(call(), example);
  EXPECT_EQ(main.txtExplain.text(),
            "Object: the file or folder \"C:\\Data\\Projects\"; reach: the object and every folder "
            "and file below it\r\n"
            "Reach: 4 folders and files (the filter skips 2)\r\n"
            "ACE: grant \"Users\" read (added to what they have), in the DACL\r\n"
            "Owner: becomes \"Administrators\"\r\n"
            "Filter: skip every object whose path holds \"Temp\"\r\n"
            "Primary group: becomes \"S-1-5-32-544\" (a SID)\r\n"
            "Inheritance: the DACL protected, the parent's entries copied into it; the SACL unchanged\r\n"
            "Reset children: the DACL of everything below the object is replaced by what it inherits\r\n"
            "Log: what it does is added to \"D:\\Tools\\LogFiles\\run1.log\"\r\n"
            "Silent: SetACL.exe prints nothing\r\n"
            "Warning: Reset Children replaces the permissions of everything below the object.\r\n"
            "Warning: Silent: SetACL.exe will not report its errors either.");
  // Continue on errors: after the log, before silent.
  main.chkIgnoreErr.userClick();
  EXPECT_EQ(call(), example.substr(0, example.size() - 9) + " -ignoreerr -silent ");
}

TEST_F(CallString, OptionFragments) {
  struct Case { const char *box, *pick, *fragment; } cases[] = {
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

TEST_F(CallString, RecursionCountsOnlyForItsObjectType) {
  main.cboRecursionFile.setText("Dirs Only");
  main.CboObjType.setText("Service");
  EXPECT_EQ(call(), "SetACL.exe -on \"\" -ot srv");
  main.CboObjType.setText("Reg Key");
  EXPECT_EQ(call(), "SetACL.exe -on \"\" -ot reg");
  main.cboRecursionReg.setText("Yes");
  type(main.txtOwner, "Bob");
  addFilter("x");
  EXPECT_EQ(call(),
            "SetACL.exe -on \"\" -ot reg -actn setowner -ownr \"n:Bob;\" -rec yes -fltr \"x\" ");
  main.CboObjType.setText("Dir/File");
  EXPECT_EQ(call(), "SetACL.exe -on \"\" -ot file -actn setowner -ownr \"n:Bob;\" -rec cont -fltr \"x\" ");
}

// A greyed box is not ticked, and a box with nothing selected counts as any other text.
TEST_F(CallString, TheSidBoxesAndAGreyedBox) {
  type(main.txtOwner, "Bob");
  main.chkOwner.userClick();
  EXPECT_EQ(call(), "SetACL.exe -on \"\" -ot file -actn setowner -ownr \"n:Bob;s:y\"");
  main.chkOwner.setValue(2);  // greyed is not ticked
  EXPECT_EQ(call(), "SetACL.exe -on \"\" -ot file -actn setowner -ownr \"n:Bob;\"");
  type(main.txtOwner, "");
  type(main.txtGroup, "Bob");
  EXPECT_EQ(call(), "SetACL.exe -on \"\" -ot file -actn setgroup -grp \"n:Bob\"");
  main.CboObjType.setListIndex(-1);
  EXPECT_EQ(main.command().type, ObjectType::Share);
  main.cboClr.setListIndex(-1);
  EXPECT_EQ(call(), "SetACL.exe -on \"\" -ot shr -actn setgroup -grp \"n:Bob\" -actn clear -clr \"dacl,sacl\"");
}

