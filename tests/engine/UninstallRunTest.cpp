// The uninstall run after a real install run on the simulated machine.
#include <algorithm>
#include <chrono>
#include <map>

#include "engine/Uninstaller.h"
#include "platform/Paths.h"
#include "tests/engine/EngineFixture.h"

namespace qe::test {
namespace {

using UninstallRun = EngineTest;
const std::string AppS = EngineTest::App;
const std::string MenuS = EngineTest::Menu;
const std::string T1S = EngineTest::T1;
const std::string T2S = EngineTest::T2;

TEST_F(UninstallRun, RemovesWhatTheInstallCreatedAndLeavesTheUninstallerFolder)
{
    Contents.Readme = "r";
    Contents.Website = "example.com";
    Contents.Files.push_back(MemoryFile("{metatrader}\\MQL4\\Experts\\a.ex4", "a", "Tools\\Grid"));
    Contents.Files.push_back(MemoryFile("{app}\\Manual.txt", "m", "Manual"));
    Contents.ExpertsOverride = "1";
    const std::string Sibling = std::string(UninstallKeyPrefix) + "Grid Expert Pro";
    M.Registry.SetString(TRegistryRoot::rrLocalMachine, Sibling, "DisplayName", "Grid Expert Pro");
    auto Install = Installed({T1S, T2S});
    M.FileSystem.AddFile(T1S + "\\MQL4\\Experts\\mine.ex4", "the user's own");

    Lines.clear();
    auto Uninstall = LoadUninstaller();
    Uninstall->Execute();
    const size_t Steps = Uninstall->Files.size() + Uninstall->Folders.size() + 2;
    ASSERT_EQ(Lines.size(), Steps);
    EXPECT_EQ(Uninstall->ProgressMax, static_cast<int32_t>(Steps) - 1);
    EXPECT_EQ(Lines[0].Text, "Delete file " + T1S + "\\MQL4\\Experts\\a.ex4 ...");
    // The shortcut's subfolder, made by the install, goes before the folder holding it.
    EXPECT_EQ(Lines[Steps - 5].Text, "Remove folder " + AppS + " ...");
    EXPECT_EQ(Lines[Steps - 4].Text, "Remove folder " + MenuS + "\\Tools ...");
    EXPECT_EQ(Lines[Steps - 3].Text, "Remove folder " + MenuS + " ...");
    EXPECT_EQ(Lines[Steps - 2].Text, "Unregistering uninstaller ...");
    EXPECT_EQ(Lines.back().Text, "Done.");

    for (const std::string& File : Uninstall->Files)
        EXPECT_FALSE(M.FileSystem.FileExists(File)) << File;
    // The uninstaller keeps the program folder; its removal script deletes both later.
    EXPECT_TRUE(M.FileSystem.FileExists(AppS + "\\Uninstall.exe"));
    EXPECT_TRUE(M.FileSystem.FolderExists(AppS));
    EXPECT_FALSE(M.FileSystem.FileExists(AppS + "\\Readme.rtf"));
    EXPECT_FALSE(M.FileSystem.FolderExists(MenuS));
    // Terminal data that the install did not create stays, and so do the settings and
    // the folders made in the terminal's tree.
    EXPECT_EQ(M.FileSystem.FileContents(T1S + "\\MQL4\\Experts\\mine.ex4"), "the user's own");
    EXPECT_TRUE(M.FileSystem.FileExists(T2S + "\\config\\experts.ini"));
    EXPECT_TRUE(M.FileSystem.FolderExists(T2S + "\\MQL4\\Experts"));
    EXPECT_FALSE(M.Registry.KeyExists(TRegistryRoot::rrLocalMachine, std::string(UninstallKeyPrefix) + "Grid Expert"));
    // Only the program's own key goes: another program's entry beside it stays.
    EXPECT_TRUE(M.Registry.KeyExists(TRegistryRoot::rrLocalMachine, Sibling));
    EXPECT_EQ(M.Registry.Values(TRegistryRoot::rrLocalMachine, Sibling).size(), 1u);
}

TEST_F(UninstallRun, AnEmptiedStartMenuFolderGoesAndOneWithUserFilesStays)
{
    Installed({});
    auto Uninstall = LoadUninstaller();
    Uninstall->Execute();
    EXPECT_FALSE(M.FileSystem.FolderExists(MenuS));
    Uninstall.reset(); // the uninstaller ends and lets go of its file

    Installed({});
    M.FileSystem.AddFile(MenuS + "\\My notes.txt", "n");
    LoadUninstaller()->Execute();
    EXPECT_TRUE(M.FileSystem.FileExists(MenuS + "\\My notes.txt"));
    EXPECT_FALSE(M.FileSystem.FileExists(MenuS + "\\Uninstall.lnk"));
}

TEST_F(UninstallRun, FoldersTheInstallMadeGoOnceEmptyAndTheProgramFolderWithThem)
{
    const std::string Docs = sim::TSimPlatform::Documents;
    M.FileSystem.AddFolders(Docs + "\\Shared");
    Contents.Files.push_back(MemoryFile("{app}\\docs\\deep\\a.pdf", "a"));
    Contents.Files.push_back(MemoryFile("{app}\\docs\\b.pdf", "b"));
    Contents.Files.push_back(MemoryFile("{mydocuments}\\Shared\\Grid\\c.set", "c"));
    Contents.Files.push_back(MemoryFile("{mydocuments}\\Kept\\d.set", "d"));
    auto Install = Installed({T1S});
    std::vector<std::string> Logged;
    for (const auto& Entry : Install->InstallLog)
        if (Entry.IsFolder)
            Logged.push_back(Entry.Path);
    // Made folders only, outermost first; not the folder that was there already.
    EXPECT_EQ(Logged, (std::vector<std::string>{AppS, MenuS, AppS + "\\docs", AppS + "\\docs\\deep",
                                                Docs + "\\Shared\\Grid", Docs + "\\Kept"}));
    M.FileSystem.AddFile(Docs + "\\Kept\\mine.set", "the user's own");

    Lines.clear();
    LoadUninstaller()->Execute();
    const std::vector<std::string> Texts = this->Texts();
    const std::vector<std::string> Removals(Texts.end() - 8, Texts.end() - 2);
    EXPECT_EQ(Removals, (std::vector<std::string>{
                            "Remove folder " + AppS + "\\docs\\deep ...",
                            "Remove folder " + AppS + "\\docs ...",
                            "Remove folder " + AppS + " ...",
                            "Remove folder " + MenuS + " ...",
                            "Remove folder " + Docs + "\\Shared\\Grid ...",
                            "Remove folder " + Docs + "\\Kept ...",
                        }));
    // Only the uninstaller is left in the program folder, so its removal script can
    // take the folder too.
    EXPECT_EQ(M.FileSystem.ListFolder(AppS).size(), 1u);
    EXPECT_TRUE(M.FileSystem.FolderExists(Docs + "\\Shared"));
    EXPECT_FALSE(M.FileSystem.FolderExists(Docs + "\\Shared\\Grid"));
    EXPECT_EQ(M.FileSystem.FileContents(Docs + "\\Kept\\mine.set"), "the user's own");
}

TEST_F(UninstallRun, AfterAnUpdateTheFoldersTheFirstInstallMadeGoToo)
{
    Contents.Files.push_back(MemoryFile("{app}\\docs\\a.pdf", "a"));
    Contents.Files.push_back(MemoryFile("{mydocuments}\\Grid\\b.set", "b"));
    Installed({T1S});
    Installed({T1S});
    LoadUninstaller()->Execute();
    EXPECT_EQ(M.FileSystem.ListFolder(AppS).size(), 1u); // the uninstaller
    EXPECT_FALSE(M.FileSystem.FolderExists(std::string(sim::TSimPlatform::Documents) + "\\Grid"));

    // An uninstaller that cannot be read does not stop an update; it only tells nothing,
    // so the folder the first install made stays.
    Installed({T1S});
    M.FileSystem.AddFile(AppS + "\\Uninstall.exe", "MZ and no record");
    Lines.clear();
    Installed({T1S});
    EXPECT_EQ(Texts().back(), "Done.");
    LoadUninstaller()->Execute();
    EXPECT_TRUE(M.FileSystem.FolderExists(AppS + "\\docs"));
    EXPECT_FALSE(M.FileSystem.FileExists(AppS + "\\docs\\a.pdf"));
}

TEST_F(UninstallRun, AfterAnUpdateTheFilesOfEveryVersionGoButTheUsersStay)
{
    // Version 1: a and b, in a terminal and the program folder, b with a shortcut.
    Contents.Files.push_back(MemoryFile("{metatrader}\\MQL4\\Experts\\a.ex4", "a1"));
    Contents.Files.push_back(MemoryFile("{app}\\b.txt", "b1", "B"));
    Contents.Files.push_back(MemoryFile("{app}\\gone.txt", "g1"));
    Installed({T1S});
    M.FileSystem.RemoveFile(AppS + "\\gone.txt"); // the user deleted it
    // Version 2: a and c, written into a second terminal as well.
    Contents.Files.clear();
    Contents.Files.push_back(MemoryFile("{metatrader}\\MQL4\\Experts\\A.EX4", "a2"));
    Contents.Files.push_back(MemoryFile("{metatrader}\\MQL4\\Experts\\c.ex4", "c2"));
    Installed({T1S, T2S});
    M.FileSystem.AddFile(T1S + "\\MQL4\\Experts\\mine.ex4", "the user's own");
    M.FileSystem.AddFile(AppS + "\\notes.txt", "the user's own");

    auto Uninstall = LoadUninstaller();
    // Each file once, and none the first version wrote that is no longer there.
    for (const std::string& File : Uninstall->Files) {
        EXPECT_EQ(std::count_if(Uninstall->Files.begin(), Uninstall->Files.end(),
                                [&](const std::string& Other) { return SameText(Other, File); }),
                  1)
            << File;
        EXPECT_FALSE(SameText(File, AppS + "\\gone.txt"));
    }
    Uninstall->Execute();
    for (const std::string& Terminal : {T1S, T2S}) {
        EXPECT_FALSE(M.FileSystem.FileExists(Terminal + "\\MQL4\\Experts\\a.ex4")) << Terminal;
        EXPECT_FALSE(M.FileSystem.FileExists(Terminal + "\\MQL4\\Experts\\c.ex4")) << Terminal;
    }
    EXPECT_FALSE(M.FileSystem.FileExists(AppS + "\\b.txt"));
    EXPECT_FALSE(M.FileSystem.FileExists(MenuS + "\\B.lnk"));
    EXPECT_FALSE(M.FileSystem.FolderExists(MenuS));
    EXPECT_EQ(M.FileSystem.FileContents(T1S + "\\MQL4\\Experts\\mine.ex4"), "the user's own");
    EXPECT_EQ(M.FileSystem.FileContents(AppS + "\\notes.txt"), "the user's own");
}

TEST_F(UninstallRun, FilesListedTwiceOrAlreadyGoneArePassedOver)
{
    Contents.Files.push_back(MemoryFile("{metatrader}\\a.mq4", "a", "Grid"));
    Installed({T1S, T2S});
    M.FileSystem.RemoveFile(T2S + "\\a.mq4"); // deleted by the user
    Lines.clear();
    auto Uninstall = LoadUninstaller();
    ASSERT_EQ(Uninstall->Files.size(), 5u); // a.mq4 twice, Grid.lnk twice, Uninstall.lnk
    Uninstall->Execute();
    EXPECT_EQ(Lines[3].Text, "Delete file " + MenuS + "\\Grid.lnk ...");
    EXPECT_EQ(Lines.back().Text, "Done.");
    EXPECT_FALSE(M.FileSystem.FileExists(MenuS + "\\Grid.lnk"));
    EXPECT_FALSE(M.FileSystem.FileExists(T1S + "\\a.mq4"));
}

TEST_F(UninstallRun, WithoutAProgramNameNothingIsInstalledAndTheSharedFoldersSurvive)
{
    // The Start Menu programs folder holds nothing of its own.
    const std::string Programs = sim::TSimPlatform::CommonPrograms;
    ASSERT_TRUE(M.FileSystem.ListFolder(Programs).empty());
    Contents.ProgramName = "";
    Contents.Readme = "r";
    try {
        Installed({});
        FAIL() << "installed";
    } catch (const Exception& E) {
        EXPECT_EQ(
            E.Message(),
            "The installer is damaged: the product name \"\" cannot name a folder: an empty name. Download it again.");
    }
    EXPECT_TRUE(M.FileSystem.ListFolder(Programs).empty());
    EXPECT_FALSE(M.FileSystem.FileExists(std::string(sim::TSimPlatform::ProgramFiles) + "\\Readme.rtf"));
}

TEST_F(UninstallRun, AnOldRecordListingSharedFoldersDoesNotRemoveThem)
{
    // Program Files and the Start Menu programs folder are both empty here.
    M.FileSystem.RemoveFile(T1S + "\\terminal.exe");
    M.FileSystem.RemoveFolder(T1S);
    const std::string ProgramFiles = sim::TSimPlatform::ProgramFiles;
    const std::string Programs = sim::TSimPlatform::CommonPrograms;
    M.FileSystem.AddFolders(ProgramFiles + "\\Old");
    M.FileSystem.AddFolders("D:\\");
    TQeUninstall Uninstall(Platform());
    Uninstall.OnProgress = [this](TQeData&, const std::string& Text, int32_t Percent) {
        Lines.push_back({Text, Percent});
    };
    Uninstall.Folders = {ProgramFiles + "\\Old", ProgramFiles + "\\", UpperCase(Programs) + "\\\\", "D:\\", "\\"};
    Uninstall.Execute();
    EXPECT_EQ(Texts(), (std::vector<std::string>{
                           "Remove folder " + ProgramFiles + "\\Old ...",
                           "Not removing folder " + ProgramFiles + "\\: other programs share it.",
                           "Not removing folder " + UpperCase(Programs) + "\\\\: other programs share it.",
                           "Not removing folder D:\\: other programs share it.",
                           "Not removing folder \\: other programs share it.",
                           "Not unregistering the uninstaller: the uninstall record gives no program name.",
                           "Done.",
                       }));
    EXPECT_EQ(Lines.back().Percent, 117); // 7 steps of 6, as before
    EXPECT_FALSE(M.FileSystem.FolderExists(ProgramFiles + "\\Old"));
    EXPECT_TRUE(M.FileSystem.FolderExists(ProgramFiles));
    EXPECT_TRUE(M.FileSystem.FolderExists(Programs));
}

TEST_F(UninstallRun, PercentsRunPastOneHundred)
{
    TQeUninstall Uninstall(Platform());
    Uninstall.ProgramName = "Grid Expert";
    Uninstall.Files = {"C:\\x\\1.txt", "C:\\x\\2.txt"};
    Uninstall.Folders = {"C:\\x", "C:\\y"};
    std::vector<int32_t> Percents;
    Uninstall.OnProgress = [&](TQeData&, const std::string&, int32_t Percent) { Percents.push_back(Percent); };
    Uninstall.Execute();
    EXPECT_EQ(Uninstall.ProgressMax, 5);
    EXPECT_EQ(Percents, (std::vector<int32_t>{20, 40, 60, 80, 100, 120}));
}

TEST_F(UninstallRun, AWideRecordIsOrderedInTimeToItsSize)
{
    // 60 folders with 200 folders each, half of them listed before the folder they are
    // in; none is there to remove.
    TQeUninstall Uninstall(Platform());
    std::vector<std::string> After;
    for (int F = 0; F < 60; ++F) {
        const std::string Folder = "C:\\Bulk\\F" + std::to_string(F);
        for (int S = 0; S < 200; ++S)
            (S < 100 ? Uninstall.Folders : After).push_back(Folder + "\\S" + std::to_string(S));
        After.push_back(Folder);
    }
    Uninstall.Folders.insert(Uninstall.Folders.end(), After.begin(), After.end());
    std::map<std::string, size_t> Line;
    Uninstall.OnProgress = [&](TQeData&, const std::string& Text, int32_t) { Line.emplace(Text, Line.size()); };
    const auto Start = std::chrono::steady_clock::now();
    Uninstall.Execute();
    EXPECT_LT(std::chrono::steady_clock::now() - Start, std::chrono::seconds(10));
    ASSERT_EQ(Line.size(), 60u * 201 + 2);
    for (int F = 0; F < 60; ++F) {
        const std::string Folder = "Remove folder C:\\Bulk\\F" + std::to_string(F);
        for (const int S : {0, 99, 100, 199})
            EXPECT_LT(Line[Folder + "\\S" + std::to_string(S) + " ..."], Line[Folder + " ..."]) << F << " " << S;
    }
}

} // namespace
} // namespace qe::test
