#include "platform/FileSystem.h"

#include <algorithm>

#include "platform/CaseFolding.h"
#include "platform/Exceptions.h"
#include "platform/Paths.h"

namespace qe {

bool IFileSystem::FileExists(const std::string& Path)
{
    uint32_t Attributes = 0;
    return GetAttributes(Path, Attributes) && (Attributes & faDirectory) == 0;
}

bool IFileSystem::FolderExists(const std::string& Path)
{
    uint32_t Attributes = 0;
    return GetAttributes(Path, Attributes) && (Attributes & faDirectory) != 0;
}

bool IsRootFolder(const std::string& Dir)
{
    const std::string Folder = ExcludeTrailingDelimiter(Dir);
    if (Folder.empty()) // "\"
        return !Dir.empty();
    if (Folder.size() == 2 && Folder[1] == ':')
        return true;
    // "\\server\share": a share is the root of its own tree.
    if (Folder.rfind("\\\\", 0) == 0) {
        const size_t Share = Folder.find(PathDelimiter, 2);
        return Share == std::string::npos || Folder.find(PathDelimiter, Share + 1) == std::string::npos;
    }
    return false;
}

bool ForceFolders(IFileSystem& FileSystem, const std::string& Dir, std::vector<std::string>* Made)
{
    if (Dir.empty())
        throw Exception("Unable to create directory");
    const std::string Folder = ExcludeTrailingDelimiter(Dir);
    // Roots and existing folders need nothing.
    if (IsRootFolder(Dir) || FileSystem.FolderExists(Folder))
        return true;
    const std::string Parent = ExtractFilePath(Folder);
    // "C:\x\a.txt:" is its own parent: no folder of that name can be made.
    if (Parent == Folder)
        return false;
    // A relative folder of one name is made in the current folder.
    const bool ParentReady = Parent.empty() || ForceFolders(FileSystem, Parent, Made);
    if (!ParentReady || !FileSystem.MakeFolder(Folder))
        return false;
    if (Made != nullptr)
        Made->push_back(Folder);
    return true;
}

namespace {

std::string NotItselfMessage(const TWayCheck& Check)
{
    const std::string Path = "\"" + Check.Folder + "\"";
    if (Check.Kind == TEntryKind::ekLink)
        return Path + " leads to another place: it, or a folder above it, is a junction or symbolic link, and the "
                      "installer writes nothing through a link. Remove the link, or choose another folder";
    return Path + " cannot be opened to check that it is no link, and the installer writes nothing through it";
}

} // namespace

ELinkOnTheWay::ELinkOnTheWay(const TWayCheck& Check) : ELinkOnTheWay(Check, NotItselfMessage(Check)) {}

TWayCheck TFolderHolds::HoldWay(const std::string& Dir)
{
    return Walk(Dir, false, nullptr);
}

TWayCheck TFolderHolds::MakeWay(const std::string& Dir, std::vector<std::string>* Made)
{
    return Walk(Dir, true, Made);
}

TWayCheck TFolderHolds::Walk(const std::string& Dir, bool Make, std::vector<std::string>* Made)
{
    const std::string Folder = ExcludeTrailingDelimiter(Dir);
    const bool Absolute = Dir.size() >= 3 && Dir[1] == ':' && Dir[2] == PathDelimiter &&
                          ((Dir[0] >= 'A' && Dir[0] <= 'Z') || (Dir[0] >= 'a' && Dir[0] <= 'z'));
    if (!Absolute)
        return {Dir, TEntryKind::ekUnknown};
    // "X:\", then each folder below it.
    std::string Path = Folder.substr(0, 2) + PathDelimiter;
    for (size_t Start = 3;; Start = Path.size() + 1) {
        const std::string Key = FoldCase(Path);
        if (FHeld.count(Key) == 0) {
            TEntryKind Kind = TEntryKind::ekMissing;
            auto Hold = FFileSystem.HoldAsItself(Path, Kind);
            if (Kind == TEntryKind::ekMissing) {
                if (!Make)
                    return {};
                if (!FFileSystem.MakeFolder(Path))
                    return {Path, TEntryKind::ekMissing};
                if (Made != nullptr)
                    Made->push_back(Path);
                // What was made is held only if it is still the folder made.
                Hold = FFileSystem.HoldAsItself(Path, Kind);
            }
            if (Kind != TEntryKind::ekFolder)
                return {Path, Kind};
            FHeld[Key] = std::move(Hold);
        }
        if (Start > Folder.size())
            return {};
        const size_t End = std::min(Folder.find(PathDelimiter, Start), Folder.size());
        if (End == Start) // an empty name: "X:\\a"
            return {Dir, TEntryKind::ekUnknown};
        Path = Folder.substr(0, End);
    }
}

void TFolderMaker::Guard(const std::string& Root)
{
    FGuarded.push_back(ExcludeTrailingDelimiter(Root));
}

bool TFolderMaker::Guards(const std::string& Dir) const
{
    const std::string Folder = ExcludeTrailingDelimiter(Dir);
    for (const std::string& Root : FGuarded)
        if (SameText(Folder, Root) || IsInsideFolder(Folder, Root))
            return true;
    return false;
}

void TFolderMaker::HoldWay(const std::string& Dir)
{
    if (!Guards(Dir))
        return;
    const TWayCheck Check = FHolds.HoldWay(Dir);
    if (!Check.Clear())
        throw ELinkOnTheWay(Check);
}

bool TFolderMaker::Force(const std::string& Dir, std::vector<std::string>* Made)
{
    if (FReady.count(Dir) != 0)
        return true;
    if (Guards(Dir)) {
        const TWayCheck Check = FHolds.MakeWay(Dir, Made);
        if (Check.Kind == TEntryKind::ekLink || Check.Kind == TEntryKind::ekUnknown)
            throw ELinkOnTheWay(Check);
        // A file in the way, or a folder that cannot be made: the file's own creation
        // reports it, as for any other folder.
        if (!Check.Clear())
            return false;
    } else if (!ForceFolders(FFileSystem, Dir, Made)) {
        return false;
    }
    FReady.insert(Dir);
    return true;
}

} // namespace qe
