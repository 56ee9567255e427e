#pragma once
// SDDL read by hand for the headless tests, refused where the system refuses
// it. An entry's bytes are the system's header (kind, flags, size), then its
// other parts written one way, so they differ whenever a part does (two
// spellings of one condition too); EntryText writes them back as SDDL.

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/clipboard.h"
#include "platform/security.h"

class FakeSecurity : public platform::Security {
 public:
  std::map<std::string, std::string> accounts = {
      {"S-1-5-32-544", "BUILTIN\\Administrators"}, {"S-1-5-32-545", "BUILTIN\\Users"},
      {"S-1-5-18", "NT AUTHORITY\\SYSTEM"},         {"S-1-1-0", "Everyone"},
      {"S-1-5-11", "NT AUTHORITY\\Authenticated Users"}, {"S-1-3-0", "CREATOR OWNER"}};

  std::optional<platform::SecurityDescriptor> Read(const std::string& sddl) override;
  std::string EntryText(const platform::Ace& ace) override;
  std::optional<std::string> AccountName(const std::string& sid) override;
  static std::string FlagText(std::uint8_t flags);  // "OICIID", in the order of their bits
};

// Objects a line as the tool lists them, among its messages.
inline std::string Listing(const std::vector<std::pair<std::string, std::string>>& objects, int type = 4) {
  std::string text = "SetACL is listing\r\n";
  for (const auto& [path, sddl] : objects)
    text += "\"" + path + "\"," + std::to_string(type) + ",\"" + sddl + "\"\r\n";
  return text + "SetACL finished successfully.\r\n";
}

class FakeClipboard : public platform::Clipboard {
 public:
  bool SetText(const std::string& text) override {
    this->text = text;
    return true;
  }
  std::string text;
};
