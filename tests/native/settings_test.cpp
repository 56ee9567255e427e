// The settings window.

#include <gtest/gtest.h>

#include "setup/frm_settings.h"
#include "tests/native/fakes.h"

namespace {

const forms::Message kSaveQuestion = {"Are you sure you want to save the new location?",
                                      "Save New Location?", forms::Buttons::YesNo,
                                      forms::Icon::Question};

class Settings : public ::testing::Test, public Headless {
 protected:
  Settings() {
    main.cmdProgOptions.userClick();
    EXPECT_TRUE(settings.visible());
  }
  std::string location() { return registry.keys["SOFTWARE\\Vorlane"]["Location"].text; }
  FrmSettings& settings = main.settingsWindow();
};

}  // namespace

TEST_F(Settings, SavedAnsweredYesStoresTheBoxAndABackslash) {
  struct Case {
    const char* box;
    std::string stored;
  };
  const Case cases[] = {{"C:\\Tools", "C:\\Tools\\"}, {"", "\\"}, {"C:\\Tools\\", "C:\\Tools\\\\"}};
  for (const Case& c : cases) {
    settings.txtLocation.userEdit(c.box);
    dialogs.expect(kSaveQuestion, forms::Answer::Yes).expect({"Successful", ""}, forms::Answer::Ok);
    settings.cmdSave.userClick();
    EXPECT_EQ(location(), c.stored + '\0') << c.box;
    EXPECT_TRUE(settings.visible());
  }
  // In force for "Send It" at once.
  EXPECT_EQ(sent(), "C:\\Tools\\\\SetACL.exe -on \"x\" -ot file");
}

TEST_F(Settings, AnsweredNoChangesNothing) {
  const std::string before = location();
  settings.txtLocation.userEdit("C:\\Elsewhere");
  dialogs.expect(kSaveQuestion, forms::Answer::No);
  settings.cmdSave.userClick();
  EXPECT_EQ(location(), before);
  EXPECT_EQ(sent(), "C:\\SetACL\\SetACL.exe -on \"x\" -ot file");
}

TEST_F(Settings, ARefusedWriteIsNotReportedAsSuccess) {
  registry.refuseWrites = true;
  settings.txtLocation.userEdit("C:\\Tools");
  dialogs.expect(kSaveQuestion, forms::Answer::Yes)
      .expect({"The new location could not be saved in "
               "HKEY_LOCAL_MACHINE\\SOFTWARE\\Vorlane.\r\nsystem error 5",
               "Location Not Saved", forms::Buttons::Ok, forms::Icon::Critical},
              forms::Answer::Ok);
  settings.cmdSave.userClick();
  EXPECT_EQ(location(), std::string("C:\\SetACL\\") + '\0');
}

// A write the system took but that reads back otherwise is no success either.
TEST_F(Settings, AValueThatReadsBackOtherwiseIsNotReportedAsSuccess) {
  registry.readsBack = std::string("C:\\Elsewhere\\") + '\0';
  settings.txtLocation.userEdit("C:\\Tools");
  dialogs.expect(kSaveQuestion, forms::Answer::Yes)
      .expect({"The new location could not be saved in HKEY_LOCAL_MACHINE\\SOFTWARE\\Vorlane.\r\n"
               "The value read back is not the one written.",
               "Location Not Saved", forms::Buttons::Ok, forms::Icon::Critical},
              forms::Answer::Ok);
  settings.cmdSave.userClick();
  // What "Send It" uses is what the registry holds.
  EXPECT_EQ(sent(), "C:\\Elsewhere\\SetACL.exe -on \"x\" -ot file");
}

TEST_F(Settings, BrowseFillsTheBoxAndCancelEmptiesIt) {
  browser.results = {"E:\\Bin", ""};
  settings.cmdBrowse.userClick();
  EXPECT_EQ(settings.txtLocation.text(), "E:\\Bin");
  EXPECT_EQ(browser.owners.back(), &settings);
  settings.cmdBrowse.userClick();
  EXPECT_EQ(settings.txtLocation.text(), "");
  EXPECT_EQ(browser.titles, (std::vector<std::string>{"Select Folder", "Select Folder"}));
}

TEST_F(Settings, TheCloseBoxDestroysTheWindow) {
  settings.txtLocation.userEdit("C:\\Typed");
  settings.userClose();
  EXPECT_TRUE(settings.unloaded());
  main.cmdProgOptions.userClick();
  EXPECT_EQ(main.settingsWindow().txtLocation.text(), "");
  EXPECT_TRUE(main.settingsWindow().visible());
}

// Snapshot settings are saved as they change, and what is no number is not.
TEST_F(Settings, SnapshotSettingsAreSavedAsChanged) {
  auto value = [&](const char* name) { return registry.keys["SOFTWARE\\Vorlane"][name].text; };
  EXPECT_TRUE(settings.chkSnapshots.ticked());
  EXPECT_EQ(settings.txtKeepRuns.text(), "100");
  settings.chkSnapshots.userClick();
  settings.txtKeepMegabytes.userEdit("250");
  EXPECT_EQ(value("Snapshots"), std::string("0") + '\0');
  EXPECT_EQ(value("KeepMegabytes"), std::string("250") + '\0');
  settings.txtKeepRuns.userEdit("ten");
  EXPECT_EQ(settings.lblSnapshotNote.text(), "Not saved: runs and MB are whole numbers above 0.");
  EXPECT_EQ(value("KeepRuns"), std::string("100") + '\0');
  // The next opening reads them back.
  settings.userClose();
  main.cmdProgOptions.userClick();
  EXPECT_FALSE(main.settingsWindow().chkSnapshots.ticked());
  EXPECT_EQ(main.settingsWindow().txtKeepMegabytes.text(), "250");
}
