// The special folders as the registry and the system of a machine give them.
#include <gtest/gtest.h>

#include "platform/SysFolders.h"
#include "platform/sim/SimPlatform.h"

namespace qe::sim {
namespace {

const auto LM = TRegistryRoot::rrLocalMachine;
const auto CU = TRegistryRoot::rrCurrentUser;

TEST(SysFolders, EveryIdReadsItsOwnSource)
{
    TSimPlatform M;
    const TPlatform& P = M.Platform();
    M.Registry.SetString(CU, ShellFoldersKey, "CD Burning", "C:\\Burn");
    M.Registry.SetString(LM, ShellFoldersKey, "CommonVideo", "C:\\Videos");
    M.Registry.SetString(LM, WindowsPathsKey, "WallPaperDir", "C:\\Walls");
    M.System.SetFolders("D:\\WIN", "D:\\WIN\\sys32", "D:\\T\\");
    EXPECT_EQ(GetSpecialFolder(P, 21, false), "C:\\Burn");
    EXPECT_EQ(GetSpecialFolder(P, 44, false), "C:\\Videos");
    EXPECT_EQ(GetSpecialFolder(P, 33, false), "C:\\Walls");
    EXPECT_EQ(GetSpecialFolder(P, sfPersonal, false), TSimPlatform::Documents);
    EXPECT_EQ(GetSpecialFolder(P, sfCommonPrograms, false), TSimPlatform::CommonPrograms);
    EXPECT_EQ(GetSpecialFolder(P, sfWindows, true), "D:\\WIN\\");
    EXPECT_EQ(GetSpecialFolder(P, sfSystem, false), "D:\\WIN\\sys32");
    EXPECT_EQ(GetSpecialFolder(P, sfSystemDrive, false), "D:");
    EXPECT_EQ(GetSpecialFolder(P, sfTemp, true), "D:\\T\\");
    // A value of the same name under the other root is not looked at.
    EXPECT_EQ(GetSpecialFolder(P, 42, false), "");
    EXPECT_EQ(GetSpecialFolder(P, 42, true), "\\");
    EXPECT_EQ(GetSpecialFolder(P, -1, false), "");
}

TEST(SysFolders, BootDirDropsItsDelimiterAndFallsBackToDriveC)
{
    TSimPlatform M;
    M.Registry.SetString(LM, SetupKey, "BootDir", "E:\\");
    EXPECT_EQ(GetSpecialFolder(M.Platform(), sfBootDir, false), "E:");
    M.Registry.RemoveValue(LM, SetupKey, "BootDir");
    EXPECT_EQ(GetSpecialFolder(M.Platform(), sfBootDir, false), "C:");
    M.Registry.DeleteKey(LM, SetupKey);
    EXPECT_EQ(GetSpecialFolder(M.Platform(), sfBootDir, true), "C:\\");
    EXPECT_FALSE(M.Registry.KeyExists(LM, SetupKey)); // the boot reader creates nothing
}

TEST(SysFolders, WindowsPathsExpandVariablesButNeverCutThem)
{
    TSimPlatform M;
    M.System.SetVariable("ProgramFiles", "C:\\Program Files (x86)");
    M.Registry.SetValue(LM, WindowsPathsKey, {"ProgramFilesDir", rtExpandString, "%ProgramFiles%"});
    EXPECT_EQ(GetSpecialFolder(M.Platform(), sfProgramFiles, true), "C:\\Program Files (x86)\\");
    // Shell folder values are taken as they stand.
    M.Registry.SetValue(CU, ShellFoldersKey, {"Personal", rtExpandString, "%ProgramFiles%\\x"});
    EXPECT_EQ(GetSpecialFolder(M.Platform(), sfPersonal, false), "%ProgramFiles%\\x");

    M.System.SetVariable("Long", std::string(250, 'L'));
    M.Registry.SetString(LM, WindowsPathsKey, "ProgramFilesDir", "C:\\%Long%");
    EXPECT_EQ(GetSpecialFolder(M.Platform(), sfProgramFiles, false).size(), 253u);
    M.Registry.SetString(LM, WindowsPathsKey, "ProgramFilesDir", "C:\\%Long%\\Programs");
    EXPECT_THROW(GetSpecialFolder(M.Platform(), sfProgramFiles, false), EFolderTooLong);
}

TEST(SysFolders, StringsStopAtNulAndOtherTypesAreRefused)
{
    TSimPlatform M;
    M.Registry.SetValue(LM, WindowsPathsKey, {"ProgramFilesDir", rtString, std::string("C:\\PF\0junk", 10)});
    EXPECT_EQ(GetSpecialFolder(M.Platform(), sfProgramFiles, false), "C:\\PF");
    M.Registry.SetValue(LM, WindowsPathsKey, {"ProgramFilesDir", rtBinary, "C:\\PF"});
    try {
        GetSpecialFolder(M.Platform(), sfProgramFiles, false);
        FAIL();
    } catch (const ERegistryException& E) {
        EXPECT_EQ(E.Message(), "Invalid data type for 'ProgramFilesDir'");
    }
}

TEST(SysFolders, ReadersMayCreateTheirMissingKey)
{
    TSimPlatform M;
    M.Registry.DeleteKey(CU, ShellFoldersKey);
    EXPECT_EQ(GetSpecialFolder(M.Platform(), sfPersonal, false), "");
    EXPECT_TRUE(M.Registry.KeyExists(CU, ShellFoldersKey));
}

} // namespace
} // namespace qe::sim
