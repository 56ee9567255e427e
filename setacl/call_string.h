#pragma once
// Every command line Vorlane starts, composed from the model: the call
// string the main window shows and "Send It" runs, the listing "Current
// Permissions" runs, and the backup and restore commands. Every value between
// quotes is written by QuotedArgument, so the tool receives it whole, quotes
// and trailing backslashes included; hand-edited lists go in as typed.

#include <string>
#include <string_view>

#include "setacl/command.h"

// The folders beside the program that log files and backups go to.
std::string LogFolder(std::string_view programFolder);
std::string BackupFolder(std::string_view programFolder);

// `SetACL.exe -on "<object>" -ot <type>` and every option, in the fixed
// order the tool has always been given them; the log file in the program
// folder's LogFiles.
std::string CallString(const Command& command, std::string_view programFolder);
// The call string's arguments, without the program's name.
std::string CallArguments(const Command& command, std::string_view programFolder);

// A list as the call string carries it and the list editor shows it.
std::string ListText(const EntryList<AceEntry>& aces);
std::string ListText(const EntryList<TrusteeEntry>& trustees);
std::string ListText(const EntryList<std::string>& filters);

// ` -on "<object>" -ot <type>`.
std::string ObjectOptions(const Command& command);
// The arguments of "Current Permissions": the object's security listed to the screen.
std::string CurrentPermissionsOptions(const Command& command);
// ` -lst "f:<format>;w:<parts>..."`.
std::string ListOption(const Listing& listing);

// Whether the command changes anything: any action but a listing.
bool ChangesSomething(const Command& command);
// The arguments that list a scope into a file in SDDL, the SACL with it or not.
std::string ListingToFile(std::string_view scope, std::string_view file, bool withSacl);
// The arguments that set the objects of a scope back as a listing file holds them.
std::string RestoreFromFile(std::string_view scope, std::string_view file);
// The arguments that list a scope's DACLs and owners into a file in SDDL,
// as a Tree Report reads them.
std::string TreeListingToFile(std::string_view scope, std::string_view file);

// SetACL.exe in the program folder on the command's object, with a file of
// the program folder's Backups.
std::string BackupCommand(std::string_view programFolder, const Command& command,
                          const Listing& listing, std::string_view fileName);
std::string RestoreCommand(std::string_view programFolder, const Command& command,
                           std::string_view fileName);
