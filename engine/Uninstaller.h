// Where the uninstaller is registered in the Windows list of installed programs.
#pragma once

#include <string>
#include <vector>

#include "package/QeClasses.h"
#include "platform/Platform.h"

namespace qe {

constexpr const char* UninstallKeyPrefix = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// The root of the entry: the machine's for every user, the user's own for the current
// user only.
inline TRegistryRoot UninstallRoot(TInstallScope Scope)
{
    return Scope == TInstallScope::CurrentUser ? TRegistryRoot::rrCurrentUser : TRegistryRoot::rrLocalMachine;
}

// The folders that other programs share, each in the form IsSharedFolder compares:
// Program Files, the all-users Start Menu programs folder, their counterparts for the
// current user, the Windows and system folders and the user's documents.
std::vector<std::string> SharedFolders(const TPlatform& Platform);

// Whether Folder is one of Shared (from SharedFolders) or the root of a drive, however it
// is spelled ("C:\Program Files\.\" is Program Files). The install does not log one
// it made (on the way to a first program of the user's), and the uninstall does not
// remove one that a record lists (made by hand) when it happens to be empty.
bool IsSharedFolder(const std::vector<std::string>& Shared, const std::string& Folder);

// Whether the entry Key of the list of installed programs names Uninstaller as the
// program that removes it (quoted or not); a value that is no string names none.
bool EntryNamesUninstaller(IRegistry& Registry, TRegistryRoot Root, const std::string& Key,
                           const std::string& Uninstaller);

} // namespace qe
