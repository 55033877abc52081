// An installation for the current user only: whom a run installs for, where its files,
// shortcuts and entry go, which terminal folders it serves, and its uninstall.
#include "engine/InstallScope.h"
#include "engine/PathMacros.h"
#include "engine/Uninstaller.h"
#include "language/Languages.h"
#include "platform/Exceptions.h"
#include "platform/SysFolders.h"
#include "tests/engine/EngineFixture.h"
#include "tests/platform/TerminalDataSeed.h"

namespace qe::test {
namespace {

const std::string T1S = EngineTest::T1;
const std::string T2S = EngineTest::T2;
const std::string UserApp = std::string(sim::TSimPlatform::LocalAppData) + "\\Programs\\Grid Expert";
const std::string UserMenu = std::string(sim::TSimPlatform::UserPrograms) + "\\Grid Expert";
const std::string Key = std::string(UninstallKeyPrefix) + "Grid Expert";
const auto CU = TRegistryRoot::rrCurrentUser;
const auto LM = TRegistryRoot::rrLocalMachine;

class CurrentUserInstall : public EngineTest {
protected:
    CurrentUserInstall()
    {
        Contents.UseDataFolders = true;
        Contents.ExpertsOverride = "1";
        Contents.Files.push_back(MemoryFile("{metatrader}\\MQL4\\Experts\\Grid.ex4", "expert", "Grid"));
        Contents.Files.push_back(MemoryFile("{app}\\Manual.txt", "manual"));
    }

    // A standard account: Program Files and the all-users Start Menu are the
    // administrators'.
    void CloseMachineFolders()
    {
        M.FileSystem.ProtectFolder(sim::TSimPlatform::ProgramFiles);
        M.FileSystem.ProtectFolder(sim::TSimPlatform::CommonPrograms);
    }

    std::unique_ptr<TQeInstall> InstalledForTheUser(const std::vector<std::string>& Terminals)
    {
        CloseMachineFolders();
        auto Install = LoadInstaller();
        Install->Scope = TInstallScope::CurrentUser;
        Install->TargetFolders = Terminals;
        Install->Execute();
        return Install;
    }
};

TEST_F(CurrentUserInstall, TheScopeIsTheUsersWhenAskedOrWhenTheMachineFoldersAreClosedToTheUser)
{
    // Open machine folders: every user's, even without rights (a machine set up so).
    EXPECT_EQ(ChooseInstallScope(M.Platform(), false).Scope, TInstallScope::Machine);
    EXPECT_EQ(ChooseInstallScope(M.Platform(), true).Scope, TInstallScope::CurrentUser);
    EXPECT_TRUE(CanWriteIn(M.Platform(), "C:\\Program Files"));
    EXPECT_FALSE(CanWriteIn(M.Platform(), "C:\\No Such Folder"));

    CloseMachineFolders();
    const auto Before = M.FileSystem.AllPaths();
    EXPECT_FALSE(CanWriteIn(M.Platform(), "C:\\Program Files"));
    const TScopeChoice Closed = ChooseInstallScope(M.Platform(), false);
    EXPECT_EQ(Closed.Scope, TInstallScope::CurrentUser);
    EXPECT_EQ(Closed.Reason, "the program runs without administrator rights and may not write to C:\\Program Files");
    // Nothing is left of the look.
    EXPECT_EQ(M.FileSystem.AllPaths(), Before);

    M.System.SetElevated(true);
    EXPECT_EQ(ChooseInstallScope(M.Platform(), false).Scope, TInstallScope::Machine);
    EXPECT_EQ(ChooseInstallScope(M.Platform(), true).Reason, "asked for on the command line (/CURRENTUSER)");

    // Only the Start Menu closed is enough.
    sim::TSimPlatform MenuClosed;
    MenuClosed.FileSystem.ProtectFolder(sim::TSimPlatform::CommonPrograms);
    EXPECT_EQ(ChooseInstallScope(MenuClosed.Platform(), false).Scope, TInstallScope::CurrentUser);
}

TEST_F(CurrentUserInstall, GoesToTheUsersFoldersAndEntryAndServesOnlyTerminalFoldersTheUserMayChange)
{
    const std::string D1 = AddDataFolder(M, TerminalDataId(M.Platform(), T1S));
    M.FileSystem.AddFile(T1S + "\\config\\experts.ini", std::string(292, '\0'));
    M.FileSystem.AddFile(D1 + "\\config\\experts.ini", std::string(292, '\0'));
    const std::string Unserved = std::string(sim::TSimPlatform::ProgramFiles) + "\\Portable MT4";
    M.FileSystem.AddFile(Unserved + "\\terminal.exe", "");

    auto Install = InstalledForTheUser({T1S, T2S, Unserved});
    const std::vector<std::string> Expected = {
        "Skipping folder " + T1S + ": the current user may not change it",
        "Skipping folder " + Unserved + ": the current user may not change it",
        "Copying file " + D1 + "\\MQL4\\Experts\\Grid.ex4 ...",
        "Copying file " + UserApp + "\\Manual.txt ...",
        "Copying file " + T2S + "\\MQL4\\Experts\\Grid.ex4 ...",
        "Overriding MetaTrader settings in " + D1 + " ...",
        "Overriding MetaTrader settings in " + T2S + " ...",
        "Creating unistaller ...",
        "Registering unistaller ...",
        "Done.",
    };
    EXPECT_EQ(Texts(), Expected);
    EXPECT_FALSE(M.FileSystem.FileExists(T1S + "\\MQL4\\Experts\\Grid.ex4"));
    EXPECT_EQ(M.FileSystem.FileContents(T1S + "\\config\\experts.ini"), std::string(292, '\0'));
    EXPECT_EQ(M.FileSystem.FileContents(D1 + "\\config\\experts.ini")[4], 1);
    EXPECT_EQ(LinkTarget(UserMenu + "\\Grid.lnk"), T2S + "\\MQL4\\Experts\\Grid.ex4 | " + T2S + "\\MQL4\\Experts");
    EXPECT_EQ(LinkTarget(UserMenu + "\\Uninstall.lnk"), UserApp + "\\Uninstall.exe | " + UserApp);

    std::string Value;
    ASSERT_TRUE(M.Registry.ReadString(CU, Key, "UninstallString", false, Value));
    EXPECT_EQ(Value, "\"" + UserApp + "\\Uninstall.exe\"");
    EXPECT_FALSE(M.Registry.KeyExists(LM, Key));

    // The record says whose installation it is; the folders made on the way to the
    // user's first program stay out of it.
    auto Uninstall = LoadUninstaller(UserApp + "\\Uninstall.exe");
    EXPECT_EQ(Uninstall->Scope, TInstallScope::CurrentUser);
    EXPECT_EQ(Uninstall->Folders, (std::vector<std::string>{UserApp, UserMenu}));

    Uninstall->Execute();
    EXPECT_FALSE(M.Registry.KeyExists(CU, Key));
    EXPECT_FALSE(M.FileSystem.FileExists(D1 + "\\MQL4\\Experts\\Grid.ex4"));
    EXPECT_FALSE(M.FileSystem.FileExists(T2S + "\\MQL4\\Experts\\Grid.ex4"));
    EXPECT_FALSE(M.FileSystem.FolderExists(UserMenu));
    EXPECT_EQ(M.FileSystem.ListFolder(UserApp).size(), 1u); // Uninstall.exe, for its script
    EXPECT_TRUE(M.FileSystem.FolderExists(std::string(sim::TSimPlatform::LocalAppData) + "\\Programs"));
}

TEST_F(CurrentUserInstall, AnUninstallOfEveryUsersInstallationLeavesTheUsersEntryOfTheSameNameAlone)
{
    Installed({T1S});
    InstalledForTheUser({T2S});
    ASSERT_TRUE(M.Registry.KeyExists(LM, Key));
    ASSERT_TRUE(M.Registry.KeyExists(CU, Key));

    M.System.SetElevated(true);
    auto Machine = LoadUninstaller(std::string(App) + "\\Uninstall.exe");
    EXPECT_EQ(Machine->Scope, TInstallScope::Machine);
    Machine->Execute();
    EXPECT_FALSE(M.Registry.KeyExists(LM, Key));
    EXPECT_TRUE(M.Registry.KeyExists(CU, Key));
    EXPECT_EQ(M.FileSystem.FileContents(T2S + "\\MQL4\\Experts\\Grid.ex4"), "expert");
}

TEST_F(CurrentUserInstall, AUserWithoutAFolderForProgramsGetsAnErrorBeforeAnythingIsWritten)
{
    M.Registry.RemoveValue(CU, ShellFoldersKey, "Local AppData");
    WriteInstallerFile();
    const auto Before = M.FileSystem.AllPaths();
    try {
        InstalledForTheUser({T2S});
        FAIL() << "no error";
    } catch (const Exception& E) {
        EXPECT_EQ(E.Message(), "Cannot install for the current user: Windows names no Local AppData folder for this "
                               "user");
    }
    // Told in the wizard's language.
    CloseMachineFolders();
    auto Install = LoadInstaller();
    const TTextTable Russian = LoadTexts("ru");
    Install->Texts = &Russian;
    Install->Scope = TInstallScope::CurrentUser;
    Install->TargetFolders = {T2S};
    try {
        Install->Execute();
        FAIL() << "no error";
    } catch (const Exception& E) {
        EXPECT_EQ(E.Message(), "Невозможно установить для текущего пользователя: Windows не указывает для этого "
                               "пользователя папку Local AppData");
    }
    EXPECT_EQ(M.FileSystem.AllPaths(), Before);
}

} // namespace
} // namespace qe::test
