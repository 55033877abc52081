// Where the uninstaller is registered in the Windows list of installed programs.
#pragma once

#include <string>

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

// Whether Folder is one that other programs share: the Program Files folder, the
// all-users Start Menu programs folder, their counterparts for the current user and the
// roots of drives. The install does not log one it made (on the way to a first program
// of the user's), and the uninstall does not remove one that a record lists (made without
// a program name, or by hand) when it happens to be empty.
bool IsSharedFolder(const TPlatform& Platform, const std::string& Folder);

// Whether ProgramName names a key of its own below the key that holds every program's
// entry; a name of nothing but "\" would name that parent key itself.
bool HasOwnUninstallKey(const std::string& ProgramName);

} // namespace qe
