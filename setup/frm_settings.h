#pragma once
// The settings window: where SetACL.exe lives, typed or browsed, and saved.

#include "app/app.h"
#include "forms/form.h"

class FrmSettings : public forms::Form {
 public:
  explicit FrmSettings(App& app);

  forms::Frame& fraLocation =
      add<forms::Frame>(nullptr, "fraLocation", {120, 120, 4695, 1095}, "SetAcl.exe Location");
  forms::CommandButton& cmdBrowse = add<forms::CommandButton>(&fraLocation, "cmdBrowse",
      {120, 600, 975, 375}, "Browse", "This allows you to browse to the specified folder.");
  forms::TextBox& txtLocation =
      add<forms::TextBox>(&fraLocation, "txtLocation", {120, 240, 4335, 285});
  forms::CommandButton& cmdSave =
      add<forms::CommandButton>(&fraLocation, "cmdSave", {1200, 600, 975, 375}, "Save ");

 private:
  void cmdBrowse_Click();
  void cmdSave_Click();

  App& app_;
};
