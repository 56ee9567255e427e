// What a user meets when a command writes a great deal: vorlane.exe started
// as a program of its own and driven from here by window messages, as a hand
// would drive it. The object typed, Send It clicked, "Run Command?" answered
// Yes; the clock runs from that Yes until the output box's length, asked
// every 50 ms, holds the whole output. Against it, a bare loop reading the
// same child 256 bytes at a time. The window keeps its design size, and the
// runs are made with snapshots off and on. Run under wine by scripts/bench.
//
// Under Xvfb no window manager answers wine, which then waits two seconds
// for one each time a top-level window such as the question is hidden: a
// wait no user meets. The benchmark's windows are left unmanaged, so the
// question closes as it does on a desktop; how long it took is printed.

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "forms/win32/wide.h"
#include "tests/win/child_program.h"
#include "tests/win/console_child.h"
#include "tests/win/native_window.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr wchar_t kMainTitle[] = L"Vorlane ---Front End For SetACL";
constexpr char kChildMode[] = "mb 32";  // 32 MiB in pieces of 64 KiB
constexpr std::size_t kOutputBytes = std::size_t{32} << 20;
constexpr int kRuns = 4;
constexpr DWORD kPollMs = 50;
constexpr UINT kPatienceMs = 600000;  // for a vorlane.exe busy with the output

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

double Megabytes(std::size_t bytes) { return static_cast<double>(bytes) / 1e6; }

// The child's output read in pieces of 256 bytes and thrown away, on this
// thread: the speed of the pipe itself.
std::optional<double> BareRead(const fs::path& child) {
  SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
  HANDLE read = nullptr, write = nullptr;
  if (!CreatePipe(&read, &write, &inherited, 0)) return std::nullopt;
  SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
  startup.hStdOutput = startup.hStdError = write;
  std::wstring line = win32::Wide(native::Quoted(child) + " " + kChildMode);
  PROCESS_INFORMATION info{};
  Clock::time_point start = Clock::now();
  bool started = CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                &startup, &info);
  CloseHandle(write);
  if (!started) {
    CloseHandle(read);
    return std::nullopt;
  }
  char buffer[256];
  DWORD got = 0;
  std::size_t total = 0;
  while (ReadFile(read, buffer, sizeof buffer, &got, nullptr)) total += got;
  double seconds = Seconds(start);
  for (HANDLE handle : {read, info.hProcess, info.hThread}) CloseHandle(handle);
  if (total != kOutputBytes) return std::nullopt;
  return seconds;
}

bool StoreValue(HKEY root, const wchar_t* path, const wchar_t* name, const std::wstring& value) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return false;
  LONG result = RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                               static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
  return result == ERROR_SUCCESS;
}

std::optional<std::size_t> LengthOf(HWND box) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(box, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, kPatienceMs, &length))
    return std::nullopt;
  return static_cast<std::size_t>(length);
}

bool StoreSetting(const wchar_t* name, const std::wstring& value) {
  return StoreValue(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Vorlane", name, value);
}

struct SendIt {
  double seconds = 0;
  double questionClosed = 0;  // after the Yes
  std::size_t peakWorkingSet = 0;
  SIZE box{};  // the output box's client area
};

std::optional<SendIt> Failed(const char* why) {
  std::fprintf(stderr, "%s\n", why);
  return std::nullopt;
}

std::optional<SendIt> RunInVorlane(const fs::path& vorlane, const std::string& expected) {
  // vorlane.exe hands its copy on to the child it starts as SetACL.exe.
  SetEnvironmentVariableW(L"CONSOLE_CHILD", win32::Wide(kChildMode).c_str());
  native::ChildProgram program(vorlane);
  SetEnvironmentVariableW(L"CONSOLE_CHILD", nullptr);
  HWND main = program.waitForWindow(kMainTitle);
  HWND object = main ? native::Find(main, "txtObjName") : nullptr;
  HWND send = main ? native::Find(main, "cmdSendIt") : nullptr;
  HWND output = main ? native::Find(main, "txtOutputs") : nullptr;
  if (!object || !send || !output) return Failed("vorlane.exe showed no main window");
  native::Type(object, "C:\\Data");
  for (int waited = 0; !IsWindowVisible(send); waited += 10) {
    if (waited > 20000) return Failed("Send It never showed for the typed object");
    Sleep(10);
  }
  // Posted: the click waits in a modal loop for the answer.
  PostMessageW(send, BM_CLICK, 0, 0);
  HWND question = program.waitForWindow(L"Run Command?");
  HWND yes = question ? GetDlgItem(question, IDYES) : nullptr;
  if (!yes) return Failed("Send It asked nothing");
  SendIt run;
  Clock::time_point answered = Clock::now();
  PostMessageW(yes, BM_CLICK, 0, 0);
  for (;;) {
    std::optional<std::size_t> length = LengthOf(output);
    if (!length) return Failed("the output box did not answer");
    if (run.questionClosed == 0 && !IsWindow(question)) run.questionClosed = Seconds(answered);
    if (*length >= expected.size()) break;
    if (WaitForSingleObject(program.handle(), kPollMs) == WAIT_OBJECT_0)
      return Failed("vorlane.exe ended during the run");
  }
  run.seconds = Seconds(answered);
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof memory;
  GetProcessMemoryInfo(program.handle(), &memory, sizeof memory);
  run.peakWorkingSet = memory.PeakWorkingSetSize;
  RECT client{};
  GetClientRect(output, &client);
  run.box = {client.right, client.bottom};
  if (native::TextOfOther(output, kPatienceMs) != expected)
    return Failed("the output box does not hold the output as written");
  PostMessageW(main, WM_CLOSE, 0, 0);
  program.waitForExit();
  return run;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main() {
  const fs::path build = native::BuildFolder();
  native::TempFolder folder(L"vorlane-bench");
  fs::copy_file(build / L"console_child.exe", folder.path() / L"SetACL.exe");
  if (!StoreSetting(L"Location", folder.path().wstring() + L"\\") ||
      !StoreValue(HKEY_CURRENT_USER, L"Software\\Wine\\X11 Driver", L"Managed", L"N")) {
    std::fprintf(stderr, "could not store the settings in the registry\n");
    return 1;
  }
  const std::string expected = native::BenchmarkText(kOutputBytes);
  std::printf("output: %.1f MB from a child writing 64 KiB pieces, %d runs a setting\n",
              Megabytes(expected.size()), kRuns);
  for (const wchar_t* snapshots : {L"0", L"1"}) {
    if (!StoreSetting(L"Snapshots", snapshots)) {
      std::fprintf(stderr, "could not store the snapshot setting\n");
      return 1;
    }
    std::printf("\nsnapshots %s\n%4s %9s %9s %7s %14s %9s %11s\n", *snapshots == L'1' ? "on" : "off",
                "run", "bare s", "Vorlane s", "ratio", "peak WS (MB)", "peak/out", "question s");
    std::vector<double> ratios, peaks;
    for (int i = 1; i <= kRuns; ++i) {
      std::optional<double> bare = BareRead(build / L"console_child.exe");
      if (!bare) {
        std::fprintf(stderr, "the bare read failed\n");
        return 1;
      }
      std::optional<SendIt> run = RunInVorlane(build / L"vorlane.exe", expected);
      if (!run) return 1;
      double peak = Megabytes(run->peakWorkingSet);
      ratios.push_back(run->seconds / *bare);
      peaks.push_back(peak);
      std::printf("%4d %9.2f %9.2f %7.2f %14.1f %9.2f %11.2f   (box %ldx%ld px)\n", i, *bare,
                  run->seconds, ratios.back(), peak, peak / Megabytes(expected.size()),
                  run->questionClosed, run->box.cx, run->box.cy);
    }
    std::printf("median ratio %.2f (at most 1.3 wanted); highest peak %.1f MB, %.2f of the output "
                "(at most 2 wanted)\n",
                Median(ratios), *std::max_element(peaks.begin(), peaks.end()),
                *std::max_element(peaks.begin(), peaks.end()) / Megabytes(expected.size()));
  }
  return 0;
}
