// Backup and restore under wine: real windows and shell, the stand-in SetACL.exe in a folder with a blank.

#include <windows.h>
#include <gtest/gtest.h>

#include <fstream>

#include <aclapi.h>
#include <commctrl.h>
#include <sddl.h>

#include "backup/frm_backup.h"
#include "backup/frm_browse.h"
#include "backup/frm_changes.h"
#include "editors/frm_change.h"
#include "report/frm_tree_report.h"
#include "forms/win32/win32_backend.h"
#include "forms/win32/wide.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_processes.h"
#include "platform/win32/win32_security.h"
#include "platform/win32/win32_shell.h"
#include "platform/win32/win32_workers.h"
#include "tests/native/fakes.h"
#include "tests/win/child_program.h"
#include "tests/win/dialog_checks.h"
#include "tests/win/native_window.h"

namespace fs = std::filesystem;
using forms::Answer;
using forms::Buttons;
using forms::Icon;
using native::Find;
using native::KeySecurity;
using native::MakeKey;
using native::Text;

namespace {

// Long enough for wine to open a console and start the stand-in in it.
constexpr int kStartMs = 20000;
constexpr int kRunMs = 60000;

const forms::Message kRestore{"Are you sure you want to restore file data.txt", "Restore data.txt?",
                              Buttons::YesNo, Icon::Critical};

class BackupAndRestore : public ::testing::Test {
 protected:
  BackupAndRestore() {
    fs::create_directories(program);
    fs::create_directories(data);
    fs::copy_file(native::BuildFolder() / L"SetACL.exe", program / L"SetACL.exe");
    registry.keys["SOFTWARE\\Vorlane"]["Location"].text = Utf8(program) + "\\" + '\0';
    main.show();  // start-up makes the backup folder
    top = backend.window(&main);
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
  // Send It, said yes to; whether the run ended having changed something.
  bool sent() {
    dialogs.expect({"Are you sure you want to run this command?", "Run Command?", Buttons::YesNo}, Answer::Yes);
    native::Click(at("cmdSendIt"));
    return native::WaitFor([&] { return IsWindowEnabled(at("cmdSendIt")) &&
                                        Text(at("lblStatus")).find("changed") != std::string::npos; }, kRunMs);
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
  win32::Win32Security security;
  FakeClipboard clipboard;
  FakeObjectTree tree;
  win32::Win32Workers workers;
  win32::Win32Backend backend{GetModuleHandleW(nullptr)};
  App app{{dialogs, browser, registry, files, processes, shell, security, clipboard, workers, tree,
           Utf8(program)},
          &backend};
  FrmMain& main = app.frmMain();
  HWND top = nullptr;
};

}  // namespace

TEST_F(BackupAndRestore, ABackupIsListedPickedAndRestored) {
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

  dialogs.expect(kRestore, Answer::Yes);
  native::Click(at("cmdRestore"));
  ASSERT_TRUE(native::WaitFor([&] { return journal().find("restore: ") != std::string::npos; },
                              kStartMs))
      << journal();
  EXPECT_NE(journal().find(std::string(" -on ") + native::Quoted(data) + " -ot file -actn restore -bckp " +
                           quotedFile + "\r\nrestore: 1 object from " + quotedFile + " (-on is not used)"),
            std::string::npos)
      << journal();
}

TEST_F(BackupAndRestore, WhatCannotStartIsToldAndAMissingFolderReported) {
  fs::remove(program / L"SetACL.exe");
  native::Type(at("txtObjName"), Utf8(data));
  native::Type(at("txtRestore"), "data.txt");
  dialogs.expect(kRestore, Answer::Yes)
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
}

// The way back, for real: Send It grants Everyone read on a key made here
// (wine keeps a key's security, not a file's), What Changed names it, and
// Undo sets the key back exactly as the system held it; once with the
// stand-in writing its listings in 8-bit text, once in UTF-16.
TEST_F(BackupAndRestore, ARunOnAKeyIsComparedAndUndone) {
  constexpr wchar_t kKey[] = L"SOFTWARE\\VorlaneTest\\Undo";
  SetEnvironmentVariableW(L"VORLANE_STANDIN_APPLY", L"1");
  native::Pick(at("CboObjType"), 1);
  native::Type(at("txtObjName"), "HKEY_LOCAL_MACHINE\\SOFTWARE\\VorlaneTest\\Undo");
  FrmChange& editor = main.listEditor();
  native::WhileModal([&] {
    editor.txtChange.userEdit("-ace \"n:Everyone;p:read;m:grant;w:dacl\" ");
    dialogs.expect({"Are you sure you want to save", "Save Changes?", Buttons::YesNo}, Answer::Yes);
    editor.cmdSave.userClick();
  }, [&] { return editor.visible(); });
  native::Click(at("cmdAceNum"));

  for (const wchar_t* utf16 : {L"0", L"1"}) {
    SCOPED_TRACE(utf16[0] == L'1' ? "listings in UTF-16" : "listings in 8-bit text");
    SetEnvironmentVariableW(L"VORLANE_STANDIN_UTF16", utf16);
    ASSERT_TRUE(MakeKey(kKey));
    const std::string before = KeySecurity(kKey);
    ASSERT_TRUE(before.starts_with("O:")) << before;

    ASSERT_TRUE(sent()) << Text(at("lblStatus"));
    EXPECT_TRUE(Text(at("lblStatus")).starts_with(
        "1 of 1 object changed; what lies below the object, if anything, was not listed. Finished"))
        << Text(at("lblStatus"));
    EXPECT_NE(KeySecurity(kKey).find("(A;;KR;;;WD)"), std::string::npos) << KeySecurity(kKey);

    Journal journal = ReadJournal(native::FileText(backups / L"Snapshots" / L"journal.txt"));
    ASSERT_FALSE(journal.runs.empty());
    const std::string snapshot = native::FileText(backups / L"Snapshots" / win32::Wide(journal.runs.back().snapshot));
    EXPECT_EQ(snapshot.starts_with("\xFF\xFE"), utf16[0] == L'1');
    FrmChanges& changes = main.changesWindow();
    std::string said;
    native::WhileModal([&] {
      said = Text(Find(backend.window(&changes), "txtChanges"));
      // Wine keeps no file's security: the folder is its user's, and the question says so.
      dialogs.expect({"", "Undo the Run of " + journal.runs.back().time + "?", Buttons::YesNo, Icon::Question},
                     Answer::Yes, [&] {
                       const std::string& asked = dialogs.shown.back().prompt;
                       EXPECT_TRUE(asked.starts_with("Set the object of its snapshot back as it was before "
                                                     "this run? The run changed 1 of them.")) << asked;
                       EXPECT_NE(asked.find("Warning: besides Administrators and SYSTEM, "), std::string::npos) << asked;
                     })
          .expect({"The object is back as it was.\r\nWhat lies below the object, if anything, was not listed, "
                   "so not compared.", "Undo", Buttons::Ok, Icon::Information}, Answer::Ok);
      changes.cmdUndo.userClick();
    }, [&] { return changes.visible(); });
    native::Click(at("cmdWhatChanged"));
    EXPECT_EQ(said, "machine\\SOFTWARE\\VorlaneTest\\Undo\r\n    Added: Allow Everyone: Read (This key only)\r\n");
    EXPECT_TRUE(native::WaitFor([&] { return dialogs.allShown(); }, kRunMs)) << Text(at("txtOutputs"));
    EXPECT_EQ(KeySecurity(kKey), before);
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\VorlaneTest");
  }
  SetEnvironmentVariableW(L"VORLANE_STANDIN_APPLY", nullptr);
  SetEnvironmentVariableW(L"VORLANE_STANDIN_UTF16", nullptr);
}

// The departing key shown in the virtual list; its mend sent, and the report again.
TEST_F(BackupAndRestore, ATreeReportFindsTheKeyThatDepartsAndItsMend) {
  ASSERT_TRUE(MakeKey(L"SOFTWARE\\VorlaneTest\\Tree", L"D:PAI(A;CI;KA;;;BA)(A;CI;KR;;;WD)"));
  ASSERT_TRUE(MakeKey(L"SOFTWARE\\VorlaneTest\\Tree\\Good", L"D:AI(A;CIID;KA;;;BA)(A;CIID;KR;;;WD)"));
  ASSERT_TRUE(MakeKey(L"SOFTWARE\\VorlaneTest\\Tree\\Own",
                      L"D:AI(A;;KR;;;BU)(A;CIID;KA;;;BA)(A;CIID;KR;;;WD)"));
  native::Pick(at("CboObjType"), 1);
  native::Type(at("txtObjName"), "HKLM\\SOFTWARE\\VorlaneTest\\Tree");
  FrmTreeReport& report = main.treeReportWindow();
  auto summary = [&] { return Text(Find(backend.window(&report), "lblSummary")); };
  auto listed = [&] { return summary().find("depart") != std::string::npos; };
  std::vector<std::string> row;
  native::WhileModal([&] {
    HWND window = backend.window(&report);
    native::ExpectModalDialog(window, top);
    EXPECT_EQ(Text(window), "Tree Report");
    EXPECT_EQ(summary(), "1 of 2 objects depart from what their parents give");
    HWND table = Find(window, "lvwDepartures");
    ASSERT_EQ(ListView_GetItemCount(table), 1);
    for (int column = 0; column < 3; ++column) {
      wchar_t text[512] = L"";
      ListView_GetItemText(table, 0, column, text, 512);
      row.push_back(win32::Utf8(text));
    }
    ListView_SetItemState(table, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    native::Click(Find(window, "cmdMend"));
  }, listed);
  native::Click(at("cmdTreeReport"));
  EXPECT_EQ(row, (std::vector<std::string>{"machine\\SOFTWARE\\VorlaneTest\\Tree\\Own", "Entries of its own",
                                           "Allow BUILTIN\\Users: Read (This key only); Allow BUILTIN\\Administrators: "
                                           "Full control (This key and subkeys), inherited; Allow Everyone: Read "
                                           "(This key and subkeys), inherited"}));
  EXPECT_FALSE(IsWindowVisible(backend.window(&report)));
  EXPECT_EQ(Text(at("txtObjName")), "HKLM\\SOFTWARE\\VorlaneTest\\Tree\\Own");
  EXPECT_NE(Text(at("txtCallString")).find(" -actn setprot -op \"dacl:np;sacl:nc\" -actn clear -clr \"dacl\""),
            std::string::npos) << Text(at("txtCallString"));
  std::vector<std::string> backupFiles;
  for (const auto& entry : fs::directory_iterator(backups))
    if (entry.is_regular_file()) backupFiles.push_back(Utf8(entry.path().filename()));
  ASSERT_EQ(backupFiles.size(), 1u);
  EXPECT_TRUE(backupFiles[0].starts_with("Tree ")) << backupFiles[0];

  SetEnvironmentVariableW(L"VORLANE_STANDIN_APPLY", L"1");
  ASSERT_TRUE(sent()) << Text(at("lblStatus"));
  SetEnvironmentVariableW(L"VORLANE_STANDIN_APPLY", nullptr);
  EXPECT_EQ(KeySecurity(L"SOFTWARE\\VorlaneTest\\Tree\\Own").find("(A;;KR;;;BU)"), std::string::npos)
      << KeySecurity(L"SOFTWARE\\VorlaneTest\\Tree\\Own");

  // Wine passes no inherited entries down when a DACL is let inherit (Windows
  // does), so the key's DACL is left empty: the report says so and what it
  // misses, its entry of its own gone.
  native::Type(at("txtObjName"), "HKLM\\SOFTWARE\\VorlaneTest\\Tree");
  std::string again;
  native::WhileModal([&] {
    again = summary() + "\n" + report.lvwDepartures.rows().at(0).at(0) + ": " + report.lvwDepartures.rows().at(0).at(1);
    report.hide();
  }, listed);
  native::Click(at("cmdTreeReport"));
  EXPECT_EQ(again, "1 of 2 objects depart from what their parents give\n"
                   "machine\\SOFTWARE\\VorlaneTest\\Tree\\Own: Misses what its parent gives, Empty DACL: no one has access")
      << KeySecurity(L"SOFTWARE\\VorlaneTest\\Tree\\Own");
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\VorlaneTest");
}
