#include "forms/control.h"

#include "forms/form.h"

namespace forms {

Control::Control(Form& form, Control* container, Kind kind, std::string name, int index)
    : form_(form), container_(container), kind_(kind), name_(std::move(name)), index_(index) {}

std::string Control::codeName() const {
  return index_ < 0 ? name_ : name_ + "(" + std::to_string(index_) + ")";
}

void Control::setText(std::string text) {
  if (text == text_) return;
  text_ = std::move(text);
  notify(Prop::Text);
}

std::string Control::accessibleName() const {
  if (!accessibleName_.empty()) return accessibleName_;
  const auto& all = form_.controls();
  const Control* namer = &form_;
  for (size_t i = 1; i < all.size(); ++i)
    if (all[i].get() == this && all[i - 1]->kind() == Kind::Label &&
        all[i - 1]->container_ == container_)
      namer = all[i - 1].get();
  if (namer == &form_)
    for (const Control* c = container_; c != nullptr; c = c->container_)
      if (c->kind() == Kind::Frame) {
        namer = c;
        break;
      }
  const std::string& caption = namer->text();
  std::string name;
  for (size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&' && ++i == caption.size()) break;
    name += caption[i];
  }
  return name;
}

void Control::setVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  notify(Prop::Visible);
}

bool Control::shown() const {
  for (const Control* c = this; c != nullptr; c = c->container_)
    if (!c->visible_) return false;
  return true;
}

void Control::setEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  notify(Prop::Enabled);
}

void Control::setRect(Rect rect) {
  rect_ = rect;
  notify(Prop::Geometry);
}

void Control::setFocus() { form_.focus(this); }

bool Control::hasFocus() const { return form_.focused() == this; }

void Control::notify(Prop prop) {
  if (Backend* backend = form_.backend()) backend->changed(*this, prop);
}

void Control::raiseClick(Cause cause) {
  if (onClick) onClick();
  if (cause == Cause::User && onUserClick) onUserClick();
}

}  // namespace forms
