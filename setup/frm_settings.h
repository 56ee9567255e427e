#pragma once
// The settings window: where SetACL.exe lives, typed or browsed, and saved;
// and the snapshots before each run, saved as they are changed.

#include <functional>
#include <string>

#include "forms/form.h"
#include "platform/services.h"

class FrmSettings : public forms::Form {
 public:
  explicit FrmSettings(platform::Services& services);

  // Shows the window; each location saved is handed to `saved` as the
  // registry gives it back.
  void Open(std::function<void(std::string location)> saved);

  forms::Frame& fraLocation =
      add<forms::Frame>(nullptr, "fraLocation", {120, 120, 4695, 1095}, "SetAcl.exe &Location");
  forms::CommandButton& cmdBrowse = add<forms::CommandButton>(&fraLocation, "cmdBrowse",
      {120, 600, 975, 375}, "Browse", "This allows you to browse to the specified folder.");
  forms::TextBox& txtLocation =
      add<forms::TextBox>(&fraLocation, "txtLocation", {120, 240, 4335, 285});
  forms::CommandButton& cmdSave =
      add<forms::CommandButton>(&fraLocation, "cmdSave", {1200, 600, 975, 375}, "Save ");

  forms::Frame& fraSnapshots =
      add<forms::Frame>(nullptr, "fraSnapshots", {120, 1320, 4695, 1695}, "Snapshots");
  forms::CheckBox& chkSnapshots = add<forms::CheckBox>(&fraSnapshots, "chkSnapshots",
      {120, 240, 4455, 255}, "Take a &snapshot before each run",
      "Before a command changes anything, its objects' security is saved, so the run can be undone.");
  forms::Label& lblKeepRuns =
      add<forms::Label>(&fraSnapshots, "lblKeepRuns", {120, 630, 1335, 255}, "&Keep the last");
  forms::TextBox& txtKeepRuns =
      add<forms::TextBox>(&fraSnapshots, "txtKeepRuns", {1500, 600, 855, 285});
  forms::Label& lblRunsUnit = add<forms::Label>(&fraSnapshots, "lblRunsUnit", {2460, 630, 855, 255}, "runs");
  forms::Label& lblKeepMegabytes =
      add<forms::Label>(&fraSnapshots, "lblKeepMegabytes", {120, 990, 1335, 255}, "&Use at most");
  forms::TextBox& txtKeepMegabytes =
      add<forms::TextBox>(&fraSnapshots, "txtKeepMegabytes", {1500, 960, 855, 285});
  forms::Label& lblMegabytesUnit =
      add<forms::Label>(&fraSnapshots, "lblMegabytesUnit", {2460, 990, 855, 255}, "MB");
  // Whether the snapshot settings were saved.
  forms::Label& lblSnapshotNote =
      add<forms::Label>(&fraSnapshots, "lblSnapshotNote", {120, 1350, 4455, 255});

 private:
  void cmdBrowse_Click();
  void cmdSave_Click();
  void SaveSnapshotSettings();

  platform::Services& services_;
  std::function<void(std::string)> saved_;
};
