// The Windows side the scenarios prepare and inspect: special folders, files and their
// times, shell links, registry values, and clearing what an earlier run left behind.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/Win32Platform.h"

namespace e2e {

class TMachine {
public:
    // A special folder as the installer finds it, without a trailing "\".
    std::string Folder(int Id);
    std::string ProgramFiles() { return Folder(28); }
    std::string StartMenuPrograms() { return Folder(38); }
    std::string Temp() { return Folder(25); }
    // Where the current user's terminal data folders are, and the name a terminal gives
    // the data folder of the install folder Terminal.
    std::string TerminalDataRoot();
    std::string TerminalDataId(const std::string& Terminal);

    static bool Exists(const std::string& Path);
    static bool IsFolder(const std::string& Path);
    static std::string ReadFile(const std::string& Path);
    static void WriteFile(const std::string& Path, const std::string& Contents);
    static void CopyTo(const std::string& Source, const std::string& Target);
    // Makes the folder and every missing folder above it.
    static void MakeFolders(const std::string& Path);
    // Deletes the folder with everything in it (or the file); a missing path is no error.
    static void RemoveTree(const std::string& Path);
    // Every path below Folder, recursively, each relative to it.
    static std::vector<std::string> ListTree(const std::string& Folder);
    // The names of Folder's entries in the order the file system delivers them.
    static std::vector<std::string> ListNames(const std::string& Folder);
    static FILETIME LastWriteTime(const std::string& Path);

    // Target and working folder of a shell link, "" when it cannot be read.
    std::string LinkTarget(const std::string& Link);
    std::string LinkWorkingFolder(const std::string& Link);
    // A string value, or a number (DWORD) value in decimals, below HKEY_LOCAL_MACHINE or
    // Root; "(none)" when there is none.
    std::string RegistryValue(const std::string& Key, const std::string& Name,
                              qe::TRegistryRoot Root = qe::TRegistryRoot::rrLocalMachine);
    std::string RegistryNumber(const std::string& Key, const std::string& Name,
                               qe::TRegistryRoot Root = qe::TRegistryRoot::rrLocalMachine);
    bool RegistryKeyExists(const std::string& Key, qe::TRegistryRoot Root = qe::TRegistryRoot::rrLocalMachine);
    static std::string UninstallKey(const std::string& ProgramName);

    // Removes a product's program folder, Start Menu folder and registry entry, those of
    // an installation for the current user included.
    void ForgetProduct(const std::string& ProgramName);

    // A folder of the current user's as the registry names it ("AppData"), and another
    // for it, as a user of another name has.
    std::string UserShellFolder(const std::string& Name);
    void SetUserShellFolder(const std::string& Name, const std::string& Path);

private:
    qe::win32::TWin32Platform FWindows;
};

} // namespace e2e
