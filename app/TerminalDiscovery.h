// The MetaTrader 4 terminals that the folder page offers.
#pragma once

#include <string>
#include <vector>

#include "platform/Platform.h"

namespace qe {

// The terminal folders of this machine: the direct subfolders of Program Files that hold
// a file terminal.exe, in the order the file system gives them, hidden and system folders
// passed over. With WithDataFolders, after them and found the same way, those of the
// native Program Files of a 64-bit Windows, then every folder holding terminal.exe that an
// origin.txt of the current user's data folders names, wherever it is. Each folder is
// listed once, letter case and a trailing "\" aside.
std::vector<std::string> FindTerminals(const TPlatform& Platform, bool WithDataFolders);

} // namespace qe
