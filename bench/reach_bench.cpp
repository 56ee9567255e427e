// How fast the reach of a recursive command is counted: a tree of 100,000
// files, walked by the count and by a bare FindFirstFileExW loop. Run under
// wine by scripts/bench.

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "runner/reach.h"
#include "forms/win32/wide.h"
#include "platform/win32/win32_object_tree.h"
#include "tests/win/child_program.h"

using Clock = std::chrono::steady_clock;

namespace {

constexpr int kFolders = 100, kFilesEach = 1000;

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

// Files and folders below a folder, counted by the system's enumeration alone.
std::uint64_t BareWalk(const std::wstring& folder) {
  std::uint64_t count = 0;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &found,
                                   FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (search == INVALID_HANDLE_VALUE) return 0;
  do {
    std::wstring_view name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    ++count;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) count += BareWalk(folder + L"\\" + found.cFileName);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return count;
}

}  // namespace

int main() {
  native::TempFolder temp(L"vorlane-reach-bench");
  const std::wstring root = temp.path().wstring();
  Clock::time_point made = Clock::now();
  for (int f = 0; f < kFolders; ++f) {
    std::wstring folder = root + L"\\folder" + std::to_wstring(f);
    CreateDirectoryW(folder.c_str(), nullptr);
    for (int i = 0; i < kFilesEach; ++i) {
      HANDLE file = CreateFileW((folder + L"\\file" + std::to_wstring(i) + L".txt").c_str(),
                                GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
      CloseHandle(file);
    }
  }
  std::printf("tree of %d folders and %d files made in %.1f s\n", kFolders, kFolders * kFilesEach,
              Seconds(made));

  win32::Win32ObjectTree tree;
  std::printf("%-22s %10s %10s %8s\n", "count", "objects", "seconds", "ratio");
  for (int round = 0; round < 2; ++round) {  // the second with the system's caches warm
    Clock::time_point start = Clock::now();
    std::uint64_t bare = BareWalk(win32::LongPath(win32::Utf8(root)));
    double bareSeconds = Seconds(start);
    for (const char* filter : {"", "file99"}) {
      ReachQuestion question{win32::Utf8(root), false, true, true, {}};
      if (*filter) question.filters.push_back(filter);
      start = Clock::now();
      ReachCount count = CountReach(tree, question, [] { return false; }, [](const ReachCount&) {});
      double seconds = Seconds(start);
      std::printf("%-22s %10llu %10.3f %8.2f   (bare walk: %llu in %.3f s)\n",
                  *filter ? "reach, filter file99" : "reach",
                  static_cast<unsigned long long>(count.objects + count.skipped), seconds,
                  seconds / bareSeconds, static_cast<unsigned long long>(bare + 1), bareSeconds);
    }
  }
  std::printf("the count is due within 2x the bare walk\n");
  return 0;
}
