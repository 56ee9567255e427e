#pragma once
// The control kinds. Each offers what code may set and the user actions a
// renderer (or a test) reports: userEdit, userKeyUp, userPick, userClick.

#include <string>
#include <vector>

#include "forms/control.h"
#include "forms/text_rows.h"

namespace forms {

class Frame : public Control {
 public:
  Frame(Form& f, Control* c, std::string n, int i) : Control(f, c, Kind::Frame, std::move(n), i) {}
};

class Label : public Control {
 public:
  Label(Form& f, Control* c, std::string n, int i) : Control(f, c, Kind::Label, std::move(n), i) {}
};

class CommandButton : public Control {
 public:
  CommandButton(Form& f, Control* c, std::string n, int i)
      : Control(f, c, Kind::CommandButton, std::move(n), i) {}
  void userClick();
};

class TextBox : public Control {
 public:
  TextBox(Form& f, Control* c, std::string n, int i)
      : Control(f, c, Kind::TextBox, std::move(n), i) {}

  bool multiLine() const { return multiLine_; }
  bool readOnly() const { return readOnly_; }
  void setMultiLine(bool on) { multiLine_ = on; }
  void setReadOnly(bool on) { readOnly_ = on; }
  // Text arrives at its end, in pieces, possibly a great deal of it: a
  // renderer shows it in a view made for that.
  bool streaming() const { return streaming_; }
  void setStreaming(bool on) { streaming_ = on; }

  const std::string& text() const override { return rows_.text(); }
  void setText(std::string text) override;
  // Adds a piece at the end; costs the piece, not the whole text.
  void append(std::string_view piece);
  // Length in characters (UTF-16 units, as the native box counts them).
  size_t length() const { return rows_.utf16Length(); }
  // The text in rows, for a renderer that draws them.
  TextRows& rows() { return rows_; }

  // The caret position in characters; the renderer scrolls it into view.
  size_t selStart() const { return selStart_; }
  void setSelStart(size_t pos);

  // The user changed the text (typing, pasting): Change, no key event.
  void userEdit(std::string text);
  void userKeyUp(int keyCode);
  void userKeyPress(int keyAscii);

  std::function<void()> onChange;
  std::function<void(int keyCode)> onKeyUp;
  std::function<void(int keyAscii)> onKeyPress;

 private:
  void changed();
  bool multiLine_ = false;
  bool readOnly_ = false;
  bool streaming_ = false;
  TextRows rows_;
  size_t selStart_ = 0;
};

// A list the user picks from: a drop-down combo box or a file list.
class ListControl : public Control {
 public:
  using Control::Control;
  const std::vector<std::string>& items() const { return items_; }
  void setItems(std::vector<std::string> items);
  int listIndex() const { return listIndex_; }
  // Selecting by code raises Click like the user's pick.
  void setListIndex(int index);
  // Selects the item with exactly this text; nothing when there is none.
  void setText(std::string text) override;
  const std::string& text() const override;
  void userPick(int index);

 protected:
  // The selection changed, before Click is raised.
  virtual void picked() {}

 private:
  void select(int index, Cause cause);
  std::vector<std::string> items_;
  int listIndex_ = -1;
};

class ComboBox : public ListControl {
 public:
  ComboBox(Form& f, Control* c, std::string n, int i)
      : ListControl(f, c, Kind::ComboBox, std::move(n), i) {}
};

class FileListBox : public ListControl {
 public:
  FileListBox(Form& f, Control* c, std::string n, int i)
      : ListControl(f, c, Kind::FileListBox, std::move(n), i) {}
};

// Pages of which one shows at a time, each under a tab of its own: picking
// a tab, by hand or by code, shows its page and hides the others.
class TabStrip : public ListControl {
 public:
  TabStrip(Form& f, Control* c, std::string n, int i)
      : ListControl(f, c, Kind::TabStrip, std::move(n), i) {}
  // A tab with this caption showing `page` while it is picked.
  void addPage(std::string caption, Control& page);
  Control& page(int index) const { return *pages_.at(static_cast<std::size_t>(index)); }

 private:
  void picked() override;
  std::vector<Control*> pages_;
};

// A table to read: its column heads and its rows of texts.
class ListView : public Control {
 public:
  ListView(Form& f, Control* c, std::string n, int i)
      : Control(f, c, Kind::ListView, std::move(n), i) {}
  const std::vector<std::string>& columns() const { return columns_; }
  const std::vector<std::vector<std::string>>& rows() const { return rows_; }
  // New rows, none of them selected.
  void setTable(std::vector<std::string> columns, std::vector<std::vector<std::string>> rows);
  // The selected row; -1 for none.
  int selectedRow() const { return selected_; }
  // Selecting by code, as by the user, raises Click.
  void setSelectedRow(int row);
  void userSelect(int row);
  // The user clicked a column's head: the owner may sort by it.
  void userClickColumn(int column);
  std::function<void(int column)> onColumnClick;

 private:
  void select(int row, Cause cause);
  std::vector<std::string> columns_;
  std::vector<std::vector<std::string>> rows_;
  int selected_ = -1;
};

// Value 0 cleared, 1 ticked, 2 greyed; only 1 counts as ticked.
class CheckBox : public Control {
 public:
  CheckBox(Form& f, Control* c, std::string n, int i)
      : Control(f, c, Kind::CheckBox, std::move(n), i) {}
  int value() const { return value_; }
  bool ticked() const { return value_ == 1; }
  // A change of value by code raises Click; setting the same value does not.
  void setValue(int value);
  void userClick();

 private:
  void change(int value, Cause cause);
  int value_ = 0;
};

// Exclusive within its container.
class OptionButton : public Control {
 public:
  OptionButton(Form& f, Control* c, std::string n, int i)
      : Control(f, c, Kind::OptionButton, std::move(n), i) {}
  bool value() const { return value_; }
  // Selecting clears the other option buttons of the container and raises Click.
  void select();
  void userClick();

 private:
  void choose(Cause cause);
  bool value_ = false;
};

}  // namespace forms
