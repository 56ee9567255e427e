// A console program for the runner's tests and the benchmark: writes what it
// is told to on standard output and standard error, unbuffered.
//   nothing           writes nothing
//   bytes N           N letters on standard output
//   interleave        out, err, out, err: one line each, in that order
//   mb N              N MiB of numbered text lines

#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

void Put(DWORD stream, const std::string& text) {
  DWORD written = 0;
  WriteFile(GetStdHandle(stream), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  std::string mode = argc > 1 ? argv[1] : "nothing";
  long n = argc > 2 ? std::atol(argv[2]) : 0;
  if (mode == "bytes") {
    std::string text;
    for (long i = 0; i < n; ++i) text += static_cast<char>('a' + i % 26);
    Put(STD_OUTPUT_HANDLE, text);
  } else if (mode == "interleave") {
    for (int i = 1; i <= 3; ++i) {
      Put(STD_OUTPUT_HANDLE, "out " + std::to_string(i) + "\r\n");
      Put(STD_ERROR_HANDLE, "err " + std::to_string(i) + "\r\n");
    }
  } else if (mode == "mb") {
    const std::size_t total = static_cast<std::size_t>(n) << 20;
    std::string block;
    for (std::size_t line = 0, size = 0; size < total; ++line) {
      std::string text = "line " + std::to_string(line) + " of the benchmark output\r\n";
      text.resize(std::min(text.size(), total - size));
      block += text;
      size += text.size();
      if (block.size() >= 65536 || size == total) {
        Put(STD_OUTPUT_HANDLE, block);
        block.clear();
      }
    }
  }
  return 0;
}
