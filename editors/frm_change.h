#pragma once
// The entry list editor: one of the entry lists shown as plain text, to be
// hand-edited, saved or emptied, with its entry count kept in step; what
// the user does is handed back to the window that opened it.

#include <functional>
#include <string>

#include "forms/control_array.h"
#include "forms/dialogs.h"
#include "forms/form.h"

class FrmChange : public forms::Form {
 public:
  explicit FrmChange(forms::Dialogs& dialogs);

  // What the editor hands back.
  struct Handback {
    std::function<void(std::string text)> saved;  // the list is now this text
    std::function<void()> cleared;                // the list and its count are empty
    std::function<void(int count)> counted;       // the count was set by hand
  };
  // Shows the list of this kind ("Ace", "Trustee", "Filter"), its text and
  // its count.
  void Edit(std::string kind, std::string text, int count, Handback handback);

 private:
  using Button = forms::CommandButton;

  forms::Dialogs& dialogs_;
  std::string kind_;
  std::string text_;
  int count_ = 0;
  Handback handback_;

 public:
  forms::ControlArray<Button> cmdCount;

  forms::TextBox& txtChange = add<forms::TextBox>(nullptr, "txtChange", {120, 120, 4455, 2295});
  Button& cmdClear = add<Button>(nullptr, "cmdClear", {120, 3000, 855, 375}, "Clear",
      "Clear this from the Call String.");
  Button& cmdClose =
      add<Button>(nullptr, "cmdClose", {1080, 3000, 855, 375}, "Close", "I just wanted to look.");
  Button& cmdSave = add<Button>(nullptr, "cmdSave", {120, 2520, 855, 375}, "Save",
      "Save my changes to the Call String.");
  forms::Frame& FraOptionCount =
      add<forms::Frame>(nullptr, "FraOptionCount", {2040, 2760, 1215, 615}, "Option Count");
  Button& cmdCountUp = cmdCount.add(add<Button>(&FraOptionCount, "cmdCount", {720, 240, 255, 255},
      "+", "If you add an action, then you can adjust the number on the edit button.", 0));
  Button& cmdCountDown = cmdCount.add(add<Button>(&FraOptionCount, "cmdCount", {240, 240, 255, 255},
      "-", "If you delete an action, then you can adjust the number on the edit button.", 1));

 private:
  void Form_Activate();
  void LoadChangeText();
  void cmdSave_Click();
  void cmdClear_Click();
  void cmdCount_Click(int Index);
};
