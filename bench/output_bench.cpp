// How fast the output of a long command reaches the output box, against a
// bare read of the same output, and what that costs vorlane.exe in memory.
// Run under wine by scripts/bench, in a prefix of its own: it points the
// stored SetACL.exe folder at a copy of the benchmark's console child.

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/win32/wide.h"
#include "platform/win32/win32_processes.h"
#include "tests/win/console_child.h"
#include "tests/win/child_program.h"
#include "tests/win/native_window.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr wchar_t kMainTitle[] = L"Vorlane ---Front End For SetACL";

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

std::wstring Quoted(const fs::path& path) { return L"\"" + path.wstring() + L"\""; }

// (a) The child's output read in pieces of 256 bytes and thrown away.
double BareRead(const fs::path& child, int mb) {
  win32::Win32Processes processes;
  platform::Processes::Handle read = 0, write = 0, process = 0, thread = 0;
  if (processes.CreatePipe(read, write) != 0) {
    std::fprintf(stderr, "no pipe\n");
    return -1;
  }
  std::string line = win32::Utf8(Quoted(child)) + " mb " + std::to_string(mb);
  Clock::time_point start = Clock::now();
  bool started = processes.StartHidden(line, write, process, thread);
  processes.CloseHandle(write);
  if (!started) {
    std::fprintf(stderr, "the console child did not start\n");
    return -1;
  }
  char buffer[256];
  std::uint32_t got = 0;
  std::size_t total = 0;
  while (processes.ReadFile(read, buffer, sizeof buffer, got)) total += got;
  double seconds = Seconds(start);
  for (auto handle : {read, process, thread}) processes.CloseHandle(handle);
  if (total == static_cast<std::size_t>(mb) << 20) return seconds;
  std::fprintf(stderr, "the bare read got %zu bytes\n", total);
  return -1;
}

bool StoreLocation(const fs::path& folder) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Vorlane", 0, nullptr, 0, KEY_ALL_ACCESS,
                      nullptr, &key, nullptr) != ERROR_SUCCESS)
    return false;
  std::wstring value = folder.wstring() + L"\\";
  LONG result = RegSetValueExW(key, L"Location", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                               static_cast<DWORD>(value.size() * sizeof(wchar_t)));
  RegCloseKey(key);
  return result == ERROR_SUCCESS;
}

constexpr UINT kPatience = 600000;  // milliseconds a busy vorlane.exe gets to answer

// The lines the box shows: asked for the text itself, the box would take in
// at once what waits to go in, and the run would no longer be what a user sees.
LRESULT LineCount(HWND edit) {
  DWORD_PTR lines = 0;
  if (!SendMessageTimeoutW(edit, EM_GETLINECOUNT, 0, 0, SMTO_NORMAL, kPatience, &lines)) return -1;
  return static_cast<LRESULT>(lines);
}

struct SendItRun {
  double seconds = -1;
  bool sameText = false;
  std::size_t peakWorkingSet = 0;
};

SendItRun Failed(SendItRun run, const char* why) {
  std::fprintf(stderr, "%s\n", why);
  return run;
}

// (b) "Send It" in vorlane.exe, from the Yes until the output box holds it all.
SendItRun SendIt(const fs::path& vorlane, int mb) {
  SetEnvironmentVariableW(L"CONSOLE_CHILD", (L"mb " + std::to_wstring(mb)).c_str());
  SendItRun run;
  native::ChildProgram program(vorlane);
  SetEnvironmentVariableW(L"CONSOLE_CHILD", nullptr);  // vorlane.exe has its copy
  HWND main = program.waitForWindow(kMainTitle);
  HWND button = main ? native::Find(main, "cmdSendIt") : nullptr;
  HWND output = main ? native::Find(main, "txtOutputs") : nullptr;
  if (!button || !output) return Failed(run, "vorlane.exe showed no main window");
  PostMessageW(button, BM_CLICK, 0, 0);
  HWND question = program.waitForWindow(L"Run Command?");
  if (!question) return Failed(run, "\"Send It\" asked nothing");
  const std::string expected = native::BenchmarkText(static_cast<std::size_t>(mb) << 20);
  Clock::time_point start = Clock::now();
  native::Press(question, IDYES);
  // Short lines, no wrapping: the last line in means all of it is in.
  const auto lines = static_cast<LRESULT>(std::count(expected.begin(), expected.end(), '\n') + 1);
  for (LRESULT shown = 0; shown < lines;) {
    Sleep(5);
    if ((shown = LineCount(output)) < 0) return Failed(run, "the output box did not answer");
  }
  run.seconds = Seconds(start);
  run.sameText = native::TextOfOther(output, kPatience) == expected;
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (GetProcessMemoryInfo(program.handle(), &counters, sizeof counters))
    run.peakWorkingSet = counters.PeakWorkingSetSize;
  // The window closes once the run is over: until then it ignores a close.
  while (program.waitForExit(200) == -1) PostMessageW(main, WM_CLOSE, 0, 0);
  return run;
}

}  // namespace

int main() {
  const fs::path build = native::BuildFolder();
  native::TempFolder folder(L"vorlane-bench");
  fs::copy_file(build / L"console_child.exe", folder.path() / L"SetACL.exe");
  if (!StoreLocation(folder.path())) {
    std::fprintf(stderr, "could not store the SetACL.exe folder in the registry\n");
    return 1;
  }
  double sendIt[2] = {};
  int sizes[2] = {8, 32};
  bool ok = true;
  std::printf("%-6s %12s %12s %8s %10s\n", "size", "bare MB/s", "Send It MB/s", "b/a", "same text");
  for (int i = 0; i < 2; ++i) {
    int mb = sizes[i];
    double bare = BareRead(build / L"console_child.exe", mb);
    SendItRun run = SendIt(build / L"vorlane.exe", mb);
    if (bare <= 0 || run.seconds <= 0) {
      std::fprintf(stderr, "the %d MB run failed\n", mb);
      return 1;
    }
    sendIt[i] = run.seconds;
    ok = ok && run.sameText;
    std::printf("%3d MB %12.1f %12.1f %8.2f %10s\n", mb, mb / bare, mb / run.seconds,
                run.seconds / bare, run.sameText ? "yes" : "NO");
    if (mb == 32)
      std::printf("peak working set of vorlane.exe for 32 MB: %.1f MB\n",
                  run.peakWorkingSet / 1048576.0);
  }
  std::printf("growth of Send It, T(32)/T(8): %.2f (linear is 4)\n", sendIt[1] / sendIt[0]);
  return ok ? 0 : 1;
}
