#include "setacl/scope.h"

#include <map>

#include "setacl/call_string.h"
#include "setacl/arguments.h"
#include "setacl/vocabulary.h"

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

// The options of a command line and their values, as the tool takes them in.
std::multimap<std::string, std::string> Options(std::string_view arguments) {
  std::vector<std::string> args = SplitArguments("x" + std::string(arguments));
  std::multimap<std::string, std::string> options;
  for (std::size_t i = 1; i < args.size(); ++i) {
    std::string name = Lower(args[i]);
    if (name == "-silent" || name == "-ignoreerr")
      options.emplace(name, "");
    else if (i + 1 < args.size())
      options.emplace(name, args[++i]);
  }
  return options;
}

// The last value of an option, as the tool keeps it.
std::optional<std::string> Last(const std::multimap<std::string, std::string>& options,
                                const std::string& name) {
  auto [from, to] = options.equal_range(name);
  if (from == to) return std::nullopt;
  return std::prev(to)->second;
}

std::optional<Scope> ScopeOf(const std::multimap<std::string, std::string>& options) {
  auto object = Last(options, "-on"), type = Last(options, "-ot");
  if (!object || object->empty() || !type) return std::nullopt;
  const Choice<ObjectType>* known = ByToken(kObjectTypes, *type);
  if (!known) return std::nullopt;
  Scope scope{*object, known->value, Recursion::No, {}};
  if (auto rec = Last(options, "-rec")) {
    if (scope.type == ObjectType::File) {
      if (const auto* row = ByToken(kFileRecursion, *rec)) scope.recursion = row->value;
    } else if (scope.type == ObjectType::Registry) {
      if (const auto* row = ByToken(kRegistryRecursion, *rec)) scope.recursion = row->value;
    }
  }
  auto [from, to] = options.equal_range("-fltr");
  for (auto it = from; it != to; ++it) scope.filters.push_back(it->second);
  return scope;
}

bool NamesSacl(std::string_view lists) {
  bool dacl = false, sacl = false;
  // What the tool would not read changes nothing, but is not trusted to.
  return !ReadLists(lists, dacl, sacl) || sacl;
}

}  // namespace

std::optional<Scope> ScopeOfCall(std::string_view arguments) {
  auto options = Options(arguments);
  auto scope = ScopeOf(options);
  if (!scope) return std::nullopt;
  auto [from, to] = options.equal_range("-actn");
  for (auto it = from; it != to; ++it)
    if (Lower(it->second) == "rstchldrn" &&
        (scope->type == ObjectType::File || scope->type == ObjectType::Registry))
      scope->recursion = scope->type == ObjectType::Registry ? Recursion::Subkeys
                                                             : Recursion::ContainersAndObjects;
  return scope;
}

bool ChangesSacl(std::string_view arguments) {
  for (const auto& [name, value] : Options(arguments)) {
    // A restore sets what its listing holds; an action not known here is not trusted to leave it.
    if (name == "-actn" && (Lower(value) == "restore" || !SetAclActions().contains(Lower(value))))
      return true;
    if (name == "-clr" || name == "-rst") {
      if (NamesSacl(value)) return true;
    } else if (name == "-ace" || name == "-trst") {
      std::map<std::string, std::string> fields;
      if (ReadFields(value, {"n", "p", "s", "i", "m", "w", "n1", "s1", "n2", "s2", "ta"}, fields))
        return true;
      if (fields.contains("w") && NamesSacl(fields["w"])) return true;
    } else if (name == "-op") {
      std::map<std::string, std::string> fields;
      if (ReadFields(value, {"dacl", "sacl"}, fields)) return true;
      if (fields.contains("sacl") && Lower(fields["sacl"]) != "nc") return true;
    }
  }
  return false;
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

std::optional<Scope> ReadScope(std::string_view arguments) { return ScopeOf(Options(arguments)); }

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
