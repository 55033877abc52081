// Terminal data folders on a simulated machine, as terminals leave them.
#pragma once

#include <string>

#include "platform/TerminalDataFolders.h"
#include "platform/sim/SimPlatform.h"

namespace qe::test {

// The bytes of an origin.txt naming Path: UTF-16LE, with a byte-order mark as terminals
// write it, or without, followed by End.
inline std::string OriginBytes(const std::u16string& Path, bool Mark = true, const std::u16string& End = u"")
{
    std::string Bytes = Mark ? "\xFF\xFE" : "";
    for (const char16_t Unit : Path + End) {
        Bytes += static_cast<char>(Unit & 0xFF);
        Bytes += static_cast<char>(Unit >> 8);
    }
    return Bytes;
}

// Makes the data folder Name of the machine's user, with its MQL4 folder and, when
// OriginFile is not empty, an origin.txt of those bytes; returns its path.
inline std::string AddDataFolder(sim::TSimPlatform& Machine, const std::string& Name,
                                 const std::string& OriginFile = {})
{
    const std::string Folder = TerminalDataRoot(Machine.Platform()) + "\\" + Name;
    Machine.FileSystem.AddFolders(Folder + "\\MQL4\\Experts");
    if (!OriginFile.empty())
        Machine.FileSystem.AddFile(Folder + "\\origin.txt", OriginFile);
    return Folder;
}

} // namespace qe::test
