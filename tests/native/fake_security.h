#pragma once
// SDDL read by hand for the headless tests (the program has the system read
// it): owner, group, DACL and SACL with the flags P, AI, AR and
// NO_ACCESS_CONTROL; entries A, D, AU, AL, the object kinds OA OD OU OL
// (with their GUIDs), the conditional XA XD XU ZA, the label ML, resource
// attributes RA and scoped policies SP, with the flags OI CI NP IO ID SA FA;
// rights in hex or as two-letter codes; SIDs as the aliases that need no
// domain or as strings. An unknown or repeated part, or a SID that is none,
// is refused, as the system refuses it. An entry's bytes are the system's
// header (kind, flags, size) and then its other parts written one way, so
// they differ whenever a part does (conditions and attributes as written:
// where the system would write two spellings of one alike, the fake says
// they differ); EntryText writes them back as SDDL.

#include <map>
#include <string>

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
};

class FakeClipboard : public platform::Clipboard {
 public:
  bool SetText(const std::string& text) override {
    this->text = text;
    return true;
  }
  std::string text;
};
