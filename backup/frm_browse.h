#pragma once
// The backup-file chooser: the files of the backup folder, one picked by
// name into the main window's restore box.

#include "app/app.h"
#include "forms/form.h"

class FrmBrowse : public forms::Form {
 public:
  explicit FrmBrowse(App& app);

  forms::FileListBox& fleBrowse = add<forms::FileListBox>(nullptr, "fleBrowse", {0, 0, 2775, 2430});

 private:
  void Form_Activate();
  void fleBrowse_Click();

  App& app_;
};
