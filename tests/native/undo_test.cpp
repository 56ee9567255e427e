// Send It with a snapshot before and a listing after, what changed, the way
// back, and the runs window, headless: the tool's listings written by the test.

#include <gtest/gtest.h>

#include <ctime>

#include "backup/frm_changes.h"
#include "backup/frm_runs.h"
#include "tests/native/fakes.h"

namespace {

using forms::Answer;
using forms::Buttons;
using forms::Icon;

const forms::Message kRunQuestion = {"Are you sure you want to run this command?", "Run Command?",
                                     Buttons::YesNo};
const std::string kSnapshots = "D:\\Tools\\Backups\\Snapshots\\";
const std::string kJournal = kSnapshots + "journal.txt";
const std::string kScope = " -on \"HKLM\\SOFTWARE\\Acme\" -ot reg -ignoreerr";
const std::string kSetOwner = " -on \"HKLM\\SOFTWARE\\Acme\" -ot reg -actn setowner -ownr \"n:Bob;\"";
const std::string kBefore = "\"machine\\SOFTWARE\\Acme\",4,\"O:BAG:SYD:(A;;KA;;;BA)\"\r\n";
const std::string kAfter = "\"machine\\SOFTWARE\\Acme\",4,\"O:BAG:SYD:(A;;KA;;;BA)(A;;KR;;;WD)\"\r\n";

class Snapshots : public ::testing::Test, public Headless {
 protected:
  Snapshots() {
    std::tm local{};
    local.tm_year = 2026 - 1900;
    local.tm_mon = 11;
    local.tm_mday = 7;
    local.tm_hour = 17;
    local.tm_min = 16;
    local.tm_sec = 39;
    local.tm_isdst = -1;
    auto at = std::chrono::system_clock::from_time_t(std::mktime(&local));
    main.undoableRun().now = [at] { return at; };
    main.CboObjType.userPick(1);  // Registry
    type(main.txtObjName, "HKLM\\SOFTWARE\\Acme");
    type(main.txtOwner, "Bob");
  }
  // The tool run as `arguments`, having written its listing file when asked.
  void ran(const std::string& arguments, const std::string& file = {}, const std::string& listing = {},
           std::uint32_t exitCode = 0) {
    ASSERT_FALSE(processes.started.empty());
    EXPECT_EQ(processes.started.back(), "C:\\SetACL\\SetACL.exe" + arguments);
    if (!file.empty()) files.texts[kSnapshots + file] = listing;
    processes.exitCode = exitCode;
    processes.finish();
  }
  static std::string Listing(const std::string& scope, const std::string& parts, const std::string& file) {
    return scope + " -actn list -lst \"f:sddl;w:" + parts + "\" -bckp \"" + kSnapshots + file + "\"";
  }
  Journal journal() { return ReadJournal(files.texts[kJournal]); }
  void send() {
    dialogs.expect(kRunQuestion, Answer::Yes);
    main.cmdSendIt.userClick();
  }
};

}  // namespace

TEST_F(Snapshots, ACommandRunsBetweenTwoListingsAndIsUndoneFromTheFirst) {
  const std::string id = "2026-12-07 17.16.39";
  send();
  EXPECT_EQ(main.lblStatus.text().substr(0, 18), "Taking a snapshot:");
  ran(Listing(kScope, "d,s,o,g", id + " before.txt"), id + " before.txt", kBefore);
  ran(kSetOwner);
  EXPECT_FALSE(main.cmdSendIt.visible());  // the window stays locked for the listing after
  EXPECT_FALSE(main.cmdWhatChanged.enabled());
  ran(Listing(kScope, "d,s,o,g", id + " after.txt"), id + " after.txt", kAfter);
  EXPECT_TRUE(main.cmdSendIt.visible());
  EXPECT_TRUE(main.lblStatus.text().starts_with("1 of 1 object changed. Finished with exit code 0"))
      << main.lblStatus.text();

  Journal runs = journal();
  ASSERT_EQ(runs.runs.size(), 1u);
  EXPECT_EQ(runs.damaged, 0u);
  const JournalRun& run = runs.runs[0];
  EXPECT_EQ(run.time, "2026-12-07 17:16:39");
  EXPECT_EQ(run.scope, kScope);
  EXPECT_EQ(run.snapshot, id + " before.txt");
  EXPECT_TRUE(run.snapshotHasSacl);
  ASSERT_TRUE(run.finished && run.changed);
  EXPECT_EQ(run.finished->outcome, "exit 0");
  EXPECT_EQ(run.changed->changed, 1u);

  FrmChanges& changes = main.changesWindow();
  main.cmdWhatChanged.userClick();
  EXPECT_TRUE(changes.visible());
  EXPECT_EQ(changes.lblSummary.text(), "1 of 1 object changed");
  EXPECT_EQ(changes.txtChanges.text(),
            "machine\\SOFTWARE\\Acme\r\n    Added: Allow Everyone: Read (This key only)\r\n");

  // Undo: asked, its own snapshot, the restore, the listing after, the verdict.
  const std::string undoId = id + " (2)";
  dialogs.expect({"Set 1 object back as it was before this run?", "Undo the Run of 2026-12-07 17:16:39?",
                  Buttons::YesNo, Icon::Question},
                 Answer::Yes);
  changes.cmdUndo.userClick();
  EXPECT_FALSE(changes.visible());
  ran(Listing(kScope, "d,s,o,g", undoId + " before.txt"), undoId + " before.txt", kAfter);
  ran(kScope + " -actn restore -bckp \"" + kSnapshots + id + " before.txt\"");
  dialogs.expect({"Every object is back as it was", "Undo", Buttons::Ok, Icon::Information}, Answer::Ok);
  ran(Listing(kScope, "d,s,o,g", undoId + " after.txt"), undoId + " after.txt", kBefore);
  EXPECT_TRUE(dialogs.allShown());
  runs = journal();
  ASSERT_EQ(runs.runs.size(), 2u);
  EXPECT_EQ(runs.runs[1].undoOf, id);
  ASSERT_TRUE(runs.runs[1].changed);
  EXPECT_EQ(runs.runs[1].changed->changed, 1u);  // the undo is a run of its own, undone alike
}

// Without the right to read audit entries the snapshot is taken without
// them; a snapshot that fails still offers the run without one.
TEST_F(Snapshots, ASnapshotThatFailsStopsTheRunUnlessTheUserRunsItWithoutOne) {
  for (Answer answer : {Answer::No, Answer::Yes}) {
    const std::string id = answer == Answer::No ? "2026-12-07 17.16.39" : "2026-12-07 17.16.39 (2)";
    processes.started.clear();
    processes.output = {"SetACL finished with error(s):\r\nSetACL error message: no right\r\n"};
    send();
    processes.output = {"SetACL finished with error(s):\r\nSetACL error message: disk full\r\n"};
    ran(Listing(kScope, "d,s,o,g", id + " before.txt"), {}, {}, 2);
    dialogs.expect({"The snapshot before the run failed: SetACL.exe ended with exit 2 and wrote:\r\n"
                    "SetACL finished with error(s):\r\nSetACL error message: disk full\r\n"
                    "\r\n\r\nRun without a snapshot?",
                    "Snapshot Failed", Buttons::YesNo, Icon::Critical},
                   answer);
    ran(Listing(kScope, "d,o,g", id + " before.txt"), {}, {}, 2);
    EXPECT_TRUE(dialogs.allShown());
    if (answer == Answer::No) {
      EXPECT_EQ(processes.started.size(), 2u);
      EXPECT_EQ(main.lblStatus.text(), "Not run: the snapshot failed.");
      EXPECT_TRUE(main.cmdSendIt.visible());
      continue;
    }
    ASSERT_EQ(processes.started.size(), 3u);
    ran(kSetOwner);
    EXPECT_EQ(processes.started.size(), 3u);  // no listing after, without one before
  }
  Journal runs = journal();
  ASSERT_EQ(runs.runs.size(), 2u);
  EXPECT_EQ(runs.runs[0].finished->outcome, "not run");
  EXPECT_EQ(runs.runs[1].finished->outcome, "exit 0");
  EXPECT_EQ(runs.runs[1].snapshot, "");
}

TEST_F(Snapshots, StopDuringTheSnapshotRunsNothing) {
  send();
  dialogs.expect({"Stop the running command?", "Stop Command?", Buttons::YesNo}, Answer::Yes);
  main.cmdStop.userClick();
  processes.finish();
  EXPECT_EQ(processes.started.size(), 1u);
  EXPECT_EQ(main.lblStatus.text(), "Stopped during the snapshot: nothing ran.");
  EXPECT_EQ(journal().runs.at(0).finished->outcome, "not run");
}

TEST_F(Snapshots, TheRunsWindowListsTheJournalNewestFirst) {
  JournalRun done{"1", "2026-12-01 09:00:00", "", kScope, "C:\\SetACL\\SetACL.exe -on x"};
  done.snapshot = "1 before.txt";
  done.finished = JournalRun::Finished{"exit 2", 2500};
  JournalRun interrupted{"2", "2026-12-02 10:00:00", "1", kScope, "restore"};
  interrupted.snapshot = "2 before.txt";
  files.texts[kJournal] = StartedRecord(done) + SnapshotRecord(done) + FinishedRecord(done) +
                          StartedRecord(interrupted) + SnapshotRecord(interrupted) + "damaged\r\n";
  FrmRuns& runs = main.runsWindow();
  main.cmdRuns.userClick();
  EXPECT_TRUE(runs.visible());
  EXPECT_EQ(runs.lvwRuns.rows(),
            (std::vector<std::vector<std::string>>{
                {"2026-12-02 10:00:00", "Interrupted", "", "not compared",
                 "Undo of the run of 2026-12-01 09:00:00: restore"},
                {"2026-12-01 09:00:00", "FAILED: exit code 2", "2.5 s", "not compared",
                 "C:\\SetACL\\SetACL.exe -on x"}}));
  EXPECT_EQ(runs.lblNotes.text(), "1 damaged record of the journal was skipped.");
  EXPECT_EQ(runs.lvwRuns.selectedRow(), 0);
  EXPECT_FALSE(runs.cmdChanges.enabled());
  EXPECT_TRUE(runs.cmdUndo.enabled());
  runs.lvwRuns.userSelect(1);
  runs.cmdCopy.userClick();
  EXPECT_EQ(clipboard.text, "C:\\SetACL\\SetACL.exe -on x");
  runs.cmdFolder.userClick();
  EXPECT_EQ(shell.opened.back().parameters, "/select,\"" + kSnapshots + "1 before.txt\"");
  // An interrupted run can be undone as well: its count not known.
  runs.lvwRuns.userSelect(0);
  dialogs.expect({"Set the objects of its snapshot back as they were before this run?",
                  "Undo the Run of 2026-12-02 10:00:00?", Buttons::YesNo, Icon::Question},
                 Answer::No);
  runs.cmdUndo.userClick();
  EXPECT_FALSE(runs.visible());
  EXPECT_TRUE(processes.started.empty());
}

// The oldest runs go with their files once more are kept than the setting allows.
TEST_F(Snapshots, TheOldestRunsGoWithTheirSnapshots) {
  registry.keys["SOFTWARE\\Vorlane"]["KeepRuns"].text = std::string("2") + '\0';
  std::string records;
  for (const char* id : {"1", "2"}) {
    JournalRun run{id, id, "", kScope, "x"};
    run.snapshot = std::string(id) + " before.txt";
    run.finished = JournalRun::Finished{"exit 0", 1};
    run.changed = JournalRun::Changed{std::string(id) + " after.txt", 1, 1, 0};
    records += StartedRecord(run) + SnapshotRecord(run) + FinishedRecord(run) + ChangedRecord(run);
    files.texts[kSnapshots + run.snapshot] = kBefore;
    files.texts[kSnapshots + run.changed->after] = kAfter;
  }
  files.texts[kJournal] = records;
  send();
  ran(Listing(kScope, "d,s,o,g", "2026-12-07 17.16.39 before.txt"), "2026-12-07 17.16.39 before.txt", kBefore);
  ran(kSetOwner);
  ran(Listing(kScope, "d,s,o,g", "2026-12-07 17.16.39 after.txt"), "2026-12-07 17.16.39 after.txt", kAfter);
  Journal kept = journal();
  ASSERT_EQ(kept.runs.size(), 2u);
  EXPECT_EQ(kept.runs[0].id, "2");
  EXPECT_FALSE(files.texts.contains(kSnapshots + "1 before.txt"));
  EXPECT_FALSE(files.texts.contains(kSnapshots + "1 after.txt"));
  EXPECT_TRUE(files.texts.contains(kSnapshots + "2 after.txt"));
}
