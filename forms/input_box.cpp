#include "forms/input_box.h"

namespace forms {

InputBox::InputBox(const std::string& prompt, const std::string& title, const std::string& initial)
    : Form("frmInputBox", title.empty() ? kAppTitle : title, 5655, 1485) {
  lblPrompt.setText(prompt);
  txtInput.setText(initial);
  cmdOK.onClick = [this] {
    result_ = txtInput.text();
    hide();
  };
  cmdCancel.onClick = [this] { hide(); };
  onActivate = [this] { txtInput.setFocus(); };
}

}  // namespace forms
