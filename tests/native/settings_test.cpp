// The settings window and the About box.

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
  FrmSettings& settings = app.frmSettings();
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
    EXPECT_EQ(state.SetAclFolder, c.stored + '\0') << c.box;
    EXPECT_TRUE(settings.visible());
  }
}

TEST_F(Settings, AnsweredNoChangesNothing) {
  const std::string before = location();
  settings.txtLocation.userEdit("C:\\Elsewhere");
  dialogs.expect(kSaveQuestion, forms::Answer::No);
  settings.cmdSave.userClick();
  EXPECT_EQ(location(), before);
  EXPECT_EQ(state.SetAclFolder, before);
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
  // As read back: without the right to open the key, nothing.
  EXPECT_EQ(state.SetAclFolder, "");
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
  EXPECT_EQ(app.frmSettings().txtLocation.text(), "");
  EXPECT_TRUE(app.frmSettings().visible());
}

TEST(About, EightLinesWithTheirJokeAndTitle) {
  Headless program;
  program.dialogs.expect({"", "If you like this, drop me an email"}, forms::Answer::Ok, [&] {
    const std::string& body = program.dialogs.shown.back().prompt;
    std::vector<std::string> lines;
    for (std::size_t from = 0;;) {
      std::size_t at = body.find("\r\n", from);
      lines.push_back(body.substr(from, at - from));
      if (at == std::string::npos) break;
      from = at + 2;
    }
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[0].rfind("Vorlane " VORLANE_VERSION, 0), 0u);
    EXPECT_EQ(lines[3], "I'm just saying that if anybody is gonna get some money");
    EXPECT_EQ(lines[4], "it should be me right...:)  So, if you have money to burn");
    EXPECT_NE(lines[5].find("README"), std::string::npos);
    EXPECT_EQ(lines[6], "fold it up like a paper airplane and fly it to me...");
    EXPECT_EQ(lines[7], "If you are still reading this...I hope this is helpful");
  });
  program.main.cmdAbout.userClick();
}
