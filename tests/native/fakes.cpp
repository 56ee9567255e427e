#include "tests/native/fakes.h"

#include "editors/frm_change.h"

#include <gtest/gtest.h>

namespace {

std::string describe(const forms::Message& box) {
  return "\"" + box.prompt + "\" / \"" + box.title + "\" buttons " +
         std::to_string(static_cast<int>(box.buttons)) + " icon " +
         std::to_string(static_cast<int>(box.icon));
}

}  // namespace

ScriptedDialogs::~ScriptedDialogs() {
  for (const Step& step : script_)
    ADD_FAILURE() << "expected box never shown: " << describe(step.box);
}

ScriptedDialogs& ScriptedDialogs::expect(forms::Message box, forms::Answer answer,
                                         std::function<void()> check) {
  script_.push_back({false, std::move(box), answer, {}, std::move(check)});
  return *this;
}

ScriptedDialogs& ScriptedDialogs::expectInput(std::string prompt, std::string title,
                                              std::string reply) {
  script_.push_back({true, {std::move(prompt), std::move(title)}, {}, std::move(reply), {}});
  return *this;
}

forms::Answer ScriptedDialogs::message(const forms::Message& box) {
  forms::Message seen = box;
  seen.title = forms::shownTitle(box);
  shown.push_back(seen);
  if (script_.empty() || script_.front().isInput) {
    ADD_FAILURE() << "unexpected box: " << describe(seen);
    return box.buttons == forms::Buttons::YesNo ? forms::Answer::No : forms::Answer::Ok;
  }
  Step step = std::move(script_.front());
  script_.pop_front();
  if (!step.box.prompt.empty()) {
    EXPECT_EQ(seen.prompt, step.box.prompt);
  }
  EXPECT_EQ(seen.title, forms::shownTitle(step.box));
  EXPECT_EQ(seen.buttons, step.box.buttons) << describe(seen);
  EXPECT_EQ(seen.icon, step.box.icon) << describe(seen);
  if (step.check) step.check();
  return step.answer;
}

std::string ScriptedDialogs::input(const std::string& prompt, const std::string& title,
                                   const std::string& initial) {
  shown.push_back({prompt, title});
  if (script_.empty() || !script_.front().isInput) {
    ADD_FAILURE() << "unexpected input box: \"" << prompt << "\" / \"" << title << "\"";
    return {};
  }
  Step step = std::move(script_.front());
  script_.pop_front();
  EXPECT_EQ(prompt, step.box.prompt);
  EXPECT_EQ(title, step.box.title);
  EXPECT_EQ(initial, "");
  return step.reply;
}

std::string FakeFolderBrowser::BrowseForFolder(const forms::Form* owner, const std::string& title) {
  owners.push_back(owner);
  titles.push_back(title);
  if (results.empty()) {
    ADD_FAILURE() << "unexpected folder browser";
    return {};
  }
  std::string result = std::move(results.front());
  results.pop_front();
  return result;
}

void Program::send(forms::Answer answer) {
  dialogs.expect(kRunQuestion, answer);
  main.cmdSendIt.userClick();
}

std::string Program::sent() {
  main.txtObjName.userEdit("x");
  send();
  processes.finish();
  return processes.started.empty() ? "" : processes.started.back();
}

Headless::Headless(forms::Backend* backend, platform::Processes* real,
                   const std::string& programFolder, const std::string& setAclFolder,
                   platform::Security* realSecurity)
    : Program(backend, real, programFolder, realSecurity) {
  registry.keys["SOFTWARE\\Vorlane"]["Location"].text = setAclFolder + "\\" + '\0';
  files.files = {programFolder + "\\SetACL.exe"};
  // Every folder on the way down, the drive as "D:".
  for (std::size_t slash = programFolder.find('\\'); slash != std::string::npos;
       slash = programFolder.find('\\', slash + 1))
    files.folders.insert(programFolder.substr(0, slash));
  files.folders.insert({programFolder, programFolder + "\\LogFiles", programFolder + "\\Backups"});
  main.show();
}

void Headless::type(forms::TextBox& box, const std::string& text) {
  box.userEdit(text);
  box.userKeyUp(text.empty() ? 8 : static_cast<unsigned char>(text.back()));
}

void Headless::handEdit(forms::CommandButton& countButton, const std::string& text, int count) {
  countButton.userClick();
  FrmChange& editor = main.listEditor();
  editor.txtChange.userEdit(text);
  for (int i = 0; i < count; ++i) editor.cmdCountUp.userClick();
  dialogs.expect({"Are you sure you want to save", "Save Changes?", forms::Buttons::YesNo},
                 forms::Answer::Yes);
  editor.cmdSave.userClick();
}

void Headless::addFilter(const std::string& phrase) {
  dialogs.expectInput("What phrase would you like filtered?", "Add Filter", phrase);
  main.cmdFilter.userClick();
}
