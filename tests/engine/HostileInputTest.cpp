// The runs work with an administrator's rights on input from others: installers made by
// the project's own package writer whose paths and names would take the run elsewhere,
// an installer file swapped while the wizard is open, links planted in a terminal
// folder, and uninstall records written to remove what is not theirs.
#include "engine/PathMacros.h"
#include "language/Languages.h"
#include "package/QeUninstall.h"
#include "platform/Paths.h"
#include "tests/engine/EngineFixture.h"
#include "tests/engine/MachineSnapshot.h"
#include "tests/platform/TerminalDataSeed.h"

namespace qe::test {
namespace {

const std::string AppS = EngineTest::App;
const std::string MenuS = EngineTest::Menu;
const std::string T1S = EngineTest::T1;
const std::string Windows = "C:\\WINDOWS";
const auto LM = TRegistryRoot::rrLocalMachine;
const std::string UninstallKeys = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

class HostileRun : public EngineTest {
protected:
    // The message the install run ends with, or "(installed)"; in the language of Language
    // when given.
    std::string InstallError(const std::vector<std::string>& Terminals = {T1S}, const TTextTable* Language = nullptr)
    {
        auto Install = LoadInstaller();
        Install->TargetFolders = Terminals;
        if (Language != nullptr)
            Install->Texts = Language;
        try {
            Install->Execute();
        } catch (const Exception& E) {
            return E.Message();
        }
        return "(installed)";
    }
    // Installs Contents: the run must end with a message that starts with Expected, and
    // leave the machine as it was.
    void ExpectRefusedUnchanged(const std::string& What, const std::string& Expected)
    {
        WriteInstallerFile();
        const TMachineSnapshot Before = Snapshot(M);
        const std::string Message = InstallError();
        EXPECT_EQ(Message.substr(0, Expected.size()), Expected) << What << ": " << Message;
        EXPECT_TRUE(Snapshot(M) == Before) << What << ": the machine changed";
    }
};

TEST_F(HostileRun, TargetsThatWindowsWouldTakeElsewhereAreRefusedBeforeAnythingIsWritten)
{
    const std::vector<std::string> Targets = {
        "{app}\\..\\..\\x.txt", "{metatrader}\\..\\..\\x", "C:\\x.txt",
        "\\\\?\\C:\\x.txt",     "\\\\.\\C:\\x.txt",        "\\\\server\\share\\x.txt",
        "{app}\\NUL",           "{app}\\con.txt",          "{app}\\trail.txt. ",
        "{app}\\dots...",       "{app}\\PROGRA~1\\x.txt",  "{app}\\Docs\\.\\x.txt",
        "{foo}\\x.txt",         "{app}\\{windir}\\x.txt",  "{app}\\\\x.txt",
        "{app}x.txt",
    };
    for (const std::string& Target : Targets) {
        Contents.Files = {MemoryFile("{app}\\Manual.txt", "m"), MemoryFile(Target, "x")};
        ExpectRefusedUnchanged(Target, "The installer is damaged: the target \"" + Target + "\"");
    }
    // The shortcut and the website shortcut name places below the Start Menu folder.
    Contents.Files = {MemoryFile("{app}\\a.txt", "a", "..\\..\\Startup\\evil")};
    ExpectRefusedUnchanged("shortcut", "The installer is damaged: the shortcut \"..\\..\\Startup\\evil\"");
    Contents.Files = {MemoryFile("{app}\\a.txt", "a")};
    Contents.Publisher = "..\\..\\..\\..\\..\\..\\WINDOWS\\evil";
    Contents.Website = "www.example.com";
    ExpectRefusedUnchanged("publisher", "The installer is damaged: the website shortcut \"..\\..\\");
}

TEST_F(HostileRun, ProductNamesThatLeaveProgramFilesAreRefused)
{
    Contents.Files = {MemoryFile("{app}\\Manual.txt", "m")};
    for (const std::string Name : {"..\\..\\x", "..", "Grid\\Expert", "NUL", "Grid. ", "", "{windir}"}) {
        Contents.ProgramName = Name;
        ExpectRefusedUnchanged(Name, "The installer is damaged: the product name \"" + Name + "\"");
    }
    EXPECT_FALSE(M.FileSystem.FileExists("C:\\x\\Uninstall.exe"));
}

// A ":" ends a name: the parent of "...\a.txt:" is itself. Making its folders recursed
// until the stack ran out, after the first files were written.
TEST_F(HostileRun, AColonInATargetOrTheProductNameEndsNothingHalfWay)
{
    Contents.Files = {MemoryFile("{app}\\Manual.txt", "m"), MemoryFile("{app}\\a.txt:", "x")};
    ExpectRefusedUnchanged("target", "The installer is damaged: the target \"{app}\\a.txt:\"");
    Contents.Files = {MemoryFile("{app}\\Manual.txt", "m"), MemoryFile("{app}\\a.txt:stream", "x")};
    ExpectRefusedUnchanged("stream", "The installer is damaged: the target \"{app}\\a.txt:stream\"");
    Contents.Files = {MemoryFile("{app}\\Manual.txt", "m")};
    Contents.ProgramName = "Grid:";
    ExpectRefusedUnchanged("name", "The installer is damaged: the product name \"Grid:\"");
}

TEST_F(HostileRun, TheInstallerFileCannotBeSwappedWhileTheModelHoldsIt)
{
    Contents.Files = {MemoryFile("{app}\\Manual.txt", "m")};
    auto Install = LoadInstaller();
    const std::string Genuine = M.FileSystem.FileContents(sim::TSimPlatform::ExePath);
    // Another program of the same user: the installer renamed, and a program of its own,
    // carrying the same package, put in its place.
    std::string Evil = Genuine;
    Evil.replace(200, 4, "EVIL");
    try {
        M.FileSystem.RenameFile(sim::TSimPlatform::ExePath, "C:\\Users\\User\\Downloads\\renamed.exe");
        M.FileSystem.AddFile(sim::TSimPlatform::ExePath, Evil);
    } catch (const EFCreateError&) {
        // Held open since it was loaded: it stays what it is.
    }
    Install->TargetFolders = {T1S};
    Install->Execute();
    const std::string Uninstaller = M.FileSystem.FileContents(AppS + "\\Uninstall.exe");
    EXPECT_EQ(Uninstaller.substr(0, StubSize), Genuine.substr(0, StubSize));
}

TEST_F(HostileRun, AFolderLinkInATerminalIsRefusedBeforeAnythingIsWritten)
{
    // A terminal in a folder its user may change, with its libraries linked to the system.
    M.FileSystem.AddLink(T1S + "\\MQL4\\Libraries", Windows + "\\system32", true);
    Contents.Files = {MemoryFile("{app}\\Manual.txt", "m"),
                      MemoryFile("{metatrader}\\MQL4\\Libraries\\Grid.dll", "dll")};
    ExpectRefusedUnchanged("link", "\"" + T1S + "\\MQL4\\Libraries\" leads to another place");
    EXPECT_FALSE(M.FileSystem.FileExists(Windows + "\\system32\\Grid.dll"));
}

TEST_F(HostileRun, ALinkUnderTheNameBesideATargetIsNotWrittenThrough)
{
    M.FileSystem.AddFile(Windows + "\\system32\\victim.dll", "system");
    M.FileSystem.AddFile(T1S + "\\MQL4\\Experts\\Grid.ex4", "old");
    M.FileSystem.AddLink(T1S + "\\MQL4\\Experts\\Grid.ex4.~qe", Windows + "\\system32\\victim.dll", false);
    Contents.Files = {MemoryFile("{metatrader}\\MQL4\\Experts\\Grid.ex4", "new expert")};
    EXPECT_EQ(InstallError(), "(installed)");
    EXPECT_EQ(M.FileSystem.FileContents(Windows + "\\system32\\victim.dll"), "system");
    EXPECT_EQ(M.FileSystem.FileContents(T1S + "\\MQL4\\Experts\\Grid.ex4"), "new expert");
}

TEST_F(HostileRun, ALinkedSettingsFileIsNeitherReadNorRewritten)
{
    M.FileSystem.AddFile(Windows + "\\secret.ini", std::string(300, 's'));
    M.FileSystem.AddLink(T1S + "\\config\\experts.ini", Windows + "\\secret.ini", false);
    Contents.Files = {MemoryFile("{app}\\Manual.txt", "m")};
    Contents.ExpertsOverride = "1";
    ExpectRefusedUnchanged("settings", "\"" + T1S + "\\config\\experts.ini\" leads to another place");
    EXPECT_EQ(M.FileSystem.FileContents(Windows + "\\secret.ini"), std::string(300, 's'));
}

TEST_F(HostileRun, TheUninstallDeletesNothingThroughALinkedTerminalFolder)
{
    Contents.Files = {MemoryFile("{metatrader}\\MQL4\\Experts\\Grid.ex4", "expert")};
    Installed({T1S});
    // Afterwards the user's folder of experts becomes a link to a folder of someone else's
    // that holds a file of the same name.
    M.FileSystem.AddFile("C:\\Users\\Other\\Grid.ex4", "someone else's");
    M.FileSystem.RemoveFile(T1S + "\\MQL4\\Experts\\Grid.ex4");
    M.FileSystem.RemoveFolder(T1S + "\\MQL4\\Experts");
    M.FileSystem.AddLink(T1S + "\\MQL4\\Experts", "C:\\Users\\Other", true);
    Lines.clear();
    LoadUninstaller()->Execute();
    EXPECT_EQ(M.FileSystem.FileContents("C:\\Users\\Other\\Grid.ex4"), "someone else's");
    EXPECT_EQ(Texts()[0], "Not deleting file " + T1S + "\\MQL4\\Experts\\Grid.ex4: \"" + T1S +
                              "\\MQL4\\Experts\" on its way leads to another place (a junction or symbolic link).");
}

// Every refusal reaches the user in the wizard's language, naming the file or folder.
TEST_F(HostileRun, RefusalsAreToldInTheWizardsLanguage)
{
    const TTextTable German = LoadTexts("de");
    const TTextTable Japanese = LoadTexts("ja");
    // A target that leaves its folder, in the damaged installer's box.
    Contents.Files = {MemoryFile("{app}\\Manual.txt", "m"), MemoryFile("{app}\\..\\x.txt", "x")};
    EXPECT_EQ(InstallError({T1S}, &German),
              "Das Installationsprogramm ist beschädigt: das Ziel „{app}\\..\\x.txt“ kann nicht installiert werden: "
              "„..“ würde den Ordner verlassen. Bitte laden Sie es erneut herunter.");
    Contents.Files = {MemoryFile("{app}\\Manual.txt", "m")};
    Contents.ProgramName = "Grid:";
    EXPECT_EQ(InstallError({T1S}, &Japanese),
              "インストーラーが破損しています: 製品名 \"Grid:\" はフォルダー名にできません: \"Grid:\" に Windows "
              "が名前に使用できない文字 : が含まれています。もう一度ダウンロードしてください。");
    Contents.ProgramName = "Grid Expert";

    // A terminal folder on a network share.
    Contents.Files = {MemoryFile("{metatrader}\\a.txt", "a")};
    EXPECT_EQ(InstallError({"\\\\server\\share\\MT4"}, &German),
              "Der Ordner von {metatrader}, „\\\\server\\share\\MT4“, ist kein einfacher lokaler Ordner, daher kann "
              "{metatrader}\\a.txt nicht installiert werden (es wäre „\\\\server\\share\\MT4\\a.txt“: der Pfad ist "
              "ein Geräte-, Langpfad- oder Netzwerkpfad (\\\\?\\, \\\\.\\ oder \\\\Server\\)).");

    // A link on the way to a file the run would write; nothing is written.
    M.FileSystem.AddLink(T1S + "\\MQL4\\Libraries", Windows + "\\system32", true);
    Contents.Files = {MemoryFile("{metatrader}\\MQL4\\Libraries\\Grid.dll", "dll")};
    WriteInstallerFile();
    const TMachineSnapshot Before = Snapshot(M);
    EXPECT_EQ(
        InstallError({T1S}, &Japanese),
        "\"" + T1S +
            "\\MQL4\\Libraries\" は別の場所を指しています: それ自体またはその上位のフォルダーがディレクトリ "
            "ジャンクションまたはシンボリック リンクであり、インストーラーはリンクを経由して書き込むことはありません。"
            "リンクを削除するか、別のフォルダーを選択してください。");
    EXPECT_TRUE(Snapshot(M) == Before);
    // In English the run's words are the folder layer's own.
    const std::string English = InstallError();
    EXPECT_EQ(English, ELinkOnTheWay({T1S + "\\MQL4\\Libraries", TEntryKind::ekLink}).Message());
    EXPECT_TRUE(English.starts_with("\"" + T1S + "\\MQL4\\Libraries\" leads to another place: ")) << English;

    // The uninstall passes over what lies behind a link, and says why in its progress line.
    Contents.Files = {MemoryFile("{metatrader}\\MQL4\\Experts\\Grid.ex4", "expert")};
    Installed({T1S});
    M.FileSystem.RemoveFile(T1S + "\\MQL4\\Experts\\Grid.ex4");
    M.FileSystem.RemoveFolder(T1S + "\\MQL4\\Experts");
    M.FileSystem.AddLink(T1S + "\\MQL4\\Experts", "C:\\Users\\Other", true);
    Lines.clear();
    auto Uninstall = LoadUninstaller();
    Uninstall->Texts = &German;
    Uninstall->Execute();
    EXPECT_EQ(Texts()[0], "Datei " + T1S + "\\MQL4\\Experts\\Grid.ex4 wird nicht gelöscht: „" + T1S +
                              "\\MQL4\\Experts“ auf dem Weg dorthin führt an einen anderen Ort (eine "
                              "Verzeichnisverbindung oder symbolische Verknüpfung).");
}

// The terminal's data folder lies in the user's own profile: links there are refused as in
// the terminal's folder, for the copies and for the settings file.
TEST_F(HostileRun, LinksInADataFolderAreRefusedBeforeAnythingIsWritten)
{
    M.FileSystem.AddFile(Windows + "\\secret.ini", std::string(300, 's'));
    const std::string Data = AddDataFolder(M, TerminalDataId(M.Platform(), T1S));
    Contents.UseDataFolders = true;
    Contents.Files = {MemoryFile("{app}\\Manual.txt", "m"), MemoryFile("{metatrader}\\MQL4\\Scripts\\Grid.ex4", "g")};
    M.FileSystem.AddLink(Data + "\\MQL4\\Scripts", Windows, true);
    ExpectRefusedUnchanged("scripts", "\"" + Data + "\\MQL4\\Scripts\" leads to another place");
    EXPECT_FALSE(M.FileSystem.FileExists(Windows + "\\Grid.ex4"));

    M.FileSystem.RemoveFolder(Data + "\\MQL4\\Scripts");
    M.FileSystem.AddLink(Data + "\\config\\experts.ini", Windows + "\\secret.ini", false);
    Contents.ExpertsOverride = "1";
    ExpectRefusedUnchanged("settings", "\"" + Data + "\\config\\experts.ini\" leads to another place");
    EXPECT_EQ(M.FileSystem.FileContents(Windows + "\\secret.ini"), std::string(300, 's'));

    // The data folder itself a link: into the system folder.
    M.FileSystem.RemoveFile(Data + "\\config\\experts.ini");
    const std::string Moved = TerminalDataRoot(M.Platform()) + "\\Elsewhere";
    M.FileSystem.AddFolders(Moved);
    M.FileSystem.AddFolders(Windows + "\\MQL4");
    M.FileSystem.AddLink(TerminalDataRoot(M.Platform()) + "\\Linked", Windows, true);
    M.FileSystem.AddFile(TerminalDataRoot(M.Platform()) + "\\Linked\\origin.txt",
                         OriginBytes(u"C:\\Program Files\\MetaTrader 4"));
    Contents.ExpertsOverride.clear();
    ExpectRefusedUnchanged("data folder", "\"" + TerminalDataRoot(M.Platform()) + "\\Linked\" leads to another place");
}

TEST_F(HostileRun, AnotherProgramsEntryOfTheSameNameIsWrittenOverNotDeleted)
{
    M.Registry.SetString(LM, UninstallKeys + "Grid Expert", "UninstallString", "C:\\Other\\Uninstall.exe");
    M.Registry.SetString(LM, UninstallKeys + "Grid Expert\\Parts", "DisplayName", "Part");
    Contents.Files = {MemoryFile("{app}\\Manual.txt", "m")};
    Installed({T1S});
    EXPECT_TRUE(M.Registry.KeyExists(LM, UninstallKeys + "Grid Expert\\Parts"));
    std::string Value;
    ASSERT_TRUE(M.Registry.ReadString(LM, UninstallKeys + "Grid Expert", "UninstallString", false, Value));
    EXPECT_EQ(Value, "\"" + AppS + "\\Uninstall.exe\"");
    // Its own earlier entry goes whole, so that no value of the earlier install stays.
    M.Registry.SetString(LM, UninstallKeys + "Grid Expert", "Comments", "of the earlier install");
    Installed({T1S});
    EXPECT_FALSE(M.Registry.KeyExists(LM, UninstallKeys + "Grid Expert\\Parts"));
    EXPECT_FALSE(M.Registry.ReadString(LM, UninstallKeys + "Grid Expert", "Comments", false, Value));
}

class CraftedRecord : public EngineTest {
protected:
    // An uninstaller at its usual place whose record lists Files and Folders for the
    // product Name, written by the project's own record writer.
    std::unique_ptr<TQeUninstall> Craft(const std::string& Name, const std::vector<std::string>& Files,
                                        const std::vector<std::string>& Folders)
    {
        TQeInstall Writer(M.Platform());
        Writer.ProgramName = Name;
        for (const std::string& Folder : Folders)
            Writer.InstallLog.push_back({Folder, true});
        for (const std::string& File : Files)
            Writer.InstallLog.push_back({File, false});
        TMemoryStream Exe(std::vector<uint8_t>(StubSize, 0));
        Exe.Seek(0, TSeekOrigin::soEnd);
        Writer.WriteUninstallRecord(Exe);
        M.FileSystem.AddFile(AppS + "\\Uninstall.exe", std::string(Exe.Bytes().begin(), Exe.Bytes().end()));
        return LoadUninstaller();
    }
};

TEST_F(CraftedRecord, PathsInAnotherSpellingThanThePlainOneAreSkippedAndLogged)
{
    const std::string Docs = sim::TSimPlatform::Documents;
    const std::string Programs = sim::TSimPlatform::CommonPrograms;
    M.FileSystem.AddFile(Windows + "\\win.ini", "system");
    M.FileSystem.AddFile(Docs + "\\letter.txt", "the user's");
    M.FileSystem.AddFolders(Docs + "\\Private");
    ASSERT_TRUE(M.FileSystem.ListFolder(Programs).empty());
    auto Uninstall =
        Craft("Grid Expert",
              {AppS + "\\..\\..\\WINDOWS\\win.ini", Docs + "\\.\\letter.txt", "\\\\?\\" + Docs + "\\letter.txt",
               Docs + "\\letter.txt. ", "\\\\server\\share\\x.txt", "letter.txt"},
              {Docs + "\\Private\\.", Programs + "\\.", Programs + "\\..\\Programs"});
    Uninstall->Execute();
    EXPECT_EQ(M.FileSystem.FileContents(Windows + "\\win.ini"), "system");
    EXPECT_EQ(M.FileSystem.FileContents(Docs + "\\letter.txt"), "the user's");
    EXPECT_TRUE(M.FileSystem.FolderExists(Docs + "\\Private"));
    EXPECT_TRUE(M.FileSystem.FolderExists(Programs));
    EXPECT_EQ(Texts()[0], "Not deleting file " + AppS +
                              "\\..\\..\\WINDOWS\\win.ini: it is no plain path (\"..\" would leave the folder).");
    EXPECT_EQ(Texts()[7], "Not removing folder " + Programs + "\\.: other programs share it.");
}

// An update carries the earlier record's files and folders over into its own: only those
// in the plain spelling, which its uninstall would remove, are taken.
TEST_F(CraftedRecord, AnUpdateCarriesOverOnlyPlainPathsOfTheEarlierRecord)
{
    const std::string Docs = sim::TSimPlatform::Documents;
    M.FileSystem.AddFile(Docs + "\\letter.txt", "the user's");
    M.FileSystem.AddFile(AppS + "\\Old.txt", "old");
    Craft("Grid Expert", {AppS + "\\Old.txt", AppS + "\\..\\..\\Users\\User\\Documents\\letter.txt"},
          {AppS + "\\Old", Docs + "\\."});
    Contents.Files = {MemoryFile("{app}\\Manual.txt", "m")};
    auto Install = Installed({T1S});
    const auto Listed = [&](const std::string& Path) {
        return std::any_of(Install->InstallLog.begin(), Install->InstallLog.end(),
                           [&](const TInstallLogEntry& Entry) { return Entry.Path == Path; });
    };
    EXPECT_TRUE(Listed(AppS + "\\Old.txt"));
    EXPECT_TRUE(Listed(AppS + "\\Old"));
    EXPECT_FALSE(Listed(AppS + "\\..\\..\\Users\\User\\Documents\\letter.txt"));
    EXPECT_FALSE(Listed(Docs + "\\."));
    LoadUninstaller()->Execute();
    EXPECT_EQ(M.FileSystem.FileContents(Docs + "\\letter.txt"), "the user's");
    EXPECT_FALSE(M.FileSystem.FileExists(AppS + "\\Old.txt"));
}

// A record for the current user only: its program folder is checked as any path, and the
// folder that holds every user's program of this kind stays.
TEST_F(CraftedRecord, AUsersRecordIsCheckedAsEveryUsersIs)
{
    const std::string UserPrograms = std::string(sim::TSimPlatform::LocalAppData) + "\\Programs";
    const std::string UserApp = UserPrograms + "\\Grid Expert";
    M.FileSystem.AddFile("C:\\Users\\Other\\Grid Expert\\Manual.txt", "someone else's");
    M.FileSystem.AddLink(UserApp, "C:\\Users\\Other\\Grid Expert", true);
    TQeInstall Writer(M.Platform());
    Writer.ProgramName = "Grid Expert";
    Writer.Scope = TInstallScope::CurrentUser;
    Writer.InstallLog = {{UserPrograms, true}, {UserApp, true}, {UserApp + "\\Manual.txt", false}};
    TMemoryStream Exe(std::vector<uint8_t>(StubSize, 0));
    Exe.Seek(0, TSeekOrigin::soEnd);
    Writer.WriteUninstallRecord(Exe);
    M.FileSystem.AddFile("C:\\Users\\User\\Uninstall.exe", std::string(Exe.Bytes().begin(), Exe.Bytes().end()));
    M.Registry.SetString(TRegistryRoot::rrCurrentUser, UninstallKeys + "Grid Expert", "UninstallString",
                         "\"C:\\Users\\User\\Uninstall.exe\"");
    LoadUninstaller("C:\\Users\\User\\Uninstall.exe")->Execute();
    EXPECT_EQ(M.FileSystem.FileContents("C:\\Users\\Other\\Grid Expert\\Manual.txt"), "someone else's");
    EXPECT_TRUE(M.FileSystem.FolderExists(UserPrograms));
    EXPECT_EQ(Texts()[0], "Not deleting file " + UserApp + "\\Manual.txt: \"" + UserApp +
                              "\" on its way leads to another place (a junction or symbolic link).");
    EXPECT_FALSE(M.Registry.KeyExists(TRegistryRoot::rrCurrentUser, UninstallKeys + "Grid Expert"));
}

TEST_F(CraftedRecord, OnlyTheProductsOwnEntryIsUnregistered)
{
    // Another product's entry, with a key below it.
    M.Registry.SetString(LM, UninstallKeys + "Other Product", "UninstallString",
                         "C:\\Program Files\\Other Product\\Uninstall.exe");
    M.Registry.SetString(LM, UninstallKeys + "Other Product\\Parts", "DisplayName", "Part");
    M.Registry.SetString(LM, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", "Keep", "x");
    for (const std::string Name : {"Other Product", "..\\Run", "Other Product\\Parts", "."}) {
        Lines.clear();
        Craft(Name, {}, {})->Execute();
        EXPECT_EQ(Texts()[0].rfind("Not unregistering the uninstaller: ", 0), 0u) << Name << ": " << Texts()[0];
    }
    EXPECT_TRUE(M.Registry.KeyExists(LM, UninstallKeys + "Other Product\\Parts"));
    EXPECT_TRUE(M.Registry.KeyExists(LM, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run"));

    // The product's own entry names this uninstaller: it goes.
    M.Registry.SetString(LM, UninstallKeys + "Grid Expert", "UninstallString", AppS + "\\Uninstall.exe");
    Lines.clear();
    Craft("Grid Expert", {}, {})->Execute();
    EXPECT_EQ(Texts()[0], "Unregistering uninstaller ...");
    EXPECT_FALSE(M.Registry.KeyExists(LM, UninstallKeys + "Grid Expert"));
}

} // namespace
} // namespace qe::test
