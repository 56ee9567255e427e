#include "forms/form.h"

namespace forms {

Form::Form(std::string name, std::string caption, int clientWidth, int clientHeight, Style style)
    : Control(*this, nullptr, Kind::Form, std::move(name), -1),
      style_(style),
      clientWidth_(clientWidth),
      clientHeight_(clientHeight) {
  text_ = std::move(caption);
  Control::setVisible(false);
}

Form::~Form() = default;

void Form::setWindowHeight(int twips) {
  windowHeight_ = twips;
  notify(Prop::Geometry);
}

void Form::display() {
  if (!loaded_) {
    loaded_ = true;
    if (onLoad) onLoad();
    if (unloaded_) return;
  }
  setVisible(true);
  if (backend_) backend_->show(*this);
  if (onActivate) onActivate();
}

void Form::show() { display(); }

void Form::showModal() {
  display();
  if (backend_ && visible() && !unloaded_) backend_->runModal(*this);
}

void Form::hide() {
  if (!visible()) return;
  setVisible(false);
  if (backend_) backend_->hide(*this);
}

void Form::userClose() {
  if (closeUnloads_) unload();
  else hide();
}

void Form::userCancel() {
  if (visible() && cancel_ && cancel_->shown()) cancel_->userClick();
}

namespace {

bool IsInput(const Control& c) {
  return c.kind() == Kind::TextBox || c.kind() == Kind::ComboBox ||
         c.kind() == Kind::FileListBox || c.kind() == Kind::ListView;
}

}  // namespace

bool Form::userAccessKey(char key) {
  key = Control::AccessKey(std::string{'&', key});
  for (const auto& c : controls_) {
    if (!c->shown() || !c->enabled()) continue;
    if (c->kind() == Kind::TabStrip) {
      auto& tabs = static_cast<TabStrip&>(*c);
      for (int i = 0; i < static_cast<int>(tabs.items().size()); ++i)
        if (AccessKey(tabs.items()[i]) == key) {
          tabs.userPick(i);
          tabs.page(i).setFocus();
          return true;
        }
      continue;
    }
    if (AccessKey(c->text()) != key) continue;
    switch (c->kind()) {
      case Kind::CommandButton:
        c->setFocus();
        static_cast<CommandButton&>(*c).userClick();
        return true;
      case Kind::CheckBox:
        c->setFocus();
        static_cast<CheckBox&>(*c).userClick();
        return true;
      case Kind::OptionButton:
        c->setFocus();
        static_cast<OptionButton&>(*c).userClick();
        return true;
      case Kind::Label:
      case Kind::Frame:
        for (const auto& input : controls_)
          if (IsInput(*input) && &input->namer() == c.get() && input->shown() && input->enabled()) {
            input->setFocus();
            return true;
          }
        return false;
      default:
        break;
    }
  }
  return false;
}

void Form::setTimer(int milliseconds) {
  if (milliseconds == timer_) return;
  timer_ = milliseconds;
  notify(Prop::Timer);
}

void Form::unload() {
  if (unloaded_) return;
  hide();
  setTimer(0);
  unloaded_ = true;
  if (onTerminate) onTerminate();
  if (backend_) backend_->unload(*this);
}

void Form::focus(Control* control) {
  focused_ = control;
  if (control) control->notify(Prop::Focus);
}

Control* Form::find(const std::string& codeName) const {
  for (const auto& c : controls_)
    if (c->codeName() == codeName) return c.get();
  return nullptr;
}

}  // namespace forms
