#include "report/frm_tree_report.h"

#include <algorithm>
#include <chrono>

#include "forms/dialogs.h"
#include "platform/files.h"
#include "platform/processes.h"
#include "runner/listing_changes.h"
#include "runner/run_status.h"
#include "runner/tree_export.h"
#include "runner/undoable_run.h"
#include "setacl/arguments.h"
#include "setacl/call_string.h"

namespace {

constexpr const char* kEveryReason = "Every reason";
constexpr int kLastReason = static_cast<int>(Departs::ParentUnreadable);
// Places of an account listed before the rest is only counted.
constexpr std::size_t kPlacesShown = 1000;

bool OnlyBeforeAutoInheritance(const Departure& d) {
  return d.reasons == std::vector<Departs>{Departs::BeforeAutoInheritance};
}

}  // namespace

FrmTreeReport::FrmTreeReport(platform::Services& services)
    : Form("frmTreeReport", "Tree Report", 12000, 7875),
      services_(services),
      run_(services.processes, services.dialogs, View()),
      scan_(services, run_,
            [&processes = services.processes](std::string_view ansi) { return processes.FromAnsi(ansi); }) {
  std::vector<std::string> reasons{kEveryReason};
  for (int i = 0; i <= kLastReason; ++i) reasons.push_back(DepartsWords(static_cast<Departs>(i)));
  cboReason.setItems(std::move(reasons));
  lblScope.setText(kTreeScope);
  txtNotes.setMultiLine(true);
  txtNotes.setReadOnly(true);
  lvwDepartures.setStretch(true, true);
  cmdStop.setVisible(false);
  setCancelButton(&cmdClose);
  cboReason.onClick = [this] { ShowRows(); };
  lvwDepartures.onColumnClick = [this](int column) { lvwDepartures_ColumnClick(column); };
  cmdMend.onClick = [this] { cmdMend_Click(); };
  cmdAgain.onClick = [this] { Report(); };
  cmdCompare.onClick = [this] { cmdCompare_Click(); };
  cmdExport.onClick = [this] { cmdExport_Click(); };
  cmdWhere.onClick = [this] { cmdWhere_Click(); };
  cmdStop.onClick = [this] { run_.AskToStop(); };
  cmdClose.onClick = [this] {
    if (!run_.QueryUnload()) hide();
  };
  onTimer = [this] {
    run_.ShowProgress();
    scan_.Look();
  };
  onQueryUnload = [this] { return run_.QueryUnload(); };
}

FrmTreeReport::~FrmTreeReport() = default;

void FrmTreeReport::Open(const std::string& folder, const std::string& object, ObjectType type,
                         std::function<void(Command)> mend) {
  folder_ = folder;
  object_ = object;
  type_ = type;
  mend_ = std::move(mend);
  lblObject.setText("Object: " + object);
  cboReason.setListIndex(0);
  Report();
  showModal();
}

// The window's run: its progress said in objects, nothing but Stop acting.
RunView FrmTreeReport::View() {
  return {.clearOutput = [] {},
          .output = [](const std::string&) {},
          .status = [this](std::string words) {
            if (!run_.running()) lblStatus.setText(std::move(words));
          },
          .lock = [this](bool locked) {
            for (forms::Control* c : std::initializer_list<forms::Control*>{
                     &cboReason, &lvwDepartures, &txtAccount, &cmdWhere, &cmdMend, &cmdAgain, &cmdCompare,
                     &cmdExport})
              c->setEnabled(!locked);
            cmdStop.setVisible(locked);
          },
          .timer = [this](int everyMs) { setTimer(everyMs); }};
}

// The listing goes into a file of its own in Backups, beside earlier ones.
void FrmTreeReport::Report() {
  if (run_.running()) return;
  scan_.Drop();  // an earlier tree's last read, or its comparison, is no news of this one
  report_.reset();
  rows_.clear();
  lvwDepartures.setTable({}, {});
  txtNotes.setText("");
  lblSummary.setText("Listing the tree...");
  const auto now = std::chrono::system_clock::now();  // the listing's time, in its name and its report
  listedAt_ = LocalTime(now, "%Y-%m-%d %H:%M:%S");
  const std::string base = BackupFolder(services_.programFolder) + "\\Tree " + LocalTime(now, "%Y-%m-%d %H.%M.%S");
  std::string file = base + ".txt";
  for (int n = 2; services_.files.FileExists(file); ++n) file = base + " (" + std::to_string(n) + ").txt";
  const bool started = scan_.Start(
      folder_, object_, type_, file,
      [this](std::uint64_t objects) { lblStatus.setText("Listing the tree: " + Grouped(objects) + " objects read"); },
      [this](TreeScan::Done done) { Listed(std::move(done)); });
  if (!started) lblSummary.setText("The tree was not listed.");
}

void FrmTreeReport::Listed(TreeScan::Done done) {
  listing_ = done.file;
  const RunResult& listing = done.listing;
  std::vector<std::string> problems = ListingProblems(listing.output);
  if (!done.report || (done.report->rootPath.empty() && !listing.outcome.succeeded())) {
    lblSummary.setText("The tree could not be listed (" + OutcomeWords(listing.outcome) + ").");
    txtNotes.setText("SetACL.exe wrote:\r\n" + listing.output);
    return;
  }
  report_ = std::move(done.report);
  std::string summary = TreeSummary(*report_);
  if (!listing.outcome.succeeded())
    summary += "; the listing did not finish (" + OutcomeWords(listing.outcome) + "): what it reached only";
  lblSummary.setText(summary);
  lblStatus.setText("The listing: " + listing_ + " (" + OutcomeWords(listing.outcome) + ")");
  if (report_->rootPath != object_ && !report_->rootPath.empty())
    lblObject.setText("Object: " + object_ + ", listed as " + report_->rootPath);
  std::string notes;
  for (const auto& [sid, objects] : report_->unknownAccounts)
    notes += "Unknown account " + sid + ": no account has this SID now; " + Grouped(objects) +
             (objects == 1 ? " object names it.\r\n" : " objects name it.\r\n");
  for (const std::string& problem : problems) notes += "SetACL.exe: " + problem + "\r\n";
  txtNotes.setText(notes);
  ShowRows();
}

// Every departure, or those of one reason; the objects set before automatic
// inheritance and departing for nothing else are one row until chosen.
void FrmTreeReport::ShowRows() {
  rows_.clear();
  if (report_) {
    const int chosen = cboReason.listIndex() - 1;
    std::uint64_t grouped = 0;
    for (const Departure& d : report_->departures) {
      if (chosen < 0 && OnlyBeforeAutoInheritance(d)) {
        ++grouped;
        continue;
      }
      if (chosen >= 0 && std::ranges::find(d.reasons, static_cast<Departs>(chosen)) == d.reasons.end()) continue;
      rows_.push_back({&d, {d.path, ReasonsWords(d), Joined(d.entries, "; ")}});
    }
    if (sortedBy_ >= 0)
      std::ranges::stable_sort(rows_, [this](const Row& a, const Row& b) {
        const std::string x = Lower(a.cells[sortedBy_]), y = Lower(b.cells[sortedBy_]);
        return descending_ ? y < x : x < y;
      });
    // The group stays last, whatever the order.
    if (grouped)
      rows_.push_back({nullptr,
                       {"(" + Grouped(grouped) + (grouped == 1 ? " object)" : " objects)"),
                        DepartsWords(Departs::BeforeAutoInheritance),
                        "Choose this reason above to list them, each with its entries."}});
  }
  std::vector<std::vector<std::string>> cells;
  cells.reserve(rows_.size());
  for (const Row& row : rows_) cells.push_back(row.cells);
  lvwDepartures.setTable({"Path", "Reasons", "Entries"}, std::move(cells));
}

void FrmTreeReport::lvwDepartures_ColumnClick(int column) {
  descending_ = sortedBy_ == column && !descending_;
  sortedBy_ = column;
  ShowRows();
}

std::string FrmTreeReport::TypedPath(const std::string& listed) const {
  const std::string& root = report_ ? report_->rootPath : std::string();
  if (root.empty() || !Lower(listed).starts_with(Lower(root))) return listed;
  std::string below = listed.substr(root.size());
  if (below.starts_with('\\') && object_.ends_with('\\')) below.erase(0, 1);
  return object_ + below;
}

void FrmTreeReport::cmdMend_Click() {
  const int row = lvwDepartures.selectedRow();
  if (row < 0 || row >= static_cast<int>(rows_.size())) {
    return services_.dialogs.tell("Choose an object to mend.", "Mend");
  }
  const Departure* d = rows_[row].departure;
  if (!d)
    return services_.dialogs.tell("Choose the reason \"" + DepartsWords(Departs::BeforeAutoInheritance) +
                                      "\" to list these objects, then one of them to mend.",
                                  "Mend");
  if (std::ranges::find(d->reasons, Departs::Unreadable) != d->reasons.end())
    return services_.dialogs.tell("This object's security could not be read, so what would mend it is not "
                                  "known.",
                                  "Mend");
  Command mend = MendOf(*d, TypedPath(d->path), type_);
  hide();
  if (mend_) mend_(std::move(mend));
}

void FrmTreeReport::cmdCompare_Click() {
  if (!report_) return;
  const std::string backups = BackupFolder(services_.programFolder) + "\\";
  std::string name = services_.dialogs.input(
      "Compare with which earlier listing of this tree? A file of the Backups folder (a report's "
      "listing), or Snapshots\\ and a run's snapshot.",
      "Compare With", "");
  if (name.empty()) return;
  const std::string earlier = backups + name;
  txtNotes.setText("Comparing with " + earlier + "...");
  scan_.Compare(earlier, listing_, [this, earlier](std::optional<ListingChanges> changes) {
    if (!changes) return txtNotes.setText("The listing " + earlier + " could not be read.");
    txtNotes.setText("Since " + earlier + ": " + ChangesSummary(*changes) + "\r\n" + ChangesText(*changes));
  });
}

void FrmTreeReport::cmdExport_Click() {
  if (!report_) return;
  const std::string base = listing_.substr(0, listing_.size() - std::string(".txt").size());
  const std::string csv = base + ".csv", html = base + ".html";
  long error = services_.files.WriteText(csv, TreeCsv(*report_));
  if (!error) error = services_.files.WriteText(html, TreeHtml(*report_, object_, listedAt_));
  if (error)
    return services_.dialogs.tell("The report could not be saved (error " + std::to_string(error) + ").",
                                  "Export", forms::Icon::Critical);
  services_.dialogs.tell("Saved beside its listing:\r\n" + csv + "\r\n" + html, "Export",
                         forms::Icon::Information);
}

void FrmTreeReport::cmdWhere_Click() {
  const std::string account = txtAccount.text();
  if (!report_ || account.empty()) return;
  txtNotes.setText("Looking for " + account + "...");
  scan_.Where(listing_, account, [this, account](std::optional<std::vector<std::string>> found) {
    if (!found) return txtNotes.setText("The listing " + listing_ + " could not be read.");
    std::string text = account + " appears in the DACL of " + Grouped(found->size()) +
                       (found->size() == 1 ? " object" : " objects") + (found->empty() ? "." : ":") + "\r\n";
    for (std::size_t i = 0; i < found->size() && i < kPlacesShown; ++i) text += (*found)[i] + "\r\n";
    if (found->size() > kPlacesShown) text += "and " + Grouped(found->size() - kPlacesShown) + " more\r\n";
    txtNotes.setText(text);
  });
}

Command MendOf(const Departure& departure, const std::string& typedPath, ObjectType type) {
  Command mend;
  mend.object = typedPath;
  mend.type = type;
  mend.daclProtection = Protection::InheritsParent;
  if (departure.ownEntries) mend.clear = AclLists::Dacl;
  return mend;
}
