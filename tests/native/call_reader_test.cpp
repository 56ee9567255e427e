// The one reader of the tool's command lines.

#include <gtest/gtest.h>

#include <functional>
#include <span>

#include "setacl/call_reader.h"
#include "setacl/call_string.h"

namespace {

constexpr const char* kProgram = "D:\\Tools";

Command Object(ObjectType type = ObjectType::File) {
  Command c;
  c.object = type == ObjectType::Registry ? "HKLM\\SOFTWARE\\A \"b\"\\" : "C:\\Data\\";
  c.type = type;
  return c;
}

// The model composed and read back.
void RoundTrip(const Command& c, const std::string& what) {
  const std::string call = CallString(c, kProgram);
  CallReading r = ReadCall(call, kProgram);
  EXPECT_EQ(r.command, c) << what << ": " << call;
  EXPECT_EQ(r.refusal(), nullptr) << what << ": " << call << ": " << r.refusal()->toolMessage;
}

}  // namespace

TEST(CallReader, EveryChoiceReadsBackAsComposed) {
  for (const auto& type : kObjectTypes) {
    Command c = Object(type.value);
    c.owner = {"Bob", true};
    RoundTrip(c, "type " + std::string(type.token));
  }
  using Recursions = std::span<const Choice<Recursion>>;
  for (const auto& [table, type] : {std::pair{Recursions(kFileRecursion), ObjectType::File},
                                    std::pair{Recursions(kRegistryRecursion), ObjectType::Registry}})
    for (const auto& row : table) {
      Command c = Object(type);
      c.recursion = row.value;
      c.group = {"Admins"};
      RoundTrip(c, "recursion " + std::string(row.token));
    }
  for (const auto& row : kAclLists) {
    Command clear = Object(), reset = Object(ObjectType::Registry);
    clear.clear = row.value;
    reset.resetChildren = row.value;
    RoundTrip(clear, "clear " + std::string(row.token));
    RoundTrip(reset, "reset " + std::string(row.token));
    Command trustee = Object();
    trustee.trustees.add({TrusteeAction::Remove, {"Old"}, {}, row.value});
    RoundTrip(trustee, "trustee in " + std::string(row.token));
    // Both lists take revoke alone, written as an entry for each.
    Command ace = Object();
    ace.aces.add({{"Users"}, {"read"}, 0, ModesFor(row.value).front(), row.value});
    RoundTrip(ace, "ACE in " + std::string(row.token));
  }
  for (const auto& row : kAceModes) {
    Command c = Object(ObjectType::Registry);
    AclLists list = ListTakesMode(AclLists::Dacl, row.value) ? AclLists::Dacl : AclLists::Sacl;
    c.aces.add({{"S-1-5-32-545", true}, {"read", "full"}, kSubContainers, row.value, list});
    RoundTrip(c, "mode " + std::string(row.token));
  }
  for (const auto& row : kInheritanceFlags) {
    Command c = Object();
    c.aces.add({{"Users"}, {"read_ex"}, row.value, AceMode::Grant, AclLists::Dacl});
    c.aces.add({{"Guests"}, {"write"}, static_cast<std::uint8_t>(row.value | kSubObjects), AceMode::Deny,
                AclLists::Dacl});
    RoundTrip(c, "inheritance " + std::string(row.token));
  }
  for (const auto& row : kProtections) {
    Command dacl = Object(), sacl = Object();
    dacl.daclProtection = sacl.saclProtection = row.value;
    dacl.saclProtection = Protection::ProtectedCopy;
    RoundTrip(dacl, "protection " + std::string(row.token));
    if (row.value != Protection::NoChange) RoundTrip(sacl, "SACL protection " + std::string(row.token));
  }
  for (const auto& row : kTrusteeActions) {
    Command c = Object();
    c.trustees.add({row.value, {"Old", true}, row.value == TrusteeAction::Remove ? Account{} : Account{"New"},
                    AclLists::Dacl});
    RoundTrip(c, "trustee action " + std::string(row.token));
  }
  // The rest of the options, each as composed.
  Command all = Object();
  all.filters.add("tmp");
  all.filters.add("a \"b\\");
  all.logFile = "run \"1\".log";
  all.continueOnErrors = all.silent = true;
  all.owner = {"Bob"};
  RoundTrip(all, "filters, log, continue, silent");
  for (const auto& row : kListFormats) {
    const Listing listing{.format = row.value, .sacl = true, .group = true, .inherited = true};
    CallReading r = ReadCall(BackupCommand(kProgram, Object(), listing, "b.txt"), kProgram);
    EXPECT_EQ(r.listing, listing) << row.token;
    EXPECT_EQ(r.backupFile, "D:\\Tools\\Backups\\b.txt");
    EXPECT_EQ(r.actions, std::vector<std::string>{"list"});
  }
}

// The tool stops at the first part it refuses, with its own message.
TEST(CallReader, WhatTheToolRefusesIsNamedInItsWords) {
  const struct {
    const char* line;
    const char* message;
    ToolExit exit = ToolExit::InvalidParameters;
  } cases[] = {
      {"SetACL.exe", "No parameters given: see the usage.", ToolExit::Usage},
      {"SetACL.exe -on x -ot file junk -actn clear -clr dacl", "Invalid parameter: junk"},
      {"SetACL.exe -on x -ot file -actn clear -clr", "No parameter found for option -clr"},
      {"SetACL.exe -on -x -ot file -actn clear -clr dacl", "No parameter found for option -on"},
      {"SetACL.exe -on x -ot wmi -actn clear -clr dacl", "Invalid object type: wmi"},
      {"SetACL.exe -on x -on y -ot file -actn clear -clr dacl", "Option -on specified more than once."},
      {"SetACL.exe -on x -ot file -actn clear -clr dacl,xacl", "Invalid ACL type: dacl,xacl"},
      {"SetACL.exe -on x -ot file -actn ace -ace n:a;p:read;w:sacl,dacl", "Invalid ACL type: sacl,dacl"},
      {"SetACL.exe -on x -ot file -actn ace -ace n:a;p:read;m:grant;w:sacl",
       "Invalid access mode for this ACL type: grant"},
      {"SetACL.exe -on x -ot reg -actn ace -ace n:a;p:list_folder", "Invalid permission: list_folder"},
      {"SetACL.exe -on x -ot file -rec yes -actn clear -clr dacl",
       "Invalid recursion for this object type: yes"},
      {"SetACL.exe -on x -ot file -actn trustee -trst n1:a;ta:cpytrst",
       "Trustee action cpytrst needs a second trustee."},
      {"SetACL.exe -on x -ot file -actn setowner", "Action setowner is missing its parameters."},
      {"SetACL.exe -on x -ot file -actn clear -clr dacl -bckp f", "-bckp needs the action list or restore."},
      {"SetACL.exe -on \"\" -ot file -actn clear -clr dacl", "No object name specified (-on)."},
      {"SetACL.exe -ot file -actn clear -clr dacl", "No object name specified (-on)."},
      {"SetACL.exe -on x -ot file", "No action specified (-actn)."},
  };
  for (const auto& c : cases) {
    CallReading r = ReadCall(c.line);
    ASSERT_NE(r.refusal(), nullptr) << c.line;
    EXPECT_EQ(r.refusal()->toolMessage, c.message) << c.line;
    EXPECT_EQ(r.refusal()->exit, c.exit) << c.line;
  }
  // Options and keywords in any case; a restore needs no object.
  EXPECT_EQ(ReadCall("SetACL.exe -ON x -Ot FILE -ACTN Clear -CLR DACL").refusal(), nullptr);
  EXPECT_EQ(ReadCall("SetACL.exe -on \"\" -ot file -actn restore -bckp f.txt").refusal(), nullptr);
}
