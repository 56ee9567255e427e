// What a command reaches, whether it changes a SACL, and what lies within a scope.

#include <gtest/gtest.h>

#include "setacl/call_string.h"
#include "setacl/scope.h"

namespace {

const std::string kKey = " -on \"HKLM\\SOFTWARE\\Acme\" -ot reg";
const std::string kFolder = " -on \"C:\\Data\" -ot file";

}  // namespace

TEST(Scope, WhatACommandReachesIsReadFromItsArguments) {
  using R = Recursion;
  struct Case {
    std::string arguments;
    std::optional<Scope> scope;
  };
  const Case cases[] = {
      {kKey + " -actn setowner -ownr \"n:Bob;\"", Scope{"HKLM\\SOFTWARE\\Acme", ObjectType::Registry}},
      {kKey + " -rec YES -actn ace -ace \"n:a;p:read\"", Scope{"HKLM\\SOFTWARE\\Acme", ObjectType::Registry, R::Subkeys}},
      // A reset of children reaches everything below, whatever the recursion says.
      {kKey + " -actn rstchldrn -rst \"dacl\"", Scope{"HKLM\\SOFTWARE\\Acme", ObjectType::Registry, R::Subkeys}},
      {kFolder + " -rec obj -actn rstchldrn -rst \"dacl\"",
       Scope{"C:\\Data", ObjectType::File, R::ContainersAndObjects}},
      // Filters a hand-edited list holds count as the tool reads them.
      {kFolder + " -rec cont -fltr \"tmp\"  -fltr \"a \\\"b\"",
       Scope{"C:\\Data", ObjectType::File, R::Containers, {"tmp", "a \"b"}}},
      // A quote in a key's name is part of it, and no -rec follows from it.
      {" -on \"HKLM\\SOFTWARE\\Acme\\Sub\\\" -rec \\\"yes\" -ot reg",
       Scope{"HKLM\\SOFTWARE\\Acme\\Sub\" -rec \"yes", ObjectType::Registry}},
      {" -on \"\" -ot reg", std::nullopt},
      {" -on \"x\" -ot wmi", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ScopeOfCall(c.arguments), c.scope) << c.arguments;
    if (c.scope) {
      EXPECT_EQ(ReadScope(ScopeArguments(*c.scope)), c.scope) << ScopeArguments(*c.scope);
    }
  }
  EXPECT_EQ(ScopeArguments({"C:\\", ObjectType::File, R::ContainersAndObjects, {"a"}}),
            " -on \"C:\\\\\" -ot file -rec cont_obj -fltr \"a\"  -ignoreerr");
  // The snapshot of a reset of children lists everything below the key.
  EXPECT_EQ(ListingToFile(ScopeArguments(*ScopeOfCall(kKey + " -actn rstchldrn -rst \"dacl\"")), "f.txt", true),
            kKey + " -rec yes -ignoreerr -actn list -lst \"f:sddl;w:d,s,o,g\" -bckp \"f.txt\"");
}

TEST(Scope, ACommandChangesTheSaclWhereverItNamesIt) {
  const std::pair<std::string, bool> cases[] = {
      {kKey + " -actn ace -ace \"n:a;p:read;m:grant;w:dacl\"", false},
      {kKey + " -actn ace -ace \"n:a;p:read;m:aud_succ;w:sacl\"", true},
      {kKey + " -actn ace -ace \"n:a;p:read;m:revoke;W:SACL\"", true},
      {kKey + " -actn trustee -trst \"n1:a;ta:remtrst;w:dacl,sacl\"", true},
      {kKey + " -actn clear -clr \"dacl\"", false},
      {kKey + " -actn clear -clr \"sacl,dacl\"", true},
      {kKey + " -actn rstchldrn -rst \"sacl\"", true},
      {kKey + " -actn setprot -op \"dacl:p_c;sacl:nc\"", false},
      {kKey + " -actn setprot -op \"dacl:nc;sacl:p_nc\"", true},
      {kKey + " -actn restore -bckp \"x\"", true},
      {kKey + " -actn setowner -ownr \"n:Bob;\"", false},
      {kKey + " -actn domain -dom \"n1:a;n2:b;da:replacedom;w:sacl\"", true},
      // What cannot be read is not trusted to leave the SACL alone.
      {kKey + " -actn ace -ace \"n:a;p:read;q:?\"", true},
  };
  for (const auto& [arguments, sacl] : cases) EXPECT_EQ(ChangesSacl(arguments), sacl) << arguments;
}

TEST(Scope, AListedObjectIsWithinWhereTheScopeReaches) {
  const Scope key{"HKLM\\SOFTWARE\\Acme", ObjectType::Registry};
  const Scope keys{"HKEY_LOCAL_MACHINE\\Software\\Acme\\", ObjectType::Registry, Recursion::Subkeys};
  const Scope drive{"C:\\", ObjectType::File, Recursion::ContainersAndObjects};
  const Scope data{"C:\\Data", ObjectType::File, Recursion::ContainersAndObjects, {"tmp"}};
  const struct {
    const Scope& scope;
    const char* path;
    bool within;
  } cases[] = {
      {key, "machine\\SOFTWARE\\Acme", true},
      {key, "MACHINE\\software\\acme", true},
      {key, "machine\\SOFTWARE\\Acme\\Sub", false},
      {keys, "machine\\SOFTWARE\\Acme\\Sub", true},
      {keys, "machine\\SOFTWARE\\AcmeOther", false},
      {keys, "users\\SOFTWARE\\Acme", false},
      {keys, "machine\\SOFTWARE", false},
      {drive, "C:\\", true},
      {drive, "C:\\Windows\\x", true},
      {drive, "D:\\x", false},
      {data, "C:\\Data\\x", true},
      {data, "C:\\Database", false},
      {data, "C:\\Data\\..\\Windows\\System32", false},
      {data, "C:\\Data\\.\\x", false},
      {data, "C:\\Data/x", true},
      {data, "C:\\Data\\TMP\\x", false},  // the filter skips it: the tool never lists it
      {keys, "machine\\SOFTWARE\\Acme\\a/b", true},
      {key, "machine\\SOFTWARE/Acme", false},  // a key's name may hold a slash
  };
  for (const auto& c : cases) EXPECT_EQ(WithinScope(c.scope, c.path), c.within) << c.path;
}
