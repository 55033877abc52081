// Which files a [[file]] source names: one file, every file of a folder ("Docs/"), or
// the files of a folder whose names match a pattern ("MQL4/Indicators/*.ex4").
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace qe {

struct TSelectedFile {
    std::filesystem::path Path;
    // Below the target folder, with "\" between folders; empty for a single file.
    std::string Below;
};

struct TSourceSelection {
    // True for a folder or a pattern: the target then names a folder.
    bool Many = false;
    // In a stable order: by the path below the target, byte by byte.
    std::vector<TSelectedFile> Files;
    // Why the source selects nothing, with a hint; empty when it is sound.
    std::string Fault;
};

// Source is relative to Folder (or absolute) and uses "/" or "\" between folders.
TSourceSelection SelectSources(const std::filesystem::path& Folder, const std::string& Source);

// Whether Name matches Pattern, where "*" stands for any run of characters and "?" for
// one; letters are compared without case, as Windows names are.
bool NameMatches(const std::string& Pattern, const std::string& Name);

} // namespace qe
