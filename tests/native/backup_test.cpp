// Backing up the main window's object to a file and restoring it, the
// commands started through the shell, and the backup-file chooser.

#include <gtest/gtest.h>

#include "backup/frm_backup.h"
#include "backup/frm_browse.h"
#include "tests/native/fakes.h"

namespace {

using forms::Answer;
using forms::Buttons;
using forms::Icon;

const forms::Message kNotSddl{"If the format is not in SDDL, then you cannot restore from this file",
                              "You won't be able to restore", Buttons::Ok, Icon::Critical};

class Backup : public ::testing::Test, public Headless {
 protected:
  Backup() : Headless(nullptr, nullptr, "C:\\Tools\\Perm") {
    type(main.txtObjName, "D:\\Data");
  }
  FrmBackup& open() {
    main.cmdBackup.userClick();
    return main.backupWindow();
  }
  // The command started, as one line: the shell gets it split in two.
  std::string started() const {
    if (shell.opened.size() != 1) return "started " + std::to_string(shell.opened.size());
    return shell.opened[0].program + " " + shell.opened[0].parameters;
  }
  void confirmBackup(FrmBackup& backup) {
    dialogs.expect({"Are you sure you want to backup to file " + backup.txtFileName.text(), {},
                    Buttons::YesNo, Icon::Critical},
                   Answer::Yes);
    backup.cmdBackup.userClick();
  }
  void confirmRestore(const std::string& name, Answer answer = Answer::Yes) {
    dialogs.expect({"Are you sure you want to restore file " + name, "Restore " + name + "?",
                    Buttons::YesNo, Icon::Critical},
                   answer);
  }
};

}  // namespace

TEST_F(Backup, TheWorkedExampleByteForByte) {
  FrmBackup& backup = open();
  EXPECT_EQ(backup.cboFormat.text(), "SDDL");
  backup.chkD.userClick();
  backup.chkO.userClick();
  backup.txtFileName.userEdit("data.txt");
  confirmBackup(backup);
  EXPECT_EQ(started(),
            "C:\\Tools\\Perm\\SetACL.exe -on \"D:\\Data\" -ot file -actn list -lst "
            "\"f:sddl;w:d,o\" -bckp \"C:\\Tools\\Perm\\Backups\\data.txt\"");
  EXPECT_EQ(shell.opened.at(0).folder, "C:\\Tools\\Perm");
  EXPECT_EQ(shell.opened.at(0).windowStyle, 4);
  EXPECT_FALSE(backup.visible());
}

TEST_F(Backup, TheListFragmentFollowsTheBoxes) {
  const struct {
    int format;  // 0 SDDL, 1 CSV, 2 Tabular
    bool d, s, o, g, inherited, sid;
    std::string list;
  } cases[] = {
      {0, false, false, true, true, false, false, "f:sddl;w:o,g"},
      {0, false, true, false, false, false, false, "f:sddl;w:s"},
      {0, true, true, true, true, false, false, "f:sddl;w:d,s,o,g"},
      {1, true, false, false, false, true, true, "f:csv;w:d;i:y;s:y"},
      {2, false, true, true, false, false, true, "f:tab;w:s,o;s:y"},
      {0, true, false, false, true, false, false, "f:sddl;w:d,g"},
      {2, false, false, false, true, true, false, "f:tab;w:g;i:y"},
  };
  // Each case picks another format than the one before it.
  FrmBackup& backup = open();
  backup.txtFileName.userEdit("x");
  for (const auto& c : cases) {
    shell.opened.clear();
    main.cmdBackup.userClick();
    if (c.format != 0) dialogs.expect(kNotSddl, Answer::Ok);
    backup.cboFormat.userPick(c.format);
    EXPECT_TRUE(dialogs.allShown()) << c.list;
    backup.chkD.setValue(c.d);
    backup.chkS.setValue(c.s);
    backup.chkO.setValue(c.o);
    backup.chkG.setValue(c.g);
    backup.chkListInherited.setValue(c.inherited);
    backup.chkSid.setValue(c.sid);
    confirmBackup(backup);
    EXPECT_EQ(started(), "C:\\Tools\\Perm\\SetACL.exe -on \"D:\\Data\" -ot file -actn list -lst \"" +
                             c.list + "\" -bckp \"C:\\Tools\\Perm\\Backups\\x\"");
  }
  // Back to SDDL: no warning.
  backup.cboFormat.userPick(0);
}

TEST_F(Backup, IncompleteFormsAndNoStartNothing) {
  FrmBackup& backup = open();
  dialogs.expect({"Enter a File Name", {}}, Answer::Ok);
  backup.cmdBackup.userClick();
  EXPECT_EQ(backup.focused(), &backup.txtFileName);

  // The extra boxes are not a security part; blanks are a name.
  backup.txtFileName.userEdit(" ");
  backup.chkListInherited.userClick();
  backup.chkSid.userClick();
  dialogs.expect({"You must choose some security type", {}}, Answer::Ok);
  backup.cmdBackup.userClick();
  EXPECT_EQ(backup.focused(), &backup.chkD);

  backup.chkG.userClick();
  dialogs.expect({"Are you sure you want to backup to file  ", {}, Buttons::YesNo, Icon::Critical},
                 Answer::No);
  backup.cmdBackup.userClick();
  EXPECT_TRUE(shell.opened.empty());
  EXPECT_TRUE(backup.visible());
  EXPECT_TRUE(backup.chkG.ticked());
}

TEST_F(Backup, CancelKeepsTheChoicesAndTheCloseBoxForgetsThem) {
  FrmBackup* backup = &open();
  dialogs.expect(kNotSddl, Answer::Ok);
  backup->cboFormat.userPick(1);
  backup->chkS.userClick();
  backup->txtFileName.userEdit("a b\\c.txt");
  backup->cmdCancel.userClick();
  EXPECT_FALSE(backup->visible());
  backup = &open();
  EXPECT_EQ(backup->cboFormat.text(), "CSV");
  EXPECT_TRUE(backup->chkS.ticked());

  // A name with a path ends up inside the backup path, as typed.
  confirmBackup(*backup);
  EXPECT_EQ(started(), "C:\\Tools\\Perm\\SetACL.exe -on \"D:\\Data\" -ot file -actn list -lst "
                       "\"f:csv;w:s\" -bckp \"C:\\Tools\\Perm\\Backups\\a b\\c.txt\"");

  backup = &open();
  backup->userClose();
  backup = &open();
  EXPECT_EQ(backup->cboFormat.text(), "SDDL");
  EXPECT_FALSE(backup->chkS.ticked());
  EXPECT_EQ(backup->txtFileName.text(), "");
}

TEST_F(Backup, RestoreTheWorkedExampleByEnterOrButton) {
  main.txtRestore.userEdit("data.txt");
  main.txtRestore.userKeyPress('a');  // only Enter restores
  confirmRestore("data.txt");
  main.txtRestore.userKeyPress(13);
  const std::string example = "C:\\Tools\\Perm\\SetACL.exe -on \"D:\\Data\" -ot file -actn restore "
                              "-bckp \"C:\\Tools\\Perm\\Backups\\data.txt\"";
  EXPECT_EQ(started(), example);
  EXPECT_EQ(shell.opened.at(0).windowStyle, 4);

  // The name stays, so the same file can be restored again at once; the
  // object type is the one on the main window now.
  shell.opened.clear();
  main.CboObjType.userPick(1);
  type(main.txtObjName, "HKLM\\Software\\Test");
  confirmRestore("data.txt");
  main.cmdRestore.userClick();
  EXPECT_EQ(started(), "C:\\Tools\\Perm\\SetACL.exe -on \"HKLM\\Software\\Test\" -ot reg -actn restore -bckp "
                       "\"C:\\Tools\\Perm\\Backups\\data.txt\"");
}

TEST_F(Backup, RestoreNeedsANameAndAYes) {
  main.txtRestore.userKeyPress(13);  // an empty box: not even a message
  dialogs.expect({"Please enter a file name", {}}, Answer::Ok);
  main.cmdRestore.userClick();
  EXPECT_EQ(main.focused(), &main.txtRestore);

  main.txtRestore.userEdit("old\\data.txt");
  confirmRestore("old\\data.txt", Answer::No);
  main.cmdRestore.userClick();
  EXPECT_TRUE(shell.opened.empty());
}

TEST_F(Backup, TheChooserListsTheBackupFolderAndAPickFillsTheRestoreBox) {
  files.files.insert({"C:\\Tools\\Perm\\Backups\\b.txt", "C:\\Tools\\Perm\\Backups\\A.txt",
                      "C:\\Tools\\Perm\\Backups\\c.txt", "C:\\Tools\\Perm\\Backups\\old\\x.txt",
                      "C:\\Tools\\Perm\\LogFiles\\log.txt"});
  main.cmdRestoreBrowse.userClick();
  FrmBrowse& chooser = main.backupChooser();
  EXPECT_TRUE(chooser.visible());
  EXPECT_EQ(chooser.fleBrowse.items(), (std::vector<std::string>{"A.txt", "b.txt", "c.txt"}));
  chooser.fleBrowse.userPick(1);
  EXPECT_EQ(main.txtRestore.text(), "b.txt");
  EXPECT_FALSE(chooser.visible());
  EXPECT_TRUE(shell.opened.empty());  // picking does not restore

  // Opened again it lists afresh; its close box leaves the restore box alone.
  files.files.insert("C:\\Tools\\Perm\\Backups\\d.txt");
  main.cmdRestoreBrowse.userClick();
  EXPECT_EQ(chooser.fleBrowse.items().size(), 4u);
  chooser.userClose();
  EXPECT_EQ(main.txtRestore.text(), "b.txt");

  // A missing folder is reported and the list keeps what it held.
  files.folders.erase("C:\\Tools\\Perm\\Backups");
  dialogs.expect({"3\r\nC:\\Tools\\Perm\\Backups", {}}, Answer::Ok);
  main.cmdRestoreBrowse.userClick();
  EXPECT_EQ(chooser.fleBrowse.items().size(), 4u);
  EXPECT_TRUE(chooser.visible());
}
