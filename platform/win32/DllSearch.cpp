#include "platform/win32/DllSearch.h"

#include <string>

#include "platform/win32/Win32Text.h"

namespace qe::win32 {
namespace {

// Whether the system searches only the system folder by default (SetDefaultDllDirectories
// took effect); systems without it need every DLL loaded by its full path.
bool SystemFolderSearch = false;

} // namespace

void RestrictDllSearch()
{
    // Found at run time: systems before Windows 8 (without its update) do not have it, and
    // a missing import would keep the program from starting at all.
    using TSetDefaultDllDirectories = BOOL(WINAPI*)(DWORD);
    HMODULE Kernel = GetModuleHandleW(L"kernel32.dll");
    auto SetDefaultDllDirectories = Kernel ? reinterpret_cast<TSetDefaultDllDirectories>(reinterpret_cast<void*>(
                                                 GetProcAddress(Kernel, "SetDefaultDllDirectories")))
                                           : nullptr;
    if (SetDefaultDllDirectories && SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32))
        SystemFolderSearch = true;
    // Older systems: at least the current folder leaves the search; the program's own
    // folder cannot, which is why LoadSystemLibrary names the full path there.
    SetDllDirectoryW(L"");
    // Windows' own libraries load some DLLs only when first needed (the theme library when
    // the first window is themed, ...), and not every system keeps such loads to the system
    // folder. Loaded from there now, they are found by name when asked for later.
    for (const char* FileName : {"uxtheme.dll", "dwmapi.dll", "msimg32.dll", "version.dll"})
        LoadSystemLibrary(FileName);
}

HMODULE LoadSystemLibrary(const char* FileName)
{
    if (SystemFolderSearch)
        return LoadLibraryExW(Wide(FileName).c_str(), nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    wchar_t Folder[MAX_PATH];
    const UINT Length = GetSystemDirectoryW(Folder, MAX_PATH);
    if (Length == 0 || Length >= MAX_PATH)
        return nullptr;
    const std::wstring Path = std::wstring(Folder, Length) + L"\\" + Wide(FileName);
    // The altered search makes the DLL's own dependencies come from its folder as well.
    return LoadLibraryExW(Path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

HMODULE LoadSystemAssembly(const char* FileName)
{
    // By name, so that the manifest's redirection applies; a full path would bypass it.
    return LoadLibraryExW(Wide(FileName).c_str(), nullptr, SystemFolderSearch ? LOAD_LIBRARY_SEARCH_SYSTEM32 : 0);
}

} // namespace qe::win32
