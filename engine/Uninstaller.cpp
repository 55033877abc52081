// The uninstaller: a copy of the running program without its package, with the
// uninstall record appended, registered in the Windows list of installed programs.
#include "engine/Uninstaller.h"

#include "engine/InstallFiles.h"
#include "package/QeClasses.h"
#include "package/QeUninstall.h"
#include "package/TargetPaths.h"
#include "platform/Exceptions.h"
#include "platform/Paths.h"

namespace qe {

namespace {

// The folders that an earlier install of the product made, from the uninstaller that this
// one replaces: an update finds them there already and does not make them, yet they are
// the product's, to be removed once empty. An unreadable record, or one that is a link,
// gives none; of a record, only plain paths are taken.
std::vector<std::string> EarlierFolders(const TPlatform& Platform, const std::string& ExePath)
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
    std::vector<std::string> Folders;
    for (const std::string& Folder : Earlier.Folders)
        if (!PlainPathFault(Folder))
            Folders.push_back(Folder);
    return Folders;
}

} // namespace

void TQeInstall::CreateUninstaller(const std::string& ExePath, const std::string& LinkPath)
{
    InstallLog.push_back({LinkPath, false});
    DoProgress("Creating unistaller ...", 1);
    MakeLoggedFolders(ExtractFileDir(ExePath));
    LogMadeFolders(EarlierFolders(FPlatform, ExePath));
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
    });
    DoProgress("Registering unistaller ...", 1);
    const std::string Key = UninstallKeyPrefix + ProgramName;
    const auto Root = TRegistryRoot::rrLocalMachine;
    FPlatform.Registry->WriteString(Root, Key, "DisplayName", ProgramName);
    FPlatform.Registry->WriteString(Root, Key, "UninstallString", ExePath);
    FPlatform.Registry->WriteString(Root, Key, "DisplayIcon", ExePath);
    MakeLoggedFolders(ExtractFileDir(LinkPath));
    WriteShellLink(FPlatform, ExePath, LinkPath);
}

} // namespace qe
