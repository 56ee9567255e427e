#include "runner/output_decoder.h"

#include <algorithm>

#include "setacl/utf8.h"

namespace {

// UTF-16 shows itself in ASCII text by a zero in every second byte.
bool LooksLikeUtf16(std::string_view bytes) {
  std::size_t pairs = std::min<std::size_t>(bytes.size(), 64) / 2;
  for (std::size_t i = 0; i < pairs; ++i)
    if (bytes[2 * i + 1] != 0 || bytes[2 * i] == 0) return false;
  return pairs > 0;
}

// Text that reads the same in every ANSI code page and holds no NUL.
bool PlainAscii(std::string_view bytes) {
  return std::all_of(bytes.begin(), bytes.end(), [](char c) {
    auto byte = static_cast<unsigned char>(c);
    return byte != 0 && byte < 0x80;
  });
}

std::string ShowNuls(std::string text) {
  for (std::size_t at = text.find('\0'); at != std::string::npos; at = text.find('\0', at))
    text.replace(at, 1, OutputDecoder::kNulPlaceholder);
  return text;
}

constexpr std::size_t kEnoughToTell = 4;

}  // namespace

std::string OutputDecoder::decode(std::string_view bytes) {
  // Most console output: as it is, without a round through UTF-16.
  if (encoding_ == Encoding::Ansi && pending_.empty() && PlainAscii(bytes)) return std::string(bytes);
  pending_ += bytes;
  if (encoding_ == Encoding::Unknown) {
    if (pending_.starts_with("\xFF\xFE")) {
      encoding_ = Encoding::Utf16;
      pending_.erase(0, 2);
    } else if (pending_.size() >= kEnoughToTell) {
      encoding_ = LooksLikeUtf16(pending_) ? Encoding::Utf16 : Encoding::Ansi;
    } else {
      return {};
    }
  }
  if (encoding_ == Encoding::Utf16) return ShowNuls(fromUtf16(false));
  std::size_t whole = processes_.WholeCharacters(pending_);
  std::string text = processes_.FromAnsi(std::string_view(pending_).substr(0, whole));
  pending_.erase(0, whole);
  return ShowNuls(std::move(text));
}

std::string OutputDecoder::finish() {
  std::string rest = encoding_ == Encoding::Utf16 ? fromUtf16(true)
                                                  : processes_.FromAnsi(pending_);
  pending_.clear();
  return ShowNuls(std::move(rest));
}

std::string OutputDecoder::fromUtf16(bool final) {
  std::string out;
  std::size_t at = 0;
  auto unit = [&](std::size_t i) {
    return static_cast<char16_t>(static_cast<unsigned char>(pending_[i]) |
                                 static_cast<unsigned char>(pending_[i + 1]) << 8);
  };
  while (at + 2 <= pending_.size()) {
    char16_t u = unit(at);
    if (u >= 0xD800 && u < 0xDC00) {
      if (at + 4 > pending_.size()) {
        if (!final) break;  // its second half comes with the next piece
        AppendUtf8(0xFFFD, out);
        at += 2;
        continue;
      }
      char16_t low = unit(at + 2);
      if (low >= 0xDC00 && low < 0xE000) {
        AppendUtf8(0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00), out);
        at += 4;
        continue;
      }
      u = 0xFFFD;
    } else if (u >= 0xDC00 && u < 0xE000) {
      u = 0xFFFD;
    }
    AppendUtf8(u, out);
    at += 2;
  }
  if (final && at < pending_.size()) AppendUtf8(0xFFFD, out);  // half a unit
  pending_.erase(0, final ? pending_.size() : at);
  return out;
}
