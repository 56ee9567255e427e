// vorlane.exe: one UI thread, one message loop, the main window first.

#include <windows.h>
#include <objbase.h>

#include "app/app.h"
#include "forms/win32/win32_backend.h"
#include "forms/win32/wide.h"
#include "platform/win32/win32_clipboard.h"
#include "platform/win32/win32_dialogs.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_folder_browser.h"
#include "platform/win32/win32_object_tree.h"
#include "platform/win32/win32_processes.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_security.h"
#include "platform/win32/win32_shell.h"
#include "platform/win32/win32_workers.h"

namespace {

std::string ProgramFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  return win32::Utf8(path.substr(0, path.find_last_of(L'\\')));
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  int code = 0;
  {
    win32::Win32Backend backend(instance);
    win32::Win32Dialogs dialogs(backend);
    win32::Win32FolderBrowser browser(backend);
    win32::Win32Registry registry;
    win32::Win32Files files;
    win32::Win32Processes processes;
    win32::Win32Shell shell;
    win32::Win32Security security;
    win32::Win32Clipboard clipboard;
    // The workers end (and wait for their work) before the services they use go.
    win32::Win32ObjectTree tree;
    win32::Win32Workers workers;
    App app({dialogs, browser, registry, files, processes, shell, security, clipboard, workers,
             tree, ProgramFolder()},
            &backend);
    app.frmMain().show();
    // Start-up may end the program before the window ever shows.
    code = app.frmMain().unloaded() ? 1 : backend.run();
  }
  CoUninitialize();
  return code;
}
