#include "platform/FileSystem.h"

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
    // A relative folder of one name is made in the current folder.
    const bool ParentReady = Parent.empty() || ForceFolders(FileSystem, Parent, Made);
    if (!ParentReady || !FileSystem.MakeFolder(Folder))
        return false;
    if (Made != nullptr)
        Made->push_back(Folder);
    return true;
}

bool TFolderMaker::Force(const std::string& Dir, std::vector<std::string>* Made)
{
    if (FNames.count(Dir) != 0)
        return true;
    if (!ForceFolders(FFileSystem, Dir, Made))
        return false;
    auto& Names = FNames[Dir];
    for (const TFolderEntry& Entry : FFileSystem.ListFolder(Dir))
        Names.insert(FoldCase(Entry.Name));
    return true;
}

bool TFolderMaker::KnownAbsent(const std::string& Path) const
{
    const auto Folder = FNames.find(ExtractFileDir(Path));
    return Folder != FNames.end() && Folder->second.count(FoldCase(ExtractFileName(Path))) == 0;
}

void TFolderMaker::Added(const std::string& Path)
{
    const auto Folder = FNames.find(ExtractFileDir(Path));
    if (Folder != FNames.end())
        Folder->second.insert(FoldCase(ExtractFileName(Path)));
}

} // namespace qe
