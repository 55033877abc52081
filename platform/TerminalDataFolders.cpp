#include "platform/TerminalDataFolders.h"

#include <algorithm>

#include "platform/CaseFolding.h"
#include "platform/Exceptions.h"
#include "platform/Paths.h"
#include "platform/SysFolders.h"
#include "platform/Unicode.h"

namespace qe {
namespace {

// An origin.txt holds one path: a longer file is none a terminal wrote.
constexpr int64_t MaxOriginBytes = 4096;

// Beside the data folders, and no terminal's.
const char* const SharedFolders[] = {"Common", "Community", "Help"};

// The bytes of a small file; nothing when it cannot be read or is too large.
std::optional<std::string> ReadSmallFile(IFileSystem& FileSystem, const std::string& Path, int64_t MaxSize)
{
    try {
        auto Stream = FileSystem.OpenForReading(Path);
        const int64_t Size = Stream->GetSize();
        if (Size > MaxSize)
            return std::nullopt;
        std::string Bytes(static_cast<size_t>(Size), '\0');
        if (Stream->Read(Bytes.data(), static_cast<int32_t>(Size)) != Size)
            return std::nullopt;
        return Bytes;
    } catch (const EStreamError&) {
        return std::nullopt;
    }
}

} // namespace

std::string TerminalDataRoot(const TPlatform& Platform)
{
    const std::string AppData = GetSpecialFolder(Platform, sfAppData, false);
    return AppData.empty() ? std::string() : ExcludeTrailingDelimiter(AppData) + "\\MetaQuotes\\Terminal";
}

std::string TerminalDataId(const TPlatform& Platform, const std::string& InstallFolder)
{
    const std::u16string Path = UpperCaseUtf16(Utf8ToUtf16(ExcludeTrailingDelimiter(InstallFolder)));
    std::string Bytes;
    for (const char16_t Unit : Path) {
        Bytes += static_cast<char>(Unit & 0xFF);
        Bytes += static_cast<char>(Unit >> 8);
    }
    std::array<uint8_t, 16> Digest{};
    if (!Platform.System->Md5(Bytes.data(), Bytes.size(), Digest))
        return {};
    const char* const Hex = "0123456789ABCDEF";
    std::string Id;
    for (const uint8_t Byte : Digest) {
        Id += Hex[Byte >> 4];
        Id += Hex[Byte & 15];
    }
    return Id;
}

std::optional<std::string> ParseOrigin(const std::string& Bytes)
{
    if (Bytes.size() % 2 != 0)
        return std::nullopt;
    std::u16string Text;
    for (size_t I = 0; I < Bytes.size(); I += 2)
        Text += static_cast<char16_t>(static_cast<uint8_t>(Bytes[I]) | static_cast<uint8_t>(Bytes[I + 1]) << 8);
    if (!Text.empty() && Text.front() == u'\uFEFF')
        Text.erase(0, 1);
    while (!Text.empty() && (Text.back() == u'\r' || Text.back() == u'\n'))
        Text.pop_back();
    // One absolute path, on a drive or a share, on one line: a relative one would be
    // taken from the program's current folder.
    const bool OnDrive = Text.size() >= 3 && ((Text[0] | 0x20) >= u'a' && (Text[0] | 0x20) <= u'z') &&
                         Text[1] == u':' && Text[2] == u'\\';
    const bool OnShare = Text.size() > 2 && Text[0] == u'\\' && Text[1] == u'\\';
    // A name with an unpaired surrogate has no UTF-8 form that would name it.
    if ((!OnDrive && !OnShare) || std::any_of(Text.begin(), Text.end(), [](char16_t C) { return C < u' '; }) ||
        !IsValidUtf16(Text))
        return std::nullopt;
    return Utf16ToUtf8(Text);
}

TTerminalDataFolders::TTerminalDataFolders(const TPlatform& Platform)
    : FPlatform(Platform), FRoot(TerminalDataRoot(Platform))
{
    if (FRoot.empty())
        return;
    IFileSystem& FileSystem = *Platform.FileSystem;
    for (const TFolderEntry& Entry : FileSystem.ListFolder(FRoot)) {
        const bool Shared = std::any_of(std::begin(SharedFolders), std::end(SharedFolders),
                                        [&](const char* Name) { return SameText(Entry.Name, Name); });
        if (!Entry.IsFolder() || Shared)
            continue;
        const std::string Path = FRoot + "\\" + Entry.Name;
        const auto Bytes = ReadSmallFile(FileSystem, Path + "\\origin.txt", MaxOriginBytes);
        if (const auto Origin = Bytes ? ParseOrigin(*Bytes) : std::nullopt)
            FFolders.push_back({Path, ExcludeTrailingDelimiter(*Origin), Key(*Origin)});
    }
}

std::string TTerminalDataFolders::Key(const std::string& Path)
{
    return FoldCase(ExcludeTrailingDelimiter(Path));
}

std::string TTerminalDataFolders::Find(const std::string& InstallFolder) const
{
    if (FRoot.empty())
        return {};
    const std::string Wanted = Key(InstallFolder);
    for (const TDataFolder& Folder : FFolders)
        if (Folder.OriginKey == Wanted)
            return Folder.Path;
    const std::string Id = TerminalDataId(FPlatform, InstallFolder);
    const std::string Named = FRoot + "\\" + Id;
    return !Id.empty() && FPlatform.FileSystem->FolderExists(Named) ? Named : std::string();
}

std::vector<std::string> TTerminalDataFolders::Origins() const
{
    std::vector<std::string> Folders;
    for (const TDataFolder& Folder : FFolders)
        Folders.push_back(Folder.Origin);
    return Folders;
}

} // namespace qe
