#include "tools/setacl/objects.h"

#include <array>
#include <vector>

#include "forms/win32/wide.h"
#include "platform/win32/win32_object_tree.h"
#include "tools/setacl/describe.h"

namespace standin {

SE_OBJECT_TYPE SystemType(ObjectType type) {
  switch (type) {
    case ObjectType::File: return SE_FILE_OBJECT;
    case ObjectType::Registry: return SE_REGISTRY_KEY;
    case ObjectType::Service: return SE_SERVICE;
    case ObjectType::Printer: return SE_PRINTER;
    case ObjectType::Share: return SE_LMSHARE;
  }
  return SE_FILE_OBJECT;
}

std::wstring SystemName(ObjectType type, const std::string& path) {
  std::wstring name = win32::Wide(path);
  if (type != ObjectType::Registry) return name;
  // The listing's own lower-case roots too: the system takes them in capitals.
  static const std::array<std::pair<const wchar_t*, const wchar_t*>, 12> roots = {{
      {L"HKEY_LOCAL_MACHINE", L"MACHINE"}, {L"HKLM", L"MACHINE"}, {L"MACHINE", L"MACHINE"},
      {L"HKEY_CURRENT_USER", L"CURRENT_USER"}, {L"HKCU", L"CURRENT_USER"},
      {L"CURRENT_USER", L"CURRENT_USER"}, {L"HKEY_CLASSES_ROOT", L"CLASSES_ROOT"},
      {L"HKCR", L"CLASSES_ROOT"}, {L"CLASSES_ROOT", L"CLASSES_ROOT"}, {L"HKEY_USERS", L"USERS"},
      {L"HKU", L"USERS"}, {L"USERS", L"USERS"}}};
  for (auto [from, to] : roots) {
    size_t n = wcslen(from);
    if (_wcsnicmp(name.c_str(), from, n) == 0 && (name.size() == n || name[n] == L'\\'))
      return to + name.substr(n);
  }
  return name;
}

namespace {

// A zero-byte write costs a trip to the server under wine: at most this often.
constexpr ULONGLONG kReaderCheckMs = 250;

// A path as the tool lists it: registry roots named as the security
// functions name them, in lower case ("machine\SOFTWARE\Acme").
std::string ListedPath(const Command& c) {
  if (c.type != ObjectType::Registry) return c.object;
  std::wstring name = SystemName(c.type, c.object);
  std::size_t root = std::min(name.find(L'\\'), name.size());
  CharLowerBuffW(name.data(), static_cast<DWORD>(root));
  return win32::Utf8(name);
}

class Walk {
 public:
  Walk(const Command& c, bool everything, const std::function<bool(const Reached&)>& visit)
      : c_(c), registry_(c.type == ObjectType::Registry), everything_(everything), visit_(visit) {
    // The reading holds a recursion for files and keys alone.
    containers_ = c.recursion == Recursion::Containers || c.recursion == Recursion::Subkeys ||
                  c.recursion == Recursion::ContainersAndObjects;
    objects_ = c.recursion == Recursion::Objects || c.recursion == Recursion::ContainersAndObjects;
  }

  void from(const std::string& path) {
    if (Filtered(c_, path) || gone() || !visit_({path, true, true})) return;
    if ((c_.type == ObjectType::File || registry_) && (containers_ || objects_ || everything_))
      below(path);
  }

  bool readerGone() const { return readerGone_; }

 private:
  bool gone() { return readerGone_ = ReaderGone(); }

  // Depth first, each folder's or key's own objects in the order the system
  // lists them.
  bool below(const std::string& path) {
    std::vector<platform::Listed> children;
    if (!tree_.Children(path, registry_, children)) return true;
    for (const platform::Listed& child : children) {
      if (gone()) return false;
      std::string childPath = path + (path.ends_with('\\') ? "" : "\\") + child.name;
      if (Filtered(c_, childPath)) continue;
      bool taken = child.container ? containers_ : objects_;
      if ((taken || everything_) && !visit_({childPath, false, taken})) return false;
      if (child.container && !below(childPath)) return false;
    }
    return true;
  }

  const Command& c_;
  bool registry_, everything_, containers_ = false, objects_ = false, readerGone_ = false;
  const std::function<bool(const Reached&)>& visit_;
  win32::Win32ObjectTree tree_;
};

}  // namespace

bool ForEachObject(const Command& command, bool everything,
                   const std::function<bool(const Reached&)>& visit) {
  Walk walk(command, everything, visit);
  walk.from(ListedPath(command));
  return !walk.readerGone();
}

bool ReaderGone() {
  static bool gone = false;
  static ULONGLONG next = 0;
  const ULONGLONG now = GetTickCount64();
  if (gone || now < next) return gone;
  next = now + kReaderCheckMs;
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  if (GetFileType(out) != FILE_TYPE_PIPE) return false;
  // A zero-byte write fails once the reading end is closed; the reader sees
  // at most an empty read (which Vorlane passes over; a reader that takes it
  // for the end would end the run here). PeekNamedPipe cannot tell: it is
  // refused on this end, which may not read, reader or none.
  DWORD written = 0;
  if (WriteFile(out, "", 0, &written, nullptr)) return false;
  const DWORD error = GetLastError();
  gone = error == ERROR_NO_DATA || error == ERROR_BROKEN_PIPE || error == ERROR_PIPE_NOT_CONNECTED;
  return gone;
}

}  // namespace standin
