// The uninstaller: a copy of the running program without its package, with the
// uninstall record appended, registered in the Windows list of installed programs.
#include "engine/Uninstaller.h"

#include <algorithm>
#include <cstdio>

#include "engine/InstallFiles.h"
#include "package/PeImage.h"
#include "package/QeClasses.h"
#include "package/QeUninstall.h"
#include "package/TargetPaths.h"
#include "platform/Exceptions.h"
#include "platform/Paths.h"

namespace qe {

namespace {

// The day as the list of installed programs keeps it: yyyymmdd.
std::string InstallDate(const TSystemTime& Now)
{
    char Text[24];
    std::snprintf(Text, sizeof(Text), "%04u%02u%02u", Now.Year, Now.Month, Now.Day);
    return Text;
}

// What an earlier install of the product listed in the uninstaller that this one
// replaces. An update finds the folders that install made there already and does not
// make them, and the update may not hold every file that install wrote; both are the
// product's, to be removed by the uninstall. An unreadable record, or one that is a link,
// gives nothing; of a record, only plain paths are taken.
struct TEarlierRecord {
    std::vector<std::string> Files;
    std::vector<std::string> Folders;
};

TEarlierRecord EarlierRecord(const TPlatform& Platform, const std::string& ExePath)
{
    TEntryKind Kind = TEntryKind::ekMissing;
    const auto Hold = Platform.FileSystem->HoldAsItself(ExePath, Kind);
    if (Kind != TEntryKind::ekFile)
        return {};
    TQeUninstall Earlier(Platform);
    try {
        Earlier.LoadFromFile(ExePath);
    } catch (const Exception&) {
        return {};
    }
    TEarlierRecord Record;
    for (const std::string& File : Earlier.Files)
        if (!PlainPathFault(File))
            Record.Files.push_back(File);
    for (const std::string& Folder : Earlier.Folders)
        if (!PlainPathFault(Folder))
            Record.Folders.push_back(Folder);
    return Record;
}

// Logs the earlier install's files that are still there and that this run did not log.
void LogEarlierFiles(std::vector<TInstallLogEntry>& Log, IFileSystem& Fs, const std::vector<std::string>& Files)
{
    for (const std::string& File : Files) {
        const bool Logged = std::any_of(Log.begin(), Log.end(), [&](const TInstallLogEntry& Entry) {
            return !Entry.IsFolder && SameText(Entry.Path, File);
        });
        if (!Logged && Fs.FileExists(File))
            Log.push_back({File, false});
    }
}

} // namespace

bool EntryNamesUninstaller(IRegistry& Registry, TRegistryRoot Root, const std::string& Key,
                           const std::string& Uninstaller)
{
    std::string Value;
    try {
        // Written quoted; an older install wrote the path as it is.
        return Registry.ReadString(Root, Key, "UninstallString", false, Value) &&
               (SameText(Value, "\"" + Uninstaller + "\"") || SameText(Value, Uninstaller));
    } catch (const ERegistryException&) {
        return false;
    }
}

void TQeInstall::RegisterUninstaller(const std::string& ExePath)
{
    IRegistry& Registry = *FPlatform.Registry;
    const std::string Key = UninstallKeyPrefix + ProgramName;
    const auto Root = UninstallRoot(Scope);
    // An earlier install's values that this package has no data for go with the key. An
    // entry of that name that another uninstaller removes is written over, never deleted
    // with what it holds.
    if (EntryNamesUninstaller(Registry, Root, Key, ExePath))
        Registry.DeleteKey(Root, Key);
    // Quoted, so that a path with blanks is not read as a shorter program's path.
    const std::string Command = "\"" + ExePath + "\"";
    const std::vector<std::pair<const char*, std::string>> Strings = {
        {"DisplayName", ProgramName},
        {"UninstallString", Command},
        {"QuietUninstallString", Command + " /VERYSILENT"},
        {"DisplayIcon", ExePath},
        {"DisplayVersion", std::to_string(MajorVersion) + "." + std::to_string(MinorVersion)},
        {"Publisher", Trim(Publisher)},
        {"URLInfoAbout", WebsiteUrl(Website)},
        {"HelpLink", WebsiteUrl(Website)},
        {"Contact", Trim(Email)},
        {"InstallLocation", ExtractFileDir(ExePath)},
        {"InstallDate", InstallDate(FPlatform.System->LocalTime())},
    };
    for (const auto& [Name, Value] : Strings)
        if (!Value.empty())
            Registry.WriteString(Root, Key, Name, Value);
    const int64_t KiB = (FInstalledBytes + 1023) / 1024;
    const std::vector<std::pair<const char*, uint32_t>> Numbers = {
        {"EstimatedSize", static_cast<uint32_t>(std::min<int64_t>(KiB, UINT32_MAX))},
        {"VersionMajor", static_cast<uint32_t>(MajorVersion)},
        {"VersionMinor", static_cast<uint32_t>(MinorVersion)},
        {"NoModify", 1},
        {"NoRepair", 1},
    };
    for (const auto& [Name, Value] : Numbers)
        Registry.WriteInteger(Root, Key, Name, Value);
}

void TQeInstall::CreateUninstaller(const std::string& ExePath, const std::string& LinkPath)
{
    InstallLog.push_back({LinkPath, false});
    DoProgress(Texts->Format(TText::ProgressCreatingUninstaller), 1);
    MakeLoggedFolders(ExtractFileDir(ExePath));
    const TEarlierRecord Earlier = EarlierRecord(FPlatform, ExePath);
    LogMadeFolders(Earlier.Folders);
    LogEarlierFiles(InstallLog, *FPlatform.FileSystem, Earlier.Files);
    // The program is copied from the file it was loaded from, never reopened by name: a
    // file put under its name since would become the uninstaller that runs elevated.
    TStream& Source = ProgramFile();
    // The record's offset is stored inside the copied program; a program whose offset
    // field points before its own end, or past the end of the file, carries no package
    // and cannot become an uninstaller. That is found out before the uninstaller's file
    // is made.
    uint32_t ProgramSize = 0;
    if (!ReadPackageOffset(Source, ProgramSize) || ProgramSize < PackageOffsetField + 4 ||
        ProgramSize > Source.GetSize())
        throw Exception("The program file \"" + FileName + "\" carries no package offset");
    WriteFileSafely(FPlatform, ExePath, [&](TStream& Exe) {
        Source.Seek(0, TSeekOrigin::soBeginning);
        Exe.CopyFrom(Source, ProgramSize);
        Exe.Seek(0, TSeekOrigin::soEnd);
        WriteUninstallRecord(Exe);
        // A signed installer's signature stays behind with its package.
        MakeUnsigned(Exe);
        FInstalledBytes += Exe.GetSize();
    });
    DoProgress(Texts->Format(TText::ProgressRegisteringUninstaller), 1);
    RegisterUninstaller(ExePath);
    MakeLoggedFolders(ExtractFileDir(LinkPath));
    WriteShellLink(FPlatform, ExePath, LinkPath);
}

} // namespace qe
