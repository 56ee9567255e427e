#pragma once
// The objects a command reaches, as the tool walks them: the object itself,
// then what its recursion takes in below it (everything below, for a reset
// of children), less what the filters skip; and each object's name as the
// system's security functions take it.

#include <windows.h>
#include <aclapi.h>

#include <functional>
#include <string>

#include "tools/setacl/command.h"

namespace standin {

struct Reached {
  std::string path;        // as the tool lists it ("machine\SOFTWARE\Acme" for a key)
  bool top = false;        // the command's own object
  bool recursion = false;  // taken in by the command's recursion (the top always is)
};

SE_OBJECT_TYPE SystemType(const std::string& type);
// A path as the security functions name it: registry roots as MACHINE,
// CURRENT_USER and so on.
std::wstring SystemName(const std::string& type, const std::string& path);

// Calls `visit` for each object reached, the top first, until it returns
// false; `everything`: every object below the top as well, whatever the
// recursion. A folder or key that cannot be read is passed over.
void ForEachObject(const Command& command, bool everything,
                   const std::function<bool(const Reached&)>& visit);

}  // namespace standin
