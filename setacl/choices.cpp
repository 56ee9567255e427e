#include "setacl/choices.h"

std::string FillIn(std::string_view text, std::string_view name, std::string_view value) {
  std::string out;
  const std::string mark = "{" + std::string(name) + "}";
  for (std::size_t at = 0;;) {
    std::size_t found = text.find(mark, at);
    out.append(text.substr(at, found - at));
    if (found == std::string_view::npos) return out;
    out.append(value);
    at = found + mark.size();
  }
}

std::vector<AceMode> ModesFor(AclLists lists) {
  switch (lists) {
    case AclLists::Dacl: return {AceMode::Set, AceMode::Grant, AceMode::Revoke, AceMode::Deny};
    case AclLists::Sacl: return {AceMode::AuditSuccess, AceMode::AuditFailure, AceMode::Revoke};
    case AclLists::Both: break;
  }
  return {AceMode::Revoke};
}
