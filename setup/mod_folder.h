#pragma once

#include <string>

#include "forms/dialogs.h"
#include "platform/files.h"

// Creates every missing folder along the path. A drive root and the server
// and share of a network path are taken as given. The first failure ends it
// with the "Error Creating Path" message; folders made before it stay.
void MakeFolderPath(platform::FileSystem& files, forms::Dialogs& dialogs, const std::string& path);
