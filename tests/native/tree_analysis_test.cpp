// Where a listed tree departs from what each parent gives, and the accounts it names.

#include "runner/tree_analysis.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>

#include "runner/tree_export.h"
#include "tests/native/fake_security.h"

namespace {

using Reasons = std::vector<Departs>;
using enum Departs;

TreeReport Analyzed(std::string_view text, std::size_t piece = 1 << 20) {
  FakeSecurity security;
  TreeAnalysis analysis(security);
  for (std::size_t at = 0; at < text.size(); at += piece) analysis.feed(text.substr(at, piece));
  return analysis.finish();
}

std::map<std::string, Reasons> ReasonsOf(const TreeReport& report) {
  std::map<std::string, Reasons> out;
  for (const Departure& d : report.departures) out[d.path] = d.reasons;
  return out;
}

const Departure* Find(const TreeReport& report, const std::string& path) {
  for (const Departure& d : report.departures)
    if (d.path == path) return &d;
  return nullptr;
}

constexpr const char* kUser = "S-1-5-21-2036804247-3058324640-2116585241-1673";
const std::string kHive = std::string("users\\") + kUser;
const std::string kUserWords = std::string(kUser) + " (unknown account)";

}  // namespace

TEST(TreeAnalysis, RealUserHive) {
  std::ifstream file(VORLANE_TEST_DATA "/ntuser-hive-listing.txt", std::ios::binary);
  const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  ASSERT_FALSE(text.empty()) << "the hive listing is missing: " VORLANE_TEST_DATA;
  FakeSecurity security;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    auto sddl = line.substr(line.find("\",4,\"") + 5);
    EXPECT_TRUE(security.Read(sddl.substr(0, sddl.rfind('"')))) << line;
  }

  TreeReport report = Analyzed(text, 4096), byteByByte = Analyzed(text, 1);
  std::printf("%s\n", TreeSummary(report).c_str());
  EXPECT_EQ(ReasonsOf(byteByByte), ReasonsOf(report));
  EXPECT_EQ(byteByByte.objects, report.objects);
  EXPECT_EQ(byteByByte.departing, report.departing);
  EXPECT_EQ(report.rootPath, kHive);
  EXPECT_EQ(report.rootType, 4);
  EXPECT_EQ(report.objects, 1811u);
  EXPECT_EQ(report.unreadable, 0u);
  EXPECT_EQ(report.departing, report.departures.size());

  // The keys that really depart: protected, entries added, the policy keys
  // with their own restricted entries, and the two whose inherited entries
  // came from before those were set.
  const Reasons restricted{OwnEntries, Misses, BeforeAutoInheritance};
  // clang-format off
  const std::map<std::string, Reasons> departing = {
      {"\\Software\\Microsoft\\EventSystem", {Blocked, OwnEntries}},
      {"\\Software\\Microsoft\\EventSystem\\{26c409cc-ae86-11d1-b616-00805fc79216}", {Blocked, OwnEntries}},
      {"\\Software\\Microsoft\\Internet Explorer\\Approved Extensions", {OwnEntries}},
      {"\\Software\\Microsoft\\Internet Explorer\\ApprovedExtensionsMigration", {OwnEntries}},
      {"\\Software\\Microsoft\\Internet Explorer\\User Preferences", {OwnEntries}},
      {"\\Software\\Microsoft\\Internet Explorer\\LowRegistry\\Audio", {OwnEntries}},
      {"\\Software\\Microsoft\\Internet Explorer\\LowRegistry\\Audio\\PolicyConfig", {OwnEntries}},
      {"\\Software\\Microsoft\\Internet Explorer\\LowRegistry\\Audio\\PolicyConfig\\PropertyStore", {OwnEntries}},
      {"\\Software\\Microsoft\\Internet " "Explorer\\LowRegistry\\Audio\\PolicyConfig\\PropertyStore\\da14721c_0", {OwnEntries}},
      {"\\Software\\Microsoft\\Protected Storage System Provider\\" + std::string(kUser), restricted},
      {"\\Software\\Microsoft\\SystemCertificates\\Root\\ProtectedRoots", restricted},
      {"\\Software\\Microsoft\\Windows\\CurrentVersion\\Group Policy", restricted},
      {"\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies", restricted},
      {"\\Software\\Policies", restricted},
      {"\\Software\\Policies\\Microsoft", {Misses, Stale}},
      {"\\Software\\Policies\\Power", {Misses, Stale}},
      {"\\System\\CurrentControlSet\\Policies", restricted},
  };
  // clang-format on
  std::map<std::string, Reasons> found;
  std::uint64_t grouped = 0;
  for (const Departure& d : report.departures) {
    EXPECT_TRUE(d.path.starts_with(kHive + "\\")) << d.path;
    if (d.reasons == Reasons{BeforeAutoInheritance})
      ++grouped;
    else
      found[d.path.substr(kHive.size())] = d.reasons;
  }
  EXPECT_EQ(found, departing);
  // Its old keys that hold copies of what their parents give, the policy
  // keys' children among them (an inherit-only GA passed on as two).
  EXPECT_EQ(grouped, 919u);
  for (const char* old : {"\\AppEvents\\EventLabels\\FaxError", "\\Software\\WinRAR",
                          "\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer",
                          "\\Software\\Microsoft\\Windows\\CurrentVersion\\Group Policy\\History\\"
                          "{35378EAC-683F-11D2-A89A-00C04FBBCFA2}",
                          "\\Software\\Policies\\Microsoft\\Cryptography"}) {
    const Departure* d = Find(report, kHive + old);
    ASSERT_TRUE(d) << old;
    EXPECT_EQ(d->reasons, Reasons{BeforeAutoInheritance}) << old;
    EXPECT_TRUE(d->ownEntries) << old;
  }
  // Propagated keys are not reported.
  for (const char* propagated :
       {"\\AppEvents", "\\Software\\Policies\\Microsoft\\SystemCertificates",
        "\\Software\\Microsoft\\Internet Explorer\\LowRegistry"})
    EXPECT_FALSE(Find(report, kHive + propagated)) << propagated;

  const Departure* blocked = Find(report, kHive + "\\Software\\Microsoft\\EventSystem");
  ASSERT_TRUE(blocked);
  EXPECT_TRUE(blocked->ownEntries);
  EXPECT_EQ(blocked->entries,
            (std::vector<std::string>{
                "Allow BUILTIN\\Administrators: Full control (This key and subkeys)",
                "Allow CREATOR OWNER: Full control (Subkeys only)",
                "Allow " + kUserWords + ": Full control (This key and subkeys)",
                "Allow NT AUTHORITY\\SYSTEM: Full control (This key and subkeys)",
                "Allow S-1-5-80-1772571935-1555666882-3369284645-1675012128-2386634627 (unknown "
                "account): Read (This key and subkeys)"}));
  const Departure* stale = Find(report, kHive + "\\Software\\Policies\\Microsoft");
  ASSERT_TRUE(stale);
  EXPECT_FALSE(stale->ownEntries);
  std::vector<std::string> staleEntries{
                "Allow NT AUTHORITY\\SYSTEM: Full control (This key and subkeys), inherited",
                "Allow BUILTIN\\Administrators: Full control (This key and subkeys), inherited",
                "Allow S-1-5-12 (unknown account): Read (This key and subkeys), inherited",
                "Allow " + kUserWords + ": Read (This key and subkeys), inherited",
                "Missing: Allow " + kUserWords + ": Read (This key only), inherited",
                "Missing: Allow " + kUserWords + ": Read (Subkeys only), inherited",
                "Missing: Allow NT AUTHORITY\\SYSTEM: Full control (This key only), inherited",
                "Missing: Allow NT AUTHORITY\\SYSTEM: Full control (Subkeys only), inherited",
                "Missing: Allow BUILTIN\\Administrators: Full control (This key only), inherited",
                "Missing: Allow BUILTIN\\Administrators: Full control (Subkeys only), inherited"};
  for (int held = 0; held < 4; ++held) staleEntries.push_back("Not given by its parent: " + staleEntries[held]);
  EXPECT_EQ(stale->entries, staleEntries);
  const Departure* added =
      Find(report, kHive + "\\Software\\Microsoft\\Internet Explorer\\Approved Extensions");
  ASSERT_TRUE(added);
  EXPECT_EQ(added->entries.front(), "Deny " + kUserWords + ": set values (This key only)");

  // Every key but one names the user; the fake knows none of these.
  ASSERT_FALSE(report.unknownAccounts.empty());
  EXPECT_EQ(report.unknownAccounts.front(),
            std::make_pair(std::string(kUser), std::uint64_t{1811}));
}

TEST(TreeAnalysis, EachReason) {
  const std::string parent = "O:BAG:SYD:PAI(A;CI;KA;;;BA)(A;CI;KA;;;SY)(A;CI;KR;;;BU)";
  const std::string inherits = "(A;CIID;KA;;;BA)(A;CIID;KA;;;SY)(A;CIID;KR;;;BU)";
  struct Case { const char* name; std::string parent, child; Reasons reasons; };
  // clang-format off
  const Case cases[] = {
      {"what its parent gives", parent, "O:BAG:SYD:AI" + inherits, {}},
      {"protected", parent, "O:BAG:SYD:PAI(A;CI;KA;;;BA)", {Blocked, OwnEntries}},
      {"protected and empty", parent, "O:BAG:SYD:PAI", {Blocked, EmptyDacl}},
      {"an entry added", parent, "O:BAG:SYD:AI(A;CI;KR;;;WD)" + inherits, {OwnEntries}},
      {"an inherited entry gone", parent, "O:BAG:SYD:AI(A;CIID;KA;;;BA)(A;CIID;KA;;;SY)", {Misses}},
      {"an inherited entry its parent does not give", parent, "O:BAG:SYD:AI" + inherits + "(A;CIID;KR;;;WD)", {Stale}},
      {"inherited with other flags", parent, "O:BAG:SYD:AI(A;CIID;KA;;;BA)(A;CIID;KA;;;SY)(A;ID;KR;;;BU)", {Misses, Stale}},
      {"an explicit entry after inherited ones", parent, "O:BAG:SYD:AI" + inherits + "(A;;KR;;;WD)", {OwnEntries, OutOfOrder}},
      {"a denial after an allow", parent, "O:BAG:SYD:AI(A;;KR;;;WD)(D;;KW;;;WD)" + inherits, {OwnEntries, OutOfOrder}},
      {"no DACL", parent, "O:BAG:SY", {Misses, NoDacl}},
      {"a null DACL", parent, "O:BAG:SYD:NO_ACCESS_CONTROL", {Misses, NoDacl}},
      {"an empty DACL", parent, "O:BAG:SYD:AI", {Misses, EmptyDacl}},
      {"old copies of what its parent gives", parent, "O:BAG:SYD:(A;CI;KR;;;BU)(A;CI;KA;;;SY)(A;CI;KA;;;BA)", {BeforeAutoInheritance}},
      {"old copies of generic rights, passed on as two", "O:BAG:SYD:PAI(A;CIIO;GA;;;BA)(A;;KA;;;BA)", "O:BAG:SYD:(A;;KA;;;BA)(A;CIIO;GA;;;BA)", {BeforeAutoInheritance}},
      {"old entries of its own", parent, "O:BAG:SYD:(A;CI;KA;;;BA)(A;CI;KA;;;WD)", {OwnEntries, Misses, BeforeAutoInheritance}},
      {"security the system cannot read", parent, "O:BAG:SYD:(A;;KA;;;NOSUCH)", {Unreadable}},
      {"under a parent the system cannot read", "O:BAG:SYD:(A;;KA;;;NOSUCH)", "O:BAG:SYD:AI" + inherits, {ParentUnreadable}},
      {"an old key under a parent the system cannot read", "O:BAG:SYD:(A;;KA;;;NOSUCH)", "O:BAG:SYD:(A;CI;KA;;;WD)", {BeforeAutoInheritance, ParentUnreadable}},
  };
  // clang-format on
  for (const Case& c : cases) {
    const std::string text =
        Listing({{"machine\\SOFTWARE\\V", c.parent}, {"machine\\SOFTWARE\\V\\K", c.child}}, 4);
    TreeReport report = Analyzed(text);
    EXPECT_EQ(report.objects, 1u) << c.name;
    EXPECT_EQ(report.departing, c.reasons.empty() ? 0u : 1u) << c.name;
    EXPECT_EQ(report.unreadable, c.reasons == Reasons{Unreadable} ? 1u : 0u) << c.name;
    std::map<std::string, Reasons> expected;
    if (!c.reasons.empty()) expected["machine\\SOFTWARE\\V\\K"] = c.reasons;
    EXPECT_EQ(ReasonsOf(report), expected) << c.name;
    // The last line without its line break, in pieces of three.
    EXPECT_EQ(ReasonsOf(Analyzed(text.substr(0, text.find("SetACL finished") - 2), 3)), expected) << c.name;
    EXPECT_EQ(TreeSummary(report).ends_with("machine\\SOFTWARE\\V could not be read, so what it gives is not known"),
              report.rootUnreadable) << c.name;
  }
  std::set<std::string> words;
  for (int reason = 0; reason <= static_cast<int>(ParentUnreadable); ++reason)
    words.insert(DepartsWords(static_cast<Departs>(reason)));
  EXPECT_EQ(words.size(), static_cast<std::size_t>(ParentUnreadable) + 1);  // each its own
  EXPECT_EQ(DepartsWords(BeforeAutoInheritance), "Set before automatic inheritance");
}

TEST(TreeAnalysis, EntriesSayWhatItHoldsMissesAndHoldsBeyond) {
  const std::string parent = "O:BAG:SYD:PAI(A;CI;KA;;;BA)(A;CI;KR;;;BU)";
  TreeReport report = Analyzed(
      Listing({{"machine\\S", parent},
               {"machine\\S\\Missing", "O:BAG:SYD:AI(A;CIID;KA;;;BA)"},
               {"machine\\S\\Beyond",
                "O:BAG:SYD:AI(A;;KR;;;WD)(A;CIID;KA;;;BA)(A;CIID;KR;;;BU)(A;CIID;KR;;;AU)"}},
              4));
  ASSERT_EQ(report.departures.size(), 2u);
  EXPECT_EQ(report.departures[0].entries,
            (std::vector<std::string>{
                "Allow BUILTIN\\Administrators: Full control (This key and subkeys), inherited",
                "Missing: Allow BUILTIN\\Users: Read (This key and subkeys), inherited"}));
  EXPECT_FALSE(report.departures[0].ownEntries);
  EXPECT_EQ(report.departures[1].reasons, (Reasons{OwnEntries, Stale}));
  EXPECT_EQ(report.departures[1].entries,
            (std::vector<std::string>{
                "Allow Everyone: Read (This key only)",
                "Allow BUILTIN\\Administrators: Full control (This key and subkeys), inherited",
                "Allow BUILTIN\\Users: Read (This key and subkeys), inherited",
                "Allow NT AUTHORITY\\Authenticated Users: Read (This key and subkeys), inherited",
                "Not given by its parent: Allow NT AUTHORITY\\Authenticated Users: Read (This key "
                "and subkeys), inherited"}));
  EXPECT_TRUE(report.departures[1].ownEntries);
}

TEST(TreeAnalysis, FilesAndFoldersAreToldApart) {
  const std::string inherits = "(A;OICIID;FA;;;BA)(A;CIID;FR;;;BU)";
  TreeReport report = Analyzed(
      Listing({{"C:\\Data", "O:BAD:PAI(A;OICI;FA;;;BA)(A;CI;FR;;;BU)"},
               // A folder by what stands below it, though its entries would suit a file.
               {"C:\\Data\\Odd", "O:BAD:AI(A;ID;FA;;;BA)"},
               {"C:\\Data\\Odd\\file.txt", "O:BAD:PAI(A;;FA;;;BA)"},
               // A leaf with the same: a file.
               {"C:\\Data\\file.txt", "O:BAD:AI(A;ID;FA;;;BA)"},
               // A leaf told a folder by the flags of its inherited entries: judged as one.
               {"C:\\Data\\Empty", "O:BAD:AI(A;OICIID;FR;;;WD)"},
               // Leaves that cannot be told: whichever departs less.
               {"C:\\Data\\Old folder", "O:BAD:(A;OICI;FA;;;BA)(A;CI;FR;;;BU)"},
               {"C:\\Data\\Old file", "O:BAD:(A;;FA;;;BA)"},
               {"C:\\Data\\Sub", "O:BAD:AI" + inherits},
               {"C:\\Data\\Sub\\Deeper", "O:BAD:AI" + inherits},
               {"C:\\Data\\Sub\\Deeper\\a.txt", "O:BAD:AI(A;ID;FA;;;BA)"}},
              1));
  EXPECT_EQ(report.objects, 9u);
  EXPECT_EQ(ReasonsOf(report),
            (std::map<std::string, Reasons>{{"C:\\Data\\Odd", {Misses, Stale}},
                                            {"C:\\Data\\Odd\\file.txt", {Blocked, OwnEntries}},
                                            {"C:\\Data\\Empty", {Misses, Stale}},
                                            {"C:\\Data\\Old folder", {BeforeAutoInheritance}},
                                            {"C:\\Data\\Old file", {BeforeAutoInheritance}}}));
  const Departure* empty = Find(report, "C:\\Data\\Empty");
  ASSERT_TRUE(empty);
  EXPECT_EQ(empty->entries,
            (std::vector<std::string>{
                "Allow Everyone: Read (This folder, subfolders and files), inherited",
                "Missing: Allow BUILTIN\\Administrators: Full control (This folder, subfolders and "
                "files), inherited",
                "Missing: Allow BUILTIN\\Users: Read (This folder and subfolders), inherited",
                "Not given by its parent: Allow Everyone: Read (This folder, subfolders and "
                "files), inherited"}));
}

TEST(TreeAnalysis, ParentsNotListedOrListedOutOfOrder) {
  const std::string key = "O:BAG:SYD:AI(A;CIID;KA;;;BA)";
  TreeReport report =
      Analyzed(Listing({{"machine\\S", "O:BAG:SYD:PAI(A;CI;KA;;;BA)"},
                        {"machine\\S\\A\\B", key},
                        {"machine\\S\\A\\B\\C", key},
                        {"machine\\S\\Old", "O:BAG:SYD:(A;CI;KA;;;WD)"},
                        {"machine\\S\\Old\\A\\B", "O:BAG:SYD:(A;CI;KA;;;WD)"},
                        {"machine\\S\\Gives", "O:BAG:SYD:AI(A;CI;KR;;;WD)(A;CIID;KA;;;BA)"},
                        {"machine\\S\\Other", key},
                        // Its parent listed before another's subtree.
                        {"machine\\S\\Gives\\Late", "O:BAG:SYD:AI(A;CIID;KR;;;WD)(A;CIID;KA;;;BA)"},
                        {"machine\\SYSTEM\\Elsewhere", key}},
                       4));
  EXPECT_EQ(report.objects, 8u);
  EXPECT_EQ(ReasonsOf(report),
            (std::map<std::string, Reasons>{
                {"machine\\S\\A\\B", {ParentNotListed}},
                {"machine\\S\\Old", {OwnEntries, Misses, BeforeAutoInheritance}},
                {"machine\\S\\Old\\A\\B", {BeforeAutoInheritance, ParentNotListed}},
                {"machine\\S\\Gives", {OwnEntries}},
                {"machine\\SYSTEM\\Elsewhere", {ParentNotListed}}}));
  // A drive's root holds its folders.
  TreeReport drive = Analyzed(Listing({{"C:\\", "O:BAD:PAI(A;OICI;FA;;;BA)"},
                                       {"c:\\Windows", "O:BAD:AI(A;OICIID;FA;;;BA)"},
                                       {"C:\\WINDOWS\\x.dll", "O:BAD:AI(A;ID;FA;;;BA)"}}, 1));
  EXPECT_EQ(drive.objects, 2u);
  EXPECT_TRUE(drive.departures.empty());
}

TEST(TreeAnalysis, DamagedLinesStandInListingOrder) {
  std::string text = Listing(
      {{"C:\\Data", "O:BAD:PAI(A;OICI;FA;;;BA)"}, {"C:\\Data\\Sub", "O:BAD:AI(A;;FA;;;BU)(A;ID;FA;;;BA)"}}, 1);
  text += "\"C:\\Data\\broken,1,\"D:\r\n";
  text += Listing({{"C:\\Data\\Sub\\f.txt", "O:BAD:PAI"}}, 1);
  FakeSecurity security;
  TreeAnalysis analysis(security);
  analysis.feed(text);
  EXPECT_EQ(analysis.objectsSoFar(), 4u);
  TreeReport report = analysis.finish();
  ASSERT_EQ(report.departures.size(), 3u);
  // Sub is a folder, with a file below it: as a file, its inherited entry would be no departure.
  EXPECT_EQ(report.departures[0].path, "C:\\Data\\Sub");
  EXPECT_EQ(report.departures[0].reasons, (Reasons{OwnEntries, Misses, Stale}));
  EXPECT_EQ(report.departures[1].path, "\"C:\\Data\\broken,1,\"D:");
  EXPECT_EQ(report.departures[1].type, 0);
  EXPECT_EQ(report.departures[1].reasons, Reasons{Unreadable});
  EXPECT_EQ(report.departures[2].path, "C:\\Data\\Sub\\f.txt");
  EXPECT_EQ(report.objects, 3u);
  EXPECT_EQ(report.departing, 3u);
  EXPECT_EQ(report.unreadable, 1u);
  TreeReport nothing = Analyzed("SetACL could not open the object\r\n");
  EXPECT_TRUE(nothing.rootPath.empty());
  EXPECT_EQ(nothing.objects, 0u);
  EXPECT_TRUE(nothing.departures.empty());
}

TEST(TreeAnalysis, UnknownAccountsByTheObjectsNamingThem) {
  const std::string gone = "S-1-5-21-9-9-9-1001", other = "S-1-5-21-9-9-9-1002";
  TreeReport report = Analyzed(Listing(
      {{"machine\\S", "O:BAG:SYD:PAI(A;CI;KA;;;BA)(A;CI;KR;;;" + gone + ")"},
       {"machine\\S\\A", "O:BAG:SYD:AI(A;CIID;KA;;;BA)(A;CIID;KR;;;" + gone + ")"},
       {"machine\\S\\B", "O:BAG:SYD:AI(A;;KW;;;" + other + ")(A;;KA;;;" + gone +
                             ")(A;CIID;KA;;;BA)(A;CIID;KR;;;" + gone + ")"},
       {"machine\\S\\C", "O:" + other + "G:SYD:AI(A;CIID;KA;;;BA)(A;CIID;KR;;;" + gone + ")"}},
      4));
  EXPECT_EQ(report.unknownAccounts,
            (std::vector<std::pair<std::string, std::uint64_t>>{{gone, 4}, {other, 1}}));
}

TEST(TreeAnalysis, WhereAnAccountAppears) {
  const std::string text =
      Listing({{"machine\\S", "O:BAG:SYD:PAI(A;CI;KA;;;BA)(A;CI;KR;;;BU)"},
               {"machine\\S\\A", "O:BAG:SYD:AI(A;CIID;KA;;;BA)(A;CIID;KR;;;BU)"},
               {"machine\\S\\B", "O:BUG:BUD:PAI(A;CI;KA;;;BA)"},
               {"machine\\S\\C", "O:BAG:SYD:(A;;KA;;;S-1-5-21-9-9-9-1001)"},
               {"machine\\S\\D", "O:BAG:SYD:(A;;KA;;;NOSUCH)"}},
              4);
  FakeSecurity security;
  using Paths = std::vector<std::string>;
  const Paths users{"machine\\S", "machine\\S\\A"};
  const std::pair<const char*, Paths> cases[] = {
      {"S-1-5-32-545", users}, {"BUILTIN\\Users", users}, {"builtin\\users", users},
      {"Users", users},  // as people type it
      {"LTIN\\Users", {}},  {"S-1-5-32-544", {"machine\\S", "machine\\S\\A", "machine\\S\\B"}},
      {"S-1-5-21-9-9-9-1001", {"machine\\S\\C"}}, {"Nobody", {}}};
  for (const auto& [account, paths] : cases)
    EXPECT_EQ(WhereAccountAppears(text, account, security), paths) << account;
}
