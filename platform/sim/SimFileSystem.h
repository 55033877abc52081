// A Windows file system in memory: drive-letter paths with "\" (and "/"), names kept as
// created and compared without letter case, attributes, file times, folders that refuse
// removal while not empty, files that are open or in use by another program, folders
// that only the administrators may change, and the system's error texts in the messages.
#pragma once

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
    bool InUse = false; // held open by another program
    // A private folder: who may change it and what it holds, besides the system and the
    // administrators; empty for a folder anyone may change.
    std::optional<TPrivateTo> PrivateTo;

    // Open here or by another program: it cannot be deleted, replaced or moved.
    bool IsBusy() const { return InUse || OpenReaders > 0 || OpenWriters > 0; }
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

    // Seeding and inspection; not part of the interface.
    void AddDrive(char Letter);
    void SetCurrentFolder(const std::string& Path);
    void SetExecutablePath(const std::string& Path) { FExecutablePath = Path; }
    // The time that writes and new files get.
    void SetNow(uint64_t FileTime) { FNow = FileTime; }
    uint64_t Now() const { return FNow; }
    // Creates the file (and its folders), replacing an existing one.
    void AddFile(const std::string& Path, const std::string& Contents, uint32_t Attributes = faArchive);
    void AddFolders(const std::string& Path);
    // Raises when there is no such file.
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
    };

    // Resolves Path against the current folder; false (with FLastError) when it is
    // invalid or too long.
    bool Resolve(const std::string& Path, TResolved& Resolved);
    TNode* Find(const std::string& Key);
    TNode* FindExisting(const std::string& Path, TResolved& Resolved);
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
    uint64_t FNow = 0;
    uint32_t FLastError = 0;
    bool FCallerIsAdministrator = false;
};

} // namespace qe::sim
