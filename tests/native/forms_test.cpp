// The event semantics of the control model.

#include <gtest/gtest.h>

#include "forms/control_array.h"
#include "forms/form.h"

namespace {

class Sample : public forms::Form {
 public:
  Sample() : Form("frmSample", "Sample", 2000, 2000) {}
  forms::ComboBox& cbo = add<forms::ComboBox>(nullptr, "cbo", {});
  forms::CheckBox& chk = add<forms::CheckBox>(nullptr, "chk", {});
  forms::Frame& fra = add<forms::Frame>(nullptr, "fra", {});
  forms::OptionButton& optA = add<forms::OptionButton>(&fra, "optA", {});
  forms::OptionButton& optB = add<forms::OptionButton>(&fra, "optB", {});
  forms::OptionButton& optOther = add<forms::OptionButton>(nullptr, "optOther", {});
  forms::TextBox& txt = add<forms::TextBox>(&fra, "txt", {});
  forms::ControlArray<forms::CommandButton> cmd;
  forms::CommandButton& first = cmd.add(add<forms::CommandButton>(nullptr, "cmd", {}, "", "", 0));
  forms::CommandButton& second = cmd.add(add<forms::CommandButton>(nullptr, "cmd", {}, "", "", 1));
};

}  // namespace

TEST(Forms, CodeChangesRaiseClickAndUserOnlyHandlersSeeOnlyTheUser) {
  Sample form;
  std::vector<std::string> log;
  form.chk.onClick = [&] { log.push_back("click " + std::to_string(form.chk.value())); };
  form.chk.onUserClick = [&] { log.push_back("user"); };
  form.chk.setValue(1);
  form.chk.setValue(1);  // no change, no event
  form.chk.userClick();
  form.chk.setValue(2);
  form.chk.userClick();  // greyed goes to ticked
  EXPECT_EQ(log, (std::vector<std::string>{"click 1", "click 0", "user", "click 2", "click 1",
                                           "user"}));
  EXPECT_TRUE(form.chk.ticked());
  form.chk.setValue(2);
  EXPECT_FALSE(form.chk.ticked());
}

TEST(Forms, ComboBoxSelection) {
  Sample form;
  int clicks = 0;
  form.cbo.onClick = [&] { ++clicks; };
  form.cbo.setItems({"No", "Yes"});
  EXPECT_EQ(form.cbo.text(), "");  // nothing selected reads empty
  form.cbo.setText("Yes");
  EXPECT_EQ(form.cbo.listIndex(), 1);
  form.cbo.setText("yes");  // not an item: nothing happens
  EXPECT_EQ(form.cbo.text(), "Yes");
  form.cbo.userPick(0);
  form.cbo.userPick(0);  // picking the shown item again changes nothing
  EXPECT_EQ(form.cbo.text(), "No");
  EXPECT_EQ(clicks, 2);
}

TEST(Forms, OptionButtonsAreExclusiveWithinTheirContainer) {
  Sample form;
  std::vector<std::string> clicks;
  form.optA.onClick = [&] { clicks.push_back("A"); };
  form.optB.onClick = [&] { clicks.push_back("B"); };
  form.optOther.select();
  form.optA.select();
  form.optB.userClick();
  EXPECT_FALSE(form.optA.value());
  EXPECT_TRUE(form.optB.value());
  EXPECT_TRUE(form.optOther.value());
  EXPECT_EQ(clicks, (std::vector<std::string>{"A", "B"}));
}

TEST(Forms, TextBoxEventsAndLength) {
  Sample form;
  std::vector<std::string> log;
  form.txt.onChange = [&] { log.push_back("change"); };
  form.txt.onKeyUp = [&](int key) { log.push_back("up " + std::to_string(key)); };
  form.txt.userEdit("pasted");  // a paste raises no key event
  form.txt.userKeyUp(65);
  form.txt.setText("pasted");  // same text: no change
  EXPECT_EQ(log, (std::vector<std::string>{"change", "up 65"}));
  form.txt.setText("a\xc3\xa9\xf0\x9f\x98\x80");  // a, e acute, one emoji (two UTF-16 units)
  EXPECT_EQ(form.txt.length(), 4u);
  form.txt.append("xy");
  EXPECT_EQ(form.txt.text(), "a\xc3\xa9\xf0\x9f\x98\x80xy");
  EXPECT_EQ(form.txt.length(), 6u);
  form.txt.setSelStart(99);
  EXPECT_EQ(form.txt.selStart(), 6u);
}

TEST(Forms, ControlArrayPassesTheIndex) {
  Sample form;
  std::vector<int> pressed;
  form.cmd.onClick([&](int index) { pressed.push_back(index); });
  form.second.userClick();
  form.first.userClick();
  form.second.setEnabled(false);
  form.second.userClick();
  EXPECT_EQ(pressed, (std::vector<int>{1, 0}));
  EXPECT_EQ(form.second.codeName(), "cmd(1)");
  EXPECT_EQ(form.find("cmd(1)"), &form.second);
}

TEST(Forms, LoadOnFirstShowActivateOnEveryShowValuesKept) {
  Sample form;
  std::vector<std::string> log;
  form.onLoad = [&] { log.push_back("load"); };
  form.onActivate = [&] { log.push_back("activate"); };
  form.onTerminate = [&] { log.push_back("terminate"); };
  form.showModal();
  form.txt.setText("kept");
  form.userClose();  // the close box hides, or unloads where the form says so
  EXPECT_FALSE(form.visible());
  EXPECT_FALSE(form.unloaded());
  form.showModal();
  EXPECT_EQ(log, (std::vector<std::string>{"load", "activate", "activate"}));
  EXPECT_EQ(form.txt.text(), "kept");
  form.setCloseUnloads(true);
  form.userClose();
  EXPECT_TRUE(form.unloaded());
  EXPECT_EQ(log.back(), "terminate");
}

TEST(Forms, EscClicksTheCancelButtonOnlyWhereTheUserSeesIt) {
  Sample form;
  int clicks = 0;
  form.first.onClick = [&] { ++clicks; };
  form.setCancelButton(&form.first);
  form.userCancel();  // the form is hidden
  form.show();
  form.userCancel();
  form.first.setVisible(false);
  form.userCancel();
  EXPECT_EQ(clicks, 1);
  // What the user sees follows the containers as well.
  EXPECT_TRUE(form.txt.shown());
  form.fra.setVisible(false);
  EXPECT_TRUE(form.txt.visible());
  EXPECT_FALSE(form.txt.shown());
}
