#pragma once
// The running program: the platform services, the command state and the one
// instance of each window, created the first time it is used.

#include <memory>
#include <string>

#include "main/command_state.h"

namespace forms {
class Backend;
class Dialogs;
}  // namespace forms
namespace platform {
class FileSystem;
class FolderBrowser;
class Processes;
class Registry;
class Shell;
}  // namespace platform

class FrmAce;
class FrmBackup;
class FrmBrowse;
class FrmChange;
class FrmMain;
class FrmSettings;
class FrmTrustee;

struct Platform {
  forms::Dialogs& dialogs;
  platform::FolderBrowser& browser;
  platform::Registry& registry;
  platform::FileSystem& files;
  platform::Processes& processes;
  platform::Shell& shell;
  // The folder of the program's executable, without a trailing backslash.
  std::string programFolder;
  // Renders the windows; none when headless.
  forms::Backend* backend = nullptr;
};

class App {
 public:
  explicit App(Platform platform);
  ~App();
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  CommandState state;
  forms::Dialogs& dialogs() const { return platform_.dialogs; }
  platform::FolderBrowser& browser() const { return platform_.browser; }
  platform::Registry& registry() const { return platform_.registry; }
  platform::FileSystem& files() const { return platform_.files; }
  platform::Processes& processes() const { return platform_.processes; }
  platform::Shell& shell() const { return platform_.shell; }
  const std::string& programFolder() const { return platform_.programFolder; }
  // Where backups are written and restored from.
  std::string backupFolder() const { return platform_.programFolder + "\\Backups"; }

  FrmMain& frmMain();
  FrmSettings& frmSettings();
  FrmAce& frmAce();
  FrmTrustee& frmTrustee();
  FrmChange& frmChange();
  FrmBackup& frmBackup();
  FrmBrowse& frmBrowse();

  // Ends the program at once: the main window unloads without showing.
  void End();
  bool ended() const { return ended_; }

 private:
  template <class F>
  F& instance(std::unique_ptr<F>& slot);

  Platform platform_;
  std::unique_ptr<FrmMain> main_;
  std::unique_ptr<FrmSettings> settings_;
  std::unique_ptr<FrmAce> ace_;
  std::unique_ptr<FrmTrustee> trustee_;
  std::unique_ptr<FrmChange> change_;
  std::unique_ptr<FrmBackup> backup_;
  std::unique_ptr<FrmBrowse> browse_;
  bool ended_ = false;
};
