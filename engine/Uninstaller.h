// Where the uninstaller is registered in the Windows list of installed programs.
#pragma once

#include <string>

namespace qe {

constexpr const char* UninstallKeyPrefix = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// Whether ProgramName names a key of its own below the key that holds every program's
// entry; a name of nothing but "\" would name that parent key itself.
bool HasOwnUninstallKey(const std::string& ProgramName);

} // namespace qe
