// Listing files read as the tool writes them, and their lines read into objects.

#include <gtest/gtest.h>

#include "setacl/listing.h"
#include "tests/native/fake_platform.h"

namespace {

std::string Utf16WithMark(std::u16string_view text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t unit : text) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  return bytes;
}

// The test's ANSI code page: 0xE9 is "é", the rest ASCII.
std::string FromTestCodePage(std::string_view ansi) {
  std::string text;
  for (char c : ansi) text += c == '\xE9' ? std::string("é") : std::string(1, c);
  return text;
}

}  // namespace

TEST(ListingFile, ReadAsTheToolWritesItInPiecesSplitAnywhere) {
  struct Case {
    const char* name;
    std::string bytes, text;
  };
  const Case cases[] = {
      {"UTF-16, a character beyond the BMP among them",
       Utf16WithMark(u"Listing\r\n\"C:\\Ä\\😀\",1,\"D:(A;;FA;;;BA)\"\r\n"),
       "Listing\r\n\"C:\\Ä\\😀\",1,\"D:(A;;FA;;;BA)\"\r\n"},
      {"UTF-16 cut inside a pair", Utf16WithMark(u"\"a\"\n") + "\x3D\xD8", "\"a\"\n\xEF\xBF\xBD"},
      {"UTF-16, a low surrogate alone", Utf16WithMark(u"a") + std::string("\x00\xDC" "b\0", 4),
       "a\xEF\xBF\xBD" "b"},
      {"UTF-8 with its mark", "\xEF\xBB\xBF\"C:\\café\",1,\"D:\"\r\n", "\"C:\\café\",1,\"D:\"\r\n"},
      {"an ANSI line among UTF-8 ones, LF and CR LF",
       "\"C:\\café\",1,\"D:\"\n\"C:\\caf\xE9\",1,\"D:\"\r\n\"C:\\ü\",1,\"D:\"",
       "\"C:\\café\",1,\"D:\"\n\"C:\\café\",1,\"D:\"\r\n\"C:\\ü\",1,\"D:\""},
      {"shorter than a mark", "ab", "ab"},
  };
  for (const Case& c : cases)
    for (std::size_t piece : {1, 2, 3, 5, 7, 4096}) {
      FakeFiles files;
      files.texts["listing.txt"] = c.bytes;
      files.pieceSize = piece;
      std::optional<std::string> text = ReadListingFile(files, "listing.txt", FromTestCodePage);
      ASSERT_TRUE(text) << c.name;
      EXPECT_EQ(*text, c.text) << c.name << ", in pieces of " << piece;
    }
  // Stopped, or missing, none.
  FakeFiles files;
  files.texts["listing.txt"] = "\"C:\\a\",1,\"D:\"\r\n";
  EXPECT_FALSE(ReadListingFile(files, "listing.txt", FromTestCodePage, [] { return true; }));
  EXPECT_FALSE(ReadListingFile(files, "missing.txt", FromTestCodePage));
  EXPECT_TRUE(ReadListingFile(files, "listing.txt", FromTestCodePage, [] { return false; }));
}

// The path is read from the front, to the first `",<number>,"`, so a key's
// name may hold quotes; the SDDL is the rest within its quotes, and may hold
// quotes too.
TEST(ListingLines, ObjectsReadFromTheFrontAndDamagedLinesApart) {
  const std::string text =
      "SetACL finished a listing of \"machine\\SOFTWARE\"\r\n\r\n"
      "\"machine\\SOFTWARE\\say \"hi\", 4,\"\",4,\"D:(A;;KA;;;BA)\"\r\n"
      "\"C:\\x,\"y\",1,\"D:(XA;;FR;;;WD;(@User.Project Any_of {\"a\",1,\"b\"}))\"\n"
      // A key's name may hold `",1,"` itself: the type and an SDDL must follow.
      "\"machine\\SOFTWARE\\a\",1,\"b\",4,\"O:BAG:SYD:(A;;KA;;;BA)\"\r\n"
      "\"machine\\SOFTWARE\\c\",9,\"d\",4,\"\"\r\n"
      "\"C:\\cut\",1,\"D:(A;;FA\r\n"
      "\"broken\",x,\"D:\"\r\n"
      "not a listing line\r\n";
  const std::vector<ListedObject> listed = ReadListing(text);
  std::vector<std::string> objects;
  for (const ListedObject& o : listed)
    objects.push_back(o.path + " | " + std::to_string(o.type) + " | " + o.sddl);
  EXPECT_EQ(objects, (std::vector<std::string>{
                         "machine\\SOFTWARE\\say \"hi\", 4,\" | 4 | D:(A;;KA;;;BA)",
                         "C:\\x,\"y | 1 | D:(XA;;FR;;;WD;(@User.Project Any_of {\"a\",1,\"b\"}))",
                         "machine\\SOFTWARE\\a\",1,\"b | 4 | O:BAG:SYD:(A;;KA;;;BA)",
                         "machine\\SOFTWARE\\c\",9,\"d | 4 | "}));
  EXPECT_EQ(ReadListingLines(text).unreadable,
            (std::vector<std::string_view>{"\"C:\\cut\",1,\"D:(A;;FA", "\"broken\",x,\"D:\""}));
  ASSERT_EQ(listed.size(), 4u);
  EXPECT_EQ(ListingLine(listed[2]), "\"machine\\SOFTWARE\\a\",1,\"b\",4,\"O:BAG:SYD:(A;;KA;;;BA)\"");
  EXPECT_EQ(ListedType(listed[2].type), ObjectType::Registry);
}
