// Whom an install run installs for: every user of the machine when the program may write
// where such an installation goes, else the current user only.
#pragma once

#include <string>

#include "package/QeClasses.h"
#include "platform/Platform.h"

namespace qe {

// Whether this program may create entries in the existing folder Folder: it makes a
// folder of an unpredictable name there and removes it again. A missing folder counts as
// not writable.
bool CanWriteIn(const TPlatform& Platform, const std::string& Folder);

struct TScopeChoice {
    TInstallScope Scope = TInstallScope::Machine;
    std::string Reason; // why, in words for the log
};

// The current user's scope when CurrentUserAsked, or when the program runs without
// administrator rights and may not write to Program Files or the all-users Start Menu
// (a standard account, or an administrator whose program was not elevated); otherwise
// every user's.
TScopeChoice ChooseInstallScope(const TPlatform& Platform, bool CurrentUserAsked);

} // namespace qe
