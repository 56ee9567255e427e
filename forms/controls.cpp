#include "forms/controls.h"

#include "forms/form.h"

namespace forms {

void CommandButton::userClick() {
  if (enabled()) raiseClick(Cause::User);
}

void TextBox::setText(std::string text) {
  if (text == rows_.text()) return;
  rows_.set(std::move(text));
  selStart_ = std::min(selStart_, length());
  notify(Prop::Text);
  changed();
}

void TextBox::append(std::string_view piece) {
  if (piece.empty()) return;
  rows_.append(piece);
  notify(Prop::Appended);
  changed();
}

void TextBox::setSelStart(size_t pos) {
  selStart_ = std::min(pos, length());
  notify(Prop::Caret);
}

void TextBox::userEdit(std::string text) {
  if (text == rows_.text()) return;
  rows_.set(std::move(text));
  selStart_ = std::min(selStart_, length());
  changed();
}

void TextBox::userKeyUp(int keyCode) {
  if (onKeyUp) onKeyUp(keyCode);
}

void TextBox::userKeyPress(int keyAscii) {
  if (onKeyPress) onKeyPress(keyAscii);
}

void TextBox::changed() {
  if (onChange) onChange();
}

void ListControl::setItems(std::vector<std::string> items) {
  items_ = std::move(items);
  listIndex_ = -1;
  notify(Prop::List);
}

void ListControl::setListIndex(int index) { select(index, Cause::Code); }

void ListControl::setText(std::string text) {
  for (size_t i = 0; i < items_.size(); ++i)
    if (items_[i] == text) return select(static_cast<int>(i), Cause::Code);
}

const std::string& ListControl::text() const {
  static const std::string empty;
  return listIndex_ < 0 ? empty : items_[listIndex_];
}

void ListControl::userPick(int index) {
  if (index != listIndex_) select(index, Cause::User);
}

void ListControl::select(int index, Cause cause) {
  if (index < -1 || index >= static_cast<int>(items_.size())) return;
  listIndex_ = index;
  notify(Prop::Value);
  picked();
  raiseClick(cause);
}

void ListView::setTable(std::vector<std::string> columns,
                        std::vector<std::vector<std::string>> rows) {
  columns_ = std::move(columns);
  rows_ = std::move(rows);
  selected_ = -1;
  notify(Prop::List);
}

void ListView::setSelectedRow(int row) { select(row, Cause::Code); }

void ListView::userSelect(int row) {
  if (row != selected_) select(row, Cause::User);
}

void ListView::userClickColumn(int column) {
  if (enabled() && onColumnClick && column >= 0 && column < static_cast<int>(columns_.size())) onColumnClick(column);
}

void ListView::select(int row, Cause cause) {
  if (row < -1 || row >= static_cast<int>(rows_.size())) return;
  selected_ = row;
  notify(Prop::Value);
  raiseClick(cause);
}

void TabStrip::addPage(std::string caption, Control& page) {
  page.setAccessibleName(Plain(caption));
  page.setVisible(false);
  pages_.push_back(&page);
  std::vector<std::string> captions = items();
  captions.push_back(std::move(caption));
  setItems(std::move(captions));
}

void TabStrip::picked() {
  for (std::size_t i = 0; i < pages_.size(); ++i)
    pages_[i]->setVisible(static_cast<int>(i) == listIndex());
}

void CheckBox::setValue(int value) { change(value, Cause::Code); }

void CheckBox::userClick() {
  if (enabled()) change(value_ == 1 ? 0 : 1, Cause::User);
}

void CheckBox::change(int value, Cause cause) {
  if (value == value_ || value < 0 || value > 2) return;
  value_ = value;
  notify(Prop::Value);
  raiseClick(cause);
}

void OptionButton::select() { choose(Cause::Code); }

void OptionButton::userClick() {
  if (enabled()) choose(Cause::User);
}

void OptionButton::choose(Cause cause) {
  for (const auto& other : form().controls()) {
    if (other.get() == this || other->kind() != Kind::OptionButton ||
        other->container() != container())
      continue;
    auto& option = static_cast<OptionButton&>(*other);
    if (option.value_) {
      option.value_ = false;
      option.notify(Prop::Value);
    }
  }
  value_ = true;
  notify(Prop::Value);
  raiseClick(cause);
}

}  // namespace forms
