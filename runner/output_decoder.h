#pragma once
// A child's console output as text: the ANSI code page, or UTF-16 when the
// output says so (a byte-order mark, or the zero bytes of ASCII in UTF-16).
// A NUL shows as a visible placeholder, so nothing after it is lost.

#include <string>
#include <string_view>

#include "platform/processes.h"

class OutputDecoder {
 public:
  explicit OutputDecoder(platform::Processes& processes) : processes_(processes) {}

  // The UTF-8 text of the bytes so far that form whole characters; the rest
  // waits for the next piece.
  std::string decode(std::string_view bytes);
  // Whatever still waits, as it stands, at the end of the output.
  std::string finish();

  // U+2400 SYMBOL FOR NULL.
  static constexpr std::string_view kNulPlaceholder = "\xE2\x90\x80";

 private:
  enum class Encoding { Unknown, Ansi, Utf16 };
  std::string fromUtf16(bool final);

  platform::Processes& processes_;
  Encoding encoding_ = Encoding::Unknown;
  std::string pending_;
};
