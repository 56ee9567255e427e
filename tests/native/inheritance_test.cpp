// The system's rules of ACE inheritance, and held entries against given ones.

#include "setacl/inheritance.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "tests/native/fake_security.h"

namespace {

constexpr const char* kOwner = "S-1-5-21-1-2-3-1001";
constexpr const char* kGroup = "S-1-5-21-1-2-3-513";

// An entry by its parts, with what the comparison allows it.
std::string Shown(const platform::Ace& ace, bool mayMerge, bool anyAccount,
                  FakeSecurity& security) {
  std::string text;
  if ((platform::Allows(ace) || platform::Denies(ace)) && !ace.sid.empty()) {
    text = "(" + std::to_string(ace.kind) + ";" + FakeSecurity::FlagText(ace.flags);
    char mask[16];
    std::snprintf(mask, sizeof mask, ";0x%x;;;", ace.mask);
    text += mask + ace.sid + (ace.extra.empty() ? "" : ";" + ace.extra) + ")";
  } else {
    text = security.EntryText(ace);
  }
  return text + (mayMerge ? " may merge" : "") + (anyAccount ? " any account" : "");
}

std::vector<platform::Ace> Entries(const std::string& dacl, FakeSecurity& security) {
  auto sd = security.Read("D:" + dacl);
  EXPECT_TRUE(sd) << dacl;
  return sd ? sd->dacl.aces : std::vector<platform::Ace>{};
}

// "(A;ID;FA;;;BA) may merge" as Shown writes it.
std::vector<std::string> Expected(const std::vector<std::string>& entries, FakeSecurity& security) {
  std::vector<std::string> out;
  for (const std::string& entry : entries) {
    std::size_t close = entry.rfind(')') + 1;
    std::vector<platform::Ace> read = Entries(entry.substr(0, close), security);
    std::string marks = entry.substr(close);
    for (const platform::Ace& ace : read)
      out.push_back(Shown(ace, marks.find("may merge") != std::string::npos,
                          marks.find("any account") != std::string::npos, security));
  }
  std::ranges::sort(out);
  return out;
}

struct Given {
  const char* name;
  std::string parent;  // its DACL
  bool container;
  ObjectType type;
  const char* group;
  std::vector<std::string> child;
};

}  // namespace

TEST(Inheritance, EachParentEntryGivesWhatTheRulesSay) {
  const ObjectType kFiles = ObjectType::File, kKeys = ObjectType::Registry;
  // clang-format off
  const Given cases[] = {
      {"OI and CI reach a file", "(A;OICI;FA;;;BA)", false, kFiles, "", {"(A;ID;FA;;;BA)"}},
      {"OI and CI reach a folder, passed on", "(A;OICI;FA;;;BA)", true, kFiles, "", {"(A;OICIID;FA;;;BA)"}},
      {"CI alone gives a file nothing", "(A;CI;FA;;;BA)", false, kFiles, "", {}},
      {"CI alone reaches a folder, passed on", "(A;CI;FA;;;BA)", true, kFiles, "", {"(A;CIID;FA;;;BA)"}},
      {"OI alone reaches a file", "(A;OI;FA;;;BA)", false, kFiles, "", {"(A;ID;FA;;;BA)"}},
      {"OI alone reaches a folder inherit-only", "(A;OI;FA;;;BA)", true, kFiles, "", {"(A;OIIOID;FA;;;BA)"}},
      {"OI with NP gives a folder nothing", "(A;OINP;FA;;;BA)", true, kFiles, "", {}},
      {"OI with NP still reaches a file", "(A;OINP;FA;;;BA)", false, kFiles, "", {"(A;ID;FA;;;BA)"}},
      {"CI with NP reaches a folder, not passed on", "(A;CINP;FA;;;BA)", true, kFiles, "", {"(A;ID;FA;;;BA)"}},
      {"OI, CI and NP reach a folder, not passed on", "(A;OICINP;FA;;;BA)", true, kFiles, "", {"(A;ID;FA;;;BA)"}},
      {"IO on the parent passes on to a folder", "(A;OICIIO;FA;;;BU)", true, kFiles, "", {"(A;OICIID;FA;;;BU)"}},
      {"IO on the parent passes on to a file", "(A;OICIIO;FA;;;BU)", false, kFiles, "", {"(A;ID;FA;;;BU)"}},
      {"an inherited entry passes on as well", "(A;OICIID;FA;;;BA)", true, kFiles, "", {"(A;OICIID;FA;;;BA)"}},
      {"no inheritance flags, nothing given", "(A;;FA;;;BA)(D;;FW;;;WD)", true, kFiles, "", {}},
      {"generic all on a key: effective mapped, and inherit-only as it stands", "(A;CIIO;GA;;;BA)", true, kKeys, "", {"(A;ID;KA;;;BA)", "(A;CIIOID;GA;;;BA)"}},
      {"generic read on a key", "(A;CI;GR;;;BU)", true, kKeys, "", {"(A;ID;KR;;;BU)", "(A;CIIOID;GR;;;BU)"}},
      {"generic write on a key", "(A;CI;GW;;;BU)", true, kKeys, "", {"(A;ID;KW;;;BU)", "(A;CIIOID;GW;;;BU)"}},
      {"generic read to a file", "(A;OICI;GR;;;BU)", false, kFiles, "", {"(A;ID;FR;;;BU)"}},
      {"generic write and execute to a file, a deny", "(D;OI;GWGX;;;WD)", false, kFiles, "", {"(D;ID;0x1201b6;;;WD)"}},
      {"generic rights beside specific ones to a folder", "(A;OICI;0x80010000;;;BU)", true, kFiles, "", {"(A;ID;0x130089;;;BU)", "(A;OICIIOID;0x80010000;;;BU)"}},
      {"generic rights inherit-only to a folder, unmapped", "(A;OI;GA;;;BA)", true, kFiles, "", {"(A;OIIOID;GA;;;BA)"}},
      {"generic rights, NP: effective only", "(A;CINP;GA;;;BA)", true, kKeys, "", {"(A;ID;KA;;;BA)"}},
      {"CREATOR OWNER to a file is its owner", "(A;OICIIO;FA;;;CO)", false, kFiles, "", {std::string("(A;ID;FA;;;") + kOwner + ")"}},
      {"CREATOR OWNER to a folder: the owner, and passed on as it stands", "(A;OICIIO;GA;;;CO)", true, kFiles, "", {std::string("(A;ID;FA;;;") + kOwner + ")", "(A;OICIIOID;GA;;;CO)"}},
      {"CREATOR GROUP to a file of a known group", "(A;OI;GR;;;CG)", false, kFiles, kGroup, {std::string("(A;ID;FR;;;") + kGroup + ")"}},
      {"CREATOR GROUP of a group not known: any account", "(A;OICI;FR;;;CG)", true, kFiles, "", {"(A;ID;FR;;;CG) any account", "(A;OICIIOID;FR;;;CG)"}},
      {"CREATOR OWNER alike another entry: the system may keep one", std::string("(A;OICI;FA;;;") + kOwner + ")(A;OICIIO;FA;;;CO)", false, kFiles, "", {std::string("(A;ID;FA;;;") + kOwner + ")", std::string("(A;ID;FA;;;") + kOwner + ") may merge"}},
      {"a conditional entry passes on whole", "(XA;OICI;FA;;;WD;(Member_of {SID(BA)}))", false, kFiles, "", {"(XA;ID;0x1f01ff;;;S-1-1-0;(Member_of {SID(BA)}))"}},
      {"a conditional entry's generic rights to a folder: mapped, and passed on as they stand", "(XA;OICI;GA;;;AU;(Member_of {SID(BA)}))", true, kFiles, "", {"(XA;ID;FA;;;AU;(Member_of {SID(BA)}))", "(XA;OICIIOID;GA;;;AU;(Member_of {SID(BA)}))"}},
      {"CREATOR OWNER of a conditional entry to a file", "(XA;OICIIO;FA;;;CO;(Member_of {SID(BA)}))", false, kFiles, "", {std::string("(XA;ID;FA;;;") + kOwner + ";(Member_of {SID(BA)}))"}},
      {"entries in turn", "(A;OICI;FA;;;SY)(D;CI;FW;;;WD)(A;OI;FR;;;BU)", true, kFiles, "", {"(A;OICIID;FA;;;SY)", "(D;CIID;FW;;;WD)", "(A;OIIOID;FR;;;BU)"}},
  };
  // clang-format on
  FakeSecurity security;
  for (const Given& c : cases) {
    auto parent = security.Read("O:BAD:" + c.parent);
    ASSERT_TRUE(parent) << c.name;
    std::vector<std::string> given;
    for (const GivenEntry& entry : GivenEntries(*parent, c.container, c.type, kOwner, c.group))
      given.push_back(Shown(entry.ace, entry.mayMerge, entry.anyAccount, security));
    std::ranges::sort(given);
    EXPECT_EQ(given, Expected(c.child, security)) << c.name;
  }
  // No DACL, or an empty one, gives nothing.
  for (const char* sddl : {"O:BA", "O:BAD:NO_ACCESS_CONTROL", "O:BAD:"})
    EXPECT_TRUE(GivenEntries(*security.Read(sddl), true, ObjectType::File, kOwner).empty()) << sddl;
}

TEST(Inheritance, HeldEntriesAreComparedWithGivenAsMultisets) {
  struct Case {
    const char* name;
    std::string parent, held;
    bool container;
    const char* group;
    std::vector<std::string> missing, notGiven;
  };
  const std::string owned = std::string("(A;OICI;FA;;;") + kOwner + ")(A;OICIIO;FA;;;CO)";
  const std::string mine = std::string("(A;ID;FA;;;") + kOwner + ")";
  // clang-format off
  const Case cases[] = {
      {"the same, in another order", "(A;OICI;FA;;;BA)(A;OICI;FR;;;BU)", "(A;OICIID;FR;;;BU)(A;OICIID;FA;;;BA)", true, "", {}, {}},
      {"one given twice and held once", "(A;OICI;FA;;;BA)(A;OICI;FA;;;BA)", "(A;ID;FA;;;BA)", false, "", {"(A;ID;FA;;;BA)"}, {}},
      {"one held twice and given once", "(A;OICI;FA;;;BA)", "(A;ID;FA;;;BA)(A;ID;FA;;;BA)", false, "", {}, {"(A;ID;FA;;;BA)"}},
      {"other flags", "(A;OICI;FA;;;BA)", "(A;CIID;FA;;;BA)", true, "", {"(A;OICIID;FA;;;BA)"}, {"(A;CIID;FA;;;BA)"}},
      {"other rights", "(A;OICI;FA;;;BA)", "(A;ID;FR;;;BA)", false, "", {"(A;ID;FA;;;BA)"}, {"(A;ID;FR;;;BA)"}},
      {"another account", "(A;OICI;FA;;;BA)", "(A;ID;FA;;;BU)", false, "", {"(A;ID;FA;;;BA)"}, {"(A;ID;FA;;;BU)"}},
      {"allow held for deny", "(D;OICI;FA;;;BA)", "(A;ID;FA;;;BA)", false, "", {"(D;ID;FA;;;BA)"}, {"(A;ID;FA;;;BA)"}},
      {"CREATOR OWNER's copy kept as one", owned, mine, false, "", {}, {}},
      {"CREATOR OWNER's copy kept as two", owned, mine + mine, false, "", {}, {}},
      {"CREATOR OWNER's copy and its like both gone", owned, "", false, "", {mine}, {}},
      {"CREATOR GROUP not known: any account with those rights", "(A;OI;FR;;;CG)", "(A;ID;FR;;;BU)", false, "", {}, {}},
      {"CREATOR GROUP not known: other rights", "(A;OI;FR;;;CG)", "(A;ID;FA;;;BU)", false, "", {"(A;ID;FR;;;CG)"}, {"(A;ID;FA;;;BU)"}},
      {"CREATOR GROUP known: only the group", "(A;OI;FR;;;CG)", "(A;ID;FR;;;BU)", false, kGroup, {std::string("(A;ID;FR;;;") + kGroup + ")"}, {"(A;ID;FR;;;BU)"}},
      {"a condition alike", "(XA;OI;FA;;;WD;(Member_of {SID(BA)}))", "(XA;ID;FA;;;WD;(Member_of {SID(BA)}))", false, "", {}, {}},
      {"a condition of another", "(XA;OI;FA;;;WD;(Member_of {SID(BA)}))", "(XA;ID;FA;;;WD;(Member_of {SID(BU)}))", false, "", {"(XA;ID;0x1f01ff;;;S-1-1-0;(Member_of {SID(BA)}))"}, {"(XA;ID;0x1f01ff;;;S-1-1-0;(Member_of {SID(BU)}))"}},
  };
  // clang-format on
  FakeSecurity security;
  for (const Case& c : cases) {
    auto parent = security.Read("O:BAD:" + c.parent);
    ASSERT_TRUE(parent) << c.name;
    InheritedDifference difference =
        CompareInherited(GivenEntries(*parent, c.container, ObjectType::File, kOwner, c.group),
                         Entries(c.held, security));
    auto shown = [&](const std::vector<platform::Ace>& aces) {
      std::vector<std::string> out;
      for (const platform::Ace& ace : aces) out.push_back(Shown(ace, false, false, security));
      std::ranges::sort(out);
      return out;
    };
    EXPECT_EQ(shown(difference.missing), Expected(c.missing, security)) << c.name;
    EXPECT_EQ(shown(difference.notGiven), Expected(c.notGiven, security)) << c.name;
    EXPECT_EQ(difference.none(), c.missing.empty() && c.notGiven.empty()) << c.name;
  }
}

TEST(Inheritance, CanonicalOrderIsExplicitFirstAndDenialsFirstAmongThem) {
  // clang-format off
  const std::pair<const char*, bool> cases[] = {
      {"(D;;FA;;;WD)(A;;FA;;;BA)(A;ID;FA;;;SY)(D;ID;FW;;;BU)", true},
      {"", true},
      {"(A;;FA;;;BA)(D;;FA;;;WD)", false},
      {"(A;ID;FA;;;SY)(A;;FA;;;BA)", false},
      {"(XA;;FA;;;WD;(Member_of {SID(BA)}))(XD;;FA;;;WD;(Member_of {SID(BU)}))", false},
      {"(A;;FA;;;BA)(XD;ID;FA;;;WD;(Member_of {SID(BU)}))", true},
  };
  // clang-format on
  FakeSecurity security;
  for (auto [dacl, canonical] : cases)
    EXPECT_EQ(InCanonicalOrder(security.Read(std::string("D:") + dacl)->dacl), canonical) << dacl;
}
