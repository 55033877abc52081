// The uninstaller: a copy of the running program without its package, with the
// uninstall record appended, registered in the Windows list of installed programs.
#include "engine/Uninstaller.h"

#include <algorithm>

#include "engine/InstallFiles.h"
#include "package/QeClasses.h"
#include "package/QeUninstall.h"
#include "platform/Exceptions.h"
#include "platform/Paths.h"

namespace qe {

bool HasOwnUninstallKey(const std::string& ProgramName)
{
    return ProgramName.find_first_not_of('\\') != std::string::npos;
}

namespace {

// What an earlier install of the product listed in the uninstaller that this one
// replaces. An update finds the folders that install made there already and does not
// make them, and the update may not hold every file that install wrote; both are the
// product's, to be removed by the uninstall. An unreadable record gives nothing.
struct TEarlierRecord {
    std::vector<std::string> Files;
    std::vector<std::string> Folders;
};

TEarlierRecord EarlierRecord(const TPlatform& Platform, const std::string& ExePath)
{
    if (!Platform.FileSystem->FileExists(ExePath))
        return {};
    TQeUninstall Earlier(Platform);
    try {
        Earlier.LoadFromFile(ExePath);
    } catch (const Exception&) {
        return {};
    }
    return {std::move(Earlier.Files), std::move(Earlier.Folders)};
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

void TQeInstall::CreateUninstaller(const std::string& ExePath, const std::string& LinkPath)
{
    IFileSystem& Fs = *FPlatform.FileSystem;
    InstallLog.push_back({LinkPath, false});
    DoProgress(Texts->Format(TText::ProgressCreatingUninstaller), 1);
    MakeLoggedFolders(ExtractFileDir(ExePath));
    const TEarlierRecord Earlier = EarlierRecord(FPlatform, ExePath);
    LogMadeFolders(Earlier.Folders);
    LogEarlierFiles(InstallLog, Fs, Earlier.Files);
    {
        auto Source = Fs.OpenForReading(FileName);
        // The record's offset is stored inside the copied program; a program whose
        // offset field points before its own end, or past the end of the file, carries
        // no package and cannot become an uninstaller. That is found out before the
        // uninstaller's file is made.
        uint32_t ProgramSize = 0;
        if (!ReadPackageOffset(*Source, ProgramSize) || ProgramSize < PackageOffsetField + 4 ||
            ProgramSize > Source->GetSize())
            throw Exception("The program file \"" + FileName + "\" carries no package offset");
        WriteFileSafely(Fs, ExePath, [&](TStream& Exe) {
            Source->Seek(0, TSeekOrigin::soBeginning);
            Exe.CopyFrom(*Source, ProgramSize);
            Exe.Seek(0, TSeekOrigin::soEnd);
            WriteUninstallRecord(Exe);
        });
    }
    if (HasOwnUninstallKey(ProgramName)) {
        DoProgress(Texts->Format(TText::ProgressRegisteringUninstaller), 1);
        const std::string Key = UninstallKeyPrefix + ProgramName;
        const auto Root = TRegistryRoot::rrLocalMachine;
        FPlatform.Registry->WriteString(Root, Key, "DisplayName", ProgramName);
        FPlatform.Registry->WriteString(Root, Key, "UninstallString", ExePath);
        FPlatform.Registry->WriteString(Root, Key, "DisplayIcon", ExePath);
    } else {
        DoProgress(Texts->Format(TText::ProgressNotRegistering), 1);
    }
    WriteShellLink(FPlatform, ExePath, LinkPath);
}

} // namespace qe
