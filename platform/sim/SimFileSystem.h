// A Windows file system in memory: drive-letter paths with "\" (and "/"), names kept as
// created and compared without letter case, attributes, file times, folders that refuse
// removal while not empty, files that are open or in use by another program, folders
// that only the administrators may change, links to files and folders (followed on the
// way to an entry, and at its end where Windows follows them), entries held open as
// themselves, and the system's error texts in the messages.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace qe::sim {

// The contents and state of one file or folder; open streams share it.
struct TSimEntry {
    bool IsFolder = false;
    uint32_t Attributes = 0;
    TFileTimes Times;
    std::vector<uint8_t> Bytes;
    int OpenReaders = 0;
    int OpenWriters = 0;
    int Holds = 0;      // held open as itself (HoldAsItself)
    bool InUse = false; // held open by another program
    // A private folder: who may change it and what it holds, besides the system and the
    // administrators; empty for a folder anyone may change.
    std::optional<TPrivateTo> PrivateTo;
    // A link (a symbolic link or junction) to this absolute path; empty for a file or
    // folder of its own.
    std::string LinkTarget;

    // Open here or by another program: it cannot be deleted, replaced or moved.
    bool IsBusy() const { return InUse || OpenReaders > 0 || OpenWriters > 0 || Holds > 0; }
    bool IsLink() const { return !LinkTarget.empty(); }
};

class TSimFileSystem : public IFileSystem {
public:
    // The longest folder path that can be created (MAX_PATH less room for "\" + 8.3).
    static constexpr size_t MaxFolderPath = 248;

    // A machine with drive C: and "C:\" as the current folder.
    TSimFileSystem();
    // The same files and folders, with entries of its own: nothing done to one file
    // system shows in the other, and no file of the copy is open.
    TSimFileSystem(const TSimFileSystem& Other);
    TSimFileSystem& operator=(const TSimFileSystem&) = delete;

    std::unique_ptr<TStream> OpenForReading(const std::string& Path) override;
    std::unique_ptr<TStream> CreateForWriting(const std::string& Path) override;
    std::unique_ptr<TStream> CreateNewForWriting(const std::string& Path) override;
    void RenameFile(const std::string& From, const std::string& To) override;
    bool SetFileTimes(const std::string& Path, const TFileTimes& Times) override;
    bool GetFileTimes(const std::string& Path, TFileTimes& Times) override;
    bool RemoveFile(const std::string& Path) override;
    bool MakeFolder(const std::string& Path) override;
    bool MakePrivateFolder(const std::string& Path, TPrivateTo To) override;
    bool RemoveFolder(const std::string& Path) override;
    bool GetAttributes(const std::string& Path, uint32_t& Attributes) override;
    bool SetAttributes(const std::string& Path, uint32_t Attributes) override;
    std::vector<TFolderEntry> ListFolder(const std::string& Path) override;
    std::string ExecutablePath() override { return FExecutablePath; }
    // The program runs from the file at its path when this is first called, unless
    // StartProgram said otherwise.
    std::unique_ptr<TStream> OpenRunningProgram() override;
    std::unique_ptr<TEntryHold> HoldAsItself(const std::string& Path, TEntryKind& Kind) override;

    // Seeding and inspection; not part of the interface.
    void AddDrive(char Letter);
    void SetCurrentFolder(const std::string& Path);
    void SetExecutablePath(const std::string& Path)
    {
        FExecutablePath = Path;
        FRunningImage.reset();
    }
    // The program starts from the file at its path now: a file that takes that name
    // later is not the running program.
    void StartProgram();
    // The time that writes and new files get.
    void SetNow(uint64_t FileTime) { FNow = FileTime; }
    uint64_t Now() const { return FNow; }
    // Creates the file (and its folders), replacing an existing one.
    void AddFile(const std::string& Path, const std::string& Contents, uint32_t Attributes = faArchive);
    void AddFolders(const std::string& Path);
    // A link at Path (its folder made when missing) to the absolute path Target: a
    // junction or folder link when Folder is set, else a file link. Target need not exist.
    void AddLink(const std::string& Path, const std::string& Target, bool Folder);
    // Raises when there is no such file (a link at Path is not followed).
    std::string FileContents(const std::string& Path);
    // Another program holds the file open: it cannot be opened, replaced or deleted.
    void SetInUse(const std::string& Path, bool InUse);
    // Who besides the system and the administrators may change the folder Path, as
    // MakePrivateFolder or ProtectFolder made it; empty for anyone.
    std::optional<TPrivateTo> PrivateTo(const std::string& Path);
    // Only the administrators may change the existing folder Path from now on, as on
    // Windows only they may change Program Files: a caller without administrator rights
    // can create, replace, rename or delete nothing in it, at any depth.
    void ProtectFolder(const std::string& Path);
    // Whether the program runs with administrator rights (TSimSystem::SetElevated says).
    void SetCallerIsAdministrator(bool Administrator) { FCallerIsAdministrator = Administrator; }
    // Every path of the machine, as created, in order of their upper-case form.
    std::vector<std::string> AllPaths() const;
    // Each path of the machine, as created, with its entry, in the same order.
    void ForEachEntry(const std::function<void(const std::string& Path, const TSimEntry& Entry)>& Visit) const;
    // The Windows error code of the last failed operation.
    uint32_t LastError() const { return FLastError; }

private:
    struct TNode {
        std::string Path; // full path as created
        std::shared_ptr<TSimEntry> Entry;
    };
    struct TResolved {
        std::string Path; // full path
        std::string Key;  // its upper-case form
        std::string ParentKey;
        bool IsRoot = false;
        bool ThroughLink = false; // a link was followed on the way
    };

    // Resolves Path against the current folder, following links on the way and, with
    // FollowLast, a link at its end; false (with FLastError) when it is invalid or too
    // long, or when links lead round in a circle.
    bool Resolve(const std::string& Path, TResolved& Resolved, bool FollowLast = false);
    TNode* Find(const std::string& Key);
    TNode* FindExisting(const std::string& Path, TResolved& Resolved, bool FollowLast = false);
    bool Fail(uint32_t Code);
    bool HasChildren(const std::string& Key) const;
    // Whether the caller may not change entries of the folder of that key: it, or a
    // folder above it, is private to the administrators and the caller is none.
    bool Refuses(const std::string& FolderKey) const;
    std::unique_ptr<TStream> NewStream(const std::shared_ptr<TSimEntry>& Entry, bool Writing);
    // CreateForWriting, or with MustBeNew CreateNewForWriting.
    std::unique_ptr<TStream> Create(const std::string& Path, bool MustBeNew);

    std::map<std::string, TNode> FNodes; // by upper-case full path
    std::string FCurrentFolder = "C:\\";
    std::string FExecutablePath;
    std::shared_ptr<TSimEntry> FRunningImage;
    uint64_t FNow = 0;
    uint32_t FLastError = 0;
    bool FCallerIsAdministrator = false;
};

} // namespace qe::sim
