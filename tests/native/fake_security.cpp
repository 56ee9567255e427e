#include "tests/native/fake_security.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string_view>
#include <vector>

namespace {

using platform::Ace;

// The system's aliases that need no domain.
const std::map<std::string, std::string, std::less<>> kAliases = {
    {"BA", "S-1-5-32-544"}, {"BU", "S-1-5-32-545"}, {"SY", "S-1-5-18"},     {"WD", "S-1-1-0"},
    {"AU", "S-1-5-11"},     {"CO", "S-1-3-0"},      {"BG", "S-1-5-32-546"}, {"LW", "S-1-16-4096"},
    {"ME", "S-1-16-8192"},  {"MP", "S-1-16-8448"},  {"HI", "S-1-16-12288"}, {"SI", "S-1-16-16384"},
    {"AO", "S-1-5-32-548"}, {"PU", "S-1-5-32-547"}, {"SO", "S-1-5-32-549"}, {"BO", "S-1-5-32-551"},
    {"RE", "S-1-5-32-552"}, {"RU", "S-1-5-32-554"}, {"RD", "S-1-5-32-555"}, {"NO", "S-1-5-32-556"},
    {"NS", "S-1-5-20"},     {"LS", "S-1-5-19"},     {"PS", "S-1-5-10"},     {"IU", "S-1-5-4"},
    {"NU", "S-1-5-2"},      {"SU", "S-1-5-6"},      {"AN", "S-1-5-7"},      {"RC", "S-1-5-12"},
    {"WR", "S-1-5-33"},     {"OW", "S-1-3-4"},      {"CG", "S-1-3-1"},      {"ED", "S-1-5-9"},
    {"AC", "S-1-15-2-1"}};

const std::map<std::string, std::uint32_t, std::less<>> kRights = {
    {"GA", 0x10000000}, {"GR", 0x80000000}, {"GW", 0x40000000}, {"GX", 0x20000000},
    {"FA", 0x1F01FF},   {"FR", 0x120089},   {"FW", 0x120116},   {"FX", 0x1200A0},
    {"KA", 0xF003F},    {"KR", 0x20019},    {"KW", 0x20006},    {"KX", 0x20019},
    {"RC", 0x20000},    {"SD", 0x10000},    {"WD", 0x40000},    {"WO", 0x80000},
    {"CC", 0x1},        {"DC", 0x2},        {"LC", 0x4},        {"SW", 0x8},
    {"RP", 0x10},       {"WP", 0x20},       {"DT", 0x40},       {"LO", 0x80},
    {"CR", 0x100},      {"NW", platform::kNoWriteUp}, {"NR", platform::kNoReadUp},
    {"NX", platform::kNoExecuteUp}};

// In the order of their bits, as the bytes write them.
const std::pair<const char*, std::uint8_t> kFlags[] = {
    {"OI", platform::kObjectInherit}, {"CI", platform::kContainerInherit},
    {"NP", platform::kNoPropagate},   {"IO", platform::kInheritOnly},
    {"ID", platform::kInherited},     {"SA", platform::kAuditSuccess},
    {"FA", platform::kAuditFailure}};

struct Kind {
  const char* code;
  std::uint8_t number;
  Ace::Type type;
  bool objectTypes;  // may name an object type and an inherited object type
  bool extra;        // may end in a condition or an attribute
};

const Kind kKinds[] = {
    {"A", platform::kAllowedAce, Ace::Type::Allow, false, false},
    {"D", platform::kDeniedAce, Ace::Type::Deny, false, false},
    {"AU", platform::kAuditAce, Ace::Type::Audit, false, false},
    {"AL", 0x03, Ace::Type::Other, false, false},
    {"OA", platform::kAllowedObjectAce, Ace::Type::Other, true, false},
    {"OD", platform::kDeniedObjectAce, Ace::Type::Other, true, false},
    {"OU", 0x07, Ace::Type::Other, true, false},
    {"OL", 0x08, Ace::Type::Other, true, false},
    {"XA", platform::kAllowedCallbackAce, Ace::Type::Other, false, true},
    {"XD", platform::kDeniedCallbackAce, Ace::Type::Other, false, true},
    {"ZA", platform::kAllowedCallbackObjectAce, Ace::Type::Other, true, true},
    {"XU", 0x0D, Ace::Type::Other, false, true},
    {"ML", platform::kMandatoryLabelAce, Ace::Type::Label, false, false},
    {"RA", 0x12, Ace::Type::Other, false, true},
    {"SP", 0x13, Ace::Type::Other, false, false}};

constexpr std::size_t kHeader = 4;

// An alias, or a SID in text ("S-1-" and numbers); none for anything else,
// as the system refuses it.
std::optional<std::string> Sid(std::string_view text) {
  if (auto alias = kAliases.find(text); alias != kAliases.end()) return alias->second;
  if (!text.starts_with("S-1-") || text.ends_with('-') ||
      text.find_first_not_of("0123456789-", 4) != std::string_view::npos ||
      text.find("--") != std::string_view::npos)
    return std::nullopt;
  return std::string(text);
}

// Where the parenthesis or quote opening at `at` closes, past nested ones
// and quotes; npos when it does not.
std::size_t Closing(std::string_view text, std::size_t at) {
  if (text[at] == '"') return text.find('"', at + 1);
  while (++at < text.size()) {
    if (text[at] == ')') return at;
    if ((text[at] == '(' || text[at] == '"') && (at = Closing(text, at)) == std::string_view::npos) break;
  }
  return std::string_view::npos;
}

// Splits at `separator` where it stands outside parentheses and quotes;
// false when they do not close.
bool SplitOutside(std::string_view text, char separator, std::vector<std::string_view>& parts) {
  std::size_t from = 0;
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (text[at] == '(' || text[at] == '"') {
      if ((at = Closing(text, at)) == std::string_view::npos) return false;
    } else if (text[at] == ')') {
      return false;
    } else if (text[at] == separator) {
      parts.push_back(text.substr(from, at - from));
      from = at + 1;
    }
  }
  parts.push_back(text.substr(from));
  return true;
}

bool Guid(std::string_view text) {
  if (text.size() != 36) return false;
  for (std::size_t i = 0; i < text.size(); ++i)
    if (i == 8 || i == 13 || i == 18 || i == 23 ? text[i] != '-' : !std::isxdigit(static_cast<unsigned char>(text[i])))
      return false;
  return true;
}

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

bool ReadRights(std::string_view text, std::uint32_t& mask) {
  if (text.starts_with("0x")) {
    if (text.size() == 2 || text.find_first_not_of("0123456789abcdefABCDEF", 2) != std::string_view::npos)
      return false;
    mask = static_cast<std::uint32_t>(std::stoul(std::string(text.substr(2)), nullptr, 16));
    return true;
  }
  for (std::size_t at = 0; at < text.size(); at += 2) {
    auto right = kRights.find(text.substr(at, 2));
    if (right == kRights.end()) return false;
    mask |= right->second;
  }
  return true;
}

// "(type;flags;rights;object type;inherited object type;SID[;condition or attribute])"
bool ReadAce(std::string_view text, Ace& ace) {
  std::vector<std::string_view> fields;
  if (!SplitOutside(text, ';', fields) || fields.size() < 6 || fields.size() > 7) return false;
  const Kind* kind = std::ranges::find_if(kKinds, [&](const Kind& k) { return fields[0] == k.code; });
  if (kind == std::end(kKinds)) return false;
  ace.type = kind->type;
  ace.kind = kind->number;
  for (std::size_t at = 0; at < fields[1].size(); at += 2) {
    auto flag = std::ranges::find_if(kFlags, [&](auto& f) { return f.first == fields[1].substr(at, 2); });
    if (flag == std::end(kFlags)) return false;
    ace.flags |= flag->second;
  }
  if (!ReadRights(fields[2], ace.mask)) return false;
  for (std::string_view guid : {fields[3], fields[4]})
    if (!guid.empty() && (!kind->objectTypes || !Guid(guid))) return false;
  if (fields[5].empty() || (fields.size() == 7 && !kind->extra)) return false;
  auto sid = Sid(fields[5]);
  if (!sid) return false;
  ace.sid = *sid;
  // The system's header (kind, flags, size), then the other parts.
  char mask[16];
  std::snprintf(mask, sizeof mask, "0x%x;", ace.mask);
  const std::string types = Lower(fields[3]) + ";" + Lower(fields[4]);
  const std::string extra = fields.size() == 7 ? std::string(1, ';').append(fields[6]) : std::string();
  std::string body = mask + types + ";" + ace.sid + extra;
  const std::size_t size = kHeader + body.size();
  ace.bytes = {static_cast<char>(ace.kind), static_cast<char>(ace.flags), static_cast<char>(size & 0xFF),
               static_cast<char>(size >> 8)};
  ace.bytes += body;
  // As the system's entries read: the other kinds that allow or deny by
  // their parts too, the rest by their bytes alone.
  if (ace.type != Ace::Type::Other) return true;
  if (platform::Allows(ace) || platform::Denies(ace)) {
    ace.extra = types + extra;
  } else {
    ace.mask = 0;
    ace.sid.clear();
  }
  return true;
}

// "P", "AI", "AR" and "NO_ACCESS_CONTROL" in any order, then the entries.
bool ReadAcl(std::string_view text, platform::Acl& acl) {
  acl.present = true;
  while (!text.empty() && text[0] != '(') {
    std::size_t length = 2;
    if (text.starts_with("NO_ACCESS_CONTROL")) acl.null = true, length = 17;
    else if (text.starts_with("AI")) acl.autoInherited = true;
    else if (text.starts_with("AR")) acl.autoInheritRequired = true;
    else if (text.starts_with("P")) acl.protectedFromParent = true, length = 1;
    else return false;
    text.remove_prefix(length);
  }
  while (!text.empty()) {
    std::size_t close = text[0] == '(' ? Closing(text, 0) : std::string_view::npos;
    if (close == std::string_view::npos) return false;
    Ace ace;
    if (!ReadAce(text.substr(1, close - 1), ace)) return false;
    acl.aces.push_back(std::move(ace));
    text.remove_prefix(close + 1);
  }
  return true;
}

// Where the next part ("O:", "G:", "D:", "S:") begins, outside entries and
// quotes (a quote outside entries fails the part it stands in anyway).
std::size_t NextPart(std::string_view text) {
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (text[at] == '(' || text[at] == '"') {
      at = Closing(text, at);
      if (at == std::string_view::npos) return text.size();
    } else if (at + 1 < text.size() && text[at + 1] == ':' &&
               std::string_view("OGDS").find(text[at]) != std::string_view::npos) {
      return at;
    }
  }
  return text.size();
}

}  // namespace

std::optional<platform::SecurityDescriptor> FakeSecurity::Read(const std::string& sddl) {
  platform::SecurityDescriptor sd;
  std::string_view text = sddl;
  std::string seen;
  while (!text.empty()) {
    // Each part once, and none the system does not know.
    if (text.size() < 2 || text[1] != ':' || std::string_view("OGDS").find(text[0]) == std::string_view::npos ||
        seen.find(text[0]) != std::string::npos)
      return std::nullopt;
    char part = text[0];
    seen += part;
    text.remove_prefix(2);
    std::size_t end = NextPart(text);
    std::string_view value = text.substr(0, end);
    text.remove_prefix(end);
    if (part == 'O' || part == 'G') {
      auto sid = Sid(value);
      if (!sid) return std::nullopt;
      (part == 'O' ? sd.owner : sd.group) = *sid;
    } else if (!ReadAcl(value, part == 'D' ? sd.dacl : sd.sacl)) {
      return std::nullopt;
    }
  }
  return sd;
}

std::string FakeSecurity::EntryText(const Ace& ace) {
  if (ace.bytes.size() < kHeader) return {};
  std::string text = "(";
  for (const Kind& kind : kKinds)
    if (kind.number == static_cast<std::uint8_t>(ace.bytes[0])) text += kind.code;
  return text + ";" + FlagText(std::uint8_t(ace.bytes[1])) + ";" + ace.bytes.substr(kHeader) + ")";
}

std::string FakeSecurity::FlagText(std::uint8_t flags) {
  std::string text;
  for (auto [code, bit] : kFlags)
    if (flags & bit) text += code;
  return text;
}

std::optional<std::string> FakeSecurity::AccountName(const std::string& sid) {
  auto account = accounts.find(sid);
  if (account == accounts.end()) return std::nullopt;
  return account->second;
}
