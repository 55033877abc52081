// The file system as the system uses it. Paths are UTF-8 strings; names compare without
// regard to letter case, as Windows compares them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/Streams.h"

namespace qe {

// File attributes, with the values Windows gives them.
enum TFileAttribute : uint32_t {
    faReadOnly = 0x01,
    faHidden = 0x02,
    faSystem = 0x04,
    faDirectory = 0x10,
    faArchive = 0x20,
    faNormal = 0x80,
};

// Who may change a private folder besides the system and the administrators.
enum class TPrivateTo {
    Administrators, // no one else
    CurrentUser,    // the user the program runs as, too
};

// One entry of a folder listing.
struct TFolderEntry {
    std::string Name;
    uint32_t Attributes = 0;
    bool IsFolder() const { return (Attributes & faDirectory) != 0; }
};

class IFileSystem {
public:
    virtual ~IFileSystem() = default;

    // Opens an existing file for reading only; raises EFOpenError
    // ("Cannot open file "%s". %s") when it cannot.
    virtual std::unique_ptr<TStream> OpenForReading(const std::string& Path) = 0;
    // Creates a file for writing, replacing an existing one; raises EFCreateError
    // ("Cannot create file "%s". %s") when it cannot.
    virtual std::unique_ptr<TStream> CreateForWriting(const std::string& Path) = 0;
    // Creates a file that must not exist yet: a file or folder of that name is never
    // opened or replaced, and raises EFCreateError as any other failure does.
    virtual std::unique_ptr<TStream> CreateNewForWriting(const std::string& Path) = 0;
    // Moves the file From to the name To in the same folder, replacing a file To in one
    // step; raises EFCreateError ("Cannot create file "%s". %s", naming To) when it cannot
    // (To is read-only, in use or a folder). From stays where it was then.
    virtual void RenameFile(const std::string& From, const std::string& To) = 0;

    // The operations below report failure by their result only; callers that merely
    // tidy up do not look at it.
    virtual bool SetFileTimes(const std::string& Path, const TFileTimes& Times) = 0;
    virtual bool GetFileTimes(const std::string& Path, TFileTimes& Times) = 0;
    virtual bool RemoveFile(const std::string& Path) = 0;
    // Creates one folder; its parent must exist.
    virtual bool MakeFolder(const std::string& Path) = 0;
    // Creates one new folder that only the administrators, the system and, for
    // CurrentUser, the current user may change (others may not write, rename or delete in
    // it); false when it exists already or cannot be made so.
    virtual bool MakePrivateFolder(const std::string& Path, TPrivateTo To) = 0;
    // Removes one folder; only an empty folder can be removed.
    virtual bool RemoveFolder(const std::string& Path) = 0;
    // The attributes of a file or folder; false when there is none of that name.
    virtual bool GetAttributes(const std::string& Path, uint32_t& Attributes) = 0;
    virtual bool SetAttributes(const std::string& Path, uint32_t Attributes) = 0;
    // The entries of a folder without "." and "..", in the order the system gives them.
    virtual std::vector<TFolderEntry> ListFolder(const std::string& Path) = 0;
    // The full path of the running program's own file.
    virtual std::string ExecutablePath() = 0;

    // A file (not a folder) of that name exists.
    bool FileExists(const std::string& Path);
    // A folder of that name exists.
    bool FolderExists(const std::string& Path);
};

// Whether Dir is the root of a drive or share: "X:", "X:\\", "\\" or "\\\\server\\share".
bool IsRootFolder(const std::string& Dir);

// Creates Dir and every missing folder above it, and adds each folder it made to Made
// (when given), outermost first. Raises "Unable to create directory" for an empty Dir;
// otherwise failures show only in the result.
bool ForceFolders(IFileSystem& FileSystem, const std::string& Dir, std::vector<std::string>* Made = nullptr);

// ForceFolders for a run that writes many files into a few folders: a folder made or
// found once is not looked up again, and its names are read once, so that the run can
// tell a name that is not there without asking the system each time (under Wine every
// lookup of a missing name reads its whole folder).
class TFolderMaker {
public:
    explicit TFolderMaker(IFileSystem& FileSystem) : FFileSystem(FileSystem) {}
    bool Force(const std::string& Dir, std::vector<std::string>* Made = nullptr);
    // Whether Path's folder was made ready by Force and had no entry of Path's name then,
    // nor has been given one by Added since. A hint for speed only: another program may
    // still have made the file, so a file created on it is created as new.
    bool KnownAbsent(const std::string& Path) const;
    // Path now exists.
    void Added(const std::string& Path);

private:
    IFileSystem& FFileSystem;
    // The folders made ready, each with its entries' names in capitals.
    std::unordered_map<std::string, std::unordered_set<std::string>> FNames;
};

} // namespace qe
