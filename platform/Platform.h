// The services of the operating system that models, engines and the wizard work on.
// Each is a narrow interface with a real implementation (win32) and a simulated one
// (sim); a program hands the set it works on to what it creates.
#pragma once

#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "platform/System.h"

namespace qe {

struct TPlatform {
    IFileSystem* FileSystem = nullptr;
    IRegistry* Registry = nullptr;
    ISystem* System = nullptr;
    IShell* Shell = nullptr;
};

} // namespace qe
