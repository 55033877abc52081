#include "platform/FileSystem.h"

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

bool ForceFolders(IFileSystem& FileSystem, const std::string& Dir)
{
    if (Dir.empty())
        throw Exception("Unable to create directory");
    const std::string Folder = ExcludeTrailingDelimiter(Dir);
    // Roots ("C:", "\") and existing folders need nothing.
    if (Folder.size() < 3 || FileSystem.FolderExists(Folder) || ExtractFilePath(Folder) == Folder)
        return true;
    const std::string Parent = ExtractFilePath(Folder);
    // A relative folder of one name is made in the current folder.
    const bool ParentReady = Parent.empty() || ForceFolders(FileSystem, Parent);
    return ParentReady && FileSystem.MakeFolder(Folder);
}

} // namespace qe
