#include "tests/native/fake_security.h"

#include <string_view>

namespace {

const std::map<std::string, std::string, std::less<>> kAliases = {
    {"BA", "S-1-5-32-544"}, {"BU", "S-1-5-32-545"}, {"SY", "S-1-5-18"}, {"WD", "S-1-1-0"},
    {"AU", "S-1-5-11"},     {"CO", "S-1-3-0"},      {"BG", "S-1-5-32-546"}};

const std::map<std::string, std::uint32_t, std::less<>> kRights = {
    {"GA", 0x10000000}, {"GR", 0x80000000}, {"GW", 0x40000000}, {"GX", 0x20000000},
    {"FA", 0x1F01FF},   {"FR", 0x120089},   {"FW", 0x120116},   {"FX", 0x1200A0},
    {"KA", 0xF003F},    {"KR", 0x20019},    {"KW", 0x20006},    {"KX", 0x20019},
    {"RC", 0x20000},    {"SD", 0x10000},    {"WD", 0x40000},    {"WO", 0x80000}};

const std::map<std::string, std::uint8_t, std::less<>> kFlags = {
    {"OI", platform::kObjectInherit}, {"CI", platform::kContainerInherit},
    {"NP", platform::kNoPropagate},   {"IO", platform::kInheritOnly},
    {"ID", platform::kInherited},     {"SA", platform::kAuditSuccess},
    {"FA", platform::kAuditFailure}};

std::string Sid(std::string_view text) {
  auto alias = kAliases.find(text);
  return alias == kAliases.end() ? std::string(text) : alias->second;
}

bool ReadAce(std::string_view text, platform::Ace& ace) {
  std::string_view fields[6];
  for (int i = 0; i < 6; ++i) {
    std::size_t end = i < 5 ? text.find(';') : text.size();
    if (end == std::string_view::npos) return false;
    fields[i] = text.substr(0, end);
    text.remove_prefix(i < 5 ? end + 1 : end);
  }
  using Type = platform::Ace::Type;
  ace.type = fields[0] == "A" ? Type::Allow : fields[0] == "D" ? Type::Deny
             : fields[0] == "AU" ? Type::Audit : Type::Other;
  for (std::size_t at = 0; at + 2 <= fields[1].size(); at += 2) {
    auto flag = kFlags.find(fields[1].substr(at, 2));
    if (flag == kFlags.end()) return false;
    ace.flags |= flag->second;
  }
  if (fields[2].starts_with("0x")) {
    ace.mask = static_cast<std::uint32_t>(std::stoul(std::string(fields[2].substr(2)), nullptr, 16));
  } else {
    for (std::size_t at = 0; at + 2 <= fields[2].size(); at += 2) {
      auto right = kRights.find(fields[2].substr(at, 2));
      if (right == kRights.end()) return false;
      ace.mask |= right->second;
    }
  }
  ace.sid = Sid(fields[5]);
  return ace.type != Type::Other;
}

bool ReadAcl(std::string_view text, platform::Acl& acl) {
  acl.present = true;
  if (text.starts_with("NO_ACCESS_CONTROL")) {
    acl.null = true;
    return true;
  }
  std::size_t open = text.find('(');
  acl.protectedFromParent = text.substr(0, open).find('P') != std::string_view::npos;
  while (open != std::string_view::npos) {
    std::size_t close = text.find(')', open);
    if (close == std::string_view::npos) return false;
    platform::Ace ace;
    if (!ReadAce(text.substr(open + 1, close - open - 1), ace)) return false;
    acl.aces.push_back(ace);
    open = text.find('(', close);
  }
  return true;
}

}  // namespace

std::optional<platform::SecurityDescriptor> FakeSecurity::Read(const std::string& sddl) {
  platform::SecurityDescriptor sd;
  std::string_view text = sddl;
  while (!text.empty()) {
    if (text.size() < 2 || text[1] != ':') return std::nullopt;
    char part = text[0];
    text.remove_prefix(2);
    // A part ends where the next begins, outside an entry's parentheses.
    std::size_t end = 0;
    for (int depth = 0; end < text.size(); ++end) {
      depth += text[end] == '(' ? 1 : text[end] == ')' ? -1 : 0;
      if (depth == 0 && end + 1 < text.size() && text[end + 1] == ':' &&
          std::string_view("OGDS").find(text[end]) != std::string_view::npos)
        break;
    }
    std::string_view value = text.substr(0, end);
    text.remove_prefix(end);
    if (part == 'O') sd.owner = Sid(value);
    else if (part == 'G') sd.group = Sid(value);
    else if (part == 'D' && !ReadAcl(value, sd.dacl)) return std::nullopt;
    else if (part == 'S' && !ReadAcl(value, sd.sacl)) return std::nullopt;
  }
  return sd;
}

std::optional<std::string> FakeSecurity::AccountName(const std::string& sid) {
  auto account = accounts.find(sid);
  if (account == accounts.end()) return std::nullopt;
  return account->second;
}
