#include "setacl/command_line.h"

std::string QuotedArgument(std::string_view value) {
  std::string out(1, '"');
  std::size_t backslashes = 0;  // the run standing right before the next character
  for (char c : value) {
    if (c == '"') out.append(backslashes + 1, '\\');
    backslashes = c == '\\' ? backslashes + 1 : 0;
    out += c;
  }
  out.append(backslashes, '\\');
  out += '"';
  return out;
}
