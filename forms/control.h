#pragma once
// The control model every window is written against. It holds the state
// (captions, texts, values, visibility, twips geometry) and raises the
// events; a renderer, when one is attached to the form, mirrors it.

#include <functional>
#include <string>

namespace forms {

class Form;

enum class Kind {
  Form,
  Frame,
  Label,
  TextBox,
  ComboBox,
  CheckBox,
  OptionButton,
  CommandButton,
  FileListBox,
  TabStrip,
  ListView
};

// What changed on a control, so a renderer can mirror just that.
enum class Prop { Text, Appended, Value, List, Visible, Enabled, Geometry, Focus, Caret, Timer };

// Position and size in twips (1/1440 inch), relative to the container.
struct Rect {
  int left = 0, top = 0, width = 0, height = 0;
};

// Whether a value change came from the user's hand or from code.
enum class Cause { User, Code };

class Control {
 public:
  Control(Form& form, Control* container, Kind kind, std::string name, int index);
  virtual ~Control() = default;
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  Kind kind() const { return kind_; }
  const std::string& name() const { return name_; }
  int index() const { return index_; }  // element of a control array, or -1
  std::string codeName() const;         // "txtObjName", "cmdClear(2)"
  Control* container() const { return container_; }
  Form& form() const { return form_; }

  // The caption of a form, frame, label, button or box; the text of a text box;
  // the selected item of a list (the empty text when nothing is selected).
  virtual const std::string& text() const { return text_; }
  virtual void setText(std::string text);

  bool visible() const { return visible_; }
  void setVisible(bool visible);
  // Visible itself and inside visible containers.
  bool shown() const;

  bool enabled() const { return enabled_; }
  void setEnabled(bool enabled);

  const std::string& tooltip() const { return tooltip_; }
  void setTooltip(std::string tooltip) { tooltip_ = std::move(tooltip); }

  // Whether the control takes the room a window grown beyond its design
  // gains: to its right, below it.
  bool stretchesWidth() const { return stretchWidth_; }
  bool stretchesHeight() const { return stretchHeight_; }
  void setStretch(bool width, bool height) {
    stretchWidth_ = width;
    stretchHeight_ = height;
  }
  // Whether it keeps its distance to the bottom of a grown window.
  bool movesDown() const { return movesDown_; }
  void setMovesDown(bool on) { movesDown_ = on; }

  const Rect& rect() const { return rect_; }
  void setRect(Rect rect);
  int left() const { return rect_.left; }
  int top() const { return rect_.top; }
  int width() const { return rect_.width; }
  int height() const { return rect_.height; }

  // What names the control on screen: the label just before it, else the
  // frame around it, else the form.
  const Control& namer() const;
  // The name assistive tools announce: the one code gave, else the caption of
  // its namer without its access-key "&".
  std::string accessibleName() const;
  // A caption as read aloud: without the "&" that marks its access key.
  static std::string Plain(std::string_view caption);
  // The letter after the "&" of a caption, in lower case; 0 when it has none.
  static char AccessKey(std::string_view caption);
  void setAccessibleName(std::string name) { accessibleName_ = std::move(name); }

  int tabIndex() const { return tabIndex_; }
  void setTabIndex(int index) { tabIndex_ = index; }

  void setFocus();
  bool hasFocus() const;

  // Raised for a click or a value change, whoever made it.
  std::function<void()> onClick;
  // Raised after onClick, only when the user's own click made the change.
  std::function<void()> onUserClick;

 protected:
  friend class Form;
  void notify(Prop prop);
  void raiseClick(Cause cause);
  std::string text_;

 private:
  Form& form_;
  Control* container_;
  Kind kind_;
  std::string name_;
  int index_;
  bool visible_ = true;
  bool enabled_ = true;
  std::string tooltip_;
  std::string accessibleName_;
  Rect rect_;
  int tabIndex_ = 0;
  bool stretchWidth_ = false;
  bool stretchHeight_ = false;
  bool movesDown_ = false;
};

}  // namespace forms
