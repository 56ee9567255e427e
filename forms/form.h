#pragma once
// A window: owns its controls, knows its renderer, and raises Load on the
// first showing, Activate on every showing and Terminate when it goes.

#include <functional>
#include <memory>
#include <vector>

#include "forms/backend.h"
#include "forms/controls.h"

namespace forms {

enum class Style { Main, Dialog };

class Form : public Control {
 public:
  Form(std::string name, std::string caption, int clientWidth, int clientHeight,
       Style style = Style::Dialog);
  ~Form() override;

  Style style() const { return style_; }
  int clientWidth() const { return clientWidth_; }
  int clientHeight() const { return clientHeight_; }
  // The height of the whole window, frame included, when code has set one;
  // otherwise 0 and the window is as high as its client area needs.
  int windowHeight() const { return windowHeight_; }
  void setWindowHeight(int twips);

  // A closed box unloads the form when set; otherwise it only hides it.
  bool closeUnloads() const { return closeUnloads_; }
  void setCloseUnloads(bool on) { closeUnloads_ = on; }

  void attach(Backend* backend) { backend_ = backend; }
  Backend* backend() const { return backend_; }

  bool loaded() const { return loaded_; }
  bool unloaded() const { return unloaded_; }
  // Shows the form and returns when it hides itself.
  void showModal();
  void show();
  void hide();
  // The user asks to close the window with its close box: true when the
  // form keeps itself open (onQueryUnload said so).
  bool queryUnload() { return onQueryUnload && onQueryUnload(); }
  // The user closed the window with its close box.
  void userClose();
  // The user pressed Esc: the cancel button, when the form and the button
  // are shown and the button enabled, is clicked.
  void userCancel();
  CommandButton* cancelButton() const { return cancel_; }
  // The user pressed Alt and a key: the shown and enabled control whose
  // access key it is acts. A button, check box or option button is clicked;
  // a label or frame moves the focus to the input it names; a tab shows its
  // page and moves the focus there. False when no control has the key.
  bool userAccessKey(char key);
  void setCancelButton(CommandButton* button) { cancel_ = button; }

  // Raises onTimer every `milliseconds` until stopped (0 stops it).
  void setTimer(int milliseconds);
  int timerInterval() const { return timer_; }
  // The form goes: hidden, Terminate raised, its window destroyed.
  void unload();

  Control* focused() const { return focused_; }
  void focus(Control* control);

  const std::vector<std::unique_ptr<Control>>& controls() const { return controls_; }
  Control* find(const std::string& codeName) const;

  std::function<void()> onLoad;
  std::function<void()> onActivate;
  std::function<void()> onTerminate;
  std::function<void()> onTimer;
  // Asked before the close box closes the window: true keeps it open.
  std::function<bool()> onQueryUnload;

 protected:
  template <class T>
  T& add(Control* container, std::string name, Rect rect, std::string text = {},
         std::string tooltip = {}, int index = -1) {
    auto control = std::make_unique<T>(*this, container, std::move(name), index);
    T& ref = *control;
    ref.setRect(rect);
    ref.setText(std::move(text));
    ref.setTooltip(std::move(tooltip));
    ref.setTabIndex(static_cast<int>(controls_.size()));
    controls_.push_back(std::move(control));
    return ref;
  }

 private:
  void display();
  Style style_;
  int clientWidth_;
  int clientHeight_;
  int windowHeight_ = 0;
  bool closeUnloads_ = false;
  bool loaded_ = false;
  bool unloaded_ = false;
  Backend* backend_ = nullptr;
  Control* focused_ = nullptr;
  CommandButton* cancel_ = nullptr;
  int timer_ = 0;
  std::vector<std::unique_ptr<Control>> controls_;
};

}  // namespace forms
