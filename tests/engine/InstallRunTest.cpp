// The install run on a simulated machine.
#include <algorithm>
#include <map>

#include "engine/PathMacros.h"
#include "platform/Paths.h"
#include "platform/SysFolders.h"
#include "platform/sim/ForwardingPlatform.h"
#include "tests/engine/EngineFixture.h"

namespace qe::test {
namespace {

using InstallRun = EngineTest;
const std::string MenuS = EngineTest::Menu;
const std::string AppS = EngineTest::App;
const std::string T1S = EngineTest::T1;
const std::string T2S = EngineTest::T2;

// Counts what costs the system a lookup by name: folder tests, folders opened as
// themselves and setting times by path.
class TCountingDisk : public sim::TForwardingFileSystem {
public:
    using TForwardingFileSystem::TForwardingFileSystem;
    bool GetAttributes(const std::string& Path, uint32_t& Attributes) override
    {
        ++Lookups[Path];
        return FInner.GetAttributes(Path, Attributes);
    }
    std::unique_ptr<TEntryHold> HoldAsItself(const std::string& Path, TEntryKind& Kind) override
    {
        ++Lookups[Path];
        return FInner.HoldAsItself(Path, Kind);
    }
    bool SetFileTimes(const std::string& Path, const TFileTimes& Times) override
    {
        ++TimesByName;
        return FInner.SetFileTimes(Path, Times);
    }
    std::map<std::string, int> Lookups;
    int TimesByName = 0;
};

class InstallRunCalls : public EngineTest {
protected:
    const TPlatform& Platform() override { return FCounted; }
    TCountingDisk Disk{M.FileSystem};
    TPlatform FCounted = [this] {
        TPlatform P = M.Platform();
        P.FileSystem = &Disk;
        return P;
    }();
};

TEST_F(InstallRunCalls, ManyFilesInOneFolderLookItUpOnceNotTheirNamesAndGetTheirTimesOnTheOpenFile)
{
    for (int I = 0; I < 20; ++I)
        Contents.Files.push_back(MemoryFile("{app}\\data\\f" + std::to_string(I) + ".txt", std::string(I, 'x'), "",
                                            131000000000000000ULL + I, 132000000000000000ULL + I));
    // One of them there before, named in other letters.
    M.FileSystem.AddFile(AppS + "\\data\\F7.TXT", "older");
    Installed({T1S});
    EXPECT_EQ(Disk.TimesByName, 0);
    EXPECT_EQ(Disk.Lookups[AppS + "\\data"], 1);
    EXPECT_EQ(M.FileSystem.ListFolder(AppS + "\\data").size(), 20u);
    for (int I = 0; I < 20; ++I) {
        const std::string Path = AppS + "\\data\\f" + std::to_string(I) + ".txt";
        // A name known not to be there is not looked up before its file is made.
        EXPECT_EQ(Disk.Lookups[Path], I == 7 ? 1 : 0) << Path;
        EXPECT_EQ(M.FileSystem.FileContents(Path), std::string(I, 'x'));
        TFileTimes Times;
        ASSERT_TRUE(M.FileSystem.GetFileTimes(Path, Times));
        EXPECT_EQ(Times.CreationTime, 131000000000000000ULL + I);
        EXPECT_EQ(Times.LastWriteTime, 132000000000000000ULL + I);
    }
}

TEST_F(InstallRun, LaterTerminalPassesServeOnlyTerminalFiles)
{
    Contents.Files.push_back(MemoryFile("{metatrader}\\experts\\GridExpert.mq4", "expert source", "",
                                        131000000000000000ULL, 132000000000000000ULL));
    Contents.Files.push_back(MemoryFile("{app}\\Manual.txt", std::string(40000, 'm')));
    auto Install = Installed({T1S, T2S});

    EXPECT_EQ(Install->ProgressMax, 14);
    const std::vector<std::string> Expected = {
        "Copying file " + T1S + "\\experts\\GridExpert.mq4 ...",
        "Copying file " + AppS + "\\Manual.txt ...",
        "Copying file " + T2S + "\\experts\\GridExpert.mq4 ...",
        "Creating unistaller ...",
        "Registering unistaller ...",
        "Done.",
    };
    EXPECT_EQ(Texts(), Expected);
    EXPECT_EQ(Lines.back().Percent, 43); // 6 of 14
    EXPECT_EQ(M.FileSystem.FileContents(T2S + "\\experts\\GridExpert.mq4"), "expert source");
    EXPECT_EQ(M.FileSystem.FileContents(AppS + "\\Manual.txt"), std::string(40000, 'm'));
    TFileTimes Times;
    ASSERT_TRUE(M.FileSystem.GetFileTimes(T1S + "\\experts\\GridExpert.mq4", Times));
    EXPECT_EQ(Times.CreationTime, 131000000000000000ULL);
    EXPECT_EQ(Times.LastAccessTime, 132000000000000000ULL);
    EXPECT_EQ(Times.LastWriteTime, 132000000000000000ULL);

    const std::vector<TInstallLogEntry> Log = Install->InstallLog;
    ASSERT_EQ(Log.size(), 6u);
    EXPECT_TRUE(Log[0].IsFolder && Log[0].Path == AppS);
    EXPECT_TRUE(Log[1].IsFolder && Log[1].Path == MenuS);
    EXPECT_EQ(Log[4].Path, T2S + "\\experts\\GridExpert.mq4");
    EXPECT_EQ(Log[5].Path, MenuS + "\\Uninstall.lnk");
}

TEST_F(InstallRun, EveryStepOfAFullPackageInOrderWithPercentsPastTheBudget)
{
    Contents.Readme = "{\\rtf1 Readme}";
    Contents.License = "{\\rtf1 License}";
    Contents.WhatsNew = "{\\rtf1 New}";
    Contents.Publisher = "Quant Edge";
    Contents.Website = "www.quantedge.example";
    Contents.ContactName = "Support";
    Contents.Email = "support@quantedge.example";
    Contents.Files.push_back(MemoryFile("{metatrader}\\experts\\a.mq4", "a"));
    auto Run = Installed({T1S});
    EXPECT_EQ(Run->ProgressMax, 11);
    const std::vector<TProgressLine> Expected = {
        {"Copying file " + T1S + "\\experts\\a.mq4 ...", 9},
        {"Copying file " + AppS + "\\Readme.rtf ...", 18},
        {"Creating shortcut " + MenuS + "\\Readme.lnk ...", 27},
        {"Copying file " + AppS + "\\License.rtf ...", 36},
        {"Creating shortcut " + MenuS + "\\License.lnk ...", 45},
        {"Copying file " + AppS + "\\What's New.rtf ...", 55},
        {"Creating shortcut " + MenuS + "\\What's New.lnk ...", 64},
        {"Creating shortcut " + MenuS + "\\Quant Edge Website.url ...", 73},
        {"Creating shortcut " + MenuS + "\\Contact Email.url ...", 82},
        {"Creating unistaller ...", 91},
        {"Registering unistaller ...", 100},
        {"Done.", 109},
    };
    EXPECT_EQ(Lines, Expected);
    EXPECT_EQ(M.FileSystem.FileContents(MenuS + "\\Quant Edge Website.url"),
              "[InternetShortcut]\r\nURL=http://www.quantedge.example\r\n\r\n");
    EXPECT_EQ(M.FileSystem.FileContents(MenuS + "\\Contact Email.url"),
              "[InternetShortcut]\r\nURL=mailto:Support <support@quantedge.example>\r\n\r\n");
    EXPECT_EQ(LinkTarget(MenuS + "\\What's New.lnk"), AppS + "\\What's New.rtf | " + AppS);
    EXPECT_EQ(LinkTarget(MenuS + "\\Uninstall.lnk"), AppS + "\\Uninstall.exe | " + AppS);
}

// Documents are written with CR LF lines: RTF as ".rtf", as it is; plain text as ".txt",
// UTF-8 after a byte-order mark, so that every editor on Windows reads it right.
TEST_F(InstallRun, DocumentsAreWrittenAsRtfOrUtf8TextWithCrLfLines)
{
    Contents.Readme = "Строка 1\nline 2\r\n网格 3\rlast";
    Contents.License = "{\\rtf1 one line}\n";
    Installed({});
    EXPECT_EQ(M.FileSystem.FileContents(AppS + "\\Readme.txt"), "\xEF\xBB\xBFСтрока 1\r\nline 2\r\n网格 3\r\nlast\r\n");
    EXPECT_EQ(M.FileSystem.FileContents(AppS + "\\License.rtf"), "{\\rtf1 one line}\r\n");
    EXPECT_EQ(LinkTarget(MenuS + "\\Readme.lnk"), AppS + "\\Readme.txt | " + AppS);
    EXPECT_EQ(LinkTarget(MenuS + "\\License.lnk"), AppS + "\\License.rtf | " + AppS);
    EXPECT_FALSE(M.FileSystem.FileExists(AppS + "\\Readme.rtf"));
    EXPECT_FALSE(M.FileSystem.FileExists(AppS + "\\What's New.rtf"));
    EXPECT_FALSE(M.FileSystem.FileExists(AppS + "\\What's New.txt"));
    EXPECT_FALSE(M.FileSystem.FileExists(MenuS + "\\What's New.lnk"));
}

TEST_F(InstallRun, ATerminalFileWithAShortcutIsLinkedTwiceToTheLastCopy)
{
    Contents.Files.push_back(MemoryFile("{metatrader}\\experts\\a.mq4", "a", "Experts\\Grid Expert"));
    auto Install = Installed({T1S, T2S});
    const std::string Link = MenuS + "\\Experts\\Grid Expert.lnk";
    EXPECT_EQ(LinkTarget(Link), T2S + "\\experts\\a.mq4 | " + T2S + "\\experts");
    int Listed = 0;
    for (const auto& Entry : Install->InstallLog)
        Listed += Entry.Path == Link ? 1 : 0;
    EXPECT_EQ(Listed, 2);
    // The shortcut takes no progress step of its own.
    EXPECT_EQ(Lines.size(), 5u);
}

TEST_F(InstallRun, WithoutTerminalsTheFilesAimedElsewhereAreInstalledOnce)
{
    Contents.Files.push_back(MemoryFile("{metatrader}\\experts\\a.mq4", "a", "Grid Expert"));
    Contents.Files.push_back(MemoryFile("{app}\\b.txt", "b", "Manual"));
    Contents.Files.push_back(MemoryFile("{mydocuments}\\c.set", "c"));
    Contents.ExpertsOverride = "1";
    Contents.Readme = "{\\rtf1 r}";
    auto Install = Installed({});
    EXPECT_EQ(Install->ProgressMax, 12);
    const std::vector<std::string> Expected = {
        "Copying file " + AppS + "\\b.txt ...",
        "Copying file C:\\Users\\User\\Documents\\c.set ...",
        "Copying file " + AppS + "\\Readme.rtf ...",
        "Creating shortcut " + MenuS + "\\Readme.lnk ...",
        "Creating unistaller ...",
        "Registering unistaller ...",
        "Done.",
    };
    EXPECT_EQ(Texts(), Expected);
    EXPECT_EQ(M.FileSystem.FileContents(AppS + "\\b.txt"), "b");
    EXPECT_EQ(LinkTarget(MenuS + "\\Manual.lnk"), AppS + "\\b.txt | " + AppS);
    EXPECT_FALSE(M.FileSystem.FileExists(MenuS + "\\Grid Expert.lnk"));
    // No "{metatrader}" left unexpanded anywhere: the terminal's file went nowhere.
    for (const std::string& Path : M.FileSystem.AllPaths())
        EXPECT_EQ(Path.find('{'), std::string::npos) << Path;
    // The uninstaller removes what was installed.
    auto Uninstall = LoadUninstaller();
    Uninstall->Execute();
    EXPECT_FALSE(M.FileSystem.FileExists(AppS + "\\b.txt"));
    EXPECT_FALSE(M.FileSystem.FileExists("C:\\Users\\User\\Documents\\c.set"));
}

TEST_F(InstallRun, ExistingTargetsAreReplacedAndGetThePackageTimes)
{
    M.FileSystem.AddFile(AppS + "\\b.txt", "an older and longer version");
    Contents.Files.push_back(MemoryFile("{app}\\b.txt", "new", "", 0, 130000000000000000ULL));
    Installed({T1S});
    EXPECT_EQ(M.FileSystem.FileContents(AppS + "\\b.txt"), "new");
    TFileTimes Times;
    ASSERT_TRUE(M.FileSystem.GetFileTimes(AppS + "\\b.txt", Times));
    EXPECT_EQ(Times.LastWriteTime, 130000000000000000ULL);
}

TEST_F(InstallRun, WebsiteAndEmailRules)
{
    struct TCase {
        std::string Publisher, Website, ContactName, Email;
        std::string SiteFile, SiteUrl, MailUrl;
    };
    const std::vector<TCase> Cases = {
        {"Quant", " \texample.com\r\n", "", "a@b.c", "Quant Website.url", "http://example.com", "mailto:a@b.c"},
        {"", "http://", " Ann ", "a@b.c", "", "", "mailto: Ann  <a@b.c>"},
        {"", "see http://x.example", "Ann", " ", " Website.url", "see http://x.example", ""},
        {"Q", "https://secure.example", "Ann", "", "Q Website.url", "https://secure.example", ""},
        {"Q", "", "Ann", "Ann <a@b.c>", "", "", "mailto:Ann <Ann <a@b.c>>"},
        // The file is 8-bit text in whatever code page the system has: beyond ASCII, an
        // address carries its UTF-8 bytes in "%" form; the file's name is the publisher's.
        {"Рога и Копыта", "пример.рф", "Иван", "ivan@пример.рф", "Рога и Копыта Website.url",
         "http://%D0%BF%D1%80%D0%B8%D0%BC%D0%B5%D1%80.%D1%80%D1%84",
         "mailto:%D0%98%D0%B2%D0%B0%D0%BD <ivan@%D0%BF%D1%80%D0%B8%D0%BC%D0%B5%D1%80.%D1%80%D1%84>"},
    };
    for (const TCase& Case : Cases) {
        Contents.Publisher = Case.Publisher;
        Contents.Website = Case.Website;
        Contents.ContactName = Case.ContactName;
        Contents.Email = Case.Email;
        Lines.clear();
        for (const auto& Entry : M.FileSystem.ListFolder(MenuS))
            M.FileSystem.RemoveFile(MenuS + "\\" + Entry.Name);
        Installed({});
        const auto Files = M.FileSystem.ListFolder(MenuS);
        std::vector<std::string> Names;
        for (const auto& Entry : Files)
            Names.push_back(Entry.Name);
        std::vector<std::string> ExpectedNames;
        if (!Case.MailUrl.empty())
            ExpectedNames.push_back("Contact Email.url");
        if (!Case.SiteFile.empty())
            ExpectedNames.push_back(Case.SiteFile);
        ExpectedNames.push_back("Uninstall.lnk");
        std::sort(ExpectedNames.begin(), ExpectedNames.end(),
                  [](const std::string& A, const std::string& B) { return UpperCase(A) < UpperCase(B); });
        EXPECT_EQ(Names, ExpectedNames) << Case.Website << " / " << Case.Email;
        if (!Case.SiteFile.empty()) {
            EXPECT_EQ(M.FileSystem.FileContents(MenuS + "\\" + Case.SiteFile),
                      "[InternetShortcut]\r\nURL=" + Case.SiteUrl + "\r\n\r\n");
        }
        if (!Case.MailUrl.empty()) {
            EXPECT_EQ(M.FileSystem.FileContents(MenuS + "\\Contact Email.url"),
                      "[InternetShortcut]\r\nURL=" + Case.MailUrl + "\r\n\r\n");
        }
        EXPECT_EQ(Lines.size(), 3u + Names.size() - 1u);
    }
}

TEST_F(InstallRun, OverrideSetsKeepsAndClearsFlagsAndKeepsTheRestOfTheFile)
{
    // T1 has a settings file longer than the record; T2 has none.
    std::string Old(400, '\0');
    for (size_t I = 0; I < Old.size(); ++I)
        Old[I] = static_cast<char>(I % 7 == 0 ? 1 : (I % 5) + 2);
    Old[4] = 0;
    Old[12] = 1;
    M.FileSystem.AddFile(T1S + "\\config\\experts.ini", Old);
    Contents.ExpertsOverride = "1 0";
    auto Install = Installed({T1S, T2S});
    EXPECT_EQ(Install->ExpertsOverride, "1 0     ");
    EXPECT_EQ(Install->ProgressMax, 2 + 0 + 10);
    EXPECT_EQ(Texts()[0], "Overriding MetaTrader settings in " + T1S + " ...");
    EXPECT_EQ(Texts()[1], "Overriding MetaTrader settings in " + T2S + " ...");

    std::string Expected = Old;
    Expected[4] = 1;
    Expected[12] = 0;
    EXPECT_EQ(M.FileSystem.FileContents(T1S + "\\config\\experts.ini"), Expected);

    std::string Default(292, '\0');
    Default[0] = static_cast<char>(0x90);
    Default[1] = 1;
    Default[4] = 1;
    EXPECT_EQ(M.FileSystem.FileContents(T2S + "\\config\\experts.ini"), Default);
    for (const auto& Entry : Install->InstallLog)
        EXPECT_EQ(Entry.Path.find("experts.ini"), std::string::npos);
}

TEST_F(InstallRun, TheBudgetCountsOverridesAndEveryFileOfEveryTerminal)
{
    Contents.ExpertsOverride = "1";
    Contents.Files.push_back(MemoryFile("{metatrader}\\a.mq4", "a"));
    Contents.Files.push_back(MemoryFile("{metatrader}\\b.mq4", "b"));
    Contents.Files.push_back(MemoryFile("{app}\\c.txt", "c"));
    auto Install = Installed({T1S, T2S});
    EXPECT_EQ(Install->ProgressMax, 2 + 2 * 3 + 10);
    // 3 + 2 copies, 2 overrides, the uninstaller's 2 steps and "Done.".
    ASSERT_EQ(Lines.size(), 10u);
    EXPECT_EQ(Lines[4].Text, "Copying file " + T2S + "\\b.mq4 ...");
    EXPECT_EQ(Lines[4].Percent, 28);
    EXPECT_EQ(Lines[6].Text, "Overriding MetaTrader settings in " + T2S + " ...");
    EXPECT_EQ(Lines.back().Percent, 56);
}

TEST_F(InstallRun, AMacroWhoseFolderIsUnknownEndsTheRunBeforeAnythingIsWritten)
{
    // Without a documents folder "{mydocuments}\\q\\x.txt" would be "\\q\\x.txt": the root of
    // whichever drive is current.
    M.FileSystem.SetCurrentFolder("C:\\Users\\User\\Downloads");
    M.Registry.RemoveValue(TRegistryRoot::rrCurrentUser, ShellFoldersKey, "Personal");
    Contents.Files.push_back(MemoryFile("{app}\\a.txt", "a"));
    Contents.Files.push_back(MemoryFile("{mydocuments}\\q\\x.txt", "q"));
    WriteInstallerFile();
    const auto Before = M.FileSystem.AllPaths();
    auto Install = OpenInstaller();
    Install->TargetFolders = {T1S};
    try {
        Install->Execute();
        FAIL() << "installed";
    } catch (const EUnusableFolder& E) {
        EXPECT_EQ(E.Message(),
                  "The folder of {mydocuments} is not known on this computer, so {mydocuments}\\q\\x.txt cannot be "
                  "installed");
    }
    EXPECT_EQ(M.FileSystem.AllPaths(), Before);
    EXPECT_TRUE(Lines.empty());

    // A terminal folder chosen on a network share is no folder the run can check.
    Contents.Files = {MemoryFile("{metatrader}\\a.txt", "a")};
    Install.reset();
    Install = LoadInstaller();
    Install->TargetFolders = {"\\\\server\\share\\MT4"};
    try {
        Install->Execute();
        FAIL() << "installed";
    } catch (const EUnusableFolder& E) {
        EXPECT_EQ(E.Message(),
                  "The folder of {metatrader}, \"\\\\server\\share\\MT4\", is no plain local folder, so "
                  "{metatrader}\\a.txt cannot be installed (it would be \"\\\\server\\share\\MT4\\a.txt\": it is "
                  "a device, long-path or network path (\\\\?\\, \\\\.\\ or \\\\server\\))");
    }
    EXPECT_EQ(M.FileSystem.AllPaths(), Before);
}

TEST_F(InstallRun, OverrideOfAShortSettingsFileAndOfAllEightFlags)
{
    M.FileSystem.AddFile(T1S + "\\config\\experts.ini", std::string(10, '\x07'));
    Contents.ExpertsOverride = "10x1 1 1";
    Installed({T1S});
    const std::string Ini = M.FileSystem.FileContents(T1S + "\\config\\experts.ini");
    ASSERT_EQ(Ini.size(), 292u);
    EXPECT_EQ(Ini.substr(0, 4), std::string(4, '\x07'));
    EXPECT_EQ(Ini[4], 1);
    EXPECT_EQ(Ini[8], 0);
    EXPECT_EQ(Ini[12], 0); // "x" counts as 0
    EXPECT_EQ(Ini[36], 1);
    EXPECT_EQ(Ini[40], 0); // blank beyond the old file: the default byte
    EXPECT_EQ(Ini[20], 1);
    EXPECT_EQ(Ini[24], 0);
    EXPECT_EQ(Ini[28], 1);
    EXPECT_EQ(Ini.substr(5, 3), std::string(3, '\x07'));
    EXPECT_EQ(Ini[41], 0);
}

} // namespace
} // namespace qe::test
