// Where the uninstaller is registered in the Windows list of installed programs.
#pragma once

#include <string>

namespace qe {

constexpr const char* UninstallKeyPrefix = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

} // namespace qe
