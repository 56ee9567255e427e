#pragma once
// What the console child writes and waits for, shared with the programs that
// read it: the benchmark's text, cut at exactly the size asked for so the
// reader can compare what it got byte for byte, and the event that releases
// a held child.

#include <string>

namespace native {

inline constexpr wchar_t kGoEvent[] = L"VorlaneConsoleChildGo";

inline std::string BenchmarkText(std::size_t size) {
  std::string text;
  text.reserve(size);
  for (std::size_t line = 0; text.size() < size; ++line)
    text += "line " + std::to_string(line) + " of the benchmark output\r\n";
  text.resize(size);
  return text;
}

}  // namespace native
