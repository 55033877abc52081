#include "platform/win32/Win32FileSystem.h"

#include <windows.h>

#include <sddl.h>

#include <vector>

#include "platform/Exceptions.h"
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
    return DeleteFileW(Wide(Path).c_str()) != 0;
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
    return RemoveDirectoryW(Wide(Path).c_str()) != 0;
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

} // namespace qe::win32
