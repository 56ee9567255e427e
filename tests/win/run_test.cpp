// The console runner with real children under wine, and "Send It" from the
// real main window to the stand-in SetACL.exe.

#include <windows.h>
#include <aclapi.h>
#include <commctrl.h>
#include <sddl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <numeric>

#include "forms/win32/win32_backend.h"
#include "forms/win32/wide.h"
#include "platform/win32/win32_processes.h"
#include "platform/win32/win32_security.h"
#include "platform/win32/win32_workers.h"
#include "runner/dos_outputs.h"
#include "run/frm_permissions.h"
#include "runner/output_decoder.h"
#include "tests/native/fakes.h"
#include "tests/win/child_program.h"
#include "tests/win/console_child.h"
#include "tests/win/native_window.h"
#include "tools/setacl/objects.h"

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
  std::string joined() const { return std::accumulate(chunks.begin(), chunks.end(), std::string()); }
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
  void expectRunQuestion() { program.dialogs.expect(kRunQuestion, forms::Answer::Yes); }
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

// The stand-in's lines fill the output box, its caret at their end; a
// command too long for Windows then starts nothing and leaves them.
TEST_F(SendItForReal, ACommandTooLongForWindowsStartsNothing) {
  fs::path journal = native::BuildFolder() / L"SetACL-journal.txt";
  auto journalSize = [&] { return fs::exists(journal) ? fs::file_size(journal) : 0; };
  const std::string expected = "clear: dacl on file \"C:\\Data\"\r\n";
  send();
  waitForEnd();
  EXPECT_EQ(output(), expected);
  DWORD start = 0, end = 0;
  SendMessageW(at("txtOutputs"), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, expected.size());
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
  EXPECT_EQ(journalSize(), before);
  EXPECT_EQ(output(), expected);
}

namespace {

// A folder made before the window starts: the console child in SetACL.exe's
// place, doing what CONSOLE_CHILD says, in a folder whose path holds a blank;
// an unquoted path would start the stand-in there as Program.exe instead.
struct SetAclFolder {
  explicit SetAclFolder(const wchar_t* name) : temp(name) {
    fs::path tools = temp.path() / L"Program Files" / L"Tools";
    fs::create_directories(tools);
    fs::copy_file(native::BuildFolder() / L"console_child.exe", tools / L"SetACL.exe");
    fs::copy_file(native::BuildFolder() / L"SetACL.exe", temp.path() / L"Program.exe");
  }
  std::string tools() const { return Utf8(temp.path() / L"Program Files" / L"Tools"); }
  native::TempFolder temp;
};

class ChildAsSetAcl : public SetAclFolder, public SendItForReal {
 protected:
  ChildAsSetAcl() : SetAclFolder(L"vorlane-child"), SendItForReal(tools()) {}
  ~ChildAsSetAcl() override { SetEnvironmentVariableW(L"CONSOLE_CHILD", nullptr); }
  void sendAs(const wchar_t* mode) {
    SetEnvironmentVariableW(L"CONSOLE_CHILD", mode);
    send();
  }
};

}  // namespace

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
    EXPECT_TRUE(native::WaitFor([&] { return native::TextOfOther(output) == "first line\r\n"; }, 10000));
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

namespace {

// What becomes of children as the program that started them ends: this
// test program plays that program, and is ended, when its environment names
// the folder of the children.
constexpr wchar_t kParentOf[] = L"VORLANE_TEST_PARENT_OF";
constexpr wchar_t kChildrenStarted[] = L"VorlaneTestChildrenStarted";

class Deaf : public platform::OutputListener {
 public:
  void Piece(std::string_view) override {}
  void Ended(std::optional<std::uint32_t>) override {}
};

// Starts tied.exe tied to this program and own.exe on its own, says so and
// waits to be ended.
void PlayTheParent(const fs::path& folder) {
  using Tie = platform::Processes::Tie;
  win32::Win32Processes processes;
  Deaf deaf;
  auto tied = processes.StartHidden(native::Quoted(folder / L"tied.exe") + " sleep 60", deaf,
                                    Tie::EndsWithProgram);
  auto own =
      processes.StartHidden(native::Quoted(folder / L"own.exe") + " sleep 60", deaf, Tie::Own);
  ASSERT_TRUE(tied.child && own.child);
  HANDLE started = OpenEventW(EVENT_MODIFY_STATE, FALSE, kChildrenStarted);
  ASSERT_NE(started, nullptr);
  SetEvent(started);
  CloseHandle(started);
  Sleep(kRunMs);
}

}  // namespace

TEST(TiedChildren, EndWithTheProgramThatStartedThemAndTheirOwnLiveOn) {
  wchar_t parentOf[MAX_PATH] = {};
  if (GetEnvironmentVariableW(kParentOf, parentOf, MAX_PATH)) return PlayTheParent(parentOf);
  native::TempFolder folder(L"vorlane-tie");
  for (const wchar_t* name : {L"tied.exe", L"own.exe"})
    fs::copy_file(native::BuildFolder() / L"console_child.exe", folder.path() / name);
  HANDLE started = CreateEventW(nullptr, TRUE, FALSE, kChildrenStarted);
  SetEnvironmentVariableW(kParentOf, folder.path().c_str());
  native::ChildProgram parent(native::BuildFolder() / L"run_tests.exe",
                              L"--gtest_filter=TiedChildren.* --gtest_brief=1");
  SetEnvironmentVariableW(kParentOf, nullptr);
  ASSERT_TRUE(parent.started());
  EXPECT_EQ(WaitForSingleObject(started, kRunMs), WAIT_OBJECT_0);
  CloseHandle(started);
  ASSERT_TRUE(native::ProgramRunning(folder.path() / L"tied.exe"));
  ASSERT_TRUE(native::ProgramRunning(folder.path() / L"own.exe"));
  // Ended as the system ends a program, none of its own code run.
  TerminateProcess(parent.handle(), 9);
  EXPECT_EQ(parent.waitForExit(), 9);
  EXPECT_TRUE(
      native::WaitFor([&] { return !native::ProgramRunning(folder.path() / L"tied.exe"); }, 20000));
  EXPECT_TRUE(native::ProgramRunning(folder.path() / L"own.exe"));
  EXPECT_EQ(native::EndProgramsIn(folder.path()), 1);
}

// The workers go only once every work still running has seen the stop and
// finished, since what it uses goes right after them; dropping a work waits
// for nothing.
TEST(RealWorkers, TheirEndWaitsForEveryWorkStillRunning) {
  struct Progress {
    std::atomic<bool> started{false}, sawStop{false}, finished{false};
  };
  auto slow = [](Progress& progress) {
    return [&progress](platform::Workers::Context& context) {
      progress.started = true;
      while (!context.stopped()) Sleep(10);
      progress.sawStop = true;
      // The last of its work, past the stop: longer than a moment's grace.
      Sleep(3000);
      progress.finished = true;
    };
  };
  Progress kept, dropped;
  std::unique_ptr<platform::Work> keptWork;
  {
    win32::Win32Workers workers;
    keptWork = workers.Start(slow(kept));
    std::unique_ptr<platform::Work> droppedWork = workers.Start(slow(dropped));
    ASSERT_TRUE(keptWork && droppedWork);
    ASSERT_TRUE(native::WaitFor([&] { return kept.started && dropped.started; }, kRunMs));
    droppedWork.reset();
    EXPECT_TRUE(native::WaitFor([&] { return dropped.sawStop.load(); }, kRunMs));
    EXPECT_FALSE(dropped.finished);
    EXPECT_FALSE(kept.sawStop);
  }
  EXPECT_TRUE(kept.sawStop && kept.finished);
  EXPECT_TRUE(dropped.finished);
}

namespace {

constexpr wchar_t kTestKeys[] = L"SOFTWARE\\VorlaneStandInTest";
constexpr wchar_t kBefore[] = L"D:P(A;CI;KA;;;BA)(A;;KR;;;BU)";
constexpr wchar_t kAfter[] = L"D:P(A;;KA;;;BA)";

// Keys of the test's own under HKLM, which keep the security set on them.
class TestKeys {
 public:
  TestKeys() { RegDeleteTreeW(HKEY_LOCAL_MACHINE, kTestKeys); }
  ~TestKeys() { RegDeleteTreeW(HKEY_LOCAL_MACHINE, kTestKeys); }
  void make(const std::wstring& name) {
    ASSERT_TRUE(native::MakeKey(path(name))) << win32::Utf8(name);
    setDacl(name, kBefore);
  }
  // Set as the stand-in's restore sets a DACL, so that a restore reads back alike.
  void setDacl(const std::wstring& name, const wchar_t* sddl) {
    PSECURITY_DESCRIPTOR sd = nullptr;
    ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &sd, nullptr);
    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    GetSecurityDescriptorDacl(sd, &present, &dacl, &defaulted);
    EXPECT_EQ(SetNamedSecurityInfoW((L"MACHINE\\" + path(name)).data(), SE_REGISTRY_KEY,
                                    DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                                    nullptr, nullptr, dacl, nullptr),
              ERROR_SUCCESS);
    LocalFree(sd);
  }
  std::string dacl(const std::wstring& name) {
    return native::KeySecurity(path(name), DACL_SECURITY_INFORMATION);
  }
  // As a command line names it.
  static std::string quoted(const std::wstring& name) {
    return "\"HKEY_LOCAL_MACHINE\\" + win32::Utf8(path(name)) + "\"";
  }

 private:
  static std::wstring path(const std::wstring& name) { return std::wstring(kTestKeys) + L"\\" + name; }
};

struct Ran {
  long code = -1;
  std::string output;
};

enum class Output { Pipe, ClosedPipe, File };

// SetACL.exe started hidden, its output to `output`, or with none to a console of its own.
bool StartStandIn(const std::string& arguments, HANDLE output, DWORD flags, PROCESS_INFORMATION& info) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW | (output ? STARTF_USESTDHANDLES : 0);
  startup.wShowWindow = SW_HIDE;
  startup.hStdOutput = startup.hStdError = output;
  std::vector<wchar_t> line = win32::WritableCommandLine(
      native::Quoted(native::BuildFolder() / L"SetACL.exe") + " " + arguments);
  return CreateProcessW(nullptr, line.data(), nullptr, nullptr, output != nullptr, flags, nullptr,
                        nullptr, &startup, &info);
}

// SetACL.exe as Vorlane starts it: hidden, its output on a pipe read to the
// end, or on one whose reading end is closed before it runs; or into a file.
Ran RunStandIn(const std::string& arguments, Output output = Output::Pipe) {
  SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
  const fs::path file = fs::temp_directory_path() / L"vorlane-standin-output.txt";
  HANDLE read = nullptr, write = nullptr;
  if (output == Output::File) {
    write = CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited, CREATE_ALWAYS, 0,
                        nullptr);
  } else {
    CreatePipe(&read, &write, &inherited, 0);
    SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
  }
  PROCESS_INFORMATION info{};
  // Held until the reading end is closed, when it is to be.
  const bool started = StartStandIn(arguments, write, CREATE_SUSPENDED, info);
  CloseHandle(write);
  if (output == Output::ClosedPipe) CloseHandle(std::exchange(read, nullptr));
  Ran ran;
  if (started) {
    ResumeThread(info.hThread);
    CloseHandle(info.hThread);
    char buffer[4096];
    DWORD n = 0;
    while (read && ReadFile(read, buffer, sizeof buffer, &n, nullptr)) ran.output.append(buffer, n);
    DWORD code = 0;
    if (WaitForSingleObject(info.hProcess, kRunMs) == WAIT_OBJECT_0 &&
        GetExitCodeProcess(info.hProcess, &code))
      ran.code = static_cast<long>(code);
    else
      TerminateProcess(info.hProcess, 99);
    CloseHandle(info.hProcess);
  }
  if (read) CloseHandle(read);
  if (output == Output::File) {
    ran.output = native::FileText(file);
    fs::remove(file);
  }
  return ran;
}

std::string ListCommand(const std::string& key, const fs::path& file, bool recursive = false) {
  return "-on " + key + " -ot reg" + (recursive ? " -rec yes" : "") +
         " -actn list -lst \"f:sddl;w:d\" -bckp " + native::Quoted(file);
}

std::string RestoreCommand(const std::string& key, const fs::path& file) {
  return "-on " + key + " -ot reg -actn restore -bckp " + native::Quoted(file);
}

}  // namespace

// "Current Permissions" on a registry key made here: the rows are what the
// system holds for it, in words.
TEST_F(SendItForReal, CurrentPermissionsOfAKeyShowItsEntries) {
  TestKeys keys;
  keys.make(L"Perm");
  keys.setDacl(L"Perm", L"D:P(A;CI;KA;;;BA)(A;;KR;;;BU)(D;;KW;;;WD)");

  native::Pick(at("CboObjType"), 1);
  native::Type(at("txtObjName"), "HKEY_LOCAL_MACHINE\\SOFTWARE\\VorlaneStandInTest\\Perm");
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
  EXPECT_EQ(object, "Object: machine\\SOFTWARE\\VorlaneStandInTest\\Perm");
  EXPECT_EQ(rows, (std::vector<std::vector<std::string>>{
                      {"Allow", "BUILTIN\\Administrators", "Full control", "No", "This key and subkeys"},
                      {"Allow", "BUILTIN\\Users", "Read", "No", "This key only"},
                      {"Deny", "Everyone", "Write", "No", "This key only"}}));
  EXPECT_EQ(notes, "Warning: Out of canonical order: the deny entry for Everyone stands after an allow "
                   "entry, so an allowed right may pass it.\r\n");
}

// A listing file as the real tool may write it: UTF-16 with its mark when
// VORLANE_STANDIN_UTF16=1 asks, else 8-bit; restored from either, and from
// 8-bit text in the ANSI code page.
TEST(StandInListingFiles, WrittenInUtf16WhenAskedAndRestoredFromEachEncoding) {
  TestKeys keys;
  const std::wstring greek = L"\x03A9\x03BC\x03AD\x03B3\x03B1";  // outside the ANSI code page
  const std::wstring french = L"Donn\x00E9" L"es";  // inside it
  keys.make(greek);
  keys.make(french);
  const std::string before = keys.dacl(greek);
  native::TempFolder temp(L"vorlane-listing-files");

  const fs::path eight = temp.path() / L"eight.txt", wide = temp.path() / L"wide.txt";
  EXPECT_EQ(RunStandIn(ListCommand(TestKeys::quoted(greek), eight)).code, 0);
  SetEnvironmentVariableW(L"VORLANE_STANDIN_UTF16", L"1");
  EXPECT_EQ(RunStandIn(ListCommand(TestKeys::quoted(greek), wide)).code, 0);
  SetEnvironmentVariableW(L"VORLANE_STANDIN_UTF16", nullptr);
  const std::string eightBytes = native::FileText(eight), wideBytes = native::FileText(wide);
  EXPECT_EQ(eightBytes, "\"machine\\SOFTWARE\\VorlaneStandInTest\\" + win32::Utf8(greek) +
                            "\",4,\"" + before + "\"\r\n");
  const std::wstring wideText = win32::Wide(eightBytes);  // with its byte-order mark, little-endian
  EXPECT_EQ(wideBytes, std::string("\xFF\xFE").append(reinterpret_cast<const char*>(wideText.data()),
                                                        wideText.size() * sizeof(wchar_t)));

  // The same listing of the other key, in the ANSI code page.
  const fs::path french8 = temp.path() / L"french.txt", ansi = temp.path() / L"ansi.txt";
  EXPECT_EQ(RunStandIn(ListCommand(TestKeys::quoted(french), french8)).code, 0);
  const std::wstring frenchText = win32::Wide(native::FileText(french8));
  std::string ansiBytes(frenchText.size(), '\0');
  ansiBytes.resize(WideCharToMultiByte(CP_ACP, 0, frenchText.data(),
                                       static_cast<int>(frenchText.size()), ansiBytes.data(),
                                       static_cast<int>(ansiBytes.size()), nullptr, nullptr));
  ASSERT_NE(ansiBytes.find("\\Donn\xE9" "es\",4,"), std::string::npos) << ansiBytes;
  std::ofstream(ansi, std::ios::binary) << ansiBytes;

  SetEnvironmentVariableW(L"VORLANE_STANDIN_APPLY", L"1");
  for (const auto& [name, file] : {std::pair{greek, wide}, {french, ansi}}) {
    keys.setDacl(name, kAfter);
    ASSERT_NE(keys.dacl(name), before);
    Ran ran = RunStandIn(RestoreCommand(TestKeys::quoted(name), file));
    EXPECT_EQ(ran.code, 0) << ran.output;
    EXPECT_EQ(keys.dacl(name), before) << file;
  }
  SetEnvironmentVariableW(L"VORLANE_STANDIN_APPLY", nullptr);
}

// Once the program reading its output has gone, the stand-in stops with a
// failure before it lists, changes or restores anything more; its output on
// a pipe still read, in a file or in a console of its own, it goes on.
TEST(StandInReader, StopsOnceTheReaderOfItsOutputHasGoneAndOnlyThen) {
  TestKeys keys;
  for (const wchar_t* name : {L"Tree", L"Tree\\a", L"Tree\\b"}) keys.make(name);
  const std::string tree = TestKeys::quoted(L"Tree");
  native::TempFolder temp(L"vorlane-reader");
  const fs::path listing = temp.path() / L"listing.txt", saved = temp.path() / L"saved.txt";
  const std::string list = ListCommand(tree, listing, true);

  Ran piped = RunStandIn(list);
  EXPECT_EQ(piped.code, 0) << piped.output;
  const std::string listed = native::FileText(listing);
  ASSERT_EQ(std::ranges::count(listed, '\n'), 3) << listed;
  fs::rename(listing, saved);
  Ran filed = RunStandIn(list, Output::File);
  EXPECT_EQ(filed.code, 0) << filed.output;
  EXPECT_EQ(native::FileText(listing), listed);
  fs::remove(listing);
  {
    // As the shell starts it for a backup: it lists, then holds its console
    // open for a key, and is ended here.
    PROCESS_INFORMATION info{};
    ASSERT_TRUE(StartStandIn(list, nullptr, CREATE_NEW_CONSOLE, info));
    CloseHandle(info.hThread);
    EXPECT_TRUE(native::WaitFor([&] { return native::FileText(listing) == listed; }, kRunMs));
    TerminateProcess(info.hProcess, 99);
    WaitForSingleObject(info.hProcess, 5000);
    CloseHandle(info.hProcess);
    fs::remove(listing);
  }

  SetEnvironmentVariableW(L"VORLANE_STANDIN_APPLY", L"1");
  for (const wchar_t* name : {L"Tree", L"Tree\\a", L"Tree\\b"}) keys.setDacl(name, kAfter);
  const std::string after = keys.dacl(L"Tree\\b");
  const std::string grant =
      "-on " + tree + " -ot reg -rec yes -actn ace -ace \"n:Everyone;p:read;m:grant;w:dacl\"";
  const fs::path journal = native::BuildFolder() / L"SetACL-journal.txt";
  for (const std::string& command : {list, grant, RestoreCommand(tree, saved)}) {
    Ran gone = RunStandIn(command, Output::ClosedPipe);
    EXPECT_EQ(gone.code, 2) << command;
    EXPECT_TRUE(native::FileText(journal).ends_with(
        "> " + native::Quoted(native::BuildFolder() / L"SetACL.exe") + " " + command +
        "\r\nSetACL finished with error(s):\r\nSetACL error message: " + standin::kReaderGone +
        "\r\nexit code 2\r\n"))
        << command;
  }
  EXPECT_FALSE(fs::exists(listing));
  for (const wchar_t* name : {L"Tree", L"Tree\\a", L"Tree\\b"})
    EXPECT_EQ(keys.dacl(name), after) << win32::Utf8(name);
  // Read to the end, the same restore and grant change what they reach.
  EXPECT_EQ(RunStandIn(RestoreCommand(tree, saved)).code, 0);
  EXPECT_NE(keys.dacl(L"Tree\\b"), after);
  const std::string restored = keys.dacl(L"Tree\\b");
  EXPECT_EQ(RunStandIn(grant).code, 0);
  EXPECT_NE(keys.dacl(L"Tree\\b"), restored);
  SetEnvironmentVariableW(L"VORLANE_STANDIN_APPLY", nullptr);
}
