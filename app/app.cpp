#include "app/app.h"

#include "backup/frm_backup.h"
#include "backup/frm_browse.h"
#include "editors/frm_ace.h"
#include "editors/frm_change.h"
#include "editors/frm_trustee.h"
#include "main/frm_main.h"
#include "setup/frm_settings.h"

App::App(Platform platform) : platform_(std::move(platform)) {}

App::~App() = default;

template <class F>
F& App::instance(std::unique_ptr<F>& slot) {
  if (!slot || slot->unloaded()) {
    slot.reset();
    slot = std::make_unique<F>(*this);
    slot->attach(platform_.backend);
  }
  return *slot;
}

FrmMain& App::frmMain() { return instance(main_); }
FrmSettings& App::frmSettings() { return instance(settings_); }
FrmAce& App::frmAce() { return instance(ace_); }
FrmTrustee& App::frmTrustee() { return instance(trustee_); }
FrmChange& App::frmChange() { return instance(change_); }
FrmBackup& App::frmBackup() { return instance(backup_); }
FrmBrowse& App::frmBrowse() { return instance(browse_); }

void App::End() {
  ended_ = true;
  if (main_) main_->unload();
}
