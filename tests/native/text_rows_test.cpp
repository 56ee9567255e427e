// The rows of a text box's text, kept or wrapped, and a character's row and column.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "forms/text_rows.h"

using forms::TextRows;

namespace {

std::vector<std::string> Rows(const TextRows& rows) {
  std::vector<std::string> all;
  for (std::size_t i = 0; i < rows.rows(); ++i) all.emplace_back(rows.row(i));
  return all;
}

// CJK ideographs take two columns, everything else one.
std::size_t WideIdeographs(char32_t c) { return c >= 0x4E00 && c <= 0x9FFF ? 2 : 1; }

TextRows Wrapped(std::string text, std::size_t columns) {
  TextRows rows;
  rows.setMeasure(WideIdeographs);
  rows.wrapAt(columns);
  rows.set(std::move(text));
  return rows;
}

std::string Lines(int count, const std::string& tail = "\r\n") {
  std::string text;
  for (int i = 0; i < count; ++i) text += "line " + std::to_string(i) + tail;
  return text;
}

}  // namespace

TEST(TextRows, LinesAreRowsWithoutTheirBreaks) {
  TextRows rows;
  EXPECT_EQ(Rows(rows), std::vector<std::string>{""});
  rows.set("one\r\ntwo\nthree\r\n");
  EXPECT_EQ(Rows(rows), (std::vector<std::string>{"one", "two", "three", ""}));
  rows.set("a\rb");  // a lone carriage return stays in its line, taking no column
  EXPECT_EQ(Rows(rows), std::vector<std::string>{"a\rb"});
  EXPECT_EQ(rows.columnOf(3), 2u);
  // A CR LF split between pieces ends one row, and is one step.
  TextRows split;
  split.append("first\r");
  EXPECT_EQ(Rows(split), std::vector<std::string>{"first\r"});
  split.append("\nsecond");
  EXPECT_EQ(Rows(split), (std::vector<std::string>{"first", "second"}));
  EXPECT_EQ(split.next(5), 7u);
  EXPECT_EQ(split.previous(7), 5u);
}

// Whenever its rows are asked for on the way.
TEST(TextRows, PiecesGiveTheRowsOfTheWholeText) {
  const std::string texts[] = {
      Lines(300),
      "split\r\nin the middle of a CR LF\r\nand of \xE6\xBC\xA2\xE5\xAD\x97 too\r\n",
      std::string(10000, 'x') + "\r\n" + std::string(5000, 'y'),
      "the quick brown fox jumps over the lazy dog and keeps on running past the end of the row",
  };
  for (std::size_t columns : {0, 7, 12}) {
    for (const std::string& text : texts) {
      TextRows whole = Wrapped(text, columns);
      for (std::size_t piece : {1, 2, 3, 256}) {
        TextRows grown = Wrapped("", columns);
        for (std::size_t at = 0; at < text.size(); at += piece) {
          grown.append(std::string_view(text).substr(at, piece));
          if (at / piece % 7 == 0) grown.rows();  // asked for now and then on the way
        }
        EXPECT_EQ(grown.text(), text);
        EXPECT_EQ(Rows(grown), Rows(whole)) << "columns " << columns << ", pieces of " << piece;
        EXPECT_EQ(grown.widest(), whole.widest());
        EXPECT_EQ(grown.utf16Length(), forms::Utf16Length(text));
      }
    }
  }
}

// Rows after a line of megabytes are found without walking it again.
TEST(TextRows, VeryLongLines) {
  const std::size_t long_ = 3u << 20;
  std::string text = std::string(long_, 'a') + "\n" + Lines(100, "\n") + std::string(long_, 'b');
  TextRows rows;
  for (std::size_t at = 0; at < text.size(); at += 65536) rows.append(std::string_view(text).substr(at, 65536));
  ASSERT_EQ(rows.rows(), 102u);
  EXPECT_EQ(rows.widest(), long_);
  EXPECT_EQ(rows.row(0).size(), long_);
  EXPECT_EQ(rows.row(50), "line 49");
  EXPECT_EQ(rows.rowOf(text.size()), 101u);
  EXPECT_EQ(rows.columnOf(text.size()), long_);
  EXPECT_EQ(rows.columnOf(long_ / 2), long_ / 2);
  EXPECT_EQ(rows.offsetAt(101, long_ - 1), text.size() - 1);

  // Wrapped, the same line is rows of the width.
  TextRows wrapped = Wrapped(std::string(1000, 'w'), 64);
  EXPECT_EQ(wrapped.rows(), 16u);
  EXPECT_EQ(wrapped.row(15), std::string(1000 - 15 * 64, 'w'));
}

TEST(TextRows, WrapsAtWordsWithTheMeasure) {
  struct Case {
    std::string text;
    std::size_t columns;
    std::vector<std::string> rows;
  };
  const Case cases[] = {
      // Between words, the blank staying with the row it ends.
      {"the quick brown fox", 10, {"the quick ", "brown fox"}},
      {"the quick brown fox", 8, {"the ", "quick ", "brown ", "fox"}},
      // A word longer than the width is cut at it.
      {"abcdefghij", 4, {"abcd", "efgh", "ij"}},
      {"ab abcdefghij", 4, {"ab ", "abcd", "efgh", "ij"}},
      // Blanks hang past the width rather than start a row.
      {"aaaa    bb", 4, {"aaaa    ", "bb"}},
      // A tab takes the columns to its next stop of eight.
      {"a\tb", 8, {"a\t", "b"}},
      {"a\tb", 9, {"a\tb"}},
      {"abcdefghi\tj", 17, {"abcdefghi\tj"}},
      {"abcdefghi\tj", 12, {"abcdefghi", "\tj"}},
      // The measure's widths: two columns for an ideograph.
      {"ab\xE6\xBC\xA2\xE5\xAD\x97", 3, {"ab", "\xE6\xBC\xA2", "\xE5\xAD\x97"}},
      {"ab\xE6\xBC\xA2", 4, {"ab\xE6\xBC\xA2"}},
      // Only one character on a row narrower than it.
      {"\xE6\xBC\xA2\xE5\xAD\x97", 1, {"\xE6\xBC\xA2", "\xE5\xAD\x97"}},
      // Line breaks end rows whatever the width.
      {"one two\r\nthree four", 8, {"one two", "three ", "four"}},
  };
  for (const Case& c : cases) EXPECT_EQ(Rows(Wrapped(c.text, c.columns)), c.rows) << c.text << " at " << c.columns;
  // A row that ends at its blank is as wide as up to it: the word after moved on.
  EXPECT_EQ(Wrapped("a bb\nc", 3).widest(), 2u);
}

TEST(TextRows, ANewWidthOrMeasureWrapsAnew) {
  TextRows rows = Wrapped("aa bb cc", 5);
  EXPECT_EQ(Rows(rows), (std::vector<std::string>{"aa bb ", "cc"}));
  rows.wrapAt(2);
  EXPECT_EQ(Rows(rows), (std::vector<std::string>{"aa ", "bb ", "cc"}));
  rows.setMeasure([](char32_t c) -> std::size_t { return c == 'b' ? 3 : 1; });
  EXPECT_EQ(Rows(rows), (std::vector<std::string>{"aa ", "b", "b ", "cc"}));
  EXPECT_EQ(rows.columnOf(5), 3u);  // the blank after a b of three columns
  rows.wrapAt(0);
  EXPECT_EQ(Rows(rows), std::vector<std::string>{"aa bb cc"});
  EXPECT_EQ(rows.widest(), 12u);
}

// From every character to its row and column and back, over rows far apart.
TEST(TextRows, TheRowOfACharacterAndBack) {
  const std::string mixed = Lines(100) + std::string(600, 'z') + " end\r\n" + Lines(100) +
                            "\xE6\xBC\xA2\xE5\xAD\x97 and \xF0\x9F\x98\x80 and\ttabs";
  for (std::size_t columns : {0, 11}) {
    TextRows rows = Wrapped(mixed, columns);
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < rows.rows(); ++i) starts.push_back(rows.rowStart(i));
    starts.push_back(mixed.size() + 1);
    // Backwards, so each look starts from a kept row and not the last one found.
    for (std::size_t at = mixed.size() + 1; at-- > 0;) {
      if (at < mixed.size() && (static_cast<unsigned char>(mixed[at]) & 0xC0) == 0x80) continue;
      std::size_t row = rows.rowOf(at);
      ASSERT_LE(starts[row], at) << at;
      ASSERT_LT(at, starts[row + 1]) << at;
      std::size_t column = rows.columnOf(at);
      if (at == mixed.size() || mixed[at] != '\n') {
        ASSERT_EQ(rows.offsetAt(row, column), at) << "columns " << columns << ", at " << at;
      }
    }
  }
  // A column inside a tab or a wide character means the edge it is nearer.
  TextRows rows = Wrapped("a\tb\xE6\xBC\xA2", 0);  // the tab takes columns 1 to 7, the ideograph 9 and 10
  const std::size_t offsets[] = {0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 6, 6};
  for (std::size_t column = 0; column < std::size(offsets); ++column)
    EXPECT_EQ(rows.offsetAt(0, column), offsets[column]) << "column " << column;
}

TEST(TextRows, Utf16Positions) {
  TextRows rows;
  rows.set("a\xC3\xA9\xF0\x9F\x98\x80z");  // a, e acute, an emoji of two units, z
  EXPECT_EQ(rows.utf16Length(), 5u);
  EXPECT_EQ(rows.utf16Of(3), 2u);
  EXPECT_EQ(rows.utf16Of(7), 4u);
  EXPECT_EQ(rows.offsetOfUtf16(2), 3u);
  EXPECT_EQ(rows.offsetOfUtf16(4), 7u);
  EXPECT_EQ(rows.offsetOfUtf16(3), 3u);  // not inside the pair
  EXPECT_EQ(rows.offsetOfUtf16(99), 8u);
  EXPECT_EQ(rows.next(3), 7u);
  EXPECT_EQ(rows.previous(7), 3u);
  EXPECT_EQ(rows.character(3, 0).bytes, 4u);
}
