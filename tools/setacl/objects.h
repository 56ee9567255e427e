#pragma once
// The objects a command reaches, as the tool walks them: the object itself,
// then what its recursion takes in below it (everything below, for a reset
// of children), less what the filters skip; and each object's name as the
// system's security functions take it.

#include <windows.h>
#include <aclapi.h>

#include <functional>
#include <string>

#include "setacl/command.h"

namespace standin {

struct Reached {
  std::string path;        // as the tool lists it ("machine\SOFTWARE\Acme" for a key)
  bool top = false;        // the command's own object
  bool recursion = false;  // taken in by the command's recursion (the top always is)
};

SE_OBJECT_TYPE SystemType(ObjectType type);
// A path as the security functions name it: registry roots as MACHINE,
// CURRENT_USER and so on.
std::wstring SystemName(ObjectType type, const std::string& path);

// Calls `visit` for each object reached, the top first, until it returns
// false; `everything`: every object below the top as well, whatever the
// recursion. A folder or key that cannot be read is passed over. False when
// it stopped because the reader of the output had gone.
bool ForEachObject(const Command& command, bool everything,
                   const std::function<bool(const Reached&)>& visit);

// Whether the program reading the stand-in's output on a pipe has closed
// its end (ended, say): a run that writes only to a file would not notice
// before its last write, hours later on a large tree. Asked as objects go
// by; a console, a file or a pipe still open is never taken for one gone.
bool ReaderGone();
inline constexpr char kReaderGone[] = "The program reading the output has ended; stopped.";

}  // namespace standin
