// Interfaces that pass every call on to another implementation. A fault injector
// derives from one and overrides only the call it breaks.
#pragma once

#include "platform/Platform.h"

namespace qe::sim {

// A stream that passes every call on to the stream it owns.
class TForwardingStream : public TStream {
public:
    explicit TForwardingStream(std::unique_ptr<TStream> Inner) : FInner(std::move(Inner)) {}

    int32_t Read(void* Buffer, int32_t Count) override { return FInner->Read(Buffer, Count); }
    int32_t Write(const void* Buffer, int32_t Count) override { return FInner->Write(Buffer, Count); }
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override { return FInner->Seek(Offset, Origin); }
    int64_t GetSize() override { return FInner->GetSize(); }
    void Flush() override { FInner->Flush(); }
    bool SetFileTimes(const TFileTimes& Times) override { return FInner->SetFileTimes(Times); }

protected:
    std::unique_ptr<TStream> FInner;
};

class TForwardingFileSystem : public IFileSystem {
public:
    explicit TForwardingFileSystem(IFileSystem& Inner) : FInner(Inner) {}

    std::unique_ptr<TStream> OpenForReading(const std::string& Path) override { return FInner.OpenForReading(Path); }
    std::unique_ptr<TStream> CreateForWriting(const std::string& Path) override
    {
        return FInner.CreateForWriting(Path);
    }
    void RenameFile(const std::string& From, const std::string& To) override { FInner.RenameFile(From, To); }
    bool SetFileTimes(const std::string& Path, const TFileTimes& Times) override
    {
        return FInner.SetFileTimes(Path, Times);
    }
    bool GetFileTimes(const std::string& Path, TFileTimes& Times) override { return FInner.GetFileTimes(Path, Times); }
    bool RemoveFile(const std::string& Path) override { return FInner.RemoveFile(Path); }
    std::unique_ptr<TStream> CreateNewForWriting(const std::string& Path) override
    {
        return FInner.CreateNewForWriting(Path);
    }
    bool MakeFolder(const std::string& Path) override { return FInner.MakeFolder(Path); }
    bool MakePrivateFolder(const std::string& Path, TPrivateTo To) override
    {
        return FInner.MakePrivateFolder(Path, To);
    }
    bool RemoveFolder(const std::string& Path) override { return FInner.RemoveFolder(Path); }
    bool GetAttributes(const std::string& Path, uint32_t& Attributes) override
    {
        return FInner.GetAttributes(Path, Attributes);
    }
    bool SetAttributes(const std::string& Path, uint32_t Attributes) override
    {
        return FInner.SetAttributes(Path, Attributes);
    }
    std::vector<TFolderEntry> ListFolder(const std::string& Path) override { return FInner.ListFolder(Path); }
    std::string ExecutablePath() override { return FInner.ExecutablePath(); }

protected:
    IFileSystem& FInner;
};

class TForwardingRegistry : public IRegistry {
public:
    explicit TForwardingRegistry(IRegistry& Inner) : FInner(Inner) {}

    bool ReadString(TRegistryRoot Root, const std::string& Key, const std::string& Name, bool CreateKey,
                    std::string& Value) override
    {
        return FInner.ReadString(Root, Key, Name, CreateKey, Value);
    }
    void WriteString(TRegistryRoot Root, const std::string& Key, const std::string& Name,
                     const std::string& Value) override
    {
        FInner.WriteString(Root, Key, Name, Value);
    }
    bool ReadInteger(TRegistryRoot Root, const std::string& Key, const std::string& Name, uint32_t& Value) override
    {
        return FInner.ReadInteger(Root, Key, Name, Value);
    }
    void WriteInteger(TRegistryRoot Root, const std::string& Key, const std::string& Name, uint32_t Value) override
    {
        FInner.WriteInteger(Root, Key, Name, Value);
    }
    bool DeleteKey(TRegistryRoot Root, const std::string& Key) override { return FInner.DeleteKey(Root, Key); }
    bool KeyExists(TRegistryRoot Root, const std::string& Key) override { return FInner.KeyExists(Root, Key); }

protected:
    IRegistry& FInner;
};

class TForwardingShell : public IShell {
public:
    explicit TForwardingShell(IShell& Inner) : FInner(Inner) {}

    void SaveLink(const TShellLink& Link, const std::string& FileName) override { FInner.SaveLink(Link, FileName); }
    bool ReadLink(const std::string& FileName, TShellLinkData& Data) override
    {
        return FInner.ReadLink(FileName, Data);
    }
    bool ShellOpen(const std::string& FileOrLink) override { return FInner.ShellOpen(FileOrLink); }
    TFolderPick ChooseFolder(const std::string& Caption, std::string& Folder) override
    {
        return FInner.ChooseFolder(Caption, Folder);
    }

protected:
    IShell& FInner;
};

} // namespace qe::sim
