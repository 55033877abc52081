// The install and uninstall runs of a package that asks for the terminals' data folders:
// each file aimed at a terminal lands in its install folder and its data folder.
#include <algorithm>

#include "platform/Exceptions.h"
#include "platform/Paths.h"
#include "tests/engine/EngineFixture.h"
#include "tests/platform/TerminalDataSeed.h"

namespace qe::test {
namespace {

const std::string AppS = EngineTest::App;
const std::string MenuS = EngineTest::Menu;
const std::string T1S = EngineTest::T1;
const std::string T2S = EngineTest::T2;
// A terminal started with /portable: no data folder.
const std::string T3S = "D:\\Trading\\Portable MT4";

class DataFolderInstall : public EngineTest {
protected:
    DataFolderInstall()
    {
        M.FileSystem.AddFile(T3S + "\\terminal.exe", "");
        Contents.UseDataFolders = true;
        Contents.Files.push_back(MemoryFile("{metatrader}\\MQL4\\Experts\\Grid.ex4", "expert", "Grid"));
        Contents.Files.push_back(MemoryFile("{app}\\Manual.txt", "manual"));
        Contents.Files.push_back(
            MemoryFile("{MetaTrader}\\MQL4\\Indicators\\Levels.ex4", "indicator", "", 0, 130000000000000000ULL));
        // The layout of terminals before build 600 keeps its meaning.
        Contents.Files.push_back(MemoryFile("{metatrader}\\experts\\Old.mq4", "old"));
        // T1's data folder is named by its origin.txt, T2's by its ID alone.
        D1 = AddDataFolder(M, "8F0C7E0D5E2A4B1C9D3E6F7A8B9C0D1E", OriginBytes(u"C:\\Program Files\\MetaTrader 4"));
        D2 = AddDataFolder(M, TerminalDataId(M.Platform(), T2S));
    }

    // Every path below Folder.
    std::vector<std::string> Below(const std::string& Folder) const
    {
        std::vector<std::string> Paths;
        for (const std::string& Path : M.FileSystem.AllPaths())
            if (IsInsideFolder(Path, Folder))
                Paths.push_back(Path);
        return Paths;
    }

    std::string D1, D2;
};

TEST_F(DataFolderInstall, TerminalFilesLandInEachInstallFolderAndThenItsDataFolder)
{
    const std::string Root = TerminalDataRoot(M.Platform());
    const auto RootBefore = Below(Root);
    auto Install = Installed({T1S, T2S, T3S});

    // 3 terminals x 4 files, 2 data folders x 3 terminal files, and the fixed 10.
    EXPECT_EQ(Install->ProgressMax, 12 + 6 + 10);
    std::vector<std::string> Expected;
    for (const std::string& Folder : {T1S, D1, T2S, D2, T3S}) {
        Expected.push_back("Copying file " + Folder + "\\MQL4\\Experts\\Grid.ex4 ...");
        if (Folder == T1S)
            Expected.push_back("Copying file " + AppS + "\\Manual.txt ...");
        Expected.push_back("Copying file " + Folder + "\\MQL4\\Indicators\\Levels.ex4 ...");
        Expected.push_back("Copying file " + Folder + "\\experts\\Old.mq4 ...");
    }
    for (const char* Line : {"Creating unistaller ...", "Registering unistaller ...", "Done."})
        Expected.push_back(Line);
    EXPECT_EQ(Texts(), Expected);

    for (const std::string& Folder : {T1S, D1, T2S, D2, T3S}) {
        EXPECT_EQ(M.FileSystem.FileContents(Folder + "\\MQL4\\Experts\\Grid.ex4"), "expert") << Folder;
        EXPECT_EQ(M.FileSystem.FileContents(Folder + "\\experts\\Old.mq4"), "old") << Folder;
        TFileTimes Times;
        ASSERT_TRUE(M.FileSystem.GetFileTimes(Folder + "\\MQL4\\Indicators\\Levels.ex4", Times));
        EXPECT_EQ(Times.LastWriteTime, 130000000000000000ULL) << Folder;
    }
    EXPECT_FALSE(M.FileSystem.FileExists(D1 + "\\Manual.txt"));
    // No data folder is made for the portable terminal: the only new paths under the
    // root are the copies in the two data folders and the folders they needed.
    std::vector<std::string> Added;
    for (const std::string& Path : Below(Root))
        if (std::find(RootBefore.begin(), RootBefore.end(), Path) == RootBefore.end())
            Added.push_back(Path.substr(Root.size() + 1));
    const std::string N1 = ExtractFileName(D1), N2 = ExtractFileName(D2);
    const std::vector<std::string> Made = {
        N1 + "\\experts",
        N1 + "\\experts\\Old.mq4",
        N1 + "\\MQL4\\Experts\\Grid.ex4",
        N1 + "\\MQL4\\Indicators",
        N1 + "\\MQL4\\Indicators\\Levels.ex4",
        N2 + "\\experts",
        N2 + "\\experts\\Old.mq4",
        N2 + "\\MQL4\\Experts\\Grid.ex4",
        N2 + "\\MQL4\\Indicators",
        N2 + "\\MQL4\\Indicators\\Levels.ex4",
    };
    auto Sorted = [](std::vector<std::string> Paths) {
        std::sort(Paths.begin(), Paths.end(), [](const auto& A, const auto& B) { return UpperCase(A) < UpperCase(B); });
        return Paths;
    };
    EXPECT_EQ(Sorted(Added), Sorted(Made));

    // Every copy is in the record, but no folder in a terminal's trees; the shortcut
    // follows the copy written last, in the last data folder served.
    std::vector<std::string> LoggedFiles, LoggedFolders;
    for (const TInstallLogEntry& Entry : Install->InstallLog)
        (Entry.IsFolder ? LoggedFolders : LoggedFiles).push_back(Entry.Path);
    for (const std::string& Folder : {T1S, D1, T2S, D2, T3S})
        for (const char* File : {"\\MQL4\\Experts\\Grid.ex4", "\\MQL4\\Indicators\\Levels.ex4", "\\experts\\Old.mq4"})
            EXPECT_EQ(std::count(LoggedFiles.begin(), LoggedFiles.end(), Folder + File), 1) << Folder + File;
    EXPECT_EQ(LoggedFolders, (std::vector<std::string>{AppS, MenuS}));
    EXPECT_EQ(LinkTarget(MenuS + "\\Grid.lnk"), T3S + "\\MQL4\\Experts\\Grid.ex4 | " + T3S + "\\MQL4\\Experts");
}

TEST_F(DataFolderInstall, TheUninstallTakesTheCopiesAndLeavesTheDataFoldersAndTheUsersFiles)
{
    Installed({T1S, T2S});
    M.FileSystem.AddFile(D1 + "\\MQL4\\Experts\\Mine.ex4", "the user's own");
    M.FileSystem.AddFile(D2 + "\\MQL4\\Indicators\\Theirs.ex4", "another vendor's");

    auto Uninstall = LoadUninstaller();
    Uninstall->Execute();
    for (const std::string& Folder : {T1S, D1, T2S, D2}) {
        EXPECT_FALSE(M.FileSystem.FileExists(Folder + "\\MQL4\\Experts\\Grid.ex4")) << Folder;
        EXPECT_FALSE(M.FileSystem.FileExists(Folder + "\\experts\\Old.mq4")) << Folder;
        // The folders stay, those the install made in the data folders too, even empty.
        for (const char* Kept : {"\\MQL4\\Experts", "\\MQL4\\Indicators", "\\experts"})
            EXPECT_TRUE(M.FileSystem.FolderExists(Folder + Kept)) << Folder + Kept;
    }
    EXPECT_EQ(M.FileSystem.FileContents(D1 + "\\MQL4\\Experts\\Mine.ex4"), "the user's own");
    EXPECT_EQ(M.FileSystem.FileContents(D2 + "\\MQL4\\Indicators\\Theirs.ex4"), "another vendor's");
    for (const std::string& Folder : Uninstall->Folders)
        EXPECT_FALSE(IsInsideFolder(Folder, TerminalDataRoot(M.Platform()))) << Folder;
    EXPECT_EQ(Texts().back(), "Done.");
}

TEST_F(DataFolderInstall, TheSettingsOverrideChangesOnlyAWholeRecordThatADataFolderHolds)
{
    const std::string D3 = AddDataFolder(M, TerminalDataId(M.Platform(), T3S));
    std::string Whole(300, '\x05');
    Whole[4] = 0;
    M.FileSystem.AddFile(D1 + "\\config\\experts.ini", Whole);
    M.FileSystem.AddFile(D2 + "\\config\\experts.ini", std::string(100, '\x05'));
    Contents.ExpertsOverride = "1";
    Contents.Files.clear();
    auto Install = Installed({T1S, T2S, T3S});

    EXPECT_EQ(Install->ProgressMax, 3 + 3 + 10);
    const std::vector<std::string> Expected = {
        "Overriding MetaTrader settings in " + T1S + " ...",
        "Overriding MetaTrader settings in " + D1 + " ...",
        "Overriding MetaTrader settings in " + T2S + " ...",
        "Overriding MetaTrader settings in " + T3S + " ...",
        "Creating unistaller ...",
        "Registering unistaller ...",
        "Done.",
    };
    EXPECT_EQ(Texts(), Expected);
    std::string Changed = Whole;
    Changed[4] = 1;
    EXPECT_EQ(M.FileSystem.FileContents(D1 + "\\config\\experts.ini"), Changed);
    EXPECT_EQ(M.FileSystem.FileContents(D2 + "\\config\\experts.ini"), std::string(100, '\x05'));
    EXPECT_FALSE(M.FileSystem.FolderExists(D3 + "\\config"));
    // The install folders get their settings as always, made when missing.
    for (const std::string& Folder : {T1S, T2S, T3S})
        EXPECT_EQ(M.FileSystem.FileContents(Folder + "\\config\\experts.ini").size(), 292u) << Folder;
}

TEST_F(DataFolderInstall, APackageWithoutTheRecordInstallsOnlyIntoTheChosenFolders)
{
    Contents.UseDataFolders = false;
    Contents.ExpertsOverride = "1";
    M.FileSystem.AddFile(D1 + "\\config\\experts.ini", std::string(292, '\0'));
    const auto RootBefore = Below(TerminalDataRoot(M.Platform()));
    auto Install = Installed({T1S, T2S});

    EXPECT_EQ(Install->ProgressMax, 2 + 2 * 4 + 10);
    std::vector<std::string> Expected = {
        "Copying file " + T1S + "\\MQL4\\Experts\\Grid.ex4 ...",
        "Copying file " + AppS + "\\Manual.txt ...",
        "Copying file " + T1S + "\\MQL4\\Indicators\\Levels.ex4 ...",
        "Copying file " + T1S + "\\experts\\Old.mq4 ...",
        "Copying file " + T2S + "\\MQL4\\Experts\\Grid.ex4 ...",
        "Copying file " + T2S + "\\MQL4\\Indicators\\Levels.ex4 ...",
        "Copying file " + T2S + "\\experts\\Old.mq4 ...",
        "Overriding MetaTrader settings in " + T1S + " ...",
        "Overriding MetaTrader settings in " + T2S + " ...",
        "Creating unistaller ...",
        "Registering unistaller ...",
        "Done.",
    };
    EXPECT_EQ(Texts(), Expected);
    EXPECT_EQ(Below(TerminalDataRoot(M.Platform())), RootBefore);
    EXPECT_EQ(M.FileSystem.FileContents(D1 + "\\config\\experts.ini"), std::string(292, '\0'));
}

TEST_F(DataFolderInstall, AFileInUseInADataFolderEndsTheRunWithItsMessage)
{
    M.FileSystem.AddFile(D1 + "\\MQL4\\Experts\\Grid.ex4", "a copy the terminal holds");
    M.FileSystem.SetInUse(D1 + "\\MQL4\\Experts\\Grid.ex4", true);
    auto Install = LoadInstaller();
    Install->TargetFolders = {T1S, T2S};
    try {
        Install->Execute();
        FAIL() << "no error";
    } catch (const EFCreateError& Error) {
        EXPECT_EQ(Error.Message().rfind("Cannot create file \"" + D1 + "\\MQL4\\Experts\\Grid.ex4", 0), 0u)
            << Error.Message();
    }
    EXPECT_EQ(Texts().back(), "Copying file " + D1 + "\\MQL4\\Experts\\Grid.ex4 ...");
    EXPECT_EQ(M.FileSystem.FileContents(T1S + "\\MQL4\\Experts\\Grid.ex4"), "expert");
    EXPECT_FALSE(M.FileSystem.FileExists(AppS + "\\Uninstall.exe"));
}

} // namespace
} // namespace qe::test
