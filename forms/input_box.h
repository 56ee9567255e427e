#pragma once
// The input box: a prompt, a text box, OK and Cancel.

#include "forms/dialogs.h"
#include "forms/form.h"

namespace forms {

class InputBox : public Form {
 public:
  InputBox(const std::string& prompt, const std::string& title, const std::string& initial);
  // The text entered after OK; the empty text after Cancel or the close box.
  const std::string& result() const { return result_; }

  Label& lblPrompt = add<Label>(nullptr, "lblPrompt", {120, 120, 4335, 855});
  TextBox& txtInput = add<TextBox>(nullptr, "txtInput", {120, 1080, 4335, 285});
  CommandButton& cmdOK = add<CommandButton>(nullptr, "cmdOK", {4560, 120, 975, 375}, "OK");
  CommandButton& cmdCancel =
      add<CommandButton>(nullptr, "cmdCancel", {4560, 600, 975, 375}, "Cancel");

 private:
  std::string result_;
};

}  // namespace forms
