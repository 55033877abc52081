#include "platform/win32/Win32System.h"

#include <windows.h>

#include <ntsecapi.h>

#include <vector>

#include "platform/win32/Win32Text.h"

namespace qe::win32 {
namespace {

// The folder functions write into a buffer of 255 characters and are told it holds 254,
// so a text of 253 characters and its NUL fit. A longer text is not written at all: the
// result is then empty, never a part of the path.
template <typename TGetter> std::string FolderText(TGetter Getter)
{
    wchar_t Buffer[255] = {};
    const UINT Length = Getter(Buffer, 254);
    if (Length == 0 || Length >= 254)
        return {};
    return Utf8(Buffer);
}

} // namespace

std::string TWin32System::WindowsFolder()
{
    return FolderText([](wchar_t* B, UINT Size) { return GetWindowsDirectoryW(B, Size); });
}

std::string TWin32System::SystemWindowsFolder()
{
    return FolderText([](wchar_t* B, UINT Size) { return GetSystemWindowsDirectoryW(B, Size); });
}

std::string TWin32System::SystemFolder()
{
    return FolderText([](wchar_t* B, UINT Size) { return GetSystemDirectoryW(B, Size); });
}

std::string TWin32System::TempFolder()
{
    return FolderText([](wchar_t* B, UINT Size) { return GetTempPathW(Size, B); });
}

std::string TWin32System::ExpandEnvironment(const std::string& Text)
{
    // Sized to the expansion, so the caller sees the whole text and decides on it.
    const std::wstring Source = Wide(Text);
    std::vector<wchar_t> Buffer(Source.size() + 260);
    for (;;) {
        const DWORD Needed =
            ExpandEnvironmentStringsW(Source.c_str(), Buffer.data(), static_cast<DWORD>(Buffer.size()));
        if (Needed == 0)
            return Text;
        if (Needed <= Buffer.size())
            return Utf8(Buffer.data());
        Buffer.resize(Needed);
    }
}

bool TWin32System::TopLevelWindowExists(const std::string& ClassName)
{
    return FindWindowW(Wide(ClassName).c_str(), nullptr) != nullptr;
}

bool TWin32System::StartHiddenIdleProcess(const std::string& CommandLine, const std::string& CurrentFolder,
                                          const std::vector<std::string>& Environment)
{
    // A UTF-16 environment block: the entries, each ended by a NUL, and one NUL more.
    std::wstring Block;
    for (const std::string& Entry : Environment)
        Block += Wide(Entry) + L'\0';
    Block += L'\0';
    STARTUPINFOW Startup{};
    Startup.cb = sizeof(Startup);
    Startup.dwFlags = STARTF_USESHOWWINDOW;
    Startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION Process{};
    // The system may write into the command line it is given.
    std::wstring Line = Wide(CommandLine);
    const std::wstring Folder = Wide(CurrentFolder);
    if (!CreateProcessW(nullptr, Line.data(), nullptr, nullptr, FALSE,
                        CREATE_SUSPENDED | IDLE_PRIORITY_CLASS | CREATE_UNICODE_ENVIRONMENT,
                        Environment.empty() ? nullptr : Block.data(), Folder.empty() ? nullptr : Folder.c_str(),
                        &Startup, &Process))
        return false;
    SetThreadPriority(Process.hThread, THREAD_PRIORITY_IDLE);
    CloseHandle(Process.hProcess);
    ResumeThread(Process.hThread);
    CloseHandle(Process.hThread);
    return true;
}

bool TWin32System::IsElevated()
{
    // The filtered token of an administrator who has not confirmed elevation is not
    // elevated. Windows keeps the administrators' group in it for denying only, so the
    // membership below says so too; Wine keeps the group enabled and tells only by the
    // token's type.
    HANDLE Token = nullptr;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &Token)) {
        TOKEN_ELEVATION_TYPE Type = TokenElevationTypeDefault;
        DWORD Size = 0;
        const bool Limited = GetTokenInformation(Token, TokenElevationType, &Type, sizeof(Type), &Size) &&
                             Type == TokenElevationTypeLimited;
        CloseHandle(Token);
        if (Limited)
            return false;
    }
    // Membership counts only where the group is enabled.
    SID_IDENTIFIER_AUTHORITY NtAuthority = SECURITY_NT_AUTHORITY;
    PSID Administrators = nullptr;
    if (!AllocateAndInitializeSid(&NtAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0,
                                  0, &Administrators))
        return false;
    BOOL Member = FALSE;
    if (!CheckTokenMembership(nullptr, Administrators, &Member))
        Member = FALSE;
    FreeSid(Administrators);
    return Member != FALSE;
}

bool TWin32System::RandomBytes(uint8_t* Buffer, size_t Size)
{
    return RtlGenRandom(Buffer, static_cast<ULONG>(Size)) != FALSE;
}

TSystemTime TWin32System::LocalTime()
{
    SYSTEMTIME T;
    GetLocalTime(&T);
    return TSystemTime{T.wYear, T.wMonth, T.wDayOfWeek, T.wDay, T.wHour, T.wMinute, T.wSecond, T.wMilliseconds};
}

std::string TWin32System::DisplayLanguage()
{
    wchar_t Name[LOCALE_NAME_MAX_LENGTH] = {};
    if (LCIDToLocaleName(MAKELCID(GetUserDefaultUILanguage(), SORT_DEFAULT), Name, LOCALE_NAME_MAX_LENGTH, 0) <= 0)
        return {};
    return Utf8(Name);
}

bool TWin32System::Md5(const void* Data, size_t Size, std::array<uint8_t, 16>& Digest)
{
    return win32::Md5(Data, Size, Digest);
}

} // namespace qe::win32
