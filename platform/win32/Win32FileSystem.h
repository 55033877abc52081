// The Windows file system through the wide API. File streams are buffered over an
// unbuffered file handle.
#pragma once

#include "platform/FileSystem.h"

namespace qe::win32 {

class TWin32FileSystem : public IFileSystem {
public:
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
    std::string ExecutablePath() override;
    std::unique_ptr<TStream> OpenRunningProgram() override;
    std::unique_ptr<TEntryHold> HoldAsItself(const std::string& Path, TEntryKind& Kind) override;
};

} // namespace qe::win32
