#include "backup/frm_browse.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "forms/dialogs.h"
#include "main/frm_main.h"
#include "platform/files.h"

namespace {

// Alphabetical, as Explorer lists them: case does not count.
bool Before(const std::string& a, const std::string& b) {
  return std::ranges::lexicographical_compare(a, b, [](unsigned char x, unsigned char y) {
    return std::tolower(x) < std::tolower(y);
  });
}

}  // namespace

FrmBrowse::FrmBrowse(App& app) : Form("frmBrowse", "Choose File", 2790, 2460), app_(app) {
  onActivate = [this] { Form_Activate(); };
  fleBrowse.onClick = [this] { fleBrowse_Click(); };
}

void FrmBrowse::Form_Activate() {
  if (app_.state.BrowsePurpose != "Restore") return;
  const std::string folder = app_.backupFolder();
  std::vector<std::string> names;
  if (long error = app_.files().ListFiles(folder, names)) {
    app_.dialogs().tell(std::to_string(error) + "\r\n" + folder);
    return;
  }
  std::ranges::sort(names, Before);
  fleBrowse.setItems(std::move(names));
}

void FrmBrowse::fleBrowse_Click() {
  if (app_.state.BrowsePurpose == "Restore") app_.frmMain().txtRestore.setText(fleBrowse.text());
  hide();
}
