// A whole simulated Windows machine: its file system, registry, system and shell,
// set up like a fresh installation (Program Files, the Start Menu, documents, the
// Windows and temporary folders and the registry values that name them).
#pragma once

#include "platform/Platform.h"
#include "platform/sim/SimFileSystem.h"
#include "platform/sim/SimRegistry.h"
#include "platform/sim/SimShell.h"
#include "platform/sim/SimSystem.h"

namespace qe::sim {

class TSimPlatform {
public:
    static constexpr const char* ProgramFiles = "C:\\Program Files";
    static constexpr const char* CommonPrograms = "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs";
    static constexpr const char* Documents = "C:\\Users\\User\\Documents";
    static constexpr const char* LocalAppData = "C:\\Users\\User\\AppData\\Local";
    static constexpr const char* UserPrograms =
        "C:\\Users\\User\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs";
    static constexpr const char* ExePath = "C:\\Users\\User\\Downloads\\setup.exe";

    TSimPlatform();
    // A machine in Other's state that changes on its own, so that a machine set up once
    // can serve many runs.
    TSimPlatform(const TSimPlatform& Other);
    TSimPlatform& operator=(const TSimPlatform&) = delete;

    // The set of interfaces over this machine.
    const TPlatform& Platform() const { return FPlatform; }

    TSimFileSystem FileSystem;
    TSimRegistry Registry;
    TSimSystem System{FileSystem};
    TSimShell Shell{FileSystem};

private:
    TPlatform FPlatform;
};

} // namespace qe::sim
