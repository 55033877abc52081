#include "app/TerminalDiscovery.h"

#include <algorithm>

#include "platform/CaseFolding.h"
#include "platform/Paths.h"
#include "platform/SysFolders.h"
#include "platform/Terminal.h"
#include "platform/TerminalDataFolders.h"

namespace qe {
namespace {

// The direct subfolders of Folder that hold the terminal's program. A folder that cannot
// be listed (empty, missing) holds none.
void ScanFolder(const TPlatform& Platform, const std::string& Folder, std::vector<std::string>& Found)
{
    if (Folder.empty())
        return;
    for (const TFolderEntry& Entry : Platform.FileSystem->ListFolder(Folder)) {
        // Hidden and system folders are passed over, as a folder search skips them.
        if (!Entry.IsFolder() || (Entry.Attributes & (faHidden | faSystem)) != 0)
            continue;
        const std::string Terminal = Folder + "\\" + Entry.Name;
        if (Platform.FileSystem->FileExists(TerminalProgram(Terminal)))
            Found.push_back(Terminal);
    }
}

bool SameFolder(const std::string& A, const std::string& B)
{
    return FoldCase(ExcludeTrailingDelimiter(A)) == FoldCase(ExcludeTrailingDelimiter(B));
}

} // namespace

std::vector<std::string> FindTerminals(const TPlatform& Platform, bool WithDataFolders)
{
    std::vector<std::string> Found;
    const std::string ProgramFiles = GetSpecialFolder(Platform, sfProgramFiles, false);
    ScanFolder(Platform, ProgramFiles, Found);
    if (!WithDataFolders)
        return Found;

    std::vector<std::string> More;
    // A 32-bit program on 64-bit Windows has "Program Files (x86)" for its Program Files;
    // some terminals live in the native one, which only this variable names.
    const std::string NativeVariable = "%ProgramW6432%";
    const std::string Native = Platform.System->ExpandEnvironment(NativeVariable);
    if (Native != NativeVariable && !SameFolder(Native, ProgramFiles))
        ScanFolder(Platform, Native, More);
    // Terminals anywhere else are known by the data folders their users have; a stale
    // origin.txt names a folder without the program.
    for (const std::string& Origin : TTerminalDataFolders(Platform).Origins())
        if (Platform.FileSystem->FileExists(TerminalProgram(Origin)))
            More.push_back(Origin);
    for (const std::string& Folder : More)
        if (std::none_of(Found.begin(), Found.end(),
                         [&](const std::string& Known) { return SameFolder(Known, Folder); }))
            Found.push_back(Folder);
    return Found;
}

} // namespace qe
