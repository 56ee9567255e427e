#include "setup/mod_folder.h"

#include "platform/error_text.h"

namespace {

// Where the folders that can be created begin: past `C:\` or past
// `\\server\share\`, which exist or not but can never be made.
std::size_t FirstCreatable(const std::string& path) {
  if (path.starts_with("\\\\")) {
    std::size_t server = path.find('\\', 2);
    if (server == std::string::npos) return path.size();
    std::size_t share = path.find('\\', server + 1);
    return share == std::string::npos ? path.size() : share + 1;
  }
  if (path.size() >= 3 && path[1] == ':' && path[2] == '\\') return 3;
  return 0;
}

}  // namespace

void MakeFolderPath(platform::FileSystem& files, forms::Dialogs& dialogs, const std::string& path) {
  auto make = [&](const std::string& folder) {
    if (files.FolderExists(folder)) return true;
    long error = files.CreateFolder(folder);
    if (!error) return true;
    dialogs.tell(std::to_string(error) + ": " + platform::SystemErrorText(error),
                 "Error Creating Path", forms::Icon::Critical);
    return false;
  };
  std::size_t start = FirstCreatable(path);
  for (std::size_t at = path.find('\\', start); at != std::string::npos;
       at = path.find('\\', at + 1))
    if (!make(path.substr(0, at + 1))) return;
  if (start < path.size()) make(path);
}
