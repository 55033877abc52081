// The uninstaller: a copy of the running program without its package, with the
// uninstall record appended, registered in the Windows list of installed programs.
#include "engine/Uninstaller.h"

#include "engine/InstallFiles.h"
#include "package/PeImage.h"
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

// The folders that an earlier install of the product made, from the uninstaller that this
// one replaces: an update finds them there already and does not make them, yet they are
// the product's, to be removed once empty. An unreadable record gives none.
std::vector<std::string> EarlierFolders(const TPlatform& Platform, const std::string& ExePath)
{
    if (!Platform.FileSystem->FileExists(ExePath))
        return {};
    TQeUninstall Earlier(Platform);
    try {
        Earlier.LoadFromFile(ExePath);
    } catch (const Exception&) {
        return {};
    }
    return Earlier.Folders;
}

} // namespace

void TQeInstall::CreateUninstaller(const std::string& ExePath, const std::string& LinkPath)
{
    IFileSystem& Fs = *FPlatform.FileSystem;
    InstallLog.push_back({LinkPath, false});
    DoProgress("Creating unistaller ...", 1);
    MakeLoggedFolders(ExtractFileDir(ExePath));
    LogMadeFolders(EarlierFolders(FPlatform, ExePath));
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
            // A signed installer's signature stays behind with its package.
            ClearSignatureFields(Exe);
            Exe.Seek(0, TSeekOrigin::soEnd);
            WriteUninstallRecord(Exe);
        });
    }
    if (HasOwnUninstallKey(ProgramName)) {
        DoProgress("Registering unistaller ...", 1);
        const std::string Key = UninstallKeyPrefix + ProgramName;
        const auto Root = UninstallRoot(Scope);
        FPlatform.Registry->WriteString(Root, Key, "DisplayName", ProgramName);
        FPlatform.Registry->WriteString(Root, Key, "UninstallString", ExePath);
        FPlatform.Registry->WriteString(Root, Key, "DisplayIcon", ExePath);
    } else {
        DoProgress("Not registering the uninstaller: the package gives no program name.", 1);
    }
    WriteShellLink(FPlatform, ExePath, LinkPath);
}

} // namespace qe
