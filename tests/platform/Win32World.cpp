// The conformance suite's world on the real Windows: a scratch folder in the temporary
// folder and a key below the current user's root, both removed afterwards.
#include <windows.h>

#include <aclapi.h>
#include <objbase.h>

#include <vector>

#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32Text.h"
#include "tests/platform/ConformanceWorld.h"

namespace qe::test {
namespace {

using win32::Utf8;
using win32::Wide;

bool UnderWine()
{
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

// The Linux file name of a Windows path under Wine; empty when there is none.
std::string UnixFileName(const std::string& Path)
{
    using TUnixName = char*(CDECL*)(LPCWSTR);
    const auto Convert = reinterpret_cast<TUnixName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (Convert == nullptr)
        return {};
    char* Name = Convert(Wide(Path).c_str());
    if (Name == nullptr)
        return {};
    std::string Result = Name;
    HeapFree(GetProcessHeap(), 0, Name);
    return Result;
}

// A Unix symbolic link, made by Linux's own system call: Wine's CreateSymbolicLink makes
// nothing, and a Wine program is a Linux process.
bool UnixSymlink(const std::string& Target, const std::string& Link)
{
    int Result = -1;
#if defined(__i386__)
    asm volatile("int $0x80" : "=a"(Result) : "0"(83), "b"(Target.c_str()), "c"(Link.c_str()) : "memory");
#endif
    return Result == 0;
}

// Removes a Linux file, a symbolic link as itself, or an empty folder: Wine's own calls
// delete what a link points to.
bool UnixRemove(const std::string& Path, bool Folder)
{
    int Result = -1;
#if defined(__i386__)
    asm volatile("int $0x80" : "=a"(Result) : "0"(Folder ? 40 : 10), "b"(Path.c_str()) : "memory");
#endif
    return Result == 0;
}

// Deletes the folder and what it holds; links are removed as themselves, never followed.
void RemoveTree(const std::wstring& Path)
{
    WIN32_FIND_DATAW Data;
    HANDLE H = FindFirstFileW((Path + L"\\*").c_str(), &Data);
    if (H != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring Name = Data.cFileName;
            if (Name == L"." || Name == L"..")
                continue;
            const std::wstring Child = Path + L"\\" + Name;
            // Under Wine a file link looks like a file: every entry goes as itself.
            if (UnderWine() && UnixRemove(UnixFileName(Utf8(Child)), false))
                continue;
            SetFileAttributesW(Child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if ((Data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
                (Data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? RemoveDirectoryW(Child.c_str())
                                                                   : DeleteFileW(Child.c_str());
            else if (Data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(Child);
            else
                DeleteFileW(Child.c_str());
        } while (FindNextFileW(H, &Data));
        FindClose(H);
    }
    if (!UnderWine() || !UnixRemove(UnixFileName(Utf8(Path)), true))
        RemoveDirectoryW(Path.c_str());
}

bool IsCurrentUser(PSID Sid)
{
    HANDLE Token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &Token))
        return false;
    DWORD Size = 0;
    GetTokenInformation(Token, TokenUser, nullptr, 0, &Size);
    std::vector<BYTE> User(Size);
    const bool Same = Size > 0 && GetTokenInformation(Token, TokenUser, User.data(), Size, &Size) &&
                      EqualSid(reinterpret_cast<TOKEN_USER*>(User.data())->User.Sid, Sid);
    CloseHandle(Token);
    return Same;
}

class TWin32World : public IConformanceWorld {
public:
    TWin32World()
    {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        static int Counter = 0;
        const std::string Unique = std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++Counter);
        wchar_t Temp[MAX_PATH];
        GetTempPathW(MAX_PATH, Temp);
        FScratch = Utf8(Temp) + "qe-conformance-" + Unique;
        CreateDirectoryW(Wide(FScratch).c_str(), nullptr);
        FKey = "Software\\QeConformance-" + Unique;
    }
    ~TWin32World() override
    {
        for (HANDLE H : FHandles)
            CloseHandle(H);
        for (HWND Window : FWindows)
            DestroyWindow(Window);
        RemoveTree(Wide(FScratch));
        if (FTempChanged)
            SetEnvironmentVariableW(L"TMP", FOldTemp.empty() ? nullptr : FOldTemp.c_str());
        FMachine.Registry.DeleteKey(TRegistryRoot::rrCurrentUser, FKey);
        CoUninitialize();
    }

    const TPlatform& Platform() override { return FMachine.Platform(); }
    std::string Scratch() override { return FScratch; }
    std::string RegistryKey() override { return FKey; }
    void SetVariable(const std::string& Name, const std::string& Value) override
    {
        SetEnvironmentVariableW(Wide(Name).c_str(), Wide(Value).c_str());
    }
    void HoldOpen(const std::string& Path) override
    {
        HANDLE H = CreateFileW(Wide(Path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (H != INVALID_HANDLE_VALUE)
            FHandles.push_back(H);
    }
    bool KeepsCreationTimes() override
    {
        // Wine keeps no creation time of its own on a Linux file system.
        return !UnderWine();
    }
    bool LimitsFolderPaths() override { return !UnderWine(); }
    bool KeepsAccessLists() override { return !UnderWine(); }
    void OpenWindow(const std::string& ClassName) override
    {
        const std::wstring Name = Wide(ClassName);
        WNDCLASSW Class{};
        Class.lpfnWndProc = DefWindowProcW;
        Class.hInstance = GetModuleHandleW(nullptr);
        Class.lpszClassName = Name.c_str();
        RegisterClassW(&Class);
        HWND Window = CreateWindowExW(0, Name.c_str(), L"Conformance", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr,
                                      Class.hInstance, nullptr);
        if (Window != nullptr)
            FWindows.push_back(Window);
    }

    uint32_t LastError() override { return GetLastError(); }
    bool MakeLink(const std::string& Path, const std::string& Target, bool Folder) override
    {
        if (UnderWine()) {
            // Where the link goes need not exist: its Linux name is its folder's and its own.
            const std::string TargetFolder = UnixFileName(Target.substr(0, Target.rfind('\\')));
            const std::string LinkFolder = UnixFileName(Path.substr(0, Path.rfind('\\')));
            return !TargetFolder.empty() && !LinkFolder.empty() &&
                   UnixSymlink(TargetFolder + "/" + Target.substr(Target.rfind('\\') + 1),
                               LinkFolder + "/" + Path.substr(Path.rfind('\\') + 1));
        }
        const DWORD Flags = (Folder ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0) | 2; // unprivileged, in developer mode
        return CreateSymbolicLinkW(Wide(Path).c_str(), Wide(Target).c_str(), Flags) != 0;
    }
    void SetTempFolder(const std::string& Path) override
    {
        // The system takes its temporary folder from the variable TMP first.
        if (!FTempChanged) {
            wchar_t Old[32768];
            const DWORD Length = GetEnvironmentVariableW(L"TMP", Old, 32768);
            FOldTemp = Length > 0 && Length < 32768 ? std::wstring(Old, Length) : std::wstring();
            FTempChanged = true;
        }
        SetEnvironmentVariableW(L"TMP", Wide(Path).c_str());
    }

    std::optional<TPrivateTo> PrivateTo(const std::string& Path) override
    {
        PACL Dacl = nullptr;
        PSECURITY_DESCRIPTOR Descriptor = nullptr;
        if (GetNamedSecurityInfoW(Wide(Path).c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                  &Dacl, nullptr, &Descriptor) != ERROR_SUCCESS)
            return std::nullopt;
        SECURITY_DESCRIPTOR_CONTROL Control = 0;
        DWORD Revision = 0;
        GetSecurityDescriptorControl(Descriptor, &Control, &Revision);
        // A missing list lets everyone in; an inherited one follows the parent's.
        bool Private = Dacl != nullptr && (Control & SE_DACL_PROTECTED) != 0;
        bool User = false;
        for (DWORD I = 0; Private && I < Dacl->AceCount; ++I) {
            void* Ace = nullptr;
            GetAce(Dacl, I, &Ace);
            const auto* Header = static_cast<ACE_HEADER*>(Ace);
            if (Header->AceType != ACCESS_ALLOWED_ACE_TYPE)
                continue;
            PSID Sid = &static_cast<ACCESS_ALLOWED_ACE*>(Ace)->SidStart;
            const bool Current = IsCurrentUser(Sid);
            User |= Current;
            Private =
                Current || IsWellKnownSid(Sid, WinLocalSystemSid) || IsWellKnownSid(Sid, WinBuiltinAdministratorsSid);
        }
        LocalFree(Descriptor);
        if (!Private)
            return std::nullopt;
        return User ? TPrivateTo::CurrentUser : TPrivateTo::Administrators;
    }

private:
    win32::TWin32Platform FMachine;
    bool FTempChanged = false;
    std::wstring FOldTemp;
    std::string FScratch;
    std::string FKey;
    std::vector<HWND> FWindows;
    std::vector<HANDLE> FHandles;
};

} // namespace

std::unique_ptr<IConformanceWorld> MakeConformanceWorld()
{
    return std::make_unique<TWin32World>();
}

} // namespace qe::test
