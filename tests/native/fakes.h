#pragma once
// Scripted stand-ins for the platform in headless tests.

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "app/app.h"
#include "forms/dialogs.h"
#include "main/frm_main.h"
#include "platform/folder_browser.h"
#include "tests/native/fake_platform.h"
#include "tests/native/fake_security.h"

// Answers message and input boxes from a script; any box it was not told to
// expect fails the test. Every box shown is recorded.
class ScriptedDialogs : public forms::Dialogs {
 public:
  ~ScriptedDialogs() override;
  // The next box must be exactly this one (an empty prompt matches any);
  // check runs while it is shown.
  ScriptedDialogs& expect(forms::Message box, forms::Answer answer,
                          std::function<void()> check = {});
  ScriptedDialogs& expectInput(std::string prompt, std::string title, std::string reply);
  bool allShown() const { return script_.empty(); }

  forms::Answer message(const forms::Message& box) override;
  std::string input(const std::string& prompt, const std::string& title,
                    const std::string& initial) override;

  std::vector<forms::Message> shown;

 private:
  struct Step {
    bool isInput;
    forms::Message box;
    forms::Answer answer;
    std::string reply;
    std::function<void()> check;
  };
  std::deque<Step> script_;
};

class FakeFolderBrowser : public platform::FolderBrowser {
 public:
  std::string BrowseForFolder(const forms::Form* owner, const std::string& title) override;
  std::deque<std::string> results;  // the empty text stands for a cancel
  std::vector<std::string> titles;
  std::vector<const forms::Form*> owners;
};

// The question "Send It" asks before it runs anything.
inline const forms::Message kRunQuestion = {"Are you sure you want to run this command?", "Run Command?",
                                            forms::Buttons::YesNo};

// The program with a fake for every service; nothing shown yet. Real
// children, and the system's reading of security, when they are given.
struct Program {
  explicit Program(forms::Backend* backend = nullptr, platform::Processes* real = nullptr,
                   std::string programFolder = "D:\\Tools",
                   platform::Security* realSecurity = nullptr)
      : app({dialogs, browser, registry, files, real ? *real : processes, shell,
             realSecurity ? *realSecurity : security, clipboard, workers, tree,
             std::move(programFolder)},
            backend) {}
  ScriptedDialogs dialogs;
  FakeFolderBrowser browser;
  FakeRegistry registry;
  FakeFiles files;
  ScriptedProcesses processes;
  FakeShell shell;
  FakeSecurity security;
  FakeClipboard clipboard;
  FakeWorkers workers;
  FakeObjectTree tree;
  App app;
  FrmMain& main = app.frmMain();

  // "Send It" clicked, its question answered.
  void send(forms::Answer answer = forms::Answer::Yes);
  // What "Send It" starts for the object "x", run to its end: SetACL.exe from
  // the folder the program holds now.
  std::string sent();
};

// The program on a machine set up before: SetACL.exe in the program folder,
// Location naming C:\SetACL\ (or the folder given), both folders made; its
// main window shown.
struct Headless : Program {
  explicit Headless(forms::Backend* backend = nullptr, platform::Processes* real = nullptr,
                    const std::string& programFolder = "D:\\Tools",
                    const std::string& setAclFolder = "C:\\SetACL",
                    platform::Security* realSecurity = nullptr);

  // Types a whole text into a box, as the keyboard does.
  static void type(forms::TextBox& box, const std::string& text);
  // Writes the text into the list a count button opens, as the list editor
  // saves it, and sets the count with its + button.
  void handEdit(forms::CommandButton& countButton, const std::string& text, int count = 0);
  // A filter phrase added through the filter button.
  void addFilter(const std::string& phrase);
};
