// How fast two listings are compared, and the memory it takes beside the
// listings themselves. 100,000 registry keys held in memory, one key in a
// hundred with an entry added, one in a hundred the same security spelled
// otherwise, which the system must read to tell. Then 1,000,000 files
// listed into real files, the one before in UTF-16 with its mark as the
// tool writes it, the one after in UTF-8, a few objects changed and a few
// spelled otherwise: read and compared, and compared alone. Security read
// by the system (wine's); run by scripts/bench.

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

#include "bench/heap_count.h"
#include "forms/win32/wide.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_security.h"
#include "setacl/listing.h"
#include "runner/listing_changes.h"

namespace {

// The best time of a few rounds, and the most memory one took beyond what
// `kept` says it keeps.
struct Measured {
  double seconds = 1e9;
  std::size_t beyond = 0;
};

Measured Measure(int rounds, const std::function<std::size_t()>& round) {
  Measured out;
  for (int i = 0; i < rounds; ++i) {
    std::size_t start = bench::StartHeapPeak();
    auto started = std::chrono::steady_clock::now();
    std::size_t kept = round();
    out.seconds = std::min(out.seconds, std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
    std::size_t used = bench::HeapPeak() - start;
    out.beyond = std::max(out.beyond, used - std::min(kept, used));
  }
  return out;
}

void InMemory(platform::Security& security) {
  constexpr int kObjects = 100000;
  const std::string common = "O:BAG:SYD:PAI(A;CI;KA;;;BA)(A;CI;KA;;;SY)(A;CI;KR;;;BU)";
  std::string before, after;
  for (int i = 0; i < kObjects; ++i) {
    std::string path = "\"machine\\SOFTWARE\\Bench\\Group" + std::to_string(i / 1000) + "\\Key" +
                       std::to_string(i) + "\",4,\"";
    before += path + common + "\"\r\n";
    if (i % 100 == 7) after += path + common + "(A;CI;KR;;;WD)\"\r\n";
    else if (i % 100 == 42) after += path + "O:S-1-5-32-544G:SYD:PAI(A;CI;0xf003f;;;BA)(A;CI;KA;;;SY)(A;CI;KR;;;BU)\"\r\n";
    else after += path + common + "\"\r\n";
  }
  const std::size_t listings = before.size() + after.size();
  std::optional<ListingChanges> changes;
  Measured m = Measure(5, [&] {
    changes.reset();
    changes = CompareListings(before, after, security);
    return std::size_t{0};
  });
  std::printf("compare of two listings of %d objects in memory (%.1f MB together): %s in %.3f s (best of 5)\n",
              kObjects, listings / 1e6, ChangesSummary(*changes).c_str(), m.seconds);
  std::printf("  memory: %.1f MB beside the listings at the most, %.2f times the listings with them\n",
              m.beyond / 1e6, static_cast<double>(listings + m.beyond) / listings);
}

// A file's lines written a few megabytes at a time, UTF-16 (ASCII widened)
// or UTF-8 as they stand.
class ListingFile {
 public:
  ListingFile(const std::wstring& path, bool utf16)
      : file_(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY, nullptr)),
        utf16_(utf16) {
    if (utf16_) buffer_ = "\xFF\xFE";
  }
  ~ListingFile() {
    flush();
    CloseHandle(file_);
  }
  bool opened() const { return file_ != INVALID_HANDLE_VALUE; }
  void line(const std::string& text) {
    for (char c : text) {
      buffer_ += c;
      if (utf16_) buffer_ += '\0';
    }
    if (buffer_.size() > (8 << 20)) flush();
  }

 private:
  void flush() {
    DWORD written = 0;
    WriteFile(file_, buffer_.data(), static_cast<DWORD>(buffer_.size()), &written, nullptr);
    buffer_.clear();
  }
  HANDLE file_;
  bool utf16_;
  std::string buffer_;
};

// `allChanged`: every object gains an entry, as a recursive grant does; else
// two in a million change.
void FromFiles(platform::Security& security, bool allChanged) {
  constexpr int kObjects = 1000000;
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  const std::wstring beforePath = std::wstring(folder) + L"vorlane-bench-before.txt",
                     afterPath = std::wstring(folder) + L"vorlane-bench-after.txt";
  const std::string user = "S-1-5-21-3623811015-3361044348-30300820-1013";
  const std::string common = "O:" + user + "G:SYD:AI(A;ID;FA;;;SY)(A;ID;FA;;;BA)(A;ID;0x1301bf;;;AU)(A;ID;0x1200a9;;;BU)";
  {
    ListingFile before(beforePath, true), after(afterPath, false);
    if (!before.opened() || !after.opened()) {
      std::printf("the listings could not be written to %ls\n", folder);
      return;
    }
    before.line("SetACL finished a listing\r\n");
    after.line("SetACL finished a listing\r\n");
    for (int i = 0; i < kObjects; ++i) {
      char name[32];
      std::snprintf(name, sizeof name, "report-%07d.xlsx", i);
      std::string path = "\"C:\\Users\\Public\\Documents\\Projects\\Project" + std::to_string(i / 10000) +
                         "\\Reports\\" + std::to_string(2000 + i / 1000 % 25) + "\\" + name + "\",1,\"";
      before.line(path + common + "\"\r\n");
      if (allChanged || i % 100000 == 7) after.line(path + common + "(A;;FA;;;" + user + ")\"\r\n");
      else if (i % 100000 == 42) after.line(path + "O:" + user + "G:SYD:AI(A;ID;0x1f01ff;;;SY)(A;ID;FA;;;BA)(A;ID;0x1301bf;;;AU)(A;ID;0x1200a9;;;BU)\"\r\n");
      else after.line(path + common + "\"\r\n");
    }
  }
  win32::Win32Files files;
  const FromAnsi fromAnsi = [](std::string_view ansi) {
    int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    std::wstring wide(n, L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), n);
    return win32::Utf8(wide);
  };
  const std::string beforeName = win32::Utf8(beforePath), afterName = win32::Utf8(afterPath);
  const std::uint64_t fileBytes = files.FileSize(beforeName) + files.FileSize(afterName);
  std::optional<ListingChanges> changes;
  std::size_t listings = 0;
  const int rounds = allChanged ? 1 : 3;
  Measured readAndCompare = Measure(rounds, [&] {
    changes.reset();
    std::optional<std::string> before = ReadListingFile(files, beforeName, fromAnsi),
                               after = ReadListingFile(files, afterName, fromAnsi);
    if (before && after) changes = CompareListings(*before, *after, security);
    listings = before && after ? before->capacity() + after->capacity() : 0;
    return listings;
  });
  std::optional<std::string> before = ReadListingFile(files, beforeName, fromAnsi),
                             after = ReadListingFile(files, afterName, fromAnsi);
  Measured compare = Measure(rounds, [&] {
    changes.reset();
    changes = CompareListings(*before, *after, security);
    return std::size_t{0};
  });
  files.RemoveFile(beforeName);
  files.RemoveFile(afterName);
  std::printf("two listing files of %d objects (%.1f MB on disk, %.1f MB as text): %s\n", kObjects,
              fileBytes / 1e6, listings / 1e6, changes ? ChangesSummary(*changes).c_str() : "not read");
  std::printf("  read and compared in %.3f s (best of %d), %.1f MB beside the listings at the most\n",
              readAndCompare.seconds, rounds, readAndCompare.beyond / 1e6);
  std::printf("  compared alone in %.3f s (best of %d), %.1f MB beside the listings at the most\n",
              compare.seconds, rounds, compare.beyond / 1e6);
}

}  // namespace

int main() {
  win32::Win32Security security;
  InMemory(security);
  FromFiles(security, false);
  FromFiles(security, true);
}
