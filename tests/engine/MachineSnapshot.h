// What a run can change on the simulated machine, in a form tests compare: every file
// with its contents and attributes, every folder, and every registry key with its values.
#pragma once

#include <map>
#include <string>

#include "platform/sim/SimPlatform.h"

namespace qe::test {

using TMachineSnapshot = std::map<std::string, std::string>;

inline TMachineSnapshot Snapshot(sim::TSimPlatform& M)
{
    TMachineSnapshot Result;
    for (const std::string& Path : M.FileSystem.AllPaths()) {
        uint32_t Attributes = 0;
        M.FileSystem.GetAttributes(Path, Attributes);
        Result[Path] = (Attributes & faReparsePoint) != 0 ? "(link)"
                       : (Attributes & faDirectory) != 0
                           ? "(folder)"
                           : std::to_string(Attributes) + ":" + M.FileSystem.FileContents(Path);
    }
    for (const TRegistryRoot Root : {TRegistryRoot::rrLocalMachine, TRegistryRoot::rrCurrentUser})
        for (const std::string& Key : M.Registry.Keys(Root)) {
            std::string& Values = Result["registry " + std::to_string(static_cast<int>(Root)) + " " + Key];
            for (const sim::TRegistryValue& Value : M.Registry.Values(Root, Key))
                Values += Value.Name + "=" + Value.Data + ";";
        }
    return Result;
}

} // namespace qe::test
