#pragma once
// The text of a multi-line box and its rows: its lines as they are, or its
// lines wrapped at a width, between words where a row has a blank. Text is
// set whole or grows at its end; rows are found only when asked for, from
// where the last look stopped, so a piece costs its own length. Where a row
// starts is kept only every so often and the rows between found again from
// there: a million lines cost a few hundred kilobytes, not one word each.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace forms {

// UTF-16 units of a UTF-8 text, as Windows counts its length: one per
// sequence, two for four-byte ones.
std::size_t Utf16Length(std::string_view utf8);

class TextRows {
 public:
  // The columns a character takes. A tab takes the columns to its next stop
  // and a carriage return none, whatever the measure says.
  using Measure = std::function<std::size_t(char32_t)>;
  static constexpr std::size_t kTabWidth = 8;

  TextRows();

  const std::string& text() const { return text_; }
  std::size_t utf16Length() const { return utf16Length_; }
  void set(std::string text);
  void append(std::string_view piece);

  // An empty measure gives every character one column.
  void setMeasure(Measure measure);
  // Rows wrap at this many columns; 0 keeps each line one row.
  void wrapAt(std::size_t columns);

  std::size_t rows() const;
  std::size_t rowStart(std::size_t row) const;
  // The row's bytes, its line break not included.
  std::string_view row(std::size_t row) const;
  std::size_t rowOf(std::size_t offset) const;
  std::size_t columnOf(std::size_t offset) const;
  // The character boundary of the row nearest that column.
  std::size_t offsetAt(std::size_t row, std::size_t column) const;
  // The columns of the widest row.
  std::size_t widest() const;

  struct Character {
    std::size_t bytes = 0, columns = 0;
  };
  // The character at `offset`, standing at `column` of its row.
  Character character(std::size_t offset, std::size_t column) const;
  // The character boundary after and before `offset`; a CR LF is one step.
  std::size_t next(std::size_t offset) const;
  std::size_t previous(std::size_t offset) const;

  std::size_t utf16Of(std::size_t offset) const;
  // The character boundary at that many UTF-16 units; before a pair it would split.
  std::size_t offsetOfUtf16(std::size_t units) const;

 private:
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  // A row start known by its number.
  struct Mark {
    std::size_t row = 0, offset = 0;
  };
  // How far a row has been walked: the next byte to look at, its columns so
  // far, and where it may wrap, just after its last blank, at those columns.
  struct Walk {
    std::size_t start = 0, at = 0, columns = 0, afterBlank = kNone, blankColumns = 0;
  };

  std::size_t characterEnd(std::size_t offset) const;
  // Whether the text ends inside the character led at `offset`.
  bool endsInside(std::size_t offset) const;
  std::size_t columnsAt(std::size_t offset, std::size_t column) const;
  bool walk(Walk& w, std::size_t& next) const;
  void index() const;
  void forget();
  Mark nearest(std::size_t row) const;
  std::size_t rowAfter(std::size_t start) const;

  std::string text_;
  std::size_t utf16Length_ = 0;
  Measure measure_;
  unsigned char ascii_[128];  // the measure's columns of each ASCII character
  mutable std::vector<unsigned char> bmp_;  // of the others, as asked; 255: not yet
  std::size_t wrap_ = 0;

  // The index, as far as the text has been looked at.
  mutable std::vector<Mark> marks_;
  mutable Walk last_;         // the last row, walked to the text's end
  mutable std::size_t lastRow_ = 0;
  mutable std::size_t widest_ = 0;  // of the rows before the last
  mutable Mark cursor_;       // the row start found last, where the next look begins
};

}  // namespace forms
