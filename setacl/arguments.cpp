#include "setacl/arguments.h"

#include <charconv>

#include <algorithm>

std::vector<std::string> SplitArguments(std::string_view line) {
  std::vector<std::string> args(1);
  std::size_t at = 0;
  // The program's path: to its closing quote, or to the first blank.
  if (line.starts_with('"')) {
    std::size_t end = line.find('"', 1);
    args[0] = line.substr(1, end == std::string_view::npos ? end : end - 1);
    at = end == std::string_view::npos ? line.size() : end + 1;
  } else {
    at = std::min(line.find_first_of(" \t"), line.size());
    args[0] = line.substr(0, at);
  }
  bool inArgument = false, inQuotes = false;
  while (at < line.size()) {
    char c = line[at];
    if (!inQuotes && (c == ' ' || c == '\t')) {
      inArgument = false;
      ++at;
      continue;
    }
    if (!inArgument) {
      args.emplace_back();
      inArgument = true;
    }
    std::size_t slashes = 0;
    while (at < line.size() && line[at] == '\\') ++slashes, ++at;
    if (at < line.size() && line[at] == '"') {
      args.back().append(slashes / 2, '\\');
      if (slashes % 2 == 1) {
        args.back() += '"';
      } else if (inQuotes && at + 1 < line.size() && line[at + 1] == '"') {
        args.back() += '"';  // "" inside quotes: one quote, still quoted
        ++at;
      } else {
        inQuotes = !inQuotes;
      }
      ++at;
    } else if (slashes > 0) {
      args.back().append(slashes, '\\');
    } else {
      args.back() += c;
      ++at;
    }
  }
  return args;
}

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

std::optional<std::uint64_t> WholeNumber(std::string_view text) {
  std::uint64_t n = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), n);
  if (error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
  return n;
}

std::string Joined(const std::vector<std::string>& items, std::string_view separator) {
  std::string out;
  for (const std::string& item : items) {
    if (&item != &items.front()) out += separator;
    out += item;
  }
  return out;
}

std::vector<std::string> Split(std::string_view text, char separator) {
  std::vector<std::string> parts;
  for (std::size_t from = 0;;) {
    std::size_t at = text.find(separator, from);
    parts.emplace_back(text.substr(from, at - from));
    if (at == std::string_view::npos) return parts;
    from = at + 1;
  }
}
