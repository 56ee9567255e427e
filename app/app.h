#pragma once
// The running program: the system services and the main window, which
// makes every other window when it first opens it.

#include <memory>

#include "forms/backend.h"
#include "main/frm_main.h"
#include "platform/services.h"

class App {
 public:
  // `backend` renders the windows; none when headless.
  explicit App(platform::Services services, forms::Backend* backend = nullptr);
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  platform::Services& services() { return services_; }
  FrmMain& frmMain() { return main_; }

 private:
  platform::Services services_;
  FrmMain main_;
};
