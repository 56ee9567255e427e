#pragma once
// Security descriptors as the system reads them: an SDDL string turned into
// its parts by the system's own conversion, and accounts named as the
// system names them.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// The system's ACE flags.
inline constexpr std::uint8_t kObjectInherit = 0x01;
inline constexpr std::uint8_t kContainerInherit = 0x02;
inline constexpr std::uint8_t kNoPropagate = 0x04;
inline constexpr std::uint8_t kInheritOnly = 0x08;
inline constexpr std::uint8_t kInherited = 0x10;
inline constexpr std::uint8_t kAuditSuccess = 0x40;
inline constexpr std::uint8_t kAuditFailure = 0x80;

// The system's ACE types: those that allow or deny, with or without object
// types and conditions; audit; the integrity label.
inline constexpr std::uint8_t kAllowedAce = 0x00, kDeniedAce = 0x01, kAuditAce = 0x02,
                              kAllowedCompoundAce = 0x04, kAllowedObjectAce = 0x05,
                              kDeniedObjectAce = 0x06, kAllowedCallbackAce = 0x09,
                              kDeniedCallbackAce = 0x0A, kAllowedCallbackObjectAce = 0x0B,
                              kDeniedCallbackObjectAce = 0x0C, kMandatoryLabelAce = 0x11;

// An integrity label's policy: what a caller of a lower level may not do.
inline constexpr std::uint32_t kNoWriteUp = 0x1, kNoReadUp = 0x2, kNoExecuteUp = 0x4;

struct Ace {
  enum class Type { Allow, Deny, Audit, Label, Other };
  Type type = Type::Other;
  std::uint8_t kind = 0;  // the system's ACE type
  std::uint8_t flags = 0;
  // Allow and deny entries of every kind, audit: the rights; a label: its policy.
  std::uint32_t mask = 0;
  std::string sid;  // allow, deny, audit: "S-1-5-32-544"; a label: its level
  // Allow and deny entries of the other kinds: what they hold beside their
  // rights and account (object types, a condition), as the system holds it.
  std::string extra;
  // The entry whole as the system holds it: two entries are the same only
  // when these are, whatever their kind holds (object types, conditions,
  // attributes).
  std::string bytes;
};

// Whether an entry allows or denies access, of whatever kind: these decide
// access in the order they stand; the others do not.
constexpr bool Allows(const Ace& ace) {
  switch (ace.kind) {
    case kAllowedAce: case kAllowedCompoundAce: case kAllowedObjectAce: case kAllowedCallbackAce:
    case kAllowedCallbackObjectAce:
      return true;
  }
  return false;
}
constexpr bool Denies(const Ace& ace) {
  switch (ace.kind) {
    case kDeniedAce: case kDeniedObjectAce: case kDeniedCallbackAce: case kDeniedCallbackObjectAce:
      return true;
  }
  return false;
}

struct Acl {
  bool present = false;  // the descriptor holds this list
  bool null = false;     // present, but a null list: no restriction at all
  bool protectedFromParent = false;   // P
  bool autoInherited = false;         // AI: its inherited entries were passed on automatically
  bool autoInheritRequired = false;   // AR: children are to take its entries automatically
  std::vector<Ace> aces;
};

struct SecurityDescriptor {
  std::string owner, group;  // SIDs; empty when not given
  Acl dacl, sacl;
};

class Security {
 public:
  virtual ~Security() = default;
  // The descriptor an SDDL string describes; nullopt when it is none.
  virtual std::optional<SecurityDescriptor> Read(const std::string& sddl) = 0;
  // An entry in SDDL as the system writes it, "(OA;CI;CR;...;;WD)"; empty
  // when the system cannot write it.
  virtual std::string EntryText(const Ace& ace) = 0;
  // "DOMAIN\name" (or the name alone) of a SID; nullopt when no account has it.
  virtual std::optional<std::string> AccountName(const std::string& sid) = 0;
};

}  // namespace platform
