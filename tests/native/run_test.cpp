// The console runner's read loop against scripted children, and "Send It".

#include <gtest/gtest.h>

#include "run/dos_outputs.h"
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
  ScriptedDialogs dialogs;
  ScriptedProcesses processes;
  DOSOutputs runner{processes, dialogs};
  std::vector<std::string> chunks;
};

}  // namespace

TEST_F(Runner, ACommandThatWritesNothingGivesOneEmptyChunk) {
  EXPECT_EQ(runner.ExecuteCommand("quiet.exe"), "");
  EXPECT_EQ(chunks, std::vector<std::string>{""});
  EXPECT_FALSE(processes.writeEndOpenWhileReading);
}

TEST_F(Runner, ReadsAtMost256BytesAndEndsWithAnEmptyChunk) {
  std::string written;
  for (int i = 0; i < 600; ++i) written += static_cast<char>('a' + i % 26);
  processes.output = {written};
  runner.CommandLine("talk.exe");
  EXPECT_EQ(runner.ExecuteCommand(), written);
  EXPECT_EQ(runner.Outputs(), written);
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
  EXPECT_EQ(runner.ExecuteCommand("split.exe"),
            "ab\xC3\xA9" "cd" + std::string(255, 'x') + "\xC3\xA9");
  EXPECT_EQ(chunks, (std::vector<std::string>{"ab", "\xC3\xA9" "cd", std::string(255, 'x'),
                                              "\xC3\xA9", ""}));
  EXPECT_EQ(processes.largestRead, 256u);
}

TEST_F(Runner, AnUnfinishedCharacterAtTheEndIsStillHandedOn) {
  processes.output = {"ab\xC3"};
  EXPECT_EQ(runner.ExecuteCommand("cut.exe"), "ab\xC3");
  EXPECT_EQ(chunks, (std::vector<std::string>{"ab", "\xC3", ""}));
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
  EXPECT_EQ(runner.ExecuteCommand(), "");

  processes.pipeError = 8;
  dialogs.expect({"CreatePipe failed. Error: 8", "", forms::Buttons::Ok, forms::Icon::Critical},
                 forms::Answer::Ok);
  EXPECT_EQ(runner.ExecuteCommand("a.exe"), "");

  processes.pipeError = 0;
  processes.canStart = false;
  processes.output = {"never read"};
  dialogs.expect(kCannotStart, forms::Answer::Ok);
  EXPECT_EQ(runner.ExecuteCommand("missing.exe"), "");
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
