#pragma once
// Message and input boxes, the standard ones of the platform.

#include <string>

namespace forms {

enum class Buttons { Ok, YesNo };
enum class Icon { None, Information, Question, Critical };
enum class Answer { Ok, Yes, No };

// The title a box shows when it is given none.
inline constexpr const char* kAppTitle = "Vorlane";

struct Message {
  std::string prompt;
  std::string title;  // empty: kAppTitle
  Buttons buttons = Buttons::Ok;
  Icon icon = Icon::None;
};

inline const std::string& shownTitle(const Message& box) {
  static const std::string app = kAppTitle;
  return box.title.empty() ? app : box.title;
}

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  virtual Answer message(const Message& box) = 0;
  // The text entered, or the empty text when the user cancels.
  virtual std::string input(const std::string& prompt, const std::string& title,
                            const std::string& initial) = 0;

  // A confirmation: true only for Yes.
  bool confirm(std::string prompt, std::string title, Icon icon = Icon::None) {
    return message({std::move(prompt), std::move(title), Buttons::YesNo, icon}) == Answer::Yes;
  }
  void tell(std::string prompt, std::string title = {}, Icon icon = Icon::None) {
    message({std::move(prompt), std::move(title), Buttons::Ok, icon});
  }
};

}  // namespace forms
