// How fast a Tree Report judges a listing, and the memory it takes: a
// listing of 1,000,000 files and folders (about one in ten a folder, depth
// first as the tool lists them, inherited entries as a volume holds them,
// CREATOR OWNER among them, a few owners), a thousand files departing for
// mixed reasons, made a mebibyte at a time and fed as the window feeds a
// file it reads. Then 2,000,000, to see how it grows. Security read by the
// system (wine's); run by scripts/bench.

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/heap_count.h"
#include "platform/win32/win32_security.h"
#include "runner/tree_analysis.h"

namespace {

constexpr std::size_t kPiece = 1 << 20;
constexpr int kDeparting = 1000, kDeepest = 12;

const char* const kOwners[] = {"S-1-5-21-3623811015-3361044348-30300820-1013",
                               "S-1-5-21-3623811015-3361044348-30300820-1044",
                               "S-1-5-21-3623811015-3361044348-30300820-1102", "BA"};
const std::string kRoot = "D:\\Shares\\Projects";
const std::string kEntries =
    "(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICIIO;FA;;;CO)(A;OICI;0x1301bf;;;AU)(A;OICI;0x1200a9;;;"
    "BU)";

// The listing's lines, depth first: each folder holds some files and then
// some folders (one on average, so about one object in ten is a folder).
class Listing {
 public:
  explicit Listing(std::uint64_t objects) : left_(objects) { text_.reserve(kPiece + 4096); }
  // The next piece of about a mebibyte; empty at the end.
  const std::string& next() {
    text_.clear();
    if (open_.empty() && left_) {
      line(kRoot, "O:BAG:SYD:PAI" + kEntries);
      --left_;
      // The root holds folder after folder until the listing is long enough.
      open_.push_back({kRoot, 0, INT_MAX, 3});
    }
    while (left_ && text_.size() < kPiece) step();
    if (!left_ && !ended_) ended_ = true, text_ += "SetACL finished successfully.\r\n";
    return text_;
  }
  std::uint64_t departing() const { return departed_; }

 private:
  struct Folder {
    std::string path;
    int files, folders, owner;
  };

  std::uint32_t random() { return seed_ = seed_ * 1664525u + 1013904223u, seed_ >> 8; }

  void line(const std::string& path, const std::string& sddl) {
    text_ += "\"" + path + "\",1,\"" + sddl + "\"\r\n";
  }

  void step() {
    Folder& here = open_.back();
    if (here.files > 0) {
      --here.files;
      file(here);
    } else if (here.folders > 0) {
      --here.folders;
      folder(here);
    } else {
      open_.pop_back();
    }
  }

  void file(const Folder& in) {
    const std::string owner = kOwners[in.owner];
    char name[40];
    std::snprintf(name, sizeof name, "\\report-%07llu.xlsx",
                  static_cast<unsigned long long>(++files_));
    std::string inherited = "(A;ID;FA;;;SY)(A;ID;FA;;;BA)(A;ID;FA;;;" + owner +
                            ")(A;ID;0x1301bf;;;AU)(A;ID;0x1200a9;;;BU)";
    std::string dacl = "D:AI" + inherited;
    if (files_ % 900 == 450 && departed_ < kDeparting) {
      const std::string someone = "S-1-5-21-3623811015-3361044348-30300820-2001";
      switch (departed_++ % 6) {
        case 0:
          dacl = "D:AI(A;;FA;;;" + someone + ")" + inherited;
          break;  // an entry added
        case 1:
          dacl = "D:PAI(A;;FA;;;SY)(A;;FA;;;BA)(A;;FA;;;" + someone + ")";
          break;  // protected
        case 2:
          dacl = "D:AI(A;ID;FA;;;SY)(A;ID;FA;;;BA)(A;ID;FA;;;" + owner + ")";
          break;  // entries gone
        case 3:
          dacl = "D:AI" + inherited + "(A;ID;0x1200a9;;;WD)";
          break;  // moved here
        case 4:
          dacl = "D:AI" + inherited + "(A;;FA;;;" + someone + ")";
          break;  // out of order
        case 5:
          dacl = "D:(A;;FA;;;SY)(A;;FA;;;BA)(A;;FA;;;" + owner +
                 ")(A;;0x1301bf;;;AU)(A;;0x1200a9;;;BU)";
      }
    }
    line(in.path + name, "O:" + owner + "G:SY" + dacl);
    --left_;
  }

  void folder(const Folder& in) {
    char name[24];
    std::snprintf(name, sizeof name, "\\Folder%05llu", static_cast<unsigned long long>(++folders_));
    const int owner = static_cast<int>(random() % 4);
    const std::string who = kOwners[owner];
    line(in.path + name,
         "O:" + who + "G:SYD:AI(A;OICIID;FA;;;SY)(A;OICIID;FA;;;BA)(A;ID;FA;;;" + who +
             ")(A;OICIIOID;FA;;;CO)(A;OICIID;0x1301bf;;;AU)(A;OICIID;0x1200a9;;;BU)");
    --left_;
    const int files = static_cast<int>(random() % 19);
    const int folders = open_.size() >= kDeepest ? 0 : static_cast<int>(random() % 3);
    open_.push_back({in.path + name, files, folders, owner});
  }

  std::uint64_t left_, files_ = 0, folders_ = 0;
  std::uint32_t seed_ = 12345;
  int departed_ = 0;
  bool ended_ = false;
  std::vector<Folder> open_;
  std::string text_;
};

struct Measured {
  double seconds = 0;  // in the analysis alone
  std::size_t beyond = 0;
  std::uint64_t bytes = 0;
  TreeReport report;
};

Measured Run(std::uint64_t objects, platform::Security& security) {
  Listing listing(objects);
  Measured m;
  const std::size_t start = bench::StartHeapPeak();
  {
    TreeAnalysis analysis(security);
    for (const std::string* piece = &listing.next(); !piece->empty(); piece = &listing.next()) {
      m.bytes += piece->size();
      auto started = std::chrono::steady_clock::now();
      analysis.feed(*piece);
      m.seconds +=
          std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    }
    auto started = std::chrono::steady_clock::now();
    m.report = analysis.finish();
    m.seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  }
  m.beyond = bench::HeapPeak() - start;
  return m;
}

}  // namespace

int main() {
  win32::Win32Security security;
  std::vector<std::pair<std::uint64_t, Measured>> runs;
  for (std::uint64_t objects : {1'000'000ull, 2'000'000ull}) {
    Measured m = Run(objects, security);
    std::uint64_t reasons[10] = {};
    for (const Departure& d : m.report.departures)
      for (Departs reason : d.reasons) ++reasons[static_cast<int>(reason)];
    std::printf(
        "tree report of %llu objects (%.0f MB of listing, fed %zu KiB at a time): %llu of %llu "
        "depart in %.3f s, "
        "%.1f MB of heap at the most\n",
        static_cast<unsigned long long>(objects), m.bytes / 1e6, kPiece / 1024,
        static_cast<unsigned long long>(m.report.departing),
        static_cast<unsigned long long>(m.report.objects), m.seconds, m.beyond / 1e6);
    std::printf("  reasons:");
    for (int r = 0; r < 10; ++r)
      if (reasons[r])
        std::printf(" %s %llu;", DepartsWords(static_cast<Departs>(r)).c_str(),
                    static_cast<unsigned long long>(reasons[r]));
    std::printf("\n");
    runs.emplace_back(objects, std::move(m));
  }
  // Both grow with the objects: time for each, memory for the folders kept for children listed out
  // of order.
  const auto& [few, a] = runs[0];
  const auto& [many, b] = runs[1];
  const double millions = (many - few) / 1e6;
  const double secondsEach = (b.seconds - a.seconds) / millions,
               bytesEach = (b.beyond - a.beyond) / millions;
  std::printf(
      "  growth per further million objects: %.3f s, %.1f MB; 10,000,000 would take about %.1f s "
      "and %.0f MB\n",
      secondsEach, bytesEach / 1e6, a.seconds + 9 * secondsEach, (a.beyond + 9 * bytesEach) / 1e6);
}
