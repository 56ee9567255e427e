// How fast the output of a long command reaches the output box, against a
// bare read of the same output, and what that costs vorlane.exe in memory.
// Run under wine by scripts/bench, in a prefix of its own: it points the
// stored SetACL.exe folder at a copy of the benchmark's console child.

#include <windows.h>
#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/win32/wide.h"
#include "tests/win/console_child.h"
#include "tests/win/child_program.h"
#include "tests/win/native_window.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr wchar_t kMainTitle[] = L"Vorlane ---Front End For SetACL";
constexpr UINT kPatience = 600000;  // milliseconds a busy vorlane.exe gets to answer
constexpr int kRounds = 3;

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

// What the console child is told to write, and what it writes.
struct Workload {
  std::string label;
  std::string mode;  // the console child's arguments
  std::string text;
};

// (a) The child's output read in pieces of 256 bytes and thrown away, in a
// bare loop on the calling thread.
double BareRead(const fs::path& child, const Workload& work) {
  SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
  HANDLE read = nullptr, write = nullptr;
  if (!CreatePipe(&read, &write, &inherited, 0)) return -1;
  SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
  startup.hStdOutput = startup.hStdError = write;
  std::wstring line = win32::Wide(native::Quoted(child) + " " + work.mode);
  PROCESS_INFORMATION info{};
  Clock::time_point start = Clock::now();
  bool started = CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                &startup, &info);
  CloseHandle(write);
  if (!started) return -1;
  char buffer[256];
  DWORD got = 0;
  std::size_t total = 0;
  while (ReadFile(read, buffer, sizeof buffer, &got, nullptr)) total += got;
  double seconds = Seconds(start);
  for (HANDLE handle : {read, info.hProcess, info.hThread}) CloseHandle(handle);
  return total == work.text.size() ? seconds : -1;
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

PROCESS_MEMORY_COUNTERS WorkingSet(HANDLE process) {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(process, &counters, sizeof counters);
  return counters;
}

struct SendItRun {
  double seconds = -1;
  bool sameText = false;
  std::size_t idleWorkingSet = 0;  // the window shown, before the run
  std::size_t peakWorkingSet = 0;
};

SendItRun Failed(SendItRun run, const char* why) {
  std::fprintf(stderr, "%s\n", why);
  return run;
}

// (b) "Send It" in vorlane.exe, from the Yes until the status line says the
// run finished: by then the output box holds all of it. The clock starts when
// the question has gone: a Yes posted from another process takes wine two
// seconds to close the box, which is no part of the run.
SendItRun SendIt(const fs::path& vorlane, const Workload& work) {
  SetEnvironmentVariableW(L"CONSOLE_CHILD", win32::Wide(work.mode).c_str());
  SendItRun run;
  native::ChildProgram program(vorlane);
  SetEnvironmentVariableW(L"CONSOLE_CHILD", nullptr);  // vorlane.exe has its copy
  HWND main = program.waitForWindow(kMainTitle);
  HWND button = main ? native::Find(main, "cmdSendIt") : nullptr;
  HWND output = main ? native::Find(main, "txtOutputs") : nullptr;
  HWND status = main ? native::Find(main, "lblStatus") : nullptr;
  if (!button || !output || !status) return Failed(run, "vorlane.exe showed no main window");
  run.idleWorkingSet = WorkingSet(program.handle()).WorkingSetSize;
  PostMessageW(button, BM_CLICK, 0, 0);
  HWND question = program.waitForWindow(L"Run Command?");
  if (!question) return Failed(run, "\"Send It\" asked nothing");
  native::Press(question, IDYES);
  while (IsWindow(question)) Sleep(1);
  Clock::time_point start = Clock::now();
  for (;;) {
    Sleep(5);
    std::optional<std::string> shown = native::TextOfOther(status, kPatience);
    if (!shown) return Failed(run, "the status line did not answer");
    if (shown->starts_with("Finished")) break;
  }
  run.seconds = Seconds(start);
  // The peak of the run itself: reading the text back costs memory too.
  run.peakWorkingSet = WorkingSet(program.handle()).PeakWorkingSetSize;
  run.sameText = native::TextOfOther(output, kPatience) == work.text;
  PostMessageW(main, WM_CLOSE, 0, 0);
  program.waitForExit();
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
  const Workload workloads[] = {
      {"8 MiB", "mb 8", native::BenchmarkText(8 << 20)},
      {"32 MiB", "mb 32", native::BenchmarkText(32 << 20)},
      {"1M lines", "lines 1000000", native::ShortLines(1000000)},
  };
  double sendIt[2] = {};
  bool ok = true;
  // The memory the output costs is the peak over the idle window's working set.
  std::printf("%-9s %8s %10s %12s %6s %5s %13s %13s %10s\n", "output", "MB", "bare MB/s",
              "Send It MB/s", "ratio", "same", "idle WS (MB)", "peak WS (MB)", "added/out");
  for (int i = 0; i < 3; ++i) {
    const Workload& work = workloads[i];
    // Wine's pipes run at a speed of their own from one run to the next: the
    // best of a few runs each, taken in turns.
    double bare = 0;
    SendItRun run;
    for (int round = 0; round < kRounds; ++round) {
      double b = BareRead(build / L"console_child.exe", work);
      SendItRun r = SendIt(build / L"vorlane.exe", work);
      if (b <= 0 || r.seconds <= 0) {
        std::fprintf(stderr, "the %s run failed\n", work.label.c_str());
        return 1;
      }
      if (round == 0 || b < bare) bare = b;
      if (round == 0 || r.seconds < run.seconds) run = r;
    }
    if (i < 2) sendIt[i] = run.seconds;
    ok = ok && run.sameText;
    double mb = work.text.size() / 1048576.0, peak = run.peakWorkingSet / 1048576.0,
           idle = run.idleWorkingSet / 1048576.0;
    std::printf("%-9s %8.1f %10.1f %12.1f %6.2f %5s %13.1f %13.1f %10.2f\n", work.label.c_str(), mb,
                mb / bare, mb / run.seconds, run.seconds / bare, run.sameText ? "yes" : "NO", idle,
                peak, (peak - idle) / mb);
  }
  std::printf("growth of Send It, T(32 MiB)/T(8 MiB): %.2f (linear is 4)\n", sendIt[1] / sendIt[0]);
  return ok ? 0 : 1;
}
