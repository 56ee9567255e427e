#include "forms/text_rows.h"

#include <algorithm>

namespace forms {

namespace {

// A row start is kept this many rows, or this many bytes, after the last
// one kept: finding a row walks at most that far.
constexpr std::size_t kRowsApart = 32;
constexpr std::size_t kBytesApart = 4096;
constexpr unsigned char kUnmeasured = 255;

bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// The code point of the sequence led at `at`; U+FFFD for a broken one.
char32_t Decode(const std::string& t, std::size_t at) {
  auto lead = static_cast<unsigned char>(t[at]);
  int more = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : 1;
  char32_t c = lead & (0x3F >> more);
  for (int k = 1; k <= more; ++k) {
    if (at + k >= t.size() || !IsContinuation(t[at + k])) return 0xFFFD;
    c = c << 6 | (static_cast<unsigned char>(t[at + k]) & 0x3F);
  }
  return c;
}

unsigned char Kept(std::size_t columns) {
  return static_cast<unsigned char>(std::min<std::size_t>(columns, kUnmeasured - 1));
}

}  // namespace

std::size_t Utf16Length(std::string_view utf8) {
  std::size_t units = 0;
  for (unsigned char c : utf8) {
    if ((c & 0xC0) != 0x80) ++units;
    if (c >= 0xF0) ++units;
  }
  return units;
}

TextRows::TextRows() { setMeasure({}); }

void TextRows::set(std::string text) {
  text_ = std::move(text);
  utf16Length_ = Utf16Length(text_);
  forget();
}

// The rows are found when next asked for, from where the index ends.
void TextRows::append(std::string_view piece) {
  text_.append(piece);
  utf16Length_ += Utf16Length(piece);
}

void TextRows::setMeasure(Measure measure) {
  measure_ = std::move(measure);
  for (char32_t c = 0; c < 128; ++c) ascii_[c] = measure_ ? Kept(measure_(c)) : 1;
  bmp_.clear();
  forget();
}

void TextRows::wrapAt(std::size_t columns) {
  if (columns == wrap_) return;
  wrap_ = columns;
  forget();
}

void TextRows::forget() {
  marks_.assign(1, Mark{});
  last_ = Walk{};
  lastRow_ = widest_ = 0;
  cursor_ = Mark{};
}

std::size_t TextRows::columnsAt(std::size_t offset, std::size_t column) const {
  auto c = static_cast<unsigned char>(text_[offset]);
  if (c == '\t') return kTabWidth - column % kTabWidth;
  if (c == '\r' || IsContinuation(static_cast<char>(c))) return 0;
  if (c < 0x80) return ascii_[c];
  char32_t code = Decode(text_, offset);
  if (code >= 0x10000) return measure_ ? measure_(code) : 1;
  if (bmp_.empty()) bmp_.assign(0x10000, kUnmeasured);
  unsigned char& known = bmp_[code];
  if (known == kUnmeasured) known = measure_ ? Kept(measure_(code)) : 1;
  return known;
}

// Walks the row on: true at its end, with `next` the start of the row after
// it; false when the text ends first, the walk kept to go on from.
bool TextRows::walk(Walk& w, std::size_t& next) const {
  const std::size_t size = text_.size();
  while (w.at < size) {
    char c = text_[w.at];
    if (c == '\n') {
      next = w.at + 1;
      return true;
    }
    if (static_cast<unsigned char>(c) >= 0xC0 && endsInside(w.at)) return false;  // the rest comes later
    std::size_t width = columnsAt(w.at, w.columns);
    // A character that would pass the width starts the next row, with the
    // word it ends when the row has a blank; blanks themselves hang past it.
    if (wrap_ && c != ' ' && width > 0 && w.columns > 0 && w.columns + width > wrap_) {
      next = w.afterBlank != kNone ? w.afterBlank : w.at;
      if (w.afterBlank != kNone) w.columns = w.blankColumns;
      return true;
    }
    w.columns += width;
    if (c == ' ') {
      w.afterBlank = w.at + 1;
      w.blankColumns = w.columns;
    }
    ++w.at;
  }
  return false;
}

void TextRows::index() const {
  std::size_t next = 0;
  while (walk(last_, next)) {
    widest_ = std::max(widest_, last_.columns);
    last_ = Walk{next, next};
    ++lastRow_;
    const Mark& kept = marks_.back();
    if (lastRow_ - kept.row >= kRowsApart || next - kept.offset >= kBytesApart)
      marks_.push_back({lastRow_, next});
  }
}

std::size_t TextRows::rowAfter(std::size_t start) const {
  Walk w{start, start};
  std::size_t next = text_.size();
  walk(w, next);
  return next;
}

std::size_t TextRows::rows() const {
  index();
  return lastRow_ + 1;
}

TextRows::Mark TextRows::nearest(std::size_t row) const {
  auto after = std::upper_bound(marks_.begin(), marks_.end(), row,
                                [](std::size_t r, const Mark& m) { return r < m.row; });
  Mark best = *(after - 1);
  if (cursor_.row <= row && cursor_.row > best.row) best = cursor_;
  return best;
}

std::size_t TextRows::rowStart(std::size_t row) const {
  index();
  if (row >= lastRow_) return last_.start;
  Mark at = nearest(row);
  while (at.row < row) at = {at.row + 1, rowAfter(at.offset)};
  cursor_ = at;
  return at.offset;
}

std::string_view TextRows::row(std::size_t row) const {
  std::size_t start = rowStart(row);
  std::size_t end = row < lastRow_ ? rowAfter(start) : text_.size();
  if (end > start && text_[end - 1] == '\n') {
    --end;
    if (end > start && text_[end - 1] == '\r') --end;
  }
  return std::string_view(text_).substr(start, end - start);
}

std::size_t TextRows::rowOf(std::size_t offset) const {
  index();
  if (offset >= last_.start) return lastRow_;
  auto after = std::upper_bound(marks_.begin(), marks_.end(), offset,
                                [](std::size_t o, const Mark& m) { return o < m.offset; });
  Mark at = *(after - 1);
  if (cursor_.offset <= offset && cursor_.offset > at.offset) at = cursor_;
  for (std::size_t next = rowAfter(at.offset); next <= offset; next = rowAfter(at.offset))
    at = {at.row + 1, next};
  cursor_ = at;
  return at.row;
}

std::size_t TextRows::columnOf(std::size_t offset) const {
  std::size_t row = rowOf(offset);
  if (row == lastRow_ && offset >= text_.size()) return last_.columns;
  std::size_t column = 0;
  for (std::size_t at = rowStart(row); at < offset;) {
    Character c = character(at, column);
    column += c.columns;
    at += c.bytes;
  }
  return column;
}

std::size_t TextRows::offsetAt(std::size_t row, std::size_t column) const {
  std::string_view line = this->row(row);
  const std::size_t start = rowStart(row);
  std::size_t at = 0, col = 0;
  while (at < line.size()) {
    Character c = character(start + at, col);
    if (c.columns > 0 && col + c.columns > column) {
      if (column - col >= (c.columns + 1) / 2) at += c.bytes;  // nearer its end
      break;
    }
    col += c.columns;
    at += c.bytes;
  }
  return start + std::min(at, line.size());
}

std::size_t TextRows::widest() const {
  index();
  return std::max(widest_, last_.columns);
}

bool TextRows::endsInside(std::size_t offset) const {
  auto lead = static_cast<unsigned char>(text_[offset]);
  std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  return text_.size() - offset < length;
}

std::size_t TextRows::characterEnd(std::size_t offset) const {
  std::size_t end = offset + 1;
  while (end < text_.size() && end - offset < 4 && IsContinuation(text_[end])) ++end;
  return end;
}

TextRows::Character TextRows::character(std::size_t offset, std::size_t column) const {
  return {characterEnd(offset) - offset, columnsAt(offset, column)};
}

std::size_t TextRows::next(std::size_t offset) const {
  if (offset >= text_.size()) return text_.size();
  if (text_.compare(offset, 2, "\r\n") == 0) return offset + 2;
  return characterEnd(offset);
}

std::size_t TextRows::previous(std::size_t offset) const {
  if (offset == 0) return 0;
  offset = std::min(offset, text_.size()) - 1;
  while (offset > 0 && IsContinuation(text_[offset])) --offset;
  if (offset > 0 && text_.compare(offset - 1, 2, "\r\n") == 0) --offset;
  return offset;
}

std::size_t TextRows::utf16Of(std::size_t offset) const {
  return Utf16Length(std::string_view(text_).substr(0, offset));
}

std::size_t TextRows::offsetOfUtf16(std::size_t units) const {
  std::size_t at = 0, counted = 0;
  while (at < text_.size()) {
    counted += static_cast<unsigned char>(text_[at]) >= 0xF0 ? 2 : 1;
    if (counted > units) break;
    at = characterEnd(at);
  }
  return at;
}

}  // namespace forms
