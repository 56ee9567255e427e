#pragma once
// What backup and restore commands share: SetACL.exe from the program's own
// folder, on the main window's object, with a file in the backup folder.

#include <string>

class App;

// `<folder>\SetACL.exe -on "<object>" -ot <type>`, the program quoted when
// its path holds a blank; the type as the last BuildItChecks left it.
std::string ObjectCommand(App& app);
// ` -bckp "<folder>\Backups\<name>"`, the name as typed.
std::string BackupFileOption(const App& app, const std::string& name);
