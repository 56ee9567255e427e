#pragma once
// What a command reaches, as SetACL.exe will read its arguments: the object,
// what its recursion takes in below it, and the filters that skip objects.
// A snapshot lists a command's scope before it runs and after; an undo
// restores only objects within the scope of the run it undoes.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "setacl/choices.h"

struct Scope {
  Scope() = default;
  Scope(std::string object, ObjectType type, Recursion recursion = Recursion::No,
        std::vector<std::string> filters = {})
      : object(std::move(object)), type(type), recursion(recursion), filters(std::move(filters)) {}

  std::string object;
  ObjectType type = ObjectType::File;
  Recursion recursion = Recursion::No;  // for files and registry keys only
  std::vector<std::string> filters;     // a path holding one is skipped
  bool operator==(const Scope&) const = default;
};

// What a command's arguments reach; everything below the object for a reset
// of children, which always recurses. None when the arguments name no
// object of a known type.
std::optional<Scope> ScopeOfCall(std::string_view arguments);
// Whether the arguments change a SACL: audit entries, a trustee action, a
// clear or reset of children, a protection or a restore that takes it in.
bool ChangesSacl(std::string_view arguments);

// ` -on "<object>" -ot <type>`, the recursion, each filter, going on past
// objects it cannot read: what a listing of the scope starts with.
std::string ScopeArguments(const Scope& scope);
// A scope read back from its arguments (as a journal keeps it).
std::optional<Scope> ReadScope(std::string_view arguments);

// Whether an object as the tool lists it (`machine\SOFTWARE\Acme` for
// `HKLM\SOFTWARE\Acme`) is the scope's object, or lies below it where the
// scope recurses, and no filter skips it; a path naming `.` or `..` never is.
bool WithinScope(const Scope& scope, std::string_view listedPath);
// "\"HKLM\SOFTWARE\Acme\": the key and every subkey below it".
std::string ScopeWords(const Scope& scope);
