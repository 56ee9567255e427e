#pragma once
// The system services the windows work with, handed to them by the program.

#include <string>

namespace forms {
class Dialogs;
}

namespace platform {

class Clipboard;
class FileSystem;
class FolderBrowser;
class ObjectTree;
class Processes;
class Registry;
class Security;
class Shell;
class Workers;

struct Services {
  forms::Dialogs& dialogs;
  FolderBrowser& browser;
  Registry& registry;
  FileSystem& files;
  Processes& processes;
  Shell& shell;
  Security& security;
  Clipboard& clipboard;
  Workers& workers;
  ObjectTree& tree;
  // The folder of the program's executable, without a trailing backslash.
  std::string programFolder;
};

}  // namespace platform
