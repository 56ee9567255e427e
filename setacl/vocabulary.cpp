#include "setacl/vocabulary.h"

#include <algorithm>

#include "setacl/arguments.h"

const std::set<std::string, std::less<>>& SetAclActions() {
  static const std::set<std::string, std::less<>> actions = {
      "ace", "trustee", "setowner", "setgroup", "setprot", "clear", "rstchldrn", "list", "restore"};
  return actions;
}

const Words* PermissionWords(std::string_view type) {
  static const std::map<std::string, Words, std::less<>> permissions = {
      {"file", {{"read", "read"}, {"write", "write"}, {"list_folder", "list folder contents"},
                {"read_ex", "read and execute"}, {"change", "modify"},
                {"profile", "modify and change permissions"}, {"full", "full control"},
                {"traverse", "traverse folder / execute file"}, {"list_dir", "list folder / read data"},
                {"read_attr", "read attributes"}, {"read_ea", "read extended attributes"},
                {"add_file", "create files / write data"}, {"add_subdir", "create folders / append data"},
                {"write_attr", "write attributes"}, {"write_ea", "write extended attributes"},
                {"del_child", "delete subfolders and files"}, {"delete", "delete"},
                {"read_dacl", "read permissions"}, {"write_dacl", "change permissions"},
                {"write_owner", "take ownership"}}},
      {"reg", {{"read", "read"}, {"full", "full control"}, {"query_val", "query values"},
               {"set_val", "set values"}, {"create_subkey", "create subkeys"},
               {"enum_subkeys", "enumerate subkeys"}, {"notify", "notify"},
               {"create_link", "create links"}, {"delete", "delete"},
               {"write_dacl", "change permissions"}, {"write_owner", "take ownership"},
               {"read_access", "read permissions"}}},
      {"srv", {{"read", "read"}, {"start_stop", "start and stop"}, {"full", "full control"}}},
      {"prn", {{"print", "print"}, {"man_printer", "manage the printer"},
               {"man_docs", "manage documents"}, {"full", "full control"}}},
      {"shr", {{"read", "read"}, {"change", "change"}, {"full", "full control"}}},
  };
  auto it = permissions.find(type);
  return it == permissions.end() ? nullptr : &it->second;
}

bool ReadLists(std::string_view value, bool& dacl, bool& sacl) {
  dacl = sacl = false;
  for (const auto& part : Split(Lower(value), ',')) {
    if (part == "dacl") dacl = true;
    else if (part == "sacl") sacl = true;
    else return false;
  }
  return true;
}

std::optional<std::string> ReadFields(std::string_view text,
                                      std::initializer_list<std::string_view> keys,
                                      std::map<std::string, std::string>& out) {
  for (const auto& part : Split(text, ';')) {
    if (part.empty()) continue;
    std::size_t colon = part.find(':');
    std::string key = Lower(part.substr(0, colon));
    if (colon == std::string::npos || std::find(keys.begin(), keys.end(), key) == keys.end())
      return part;
    if (!out.emplace(key, part.substr(colon + 1)).second)
      return key + ": given twice in " + std::string(text);
  }
  return std::nullopt;
}
