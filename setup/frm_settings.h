#pragma once
// The settings window: where SetACL.exe lives, typed or browsed, and saved.

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

 private:
  void cmdBrowse_Click();
  void cmdSave_Click();

  platform::Services& services_;
  std::function<void(std::string)> saved_;
};
