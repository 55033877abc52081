// The install run: packaged files into the chosen terminal folders and the program
// folder, the terminals' expert settings, the product's documents and shortcuts, and
// finally the uninstaller.
#include <algorithm>

#include "engine/InstallFiles.h"
#include "engine/PathMacros.h"
#include "engine/Uninstaller.h"
#include "package/Integrity.h"
#include "package/PayloadCipher.h"
#include "package/QeClasses.h"
#include "package/SubStreams.h"
#include "package/TargetPaths.h"
#include "platform/Paths.h"

namespace qe {
namespace {

constexpr int32_t ExpertsRecordSize = 292;
// The record's bytes that positions 1 to 8 of the override text control, in that order.
constexpr int ExpertsFlagOffsets[8] = {4, 8, 12, 36, 40, 20, 24, 28};

} // namespace

void TQeInstall::Execute()
{
    // Nothing on the machine changes before the whole package has proved sound: its
    // contents, and every path it names. The file it was loaded from serves the copies.
    TStream& Package = ProgramFile();
    TPackageCheck Check = CheckPackage(Package, *this);
    // Without a package the name is still the program folder's.
    if (const auto Fault = ProgramNameFault(ProgramName); Fault && !Check.HasPackage)
        Check.PackageFaults.push_back(*Fault);
    RefuseDamagedPackage(Check);

    const auto FolderCount = static_cast<int32_t>(TargetFolders.size());
    // Without a terminal folder the files aimed elsewhere are still installed, once.
    const bool NoTerminal = TargetFolders.empty();
    const auto CopyCount =
        NoTerminal ? static_cast<int32_t>(std::count_if(
                         Files.begin(), Files.end(), [](const auto& File) { return !IsTerminalTarget(File->Target); }))
                   : FolderCount * static_cast<int32_t>(Files.size());
    ProgressPosition = 0;
    ProgressMax = (ExpertsOverride.empty() ? 0 : FolderCount) + CopyCount + 10;

    const std::string AppDir = ProgramFolder(FPlatform, ProgramName);
    const std::string MenuDir = StartMenuFolder(FPlatform, ProgramName);
    RequirePlainFolder("the program folder", AppDir);
    RequirePlainFolder("the Start Menu folder", MenuDir);

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
        BuildMacros(FPlatform, ProgramName, Macros);
        const size_t Passes = NoTerminal ? 1 : TargetFolders.size();
        for (size_t I = 0; I < Passes; ++I) {
            if (!NoTerminal)
                Macros.SetValue(MetaTraderMacro, ExcludeTrailingDelimiter(TargetFolders[I]));
            for (const auto& File : Files) {
                // Later passes serve only what belongs in a terminal folder; a pass
                // without one serves only what does not.
                const bool ForTerminal = IsTerminalTarget(File->Target);
                if (NoTerminal ? ForTerminal : (I > 0 && !ForTerminal))
                    continue;
                Copies.emplace_back(File.get(), InstallPath(File->Target, Macros));
            }
        }
    }
    for (const auto& [File, Path] : Copies)
        Made.HoldWay(ExtractFileDir(Path));
    for (const std::string& Folder : GuardedFolders())
        Made.HoldWay(Folder);
    if (!ExpertsOverride.empty())
        for (const std::string& Folder : TargetFolders) {
            const std::string Config = IncludeTrailingDelimiter(Folder) + "config";
            RequirePlainFolder("the settings folder of the terminal", Config);
            Made.HoldWay(Config);
            TEntryKind Kind = TEntryKind::ekMissing;
            FPlatform.FileSystem->HoldAsItself(Config + "\\experts.ini", Kind);
            if (Kind == TEntryKind::ekLink || Kind == TEntryKind::ekUnknown)
                throw ELinkOnTheWay({Config + "\\experts.ini", Kind});
        }

    InstallLog.push_back({AppDir, true});
    InstallLog.push_back({MenuDir, true});
    for (const auto& [File, Path] : Copies)
        InstallPackagedFile(Package, *File, Path, MenuDir);

    if (!ExpertsOverride.empty())
        for (const std::string& Folder : TargetFolders) {
            DoProgress("Overriding MetaTrader settings in " + Folder + " ...", 1);
            OverrideExpertsIni(Folder);
        }

    InstallTextFile(AppDir + "\\Readme.rtf", MenuDir + "\\Readme.lnk", Readme);
    InstallTextFile(AppDir + "\\License.rtf", MenuDir + "\\License.lnk", License);
    InstallTextFile(AppDir + "\\What's New.rtf", MenuDir + "\\What's New.lnk", WhatsNew);

    std::string Site = Trim(Website);
    if (!Site.empty()) {
        // A site given with "https://" is taken as it stands, as one with "http://" is:
        // putting "http://" in front would make the link "http://https://...", which
        // opens nothing.
        if (Site.find("http://") == std::string::npos && Site.find("https://") == std::string::npos)
            Site = "http://" + Site;
        CreateUrlShortcut(MenuDir + "\\" + Publisher + " Website.url", Site);
    }
    if (!Trim(Email).empty()) {
        const std::string Address = ContactName.empty() ? Email : ContactName + " <" + Email + ">";
        CreateUrlShortcut(MenuDir + "\\Contact Email.url", "mailto:" + Address);
    }

    CreateUninstaller(AppDir + "\\Uninstall.exe", MenuDir + "\\Uninstall.lnk");
    DoProgress("Done.", 1);
}

std::vector<std::string> TQeInstall::GuardedFolders() const
{
    std::vector<std::string> Folders = TargetFolders;
    Folders.push_back(ProgramFolder(FPlatform, ProgramName));
    Folders.push_back(StartMenuFolder(FPlatform, ProgramName));
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
    DoProgress("Copying file " + Path + " ...", 1);
    InstallLog.push_back({Path, false});
    const auto Write = [&](TStream& Target) {
        const int64_t Start = File.PayloadOffset;
        TSubStream Window(Package, Start, Start + File.PayloadSize - 1);
        Window.SetPosition(0);
        CipherStream(Window, Target, PayloadKey.data(), PayloadKeySize, false);
        Target.Flush();
        // On the open file, after its last write: no second open by name.
        Target.SetFileTimes(TFileTimes{File.CreationTime, File.WriteTime, File.WriteTime});
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
    DoProgress("Copying file " + FilePath + " ...", 1);
    InstallLog.push_back({FilePath, false});
    MakeLoggedFolders(ExtractFileDir(FilePath));
    WriteWholeFile(FPlatform, FilePath, WithCrLfLines(Text));

    DoProgress("Creating shortcut " + LinkPath + " ...", 1);
    InstallLog.push_back({LinkPath, false});
    MakeLoggedFolders(ExtractFileDir(LinkPath));
    WriteShellLink(FPlatform, FilePath, LinkPath);
}

void TQeInstall::CreateUrlShortcut(const std::string& Path, const std::string& Url)
{
    if (Url.empty() || Url == "mailto:" || Url == "http://")
        return;
    DoProgress("Creating shortcut " + Path + " ...", 1);
    InstallLog.push_back({Path, false});
    MakeLoggedFolders(ExtractFileDir(Path));
    WriteWholeFile(FPlatform, Path, InternetShortcut(Url));
}

void TQeInstall::MakeLoggedFolders(const std::string& Dir)
{
    std::vector<std::string> Made;
    Folders().Force(Dir, &Made);
    LogMadeFolders(Made);
}

void TQeInstall::LogMadeFolders(const std::vector<std::string>& Made)
{
    for (const std::string& Folder : Made) {
        const bool Logged = std::any_of(InstallLog.begin(), InstallLog.end(), [&](const TInstallLogEntry& Entry) {
            return Entry.IsFolder && SameText(ExcludeTrailingDelimiter(Entry.Path), Folder);
        });
        const bool InTerminal =
            std::any_of(TargetFolders.begin(), TargetFolders.end(), [&](const std::string& Terminal) {
                return SameText(ExcludeTrailingDelimiter(Terminal), Folder) || IsInsideFolder(Folder, Terminal);
            });
        if (!Logged && !InTerminal)
            InstallLog.push_back({Folder, true});
    }
}

void TQeInstall::OverrideExpertsIni(const std::string& Folder)
{
    IFileSystem& Fs = *FPlatform.FileSystem;
    if (ExpertsOverride.size() < 8)
        ExpertsOverride.resize(8, ' ');
    const std::string Ini = IncludeTrailingDelimiter(Folder) + "config\\experts.ini";
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
