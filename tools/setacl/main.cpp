// A stand-in for SetACL.exe, for demos and tests: it reads command lines as
// the real tool does, prints what each action would do, lists security to
// the screen or into backup files, and writes the log it is asked for. It
// changes security (and restores backups) only with VORLANE_STANDIN_APPLY=1
// in its environment. Every run is added to a journal beside it, so a test
// or a curious user can see what was started.

#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "forms/win32/wide.h"
#include "setacl/call_reader.h"
#include "setacl/listing.h"
#include "tools/setacl/apply.h"
#include "tools/setacl/describe.h"
#include "tools/setacl/listing.h"

namespace {

// How long a console window of the stand-in's own stays up to be read.
constexpr DWORD kConsoleHoldMs = 15000;

// Console text goes out in the ANSI code page, as the real tool writes it.
void Write(DWORD stream, const std::string& utf8) {
  std::wstring wide = win32::Wide(utf8);
  int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                              nullptr, nullptr);
  std::string ansi(n, '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), ansi.data(), n,
                      nullptr, nullptr);
  DWORD written = 0;
  WriteFile(GetStdHandle(stream), ansi.data(), static_cast<DWORD>(ansi.size()), &written, nullptr);
}

bool Save(const std::string& path, const std::string& text) {
  std::ofstream file(std::filesystem::path(win32::Wide(path)), std::ios::binary);
  file << text;
  return static_cast<bool>(file.flush());
}

// A switch in the environment: the variable set to 1.
bool Switched(const wchar_t* variable) {
  wchar_t value[4] = {};
  return GetEnvironmentVariableW(variable, value, 4) == 1 && value[0] == L'1';
}

// The real tool may write its listing file as UTF-16 with its mark, as it
// writes its log, or as 8-bit text: VORLANE_STANDIN_UTF16=1 asks for the first.
std::string ListingBytes(const std::string& text) {
  if (!Switched(L"VORLANE_STANDIN_UTF16")) return text;
  const std::wstring wide = win32::Wide(text);
  std::string bytes = "\xFF\xFE";
  bytes.append(reinterpret_cast<const char*>(wide.data()), wide.size() * sizeof(wchar_t));
  return bytes;
}

std::string FromAnsi(std::string_view ansi) {
  if (ansi.empty()) return {};
  int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
  std::wstring wide(n, L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), n);
  return win32::Utf8(wide);
}

std::filesystem::path OwnFolder() {
  std::wstring exe(MAX_PATH, L'\0');
  exe.resize(GetModuleFileNameW(nullptr, exe.data(), MAX_PATH));
  return std::filesystem::path(exe).parent_path();
}

void AddToJournal(const std::string& commandLine, const std::string& result) {
  std::ofstream journal(OwnFolder() / L"SetACL-journal.txt", std::ios::binary | std::ios::app);
  journal << "> " << commandLine << "\r\n" << result;
}

// Started in a console of its own (from the shell, not through a pipe), the
// window would vanish before anyone could read it.
bool HasConsoleOfItsOwn() {
  DWORD processes[2];
  DWORD mode;
  return GetConsoleProcessList(processes, 2) == 1 &&
         GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode);
}

void HoldConsole() {
  Write(STD_OUTPUT_HANDLE, "\r\nPress a key to close this window; it closes by itself in " +
                               std::to_string(kConsoleHoldMs / 1000) + " seconds.\r\n");
  HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  FlushConsoleInputBuffer(input);
  for (ULONGLONG end = GetTickCount64() + kConsoleHoldMs;;) {
    ULONGLONG now = GetTickCount64();
    if (now >= end || WaitForSingleObject(input, static_cast<DWORD>(end - now)) != WAIT_OBJECT_0)
      return;
    INPUT_RECORD record;
    DWORD read = 0;
    if (!ReadConsoleInputW(input, &record, 1, &read) || read == 0) return;
    if (record.EventType == KEY_EVENT && record.Event.KeyEvent.bKeyDown) return;
  }
}

// What the command did: the lines for standard output, or the one failure
// with the real tool's exit code for it.
struct Outcome {
  std::string out;
  std::string error;
  ToolExit code = ToolExit::Ok;
  bool silent = false;
};

Outcome Run(const std::string& commandLine) {
  const CallReading call = ReadCall(commandLine);
  if (const CallProblem* refusal = call.refusal()) return {{}, refusal->toolMessage, refusal->exit};
  const Command& command = call.command;
  auto failed = [&](std::string message) {
    return Outcome{{}, std::move(message), ToolExit::GeneralError, command.silent};
  };

  std::string backup;
  std::size_t backedUp = 0;
  if (call.asked("restore")) {
    std::ifstream file(std::filesystem::path(win32::Wide(call.backupFile)), std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    backup = ListingText(text.str(), FromAnsi);
    backedUp = ReadListing(backup).size();
    if (!file || backedUp == 0) return failed("Could not read the backup file " + call.backupFile);
  }
  Outcome outcome{{}, {}, ToolExit::Ok, command.silent};
  if (call.asked("list") && !standin::ListsToScreen(call)) {
    standin::ListingResult listing = standin::List(call, true);
    if (!listing.error.empty()) return failed(listing.error);
    if (!Save(call.backupFile, ListingBytes(listing.text)))
      return failed("Could not write the backup file " + call.backupFile);
    outcome.out += listing.messages;
  }

  for (const std::string& line : standin::Describe(call, backedUp)) outcome.out += line + "\r\n";
  if (standin::Applying()) {
    const bool changes = std::ranges::any_of(call.actions, [](const std::string& action) {
      return action != "list" && action != "restore" && action != "trustee";
    });
    for (bool restore : {false, true}) {
      if (restore ? !call.asked("restore") : !changes) continue;
      standin::Applied applied = restore ? standin::Restore(command, backup) : standin::Apply(call);
      if (!applied.error.empty()) return failed(applied.error);
      outcome.out += applied.out;
    }
  }
  if (call.asked("list") && standin::ListsToScreen(call)) {
    standin::ListingResult listing = standin::List(call, false);
    if (!listing.error.empty()) return failed(listing.error);
    outcome.out += "\r\n" + listing.text + listing.messages;
  }
  if (!call.logPath.empty() && !Save(call.logPath, outcome.out))
    return failed("Could not open the log file " + call.logPath);
  return outcome;
}

}  // namespace

int wmain() {
  const std::string commandLine = win32::Utf8(GetCommandLineW());
  // In a window of its own, the command heads what it does.
  const bool ownConsole = HasConsoleOfItsOwn();
  if (ownConsole) Write(STD_OUTPUT_HANDLE, "> " + commandLine + "\r\n\r\n");
  Outcome outcome = Run(commandLine);
  std::string failure;
  if (!outcome.error.empty())
    failure = "SetACL finished with error(s):\r\nSetACL error message: " + outcome.error + "\r\n";
  AddToJournal(commandLine, (failure.empty() ? outcome.out : failure) + "exit code " +
                                std::to_string(static_cast<int>(outcome.code)) + "\r\n");
  // Silent means silent: errors included, as the real tool keeps it.
  if (!outcome.silent) Write(failure.empty() ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE,
                             failure.empty() ? outcome.out : failure);
  if (ownConsole) HoldConsole();
  return static_cast<int>(outcome.code);
}
