#include "main/frm_main.h"

#include "backup/frm_backup.h"
#include "backup/frm_browse.h"
#include "backup/frm_changes.h"
#include "backup/frm_runs.h"
#include "backup/restore.h"
#include "editors/frm_ace.h"
#include "editors/frm_change.h"
#include "editors/frm_trustee.h"
#include "forms/dialogs.h"
#include "setacl/call_reader.h"
#include "setacl/call_string.h"
#include "setacl/explain.h"
#include "platform/folder_browser.h"
#include "report/frm_tree_report.h"
#include "run/frm_permissions.h"
#include "runner/run_status.h"
#include "setup/about.h"
#include "setup/frm_settings.h"
#include "setup/snapshot_settings.h"
#include "setup/start_up.h"

namespace {

// Nothing selected counts as any text but the table's would: both lists.
std::optional<AclLists> ListsChosen(const forms::ComboBox& box) {
  return Picked(kListsOrNone, box.listIndex(), std::optional<AclLists>(AclLists::Both));
}

Protection ProtectionChosen(const forms::ComboBox& box) {
  return Picked(kProtections, box.listIndex(), Protection::ProtectedNoCopy);
}

}  // namespace

FrmMain::FrmMain(platform::Services& services)
    : Form("frmMain", "Vorlane ---Front End For SetACL", 8310, 10575, forms::Style::Main),
      services_(services),
      aceEditor_([this] { return Attached(std::make_unique<FrmAce>(services_.dialogs)); }),
      trusteeEditor_([this] { return Attached(std::make_unique<FrmTrustee>(services_.dialogs)); }),
      listEditor_([this] { return Attached(std::make_unique<FrmChange>(services_.dialogs)); }),
      backupWindow_([this] { return Attached(std::make_unique<FrmBackup>(services_)); }),
      backupChooser_([this] { return Attached(std::make_unique<FrmBrowse>(services_)); }),
      settingsWindow_([this] { return Attached(std::make_unique<FrmSettings>(services_)); }),
      permissionsWindow_([this] { return Attached(std::make_unique<FrmPermissions>(services_)); }),
      changesWindow_([this] { return Attached(std::make_unique<FrmChanges>()); }),
      runsWindow_([this] { return Attached(std::make_unique<FrmRuns>(services_, runner_.history())); }),
      treeReportWindow_([this] { return Attached(std::make_unique<FrmTreeReport>(services_)); }),
      runner_(services, View()) {
  CboObjType.setItems(Captions(kObjectTypes));
  cboRstchldrn.setItems(Captions(kListsOrNone));
  cboClr.setItems(Captions(kListsOrNone));
  cboInDacl.setItems(Captions(kProtections));
  cboInSacl.setItems(Captions(kProtections));
  cboRecursionFile.setItems(Captions(kFileRecursion));
  cboRecursionReg.setItems(Captions(kRegistryRecursion));
  txtCallString.setMultiLine(true);
  txtCallString.setReadOnly(true);
  txtCallString.setStretch(true, false);
  for (TextBox* page : {&txtExplain, &txtOutputs}) {
    page->setMultiLine(true);
    page->setReadOnly(true);
    page->setStretch(true, true);
  }
  txtOutputs.setStreaming(true);
  tabPages.addPage("What &It Does", txtExplain);
  tabPages.addPage("&Output", txtOutputs);
  tabPages.setListIndex(0);
  tabPages.setStretch(true, true);
  lblStatus.setStretch(true, false);
  cmdCurrent.setVisible(false);
  cmdTreeReport.setVisible(false);
  cmdStop.setVisible(false);
  setCancelButton(&cmdStop);
  fraOptions.setVisible(false);
  cboRecursionReg.setVisible(false);
  cmdSendIt.setVisible(false);
  chkIgnoreErr.setVisible(false);
  cmdWhatChanged.setEnabled(false);

  onLoad = [this] { Form_Load(); };
  runner_.reach().changed = [this] { ShowExplanation(); };
  CboObjType.onClick = [this] { CboObjType_Click(); };
  txtObjName.onChange = [this] { txtObjName_Change(); };
  cmdBrowse.onClick = [this] { cmdBrowse_Click(); };
  // Every other option sets its part of the command, and the call string follows.
  auto set = [this](auto change) {
    return [this, change] {
      change();
      BuildIt();
    };
  };
  cboRecursionFile.onClick = set([this] { command_.recursion = ChosenRecursion(); });
  cboRecursionReg.onClick = set([this] { command_.recursion = ChosenRecursion(); });
  cboInDacl.onClick = set([this] { command_.daclProtection = ProtectionChosen(cboInDacl); });
  cboInSacl.onClick = set([this] { command_.saclProtection = ProtectionChosen(cboInSacl); });
  cboRstchldrn.onClick = set([this] { command_.resetChildren = ListsChosen(cboRstchldrn); });
  cboClr.onClick = set([this] { command_.clear = ListsChosen(cboClr); });
  txtOwner.onChange = set([this] { command_.owner.name = txtOwner.text(); });
  chkOwner.onClick = set([this] { command_.owner.sid = chkOwner.ticked(); });
  txtGroup.onChange = set([this] { command_.group.name = txtGroup.text(); });
  chkGroup.onClick = set([this] { command_.group.sid = chkGroup.ticked(); });
  txtLogFile.onChange = set([this] { command_.logFile = txtLogFile.text(); });
  optSilentYes.onClick = set([this] { command_.silent = optSilentYes.value(); });
  optSilentNo.onClick = set([this] { command_.silent = optSilentYes.value(); });
  chkIgnoreErr.onClick = set([this] { command_.continueOnErrors = chkIgnoreErr.ticked(); });
  cmdAce.onClick = [this] { cmdAce_Click(); };
  cmdTrst.onClick = [this] { cmdTrst_Click(); };
  cmdAceNum.onClick = [this] { EditList("Ace", command_.aces); };
  cmdTrstNum.onClick = [this] { EditList("Trustee", command_.trustees); };
  cmdFilterNum.onClick = [this] { EditList("Filter", command_.filters); };
  cmdClear.onClick([this](int index) { cmdClear_Click(index); });
  cmdFilter.onClick = [this] { cmdFilter_Click(); };
  cmdResetOptions.onClick = [this] { cmdResetOptions_Click(); };
  cmdBackup.onClick = [this] { cmdBackup_Click(); };
  cmdRestore.onClick = [this] { cmdRestore_Click(); };
  txtRestore.onKeyPress = [this](int key) { txtRestore_KeyPress(key); };
  cmdRestoreBrowse.onClick = [this] { cmdRestoreBrowse_Click(); };
  cmdProgOptions.onClick = [this] { cmdProgOptions_Click(); };
  cmdAbout.onClick = [this] { ShowAbout(services_.dialogs); };
  cmdSendIt.onClick = [this] { cmdSendIt_Click(); };
  cmdCurrent.onClick = [this] { cmdCurrent_Click(); };
  cmdTreeReport.onClick = [this] { cmdTreeReport_Click(); };
  cmdStop.onClick = [this] { cmdStop_Click(); };
  cmdRuns.onClick = [this] { cmdRuns_Click(); };
  cmdWhatChanged.onClick = [this] {
    if (const auto& last = runner_.last()) ShowChanges(last->run, last->changes);
  };
  runner_.lastChanged = [this] { cmdWhatChanged.setEnabled(true); };
  // Said in a box, which stays until it is read.
  runner_.history().failed = [this](std::string why) {
    services_.dialogs.tell(why, "Journal of Runs", forms::Icon::Critical);
  };
  onQueryUnload = [this] { return Form_QueryUnload(); };
  onTimer = [this] { runner_.command().ShowProgress(); };
  txtOutputs.onChange = [this] { txtOutputs_Change(); };
}

FrmMain::~FrmMain() = default;

FrmAce& FrmMain::aceEditor() { return aceEditor_.get(); }
FrmTrustee& FrmMain::trusteeEditor() { return trusteeEditor_.get(); }
FrmChange& FrmMain::listEditor() { return listEditor_.get(); }
FrmBackup& FrmMain::backupWindow() { return backupWindow_.get(); }
FrmBrowse& FrmMain::backupChooser() { return backupChooser_.get(); }
FrmSettings& FrmMain::settingsWindow() { return settingsWindow_.get(); }
FrmPermissions& FrmMain::permissionsWindow() { return permissionsWindow_.get(); }
FrmChanges& FrmMain::changesWindow() { return changesWindow_.get(); }
FrmRuns& FrmMain::runsWindow() { return runsWindow_.get(); }
FrmTreeReport& FrmMain::treeReportWindow() { return treeReportWindow_.get(); }

template <class F>
std::unique_ptr<F> FrmMain::Attached(std::unique_ptr<F> form) {
  form->attach(backend());
  return form;
}

void FrmMain::BuildIt() {
  std::string call = CallString(command_, services_.programFolder);
  explanation_ = ExplainCall(call);
  runner_.reach().Ask(ReachOf(command_, call));
  ShowExplanation();
  txtCallString.setText(std::move(call));
  cmdAceNum.setText(std::to_string(command_.aces.count));
  cmdTrstNum.setText(std::to_string(command_.trustees.count));
  cmdFilterNum.setText(std::to_string(command_.filters.count));
}

// The explanation with the reach of a recursive command after its first
// line, which names the object.
void FrmMain::ShowExplanation() {
  std::string reach = runner_.reach().words();
  if (reach.empty()) return txtExplain.setText(explanation_);
  std::size_t firstLine = std::min(explanation_.find("\r\n"), explanation_.size());
  txtExplain.setText(explanation_.substr(0, firstLine) + "\r\n" + reach +
                     explanation_.substr(firstLine));
}

// The main window's loading is the program's start-up.
void FrmMain::Form_Load() {
  StartUp startUp(services_, *this);
  setAclFolder_ = startUp.Location();
  cmdBrowse.setVisible(false);
  if (!startUp.SetAclIsThere()) {
    unload();
    return;
  }
  ShowCommand(Command{});
  startUp.MakeFolders();
}

// Each control set as the user would set it, so its handler runs and the
// command follows; the entries last, since a new object type drops them.
void FrmMain::ShowCommand(Command c) {
  txtObjName.setText(c.object);
  if (CboObjType.listIndex() != IndexOf(kObjectTypes, c.type))
    CboObjType.setListIndex(IndexOf(kObjectTypes, c.type));
  auto recursion = [&](forms::ComboBox& box, const auto& table, ObjectType type) {
    box.setListIndex(c.type == type ? std::max(IndexOf(table, c.recursion), 0) : 0);
  };
  recursion(cboRecursionFile, kFileRecursion, ObjectType::File);
  recursion(cboRecursionReg, kRegistryRecursion, ObjectType::Registry);
  txtOwner.setText(c.owner.name);
  chkOwner.setValue(c.owner.sid ? 1 : 0);
  txtGroup.setText(c.group.name);
  chkGroup.setValue(c.group.sid ? 1 : 0);
  cboInDacl.setListIndex(IndexOf(kProtections, c.daclProtection));
  cboInSacl.setListIndex(IndexOf(kProtections, c.saclProtection));
  cboClr.setListIndex(IndexOf(kListsOrNone, c.clear));
  cboRstchldrn.setListIndex(IndexOf(kListsOrNone, c.resetChildren));
  txtLogFile.setText(c.logFile);
  (c.silent ? optSilentYes : optSilentNo).select();
  chkIgnoreErr.setValue(c.continueOnErrors ? 1 : 0);
  command_.aces = std::move(c.aces);
  command_.trustees = std::move(c.trustees);
  command_.filters = std::move(c.filters);
  BuildIt();
}

void FrmMain::ShowHideOptions() {
  bool named = !txtObjName.text().empty() && CboObjType.listIndex() >= 0;
  fraOptions.setVisible(named);
  cmdSendIt.setVisible(named);
  cmdCurrent.setVisible(named);
  const ObjectType type = Picked(kObjectTypes, CboObjType.listIndex(), ObjectType::Share);
  cmdTreeReport.setVisible(named && (type == ObjectType::File || type == ObjectType::Registry));
  chkIgnoreErr.setVisible(named);
  fraBackupRestore.setVisible(named);
  cmdBrowse.setVisible(Picked(kObjectTypes, CboObjType.listIndex(), ObjectType::Share) == ObjectType::File);
}

// Nothing selected counts as the last type, as any other text would.
void FrmMain::SetObjType() {
  command_.type = Picked(kObjectTypes, CboObjType.listIndex(), ObjectType::Share);
  bool files = command_.type == ObjectType::File, keys = command_.type == ObjectType::Registry;
  FraRecursion.setVisible(files || keys);
  if (files || keys) {
    cboRecursionFile.setVisible(files);
    cboRecursionReg.setVisible(keys);
  }
  command_.recursion = ChosenRecursion();
}

// A recursion list keeps its choice while hidden; the object type says which counts.
Recursion FrmMain::ChosenRecursion() const {
  if (command_.type == ObjectType::File)
    return Picked(kFileRecursion, cboRecursionFile.listIndex(), Recursion::No);
  if (command_.type == ObjectType::Registry)
    return Picked(kRegistryRecursion, cboRecursionReg.listIndex(), Recursion::No);
  return Recursion::No;
}

// ACE entries are specific to an object type; trustees, filters and the
// other options stay.
void FrmMain::CboObjType_Click() {
  ShowHideOptions();
  command_.aces = {};
  SetObjType();
  BuildIt();
}

void FrmMain::txtObjName_Change() {
  command_.object = txtObjName.text();
  ShowHideOptions();
  BuildIt();
}

// A cancel empties the name, as the browser gives the empty text.
void FrmMain::cmdBrowse_Click() {
  txtObjName.setText(services_.browser.BrowseForFolder(this, "Select Folder"));
}

void FrmMain::cmdAce_Click() {
  aceEditor().Ask(command_.type, [this](AceEntry entry) {
    command_.aces.add(std::move(entry));
    BuildIt();
  });
}

void FrmMain::cmdTrst_Click() {
  trusteeEditor().Ask([this](TrusteeEntry entry) {
    command_.trustees.add(std::move(entry));
    BuildIt();
  });
}

template <class Entry>
void FrmMain::EditList(const char* kind, EntryList<Entry>& list) {
  listEditor().Edit(kind, ListText(list), list.count,
                    {.saved = [this, &list](std::string text) {
                       list.replace(std::move(text));
                       BuildIt();
                     },
                     .cleared = [this, &list] {
                       list = {};
                       BuildIt();
                     },
                     .counted = [this, &list](int count) {
                       list.count = count;
                       BuildIt();
                     }});
}

void FrmMain::cmdBackup_Click() {
  backupWindow().Open(command_, [this] { ShowStatus(StartedStatus("The command")); });
}

void FrmMain::cmdRestore_Click() {
  if (Restore(services_).RestoreIt(txtRestore, command_)) ShowStatus(StartedStatus("The command"));
}

void FrmMain::txtRestore_KeyPress(int KeyAscii) {
  if (KeyAscii == 13 && !txtRestore.text().empty()) cmdRestore_Click();
}

void FrmMain::cmdRestoreBrowse_Click() {
  backupChooser().Choose([this](const std::string& name) { txtRestore.setText(name); });
}

void FrmMain::cmdProgOptions_Click() {
  settingsWindow().Open([this](std::string location) { setAclFolder_ = std::move(location); });
}

void FrmMain::cmdSendIt_Click() {
  if (!services_.dialogs.confirm("Are you sure you want to run this command?", "Run Command?"))
    return;
  tabPages.setListIndex(1);
  runner_.Send(setAclFolder_, CallArguments(command_, services_.programFolder), ChangesSomething(command_),
               ReadSnapshotSettings(services_.registry));
}

void FrmMain::cmdRuns_Click() {
  runsWindow().Open({.whatChanged = [this](const JournalRun& run) {
                       runner_.WhatChanged(run, [this, run](std::optional<ListingChanges> changes) {
                         if (changes) return ShowChanges(run, *changes);
                         services_.dialogs.tell("The listings of this run could not be read.",
                                                "What Changed", forms::Icon::Critical);
                       });
                     },
                     .undo = [this](const JournalRun& run) { Undo(run); },
                     .useAgain = [this](const JournalRun& run) { UseAgain(run); }});
}

void FrmMain::ShowChanges(const JournalRun& run, const ListingChanges& changes) {
  changesWindow().Show(run, changes, [this](const JournalRun& chosen) { Undo(chosen); });
}

// A run's command back in the window as if typed, when the window can hold
// it whole; else nothing is filled, and the part it cannot hold is named.
void FrmMain::UseAgain(const JournalRun& run) {
  CallReading reading = ReadCall(run.commandLine, services_.programFolder);
  if (std::string unheld = reading.unheld(); !unheld.empty())
    return services_.dialogs.tell("This command cannot be used again as it stands: " + unheld + ".",
                                  "Use This Command Again", forms::Icon::Critical);
  ShowCommand(std::move(reading.command));
}

void FrmMain::Undo(const JournalRun& run) {
  tabPages.setListIndex(1);
  runner_.Undo(setAclFolder_, run, ReadSnapshotSettings(services_.registry));
}

// What the object's security is now: a listing, which changes nothing, so
// nothing is asked; the output keeps it as the tool wrote it, and a window
// shows it in words.
void FrmMain::cmdCurrent_Click() {
  tabPages.setListIndex(1);
  runner_.List(setAclFolder_, CurrentPermissionsOptions(command_),
               [this, object = command_.object, type = command_.type](const RunResult& listing) {
                 if (listing.outcome.kind != RunOutcome::Kind::Stopped)
                   permissionsWindow().ShowListing(object, type, listing);
               });
}

// The report lists the tree itself, in a window of its own; a finding's mend
// comes back here, to be seen and sent like any command.
void FrmMain::cmdTreeReport_Click() {
  treeReportWindow().Open(setAclFolder_, command_.object, command_.type,
                          [this](Command mend) { ShowCommand(std::move(mend)); });
}

void FrmMain::cmdStop_Click() { runner_.command().AskToStop(); }

bool FrmMain::Form_QueryUnload() { return runner_.command().QueryUnload(); }

RunView FrmMain::View() {
  return {.clearOutput = [this] { txtOutputs.setText(""); },
          .output = [this](const std::string& text) { txtOutputs.append(text); },
          .status = [this](std::string words) { ShowStatus(std::move(words)); },
          .lock = [this](bool locked) { LockWhileRunning(locked); },
          .timer = [this](int everyMs) { setTimer(everyMs); }};
}

namespace {

// What a user or automation could change or start with; read-only boxes stay
// readable, and tabs may be changed to read them.
bool TakesInput(const forms::Control& c) {
  using forms::Kind;
  if (c.kind() == Kind::TextBox) return !static_cast<const forms::TextBox&>(c).readOnly();
  return c.kind() != Kind::Form && c.kind() != Kind::Frame && c.kind() != Kind::Label &&
         c.kind() != Kind::TabStrip;
}

}  // namespace

// Nothing else starts while a command runs, by the user or by automation:
// Stop stands in Send It's place.
void FrmMain::LockWhileRunning(bool locked) {
  if (locked) {
    for (const auto& c : controls())
      if (TakesInput(*c) && c.get() != &cmdStop && c->enabled()) {
        c->setEnabled(false);
        disabled_.push_back(c.get());
      }
    sendShown_ = cmdSendIt.visible();
    cmdSendIt.setVisible(false);
    cmdStop.setVisible(true);
    return focus(&cmdStop);
  }
  cmdStop.setVisible(false);
  cmdSendIt.setVisible(sendShown_);
  for (forms::Control* c : disabled_) c->setEnabled(true);
  disabled_.clear();
  focus(&cmdSendIt);
}

void FrmMain::txtOutputs_Change() { txtOutputs.setSelStart(txtOutputs.length()); }
