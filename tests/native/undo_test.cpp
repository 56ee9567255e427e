// Send It with a snapshot before and a listing after, what changed, the way
// back and its verdict, and the runs window, headless: the tool's listings
// written by the test.

#include <gtest/gtest.h>

#include <ctime>
#include <iomanip>
#include <sstream>

#include "backup/frm_changes.h"
#include "backup/frm_runs.h"
#include "setacl/call_string.h"
#include "tests/native/fakes.h"

namespace {

using forms::Answer;
using forms::Buttons;
using forms::Icon;

const std::string kSnapshots = "D:\\Tools\\Backups\\Snapshots\\";
const std::string kJournal = kSnapshots + "journal.txt";
const std::string kScope = " -on \"HKLM\\SOFTWARE\\Acme\" -ot reg -ignoreerr";
const Scope kAcme{"HKLM\\SOFTWARE\\Acme", ObjectType::Registry, Recursion::No, {}};
const std::string kSetOwner = " -on \"HKLM\\SOFTWARE\\Acme\" -ot reg -actn setowner -ownr \"n:Bob;\"";
const std::string kBefore = "\"machine\\SOFTWARE\\Acme\",4,\"O:BAG:SYD:(A;;KA;;;BA)\"\r\n";
const std::string kAfter = "\"machine\\SOFTWARE\\Acme\",4,\"O:BAG:SYD:(A;;KA;;;BA)(A;;KR;;;WD)\"\r\n";
const std::string kId = "2026-12-07 17.16.39";
// What a run that reaches the object alone does not compare.
const std::string kBelow = "; what lies below the object, if anything, was not listed";
const std::string kBelowVerdict = "\r\nWhat lies below the object, if anything, was not listed, so not compared.";

// A listing as the tool may write it: UTF-16 with its byte-order mark.
std::string Utf16(const std::string& ascii) {
  std::string out = "\xFF\xFE";
  for (char c : ascii) (out += c) += '\0';
  return out;
}

class Snapshots : public ::testing::Test, public Headless {
 protected:
  Snapshots() {
    std::tm local{};
    local.tm_isdst = -1;
    std::istringstream("2026-12-07 17:16:39") >> std::get_time(&local, "%Y-%m-%d %H:%M:%S");
    auto at = std::chrono::system_clock::from_time_t(std::mktime(&local));
    main.runner().undoable().now = [at] { return at; };
    main.runner().history().MakeFolder();
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
  // A run of an earlier start, alone in the journal and the folder with its snapshot.
  JournalRun earlier(const std::string& snapshot, Scope scope = kAcme) {
    files.texts.clear(), files.files.clear();
    JournalRun run{"1", "2026-12-01 09:00:00", "", std::move(scope), "C:\\SetACL\\SetACL.exe -on x"};
    run.snapshot = BeforeFile(run.id);
    run.snapshotHasSacl = true;
    run.finished = JournalRun::Finished{{RunOutcome::Kind::Exited, 0}, 2500};
    files.texts[kJournal] += StartedRecord(run) + SnapshotRecord(run) + FinishedRecord(run);
    files.texts[kSnapshots + run.snapshot] = snapshot;
    return run;
  }
};

}  // namespace

TEST_F(Snapshots, ACommandRunsBetweenTwoListingsAndIsUndoneFromTheFirst) {
  send();
  EXPECT_EQ(main.lblStatus.text().substr(0, 18), "Taking a snapshot:");
  EXPECT_EQ(processes.ties.back(), platform::Processes::Tie::EndsWithProgram);
  ran(Listing(kScope, "d,s,o,g", BeforeFile(kId)), BeforeFile(kId), kBefore);
  EXPECT_EQ(processes.ties.back(), platform::Processes::Tie::Own);
  ran(kSetOwner);
  EXPECT_FALSE(main.cmdSendIt.visible());  // the window stays locked for the listing after
  EXPECT_FALSE(main.cmdWhatChanged.enabled());
  ran(Listing(kScope, "d,s,o,g", AfterFile(kId)), AfterFile(kId), kAfter);
  EXPECT_TRUE(main.cmdSendIt.visible());
  EXPECT_TRUE(main.lblStatus.text().starts_with("1 of 1 object changed" + kBelow + ". Finished with exit code 0"))
      << main.lblStatus.text();

  Journal runs = journal();
  ASSERT_EQ(runs.runs.size(), 1u);
  EXPECT_EQ(runs.damaged, 0u);
  const JournalRun& run = runs.runs[0];
  EXPECT_EQ(run.time, "2026-12-07 17:16:39");
  EXPECT_EQ(run.scope, kAcme);
  EXPECT_EQ(run.snapshot, BeforeFile(kId));
  EXPECT_TRUE(run.snapshotHasSacl);
  ASSERT_TRUE(run.finished && run.changed);
  EXPECT_TRUE(run.finished->outcome.succeeded());
  EXPECT_EQ(run.changed->changed, 1u);

  FrmChanges& changes = main.changesWindow();
  main.cmdWhatChanged.userClick();
  EXPECT_TRUE(changes.visible());
  EXPECT_EQ(changes.lblSummary.text(), "1 of 1 object changed" + kBelow);
  EXPECT_EQ(changes.txtChanges.text(),
            "machine\\SOFTWARE\\Acme\r\n    Added: Allow Everyone: Read (This key only)\r\n");

  // Undo: asked, its own snapshot, the restore, the listing after, the verdict.
  const std::string undoId = kId + " (2)";
  dialogs.expect({"Set the object of its snapshot back as it was before this run? The run changed 1 of them.",
                  "Undo the Run of 2026-12-07 17:16:39?", Buttons::YesNo, Icon::Question}, Answer::Yes);
  changes.cmdUndo.userClick();
  EXPECT_FALSE(changes.visible());
  ran(Listing(kScope, "d,s,o,g", BeforeFile(undoId)), BeforeFile(undoId), kAfter);
  ran(kScope + " -actn restore -bckp \"" + kSnapshots + BeforeFile(kId) + "\"");
  dialogs.expect({"The object is back as it was." + kBelowVerdict, "Undo", Buttons::Ok, Icon::Information},
                 Answer::Ok);
  ran(Listing(kScope, "d,s,o,g", AfterFile(undoId)), AfterFile(undoId), kBefore);
  runs = journal();
  ASSERT_EQ(runs.runs.size(), 2u);
  EXPECT_EQ(runs.runs[1].undoOf, kId);
  ASSERT_TRUE(runs.runs[1].changed);
  EXPECT_EQ(runs.runs[1].changed->changed, 1u);  // the undo is a run of its own, undone alike
}

// A snapshot the tool wrote as UTF-16 is read as such; a restore that failed
// is never "back", whatever the listing after it shows.
TEST_F(Snapshots, TheVerdictOfAnUndoOverAUtf16SnapshotSaysOnlyWhatIsTrue) {
  struct Case { std::uint32_t restoreExit; std::string after; forms::Message verdict; };
  const Case cases[] = {
      {0, kBefore, {"The object is back as it was." + kBelowVerdict, "Undo", Buttons::Ok, Icon::Information}},
      {2, kBefore,
       {"The restore did not succeed (FAILED: exit code 2): not every object may be back.\r\n"
        "Yet the object reads as before the run." + kBelowVerdict,
        "Undo", Buttons::Ok, Icon::Critical}},
      {0, kAfter,
       {"1 of 1 object is not back as before the run, or not known to be:\r\nmachine\\SOFTWARE\\Acme\r\n"
        "    Added: Allow Everyone: Read (This key only)\r\n" + kBelowVerdict,
        "Undo", Buttons::Ok, Icon::Critical}},
  };
  for (const Case& c : cases) {
    const JournalRun run = earlier(Utf16(kBefore));
    main.cmdRuns.userClick();
    dialogs.expect({"Set the object of its snapshot back as it was before this run?",
                    "Undo the Run of 2026-12-01 09:00:00?", Buttons::YesNo, Icon::Question}, Answer::Yes);
    main.runsWindow().cmdUndo.userClick();
    ran(Listing(kScope, "d,s,o,g", BeforeFile(kId)), BeforeFile(kId), Utf16(kAfter));
    ran(kScope + " -actn restore -bckp \"" + kSnapshots + run.snapshot + "\"", {}, {}, c.restoreExit);
    dialogs.expect(c.verdict, Answer::Ok);
    ran(Listing(kScope, "d,s,o,g", AfterFile(kId)), AfterFile(kId), Utf16(c.after));
    EXPECT_TRUE(dialogs.allShown()) << c.after;
  }
}

// Without the right to read audit entries the snapshot is taken without
// them; a snapshot that fails, or holds no object, still offers the run
// without one.
TEST_F(Snapshots, ASnapshotThatFailsStopsTheRunUnlessTheUserRunsItWithoutOne) {
  const std::string kNoObject = "The snapshot before the run failed: SetACL.exe listed no object into " +
                                kSnapshots + BeforeFile(kId) + ".\r\n\r\nRun without a snapshot?";
  for (Answer answer : {Answer::No, Answer::Yes}) {
    for (bool listsNothing : {false, true}) {
      files.texts.erase(kJournal);  // the ids start anew: a failed snapshot leaves no file
      processes.started.clear();
      processes.output = {"SetACL finished with error(s):\r\nSetACL error message: no right\r\n"};
      send();
      if (listsNothing) {
        // The object's line was never written: a listing of messages only.
        dialogs.expect({kNoObject, "Snapshot Failed", Buttons::YesNo, Icon::Critical}, answer);
        ran(Listing(kScope, "d,s,o,g", BeforeFile(kId)), BeforeFile(kId), "SetACL finished.\r\n");
      } else {
        processes.output = {"SetACL finished with error(s):\r\nSetACL error message: disk full\r\n"};
        ran(Listing(kScope, "d,s,o,g", BeforeFile(kId)), {}, {}, 2);
        dialogs.expect({"The snapshot before the run failed: SetACL.exe ended (FAILED: exit code 2) and wrote:\r\n"
                        "SetACL finished with error(s):\r\nSetACL error message: disk full\r\n"
                        "\r\n\r\nRun without a snapshot?",
                        "Snapshot Failed", Buttons::YesNo, Icon::Critical},
                       answer);
        ran(Listing(kScope, "d,o,g", BeforeFile(kId)), {}, {}, 2);
      }
      EXPECT_TRUE(dialogs.allShown());
      EXPECT_FALSE(files.texts.contains(kSnapshots + BeforeFile(kId)));  // a failed one is not kept
      if (answer == Answer::No) {
        EXPECT_EQ(main.lblStatus.text(), "Not run: the snapshot failed.");
        EXPECT_TRUE(main.cmdSendIt.visible());
        ASSERT_TRUE(journal().runs.back().finished);
        EXPECT_EQ(journal().runs.back().finished->outcome.kind, RunOutcome::Kind::NotRun);
        continue;
      }
      ran(kSetOwner);
      EXPECT_EQ(processes.started.back(), "C:\\SetACL\\SetACL.exe" + kSetOwner);  // no listing after
      EXPECT_EQ(journal().runs.back().snapshot, "");
      EXPECT_TRUE(journal().runs.back().finished->outcome.succeeded());
    }
  }
}

// A command that changes a SACL is not run on a snapshot without audit
// entries before the user says so; What Changed then says they were not compared.
TEST_F(Snapshots, ASaclChangeOnASnapshotWithoutAuditEntriesIsAskedFirst) {
  main.txtOwner.setText("");
  main.cboClr.userPick(2);  // SACL
  const std::string clear = " -on \"HKLM\\SOFTWARE\\Acme\" -ot reg -actn clear -clr \"sacl\"";
  const forms::Message question = {
      "The snapshot holds no audit entries: SetACL.exe could not read them. This command changes a "
      "SACL, so its audit entries could not be set back, and What Changed will not compare them."
      "\r\n\r\nRun it all the same?",
      "No Audit Entries in the Snapshot?", Buttons::YesNo, Icon::Critical};
  for (Answer answer : {Answer::No, Answer::Yes}) {
    const std::string id = answer == Answer::No ? kId : kId + " (2)";
    send();
    ran(Listing(kScope, "d,s,o,g", BeforeFile(id)), {}, {}, 2);
    dialogs.expect(question, answer);
    ran(Listing(kScope, "d,o,g", BeforeFile(id)), BeforeFile(id), kBefore);
    EXPECT_TRUE(dialogs.allShown());
    if (answer == Answer::No) {
      EXPECT_EQ(main.lblStatus.text(), "Not run: the snapshot holds no audit entries.");
      continue;
    }
    ran(clear);
    ran(Listing(kScope, "d,o,g", AfterFile(id)), AfterFile(id), kBefore);
    EXPECT_TRUE(main.lblStatus.text().starts_with(
        "0 of 1 object changed; audit entries were not compared: the snapshot holds none" + kBelow + "."))
        << main.lblStatus.text();
  }
}

// A command Windows cannot start takes no snapshot and claims nothing.
TEST_F(Snapshots, ACommandTooLongToStartTakesNoSnapshot) {
  type(main.txtOwner, std::string(33000, 'B'));
  dialogs.expect(kRunQuestion, Answer::Yes)
      .expect({"", "", Buttons::Ok, Icon::Critical}, Answer::Ok);
  main.cmdSendIt.userClick();
  EXPECT_TRUE(processes.started.empty());
  EXPECT_FALSE(files.texts.contains(kJournal));
  EXPECT_TRUE(main.cmdSendIt.visible());
}

TEST_F(Snapshots, StopDuringTheSnapshotRunsNothing) {
  send();
  dialogs.expect({"Stop the running command?", "Stop Command?", Buttons::YesNo}, Answer::Yes);
  main.cmdStop.userClick();
  processes.finish();
  EXPECT_EQ(processes.started.size(), 1u);
  EXPECT_EQ(main.lblStatus.text(), "Stopped during the snapshot: nothing ran.");
  EXPECT_EQ(journal().runs.at(0).finished->outcome.kind, RunOutcome::Kind::NotRun);
}

TEST_F(Snapshots, ARunWithoutAJournalIsAskedFirst) {
  files.heldElsewhere.insert(kSnapshots + "journal.lock");
  dialogs.expect(kRunQuestion, Answer::Yes).expect({"", "No Journal", Buttons::YesNo, Icon::Critical}, Answer::No);
  main.cmdSendIt.userClick();
  EXPECT_TRUE(processes.started.empty());
  EXPECT_EQ(main.lblStatus.text(), "Not run: the journal could not be written.");
  EXPECT_FALSE(files.texts.contains(kSnapshots + BeforeFile(kId)));
}

// An elevated undo restores only what its run reached, and only from a
// snapshot it can read whole.
TEST_F(Snapshots, AnUndoRefusesASnapshotOutsideItsRunsScopeOrNotReadWhole) {
  const Scope subkeys{"HKLM\\SOFTWARE\\Acme", ObjectType::Registry, Recursion::Subkeys, {}};
  struct Case { std::string snapshot; Scope scope; std::string refusal; };
  const Case cases[] = {
      {"\"machine\\SOFTWARE\\Acme\",4,\"D:(A;;KA;;;BA)\"\r\n\"machine\\SOFTWARE\\Policies\",4,\"D:(A;;KA;;;WD)\"\r\n",
       subkeys,
       "names 1 object outside what the run reaches (\"HKLM\\SOFTWARE\\Acme\": the key and every subkey "
       "below it):\r\nmachine\\SOFTWARE\\Policies"},
      {"\"machine\\SOFTWARE\\Acme\\Sub\",4,\"D:(A;;KA;;;BA)\"\r\n", kAcme,
       "names 1 object outside what the run reaches (\"HKLM\\SOFTWARE\\Acme\": the object only):\r\n"
       "machine\\SOFTWARE\\Acme\\Sub"},
      {"\"machine\\SOFTWARE\\Acme\",4,\"D:(A;;KA;;;BA)\r\n", kAcme,
       "could not be read, the first:\r\n\"machine\\SOFTWARE\\Acme\",4,\"D:(A;;KA;;;BA)"},
      {"SetACL finished.\r\n", kAcme, "holds no object"},
  };
  for (const Case& c : cases) {
    earlier(c.snapshot, c.scope);
    main.cmdRuns.userClick();
    dialogs.expect({"", "Undo", Buttons::Ok, Icon::Critical}, Answer::Ok);
    main.runsWindow().cmdUndo.userClick();
    ASSERT_TRUE(dialogs.allShown());
    EXPECT_NE(dialogs.shown.back().prompt.find(c.refusal), std::string::npos) << dialogs.shown.back().prompt;
    EXPECT_TRUE(processes.started.empty());
    EXPECT_TRUE(main.cmdSendIt.visible());
  }
}

// Not a second undo, not a run.
TEST_F(Snapshots, NothingStartsWhileAnUndosSnapshotIsRead) {
  const JournalRun run = earlier(kBefore);
  workers.atOnce = false;
  main.runner().Undo("C:\\SetACL\\" + std::string(1, '\0'), run, {});
  main.runner().Undo("C:\\SetACL\\" + std::string(1, '\0'), run, {});
  main.runner().Send("C:\\SetACL\\" + std::string(1, '\0'), kSetOwner, true, {});
  EXPECT_FALSE(main.cmdSendIt.visible());
  dialogs.expect({"", "Undo the Run of 2026-12-01 09:00:00?", Buttons::YesNo, Icon::Question}, Answer::No);
  workers.deliver();  // the one question, of the first undo
  EXPECT_TRUE(processes.started.empty());
  EXPECT_TRUE(main.cmdSendIt.visible());
}

TEST_F(Snapshots, AnUndoSaysWhoElseCanChangeTheSnapshots) {
  earlier(kBefore);
  files.security["D:\\Tools\\Backups\\Snapshots"] = "O:S-1-5-21-9G:SYD:(A;OICI;FA;;;BA)(A;OICI;0x1301bf;;;BU)";
  files.security[kSnapshots + "journal.txt"] = "not SDDL";
  main.cmdRuns.userClick();
  dialogs.expect({"Set the object of its snapshot back as it was before this run?\r\n\r\n"
                  "Warning: besides Administrators and SYSTEM, S-1-5-21-9 (unknown account), BUILTIN\\Users "
                  "can change the snapshots folder D:\\Tools\\Backups\\Snapshots, its journal or this snapshot: "
                  "the snapshot may not be what this run left.\r\n\r\nWarning: whether anyone but "
                  "Administrators and SYSTEM can change " + kSnapshots + "journal.txt is not known: the "
                  "security could not be read.",
                  "Undo the Run of 2026-12-01 09:00:00?", Buttons::YesNo, Icon::Question}, Answer::No);
  main.runsWindow().cmdUndo.userClick();
  EXPECT_TRUE(processes.started.empty());
}

TEST_F(Snapshots, TheRunsWindowListsTheJournalNewestFirst) {
  JournalRun done{"1", "2026-12-01 09:00:00", "", kAcme, "C:\\SetACL\\SetACL.exe -on x"};
  done.snapshot = "1 before.txt";
  done.finished = JournalRun::Finished{{RunOutcome::Kind::Exited, 2}, 2500};
  JournalRun interrupted{"2", "2026-12-02 10:00:00", "1", kAcme, "restore"};
  interrupted.snapshot = "2 before.txt";
  JournalRun escaping{"3", "2026-12-03 11:00:00", "", kAcme, "x"};
  escaping.snapshot = "..\\x";
  files.texts[kJournal] = StartedRecord(done) + SnapshotRecord(done) + FinishedRecord(done) +
                          StartedRecord(interrupted) + SnapshotRecord(interrupted) + "damaged\r\n" +
                          StartedRecord(escaping) + SnapshotRecord(escaping);
  files.texts[kSnapshots + "2 before.txt"] = kBefore;
  FrmRuns& runs = main.runsWindow();
  main.cmdRuns.userClick();
  EXPECT_TRUE(runs.visible());
  EXPECT_EQ(runs.lvwRuns.rows(),
            (std::vector<std::vector<std::string>>{
                {"2026-12-03 11:00:00", "Not finished", "", "no snapshot", "x"},
                {"2026-12-02 10:00:00", "Not finished", "", "not compared",
                 "Undo of the run of 2026-12-01 09:00:00: restore"},
                {"2026-12-01 09:00:00", "FAILED: exit code 2", "2.5 s", "not compared",
                 "C:\\SetACL\\SetACL.exe -on x"}}));
  EXPECT_EQ(runs.lblNotes.text(), "1 damaged record of the journal was skipped. Refused, not a file "
                                  "of the snapshots folder: ..\\x.");
  EXPECT_EQ(runs.lvwRuns.selectedRow(), 0);
  EXPECT_FALSE(runs.cmdUndo.enabled());  // its snapshot was refused
  runs.lvwRuns.userSelect(2);
  runs.cmdCopy.userClick();
  EXPECT_EQ(clipboard.text, "C:\\SetACL\\SetACL.exe -on x");
  runs.cmdFolder.userClick();
  EXPECT_EQ(shell.opened.back().parameters, "/select,\"" + kSnapshots + "1 before.txt\"");
  // An interrupted run can be undone as well: its count not known.
  runs.lvwRuns.userSelect(1);
  dialogs.expect({"Set the object of its snapshot back as it was before this run?\r\n\r\n"
                  "Its snapshot holds no audit entries: they stay as they are now.",
                  "Undo the Run of 2026-12-02 10:00:00?", Buttons::YesNo, Icon::Question}, Answer::No);
  runs.cmdUndo.userClick();
  EXPECT_FALSE(runs.visible());
  EXPECT_TRUE(processes.started.empty());
}

// A run's command fills the main window as if typed, or, when the window
// cannot hold it whole, nothing, and the part it cannot hold is named.
TEST_F(Snapshots, UseThisCommandAgainFillsTheWindowAsIfTyped) {
  Command c;
  c.object = "C:\\Data \"x\"\\";
  c.type = ObjectType::File;
  c.recursion = Recursion::ContainersAndObjects;
  c.aces.add({{"Users"}, {"read_ex", "write"}, kSubObjects | kSubContainers, AceMode::Grant, AclLists::Dacl});
  c.aces.add({{"S-1-1-0", true}, {"full"}, 0, AceMode::Revoke, AclLists::Both});
  c.trustees.add({TrusteeAction::Replace, {"Old"}, {"New", true}, AclLists::Both});
  c.owner = {"Bob", true};
  c.group = {"Admins"};
  c.daclProtection = Protection::ProtectedCopy;
  c.clear = AclLists::Sacl;
  c.filters.add("tmp");
  c.logFile = "run.log";
  c.continueOnErrors = c.silent = true;
  const std::string folder = std::string("C:\\SetACL\\") + '\0';
  JournalRun good{"1", "2026-12-01 09:00:00", "", kAcme, CommandRun::LineOf(folder, CallArguments(c, "D:\\Tools"))};
  JournalRun odd{"2", "2026-12-02 09:00:00", "", kAcme,
                 CommandRun::LineOf(folder, " -on \"C:\\D\" -ot file -actn ace -ace \"garbage\"")};
  JournalRun undo{"3", "2026-12-03 09:00:00", "1", kAcme, "C:\\SetACL\\SetACL.exe -on x -ot file -actn restore"};
  files.texts[kJournal] = StartedRecord(good) + StartedRecord(odd) + StartedRecord(undo);
  FrmRuns& runs = main.runsWindow();
  main.cmdRuns.userClick();
  EXPECT_FALSE(runs.cmdUseAgain.enabled());  // an undo's restore is no command of the window's
  runs.lvwRuns.userSelect(1);
  const std::string before = main.txtCallString.text();
  dialogs.expect({"This command cannot be used again as it stands: the entry \"garbage\".",
                  "Use This Command Again", Buttons::Ok, Icon::Critical}, Answer::Ok);
  runs.cmdUseAgain.userClick();
  EXPECT_TRUE(dialogs.allShown());
  EXPECT_EQ(main.txtCallString.text(), before);
  main.cmdRuns.userClick();
  runs.lvwRuns.userSelect(2);
  runs.cmdUseAgain.userClick();
  EXPECT_EQ(main.command(), c);
  EXPECT_EQ(main.txtCallString.text(), CallString(c, "D:\\Tools"));
  EXPECT_EQ(main.cboRecursionFile.text(), "Dirs and Files");
  EXPECT_EQ(main.cboInDacl.text(), "Prot/Copy Parent");
  EXPECT_EQ(main.cboClr.text(), "SACL");
  EXPECT_TRUE(main.chkOwner.ticked());
  EXPECT_TRUE(main.optSilentYes.value());
  EXPECT_EQ(main.cmdAceNum.text(), "2");
}

// The oldest runs go with their files once more are kept than the setting allows.
TEST_F(Snapshots, TheOldestRunsGoWithTheirSnapshots) {
  registry.keys["SOFTWARE\\Vorlane"]["KeepRuns"].text = std::string("2") + '\0';
  std::string records;
  for (const char* id : {"1", "2"}) {
    JournalRun run{id, id, "", kAcme, "x"};
    run.snapshot = BeforeFile(id);
    run.finished = JournalRun::Finished{{RunOutcome::Kind::Exited, 0}, 1};
    run.changed = JournalRun::Changed{AfterFile(id), 1, 1, 0};
    records += StartedRecord(run) + SnapshotRecord(run) + FinishedRecord(run) + ChangedRecord(run);
    files.texts[kSnapshots + run.snapshot] = kBefore;
    files.texts[kSnapshots + run.changed->after] = kAfter;
  }
  files.texts[kJournal] = records;
  send();
  ran(Listing(kScope, "d,s,o,g", BeforeFile(kId)), BeforeFile(kId), kBefore);
  ran(kSetOwner);
  ran(Listing(kScope, "d,s,o,g", AfterFile(kId)), AfterFile(kId), kAfter);
  Journal kept = journal();
  ASSERT_EQ(kept.runs.size(), 2u);
  EXPECT_EQ(kept.runs[0].id, "2");
  EXPECT_FALSE(files.texts.contains(kSnapshots + "1 before.txt"));
  EXPECT_FALSE(files.texts.contains(kSnapshots + "1 after.txt"));
  EXPECT_TRUE(files.texts.contains(kSnapshots + "2 after.txt"));
}

// Every verdict an undo can reach: "back" only where the restore succeeded,
// every object was listed and compared, and nothing differs.
TEST(UndoVerdict, SaysBackOnlyWhenEverythingShowsIt) {
  using Kind = RunOutcome::Kind;
  ListingChanges same;
  same.objects = same.listedBefore = same.listedAfter = 86;
  ListingChanges one = same;
  one.changed = 1;
  one.changes = {{"C:\\D\\x", {"Owner: A → B"}}};
  const RunOutcome ok{Kind::Exited, 0};
  const std::string said = "Access denied: C:\\D\\x\r\nDone\r\n";
  struct Case { UndoEvidence evidence; std::string text; bool allBack; };
  const Case cases[] = {
      {{.restore = ok, .back = same, .restoreOutput = said}, "Every one of the 86 objects is back as it was.", true},
      {{.restore = ok, .back = same, .restoreOutput = said, .belowNotListed = true},
       "Every one of the 86 objects is back as it was.\r\nWhat lies below the object, if anything, was "
       "not listed, so not compared.", true},
      {{.restore = ok, .back = same, .auditCompared = false, .restoreOutput = said},
       "Every one of the 86 objects has its owner, group and DACL back as before.\r\n"
       "Audit entries were not compared: a snapshot holds none.", false},
      {{.restore = {Kind::Exited, 3}, .back = same, .restoreOutput = said},
       "The restore did not succeed (FAILED: exit code 3): not every object may be back.\r\n"
       "Yet every one of the 86 objects reads as before the run.", false},
      {{.restore = {Kind::Stopped}, .back = same, .restoreOutput = said},
       "The restore did not succeed (Stopped): not every object may be back.\r\n"
       "Yet every one of the 86 objects reads as before the run.", false},
      // An object the tool skipped is in neither listing: it is not known to be back.
      {{.restore = ok, .back = same, .restoreOutput = said,
        .listingProblems = {"Could not read the security of C:\\D\\y (error 5)"}},
       "SetACL.exe could not list every object, so not every one was compared:\r\n"
       "Could not read the security of C:\\D\\y (error 5)\r\n"
       "Yet every one of the 86 objects reads as before the run.", false},
      {{.restore = ok, .back = std::nullopt, .restoreOutput = said},
       "Whether every object is back is not known: the listings could not be read.", false},
      {{.restore = ok, .back = ListingChanges{}, .restoreOutput = said}, "The snapshot of the run holds no object: nothing was compared.", false},
      {{.restore = ok, .back = one, .restoreOutput = said},
       "1 of 86 objects is not back as before the run, or not known to be:\r\nC:\\D\\x\r\n"
       "    Owner: A → B\r\n    The tool said: Access denied: C:\\D\\x\r\n", false},
  };
  for (const Case& c : cases) {
    UndoVerdict verdict = VerdictOf(c.evidence);
    EXPECT_EQ(verdict.text, c.text);
    EXPECT_EQ(verdict.allBack, c.allBack) << c.text;
  }
  EXPECT_EQ(ListingProblems("list: reg \"x\", going on after errors\r\nCould not read the security of y (error 5)\r\n"
                            "SetACL finished with error(s):\r\nSetACL finished.\r\n"),
            (std::vector<std::string>{"Could not read the security of y (error 5)", "SetACL finished with error(s):"}));
}
