#include "e2e/wizard/Machine.h"

#include <fstream>
#include <sstream>

#include "e2e/wizard/Driver.h"
#include "platform/SysFolders.h"
#include "platform/TerminalDataFolders.h"
#include "platform/stdio/Utf8Path.h"
#include "platform/win32/Win32Text.h"

namespace e2e {

using qe::win32::Utf8;
using qe::win32::Wide;

std::string TMachine::Folder(int Id)
{
    return qe::GetSpecialFolder(FWindows.Platform(), Id, false);
}

std::string TMachine::TerminalDataRoot()
{
    return qe::TerminalDataRoot(FWindows.Platform());
}

std::string TMachine::TerminalDataId(const std::string& Terminal)
{
    return qe::TerminalDataId(FWindows.Platform(), Terminal);
}

bool TMachine::Exists(const std::string& Path)
{
    return GetFileAttributesW(Wide(Path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool TMachine::IsFolder(const std::string& Path)
{
    const DWORD Attributes = GetFileAttributesW(Wide(Path).c_str());
    return Attributes != INVALID_FILE_ATTRIBUTES && (Attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::string TMachine::ReadFile(const std::string& Path)
{
    std::ifstream In(qe::PathOf(Path), std::ios::binary);
    Check(In.good(), "cannot read " + Path);
    std::ostringstream Contents;
    Contents << In.rdbuf();
    return Contents.str();
}

void TMachine::WriteFile(const std::string& Path, const std::string& Contents)
{
    std::ofstream Out(qe::PathOf(Path), std::ios::binary);
    Out << Contents;
    Check(Out.good(), "cannot write " + Path);
}

void TMachine::CopyTo(const std::string& Source, const std::string& Target)
{
    Check(CopyFileW(Wide(Source).c_str(), Wide(Target).c_str(), FALSE), "cannot copy " + Source + " to " + Target);
}

void TMachine::MakeFolders(const std::string& Path)
{
    for (size_t Slash = Path.find('\\', 3);; Slash = Path.find('\\', Slash + 1)) {
        const std::string Part = Path.substr(0, Slash);
        if (!IsFolder(Part))
            Check(CreateDirectoryW(Wide(Part).c_str(), nullptr), "cannot make the folder " + Part);
        if (Slash == std::string::npos)
            return;
    }
}

void TMachine::RemoveTree(const std::string& Path)
{
    const DWORD Attributes = GetFileAttributesW(Wide(Path).c_str());
    if (Attributes == INVALID_FILE_ATTRIBUTES)
        return;
    SetFileAttributesW(Wide(Path).c_str(), FILE_ATTRIBUTE_NORMAL | (Attributes & FILE_ATTRIBUTE_DIRECTORY));
    if ((Attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        Check(DeleteFileW(Wide(Path).c_str()), "cannot delete " + Path);
        return;
    }
    for (const std::string& Name : ListNames(Path))
        RemoveTree(Path + "\\" + Name);
    Check(RemoveDirectoryW(Wide(Path).c_str()), "cannot remove the folder " + Path);
}

std::vector<std::string> TMachine::ListNames(const std::string& Folder)
{
    std::vector<std::string> Names;
    WIN32_FIND_DATAW Entry;
    const HANDLE Find = FindFirstFileW(Wide(Folder + "\\*").c_str(), &Entry);
    if (Find == INVALID_HANDLE_VALUE)
        return Names;
    do {
        const std::string Name = Utf8(Entry.cFileName);
        if (Name != "." && Name != "..")
            Names.push_back(Name);
    } while (FindNextFileW(Find, &Entry));
    FindClose(Find);
    return Names;
}

std::vector<std::string> TMachine::ListTree(const std::string& Folder)
{
    std::vector<std::string> Paths;
    for (const std::string& Name : ListNames(Folder)) {
        Paths.push_back(Name);
        if (IsFolder(Folder + "\\" + Name))
            for (const std::string& Below : ListTree(Folder + "\\" + Name))
                Paths.push_back(Name + "\\" + Below);
    }
    return Paths;
}

FILETIME TMachine::LastWriteTime(const std::string& Path)
{
    WIN32_FILE_ATTRIBUTE_DATA Data;
    Check(GetFileAttributesExW(Wide(Path).c_str(), GetFileExInfoStandard, &Data), "cannot read the times of " + Path);
    return Data.ftLastWriteTime;
}

std::string TMachine::LinkTarget(const std::string& Link)
{
    qe::TShellLinkData Data;
    return FWindows.Shell.ReadLink(Link, Data) ? Data.Path : "";
}

std::string TMachine::LinkWorkingFolder(const std::string& Link)
{
    qe::TShellLinkData Data;
    return FWindows.Shell.ReadLink(Link, Data) ? Data.WorkingDirectory : "";
}

std::string TMachine::RegistryValue(const std::string& Key, const std::string& Name, qe::TRegistryRoot Root)
{
    std::string Value;
    if (!FWindows.Registry.ReadString(Root, Key, Name, false, Value))
        return "(none)";
    return Value;
}

std::string TMachine::RegistryNumber(const std::string& Key, const std::string& Name, qe::TRegistryRoot Root)
{
    uint32_t Value = 0;
    if (!FWindows.Registry.ReadInteger(Root, Key, Name, Value))
        return "(none)";
    return std::to_string(Value);
}

bool TMachine::RegistryKeyExists(const std::string& Key, qe::TRegistryRoot Root)
{
    return FWindows.Registry.KeyExists(Root, Key);
}

std::string TMachine::UninstallKey(const std::string& ProgramName)
{
    return "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + ProgramName;
}

void TMachine::ForgetProduct(const std::string& ProgramName)
{
    RemoveTree(ProgramFiles() + "\\" + ProgramName);
    RemoveTree(StartMenuPrograms() + "\\" + ProgramName);
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, Wide(UninstallKey(ProgramName)).c_str());
    RemoveTree(Folder(qe::sfLocalAppData) + "\\Programs\\" + ProgramName);
    RemoveTree(Folder(qe::sfPrograms) + "\\" + ProgramName);
    RegDeleteTreeW(HKEY_CURRENT_USER, Wide(UninstallKey(ProgramName)).c_str());
}

std::string TMachine::UserShellFolder(const std::string& Name)
{
    std::string Value;
    FWindows.Registry.ReadString(qe::TRegistryRoot::rrCurrentUser, qe::ShellFoldersKey, Name, false, Value);
    return Value;
}

void TMachine::SetUserShellFolder(const std::string& Name, const std::string& Path)
{
    FWindows.Registry.WriteString(qe::TRegistryRoot::rrCurrentUser, qe::ShellFoldersKey, Name, Path);
}

} // namespace e2e
