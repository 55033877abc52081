#include "platform/win32/Win32FileSystem.h"

#include <windows.h>

#include <psapi.h>
#include <sddl.h>

#include <cstring>
#include <vector>

#include "platform/CaseFolding.h"
#include "platform/Exceptions.h"
#include "platform/Paths.h"
#include "platform/win32/Win32Errors.h"
#include "platform/win32/Win32Text.h"

namespace qe::win32 {
namespace {

FILETIME ToFileTime(uint64_t T)
{
    FILETIME Result;
    Result.dwLowDateTime = static_cast<DWORD>(T);
    Result.dwHighDateTime = static_cast<DWORD>(T >> 32);
    return Result;
}

// Sets the times of an open file; a time of 0 leaves that time as it is.
bool SetHandleTimes(HANDLE Handle, const TFileTimes& Times)
{
    const FILETIME Creation = ToFileTime(Times.CreationTime);
    const FILETIME Access = ToFileTime(Times.LastAccessTime);
    const FILETIME Write = ToFileTime(Times.LastWriteTime);
    return SetFileTime(Handle, Times.CreationTime != 0 ? &Creation : nullptr,
                       Times.LastAccessTime != 0 ? &Access : nullptr, Times.LastWriteTime != 0 ? &Write : nullptr) != 0;
}

// An open file handle without buffering of its own; TBufferedStream buffers it.
class THandleStream : public TStream {
public:
    explicit THandleStream(HANDLE Handle) : FHandle(Handle) {}
    ~THandleStream() override { CloseHandle(FHandle); }

    int32_t Read(void* Buffer, int32_t Count) override
    {
        DWORD Done = 0;
        if (Count <= 0 || !ReadFile(FHandle, Buffer, static_cast<DWORD>(Count), &Done, nullptr))
            return 0;
        return static_cast<int32_t>(Done);
    }
    int32_t Write(const void* Buffer, int32_t Count) override
    {
        DWORD Done = 0;
        if (Count <= 0 || !WriteFile(FHandle, Buffer, static_cast<DWORD>(Count), &Done, nullptr))
            return 0;
        return static_cast<int32_t>(Done);
    }
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override
    {
        const DWORD Method = Origin == TSeekOrigin::soBeginning ? FILE_BEGIN
                             : Origin == TSeekOrigin::soCurrent ? FILE_CURRENT
                                                                : FILE_END;
        LARGE_INTEGER Distance;
        Distance.QuadPart = Offset;
        LARGE_INTEGER NewPosition;
        if (!SetFilePointerEx(FHandle, Distance, &NewPosition, Method)) {
            Distance.QuadPart = 0;
            SetFilePointerEx(FHandle, Distance, &NewPosition, FILE_CURRENT);
        }
        return NewPosition.QuadPart;
    }
    int64_t GetSize() override
    {
        LARGE_INTEGER Size;
        return GetFileSizeEx(FHandle, &Size) ? Size.QuadPart : 0;
    }
    bool SetFileTimes(const TFileTimes& Times) override { return SetHandleTimes(FHandle, Times); }

private:
    HANDLE FHandle;
};

// The security identifier of the user the program runs as, in its text form; "" when
// the system does not tell.
std::string CurrentUserSid()
{
    HANDLE Token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &Token))
        return {};
    DWORD Size = 0;
    GetTokenInformation(Token, TokenUser, nullptr, 0, &Size);
    std::vector<BYTE> User(Size);
    wchar_t* Text = nullptr;
    const bool Known = Size > 0 && GetTokenInformation(Token, TokenUser, User.data(), Size, &Size) &&
                       ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(User.data())->User.Sid, &Text);
    CloseHandle(Token);
    std::string Sid = Known ? Utf8(Text) : "";
    LocalFree(Text);
    return Sid;
}

uint64_t ToUInt64(const FILETIME& T)
{
    return static_cast<uint64_t>(T.dwHighDateTime) << 32 | T.dwLowDateTime;
}

// The path the system gives an open handle, in the form Kind asks for ("\\?\" taken off
// a drive path); empty when it gives none.
std::string FinalPath(HANDLE Handle, DWORD Kind)
{
    std::wstring Wide(MAX_PATH, L'\0');
    DWORD Length = GetFinalPathNameByHandleW(Handle, Wide.data(), static_cast<DWORD>(Wide.size()), Kind);
    if (Length >= Wide.size()) {
        Wide.resize(Length + 1);
        Length = GetFinalPathNameByHandleW(Handle, Wide.data(), static_cast<DWORD>(Wide.size()), Kind);
    }
    if (Length == 0 || Length >= Wide.size())
        return {};
    std::string Buffer = Utf8(Wide.data(), Length);
    if (Buffer.rfind("\\\\?\\", 0) == 0 && Buffer.size() > 6 && Buffer[5] == ':')
        Buffer.erase(0, 4);
    return Buffer;
}

// Path as a full path with the long form of every name, as a handle's final path has it.
std::string LongFullPath(const std::string& Path)
{
    std::wstring Full(MAX_PATH, L'\0');
    DWORD Length = GetFullPathNameW(Wide(Path).c_str(), static_cast<DWORD>(Full.size()), Full.data(), nullptr);
    if (Length == 0 || Length >= Full.size())
        return Path;
    Full.resize(Length);
    std::wstring Long(MAX_PATH, L'\0');
    Length = GetLongPathNameW(Full.c_str(), Long.data(), static_cast<DWORD>(Long.size()));
    if (Length == 0 || Length >= Long.size())
        return Utf8(Full);
    return Utf8(Long.data(), Length);
}

bool SamePath(const std::string& A, const std::string& B)
{
    return FoldCase(ExcludeTrailingDelimiter(A)) == FoldCase(ExcludeTrailingDelimiter(B));
}

// What an entry opened with FILE_FLAG_OPEN_REPARSE_POINT is.
struct TOpenedEntry {
    TEntryKind Kind = TEntryKind::ekUnknown;
    // The handle is the entry Path names, not a place a link led to.
    bool Itself = false;
};

// A junction, symbolic link or mount point opened as itself carries its reparse point;
// other reparse points (files kept in the cloud, deduplicated ones) name no other place.
// Wine follows links even when told not to and reports no reparse point on the handle,
// so there the handle's final path, elsewhere than Path, is what tells a link; the same
// test finds a link on the way on Windows.
TOpenedEntry Inspect(HANDLE Handle, const std::string& Path)
{
    TOpenedEntry Entry;
    FILE_ATTRIBUTE_TAG_INFO Tag{};
    if (!GetFileInformationByHandleEx(Handle, FileAttributeTagInfo, &Tag, sizeof(Tag)))
        return Entry;
    const std::string Final = FinalPath(Handle, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (Final.empty())
        return Entry;
    Entry.Itself = SamePath(Final, LongFullPath(Path));
    if (!Entry.Itself ||
        ((Tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 && IsReparseTagNameSurrogate(Tag.ReparseTag)))
        Entry.Kind = TEntryKind::ekLink;
    else
        Entry.Kind = (Tag.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? TEntryKind::ekFolder : TEntryKind::ekFile;
    return Entry;
}

// An entry held open as itself: listing (reading) access without sharing deletion, so
// that no other handle can rename or remove it.
class TWin32Hold : public TEntryHold {
public:
    explicit TWin32Hold(HANDLE Handle) : FHandle(Handle) {}
    ~TWin32Hold() override { CloseHandle(FHandle); }

private:
    HANDLE FHandle;
};

// Deletes the entry Path names itself through a handle opened as itself: a link on the
// way, or one Wine followed at the end, is not deleted; a link Windows opened as itself
// is deleted as the link. Folder says which kind the entry must be.
bool DeleteItself(const std::string& Path, bool Folder)
{
    HANDLE H = CreateFileW(Wide(Path).c_str(), DELETE | FILE_READ_ATTRIBUTES,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                           FILE_FLAG_OPEN_REPARSE_POINT | (Folder ? FILE_FLAG_BACKUP_SEMANTICS : 0), nullptr);
    if (H == INVALID_HANDLE_VALUE)
        return false;
    const TOpenedEntry Entry = Inspect(H, Path);
    BY_HANDLE_FILE_INFORMATION Info{};
    const bool IsFolder =
        GetFileInformationByHandle(H, &Info) && (Info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    bool Done = false;
    if (!Entry.Itself)
        SetLastError(ERROR_ACCESS_DENIED);
    else if (IsFolder != Folder)
        SetLastError(Folder ? ERROR_DIRECTORY : ERROR_ACCESS_DENIED);
    else {
        // Deleted when the handle closes; a folder only when it is empty.
        FILE_DISPOSITION_INFO Disposition{TRUE};
        Done = SetFileInformationByHandle(H, FileDispositionInfo, &Disposition, sizeof(Disposition)) != 0;
    }
    const DWORD Error = GetLastError();
    CloseHandle(H);
    SetLastError(Error);
    return Done;
}

// Whether the open file H is the program's running image: the system names the mapped
// image as it names the file, and the file's headers are those the image was mapped from.
bool IsRunningImage(HANDLE H)
{
    const auto* Base = reinterpret_cast<const uint8_t*>(GetModuleHandleW(nullptr));
    wchar_t Mapped[MAX_PATH * 2];
    const DWORD MappedLength =
        K32GetMappedFileNameW(GetCurrentProcess(), const_cast<uint8_t*>(Base), Mapped, MAX_PATH * 2);
    if (MappedLength > 0 && MappedLength < MAX_PATH * 2) {
        const std::string Name = Utf8(Mapped, MappedLength);
        // Windows gives the device path, Wine "\??\" and the drive path.
        const bool Same = Name.rfind("\\??\\", 0) == 0
                              ? SamePath(Name.substr(4), FinalPath(H, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS))
                              : SamePath(Name, FinalPath(H, FILE_NAME_NORMALIZED | VOLUME_NAME_NT));
        if (!Same)
            return false;
    }
    const auto* Dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(Base);
    const auto* Nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(Base + Dos->e_lfanew);
    const DWORD Size = Nt->OptionalHeader.SizeOfHeaders;
    std::vector<uint8_t> Headers(Size);
    DWORD Read = 0;
    if (!ReadFile(H, Headers.data(), Size, &Read, nullptr) || Read != Size)
        return false;
    SetFilePointer(H, 0, nullptr, FILE_BEGIN);
    return std::memcmp(Headers.data(), Base, Size) == 0;
}

} // namespace

std::unique_ptr<TStream> TWin32FileSystem::OpenForReading(const std::string& Path)
{
    HANDLE H = CreateFileW(Wide(Path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (H == INVALID_HANDLE_VALUE)
        throw EFOpenError(CannotOpenFileMessage(Path, SysErrorMessage(GetLastError())));
    return std::make_unique<TBufferedStream>(std::make_unique<THandleStream>(H));
}

std::unique_ptr<TStream> TWin32FileSystem::CreateForWriting(const std::string& Path)
{
    HANDLE H = CreateFileW(Wide(Path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (H == INVALID_HANDLE_VALUE)
        throw EFCreateError(CannotCreateFileMessage(Path, SysErrorMessage(GetLastError())));
    return std::make_unique<TBufferedStream>(std::make_unique<THandleStream>(H));
}

std::unique_ptr<TStream> TWin32FileSystem::CreateNewForWriting(const std::string& Path)
{
    HANDLE H = CreateFileW(Wide(Path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (H == INVALID_HANDLE_VALUE)
        throw EFCreateError(CannotCreateFileMessage(Path, SysErrorMessage(GetLastError())));
    return std::make_unique<TBufferedStream>(std::make_unique<THandleStream>(H));
}

void TWin32FileSystem::RenameFile(const std::string& From, const std::string& To)
{
    if (!MoveFileExW(Wide(From).c_str(), Wide(To).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        throw EFCreateError(CannotCreateFileMessage(To, SysErrorMessage(GetLastError())));
}

bool TWin32FileSystem::SetFileTimes(const std::string& Path, const TFileTimes& Times)
{
    HANDLE H = CreateFileW(Wide(Path).c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (H == INVALID_HANDLE_VALUE)
        return false;
    const bool Done = SetHandleTimes(H, Times);
    CloseHandle(H);
    return Done;
}

bool TWin32FileSystem::GetFileTimes(const std::string& Path, TFileTimes& Times)
{
    WIN32_FILE_ATTRIBUTE_DATA Data;
    if (!GetFileAttributesExW(Wide(Path).c_str(), GetFileExInfoStandard, &Data))
        return false;
    Times.CreationTime = ToUInt64(Data.ftCreationTime);
    Times.LastAccessTime = ToUInt64(Data.ftLastAccessTime);
    Times.LastWriteTime = ToUInt64(Data.ftLastWriteTime);
    return true;
}

bool TWin32FileSystem::RemoveFile(const std::string& Path)
{
    return DeleteItself(Path, false);
}

bool TWin32FileSystem::MakeFolder(const std::string& Path)
{
    return CreateDirectoryW(Wide(Path).c_str(), nullptr) != 0;
}

bool TWin32FileSystem::MakePrivateFolder(const std::string& Path, TPrivateTo To)
{
    // Full control for the system, the administrators and perhaps the user, nothing for
    // anyone else, and nothing inherited from the parent folder; what is created inside
    // inherits it.
    std::string Access = "D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";
    if (To == TPrivateTo::CurrentUser) {
        const std::string User = CurrentUserSid();
        if (User.empty())
            return false;
        Access += "(A;OICI;FA;;;" + User + ")";
    }
    PSECURITY_DESCRIPTOR Descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(Wide(Access).c_str(), SDDL_REVISION_1, &Descriptor,
                                                              nullptr))
        return false;
    SECURITY_ATTRIBUTES Attributes{sizeof(Attributes), Descriptor, FALSE};
    const bool Made = CreateDirectoryW(Wide(Path).c_str(), &Attributes) != 0;
    const DWORD Error = GetLastError();
    LocalFree(Descriptor);
    SetLastError(Error);
    return Made;
}

bool TWin32FileSystem::RemoveFolder(const std::string& Path)
{
    return DeleteItself(Path, true);
}

bool TWin32FileSystem::GetAttributes(const std::string& Path, uint32_t& Attributes)
{
    const DWORD A = GetFileAttributesW(Wide(Path).c_str());
    if (A == INVALID_FILE_ATTRIBUTES)
        return false;
    Attributes = A;
    return true;
}

bool TWin32FileSystem::SetAttributes(const std::string& Path, uint32_t Attributes)
{
    return SetFileAttributesW(Wide(Path).c_str(), Attributes) != 0;
}

std::vector<TFolderEntry> TWin32FileSystem::ListFolder(const std::string& Path)
{
    std::vector<TFolderEntry> Result;
    std::string Pattern = Path;
    if (!Pattern.empty() && Pattern.back() != '\\')
        Pattern += '\\';
    Pattern += '*';
    WIN32_FIND_DATAW Data;
    HANDLE H = FindFirstFileW(Wide(Pattern).c_str(), &Data);
    if (H == INVALID_HANDLE_VALUE)
        return Result;
    do {
        const std::string Name = Utf8(Data.cFileName);
        if (Name != "." && Name != "..")
            Result.push_back({Name, Data.dwFileAttributes});
    } while (FindNextFileW(H, &Data));
    FindClose(H);
    return Result;
}

std::string TWin32FileSystem::ExecutablePath()
{
    std::wstring Buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD Length = GetModuleFileNameW(nullptr, Buffer.data(), static_cast<DWORD>(Buffer.size()));
        if (Length < Buffer.size())
            return Utf8(Buffer.data(), Length);
        Buffer.resize(Buffer.size() * 2);
    }
}

std::unique_ptr<TStream> TWin32FileSystem::OpenRunningProgram()
{
    const std::string Path = ExecutablePath();
    HANDLE H = CreateFileW(Wide(Path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (H == INVALID_HANDLE_VALUE)
        throw EFOpenError(CannotOpenFileMessage(Path, SysErrorMessage(GetLastError())));
    auto Stream = std::make_unique<THandleStream>(H);
    if (!IsRunningImage(H))
        throw EFOpenError(CannotOpenFileMessage(Path, RunningProgramReplaced));
    return std::make_unique<TBufferedStream>(std::move(Stream));
}

std::unique_ptr<TEntryHold> TWin32FileSystem::HoldAsItself(const std::string& Path, TEntryKind& Kind)
{
    HANDLE H =
        CreateFileW(Wide(Path).c_str(), FILE_READ_DATA | FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (H == INVALID_HANDLE_VALUE) {
        const DWORD Error = GetLastError();
        Kind = Error == ERROR_FILE_NOT_FOUND || Error == ERROR_PATH_NOT_FOUND ? TEntryKind::ekMissing
                                                                              : TEntryKind::ekUnknown;
        return nullptr;
    }
    auto Hold = std::make_unique<TWin32Hold>(H);
    Kind = Inspect(H, Path).Kind;
    if (Kind != TEntryKind::ekFile && Kind != TEntryKind::ekFolder)
        return nullptr;
    return Hold;
}

} // namespace qe::win32
