// Start-up against the fakes: the version question, the stored location,
// the missing SetACL.exe, and the folders beside the program.

#include <gtest/gtest.h>

#include "setup/mod_folder.h"
#include "tests/native/fakes.h"

namespace {

const forms::Message kVersionQuestion = {
    "This package includes SetAcl version 2.0.0.6.\r\nWould you like to use this version?",
    "Use Version 2.0.0.6?", forms::Buttons::YesNo, forms::Icon::Critical};
const forms::Message kEndMessage = {
    "You must copy and paste SetACL.exe into folder D:\\Tools\\\r\n"
    "I could not include it for legal reasons...sorry",
    "Program will now end", forms::Buttons::Ok, forms::Icon::Critical};

// A first run: no Location, the program folder D:\Tools with SetACL.exe.
class StartUp : public ::testing::Test, public Program {
 protected:
  StartUp() {
    files.files = {"D:\\Tools\\SetACL.exe"};
    files.folders = {"D:", "D:\\Tools"};
  }
  FrmMain& start() {
    main.show();
    return main;
  }
  std::string location() { return registry.keys["SOFTWARE\\Vorlane"]["Location"].text; }
};

}  // namespace

// An empty Location is a first run too.
TEST_F(StartUp, FirstRunAnsweredYesStoresTheProgramFolderOnce) {
  registry.keys["SOFTWARE\\Vorlane"]["Location"].text = "";
  dialogs.expect(kVersionQuestion, forms::Answer::Yes);
  start();
  EXPECT_EQ(location(), std::string("D:\\Tools\\") + '\0');
  EXPECT_EQ(sent(), "D:\\Tools\\SetACL.exe -on \"x\" -ot file");
  EXPECT_TRUE(main.visible());
  // The folder of snapshots and the journal comes with the first run.
  EXPECT_EQ(files.created, (std::vector<std::string>{"D:\\Tools\\LogFiles", "D:\\Tools\\Backups",
                                                     "D:\\Tools\\Backups\\Snapshots"}));

  // The next start asks nothing and makes nothing.
  App next({dialogs, browser, registry, files, processes, shell, security, clipboard, workers, tree,
            "D:\\Tools"});
  next.frmMain().show();
  EXPECT_EQ(next.frmMain().txtCallString.text(), "SetACL.exe -on \"\" -ot file");
  EXPECT_EQ(files.created.size(), 3u);
}

// No: the folder the browser gives; a cancel stores a lone backslash.
TEST(StartUpAnsweredNo, StoresTheFolderPicked) {
  for (const char* picked : {"E:\\Tools", ""}) {
    Program program;
    program.files.files = {"D:\\Tools\\SetACL.exe"};
    program.files.folders = {"D:", "D:\\Tools"};
    program.browser.results = {picked};
    program.dialogs.expect(kVersionQuestion, forms::Answer::No);
    program.main.show();
    EXPECT_EQ(program.browser.titles, std::vector<std::string>{"Select Folder"});
    EXPECT_EQ(program.browser.owners, std::vector<const forms::Form*>{&program.main});
    EXPECT_EQ(program.registry.keys["SOFTWARE\\Vorlane"]["Location"].text,
              std::string(picked) + "\\" + '\0');
  }
}

TEST_F(StartUp, MissingSetAclEndsTheProgramAfterTheQuestion) {
  files.files.clear();
  dialogs.expect(kVersionQuestion, forms::Answer::Yes).expect(kEndMessage, forms::Answer::Ok);
  start();
  EXPECT_EQ(location(), std::string("D:\\Tools\\") + '\0');
  EXPECT_TRUE(main.unloaded());
  EXPECT_FALSE(main.visible());
  // Nothing after the message: no starting values, no folders.
  EXPECT_EQ(main.txtCallString.text(), "");
  EXPECT_TRUE(files.created.empty());
}

TEST_F(StartUp, TheTestLooksInTheProgramFolderWhateverLocationSays) {
  registry.keys["SOFTWARE\\Vorlane"]["Location"].text = std::string("E:\\Other\\") + '\0';
  files.files = {"E:\\Other\\SetACL.exe"};
  dialogs.expect(kEndMessage, forms::Answer::Ok);
  EXPECT_TRUE(start().unloaded());
}

TEST_F(StartUp, ARefusedWriteIsToldOnceAndStartUpGoesOn) {
  registry.refuseWrites = true;
  dialogs.expect(kVersionQuestion, forms::Answer::Yes)
      .expect({"The location of SetACL.exe could not be saved in "
               "HKEY_LOCAL_MACHINE\\SOFTWARE\\Vorlane.\r\nsystem error 5",
               "Setting Not Saved", forms::Buttons::Ok, forms::Icon::Critical},
              forms::Answer::Ok);
  start();
  EXPECT_TRUE(main.visible());
  EXPECT_EQ(main.txtCallString.text(), "SetACL.exe -on \"\" -ot file");
}

TEST_F(StartUp, AFolderThatCannotBeMadeIsToldAndTheNextIsStillMade) {
  files.refused["D:\\Tools\\LogFiles"] = 5;
  dialogs.expect(kVersionQuestion, forms::Answer::Yes)
      .expect({"5: system error 5", "Error Creating Path", forms::Buttons::Ok,
               forms::Icon::Critical},
              forms::Answer::Ok);
  start();
  EXPECT_EQ(files.created, std::vector<std::string>{"D:\\Tools\\Backups"});
  EXPECT_TRUE(main.visible());
}

TEST(MakeFolderPath, MakesWhatIsMissingBelowRootsAndShares) {
  struct Case {
    const char* path;
    std::vector<std::string> created;
  };
  const Case cases[] = {
      {"D:\\Tools\\LogFiles", {"D:\\Tools\\LogFiles"}},
      {"D:\\Tools\\a\\b\\c", {"D:\\Tools\\a", "D:\\Tools\\a\\b", "D:\\Tools\\a\\b\\c"}},
      {"D:\\Tools\\new\\", {"D:\\Tools\\new"}},
      {"\\\\server\\share\\app\\Backups", {"\\\\server\\share\\app", "\\\\server\\share\\app\\Backups"}},
      {"\\\\server\\share", {}},
      {"D:\\Tools", {}},
  };
  for (const Case& c : cases) {
    ScriptedDialogs dialogs;
    FakeFiles files;
    files.folders = {"D:", "D:\\Tools", "\\\\server\\share"};
    MakeFolderPath(files, dialogs, c.path);
    EXPECT_EQ(files.created, c.created) << c.path;
  }
}

TEST(MakeFolderPath, StopsAtTheFirstFailureKeepingWhatWasMade) {
  ScriptedDialogs dialogs;
  FakeFiles files;
  files.folders = {"D:"};
  files.refused["D:\\a\\b"] = 3;
  dialogs.expect({"3: system error 3", "Error Creating Path", forms::Buttons::Ok,
                  forms::Icon::Critical},
                 forms::Answer::Ok);
  MakeFolderPath(files, dialogs, "D:\\a\\b\\c");
  EXPECT_EQ(files.created, std::vector<std::string>{"D:\\a"});
}
