// Starting a command line through the shell: the split, the working folder,
// and the fallback when the shell cannot start it.

#include <gtest/gtest.h>

#include "backup/mod_call_it.h"
#include "tests/native/fakes.h"

namespace {

class CallItTest : public ::testing::Test, public Headless {};

}  // namespace

TEST_F(CallItTest, SplitsProgramParametersAndFolder) {
  const struct {
    std::string line;
    FakeShell::Opened opened;
    std::string lineAfter;
    std::optional<std::string> folder = std::nullopt;  // the working folder given
  } cases[] = {
      {"\"C:\\Program Files\\Tools\\SetACL.exe\" -on \"x\" -ot file",
       {"C:\\Program Files\\Tools\\SetACL.exe", "-on \"x\" -ot file", "C:\\Program Files\\Tools", 4},
       "C:\\Program Files\\Tools\\SetACL.exe -on \"x\" -ot file"},
      {"C:\\Program Files\\Tools\\SetACL.exe -on \"x\"",
       {"C:\\Program", "Files\\Tools\\SetACL.exe -on \"x\"", "C:\\", 4},  // the first blank ends it
       "C:\\Program Files\\Tools\\SetACL.exe -on \"x\""},
      {"C:\\Tools\\SetACL.exe  -on \"x\"", {"C:\\Tools\\SetACL.exe", "-on \"x\"", "C:\\Tools", 4},
       "C:\\Tools\\SetACL.exe  -on \"x\""},
      {"C:\\SetACL.exe -on \"x\"", {"C:\\SetACL.exe", "-on \"x\"", "C:\\", 4},  // a drive root
       "C:\\SetACL.exe -on \"x\""},
      {"\\SetACL.exe", {"\\SetACL.exe", "", "\\", 4}, "\\SetACL.exe"},
      {"SetACL.exe -on \"x\"", {"SetACL.exe", "-on \"x\"", "C:\\Current", 4}, "SetACL.exe -on \"x\""},
      {"\"C:\\Tools\\SetACL.exe -on x", {"\"C:\\Tools\\SetACL.exe -on x", "", "\"C:\\Tools", 4},
       "\"C:\\Tools\\SetACL.exe -on x"},  // a quote never closed
      {"C:\\Tools\\SetACL.exe -h", {"C:\\Tools\\SetACL.exe", "-h", "D:\\Work", 1}, "C:\\Tools\\SetACL.exe -h",
       "D:\\Work"},  // a given folder is used as it is
  };
  for (const auto& c : cases) {
    shell.opened.clear();
    std::string line = c.line;
    EXPECT_TRUE(CallIt(app.services(), line, c.opened.windowStyle, c.folder)) << c.line;
    ASSERT_EQ(shell.opened.size(), 1u);
    EXPECT_EQ(shell.opened[0], c.opened) << c.line;
    EXPECT_EQ(line, c.lineAfter);
  }
  EXPECT_TRUE(shell.started.empty());
}

TEST_F(CallItTest, TheFallbackStartsTheQuotedPathAndAFailureIsTold) {
  shell.openResult = 2;
  std::string line = "\"C:\\Program Files\\SetACL.exe\" -on \"x\"";
  EXPECT_TRUE(CallIt(app.services(), line, 4));
  EXPECT_EQ(shell.started.at(0).program, "\"C:\\Program Files\\SetACL.exe\" -on \"x\"");

  line = "C:\\Tools\\SetACL.exe -on \"x\"";
  EXPECT_TRUE(CallIt(app.services(), line, 4));
  EXPECT_EQ(shell.started.at(1).program, "C:\\Tools\\SetACL.exe -on \"x\"");
  EXPECT_EQ(shell.started.at(1).windowStyle, 4);

  shell.startError = 2;
  dialogs.expect({"The command could not be started:\r\nC:\\Tools\\SetACL.exe -on \"x\"\r\n"
                  "system error 2",
                  "", forms::Buttons::Ok, forms::Icon::Critical},
                 forms::Answer::Ok);
  line = "C:\\Tools\\SetACL.exe -on \"x\"";
  EXPECT_FALSE(CallIt(app.services(), line, 4));
}

TEST_F(CallItTest, TooLongALineStartsNothing) {
  std::string line = "C:\\Tools\\SetACL.exe -on \"x\" -actn restore -bckp \"" + std::string(33000, 'b') + "\"";
  dialogs.expect({"This command line is 33050 characters long. Windows starts command lines of "
                  "fewer than 32767 characters, so it was not run.",
                  "", forms::Buttons::Ok, forms::Icon::Critical},
                 forms::Answer::Ok);
  EXPECT_FALSE(CallIt(app.services(), line, 4));
  EXPECT_TRUE(shell.opened.empty() && shell.started.empty());
}
