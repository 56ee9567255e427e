#include "setacl/listing.h"

#include <charconv>
#include <utility>

#include "setacl/arguments.h"
#include "setacl/utf8.h"

namespace {

constexpr std::pair<ObjectType, int> kTypeNumbers[] = {{ObjectType::File, 1},
                                                       {ObjectType::Service, 2},
                                                       {ObjectType::Printer, 3},
                                                       {ObjectType::Registry, 4},
                                                       {ObjectType::Share, 5}};

constexpr std::string_view kUtf16Mark = "\xFF\xFE";
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr char32_t kReplacement = 0xFFFD;

bool IsUtf8(std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    auto lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80) {
      ++at;
      continue;
    }
    std::size_t width = lead >= 0xC2 && lead <= 0xDF   ? 2
                        : lead >= 0xE0 && lead <= 0xEF ? 3
                        : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                       : 0;
    if (width == 0 || at + width > text.size()) return false;
    for (std::size_t i = 1; i < width; ++i)
      if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80) return false;
    auto second = static_cast<unsigned char>(text[at + 1]);
    // Neither overlong forms, nor surrogates, nor past U+10FFFF.
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) ||
        (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second > 0x8F))
      return false;
    at += width;
  }
  return true;
}

}  // namespace

std::optional<ListedView> ReadListingView(std::string_view line) {
  if (line.ends_with('\r')) line.remove_suffix(1);
  if (!BeginsAsListed(line) || line.size() < 2 || line.back() != '"') return std::nullopt;
  // A registry key's name may hold `",1,"` itself: the path ends at the first
  // `",<type>,"` that a type the tool lists and the start of an SDDL (or its
  // end) follow.
  for (std::size_t end = line.find("\",", 1); end != std::string_view::npos;
       end = line.find("\",", end + 1)) {
    std::size_t digits = end + 2, comma = line.find_first_not_of("0123456789", digits);
    if (comma == digits || comma == std::string_view::npos || line.substr(comma, 2) != ",\"")
      continue;
    ListedView object;
    auto [at, error] = std::from_chars(line.data() + digits, line.data() + comma, object.type);
    std::size_t sddl = comma + 2;
    if (error != std::errc{} || at != line.data() + comma || !ListedType(object.type) ||
        line.size() < sddl + 1)
      continue;
    std::string_view rest = line.substr(sddl, line.size() - 1 - sddl);
    if (!rest.empty() && !(rest.size() >= 2 && rest[1] == ':' &&
                           std::string_view("OGDS").find(rest[0]) != std::string_view::npos))
      continue;
    object.path = line.substr(1, end - 1);
    object.sddl = rest;
    return object;
  }
  return std::nullopt;
}

std::optional<ListedObject> ReadListingLine(std::string_view line) {
  auto view = ReadListingView(line);
  if (!view) return std::nullopt;
  return ListedObject{std::string(view->path), view->type, std::string(view->sddl)};
}

std::string Opening(std::string_view line) {
  constexpr int kCharacters = 200;
  std::size_t at = 0;
  for (int characters = 0; at < line.size() && characters < kCharacters; ++characters)
    for (++at; at < line.size() && (static_cast<unsigned char>(line[at]) & 0xC0) == 0x80;) ++at;
  return std::string(line.substr(0, at));
}

ListingLines ReadListingLines(std::string_view text) {
  ListingLines lines;
  ForEachLine(text, [&](std::string_view line, std::string_view) {
    if (auto object = ReadListingView(line))
      lines.objects.push_back(*object);
    else if (BeginsAsListed(line))
      lines.unreadable.push_back(line);
  });
  return lines;
}

std::vector<ListedObject> ReadListing(std::string_view text) {
  std::vector<ListedObject> objects;
  for (const ListedView& view : ReadListingLines(text).objects)
    objects.push_back({std::string(view.path), view.type, std::string(view.sddl)});
  return objects;
}

std::string ListingLine(const ListedObject& object) {
  return "\"" + object.path + "\"," + std::to_string(object.type) + ",\"" + object.sddl + "\"";
}

int ListedTypeNumber(ObjectType type) {
  for (auto [t, number] : kTypeNumbers)
    if (t == type) return number;
  return 0;
}

std::optional<ObjectType> ListedType(int number) {
  for (auto [type, n] : kTypeNumbers)
    if (n == number) return type;
  return std::nullopt;
}

void ListingDecoder::feed(std::string_view bytes, std::string& out) {
  if (encoding_ == Encoding::Unknown) {
    pending_ += bytes;
    // Three bytes tell the marks apart; a shorter file is told at its end.
    if (pending_.size() < kUtf8Mark.size()) return;
    std::string start = std::move(pending_);
    pending_.clear();
    if (start.starts_with(kUtf16Mark)) {
      encoding_ = Encoding::Utf16;
      return fromUtf16(std::string_view(start).substr(kUtf16Mark.size()), out);
    }
    encoding_ = Encoding::EightBit;
    std::string_view rest = start;
    if (rest.starts_with(kUtf8Mark)) rest.remove_prefix(kUtf8Mark.size());
    return feed(rest, out);
  }
  if (encoding_ == Encoding::Utf16) return fromUtf16(bytes, out);
  // Whole lines at once, each told apart as UTF-8 or ANSI; the last waits.
  for (std::size_t end; (end = bytes.find('\n')) != std::string_view::npos;) {
    if (pending_.empty()) {
      eightBitLine(bytes.substr(0, end + 1), out);
    } else {
      pending_ += bytes.substr(0, end + 1);
      eightBitLine(pending_, out);
      pending_.clear();
    }
    bytes.remove_prefix(end + 1);
  }
  pending_ += bytes;
}

void ListingDecoder::finish(std::string& out) {
  if (encoding_ == Encoding::Unknown) {
    std::string start = std::move(pending_);
    pending_.clear();
    encoding_ = start.starts_with(kUtf16Mark) ? Encoding::Utf16 : Encoding::EightBit;
    feed(encoding_ == Encoding::Utf16 ? std::string_view(start).substr(2) : std::string_view(start),
         out);
  }
  if (encoding_ == Encoding::EightBit) {
    if (!pending_.empty()) eightBitLine(pending_, out);
  } else if (highSurrogate_ || !pending_.empty()) {
    AppendUtf8(kReplacement, out);  // a character cut short
  }
  pending_.clear();
  highSurrogate_ = 0;
}

void ListingDecoder::eightBitLine(std::string_view line, std::string& out) {
  if (IsUtf8(line))
    out += line;
  else
    out += fromAnsi_(line);
}

void ListingDecoder::fromUtf16(std::string_view bytes, std::string& out) {
  std::size_t at = 0;
  auto unit = [&](char16_t u) {
    if (highSurrogate_) {
      if (u >= 0xDC00 && u <= 0xDFFF) {
        AppendUtf8(0x10000 + ((highSurrogate_ - 0xD800) << 10) + (u - 0xDC00), out);
        highSurrogate_ = 0;
        return;
      }
      AppendUtf8(kReplacement, out);
      highSurrogate_ = 0;
    }
    if (u >= 0xD800 && u <= 0xDBFF)
      highSurrogate_ = u;
    else if (u >= 0xDC00 && u <= 0xDFFF)
      AppendUtf8(kReplacement, out);
    else
      AppendUtf8(u, out);
  };
  if (!pending_.empty()) {  // the odd byte of the piece before
    if (bytes.empty()) return;
    unit(static_cast<char16_t>(static_cast<unsigned char>(pending_[0]) |
                               static_cast<unsigned char>(bytes[0]) << 8));
    pending_.clear();
    at = 1;
  }
  out.reserve(out.size() + (bytes.size() - at) / 2);
  for (; at + 1 < bytes.size(); at += 2)
    unit(static_cast<char16_t>(static_cast<unsigned char>(bytes[at]) |
                               static_cast<unsigned char>(bytes[at + 1]) << 8));
  if (at < bytes.size()) pending_.assign(1, bytes[at]);
}

std::string ListingText(std::string_view bytes, const FromAnsi& fromAnsi) {
  ListingDecoder decoder(fromAnsi);
  std::string text;
  decoder.feed(bytes, text);
  decoder.finish(text);
  return text;
}

std::optional<std::string> ReadListingFile(platform::FileSystem& files, const std::string& path,
                                           const FromAnsi& fromAnsi,
                                           const std::function<bool()>& stopped) {
  ListingDecoder decoder(fromAnsi);
  std::string text;
  bool wasStopped = false, first = true;
  const std::uint64_t size = files.FileSize(path);
  if (!files.ReadPieces(path,
                        [&](std::string_view piece) {
                          if (stopped && stopped()) return !(wasStopped = true);
                          decoder.feed(piece, text);
                          if (std::exchange(first, false))
                            text.reserve(
                                static_cast<std::size_t>(decoder.wide() ? size / 2 : size));
                          return true;
                        }) ||
      wasStopped)
    return std::nullopt;
  decoder.finish(text);
  return text;
}
