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
  struct Case { const char* box; std::string stored; };
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

// A save answered No, a write the system refused, and one that reads back
// otherwise are no success; "Send It" uses what the registry holds.
TEST_F(Settings, ARefusedWriteIsNotReportedAsSuccess) {
  const std::string notSaved = "The new location could not be saved in HKEY_LOCAL_MACHINE\\SOFTWARE\\Vorlane.\r\n";
  struct Case {
    forms::Answer answer;
    bool refuse;
    std::string readsBack, why, sent;
  };
  const Case cases[] = {
      {forms::Answer::No, false, "", "", "C:\\SetACL\\"},
      {forms::Answer::Yes, true, "", "system error 5", ""},
      {forms::Answer::Yes, false, std::string("C:\\Elsewhere\\") + '\0', "The value read back is not the one written.",
       "C:\\Elsewhere\\"},
  };
  for (const Case& c : cases) {
    registry.refuseWrites = c.refuse;
    registry.readsBack = c.readsBack;
    settings.txtLocation.userEdit("C:\\Tools");
    dialogs.expect(kSaveQuestion, c.answer);
    if (!c.why.empty())
      dialogs.expect({notSaved + c.why, "Location Not Saved", forms::Buttons::Ok, forms::Icon::Critical},
                     forms::Answer::Ok);
    settings.cmdSave.userClick();
    if (c.refuse) {  // a refused write leaves the registry as it was
      EXPECT_EQ(location(), std::string("C:\\SetACL\\") + '\0');
      registry.refuseWrites = false;
    } else {
      EXPECT_EQ(sent(), c.sent + "SetACL.exe -on \"x\" -ot file") << c.why;
    }
  }
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

// Snapshot settings are saved as they change, and what is no number is not;
// the close box destroys the window, and the location typed goes with it.
TEST_F(Settings, SnapshotSettingsAreSavedAsChanged) {
  settings.txtLocation.userEdit("C:\\Typed");
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
  EXPECT_TRUE(settings.unloaded());
  main.cmdProgOptions.userClick();
  EXPECT_TRUE(main.settingsWindow().visible());
  EXPECT_EQ(main.settingsWindow().txtLocation.text(), "");
  EXPECT_FALSE(main.settingsWindow().chkSnapshots.ticked());
  EXPECT_EQ(main.settingsWindow().txtKeepMegabytes.text(), "250");
}
