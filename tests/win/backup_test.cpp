// Backup and restore under wine: the real windows, the real shell and the
// stand-in SetACL.exe in a program folder whose path holds a blank.

#include <windows.h>
#include <gtest/gtest.h>

#include <fstream>

#include "backup/frm_backup.h"
#include "backup/frm_browse.h"
#include "forms/win32/win32_backend.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_processes.h"
#include "platform/win32/win32_shell.h"
#include "tests/native/fakes.h"
#include "tests/win/child_program.h"
#include "tests/win/dialog_checks.h"
#include "tests/win/native_window.h"

namespace fs = std::filesystem;
using forms::Answer;
using forms::Buttons;
using forms::Icon;
using native::Find;
using native::Text;

namespace {

// Long enough for wine to open a console and start the stand-in in it.
constexpr int kStartMs = 20000;

class BackupAndRestore : public ::testing::Test {
 protected:
  BackupAndRestore() {
    fs::create_directories(program);
    fs::create_directories(data);
    fs::copy_file(native::BuildFolder() / L"SetACL.exe", program / L"SetACL.exe");
    registry.keys["SOFTWARE\\Vorlane"]["Location"].text = Utf8(program) + "\\" + '\0';
    main.show();  // start-up makes the backup folder
  }
  // The stand-ins hold their console windows open for a while.
  ~BackupAndRestore() override { native::EndProgramsIn(program); }

  static std::string Utf8(const fs::path& path) { return win32::Utf8(path.wstring()); }
  std::string journal() const { return native::FileText(program / L"SetACL-journal.txt"); }
  HWND at(const std::string& name) {
    HWND hwnd = Find(top, name);
    EXPECT_NE(hwnd, nullptr) << name;
    return hwnd;
  }

  native::TempFolder temp{L"Vorlane backup"};
  const fs::path program = temp.path() / L"Program Files";
  const fs::path data = temp.path() / L"Data";
  const fs::path backups = program / L"Backups";
  ScriptedDialogs dialogs;
  FakeFolderBrowser browser;
  FakeRegistry registry;
  win32::Win32Files files;
  win32::Win32Processes processes;
  win32::Win32Shell shell;
  FakeSecurity security;
  FakeClipboard clipboard;
  FakeWorkers workers;
  FakeObjectTree tree;
  win32::Win32Backend backend{GetModuleHandleW(nullptr)};
  App app{{dialogs, browser, registry, files, processes, shell, security, clipboard, workers, tree,
           Utf8(program)},
          &backend};
  FrmMain& main = app.frmMain();
  HWND top = nullptr;
};

}  // namespace

TEST_F(BackupAndRestore, ABackupIsListedPickedAndRestored) {
  top = backend.window(&main);
  ASSERT_TRUE(fs::is_directory(backups));
  native::Type(at("txtObjName"), Utf8(data));

  FrmBackup& backup = main.backupWindow();
  bool drove = false;
  native::WhileModal([&] {
    HWND dialog = backend.window(&backup);
    native::ExpectModalDialog(dialog, top);
    EXPECT_EQ(Text(dialog), "Backup");
    EXPECT_EQ(Text(Find(dialog, "cboFormat")), "SDDL");
    native::Click(Find(dialog, "chkD"));
    native::Click(Find(dialog, "chkO"));
    native::Type(Find(dialog, "txtFileName"), "data.txt");
    dialogs.expect({"Are you sure you want to backup to file data.txt", {}, Buttons::YesNo,
                    Icon::Critical},
                   Answer::Yes);
    native::Click(Find(dialog, "cmdBackup"));
    drove = true;
    if (backup.visible()) backup.hide();
  });
  native::Click(at("cmdBackup"));
  ASSERT_TRUE(drove);
  EXPECT_FALSE(IsWindowVisible(backend.window(&backup)));
  const fs::path file = backups / L"data.txt";
  const std::string quotedFile = native::Quoted(file);
  ASSERT_TRUE(
      native::WaitFor([&] { return journal().find("list: ") != std::string::npos; }, kStartMs))
      << journal();
  EXPECT_NE(journal().find(std::string(" -on ") + native::Quoted(data) +
                           " -ot file -actn list -lst \"f:sddl;w:d,o\" -bckp " + quotedFile + "\r\n"),
            std::string::npos)
      << journal();
  EXPECT_TRUE(native::FileText(file).starts_with(native::Quoted(data) + ",1,\"O:"))
      << native::FileText(file);

  // Beside it, what the chooser leaves out: a hidden file and a folder.
  std::ofstream(backups / L"hidden.txt") << "x";
  SetFileAttributesW((backups / L"hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
  fs::create_directory(backups / L"old");

  FrmBrowse& chooser = main.backupChooser();
  drove = false;
  native::WhileModal([&] {
    HWND dialog = backend.window(&chooser);
    native::ExpectModalDialog(dialog, top);
    EXPECT_EQ(Text(dialog), "Choose File");
    HWND list = Find(dialog, "fleBrowse");
    EXPECT_EQ(native::Items(list), std::vector<std::string>{"data.txt"});
    native::ClickItem(list, 0);
    drove = true;
    if (chooser.visible()) chooser.hide();
  });
  native::Click(at("cmdRestoreBrowse"));
  ASSERT_TRUE(drove);
  EXPECT_EQ(Text(at("txtRestore")), "data.txt");
  EXPECT_FALSE(IsWindowVisible(backend.window(&chooser)));
  EXPECT_EQ(journal().find("-actn restore"), std::string::npos);  // a pick restores nothing

  dialogs.expect({"Are you sure you want to restore file data.txt", "Restore data.txt?",
                  Buttons::YesNo, Icon::Critical},
                 Answer::Yes);
  native::Click(at("cmdRestore"));
  ASSERT_TRUE(native::WaitFor([&] { return journal().find("restore: ") != std::string::npos; },
                              kStartMs))
      << journal();
  EXPECT_NE(journal().find(std::string(" -on ") + native::Quoted(data) + " -ot file -actn restore -bckp " +
                           quotedFile + "\r\nrestore: 1 object from " + quotedFile + " (-on is not used)"),
            std::string::npos)
      << journal();
  EXPECT_TRUE(dialogs.allShown());
}

TEST_F(BackupAndRestore, WhatCannotStartIsToldAndAMissingFolderReported) {
  top = backend.window(&main);
  fs::remove(program / L"SetACL.exe");
  native::Type(at("txtObjName"), Utf8(data));
  native::Type(at("txtRestore"), "data.txt");
  dialogs.expect({"Are you sure you want to restore file data.txt", "Restore data.txt?",
                  Buttons::YesNo, Icon::Critical},
                 Answer::Yes)
      .expect({{}, {}, Buttons::Ok, Icon::Critical}, Answer::Ok);
  native::Click(at("cmdRestore"));
  ASSERT_TRUE(dialogs.allShown());
  EXPECT_TRUE(dialogs.shown.back().prompt.starts_with(
                  std::string("The command could not be started:\r\n") +
                  native::Quoted(program / L"SetACL.exe") + " -on "))
      << dialogs.shown.back().prompt;

  fs::remove_all(backups);
  dialogs.expect({std::string("3\r\n") + Utf8(backups), {}}, Answer::Ok);
  FrmBrowse& chooser = main.backupChooser();
  native::WhileModal([&] {
    EXPECT_TRUE(IsWindowVisible(backend.window(&chooser)));  // it stays open
    EXPECT_TRUE(native::Items(Find(backend.window(&chooser), "fleBrowse")).empty());
    chooser.hide();
  });
  native::Click(at("cmdRestoreBrowse"));
  EXPECT_TRUE(dialogs.allShown());
}
