// The install run: packaged files into the chosen terminal folders and the program
// folder, the terminals' expert settings, the product's documents and shortcuts, and
// finally the uninstaller.
#include <algorithm>

#include "engine/InstallFiles.h"
#include "engine/InstallScope.h"
#include "engine/PathMacros.h"
#include "engine/Uninstaller.h"
#include "package/Integrity.h"
#include "package/PayloadCipher.h"
#include "package/QeClasses.h"
#include "package/SubStreams.h"
#include "package/TargetPaths.h"
#include "platform/Paths.h"
#include "platform/TerminalDataFolders.h"

namespace qe {
namespace {

constexpr int32_t ExpertsRecordSize = 292;
// The record's bytes that positions 1 to 8 of the override text control, in that order.
constexpr int ExpertsFlagOffsets[8] = {4, 8, 12, 36, 40, 20, 24, 28};

std::string ExpertsIni(const std::string& Folder)
{
    return IncludeTrailingDelimiter(Folder) + "config\\experts.ini";
}

// Whether the folder's settings file holds a whole record: in a data folder the terminal
// makes that file, and the run only changes one the terminal has written. A link there is
// no file of the terminal's.
bool HoldsExpertsRecord(IFileSystem& FileSystem, const std::string& Folder)
{
    const std::string Ini = ExpertsIni(Folder);
    TEntryKind Kind = TEntryKind::ekMissing;
    const auto Hold = FileSystem.HoldAsItself(Ini, Kind);
    return Kind == TEntryKind::ekFile && FileSystem.OpenForReading(Ini)->GetSize() >= ExpertsRecordSize;
}

} // namespace

void TQeInstall::Execute()
{
    try {
        ExecuteSteps();
    } catch (const ELinkOnTheWay& Link) {
        // The folder layer speaks English; the user reads the wizard's language.
        throw ELinkOnTheWay(Link.Way(), LinkOnTheWayMessage(Link.Way(), *Texts));
    } catch (const ENoUserFolder& Missing) {
        throw ENoUserFolder(Missing.Text(), *Texts);
    }
}

void TQeInstall::ExecuteSteps()
{
    // Nothing on the machine changes before the whole package has proved sound: its
    // contents, and every path it names. The file it was loaded from serves the copies.
    TStream& Package = ProgramFile();
    TPackageCheck Check = CheckPackage(Package, *this);
    // Without a package the name is still the program folder's.
    if (const auto Fault = ProgramNameFault(ProgramName, *Texts); Fault && !Check.HasPackage)
        Check.PackageFaults.push_back(*Fault);
    RefuseDamagedPackage(Check, *this);

    // Each chosen terminal folder is served, then its data folder, from which a terminal
    // of today reads its add-ons; like any later pass a data folder takes only the files
    // aimed at a terminal. For the current user only, a terminal folder the user may not
    // change (one under Program Files) is passed over: its data folder is the user's.
    FDataFolders.assign(TargetFolders.size(), std::string());
    if (UseDataFolders) {
        const TTerminalDataFolders DataFolders(FPlatform);
        for (size_t I = 0; I < TargetFolders.size(); ++I)
            FDataFolders[I] = DataFolders.Find(TargetFolders[I]);
    }
    std::vector<bool> Served(TargetFolders.size(), true);
    std::vector<std::string> Passes;
    int32_t FolderCount = 0;
    for (size_t I = 0; I < TargetFolders.size(); ++I) {
        Served[I] = Scope == TInstallScope::Machine || CanWriteIn(FPlatform, TargetFolders[I]);
        if (Served[I]) {
            Passes.push_back(TargetFolders[I]);
            ++FolderCount;
        }
        if (!FDataFolders[I].empty())
            Passes.push_back(FDataFolders[I]);
    }
    const auto DataFolderCount = static_cast<int32_t>(Passes.size()) - FolderCount;
    const auto FileCount = static_cast<int32_t>(Files.size());
    const auto TerminalFileCount = static_cast<int32_t>(
        std::count_if(Files.begin(), Files.end(), [](const auto& File) { return IsTerminalTarget(File->Target); }));
    // Without a terminal folder the files aimed elsewhere are still installed, once.
    const bool NoTerminal = Passes.empty();
    const auto CopyCount =
        NoTerminal ? FileCount - TerminalFileCount : FolderCount * FileCount + DataFolderCount * TerminalFileCount;
    ProgressPosition = 0;
    ProgressMax = (ExpertsOverride.empty() ? 0 : FolderCount + DataFolderCount) + CopyCount + 10;
    FInstalledBytes = 0;

    const std::string AppDir = ProgramFolder(FPlatform, ProgramName, Scope);
    const std::string MenuDir = StartMenuFolder(FPlatform, ProgramName, Scope);
    RequirePlainFolder(TText::MessageUnusableProgramFolder, AppDir, *Texts);
    RequirePlainFolder(TText::MessageUnusableStartMenuFolder, MenuDir, *Texts);

    // Every file's path in every pass, and every folder on the way to the folders the run
    // writes into, is checked before the first is written. The folders stay held until
    // the run ends, however it ends.
    FFolders.reset();
    const struct TRelease {
        std::unique_ptr<TFolderMaker>& Folders;
        ~TRelease() { Folders.reset(); }
    } Release{FFolders};
    TFolderMaker& Made = Folders();
    std::vector<std::pair<const TQeInstallFile*, std::string>> Copies;
    {
        TMacroList Macros;
        BuildMacros(FPlatform, ProgramName, Scope, Macros);
        for (size_t I = 0; I < (NoTerminal ? 1 : Passes.size()); ++I) {
            if (!NoTerminal)
                Macros.SetValue(MetaTraderMacro, ExcludeTrailingDelimiter(Passes[I]));
            for (const auto& File : Files) {
                // Later passes serve only what belongs in a terminal folder; a pass
                // without one serves only what does not.
                const bool ForTerminal = IsTerminalTarget(File->Target);
                if (NoTerminal ? ForTerminal : (I > 0 && !ForTerminal))
                    continue;
                Copies.emplace_back(File.get(), InstallPath(File->Target, Macros, *Texts));
            }
        }
    }
    for (const auto& [File, Path] : Copies)
        Made.HoldWay(ExtractFileDir(Path));
    for (const std::string& Folder : GuardedFolders())
        Made.HoldWay(Folder);
    // The settings files the run may rewrite: of each terminal folder served, and of each
    // data folder.
    if (!ExpertsOverride.empty())
        for (const std::string& Folder : Passes) {
            const std::string Config = IncludeTrailingDelimiter(Folder) + "config";
            RequirePlainFolder(TText::MessageUnusableSettingsFolder, Config, *Texts);
            Made.HoldWay(Config);
            TEntryKind Kind = TEntryKind::ekMissing;
            FPlatform.FileSystem->HoldAsItself(ExpertsIni(Folder), Kind);
            if (Kind == TEntryKind::ekLink || Kind == TEntryKind::ekUnknown)
                throw ELinkOnTheWay({ExpertsIni(Folder), Kind});
        }

    InstallLog.push_back({AppDir, true});
    InstallLog.push_back({MenuDir, true});
    for (size_t I = 0; I < TargetFolders.size(); ++I)
        if (!Served[I])
            DoProgress(Texts->Format(TText::ProgressSkippingFolder, {TargetFolders[I]}), 1);
    for (const auto& [File, Path] : Copies)
        InstallPackagedFile(Package, *File, Path, MenuDir);

    if (!ExpertsOverride.empty())
        for (size_t I = 0; I < TargetFolders.size(); ++I) {
            if (Served[I]) {
                DoProgress(Texts->Format(TText::ProgressOverridingSettings, {TargetFolders[I]}), 1);
                OverrideExpertsIni(TargetFolders[I]);
            }
            const std::string& DataFolder = FDataFolders[I];
            if (!DataFolder.empty() && HoldsExpertsRecord(*FPlatform.FileSystem, DataFolder)) {
                DoProgress(Texts->Format(TText::ProgressOverridingSettings, {DataFolder}), 1);
                OverrideExpertsIni(DataFolder);
            }
        }

    InstallTextFile(DocumentFileName(AppDir + "\\Readme", Readme), MenuDir + "\\Readme.lnk", Readme);
    InstallTextFile(DocumentFileName(AppDir + "\\License", License), MenuDir + "\\License.lnk", License);
    InstallTextFile(DocumentFileName(AppDir + "\\What's New", WhatsNew), MenuDir + "\\What's New.lnk", WhatsNew);

    const std::string Site = WebsiteUrl(Website);
    if (!Site.empty())
        CreateUrlShortcut(MenuDir + "\\" + Publisher + " Website.url", Site);
    if (!Trim(Email).empty()) {
        const std::string Address = ContactName.empty() ? Email : ContactName + " <" + Email + ">";
        CreateUrlShortcut(MenuDir + "\\Contact Email.url", "mailto:" + Address);
    }

    CreateUninstaller(AppDir + "\\Uninstall.exe", MenuDir + "\\Uninstall.lnk");
    DoProgress(Texts->Format(TText::ProgressDone), 1);
}

std::vector<std::string> TQeInstall::GuardedFolders() const
{
    std::vector<std::string> Folders = TargetFolders;
    for (const std::string& Folder : FDataFolders)
        if (!Folder.empty())
            Folders.push_back(Folder);
    Folders.push_back(ProgramFolder(FPlatform, ProgramName, Scope));
    Folders.push_back(StartMenuFolder(FPlatform, ProgramName, Scope));
    return Folders;
}

TFolderMaker& TQeInstall::Folders()
{
    if (!FFolders) {
        FFolders = std::make_unique<TFolderMaker>(*FPlatform.FileSystem);
        for (const std::string& Folder : GuardedFolders())
            FFolders->Guard(Folder);
    }
    return *FFolders;
}

void TQeInstall::InstallPackagedFile(TStream& Package, const TQeInstallFile& File, const std::string& Path,
                                     const std::string& MenuDir)
{
    std::vector<std::string> Made;
    Folders().Force(ExtractFileDir(Path), &Made);
    LogMadeFolders(Made);
    DoProgress(Texts->Format(TText::ProgressCopyingFile, {Path}), 1);
    InstallLog.push_back({Path, false});
    const auto Write = [&](TStream& Target) {
        const int64_t Start = File.PayloadOffset;
        TSubStream Window(Package, Start, Start + File.PayloadSize - 1);
        Window.SetPosition(0);
        CipherStream(Window, Target, PayloadKey.data(), PayloadKeySize, false);
        Target.Flush();
        // On the open file, after its last write: no second open by name.
        Target.SetFileTimes(TFileTimes{File.CreationTime, File.WriteTime, File.WriteTime});
        FInstalledBytes += Target.GetSize();
    };
    WriteFileSafely(FPlatform, Path, Write);

    if (!File.ShortcutName.empty()) {
        const std::string Link = MenuDir + "\\" + File.ShortcutName + ".lnk";
        Made.clear();
        Folders().Force(ExtractFileDir(Link), &Made);
        WriteShellLink(FPlatform, Path, Link);
        LogMadeFolders(Made);
        InstallLog.push_back({Link, false});
    }
}

void TQeInstall::InstallTextFile(const std::string& FilePath, const std::string& LinkPath, const std::string& Text)
{
    if (Text.empty())
        return;
    DoProgress(Texts->Format(TText::ProgressCopyingFile, {FilePath}), 1);
    InstallLog.push_back({FilePath, false});
    MakeLoggedFolders(ExtractFileDir(FilePath));
    const std::string Bytes = DocumentFileBytes(Text);
    WriteWholeFile(FPlatform, FilePath, Bytes);
    FInstalledBytes += static_cast<int64_t>(Bytes.size());

    DoProgress(Texts->Format(TText::ProgressCreatingShortcut, {LinkPath}), 1);
    InstallLog.push_back({LinkPath, false});
    MakeLoggedFolders(ExtractFileDir(LinkPath));
    WriteShellLink(FPlatform, FilePath, LinkPath);
}

void TQeInstall::CreateUrlShortcut(const std::string& Path, const std::string& Url)
{
    if (Url.empty() || Url == "mailto:" || Url == "http://")
        return;
    DoProgress(Texts->Format(TText::ProgressCreatingShortcut, {Path}), 1);
    InstallLog.push_back({Path, false});
    MakeLoggedFolders(ExtractFileDir(Path));
    const std::string Shortcut = InternetShortcut(Url);
    WriteWholeFile(FPlatform, Path, Shortcut);
    FInstalledBytes += static_cast<int64_t>(Shortcut.size());
}

void TQeInstall::MakeLoggedFolders(const std::string& Dir)
{
    std::vector<std::string> Made;
    Folders().Force(Dir, &Made);
    LogMadeFolders(Made);
}

void TQeInstall::LogMadeFolders(const std::vector<std::string>& Made)
{
    if (Made.empty())
        return;
    const std::vector<std::string> Shared = SharedFolders(FPlatform);
    for (const std::string& Folder : Made) {
        const bool Logged = std::any_of(InstallLog.begin(), InstallLog.end(), [&](const TInstallLogEntry& Entry) {
            return Entry.IsFolder && SameText(ExcludeTrailingDelimiter(Entry.Path), Folder);
        });
        const auto Inside = [&](const std::string& Terminal) {
            return SameText(ExcludeTrailingDelimiter(Terminal), Folder) || IsInsideFolder(Folder, Terminal);
        };
        const bool InTerminal = std::any_of(TargetFolders.begin(), TargetFolders.end(), Inside) ||
                                std::any_of(FDataFolders.begin(), FDataFolders.end(), Inside);
        if (!Logged && !InTerminal && !IsSharedFolder(Shared, Folder))
            InstallLog.push_back({Folder, true});
    }
}

void TQeInstall::OverrideExpertsIni(const std::string& Folder)
{
    IFileSystem& Fs = *FPlatform.FileSystem;
    if (ExpertsOverride.size() < 8)
        ExpertsOverride.resize(8, ' ');
    const std::string Ini = ExpertsIni(Folder);
    Folders().Force(IncludeTrailingDelimiter(Folder) + "config");

    std::string Record(ExpertsRecordSize, '\0');
    Record[0] = static_cast<char>(0x90);
    Record[1] = 1;
    // Bytes after the record belong to the terminal and are written back unchanged. The
    // file is read as itself: a link there would bring another file's bytes into it.
    std::string Tail;
    {
        TEntryKind Kind = TEntryKind::ekMissing;
        const auto Hold = Fs.HoldAsItself(Ini, Kind);
        if (Kind == TEntryKind::ekLink || Kind == TEntryKind::ekUnknown)
            throw ELinkOnTheWay({Ini, Kind});
        if (Kind == TEntryKind::ekFile) {
            auto Old = Fs.OpenForReading(Ini);
            const int32_t Got = Old->Read(Record.data(), ExpertsRecordSize);
            if (Got == ExpertsRecordSize) {
                char Buffer[4096];
                for (int32_t N; (N = Old->Read(Buffer, sizeof(Buffer))) > 0;)
                    Tail.append(Buffer, static_cast<size_t>(N));
            }
        }
    }
    for (int N = 0; N < 8; ++N) {
        const char Flag = ExpertsOverride[static_cast<size_t>(N)];
        if (Flag != ' ')
            Record[static_cast<size_t>(ExpertsFlagOffsets[N])] = Flag == '1' ? 1 : 0;
    }
    WriteWholeFile(FPlatform, Ini, Record + Tail);
}

} // namespace qe
