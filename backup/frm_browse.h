#pragma once
// The backup-file chooser: the files of the backup folder, one picked by
// name and handed back to the window that opened it.

#include <functional>
#include <string>

#include "forms/form.h"
#include "platform/services.h"

class FrmBrowse : public forms::Form {
 public:
  explicit FrmBrowse(platform::Services& services);

  // Shows the backup folder's files; a pick is handed to `chosen`.
  void Choose(std::function<void(const std::string& name)> chosen);

  forms::FileListBox& fleBrowse = add<forms::FileListBox>(nullptr, "fleBrowse", {0, 0, 2775, 2430});

 private:
  void Form_Activate();
  void fleBrowse_Click();

  platform::Services& services_;
  std::function<void(const std::string&)> chosen_;
};
