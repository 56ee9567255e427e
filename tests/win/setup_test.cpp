// Start-up's services on the real system under wine: the registry, folders
// and files, and vorlane.exe itself started as a user starts it.

#include <windows.h>
#include <gtest/gtest.h>

#include <fstream>

#include "platform/error_text.h"
#include "forms/win32/wide.h"
#include "runner/reach.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_object_tree.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_workers.h"
#include "setup/mdl_registry.h"
#include "setup/mod_folder.h"
#include "tests/native/fakes.h"
#include "tests/win/child_program.h"
#include "tests/win/native_window.h"

namespace fs = std::filesystem;

namespace {

constexpr RegKey kRoot = platform::Registry::kLocalMachine;
constexpr const char* kTestKey = "SOFTWARE\\VorlaneTest";

class RealRegistry : public ::testing::Test {
 protected:
  void SetUp() override { RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\VorlaneTest"); }
  void TearDown() override { RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\VorlaneTest"); }
  // How many values the test's key holds, or -1 when it is not there.
  long values() {
    HKEY key = nullptr;
    DWORD values = 99;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\VorlaneTest", 0, KEY_READ, &key) != ERROR_SUCCESS) return -1;
    RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr, nullptr,
                     nullptr);
    RegCloseKey(key);
    return values;
  }
  win32::Win32Registry registry;
};

void WriteFile(const fs::path& path) { std::ofstream(path) << "x"; }

}  // namespace

TEST_F(RealRegistry, AStringReadsBackAsItsTextAndOneNul) {
  EXPECT_EQ(CreateRegKey(registry, kRoot, kTestKey), 0);
  const std::string texts[] = {"C:\\Tools\\", "C:\\Werkzeuge\\Ωμέγα\\工具\\"};
  for (const std::string& text : texts) {
    EXPECT_EQ(WriteRegValue(registry, kRoot, kTestKey, "Location", text), 0);
    EXPECT_EQ(ReadRegValue(registry, kRoot, kTestKey, "Location"), text + '\0');
  }
}

TEST_F(RealRegistry, AMissingValueReadsEmptyAndCreatesNothing) {
  EXPECT_EQ(ReadRegValue(registry, kRoot, kTestKey, "Location"), "");
  EXPECT_EQ(values(), -1);
  CreateRegKey(registry, kRoot, kTestKey);
  EXPECT_EQ(ReadRegValue(registry, kRoot, kTestKey, "Location"), "");
  EXPECT_EQ(values(), 0);
}

TEST(RealFiles, MakeFolderPathMakesNestedFoldersAndReportsAFailure) {
  native::TempFolder temp(L"vorlane-folders");
  win32::Win32Files files;
  ScriptedDialogs dialogs;
  std::string nested = win32::Utf8((temp.path() / L"LogFiles" / L"a" / L"b").wstring());
  MakeFolderPath(files, dialogs, nested);
  EXPECT_TRUE(fs::is_directory(temp.path() / L"LogFiles" / L"a" / L"b"));
  MakeFolderPath(files, dialogs, nested);  // all there: nothing to say

  WriteFile(temp.path() / L"plain");
  dialogs.expect({"", "Error Creating Path", forms::Buttons::Ok, forms::Icon::Critical},
                 forms::Answer::Ok, [&] {
                   const std::string& prompt = dialogs.shown.back().prompt;
                   long code = std::stol(prompt);
                   EXPECT_NE(code, 0);
                   EXPECT_EQ(prompt, std::to_string(code) + ": " + platform::SystemErrorText(code));
                   // The system's text, not empty and on one line.
                   EXPECT_GT(platform::SystemErrorText(code).size(), 0u);
                   EXPECT_EQ(prompt.find_first_of("\r\n"), std::string::npos);
                 });
  MakeFolderPath(files, dialogs, win32::Utf8((temp.path() / L"plain" / L"below").wstring()));
}

TEST(RealFiles, OnlyOrdinaryFilesExist) {
  native::TempFolder temp(L"vorlane-files");
  win32::Win32Files files;
  struct Case {
    const wchar_t* name;
    DWORD attributes;  // 0: a folder
    bool exists;
  };
  const Case cases[] = {{L"SetACL.exe", FILE_ATTRIBUTE_NORMAL, true},
                        {L"readonly.txt", FILE_ATTRIBUTE_READONLY, true},
                        {L"hidden.txt", FILE_ATTRIBUTE_HIDDEN, false},
                        {L"system.txt", FILE_ATTRIBUTE_SYSTEM, false},
                        {L"folder", 0, false}};
  for (const Case& c : cases) {
    fs::path path = temp.path() / c.name;
    if (c.attributes) {
      WriteFile(path);
      SetFileAttributesW(path.c_str(), c.attributes);
    } else {
      fs::create_directory(path);
    }
    EXPECT_EQ(files.FileExists(win32::Utf8(path.wstring())), c.exists) << win32::Utf8(c.name);
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  }
  EXPECT_FALSE(files.FileExists(win32::Utf8((temp.path() / L"missing").wstring())));
  EXPECT_TRUE(files.FolderExists(win32::Utf8((temp.path() / L"folder").wstring())));
}

namespace {

// vorlane.exe copied into a folder of its own, started as a user starts it.
class Started : public ::testing::Test {
 protected:
  void SetUp() override {
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Vorlane");
    fs::copy_file(native::BuildFolder() / L"vorlane.exe", exe);
  }
  void TearDown() override { RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Vorlane"); }
  std::string location() {
    win32::Win32Registry registry;
    return ReadRegValue(registry, kRoot, "SOFTWARE\\Vorlane", "Location");
  }
  static void Press(HWND box, int button) {
    ASSERT_NE(box, nullptr);
    native::Press(box, button);
  }

  native::TempFolder folder{L"vorlane-start"};
  fs::path exe = folder.path() / L"vorlane.exe";
  const wchar_t* kMain = L"Vorlane ---Front End For SetACL";
};

}  // namespace

TEST_F(Started, TheVersionQuestionComesOnlyAtTheFirstStart) {
  WriteFile(folder.path() / L"SetACL.exe");
  {
    native::ChildProgram first(exe);
    ASSERT_TRUE(first.started());
    Press(first.waitForWindow(L"Use Version 2.0.0.6?"), IDYES);
    HWND main = first.waitForWindow(kMain);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(location(), win32::Utf8(folder.path().wstring()) + "\\" + '\0');
    EXPECT_TRUE(fs::is_directory(folder.path() / L"LogFiles"));
    EXPECT_TRUE(fs::is_directory(folder.path() / L"Backups"));
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(first.waitForExit(), 0);
  }
  native::ChildProgram second(exe);
  HWND main = second.waitForWindow(kMain);
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(second.window(L"Use Version 2.0.0.6?"), nullptr);
  PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(second.waitForExit(), 0);
}

TEST_F(Started, WithoutSetAclTheProgramEndsBeforeItsWindowShows) {
  native::ChildProgram program(exe);
  Press(program.waitForWindow(L"Use Version 2.0.0.6?"), IDYES);
  HWND end = program.waitForWindow(L"Program will now end");
  EXPECT_EQ(program.window(kMain), nullptr);
  Press(end, IDOK);
  EXPECT_EQ(program.waitForExit(), 1);
}

// The reach of a command over a real tree made here, counted on a thread of
// its own, paths longer than MAX_PATH included.
TEST(RealTree, TheReachOfARealTreeArrivesFromItsThread) {
  native::TempFolder temp(L"vorlane-reach");
  fs::path deep = temp.path();
  for (int i = 0; i < 12; ++i) deep /= std::wstring(30, static_cast<wchar_t>(L'a' + i));
  fs::create_directories(fs::path(win32::LongPath(win32::Utf8(deep.wstring()))));
  std::ofstream(fs::path(win32::LongPath(win32::Utf8((deep / L"last.txt").wstring())))) << "x";
  fs::create_directories(temp.path() / L"Skip");
  for (const wchar_t* name : {L"one.txt", L"two.txt", L"Skip\\it.txt"})
    WriteFile(temp.path() / name);
  ASSERT_GT(deep.wstring().size(), static_cast<std::size_t>(MAX_PATH));

  win32::Win32ObjectTree tree;
  win32::Win32Workers workers;
  Reach reach(workers, tree);
  int changes = 0;
  reach.changed = [&] { ++changes; };
  reach.Ask(ReachQuestion{win32::Utf8(temp.path().wstring()), false, true, true, {"skip"}});
  EXPECT_TRUE(native::WaitFor([&] { return !reach.words().starts_with("Reach: counting"); }, 20000));
  // The folder, two files, twelve folders deep and the file at the bottom.
  EXPECT_EQ(reach.words(), "Reach: 16 folders and files (the filter skips 2)");
  EXPECT_GT(changes, 0);
}

#include <sddl.h>

#include "platform/win32/local_memory.h"
#include "platform/win32/win32_security.h"
#include "runner/listing_changes.h"

// The system's reading of security descriptors: the integrity label, the
// lists' flags, and entries told apart by every byte. Entries it cannot
// read from SDDL (this wine's reads no object type, condition or attribute)
// are made with AddAce; an object whose SDDL it cannot read still counts
// as changed.
TEST(RealSecurity, ReadsTheLabelTheFlagsAndEveryEntryWhole) {
  win32::Win32Security security;
  std::optional<platform::SecurityDescriptor> sd = security.Read("O:BAD:PAI(A;OICI;FA;;;BA)S:(ML;;NW;;;HI)");
  ASSERT_TRUE(sd);
  EXPECT_TRUE(sd->dacl.protectedFromParent && sd->dacl.autoInherited && !sd->dacl.autoInheritRequired);
  std::optional<platform::SecurityDescriptor> required = security.Read("D:AR(A;;FA;;;BA)");
  ASSERT_TRUE(required);
  EXPECT_TRUE(required->dacl.autoInheritRequired && !required->dacl.protectedFromParent &&
              !required->dacl.autoInherited);
  ASSERT_EQ(sd->sacl.aces.size(), 1u);
  EXPECT_EQ(sd->sacl.aces[0].type, platform::Ace::Type::Label);
  EXPECT_EQ(sd->sacl.aces[0].sid, "S-1-16-12288");
  EXPECT_EQ(sd->sacl.aces[0].mask, platform::kNoWriteUp);

  auto entry = [&](const char* sddl) {
    std::optional<platform::SecurityDescriptor> read = security.Read(sddl);
    return read && read->dacl.aces.size() == 1 ? read->dacl.aces[0].bytes : std::string();
  };
  ASSERT_FALSE(entry("D:(A;OICI;FA;;;BA)").empty());
  EXPECT_NE(entry("D:(A;OICI;FA;;;BA)"), entry("D:(A;OI;FA;;;BA)"));
  EXPECT_EQ(entry("D:(A;OICI;FA;;;BA)"), entry("D:(A;CIOI;0x1f01ff;;;S-1-5-32-544)"));

  // Two object entries that differ in their object type alone, and a
  // resource attribute ("Project" = "Alpha"), as the system holds them.
  PSID everyone = nullptr;
  ASSERT_TRUE(ConvertStringSidToSidW(L"S-1-1-0", &everyone));
  win32::LocalMemory heldSid(everyone);
  auto objectEntry = [&](BYTE lastOfGuid) {
    // No inherited object type: the SID stands in its place.
    std::string bytes(offsetof(ACCESS_ALLOWED_OBJECT_ACE, InheritedObjectType) + GetLengthSid(everyone), '\0');
    auto* ace = reinterpret_cast<ACCESS_ALLOWED_OBJECT_ACE*>(bytes.data());
    ace->Header = {ACCESS_ALLOWED_OBJECT_ACE_TYPE, 0, static_cast<WORD>(bytes.size())};
    ace->Mask = 0x100;  // control access
    ace->Flags = ACE_OBJECT_TYPE_PRESENT;
    ace->ObjectType = {0xab721a53, 0x1e2f, 0x11d0, {0x98, 0x19, 0x00, 0xaa, 0x00, 0x40, 0x52, lastOfGuid}};
    CopySid(GetLengthSid(everyone), &ace->InheritedObjectType, everyone);
    return bytes;
  };
  std::string attribute(sizeof(ACE_HEADER) + sizeof(DWORD), '\0');
  attribute.append(static_cast<const char*>(everyone), GetLengthSid(everyone));
  const DWORD claim[] = {20, 3 /* a string */, 0, 1, 36};  // name at 20, one value at 36
  attribute.append(reinterpret_cast<const char*>(claim), sizeof claim);
  for (std::wstring_view text : {std::wstring_view(L"Project\0", 8), std::wstring_view(L"Alpha\0", 6)})
    attribute.append(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
  *reinterpret_cast<ACE_HEADER*>(attribute.data()) = {0x12 /* resource attribute */, 0,
                                                      static_cast<WORD>(attribute.size())};
  auto addAll = [](PACL acl, std::initializer_list<std::string> entries) {
    for (std::string entry : entries)
      if (!AddAce(acl, ACL_REVISION_DS, MAXDWORD, entry.data(), static_cast<DWORD>(entry.size()))) return false;
    return true;
  };
  alignas(DWORD) BYTE daclMemory[256], saclMemory[256];
  auto *dacl = reinterpret_cast<PACL>(daclMemory), *sacl = reinterpret_cast<PACL>(saclMemory);
  ASSERT_TRUE(InitializeAcl(dacl, sizeof daclMemory, ACL_REVISION_DS) &&
              InitializeAcl(sacl, sizeof saclMemory, ACL_REVISION_DS));
  ASSERT_TRUE(addAll(dacl, {objectEntry(0x9b), objectEntry(0x9c)}) && addAll(sacl, {attribute}));
  SECURITY_DESCRIPTOR made;
  InitializeSecurityDescriptor(&made, SECURITY_DESCRIPTOR_REVISION);
  SetSecurityDescriptorDacl(&made, TRUE, dacl, FALSE);
  SetSecurityDescriptorSacl(&made, TRUE, sacl, FALSE);
  std::optional<platform::SecurityDescriptor> readable = win32::DescriptorOf(&made);
  ASSERT_TRUE(readable);
  const platform::SecurityDescriptor& read = *readable;
  ASSERT_EQ(read.dacl.aces.size(), 2u);
  EXPECT_EQ(read.dacl.aces[0].kind, platform::kAllowedObjectAce);
  EXPECT_EQ(read.dacl.aces[0].bytes, objectEntry(0x9b));
  EXPECT_NE(read.dacl.aces[0].bytes, read.dacl.aces[1].bytes);
  // Read by their parts too: rights, account, and the object type beside them.
  EXPECT_EQ(read.dacl.aces[0].mask, 0x100u);
  EXPECT_EQ(read.dacl.aces[0].sid, "S-1-1-0");
  EXPECT_EQ(read.dacl.aces[0].extra, objectEntry(0x9b).substr(8, 20));  // its flags and object type
  EXPECT_NE(read.dacl.aces[0].extra, read.dacl.aces[1].extra);
  ASSERT_EQ(read.sacl.aces.size(), 1u);
  EXPECT_EQ(read.sacl.aces[0].type, platform::Ace::Type::Other);
  EXPECT_EQ(read.sacl.aces[0].bytes, attribute);
  EXPECT_TRUE(read.sacl.aces[0].sid.empty());  // an attribute by its bytes alone

  // An entry written back in SDDL by the system.
  EXPECT_EQ(security.EntryText(sd->dacl.aces[0]), "(A;OICI;FA;;;BA)");

  auto listing = [](const char* value) {
    return std::string("\"C:\\x\",1,\"S:(RA;;;;;WD;(\"Project\",TS,0,\"") + value + "\"))\"\r\n";
  };
  std::optional<ListingChanges> changes = CompareListings(listing("Alpha"), listing("Beta"), security);
  ASSERT_TRUE(changes);
  EXPECT_EQ(changes->listedBefore, 1u);
  EXPECT_EQ(changes->changed, 1u);
  EXPECT_EQ(changes->unreadable, 0u);
}
