// Expansion of install targets.
#include <gtest/gtest.h>

#include "engine/PathMacros.h"
#include "platform/SysFolders.h"
#include "platform/sim/SimPlatform.h"

namespace qe {
namespace {

class PathMacros : public ::testing::Test {
protected:
    PathMacros()
    {
        M.System.SetFolders("C:\\WINDOWS", "C:\\WINDOWS\\system32", "C:\\TEMP\\");
        BuildMacros(M.Platform(), "Grid Expert", TInstallScope::Machine, List);
        List.SetValue(MetaTraderMacro, "C:\\MT4");
    }
    sim::TSimPlatform M;
    TMacroList List;
};

TEST_F(PathMacros, BuildsTheFiveFoldersInOrder)
{
    ASSERT_EQ(List.Count(), 6u);
    EXPECT_EQ(List.Name(0), "{app}");
    EXPECT_EQ(List.Value(0), "C:\\Program Files\\Grid Expert");
    EXPECT_EQ(List.Value(1), "C:");
    EXPECT_EQ(List.Value(2), "C:\\WINDOWS");
    EXPECT_EQ(List.Value(3), "C:\\WINDOWS\\system32");
    EXPECT_EQ(List.Name(4), "{mydocuments}");
    EXPECT_EQ(List.Value(4), sim::TSimPlatform::Documents);
    List.SetValue("{MetaTrader}", "D:\\Other");
    ASSERT_EQ(List.Count(), 6u);
    EXPECT_EQ(List.Value(5), "D:\\Other");
}

TEST_F(PathMacros, ExpandsWithoutCaseEveryOccurrenceAndLeavesOtherBraces)
{
    EXPECT_EQ(ExpandMacros("{APP}\\Data\\X.dat", List), "C:\\Program Files\\Grid Expert\\Data\\X.dat");
    EXPECT_EQ(ExpandMacros("{app}\\data\\x.dat", List), "C:\\Program Files\\Grid Expert\\data\\x.dat");
    EXPECT_EQ(ExpandMacros("{MetaTrader}\\experts\\{metatrader}.txt", List), "C:\\MT4\\experts\\C:\\MT4.txt");
    EXPECT_EQ(ExpandMacros("{foo}\\x", List), "{foo}\\x");
    EXPECT_EQ(ExpandMacros("{bootdir}\\{windir}{winsysdir}", List), "C:\\C:\\WINDOWSC:\\WINDOWS\\system32");
}

TEST_F(PathMacros, InsertedTextIsScannedOnlyByLaterMacros)
{
    // "{app}" brings in a program name that names other macros.
    BuildMacros(M.Platform(), "{windir} {app}", TInstallScope::Machine, List);
    List.SetValue(MetaTraderMacro, "C:\\{app}");
    EXPECT_EQ(ExpandMacros("{app}|{metatrader}", List), "C:\\Program Files\\C:\\WINDOWS {app}|C:\\{app}");
}

TEST_F(PathMacros, UnreadableDocumentsFolderExpandsToNothing)
{
    M.Registry.RemoveValue(TRegistryRoot::rrCurrentUser, ShellFoldersKey, "Personal");
    BuildMacros(M.Platform(), "Grid Expert", TInstallScope::Machine, List);
    EXPECT_EQ(ExpandMacros("{mydocuments}\\x", List), "\\x");
}

TEST(TerminalTarget, IsFoundInTheTargetWithoutCase)
{
    EXPECT_TRUE(IsTerminalTarget("{MetaTrader}\\x"));
    EXPECT_TRUE(IsTerminalTarget("C:\\{metatrader}"));
    EXPECT_FALSE(IsTerminalTarget("{app}\\metatrader\\x"));
    EXPECT_FALSE(IsTerminalTarget("{meta trader}\\x"));
}

} // namespace
} // namespace qe
