// The journal of runs and the folder that keeps it: records read back,
// damage that costs only itself, ids that stay unique whatever the clock
// does, names that cannot lead out of the folder, and pruning that keeps
// what a run under way needs.

#include <gtest/gtest.h>

#include "runner/folder_guard.h"
#include "runner/run_history.h"
#include "tests/native/fake_platform.h"
#include "tests/native/fake_security.h"

namespace {

const std::string kFolder = "D:\\Tools\\Backups\\Snapshots";
const std::string kJournal = kFolder + "\\journal.txt";
const Scope kScope{"HKLM\\SOFTWARE\\Acme", ObjectType::Registry, Recursion::Subkeys, {"tmp"}};

JournalRun Finished(const std::string& id) {
  JournalRun run{id, "2026-12-07 17:16:39", "", kScope, "C:\\Tools\\SetACL.exe -on x"};
  run.snapshot = BeforeFile(id);
  run.snapshotHasSacl = true;
  run.finished = JournalRun::Finished{{RunOutcome::Kind::Exited, 2}, 1234};
  run.changed = JournalRun::Changed{AfterFile(id), 312, 88000, 2};
  return run;
}

std::string Records(const JournalRun& run) {
  return StartedRecord(run) + SnapshotRecord(run) + FinishedRecord(run) + ChangedRecord(run);
}

// A program's history over shared files: two of them are two Vorlanes.
struct History {
  History(FakeFiles& files, FakeWorkers& workers)
      : history(files, workers, security, [](std::string_view ansi) { return std::string(ansi); },
                "D:\\Tools") {}
  std::string start(const std::string& id, bool snapshot = true) {
    std::string given;
    history.Start(JournalRun{id, id, "", kScope, "x"}, snapshot,
                  [&](const RunHistory::Started& started) {
                    EXPECT_EQ(started.journalError, 0);
                    given = started.id;
                  });
    return given;
  }
  FakeSecurity security;
  RunHistory history;
};

class Journals : public ::testing::Test {
 protected:
  Journals() { files.folders = {"D:", "D:\\Tools", "D:\\Tools\\Backups", kFolder}; }
  Journal journal() { return ReadJournal(files.texts[kJournal]); }
  FakeFiles files;
  FakeWorkers workers;
};

}  // namespace

TEST(Journal, RecordsReadBackAsTypedRunsAndADamagedOneCostsOnlyItself) {
  JournalRun run = Finished("2026-12-07 17.16.39");
  run.commandLine = "C:\\Tools\\SetACL.exe -on \"a\tb\\\\\" -ot reg\r\n";
  JournalRun undo{"2026-12-07 17.20.00", "2026-12-07 17:20:00", run.id, run.scope, "restore"};
  undo.snapshot = BeforeFile(undo.id);
  // Damage only the checksum finds: the fields still read, one digit changed.
  std::string damaged = ChangedRecord(run);
  damaged.replace(damaged.find("\t312\t"), 5, "\t313\t");
  std::string text = StartedRecord(run) + SnapshotRecord(run) + FinishedRecord(run) + damaged +
                     StartedRecord(undo) + SnapshotRecord(undo) + "finished\t17.20\tnot a record\r\n";
  Journal journal = ReadJournal(text);
  EXPECT_EQ(journal.damaged, 2u);
  ASSERT_EQ(journal.runs.size(), 2u);
  const JournalRun& read = journal.runs[0];
  EXPECT_EQ(read.commandLine, run.commandLine);
  EXPECT_EQ(read.scope, kScope);
  EXPECT_EQ(read.snapshot, run.snapshot);
  EXPECT_TRUE(read.snapshotHasSacl);
  ASSERT_TRUE(read.finished);
  EXPECT_EQ(read.finished->outcome, (RunOutcome{RunOutcome::Kind::Exited, 2}));
  EXPECT_EQ(OutcomeWords(read), "FAILED: exit code 2");
  EXPECT_EQ(read.finished->milliseconds, 1234u);
  EXPECT_FALSE(read.changed);  // its record was the damaged one
  EXPECT_EQ(journal.runs[1].undoOf, run.id);
  EXPECT_EQ(OutcomeWords(journal.runs[1]), "Not finished");

  // A journal pruned of the first run keeps the other's records and the damaged ones.
  Journal pruned = ReadJournal(WithoutRuns(text, {run.id}));
  ASSERT_EQ(pruned.runs.size(), 1u);
  EXPECT_EQ(pruned.runs[0].id, undo.id);
  EXPECT_EQ(pruned.damaged, 2u);
}

// Whatever a journal says, only a plain name in the folder is ever deleted or restored from.
TEST(Journal, AFileNameThatLeadsOutOfTheFolderIsRefused) {
  // Nor another file of the folder: the journal, or another run's snapshot.
  for (const char* name : {"..\\x", "..", "a\\b", "a/b", "C:x", "\\\\server\\share\\x", "a\"b",
                           "", "a\tb", "journal.txt", "2 before.txt", "1 after.txt"}) {
    JournalRun run = Finished("1");
    run.snapshot = name;
    if (std::string(name) != AfterFile("1")) run.changed->after = name;
    Journal journal = ReadJournal(Records(run));
    ASSERT_EQ(journal.runs.size(), 1u) << name;
    EXPECT_EQ(journal.runs[0].snapshot, "") << name;
    EXPECT_EQ(journal.refused.front(), name);
    EXPECT_EQ(journal.runs[0].changed.has_value(), std::string(name) == AfterFile("1")) << name;
  }
  EXPECT_TRUE(PlainFileName("2026-12-07 17.16.39 (2) before.txt"));
}

TEST(Journal, TheOldestRunsGoFirstAndTheNewestStays) {
  Journal journal;
  for (const char* id : {"1", "2", "3", "4"}) journal.runs.push_back({id});
  auto bytes = [](const JournalRun&) { return std::uint64_t{100}; };
  EXPECT_EQ(RunsBeyond(journal, 2, 1000, bytes), (std::set<std::string>{"1", "2"}));
  EXPECT_EQ(RunsBeyond(journal, 10, 250, bytes), (std::set<std::string>{"1", "2"}));
  EXPECT_EQ(RunsBeyond(journal, 0, 0, bytes), (std::set<std::string>{"1", "2", "3"}));
  EXPECT_TRUE(RunsBeyond(journal, 4, 400, bytes).empty());
}

// The clock stepped back (the repeated hour), an id an earlier start used,
// and a second Vorlane at once: every run gets an id of its own, and its
// snapshot file is never one that was there.
TEST_F(Journals, IdsStayUniqueWhateverTheClockDoes) {
  files.texts[kJournal] = Records(Finished("2026-10-25 02.30.00"));
  History one(files, workers), other(files, workers);
  files.texts[kFolder + "\\2026-10-25 02.30.00 (2) before.txt"] = "left by a crash";
  EXPECT_EQ(one.start("2026-10-25 02.30.00"), "2026-10-25 02.30.00 (3)");
  EXPECT_EQ(other.start("2026-10-25 02.30.00"), "2026-10-25 02.30.00 (4)");
  EXPECT_EQ(one.start("2026-10-25 02.30.00", false), "2026-10-25 02.30.00 (5)");
  EXPECT_EQ(files.texts[kFolder + "\\2026-10-25 02.30.00 (2) before.txt"], "left by a crash");
  EXPECT_EQ(files.texts[kFolder + "\\2026-10-25 02.30.00 (3) before.txt"], "");
  EXPECT_FALSE(files.texts.contains(kFolder + "\\2026-10-25 02.30.00 (5) before.txt"));
  Journal journal = this->journal();
  EXPECT_EQ(journal.damaged, 0u);
  ASSERT_EQ(journal.runs.size(), 4u);
  EXPECT_EQ(journal.runs[3].id, "2026-10-25 02.30.00 (5)");
}

// A record cut short by a crash costs only itself: the next one starts on a
// line of its own.
TEST_F(Journals, ARecordCutShortCostsOnlyItself) {
  JournalRun crashed = Finished("1");
  std::string record = FinishedRecord(crashed);
  files.texts[kJournal] = StartedRecord(crashed) + record.substr(0, record.size() / 2);
  History history(files, workers);
  const std::string id = history.start("2");
  JournalRun next = Finished(id);
  history.history.Write(SnapshotRecord(next));
  history.history.Write(FinishedRecord(next));
  Journal journal = this->journal();
  EXPECT_EQ(journal.damaged, 1u);
  ASSERT_EQ(journal.runs.size(), 2u);
  EXPECT_FALSE(journal.runs[0].finished);
  EXPECT_EQ(journal.runs[1].snapshot, BeforeFile(id));
  EXPECT_TRUE(journal.runs[1].finished);
}

// A journal that is there but cannot be read gives no id: it may hold any.
TEST_F(Journals, AJournalThatCannotBeReadGivesNoRunAnId) {
  files.texts[kJournal] = Records(Finished("7"));
  files.unreadable.insert(kJournal);
  History history(files, workers);
  long error = 0;
  history.history.Start(JournalRun{"7", "7", "", kScope, "x"}, false,
                        [&](const RunHistory::Started& started) { error = started.journalError; });
  EXPECT_NE(error, 0);
  EXPECT_EQ(ReadJournal(files.texts[kJournal]).runs.size(), 1u);
}

// A journal another Vorlane holds too long is said so, and nothing is written.
TEST_F(Journals, AJournalThatCannotBeWrittenIsSaidSo) {
  files.heldElsewhere.insert(kFolder + "\\journal.lock");
  History history(files, workers);
  std::string failed;
  history.history.failed = [&](std::string why) { failed = std::move(why); };
  long error = 0;
  history.history.Start(JournalRun{"1", "1", "", kScope, "x"}, true,
                        [&](const RunHistory::Started& started) { error = started.journalError; });
  EXPECT_NE(error, 0);
  history.history.Write(FinishedRecord(Finished("1")));
  EXPECT_TRUE(failed.starts_with("The journal of runs could not be written: ")) << failed;
  EXPECT_FALSE(files.texts.contains(kJournal));
}

// Pruning, set off by an older run's comparison, leaves the snapshot an undo
// is about to restore from (pinned by this Vorlane or another), and a file
// named outside the folder.
TEST_F(Journals, PruningKeepsWhatARunUnderWayNeedsAndWhatItMayNotTouch) {
  std::string text;
  for (const char* id : {"1", "2", "3"}) {
    JournalRun run = Finished(id);
    text += Records(run);
    files.texts[kFolder + "\\" + run.snapshot] = "listing";
    files.texts[kFolder + "\\" + run.changed->after] = "listing";
  }
  JournalRun outside = Finished("0");
  outside.snapshot = "..\\secret.txt";
  files.texts[kFolder + "\\..\\secret.txt"] = "not ours";
  files.texts[kJournal] = Records(outside) + text;
  History history(files, workers);
  {
    auto undoing = files.Pin(kFolder + "\\" + BeforeFile("1"));
    history.history.Prune({true, 1, 1000});
    Journal kept = journal();
    ASSERT_EQ(kept.runs.size(), 2u);
    EXPECT_EQ(kept.runs[0].id, "1");
    EXPECT_TRUE(files.texts.contains(kFolder + "\\1 before.txt"));
    EXPECT_FALSE(files.texts.contains(kFolder + "\\2 before.txt"));
  }
  history.history.Prune({true, 1, 1000});
  EXPECT_EQ(journal().runs.size(), 1u);
  EXPECT_FALSE(files.texts.contains(kFolder + "\\1 before.txt"));
  EXPECT_EQ(files.texts[kFolder + "\\..\\secret.txt"], "not ours");
}

// Who besides Administrators and SYSTEM can change what the folder holds.
TEST(FolderGuard, NamesEveryoneElseWhoCanChangeIt) {
  FakeSecurity security;
  const std::pair<const char*, std::optional<std::vector<std::string>>> cases[] = {
      {kGuardedFolder, std::vector<std::string>{}},
      // Reading, denying, inheriting only and CREATOR OWNER change nothing here.
      {"O:BAD:P(A;;FR;;;BU)(D;;FA;;;WD)(A;OICIIO;FA;;;BU)(A;;FA;;;CO)", std::vector<std::string>{}},
      {"O:BUD:P(A;;FA;;;BA)", std::vector<std::string>{"BUILTIN\\Users"}},
      {"O:BAD:P(A;;0x2;;;WD)(A;;FA;;;S-1-5-21-9)",
       std::vector<std::string>{"Everyone", "S-1-5-21-9 (unknown account)"}},
      {"O:S-1-5-21-9D:P(A;;WD;;;S-1-3-4)", std::vector<std::string>{"S-1-5-21-9 (unknown account)"}},
      {"O:BAD:NO_ACCESS_CONTROL", std::vector<std::string>{"Everyone (it has no DACL)"}},
      {"O:BAD:P(XA;;FR;;;BU;(@User.Dept==\"x\"))",
       std::vector<std::string>{"whoever the entry (XA;;0x120089;;;S-1-5-32-545;(@User.Dept==\"x\")) allows"}},
      {"", std::nullopt},
      {"not SDDL", std::nullopt},
  };
  for (const auto& [sddl, others] : cases) EXPECT_EQ(OthersWhoCanChange(sddl, security), others) << sddl;
}
