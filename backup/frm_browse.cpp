#include "backup/frm_browse.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "forms/dialogs.h"
#include "setacl/call_string.h"
#include "platform/files.h"

namespace {

// Alphabetical, as Explorer lists them: case does not count.
bool Before(const std::string& a, const std::string& b) {
  return std::ranges::lexicographical_compare(a, b, [](unsigned char x, unsigned char y) {
    return std::tolower(x) < std::tolower(y);
  });
}

}  // namespace

FrmBrowse::FrmBrowse(platform::Services& services)
    : Form("frmBrowse", "Choose File", 2790, 2460), services_(services) {
  onActivate = [this] { Form_Activate(); };
  fleBrowse.onClick = [this] { fleBrowse_Click(); };
}

void FrmBrowse::Choose(std::function<void(const std::string& name)> chosen) {
  chosen_ = std::move(chosen);
  showModal();
}

// Every showing lists the folder afresh; a folder that cannot be listed is
// told, and the list keeps what it held.
void FrmBrowse::Form_Activate() {
  const std::string folder = BackupFolder(services_.programFolder);
  std::vector<std::string> names;
  if (long error = services_.files.ListFiles(folder, names)) {
    services_.dialogs.tell(std::to_string(error) + "\r\n" + folder);
    return;
  }
  std::ranges::sort(names, Before);
  fleBrowse.setItems(std::move(names));
}

void FrmBrowse::fleBrowse_Click() {
  hide();
  if (chosen_) chosen_(fleBrowse.text());
}
