#include "forms/control.h"

#include "forms/form.h"

#include <cctype>

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

const Control& Control::namer() const {
  const auto& all = form_.controls();
  for (size_t i = 1; i < all.size(); ++i)
    if (all[i].get() == this && all[i - 1]->kind() == Kind::Label &&
        all[i - 1]->container_ == container_)
      return *all[i - 1];
  for (const Control* c = container_; c != nullptr; c = c->container_)
    if (c->kind() == Kind::Frame) return *c;
  return form_;
}

std::string Control::accessibleName() const {
  return accessibleName_.empty() ? Plain(namer().text()) : accessibleName_;
}

char Control::AccessKey(std::string_view caption) {
  for (size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] != '&') return static_cast<char>(std::tolower(static_cast<unsigned char>(caption[i + 1])));
    ++i;
  }
  return 0;
}

std::string Control::Plain(std::string_view caption) {
  std::string plain;
  for (size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&' && ++i == caption.size()) break;
    plain += caption[i];
  }
  return plain;
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
