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

struct Ace {
  enum class Type { Allow, Deny, Audit, Other };
  Type type = Type::Other;
  std::uint8_t flags = 0;
  std::uint32_t mask = 0;
  std::string sid;  // "S-1-5-32-544"
};

struct Acl {
  bool present = false;  // the descriptor holds this list
  bool null = false;     // present, but a null list: no restriction at all
  bool protectedFromParent = false;
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
  // "DOMAIN\name" (or the name alone) of a SID; nullopt when no account has it.
  virtual std::optional<std::string> AccountName(const std::string& sid) = 0;
};

}  // namespace platform
