#include "setacl/scope.h"

#include <algorithm>

#include "setacl/call_string.h"
#include "setacl/arguments.h"
#include "setacl/call_reader.h"

namespace {

// The registry's roots as a command may name them, and as the tool lists them.
constexpr std::pair<std::string_view, std::string_view> kRegistryRoots[] = {
    {"hklm", "machine"},        {"hkey_local_machine", "machine"},
    {"hkcu", "current_user"},   {"hkey_current_user", "current_user"},
    {"hkcr", "classes_root"},   {"hkey_classes_root", "classes_root"},
    {"hku", "users"},           {"hkey_users", "users"},
    {"hkcc", "current_config"}, {"hkey_current_config", "current_config"}};

// A path to compare: lower case (ASCII, as names differ in case only so
// here), backslashes, no long-path prefix or trailing backslash, registry
// roots as the tool lists them.
std::string Comparable(std::string_view path, ObjectType type) {
  std::string out = Lower(path);
  // A key's name may hold a slash; a file's path takes it for a backslash.
  if (type == ObjectType::File)
    for (char& c : out)
      if (c == '/') c = '\\';
  if (out.starts_with("\\\\?\\unc\\"))
    out.replace(0, 8, "\\\\");
  else if (out.starts_with("\\\\?\\"))
    out.erase(0, 4);
  while (out.ends_with('\\')) out.pop_back();
  if (type == ObjectType::Registry) {
    std::size_t end = std::min(out.find('\\'), out.size());
    for (auto [name, listed] : kRegistryRoots)
      if (out.compare(0, end, name) == 0) return out.replace(0, end, listed);
  }
  return out;
}

// What a reading of a call reaches: none without an object of a known type.
std::optional<Scope> ScopeOf(const CallReading& r) {
  const bool typeRead = r.typeGiven && std::ranges::none_of(r.options, [&](const ReadOption& o) {
                          return o.name == "-ot" && !std::holds_alternative<ObjectType>(o.read);
                        });
  if (r.command.object.empty() || !typeRead) return std::nullopt;
  return Scope{r.command.object, r.command.type, r.command.recursion, r.command.filters.added};
}

}  // namespace

std::optional<Scope> ScopeOfCall(std::string_view arguments) {
  const CallReading r = ReadCall("x" + std::string(arguments));
  auto scope = ScopeOf(r);
  if (scope && r.asked("rstchldrn") &&
      (scope->type == ObjectType::File || scope->type == ObjectType::Registry))
    scope->recursion =
        scope->type == ObjectType::Registry ? Recursion::Subkeys : Recursion::ContainersAndObjects;
  return scope;
}

bool ChangesSacl(std::string_view arguments) {
  const CallReading r = ReadCall("x" + std::string(arguments));
  auto sacl = [](AclLists lists) { return lists != AclLists::Dacl; };
  const Command& c = r.command;
  // A restore sets what its listing holds; what the tool would not read, an
  // action not known here among it, is not trusted to leave the SACL alone.
  if (r.asked("restore") || c.saclProtection != Protection::NoChange) return true;
  if ((c.clear && sacl(*c.clear)) || (c.resetChildren && sacl(*c.resetChildren))) return true;
  for (const AceEntry& ace : c.aces.added)
    if (sacl(ace.where)) return true;
  for (const TrusteeEntry& trustee : c.trustees.added)
    if (sacl(trustee.where)) return true;
  return std::ranges::any_of(r.problems, [&](const CallProblem& problem) { return !problem.unread.empty(); });
}

std::string ScopeArguments(const Scope& scope) {
  Command c;
  c.object = scope.object;
  c.type = scope.type;
  std::string out = ObjectOptions(c);
  auto rec = [&](const auto& table) {
    if (scope.recursion != Recursion::No) (out += " -rec ") += Of(table, scope.recursion).token;
  };
  if (scope.type == ObjectType::File) rec(kFileRecursion);
  if (scope.type == ObjectType::Registry) rec(kRegistryRecursion);
  for (const std::string& filter : scope.filters) c.filters.add(filter);
  out += ListText(c.filters);
  out += " -ignoreerr";
  return out;
}

std::optional<Scope> ReadScope(std::string_view arguments) {
  return ScopeOf(ReadCall("x" + std::string(arguments)));
}

// A path that names `.` or `..` may lead anywhere.
bool Climbs(std::string_view path) {
  for (const std::string& name : Split(path, '\\'))
    if (name == "." || name == "..") return true;
  return false;
}

bool WithinScope(const Scope& scope, std::string_view listedPath) {
  std::string object = Comparable(scope.object, scope.type),
              path = Comparable(listedPath, scope.type);
  if (Climbs(path)) return false;
  // What the filters skip the tool never lists.
  for (const std::string& filter : scope.filters)
    if (!filter.empty() && path.find(Lower(filter)) != std::string::npos) return false;
  if (path == object) return true;
  return scope.recursion != Recursion::No && path.size() > object.size() + 1 &&
         path.starts_with(object) && path[object.size()] == '\\';
}

std::string ScopeWords(const Scope& scope) {
  std::string_view reach = "the object only";
  if (scope.type == ObjectType::File) reach = Of(kFileRecursion, scope.recursion).words;
  if (scope.type == ObjectType::Registry) reach = Of(kRegistryRecursion, scope.recursion).words;
  return "\"" + scope.object + "\": " + std::string(reach);
}
