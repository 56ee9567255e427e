// The console runner with real children under wine, and "Send It" from the
// real main window to the stand-in SetACL.exe.

#include <windows.h>
#include <aclapi.h>
#include <commctrl.h>
#include <sddl.h>
#include <gtest/gtest.h>

#include "forms/win32/win32_backend.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_processes.h"
#include "platform/win32/win32_security.h"
#include "runner/dos_outputs.h"
#include "run/frm_permissions.h"
#include "runner/output_decoder.h"
#include "tests/native/fakes.h"
#include "tests/win/child_program.h"
#include "tests/win/console_child.h"
#include "tests/win/native_window.h"

namespace fs = std::filesystem;

namespace {

constexpr int kRunMs = 60000;

std::string Child(const std::string& arguments) {
  return native::Quoted(native::BuildFolder() / L"console_child.exe") + " " + arguments;
}

std::string Utf8(const fs::path& path) { return win32::Utf8(path.wstring()); }

class RealRunner : public ::testing::Test {
 protected:
  RealRunner() {
    runner.ReceiveOutputs = [this](std::string& chunk) { chunks.push_back(chunk); };
  }
  // Starts the command; the interface thread is free until its end arrives.
  std::string run(const std::string& commandLine) {
    chunks.clear();
    EXPECT_TRUE(runner.ExecuteCommand(commandLine));
    EXPECT_TRUE(native::WaitFor([&] { return !runner.running(); }, kRunMs));
    return joined();
  }
  std::string joined() const {
    std::string all;
    for (const auto& chunk : chunks) all += chunk;
    return all;
  }
  ScriptedDialogs dialogs;
  win32::Win32Processes processes;
  DOSOutputs runner{processes, dialogs};
  std::vector<std::string> chunks;
};

}  // namespace

TEST_F(RealRunner, PiecesOfAtMost256BytesInOrderThenOneEmptyChunk) {
  EXPECT_EQ(run(Child("nothing")), "");
  EXPECT_EQ(chunks, std::vector<std::string>{""});

  std::string result = run(Child("bytes 600"));
  ASSERT_EQ(result.size(), 600u);
  for (const auto& chunk : chunks) EXPECT_LE(chunk.size(), 256u);
  EXPECT_EQ(result.substr(0, 28), "abcdefghijklmnopqrstuvwxyzab");
  EXPECT_EQ(chunks.back(), "");
  EXPECT_EQ(std::count(chunks.begin(), chunks.end(), ""), 1);

  // Standard error comes through the same pipe, in the order written.
  EXPECT_EQ(run(Child("interleave")), "out 1\r\nerr 1\r\nout 2\r\nerr 2\r\nout 3\r\nerr 3\r\n");
}

TEST_F(RealRunner, AMissingProgramShowsTheMessageAndRaisesNothing) {
  dialogs.expect({"Click the Settings button and point\r\nto SetAcl.exe's location.", "",
                  forms::Buttons::Ok, forms::Icon::Critical},
                 forms::Answer::Ok);
  EXPECT_FALSE(runner.ExecuteCommand("C:\\nowhere\\SetACL.exe -on \"x\" -ot file"));
  EXPECT_TRUE(chunks.empty());
}

TEST_F(RealRunner, NamesOutsideTheAnsiCodePageReachTheChildIntact) {
  native::TempFolder temp(L"vorlane-names");
  fs::path log = temp.path() / L"names.log";
  const std::string name = "C:\\Données\\Ωμέγα\\工具";
  std::string line = native::Quoted(native::BuildFolder() / L"SetACL.exe") + " -on \"" + name +
                     "\" -ot file -actn clear -clr \"dacl\" -log " + native::Quoted(log);
  std::string output = run(line);
  EXPECT_EQ(native::FileText(log), "clear: dacl on file \"" + name + "\"\r\n") << output;
}

// The interface thread never waits for the child: what it wrote arrives
// while it holds, and the rest when it goes on.
TEST_F(RealRunner, OutputArrivesWhileTheChildHolds) {
  HANDLE go = CreateEventW(nullptr, TRUE, FALSE, native::kGoEvent);
  ResetEvent(go);
  ASSERT_TRUE(runner.ExecuteCommand(Child("hold")));
  EXPECT_TRUE(native::WaitFor([&] { return joined() == "first line\r\n"; }, kRunMs));
  EXPECT_TRUE(runner.running());
  SetEvent(go);
  EXPECT_TRUE(native::WaitFor([&] { return !runner.running(); }, kRunMs));
  EXPECT_EQ(joined(), "first line\r\nsecond line\r\n");
  CloseHandle(go);
}

namespace {

// The real main window, the real runner, and SetACL.exe where Location says.
class SendItForReal : public ::testing::Test {
 protected:
  explicit SendItForReal(const std::string& setAclFolder = Utf8(native::BuildFolder()))
      : program{&backend, &processes, "D:\\Tools", setAclFolder, &security} {
    // Runs here are about their output: no snapshot before them.
    program.registry.keys["SOFTWARE\\Vorlane"]["Snapshots"].text = std::string("0") + '\0';
    native::Type(at("txtObjName"), "C:\\Data");
    native::Pick(at("cboClr"), 1);
  }
  HWND at(const std::string& name) { return native::Find(backend.window(&program.main), name); }
  void expectRunQuestion() {
    program.dialogs.expect({"Are you sure you want to run this command?", "Run Command?",
                            forms::Buttons::YesNo, forms::Icon::None},
                           forms::Answer::Yes);
  }
  void send() {
    expectRunQuestion();
    native::Click(at("cmdSendIt"));
  }
  std::string status() { return native::Text(at("lblStatus")); }
  // Until the status line says the run is over.
  void waitForEnd() {
    EXPECT_TRUE(native::WaitFor([&] { return !status().starts_with("Running"); }, kRunMs));
  }
  std::string output() { return native::Text(at("txtOutputs")); }
  win32::Win32Backend backend{GetModuleHandleW(nullptr)};
  win32::Win32Processes processes;
  win32::Win32Security security;
  Headless program;
};

}  // namespace

TEST_F(SendItForReal, TheStandInsLinesFillTheOutputBox) {
  send();
  waitForEnd();
  std::string expected = "clear: dacl on file \"C:\\Data\"\r\n";
  EXPECT_EQ(output(), expected);
  DWORD start = 0, end = 0;
  SendMessageW(at("txtOutputs"), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
               reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, expected.size());
}

// A drive root as the folder browser returns it reaches the tool as typed.
TEST_F(SendItForReal, ADriveRootReachesTheStandInAsTypedAndItsPermissionsList) {
  native::Type(at("txtObjName"), "C:\\");
  send();
  waitForEnd();
  EXPECT_EQ(output(), "clear: dacl on file \"C:\\\"\r\n");
  // The current permissions of the same drive root: the stand-in's listing.
  FrmPermissions& window = program.main.permissionsWindow();
  native::WhileModal([&] { window.hide(); }, [&] { return window.visible(); });
  native::Click(at("cmdCurrent"));
  waitForEnd();
  EXPECT_NE(output().find("SetACL stand-in listing of \"C:\\\": "), std::string::npos) << output();
  EXPECT_NE(output().find("\"C:\\\",1,\""), std::string::npos) << output();
}

TEST_F(SendItForReal, ACommandTooLongForWindowsStartsNothing) {
  fs::path journal = native::BuildFolder() / L"SetACL-journal.txt";
  auto journalSize = [&] { return fs::exists(journal) ? fs::file_size(journal) : 0; };
  send();
  waitForEnd();
  const std::uintmax_t before = journalSize();
  SetWindowTextW(at("txtOwner"), std::wstring(33000, L'o').c_str());
  expectRunQuestion();
  program.dialogs.expect({"This command line is " +
                              std::to_string(native::Text(at("txtCallString")).size() +
                                             native::BuildFolder().wstring().size() + 1) +
                              " characters long. Windows starts command lines of fewer than "
                              "32767 characters, so it was not run.",
                          "", forms::Buttons::Ok, forms::Icon::Critical},
                         forms::Answer::Ok);
  native::Click(at("cmdSendIt"));
  EXPECT_TRUE(program.dialogs.allShown());
  EXPECT_EQ(journalSize(), before);
  EXPECT_EQ(output(), "clear: dacl on file \"C:\\Data\"\r\n");
}

namespace {

// A folder made before the window starts: SetACL.exe in a folder whose path
// holds a blank, with the program an unquoted path would start instead; or
// the console child in SetACL.exe's place, doing what CONSOLE_CHILD says.
struct SetAclFolder {
  explicit SetAclFolder(const wchar_t* name, bool child) : temp(name) {
    fs::path tools = temp.path() / L"Program Files" / L"Tools";
    fs::create_directories(tools);
    fs::copy_file(native::BuildFolder() / (child ? L"console_child.exe" : L"SetACL.exe"),
                  tools / L"SetACL.exe");
    fs::copy_file(native::BuildFolder() / L"console_child.exe", temp.path() / L"Program.exe");
  }
  std::string tools() const { return Utf8(temp.path() / L"Program Files" / L"Tools"); }
  native::TempFolder temp;
};

class BlankFolder : public SetAclFolder, public SendItForReal {
 protected:
  BlankFolder() : SetAclFolder(L"vorlane blank", false), SendItForReal(tools()) {}
};

class ChildAsSetAcl : public SetAclFolder, public SendItForReal {
 protected:
  ChildAsSetAcl() : SetAclFolder(L"vorlane-child", true), SendItForReal(tools()) {}
  ~ChildAsSetAcl() override { SetEnvironmentVariableW(L"CONSOLE_CHILD", nullptr); }
  void sendAs(const wchar_t* mode) {
    SetEnvironmentVariableW(L"CONSOLE_CHILD", mode);
    send();
  }
};

}  // namespace

TEST_F(BlankFolder, RunsThroughTheQuotedPath) {
  send();
  waitForEnd();
  EXPECT_EQ(output(), "clear: dacl on file \"C:\\Data\"\r\n");
}

TEST_F(ChildAsSetAcl, EverythingTheToolWritesReachesTheOutputBoxAndItsExitCodeTheStatus) {
  const std::string nul(OutputDecoder::kNulPlaceholder);
  struct Case {
    const wchar_t* mode;
    std::string output;
    const char* status;
  };
  const Case cases[] = {
      {L"mb 8", native::BenchmarkText(8 << 20), "Finished with exit code 0 after "},
      {L"nuls", "before" + nul + "after\r\nsecond" + nul + "piece\r\nthird line", "Finished"},
      {L"utf16", "Unicode \xE2\x9C\x93\r\n", "Finished"},
      {L"fail 3", "something went wrong\r\n", "FAILED with exit code 3 after "},
  };
  for (const Case& c : cases) {
    sendAs(c.mode);
    waitForEnd();
    EXPECT_TRUE(output() == c.output) << win32::Utf8(c.mode);
    EXPECT_TRUE(status().starts_with(c.status)) << status();
  }
}

TEST_F(ChildAsSetAcl, StopEndsAChildThatHangsAndKeepsWhatItWrote) {
  sendAs(L"hold");
  EXPECT_TRUE(native::WaitFor(
      [&] {
        return output() == "first line\r\n" &&
               status().starts_with("Running: 1 line, 12 bytes received");
      },
      kRunMs))
      << status();
  native::Click(at("cmdSendIt"));  // hidden and disabled: no question
  native::Click(at("cmdAbout"));
  program.dialogs.expect({"Stop the running command?", "Stop Command?", forms::Buttons::YesNo},
                         forms::Answer::Yes);
  native::Click(at("cmdStop"));
  waitForEnd();
  EXPECT_EQ(output(), "first line\r\n");
  EXPECT_TRUE(status().starts_with("Stopped after ")) << status();
  EXPECT_EQ(native::EndProgramsIn(temp.path() / L"Program Files" / L"Tools"), 0);
  EXPECT_TRUE(IsWindowVisible(at("cmdSendIt")) && IsWindowEnabled(at("cmdSendIt")));
  EXPECT_TRUE(IsWindowEnabled(at("cmdAbout")));
}

namespace {

// Polls another process's control until it holds the text, for up to 10 s.
bool WaitForText(HWND hwnd, const std::string& text) {
  return native::WaitFor([&] { return native::TextOfOther(hwnd) == text; }, 10000);
}

}  // namespace

// vorlane.exe as a user starts it, with a SetACL.exe that holds mid-run:
// clicks posted by automation start nothing, the close box asks, and Yes
// ends the command and the program.
TEST(SendItInVorlane, WhileACommandRunsOnlyStopActsAndTheCloseBoxEndsBoth) {
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Vorlane");
  native::TempFolder folder(L"vorlane-held");
  fs::copy_file(native::BuildFolder() / L"vorlane.exe", folder.path() / L"vorlane.exe");
  fs::copy_file(native::BuildFolder() / L"console_child.exe", folder.path() / L"SetACL.exe");
  SetEnvironmentVariableW(L"CONSOLE_CHILD", L"hold");
  {
    native::ChildProgram program(folder.path() / L"vorlane.exe");
    native::Press(program.waitForWindow(L"Use Version 2.0.0.6?"), IDYES);
    HWND main = program.waitForWindow(L"Vorlane ---Front End For SetACL");
    ASSERT_NE(main, nullptr);
    HWND button = native::Find(main, "cmdSendIt"), output = native::Find(main, "txtOutputs");
    PostMessageW(button, BM_CLICK, 0, 0);
    native::Press(program.waitForWindow(L"Run Command?"), IDYES);
    EXPECT_TRUE(WaitForText(output, "first line\r\n"));
    PostMessageW(button, BM_CLICK, 0, 0);
    PostMessageW(native::Find(main, "cmdAbout"), BM_CLICK, 0, 0);
    Sleep(500);
    EXPECT_EQ(program.window(L"Run Command?"), nullptr);
    EXPECT_EQ(program.window(L"Vorlane"), nullptr);  // the About box
    PostMessageW(main, WM_CLOSE, 0, 0);
    native::Press(program.waitForWindow(L"Stop Command?"), IDYES);
    EXPECT_EQ(program.waitForExit(), 0);
    EXPECT_EQ(native::EndProgramsIn(folder.path()), 0);  // the command ended with it
  }
  SetEnvironmentVariableW(L"CONSOLE_CHILD", nullptr);
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Vorlane");
}

// "Current Permissions" on a registry key made here: the rows are what the
// system holds for it, in words.
TEST_F(SendItForReal, CurrentPermissionsOfAKeyShowItsEntries) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\VorlaneTest\\Perm", 0, nullptr, 0,
                            KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  PSECURITY_DESCRIPTOR sd = nullptr;
  ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;CI;KA;;;BA)(A;;KR;;;BU)(D;;KW;;;WD)",
                                                       SDDL_REVISION_1, &sd, nullptr);
  BOOL present = FALSE, defaulted = FALSE;
  PACL dacl = nullptr;
  GetSecurityDescriptorDacl(sd, &present, &dacl, &defaulted);
  EXPECT_EQ(SetSecurityInfo(key, SE_REGISTRY_KEY,
                            DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                            nullptr, nullptr, dacl, nullptr),
            ERROR_SUCCESS);
  LocalFree(sd);
  RegCloseKey(key);

  native::Pick(at("CboObjType"), 1);
  native::Type(at("txtObjName"), "HKEY_LOCAL_MACHINE\\SOFTWARE\\VorlaneTest\\Perm");
  FrmPermissions& window = program.main.permissionsWindow();
  std::vector<std::vector<std::string>> rows;
  std::string object, notes;
  native::WhileModal([&] {
    rows = window.lvwEntries.rows();
    object = native::Text(native::Find(backend.window(&window), "lblObject"));
    notes = native::Text(native::Find(backend.window(&window), "txtNotes"));
    EXPECT_EQ(ListView_GetItemCount(native::Find(backend.window(&window), "lvwEntries")), 3);
    window.hide();
  }, [&] { return window.visible(); });
  native::Click(at("cmdCurrent"));
  waitForEnd();
  EXPECT_TRUE(native::WaitFor([&] { return !rows.empty(); }, kRunMs)) << output();
  EXPECT_EQ(object, "Object: machine\\SOFTWARE\\VorlaneTest\\Perm");
  EXPECT_EQ(rows, (std::vector<std::vector<std::string>>{
                      {"Allow", "BUILTIN\\Administrators", "Full control", "No", "This key and subkeys"},
                      {"Allow", "BUILTIN\\Users", "Read", "No", "This key only"},
                      {"Deny", "Everyone", "Write", "No", "This key only"}}));
  EXPECT_EQ(notes, "Warning: Out of canonical order: the deny entry for Everyone stands after an allow "
                   "entry, so an allowed right may pass it.\r\n");
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\VorlaneTest");
}
