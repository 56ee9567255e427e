// What a run changed, read from two listings, and the journal of runs.

#include <gtest/gtest.h>

#include "runner/journal.h"
#include "runner/listing_changes.h"
#include "tests/native/fake_security.h"

namespace {

// One object a line, as the tool lists them, among its messages.
std::string Listing(std::initializer_list<std::pair<const char*, const char*>> objects) {
  std::string text = "SetACL finished a listing\r\n";
  for (auto [path, sddl] : objects) text += std::string("\"") + path + "\",4,\"" + sddl + "\"\r\n";
  return text;
}

}  // namespace

TEST(WhatChanged, ObjectsAreMatchedByPathAndComparedAsTheSystemReadsThem) {
  FakeSecurity security;
  std::string before = Listing({
      {"machine\\SOFTWARE\\Same", "O:BAG:SYD:(A;OICI;KR;;;WD)(A;;KA;;;BA)"},
      {"machine\\SOFTWARE\\Granted", "O:BAG:SYD:(A;;KA;;;BA)"},
      {"machine\\SOFTWARE\\Owned", "O:BAG:SYD:(A;;KA;;;BA)(A;CIID;KR;;;BU)"},
      {"machine\\SOFTWARE\\Gone", "O:BAD:(A;;KA;;;BA)"},
  });
  // The same security in another order and spelling, an entry added, the
  // owner, group and inheritance changed with an inherited entry gone, and
  // objects listed only once.
  std::string after = Listing({
      {"machine\\SOFTWARE\\New", "O:BAD:(A;;KA;;;BA)"},
      {"machine\\SOFTWARE\\Owned", "O:SYG:S-1-5-21-9D:P(A;;KA;;;BA)(D;;KW;;;S-1-5-21-9)"},
      {"machine\\SOFTWARE\\Granted", "O:BAG:SYD:(A;;KA;;;BA)(A;CI;KR;;;WD)"},
      {"machine\\SOFTWARE\\Same", "O:S-1-5-32-544G:SYD:(A;;0xf003f;;;BA)(A;CIOI;KR;;;S-1-1-0)"},
  });
  ListingChanges changes = CompareListings(before, after, security);
  EXPECT_EQ(ChangesSummary(changes), "2 of 5 objects changed; 2 could not be read");
  EXPECT_EQ(ChangesText(changes),
            "machine\\SOFTWARE\\Granted\r\n"
            "    Added: Allow Everyone: Read (This key and subkeys)\r\n"
            "machine\\SOFTWARE\\Owned\r\n"
            "    Owner: BUILTIN\\Administrators → NT AUTHORITY\\SYSTEM\r\n"
            "    Primary group: NT AUTHORITY\\SYSTEM → S-1-5-21-9 (unknown account)\r\n"
            "    Inheritance: It inherits from its parent → Protected: it inherits nothing from its parent\r\n"
            "    Removed: Allow BUILTIN\\Users: Read (This key and subkeys), inherited\r\n"
            "    Added: Deny S-1-5-21-9 (unknown account): Write (This key only)\r\n"
            "machine\\SOFTWARE\\Gone\r\n"
            "    Not listed after the run: it could not be read, or it is gone.\r\n"
            "machine\\SOFTWARE\\New\r\n"
            "    Not listed before the run: it could not be read, or it is new.\r\n");

  ListingChanges none = CompareListings(Listing({{"C:\\a", "D:(A;;FA;;;BA)"}}),
                                        Listing({{"C:\\a", "D:(A;;FA;;;BA)"}}), security);
  EXPECT_EQ(ChangesSummary(none), "0 of 1 object changed");
  EXPECT_TRUE(none.changes.empty());
}

TEST(Journal, RecordsReadBackIntoRunsAndADamagedOneIsSkipped) {
  JournalRun run{"2026-12-07 17.16.39", "2026-12-07 17:16:39", "", "-on \"HKLM\\x\" -ot reg",
                 "C:\\Tools\\SetACL.exe -on \"a\tb\\\\\" -ot reg\r\n"};
  run.snapshot = "2026-12-07 17.16.39 before.txt";
  run.snapshotHasSacl = true;
  run.finished = JournalRun::Finished{"exit 0", 1234};
  run.changed = JournalRun::Changed{"2026-12-07 17.16.39 after.txt", 312, 88000, 2};
  JournalRun undo{"2026-12-07 17.20.00", "2026-12-07 17:20:00", run.id, run.scope, "restore"};

  std::string damaged = SnapshotRecord(undo);
  damaged[damaged.size() / 2] ^= 1;
  std::string text = StartedRecord(run) + SnapshotRecord(run) + StartedRecord(undo) + damaged +
                     FinishedRecord(run) + ChangedRecord(run) + "finished\t17.20\tnot a record\r\n";
  Journal journal = ReadJournal(text);
  EXPECT_EQ(journal.damaged, 2u);
  ASSERT_EQ(journal.runs.size(), 2u);
  const JournalRun& read = journal.runs[0];
  EXPECT_EQ(read.commandLine, run.commandLine);
  EXPECT_EQ(read.snapshot, run.snapshot);
  EXPECT_TRUE(read.snapshotHasSacl);
  ASSERT_TRUE(read.finished && read.changed);
  EXPECT_EQ(read.finished->milliseconds, 1234u);
  EXPECT_EQ(read.changed->changed, 312u);
  EXPECT_EQ(read.changed->after, run.changed->after);
  // The undo never finished: interrupted, its damaged snapshot record lost.
  EXPECT_EQ(journal.runs[1].undoOf, run.id);
  EXPECT_FALSE(journal.runs[1].finished);
  EXPECT_EQ(journal.runs[1].snapshot, "");

  // A journal pruned of the first run keeps the other's records and the damaged ones.
  Journal pruned = ReadJournal(WithoutRuns(text, {run.id}));
  ASSERT_EQ(pruned.runs.size(), 1u);
  EXPECT_EQ(pruned.runs[0].id, undo.id);
  EXPECT_EQ(pruned.damaged, 2u);
}

TEST(Journal, TheOldestRunsGoFirstAndTheNewestAlwaysStays) {
  Journal journal;
  for (const char* id : {"1", "2", "3", "4"}) journal.runs.push_back({id});
  auto bytes = [](const JournalRun&) { return std::uint64_t{100}; };
  EXPECT_EQ(RunsBeyond(journal, 2, 1000, bytes), (std::set<std::string>{"1", "2"}));
  EXPECT_EQ(RunsBeyond(journal, 10, 250, bytes), (std::set<std::string>{"1", "2"}));
  EXPECT_EQ(RunsBeyond(journal, 0, 0, bytes), (std::set<std::string>{"1", "2", "3"}));
  EXPECT_TRUE(RunsBeyond(journal, 4, 400, bytes).empty());
}
