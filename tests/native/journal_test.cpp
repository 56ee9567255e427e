// The journal of runs and the folder that keeps it.

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
  // The id given; the journal's error in `error`, else none expected.
  std::string start(const std::string& id, bool snapshot = true, long* error = nullptr) {
    std::string given;
    history.Start(JournalRun{id, id, "", kScope, "x"}, snapshot, [&](const RunHistory::Started& started) {
      if (error) *error = started.journalError;
      else EXPECT_EQ(started.journalError, 0);
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

// Nor another file of the folder: the journal, or another run's snapshot.
TEST(Journal, AFileNameThatLeadsOutOfTheFolderIsRefused) {
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

// The repeated hour, an id an earlier start used, a second Vorlane; no snapshot file reused.
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

// The next record starts on a line of its own.
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

// It may hold any id.
TEST_F(Journals, AJournalThatCannotBeReadGivesNoRunAnId) {
  files.texts[kJournal] = Records(Finished("7"));
  files.unreadable.insert(kJournal);
  History history(files, workers);
  long error = 0;
  history.start("7", false, &error);
  EXPECT_NE(error, 0);
  EXPECT_EQ(ReadJournal(files.texts[kJournal]).runs.size(), 1u);
}

// Held too long by another Vorlane.
TEST_F(Journals, AJournalThatCannotBeWrittenIsSaidSo) {
  files.heldElsewhere.insert(kFolder + "\\journal.lock");
  History history(files, workers);
  std::string failed;
  history.history.failed = [&](std::string why) { failed = std::move(why); };
  long error = 0;
  history.start("1", true, &error);
  EXPECT_NE(error, 0);
  history.history.Write(FinishedRecord(Finished("1")));
  EXPECT_TRUE(failed.starts_with("The journal of runs could not be written: ")) << failed;
  EXPECT_FALSE(files.texts.contains(kJournal));
}

// Pruning keeps the snapshot an undo is about to restore from, and a file named outside the folder.
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

TEST(FolderGuard, NamesEveryoneElseWhoCanChangeIt) {
  FakeSecurity security;
  using Names = std::vector<std::string>;
  const std::pair<const char*, std::optional<Names>> cases[] = {
      {kGuardedFolder, Names{}},
      // Reading, denying, inheriting only and CREATOR OWNER change nothing here.
      {"O:BAD:P(A;;FR;;;BU)(D;;FA;;;WD)(A;OICIIO;FA;;;BU)(A;;FA;;;CO)", Names{}},
      {"O:BUD:P(A;;FA;;;BA)", Names{"BUILTIN\\Users"}},
      {"O:BAD:P(A;;0x2;;;WD)(A;;FA;;;S-1-5-21-9)", Names{"Everyone", "S-1-5-21-9 (unknown account)"}},
      {"O:S-1-5-21-9D:P(A;;WD;;;S-1-3-4)", Names{"S-1-5-21-9 (unknown account)"}},
      {"O:BAD:NO_ACCESS_CONTROL", Names{"Everyone (it has no DACL)"}},
      {"O:BAD:P(XA;;FR;;;BU;(@User.Dept==\"x\"))",
       Names{"whoever the entry (XA;;0x120089;;;S-1-5-32-545;(@User.Dept==\"x\")) allows"}},
      {"", std::nullopt},
      {"not SDDL", std::nullopt},
  };
  for (const auto& [sddl, others] : cases) EXPECT_EQ(OthersWhoCanChange(sddl, security), others) << sddl;
}
