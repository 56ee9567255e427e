// A console program for the runner's tests and the benchmark: writes what it
// is told to on standard output and standard error, unbuffered.
//   nothing           writes nothing
//   bytes N           N letters on standard output
//   interleave        out, err, out, err: one line each, in that order
//   mb N              N MiB of numbered text lines, in blocks of 64 KiB
//   hold              "first line", then, once the event named kGoEvent is
//                     set, "second line" (after 30 s: "never released")
//   nuls              lines with NUL bytes inside
//   utf16             UTF-16 text with its byte-order mark
//   fail N            one line, then exit code N
//   sleep N           writes nothing and ends after N seconds
// Started under another name with other arguments (as SetACL.exe, say), it
// takes its mode from the CONSOLE_CHILD variable instead: "mb 8".

#include <windows.h>

#include <cstdlib>
#include <sstream>
#include <string>

#include "tests/win/console_child.h"

namespace {

void Put(DWORD stream, const std::string& text) {
  DWORD written = 0;
  WriteFile(GetStdHandle(stream), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  std::string mode = argc > 1 ? argv[1] : "nothing";
  long n = argc > 2 ? std::atol(argv[2]) : 0;
  if (const char* told = std::getenv("CONSOLE_CHILD")) std::istringstream(told) >> mode >> n;
  if (mode == "bytes") {
    std::string text;
    for (long i = 0; i < n; ++i) text += static_cast<char>('a' + i % 26);
    Put(STD_OUTPUT_HANDLE, text);
  } else if (mode == "interleave") {
    for (int i = 1; i <= 3; ++i) {
      Put(STD_OUTPUT_HANDLE, "out " + std::to_string(i) + "\r\n");
      Put(STD_ERROR_HANDLE, "err " + std::to_string(i) + "\r\n");
    }
  } else if (mode == "hold") {
    Put(STD_OUTPUT_HANDLE, "first line\r\n");
    HANDLE go = CreateEventW(nullptr, TRUE, FALSE, native::kGoEvent);
    bool released = WaitForSingleObject(go, 30000) == WAIT_OBJECT_0;
    CloseHandle(go);
    Put(STD_OUTPUT_HANDLE, released ? "second line\r\n" : "second line, never released\r\n");
  } else if (mode == "nuls") {
    const char text[] = "before\0after\r\nsecond\0piece\r\nthird line";
    Put(STD_OUTPUT_HANDLE, std::string(text, sizeof text - 1));
  } else if (mode == "utf16") {
    const wchar_t text[] = L"\xFEFFUnicode \x2713\r\n";
    Put(STD_OUTPUT_HANDLE, std::string(reinterpret_cast<const char*>(text), sizeof text - sizeof(wchar_t)));
  } else if (mode == "fail") {
    Put(STD_ERROR_HANDLE, "something went wrong\r\n");
    return static_cast<int>(n);
  } else if (mode == "sleep") {
    Sleep(static_cast<DWORD>(n) * 1000);
  } else if (mode == "mb") {
    const std::string text = native::BenchmarkText(static_cast<std::size_t>(n) << 20);
    for (std::size_t at = 0; at < text.size(); at += 65536) Put(STD_OUTPUT_HANDLE, text.substr(at, 65536));
  }
  return 0;
}
