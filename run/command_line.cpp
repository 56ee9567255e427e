#include "run/command_line.h"

std::string BeforeClosingQuote(std::string_view value) {
  std::size_t trailing = value.size() - (value.find_last_not_of('\\') + 1);
  return std::string(value) + std::string(trailing, '\\');
}
