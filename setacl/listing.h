#pragma once
// SetACL.exe's listing in SDDL, as -actn list -lst "f:sddl;..." writes it: an
// object a line, its quoted path, the system's number for its type and its
// quoted SDDL. Other lines (messages) stand before and after. The path is
// read from the front, to the first `",<number>,"`; the SDDL is the rest of
// the line within its quotes, and may hold quotes of its own (resource
// attributes, conditions).
//
// A listing file is UTF-16 with a byte-order mark, as the tool writes its
// log, or 8-bit text (UTF-8, or the ANSI code page); lines end in CR LF or LF.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"
#include "setacl/choices.h"

struct ListedObject {
  std::string path;
  int type = 0;
  std::string sddl;
};

// A line of a listing as it stands in the text, for reading large ones.
struct ListedView {
  std::string_view path;
  int type = 0;
  std::string_view sddl;
};

// A line of the listing, when it is one.
std::optional<ListedView> ReadListingView(std::string_view line);
std::optional<ListedObject> ReadListingLine(std::string_view line);
// A line that begins as a listing line does (with a quote): one that is not
// read as an object is a damaged one, never a message.
inline bool BeginsAsListed(std::string_view line) { return line.starts_with('"'); }

// The objects of a listing's text, in order, and the lines that begin as
// listing lines but cannot be read.
struct ListingLines {
  std::vector<ListedView> objects;
  std::vector<std::string_view> unreadable;
};
ListingLines ReadListingLines(std::string_view text);
// The first 200 characters of a line, whole characters only, to name it.
std::string Opening(std::string_view line);
std::vector<ListedObject> ReadListing(std::string_view text);
// The line the tool writes for an object.
std::string ListingLine(const ListedObject& object);

// The system's numbers for the object types the tool lists.
int ListedTypeNumber(ObjectType type);
std::optional<ObjectType> ListedType(int number);

// 8-bit text in the ANSI code page as UTF-8.
using FromAnsi = std::function<std::string(std::string_view)>;

// A listing file's bytes as UTF-8, piece by piece as they are read: UTF-16
// when it begins with its byte-order mark; else each line as it stands when
// it is UTF-8, and from the ANSI code page when it is not.
class ListingDecoder {
 public:
  explicit ListingDecoder(FromAnsi fromAnsi) : fromAnsi_(std::move(fromAnsi)) {}
  // Adds the text of the bytes so far to `out`; what does not yet form a
  // whole character (or, in 8-bit text, a whole line) waits for the rest.
  void feed(std::string_view bytes, std::string& out);
  // Adds what still waits, at the end of the file.
  void finish(std::string& out);
  // The file is UTF-16: its text takes about half its bytes.
  bool wide() const { return encoding_ == Encoding::Utf16; }

 private:
  enum class Encoding { Unknown, Utf16, EightBit };
  void fromUtf16(std::string_view bytes, std::string& out);
  void eightBitLine(std::string_view line, std::string& out);

  FromAnsi fromAnsi_;
  Encoding encoding_ = Encoding::Unknown;
  std::string pending_;       // bytes not yet decoded
  char32_t highSurrogate_ = 0;
};

// The whole text of a listing's bytes.
std::string ListingText(std::string_view bytes, const FromAnsi& fromAnsi);
// A listing file read as text, however large, piece by piece; none when it
// cannot be read or `stopped` says so on the way.
std::optional<std::string> ReadListingFile(platform::FileSystem& files, const std::string& path,
                                           const FromAnsi& fromAnsi,
                                           const std::function<bool()>& stopped = {});
