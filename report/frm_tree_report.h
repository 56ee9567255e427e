#pragma once
// "Tree Report": every object below a folder or key that departs from what
// its parent gives, why, in words, with the entries behind it; a way to
// mend each (filled into the main window, to be sent with its snapshot and
// undo); what drifted since an earlier listing; an account's places; and an
// export for an auditor.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "forms/form.h"
#include "platform/services.h"
#include "runner/command_run.h"
#include "runner/tree_analysis.h"
#include "runner/tree_scan.h"
#include "setacl/command.h"

class FrmTreeReport : public forms::Form {
 public:
  explicit FrmTreeReport(platform::Services& services);
  ~FrmTreeReport() override;

  // `mend` hears the command that makes an object hold what its parent gives.
  void Open(const std::string& folder, const std::string& object, ObjectType type,
            std::function<void(Command)> mend);

  // The rows the table shows: departures, or a row for the objects set
  // before automatic inheritance, which are many and alike.
  struct Row {
    const Departure* departure = nullptr;  // none: the row of the group
    std::vector<std::string> cells;
  };
  const std::vector<Row>& shown() const { return rows_; }

 private:
  using Label = forms::Label;
  using Button = forms::CommandButton;

  platform::Services& services_;
  CommandRun run_;
  TreeScan scan_;
  std::string folder_, object_;
  ObjectType type_ = ObjectType::File;
  std::function<void(Command)> mend_;
  std::optional<TreeReport> report_;
  std::string listing_;  // the file the last report read
  std::string listedAt_;
  std::vector<Row> rows_;
  int sortedBy_ = -1;
  bool descending_ = false;

 public:
  Label& lblObject = add<Label>(nullptr, "lblObject", {120, 120, 11760, 255});
  Label& lblSummary = add<Label>(nullptr, "lblSummary", {120, 420, 11760, 255});
  Label& lblScope = add<Label>(nullptr, "lblScope", {120, 720, 11760, 255});
  Label& lblReason = add<Label>(nullptr, "lblReason", {120, 1110, 1095, 255}, "&Reason");
  forms::ComboBox& cboReason = add<forms::ComboBox>(nullptr, "cboReason", {1260, 1080, 4335, 315}, "",
      "This shows only the objects that depart for this reason.");
  forms::ListView& lvwDepartures =
      add<forms::ListView>(nullptr, "lvwDepartures", {120, 1500, 11760, 3480});
  Label& lblAccount = add<Label>(nullptr, "lblAccount", {120, 5130, 1095, 255}, "A&ccount");
  forms::TextBox& txtAccount = add<forms::TextBox>(nullptr, "txtAccount", {1260, 5100, 3495, 285}, "",
      "An account's name or SID.");
  Button& cmdWhere = add<Button>(nullptr, "cmdWhere", {4860, 5070, 3615, 345},
      "&Where does this account appear?", "This lists the objects whose DACL names the account.");
  forms::TextBox& txtNotes = add<forms::TextBox>(nullptr, "txtNotes", {120, 5520, 11760, 1380});
  Label& lblStatus = add<Label>(nullptr, "lblStatus", {120, 7020, 11760, 255});
  Button& cmdMend = add<Button>(nullptr, "cmdMend", {120, 7380, 1215, 375}, "&Mend",
      "This fills the main window with what makes the selected object hold what its parent gives.");
  Button& cmdAgain = add<Button>(nullptr, "cmdAgain", {1440, 7380, 1455, 375}, "Report &Again",
      "This lists the tree anew.");
  Button& cmdCompare = add<Button>(nullptr, "cmdCompare", {3000, 7380, 1815, 375}, "Compare W&ith...",
      "This shows what changed since an earlier listing of the tree.");
  Button& cmdExport = add<Button>(nullptr, "cmdExport", {4920, 7380, 1215, 375}, "E&xport",
      "This saves the report as CSV and HTML beside its listing.");
  Button& cmdStop = add<Button>(nullptr, "cmdStop", {6240, 7380, 1215, 375}, "Stop",
      "This stops the listing.");
  Button& cmdClose = add<Button>(nullptr, "cmdClose", {10665, 7380, 1215, 375}, "Close");

 private:
  RunView View();
  void Report();
  void Listed(TreeScan::Done done);
  void ShowRows();
  void cmdMend_Click();
  void cmdCompare_Click();
  void cmdExport_Click();
  void cmdWhere_Click();
  void lvwDepartures_ColumnClick(int column);
  std::string TypedPath(const std::string& listed) const;
};

// The command that makes a departing object hold exactly what its parent
// gives: its DACL inheriting, and its own entries cleared where it has any.
Command MendOf(const Departure& departure, const std::string& typedPath, ObjectType type);
