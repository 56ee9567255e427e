// A stand-in for SetACL.exe, for demos and tests: it accepts the command
// lines Vorlane composes, prints what each action would do, writes the log
// and backup files it is asked for, and changes no security at all.

#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/win32/wide.h"
#include "tools/setacl/command.h"

namespace {

// Console text goes out in the ANSI code page, as the real tool writes it.
void Write(DWORD stream, const std::string& utf8) {
  std::wstring wide = win32::Wide(utf8);
  int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                              nullptr, nullptr);
  std::string ansi(n, '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), ansi.data(), n,
                      nullptr, nullptr);
  DWORD written = 0;
  WriteFile(GetStdHandle(stream), ansi.data(), static_cast<DWORD>(ansi.size()), &written, nullptr);
}

int Fail(const std::string& message) {
  Write(STD_ERROR_HANDLE, "SetACL stand-in: " + message + "\r\n");
  return 1;
}

bool Save(const std::string& path, const std::string& text) {
  std::ofstream file(std::filesystem::path(win32::Wide(path)), std::ios::binary);
  file << text;
  return static_cast<bool>(file.flush());
}

}  // namespace

int wmain() {
  standin::Parsed parsed = standin::Parse(win32::Utf8(GetCommandLineW()));
  if (!parsed.error.empty()) return Fail(parsed.error);
  standin::Command& command = parsed.command;

  if (std::ranges::find(command.actions, "restore") != command.actions.end()) {
    std::ifstream file(std::filesystem::path(win32::Wide(command.backup)), std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    if (!file || !standin::ReadBackup(text.str(), command.backedUpObject))
      return Fail("cannot read a backup from \"" + command.backup + "\"");
  }
  if (std::ranges::find(command.actions, "list") != command.actions.end() &&
      !Save(command.backup, standin::BackupText(command)))
    return Fail("cannot write the backup \"" + command.backup + "\"");

  std::string out;
  for (const std::string& line : standin::Describe(command)) out += line + "\r\n";
  if (!command.log.empty() && !Save(command.log, out))
    return Fail("cannot write the log \"" + command.log + "\"");
  if (!command.silent) Write(STD_OUTPUT_HANDLE, out);
  return 0;
}
