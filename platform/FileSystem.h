// The file system as the system uses it. Paths are UTF-8 strings; names compare without
// regard to letter case, as Windows compares them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/Exceptions.h"
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
    // A junction, symbolic link or mount point (or another kind of reparse point).
    faReparsePoint = 0x400,
};

// What a path names when its last entry is looked at as itself, without following it.
enum class TEntryKind {
    ekMissing, // nothing of that name, or a folder on the way is missing
    ekFile,
    ekFolder,
    // The path leads elsewhere than it says: its entry or a folder on the way is a
    // junction, symbolic link or mount point.
    ekLink,
    ekUnknown, // it could not be opened to look
};

// An entry opened as itself and held open until the object goes: while it is held, no
// program can rename or remove it, so nothing can be put in its place.
class TEntryHold {
public:
    virtual ~TEntryHold() = default;
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
    // Creates a file that must not exist yet: a file, folder or link of that name is never
    // opened or replaced, and raises EFCreateError as any other failure does.
    virtual std::unique_ptr<TStream> CreateNewForWriting(const std::string& Path) = 0;
    // Moves the file From to the name To in the same folder, replacing a file To in one
    // step (a link named To is replaced itself, not what it points to); raises
    // EFCreateError ("Cannot create file "%s". %s", naming To) when it cannot (To is
    // read-only, in use or a folder). From stays where it was then.
    virtual void RenameFile(const std::string& From, const std::string& To) = 0;

    // The operations below report failure by their result only; callers that merely
    // tidy up do not look at it.
    virtual bool SetFileTimes(const std::string& Path, const TFileTimes& Times) = 0;
    virtual bool GetFileTimes(const std::string& Path, TFileTimes& Times) = 0;
    // Deletes the file Path names itself, never one that a link leads to: through a link
    // on the way nothing is deleted, and a link at the end is deleted as a link (or not
    // at all, where the system cannot tell it from what it points to).
    virtual bool RemoveFile(const std::string& Path) = 0;
    // Creates one folder; its parent must exist.
    virtual bool MakeFolder(const std::string& Path) = 0;
    // Creates one new folder that only the administrators, the system and, for
    // CurrentUser, the current user may change (others may not write, rename or delete in
    // it); false when it exists already or cannot be made so.
    virtual bool MakePrivateFolder(const std::string& Path, TPrivateTo To) = 0;
    // Removes one folder; only an empty folder can be removed. Links are treated as
    // RemoveFile treats them: never the folder a link leads to.
    virtual bool RemoveFolder(const std::string& Path) = 0;
    // The attributes of a file or folder; false when there is none of that name.
    virtual bool GetAttributes(const std::string& Path, uint32_t& Attributes) = 0;
    virtual bool SetAttributes(const std::string& Path, uint32_t Attributes) = 0;
    // The entries of a folder without "." and "..", in the order the system gives them.
    virtual std::vector<TFolderEntry> ListFolder(const std::string& Path) = 0;
    // The full path of the running program's own file.
    virtual std::string ExecutablePath() = 0;
    // Opens the running program's own file for reading, sharing it with readers only, so
    // that no one can change, rename or delete it while the stream lives, and confirms
    // that it is the file the program was started from. Raises EFOpenError when it cannot
    // be opened or when another file has taken the program's name since it started.
    virtual std::unique_ptr<TStream> OpenRunningProgram() = 0;
    // Opens Path as itself and holds it (see TEntryHold). Kind tells what Path names; a
    // link, on the way or at the end, is never followed but reported as ekLink. The hold
    // is null unless Kind is ekFile or ekFolder.
    virtual std::unique_ptr<TEntryHold> HoldAsItself(const std::string& Path, TEntryKind& Kind) = 0;

    // A file (not a folder) of that name exists.
    bool FileExists(const std::string& Path);
    // A folder of that name exists.
    bool FolderExists(const std::string& Path);
};

// Whether Dir is the root of a drive or share: "X:", "X:\\", "\\" or "\\\\server\\share".
bool IsRootFolder(const std::string& Dir);

// Where a walk down to a folder, each folder opened as itself, stopped.
struct TWayCheck {
    // The first folder on the way that is not a folder itself (a link, a file, one that
    // could not be opened, or with Kind ekMissing one that could not be made); empty
    // when there is none.
    std::string Folder;
    TEntryKind Kind = TEntryKind::ekFolder;
    bool Clear() const { return Folder.empty(); }
};

// Folders opened as themselves and held, from a drive's root down: what a run writes or
// deletes with an administrator's rights goes only through folders that are what their
// names say (no junction, symbolic link or mount point sends it elsewhere) and that no
// program can rename, remove or replace by a link while they are held.
class TFolderHolds {
public:
    explicit TFolderHolds(IFileSystem& FileSystem) : FFileSystem(FileSystem) {}
    // Holds Dir and every folder above it from its drive's root ("X:\"), outermost
    // first, up to the first that is missing (nothing below it can lead elsewhere: the
    // result is clear) or that is no folder itself (the result names it). A Dir that is
    // not an absolute "X:\..." path is ekUnknown.
    TWayCheck HoldWay(const std::string& Dir);
    // HoldWay, but missing folders are made one by one (each added to Made when given)
    // and held as soon as they are made.
    TWayCheck MakeWay(const std::string& Dir, std::vector<std::string>* Made = nullptr);
    // Lets go of every folder held.
    void Release() { FHeld.clear(); }

private:
    TWayCheck Walk(const std::string& Dir, bool Make, std::vector<std::string>* Made);

    IFileSystem& FFileSystem;
    std::unordered_map<std::string, std::unique_ptr<TEntryHold>> FHeld; // by upper-case path
};

// A folder on the way to what a guarded run writes, or the file it rewrites, is not
// itself: a link, or one that cannot be opened to tell.
class ELinkOnTheWay : public EStreamError {
public:
    // Says so in English.
    explicit ELinkOnTheWay(const TWayCheck& Check);
    // Says so in the words given, for a run that speaks the user's language.
    ELinkOnTheWay(const TWayCheck& Check, const std::string& Message) : EStreamError(Message), FWay(Check) {}
    const TWayCheck& Way() const { return FWay; }

private:
    TWayCheck FWay;
};

// Creates Dir and every missing folder above it, and adds each folder it made to Made
// (when given), outermost first. Raises "Unable to create directory" for an empty Dir;
// otherwise failures show only in the result. A folder whose parent is itself (a name
// ending in ":") is not made.
bool ForceFolders(IFileSystem& FileSystem, const std::string& Dir, std::vector<std::string>* Made = nullptr);

// ForceFolders for a run that writes many files into a few folders: a folder made or
// found once is not looked up again. Below a guarded folder every folder on the way,
// from the drive's root, is opened as itself and held while the maker lives.
class TFolderMaker {
public:
    explicit TFolderMaker(IFileSystem& FileSystem) : FFileSystem(FileSystem), FHolds(FileSystem) {}
    // Folders below Root (and Root itself) are made and held as TFolderHolds does.
    void Guard(const std::string& Root);
    bool Guards(const std::string& Dir) const;
    // Holds the folders on the way to a guarded Dir that exist already, so that a link
    // among them is found before anything is written; does nothing for other folders.
    // Raises ELinkOnTheWay at a link or a folder that cannot be opened as itself.
    void HoldWay(const std::string& Dir);
    // Makes Dir ready. Below a guarded folder it raises ELinkOnTheWay as HoldWay does.
    bool Force(const std::string& Dir, std::vector<std::string>* Made = nullptr);

private:
    IFileSystem& FFileSystem;
    TFolderHolds FHolds;
    std::vector<std::string> FGuarded;
    std::unordered_set<std::string> FReady; // the folders made ready, as given
};

} // namespace qe
