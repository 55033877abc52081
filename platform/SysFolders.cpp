#include "platform/SysFolders.h"

#include "platform/Paths.h"
#include "platform/Unicode.h"

namespace qe {

const char* const ShellFoldersKey = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char* const WindowsPathsKey = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const char* const SetupKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Setup";

namespace {

enum class TSource { User, System, Boot, WindowsPaths, Common };

struct TFolderSource {
    TSource Source;
    const char* Name;
};

// Indexed by folder id.
const TFolderSource FolderSources[SpecialFolderCount] = {
    {TSource::User, "Desktop"},
    {TSource::User, "Start Menu"},
    {TSource::User, "Programs"},
    {TSource::User, "Startup"},
    {TSource::User, "Personal"},
    {TSource::User, "My Pictures"},
    {TSource::User, "My Music"},
    {TSource::User, "My Video"},
    {TSource::User, "AppData"},
    {TSource::User, "Fonts"},
    {TSource::User, "SendTo"},
    {TSource::User, "Recent"},
    {TSource::User, "Favorites"},
    {TSource::User, "Cache"},
    {TSource::User, "Cookies"},
    {TSource::User, "History"},
    {TSource::User, "NetHood"},
    {TSource::User, "PrintHood"},
    {TSource::User, "Templates"},
    {TSource::User, "Local AppData"},
    {TSource::User, "Local Settings"},
    {TSource::User, "CD Burning"},
    {TSource::User, "Administrative Tools"},
    {TSource::System, "Windows"},
    {TSource::System, "System"},
    {TSource::System, "Temp"},
    {TSource::System, "SystemDrive"},
    {TSource::Boot, "BootDir"},
    {TSource::WindowsPaths, "ProgramFilesDir"},
    {TSource::WindowsPaths, "CommonFilesDir"},
    {TSource::WindowsPaths, "ConfigPath"},
    {TSource::WindowsPaths, "DevicePath"},
    {TSource::WindowsPaths, "MediaPath"},
    {TSource::WindowsPaths, "WallPaperDir"},
    {TSource::Common, "Common Administrative Tools"},
    {TSource::Common, "Common AppData"},
    {TSource::Common, "Common Desktop"},
    {TSource::Common, "Common Documents"},
    {TSource::Common, "Common Programs"},
    {TSource::Common, "Common Start Menu"},
    {TSource::Common, "Common Startup"},
    {TSource::Common, "Common Templates"},
    {TSource::Common, "CommonMusic"},
    {TSource::Common, "CommonPictures"},
    {TSource::Common, "CommonVideo"},
};

std::string ReadValue(const TPlatform& Platform, TRegistryRoot Root, const std::string& Key, const std::string& Name,
                      bool CreateKey)
{
    std::string Value;
    if (!Platform.Registry->ReadString(Root, Key, Name, CreateKey, Value))
        return {};
    return Value;
}

// The system's folder texts come through a buffer that holds at most 253 characters
// and a NUL. A longer text does not fit and gives "", as the system gives it; a cut
// text would name a different folder.
std::string SystemText(const std::string& Text)
{
    return Text.size() > MaxSystemFolder ? std::string() : Text;
}

} // namespace

std::string GetUserShellFolder(const TPlatform& Platform, const std::string& Name)
{
    return ReadValue(Platform, TRegistryRoot::rrCurrentUser, ShellFoldersKey, Name, true);
}

std::string GetCommonShellFolder(const TPlatform& Platform, const std::string& Name)
{
    return ReadValue(Platform, TRegistryRoot::rrLocalMachine, ShellFoldersKey, Name, true);
}

std::string GetWindowsPath(const TPlatform& Platform, const std::string& Name)
{
    std::string Value = ReadValue(Platform, TRegistryRoot::rrLocalMachine, WindowsPathsKey, Name, true);
    if (Value.find('%') == std::string::npos)
        return Value;
    std::string Expanded = Platform.System->ExpandEnvironment(Value);
    // Cutting an expansion to the buffer's size would name a different folder.
    if (Utf16Length(Expanded) > MaxExpandedFolder)
        throw EFolderTooLong("The folder '" + Name + "' expands to more than 259 characters: " + Expanded);
    return Expanded;
}

std::string GetBootDir(const TPlatform& Platform)
{
    std::string Value = ReadValue(Platform, TRegistryRoot::rrLocalMachine, SetupKey, "BootDir", false);
    if (Value.empty())
        Value = "C:\\";
    if (Value.back() == PathDelimiter)
        Value.pop_back();
    return Value;
}

std::string GetWindowsDir(const TPlatform& Platform)
{
    return SystemText(Platform.System->WindowsFolder());
}
std::string GetSystemDir(const TPlatform& Platform)
{
    return SystemText(Platform.System->SystemFolder());
}
std::string GetTempDir(const TPlatform& Platform)
{
    return SystemText(Platform.System->TempFolder());
}

std::string GetSpecialFolder(const TPlatform& Platform, int Id, bool AddTrailingDelimiter)
{
    if (Id < 0 || Id >= SpecialFolderCount)
        return {};
    const TFolderSource& Source = FolderSources[Id];
    std::string Path;
    switch (Source.Source) {
    case TSource::User: Path = GetUserShellFolder(Platform, Source.Name); break;
    case TSource::Common: Path = GetCommonShellFolder(Platform, Source.Name); break;
    case TSource::WindowsPaths: Path = GetWindowsPath(Platform, Source.Name); break;
    case TSource::Boot: Path = GetBootDir(Platform); break;
    case TSource::System:
        switch (Id) {
        case sfWindows: Path = GetWindowsDir(Platform); break;
        case sfSystem: Path = GetSystemDir(Platform); break;
        case sfTemp: Path = GetTempDir(Platform); break;
        default: Path = GetSystemDir(Platform).substr(0, 2); break;
        }
        break;
    }
    return AddTrailingDelimiter ? IncludeTrailingDelimiter(Path) : Path;
}

} // namespace qe
