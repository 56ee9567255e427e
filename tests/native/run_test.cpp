// The console runner's read loop against scripted children, and "Send It".

#include <gtest/gtest.h>

#include "run/dos_outputs.h"
#include "run/output_decoder.h"
#include "tests/native/fakes.h"

namespace {

const forms::Message kCannotStart = {"Click the Settings button and point\r\nto SetAcl.exe's location.",
                                     "", forms::Buttons::Ok, forms::Icon::Critical};
const forms::Message kRunQuestion = {"Are you sure you want to run this command?", "Run Command?",
                                     forms::Buttons::YesNo, forms::Icon::None};

class Runner : public ::testing::Test {
 protected:
  Runner() {
    runner.ReceiveOutputs = [this](std::string& chunk) { chunks.push_back(chunk); };
  }
  void TearDown() override { EXPECT_EQ(processes.openHandles(), 0); }
  std::string joined() const {
    std::string all;
    for (const auto& chunk : chunks) all += chunk;
    return all;
  }
  ScriptedDialogs dialogs;
  ScriptedProcesses processes;
  DOSOutputs runner{processes, dialogs};
  std::vector<std::string> chunks;
};

}  // namespace

TEST_F(Runner, ACommandThatWritesNothingGivesOneEmptyChunk) {
  processes.exitCode = 3;
  DOSOutputs::Result result = runner.ExecuteCommand("quiet.exe");
  EXPECT_TRUE(result.started && result.exited && !result.stopped);
  EXPECT_EQ(result.exitCode, 3u);
  EXPECT_EQ(chunks, std::vector<std::string>{""});
  EXPECT_FALSE(processes.writeEndOpenWhileReading);
}

TEST_F(Runner, ReadsAtMost256BytesAndEndsWithAnEmptyChunk) {
  std::string written;
  for (int i = 0; i < 600; ++i) written += static_cast<char>('a' + i % 26);
  processes.output = {written};
  runner.CommandLine("talk.exe");
  runner.ExecuteCommand();
  EXPECT_EQ(runner.BytesRead(), 600u);
  EXPECT_EQ(processes.largestRead, DOSOutputs::kReadSize);
  ASSERT_EQ(chunks.size(), 4u);
  std::string joined;
  for (const auto& chunk : chunks) {
    EXPECT_LE(chunk.size(), 256u);
    joined += chunk;
  }
  EXPECT_EQ(joined, written);
  EXPECT_EQ(chunks.back(), "");
  EXPECT_FALSE(processes.writeEndOpenWhileReading);
}

TEST_F(Runner, ACharacterSplitBetweenReadsArrivesWhole) {
  // "é" is two bytes; the first read ends after its first one.
  processes.output = {"ab\xC3", "\xA9" "cd", std::string(255, 'x') + "\xC3", "\xA9"};
  runner.ExecuteCommand("split.exe");
  // The first bytes wait until there are enough to tell the encoding.
  EXPECT_EQ(chunks, (std::vector<std::string>{"ab\xC3\xA9" "cd", std::string(255, 'x'),
                                              "\xC3\xA9", ""}));
  EXPECT_EQ(processes.largestRead, 256u);
}

TEST_F(Runner, AnUnfinishedCharacterAtTheEndIsStillHandedOn) {
  processes.output = {"ab\xC3"};
  runner.ExecuteCommand("cut.exe");
  EXPECT_EQ(chunks, (std::vector<std::string>{"ab\xC3", ""}));
}

// Nothing the tool writes is lost: a NUL shows as a placeholder, and output
// in UTF-16 (with or without a byte-order mark) is read as such.
TEST_F(Runner, NulsAndUtf16OutputArriveWhole) {
  using namespace std::string_literals;
  const std::string nul(OutputDecoder::kNulPlaceholder);
  struct Case {
    std::deque<std::string> output;
    std::string text;
  };
  const Case cases[] = {
      {{"before\0after\r\nsecond\0piece\r\nthird line"s},
       "before" + nul + "after\r\nsecond" + nul + "piece\r\nthird line"},
      {{"\xFF\xFEO\0K\0\r\0"s, "\n\0\xE9\0"s}, "OK\r\n\xC3\xA9"},
      {{"o\0k\0"s, "\x3D\xD8"s, "\x00\xDE"s}, "ok\xF0\x9F\x98\x80"},  // a pair split between reads
  };
  for (const Case& c : cases) {
    chunks.clear();
    processes.output = c.output;
    runner.ExecuteCommand("tool.exe");
    EXPECT_EQ(joined(), c.text);
  }
}

TEST_F(Runner, AnArgumentReplacesTheStoredCommandLine) {
  runner.CommandLine("old.exe");
  runner.ExecuteCommand("new.exe -x");
  EXPECT_EQ(runner.CommandLine(), "new.exe -x");
  EXPECT_EQ(processes.started, std::vector<std::string>{"new.exe -x"});
}

TEST_F(Runner, FailuresShowTheirMessageAndStartNothing) {
  dialogs.expect({"Command Line empty", "", forms::Buttons::Ok, forms::Icon::Critical},
                 forms::Answer::Ok);
  EXPECT_FALSE(runner.ExecuteCommand().started);

  processes.pipeError = 8;
  dialogs.expect({"CreatePipe failed. Error: 8", "", forms::Buttons::Ok, forms::Icon::Critical},
                 forms::Answer::Ok);
  EXPECT_FALSE(runner.ExecuteCommand("a.exe").started);

  processes.pipeError = 0;
  processes.canStart = false;
  processes.output = {"never read"};
  dialogs.expect(kCannotStart, forms::Answer::Ok);
  EXPECT_FALSE(runner.ExecuteCommand("missing.exe").started);
  EXPECT_TRUE(chunks.empty());
  EXPECT_TRUE(processes.started.empty());
  EXPECT_EQ(dialogs.shown.back().title, "Vorlane");
}

namespace {

class SendIt : public ::testing::Test, public Headless {
 protected:
  SendIt() { type(main.txtObjName, "C:\\Data"); }
  void send(forms::Answer answer = forms::Answer::Yes) {
    dialogs.expect(kRunQuestion,
                   answer);
    main.cmdSendIt.userClick();
  }
};

}  // namespace

TEST_F(SendIt, RunsTheCallStringFromTheStoredFolder) {
  struct Case {
    std::string folder;
    std::string commandLine;
  };
  const Case cases[] = {
      {std::string("C:\\SetACL\\") + '\0', "C:\\SetACL\\SetACL.exe -on \"C:\\Data\" -ot file"},
      {std::string("C:\\Program Files\\Tools\\") + '\0',
       "\"C:\\Program Files\\Tools\\SetACL.exe\" -on \"C:\\Data\" -ot file"},
  };
  for (const Case& c : cases) {
    state.SetAclFolder = c.folder;
    processes.output = {"line one\r\n", "line two\r\n"};
    send();
    EXPECT_EQ(processes.started.back(), c.commandLine);
    EXPECT_EQ(main.txtOutputs.text(), "line one\r\nline two\r\n");
    EXPECT_EQ(main.txtOutputs.selStart(), main.txtOutputs.length());
  }
  // Each run empties the box first.
  processes.output = {"third"};
  send();
  EXPECT_EQ(main.txtOutputs.text(), "third");
  EXPECT_EQ(main.txtCallString.text(), "SetACL.exe -on \"C:\\Data\" -ot file");
}

TEST_F(SendIt, AnsweredNoKeepsTheLastOutput) {
  processes.output = {"kept"};
  send();
  send(forms::Answer::No);
  EXPECT_EQ(main.txtOutputs.text(), "kept");
  EXPECT_EQ(processes.started.size(), 1u);
}

TEST_F(SendIt, WithoutAFolderTheInvalidArgumentErrorAndNoProcess) {
  state.SetAclFolder.clear();
  dialogs.expect(kRunQuestion,
                 forms::Answer::Yes)
      .expect({"this Invalid procedure call or argument - Vorlane - 5", ""}, forms::Answer::Ok);
  main.cmdSendIt.userClick();
  EXPECT_TRUE(processes.started.empty());
}

TEST_F(SendIt, AProgramThatCannotStartLeavesTheBoxEmpty) {
  processes.canStart = false;
  main.txtOutputs.setText("old");
  dialogs.expect(kRunQuestion, forms::Answer::Yes).expect(kCannotStart, forms::Answer::Ok);
  main.cmdSendIt.userClick();
  EXPECT_EQ(main.txtOutputs.text(), "");
}

TEST_F(SendIt, TheRunnerLivesAsLongAsTheWindow) {
  ASSERT_NE(main.objDOS, nullptr);
  main.unload();
  EXPECT_EQ(main.objDOS, nullptr);
}

TEST_F(SendIt, TheStatusLineFollowsTheRun) {
  state.SetAclFolder = std::string("C:\\SetACL\\") + '\0';
  processes.output = {"one\r\n", "two\r\n"};
  std::string whileRunning;
  processes.beforeRead = [&] { whileRunning = main.lblStatus.text(); };
  send();
  EXPECT_TRUE(whileRunning.starts_with("Running: ")) << whileRunning;
  EXPECT_TRUE(main.lblStatus.text().starts_with("Finished with exit code 0 after "));
  EXPECT_TRUE(main.lblStatus.text().ends_with(": 2 lines, 10 bytes")) << main.lblStatus.text();
  processes.exitCode = 3;
  send();
  EXPECT_TRUE(main.lblStatus.text().starts_with("FAILED with exit code 3 after ")) << main.lblStatus.text();
}

// While a command runs only Stop (or Esc) acts; its question, and on Yes the
// command ends with what it wrote kept, and the window is as before.
TEST_F(SendIt, StopEndsTheRunAndNothingElseStarts) {
  state.SetAclFolder = std::string("C:\\SetACL\\") + '\0';
  processes.output = {"kept\r\n", "never read"};
  bool asked = false;
  processes.beforeRead = [&] {
    if (asked || main.txtOutputs.text().empty()) return;
    asked = true;
    EXPECT_FALSE(main.cmdSendIt.visible());
    main.cmdSendIt.userClick();  // as automation would: refused, no question
    main.cmdAbout.userClick();
    EXPECT_FALSE(main.cmdAbout.enabled());
    dialogs.expect({"Stop the running command?", "Stop Command?", forms::Buttons::YesNo},
                   forms::Answer::No);
    main.userCancel();  // Esc, answered No: it runs on
    EXPECT_FALSE(processes.terminated);
    dialogs.expect({"Stop the running command?", "Stop Command?", forms::Buttons::YesNo},
                   forms::Answer::Yes);
    main.cmdStop.userClick();
  };
  send();
  EXPECT_TRUE(processes.terminated);
  EXPECT_EQ(main.txtOutputs.text(), "kept\r\n");
  EXPECT_TRUE(main.lblStatus.text().starts_with("Stopped after ")) << main.lblStatus.text();
  EXPECT_TRUE(main.cmdSendIt.visible() && main.cmdSendIt.enabled() && main.cmdAbout.enabled());
  EXPECT_FALSE(main.cmdStop.visible());
  EXPECT_EQ(processes.started.size(), 1u);
}

TEST(RunStatus, Texts) {
  const RunProgress p{1234, 1234567, 3.25};
  EXPECT_EQ(RunningStatus(p), "Running: 1,234 lines, 1,234,567 bytes received, 3.2 s");
  EXPECT_EQ(FinishedStatus(p, 0), "Finished with exit code 0 after 3.2 s: 1,234 lines, 1,234,567 bytes");
  EXPECT_EQ(FinishedStatus({1, 1, 0.05}, 2), "FAILED with exit code 2 after 0.1 s: 1 line, 1 byte");
  EXPECT_EQ(StoppedStatus(p), "Stopped after 3.2 s: 1,234 lines, 1,234,567 bytes kept");
}
