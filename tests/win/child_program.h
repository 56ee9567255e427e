#pragma once
// Another program started for a test, watched from outside: its top-level
// windows by title, its end and exit code. Killed if still running at the end.

#include <windows.h>

#include <filesystem>
#include <string>

namespace native {

class ChildProgram {
 public:
  ChildProgram(const std::filesystem::path& exe, const std::wstring& arguments = {});
  ~ChildProgram();
  ChildProgram(const ChildProgram&) = delete;
  ChildProgram& operator=(const ChildProgram&) = delete;

  bool started() const { return process_ != nullptr; }
  HANDLE handle() const { return process_; }
  // A visible top-level window of this program with that title, waited for.
  HWND waitForWindow(const std::wstring& title, int milliseconds = 20000) const;
  HWND window(const std::wstring& title) const;
  // The exit code once the program ended, or -1 when it is still running.
  long waitForExit(int milliseconds = 20000) const;

 private:
  HANDLE process_ = nullptr;
  DWORD id_ = 0;
};

// A fresh folder under the temporary folder, removed with its contents.
class TempFolder {
 public:
  explicit TempFolder(const std::wstring& name);
  ~TempFolder();
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Ends every process whose program lies in that folder: children that a
// test started through the shell and cannot otherwise reach. How many it ended.
int EndProgramsIn(const std::filesystem::path& folder);
bool ProgramRunning(const std::filesystem::path& program);

// Security of a key under HKEY_LOCAL_MACHINE: those parts in SDDL as the
// system reports them, or "unreadable"; and the key made if missing, its
// DACL, when one is given, set exactly, flags of its entries included.
std::string KeySecurity(const std::wstring& key, SECURITY_INFORMATION parts = OWNER_SECURITY_INFORMATION |
                                                     GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION);
bool MakeKey(const std::wstring& key, const wchar_t* dacl = nullptr);

// A file's whole content, as bytes.
std::string FileText(const std::filesystem::path& path);
// A path in UTF-8 between double quotes, as a command line takes it.
std::string Quoted(const std::filesystem::path& path);

// The folder of the running test program, where the build puts vorlane.exe.
std::filesystem::path BuildFolder();

}  // namespace native
