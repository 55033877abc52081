// A shell link (".lnk") to be written: its properties, and Save through the shell.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Shell.h"

namespace qe {

// A link file name longer than this cannot be handed to the shell.
constexpr size_t MaxLinkFileName = 259;

class TShellLink {
public:
    explicit TShellLink(IShell& Shell) : FShell(Shell) {}

    // Writes the link to FileName (full path including ".lnk"), replacing an existing
    // file. A name longer than 259 characters (UTF-16 units, as Windows counts) raises "Cannot create file "%s". ..."
    // instead of being cut into a different name.
    void Save(const std::string& FileName) const;

    std::string Arguments;
    std::string Description;
    uint16_t Hotkey = 0;
    std::string IconLocation;
    int32_t IconIndex = -1;
    std::string Path;
    int32_t ShowCmd = 1; // SW_SHOWNORMAL
    std::string WorkingDirectory;

private:
    IShell& FShell;
};

} // namespace qe
