// The console runner against scripted children, and "Send It".

#include <gtest/gtest.h>

#include "runner/dos_outputs.h"
#include "runner/output_decoder.h"
#include "setup/frm_settings.h"
#include "tests/native/fakes.h"

namespace {

const forms::Message kCannotStart = {"Click the Settings button and point\r\nto SetAcl.exe's location.",
                                     "", forms::Buttons::Ok, forms::Icon::Critical};
const forms::Message kStopQuestion = {"Stop the running command?", "Stop Command?",
                                      forms::Buttons::YesNo};

class ConsoleRunner : public ::testing::Test {
 protected:
  ConsoleRunner() {
    runner.ReceiveOutputs = [this](std::string& chunk) { chunks.push_back(chunk); };
    runner.Finished = [this](const DOSOutputs::Result& r) { result = r; };
  }
  // Runs the command to its end with what the child writes.
  std::string run(std::deque<std::string> output, const std::string& commandLine = "tool.exe") {
    chunks.clear();
    processes.output = std::move(output);
    EXPECT_TRUE(runner.ExecuteCommand(commandLine));
    processes.finish();
    std::string all;
    for (const auto& chunk : chunks) all += chunk;
    return all;
  }
  ScriptedDialogs dialogs;
  ScriptedProcesses processes;
  DOSOutputs runner{processes, dialogs};
  std::vector<std::string> chunks;
  DOSOutputs::Result result;
};

}  // namespace

// An argument replaces the stored command line.
TEST_F(ConsoleRunner, ACommandThatWritesNothingGivesOneEmptyChunkAndItsExitCode) {
  processes.exitCode = 3;
  runner.CommandLine("old.exe");
  EXPECT_EQ(run({}, "new.exe -x"), "");
  EXPECT_EQ(runner.CommandLine(), "new.exe -x");
  EXPECT_EQ(processes.started, std::vector<std::string>{"new.exe -x"});
  EXPECT_EQ(chunks, std::vector<std::string>{""});
  EXPECT_TRUE(result.exited && !result.stopped);
  EXPECT_EQ(result.exitCode, 3u);
  EXPECT_FALSE(runner.running());
}

TEST_F(ConsoleRunner, TextArrivesWholeWhateverThePieces) {
  using namespace std::string_literals;
  const std::string nul(OutputDecoder::kNulPlaceholder);
  struct Case {
    std::deque<std::string> output;
    std::vector<std::string> chunks;
  };
  const Case cases[] = {
      // "é" is two bytes; a piece ends after its first one. The first bytes
      // wait until there are enough to tell the encoding.
      {{"ab\xC3", "\xA9" "cd", std::string(255, 'x') + "\xC3", "\xA9"},
       {"ab\xC3\xA9" "cd", std::string(255, 'x'), "\xC3\xA9", ""}},
      // An unfinished character at the end is still handed on.
      {{"ab\xC3"}, {"ab\xC3", ""}},
      // A NUL shows as a placeholder, so nothing after it is lost.
      {{"before\0after\r\nsecond\0piece"s}, {"before" + nul + "after\r\nsecond" + nul + "piece", ""}},
      // UTF-16, with or without a byte-order mark, a pair split between pieces.
      {{"\xFF\xFEO\0K\0\r\0"s, "\n\0\xE9\0"s}, {"OK\r", "\n\xC3\xA9", ""}},
      {{"o\0k\0"s, "\x3D\xD8"s, "\x00\xDE"s}, {"ok", "\xF0\x9F\x98\x80", ""}},
  };
  for (const Case& c : cases) {
    run(c.output);
    EXPECT_EQ(chunks, c.chunks);
  }
}

TEST_F(ConsoleRunner, FailuresShowTheirMessageAndStartNothing) {
  dialogs.expect({"Command Line empty", "", forms::Buttons::Ok, forms::Icon::Critical},
                 forms::Answer::Ok);
  EXPECT_FALSE(runner.ExecuteCommand());

  processes.pipeError = 8;
  dialogs.expect({"CreatePipe failed. Error: 8", "", forms::Buttons::Ok, forms::Icon::Critical},
                 forms::Answer::Ok);
  EXPECT_FALSE(runner.ExecuteCommand("a.exe"));

  processes.pipeError = 0;
  processes.canStart = false;
  dialogs.expect(kCannotStart, forms::Answer::Ok);
  EXPECT_FALSE(runner.ExecuteCommand("missing.exe"));
  EXPECT_TRUE(chunks.empty());
  EXPECT_TRUE(processes.started.empty());
  EXPECT_FALSE(runner.running());
  EXPECT_EQ(dialogs.shown.back().title, "Vorlane");
}

namespace {

class SendIt : public ::testing::Test, public Headless {
 protected:
  SendIt() { type(main.txtObjName, "C:\\Data"); }
  void setFolder(const std::string& folder) {
    main.cmdProgOptions.userClick();
    main.settingsWindow().txtLocation.userEdit(folder);
    dialogs.expect({"", "Save New Location?", forms::Buttons::YesNo, forms::Icon::Question},
                   forms::Answer::Yes)
        .expect({"Successful", ""}, forms::Answer::Ok);
    main.settingsWindow().cmdSave.userClick();
    main.settingsWindow().userClose();
  }
  const std::string& status() const { return main.lblStatus.text(); }
};

}  // namespace

// From the folder start-up read, then from the one the settings saved.
TEST_F(SendIt, RunsTheCallStringFromTheStoredFolder) {
  const char* const commandLines[] = {
      "C:\\SetACL\\SetACL.exe -on \"C:\\Data\" -ot file",
      "\"C:\\Program Files\\Tools\\SetACL.exe\" -on \"C:\\Data\" -ot file"};
  for (const char* commandLine : commandLines) {
    processes.output = {"line one\r\n", "line two\r\n"};
    send();
    processes.finish();
    EXPECT_EQ(processes.started.back(), commandLine);
    EXPECT_EQ(main.txtOutputs.text(), "line one\r\nline two\r\n");
    EXPECT_EQ(main.txtOutputs.selStart(), main.txtOutputs.length());
    setFolder("C:\\Program Files\\Tools");
  }
  // Each run empties the box first; No leaves the last output.
  processes.output = {"third"};
  send();
  EXPECT_EQ(main.txtOutputs.text(), "");
  processes.finish();
  send(forms::Answer::No);
  EXPECT_EQ(main.txtOutputs.text(), "third");
  EXPECT_EQ(processes.started.size(), 3u);
  EXPECT_EQ(main.txtCallString.text(), "SetACL.exe -on \"C:\\Data\" -ot file");
}

// Start-up could not store a folder: nothing to run.
TEST(SendItWithoutAFolder, TheInvalidArgumentErrorAndNoProcess) {
  Program program;
  program.files.files = {"D:\\Tools\\SetACL.exe"};
  program.files.folders = {"D:", "D:\\Tools", "D:\\Tools\\LogFiles", "D:\\Tools\\Backups"};
  program.registry.refuseWrites = true;
  program.dialogs.expect({"", "Use Version 2.0.0.6?", forms::Buttons::YesNo, forms::Icon::Critical},
                         forms::Answer::Yes)
      .expect({"", "Setting Not Saved", forms::Buttons::Ok, forms::Icon::Critical},
              forms::Answer::Ok);
  program.main.show();
  Headless::type(program.main.txtObjName, "C:\\Data");
  program.dialogs.expect(kRunQuestion, forms::Answer::Yes)
      .expect({"this Invalid procedure call or argument - Vorlane - 5", ""}, forms::Answer::Ok);
  program.main.cmdSendIt.userClick();
  EXPECT_TRUE(program.processes.started.empty());
}

TEST_F(SendIt, AProgramThatCannotStartLeavesTheBoxEmptyAndTheWindowAsBefore) {
  processes.output = {"old"};
  send();
  processes.finish();
  processes.canStart = false;
  dialogs.expect(kRunQuestion, forms::Answer::Yes).expect(kCannotStart, forms::Answer::Ok);
  main.cmdSendIt.userClick();
  EXPECT_EQ(main.txtOutputs.text(), "");
  EXPECT_EQ(status(), "");
  EXPECT_TRUE(main.cmdSendIt.visible() && main.cmdSendIt.enabled() && main.cmdAbout.enabled());
}

// While a command runs only Stop, Esc or the close box acts; the status line
// follows the run; on Stop the command ends with what it wrote kept.
TEST_F(SendIt, WhileItRunsOnlyStopActsAndTheStatusLineFollows) {
  processes.output = {"one\r\n", "two\r\n"};
  send();
  processes.finish();
  EXPECT_TRUE(status().starts_with("Finished with exit code 0 after ")) << status();
  EXPECT_TRUE(status().ends_with(": 2 lines, 10 bytes")) << status();

  processes.output = {"kept\r\n", std::string(300, 'x')};
  processes.exitCode = 3;
  send();
  EXPECT_TRUE(status().starts_with("Running: 0 lines, 0 bytes received")) << status();
  processes.deliver(1);
  main.onTimer();
  EXPECT_TRUE(status().starts_with("Running: 1 line, 6 bytes received, ")) << status();
  EXPECT_FALSE(main.cmdSendIt.visible());
  main.cmdSendIt.userClick();  // as automation would: refused, no question
  main.cmdAbout.userClick();
  EXPECT_FALSE(main.cmdAbout.enabled());
  dialogs.expect(kStopQuestion, forms::Answer::No);
  main.userCancel();  // Esc, answered No: it runs on
  EXPECT_FALSE(processes.terminated);
  dialogs.expect(kStopQuestion, forms::Answer::Yes);
  main.cmdStop.userClick();
  processes.finish();
  EXPECT_TRUE(processes.terminated);
  EXPECT_EQ(main.txtOutputs.text(), "kept\r\n");
  EXPECT_TRUE(status().starts_with("Stopped after ")) << status();
  EXPECT_TRUE(main.cmdSendIt.visible() && main.cmdSendIt.enabled() && main.cmdAbout.enabled());
  EXPECT_FALSE(main.cmdStop.visible());
  EXPECT_EQ(processes.started.size(), 2u);

  send();
  processes.finish();
  EXPECT_TRUE(status().starts_with("FAILED with exit code 3 after ")) << status();
  EXPECT_FALSE(main.queryUnload());  // nothing runs: the window closes unasked

  // The close box during a run asks: No keeps the window, Yes ends the command and lets it close.
  send();
  dialogs.expect(kStopQuestion, forms::Answer::No);
  EXPECT_TRUE(main.queryUnload());
  dialogs.expect(kStopQuestion, forms::Answer::Yes);
  EXPECT_FALSE(main.queryUnload());
  EXPECT_TRUE(processes.terminated);
}

TEST(RunStatus, Texts) {
  const RunProgress p{1234, 1234567, 3.25};
  EXPECT_EQ(RunningStatus(p), "Running: 1,234 lines, 1,234,567 bytes received, 3.2 s");
  using Kind = RunOutcome::Kind;
  EXPECT_EQ(EndStatus(p, {Kind::Exited, 0}), "Finished with exit code 0 after 3.2 s: 1,234 lines, 1,234,567 bytes");
  EXPECT_EQ(EndStatus({1, 1, 0.05}, {Kind::Exited, 2}), "FAILED with exit code 2 after 0.1 s: 1 line, 1 byte");
  EXPECT_EQ(EndStatus(p, {Kind::Stopped}), "Stopped after 3.2 s: 1,234 lines, 1,234,567 bytes kept");
  EXPECT_EQ(EndStatus(p, {Kind::Ended}),
            "Output ended after 3.2 s, the command still running: 1,234 lines, 1,234,567 bytes");
  const std::pair<RunOutcome, const char*> words[] = {{{Kind::Exited, 0}, "Exit code 0"},
                                                      {{Kind::Exited, 5}, "FAILED: exit code 5"},
                                                      {{Kind::Stopped}, "Stopped"},
                                                      {{Kind::Ended}, "Output ended"},
                                                      {{Kind::NotRun}, "Not run"}};
  for (const auto& [outcome, text] : words) EXPECT_EQ(OutcomeWords(outcome), text);
}
