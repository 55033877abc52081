// The uninstaller's self-removal script: its lines, where it is written, how it is
// started, and that a failure leaves nothing behind.
#include <gtest/gtest.h>

#include <regex>

#include "app/SelfRemoval.h"
#include "platform/sim/SimPlatform.h"

namespace qe::test {
namespace {

const std::string Exe = "C:\\Program Files\\Demo\\Uninstall.exe";
const std::string Retry = " if not \"%QeTries%\"==\"60\" set /a QeTries+=1 >nul & "
                          "\"C:\\WINDOWS\\system32\\ping.exe\" -n 2 127.0.0.1 >nul & goto repeat";

TEST(SelfRemovalText, FiveLinesThatRetryAWhileThenTidyUp)
{
    const std::vector<std::string> Expected = {
        ":repeat",
        "del \"C:\\Program Files\\Demo\\Uninstall.exe\"",
        "if exist \"C:\\Program Files\\Demo\\Uninstall.exe\"" + Retry,
        "rmdir \"C:\\Program Files\\Demo\\\"",
        "del \"C:\\TEMP\\s.bat\"",
    };
    const TSelfRemovalText Text =
        SelfRemovalText({Exe, true, "C:\\TEMP\\s.bat", "", "C:\\WINDOWS\\system32\\ping.exe"});
    EXPECT_EQ(Text.Lines, Expected);
    EXPECT_TRUE(Text.Variables.empty());

    // Without the folder; a script in a folder of its own removes that folder too; a
    // percent sign in a path is not taken for a variable.
    const std::vector<std::string> Private = {
        ":repeat",
        "del \"C:\\Program Files\\100%% Demo\\Uninstall.exe\"",
        "if exist \"C:\\Program Files\\100%% Demo\\Uninstall.exe\"" + Retry,
        "del \"C:\\WINDOWS\\Temp\\Q\\s.bat\" & rmdir \"C:\\WINDOWS\\Temp\\Q\"",
    };
    EXPECT_EQ(SelfRemovalText({"C:\\Program Files\\100% Demo\\Uninstall.exe", false, "C:\\WINDOWS\\Temp\\Q\\s.bat",
                               "C:\\WINDOWS\\Temp\\Q", "C:\\WINDOWS\\system32\\ping.exe"})
                  .Lines,
              Private);
}

// The interpreter reads the script in the console's code page: the script is ASCII, and
// each run of other characters comes from a variable of its environment, which Windows
// keeps in UTF-16. The same run is the same variable.
TEST(SelfRemovalText, CharactersOutsideAsciiComeFromTheEnvironment)
{
    const TSelfRemovalText Text =
        SelfRemovalText({"C:\\Program Files\\Советник 网格 100%\\Uninstall.exe", true,
                         "C:\\Users\\Трейдер\\Temp\\s.bat", "", "C:\\WINDOWS\\system32\\ping.exe"});
    const std::string File = "\"C:\\Program Files\\%QeText1% %QeText2% 100%%\\Uninstall.exe\"";
    const std::vector<std::string> Expected = {
        ":repeat",
        "del " + File,
        "if exist " + File + Retry,
        "rmdir \"C:\\Program Files\\%QeText1% %QeText2% 100%%\\\"",
        "del \"C:\\Users\\%QeText3%\\Temp\\s.bat\"",
    };
    EXPECT_EQ(Text.Lines, Expected);
    EXPECT_EQ(Text.Variables, (std::vector<std::string>{"QeText1=Советник", "QeText2=网格", "QeText3=Трейдер"}));
}

class SelfRemoval : public ::testing::Test {
protected:
    SelfRemoval() { M.FileSystem.AddFile(Exe, "MZ"); }

    // The script that the one process start ran, with its folder.
    std::string StartedScript()
    {
        EXPECT_EQ(M.System.ProcessStarts().size(), 1u);
        const std::string& Command = M.System.ProcessStarts().at(0).CommandLine;
        const std::string Head = "\"C:\\WINDOWS\\system32\\cmd.exe\" /d /e:on /v:off /s /c \"\"";
        EXPECT_EQ(Command.substr(0, Head.size()), Head);
        EXPECT_EQ(Command.substr(Command.size() - 2), "\"\"");
        return Command.substr(Head.size(), Command.size() - Head.size() - 2);
    }

    std::vector<std::string> BatchFiles(const std::string& Folder)
    {
        std::vector<std::string> Names;
        for (const TFolderEntry& Entry : M.FileSystem.ListFolder(Folder))
            Names.push_back(Entry.Name);
        return Names;
    }

    sim::TSimPlatform M;
};

// An uninstaller without administrator rights, as one for the current user only runs.
TEST_F(SelfRemoval, AUsersScriptLiesInAFolderOfItsOwnThatOnlyTheUserMayChangeUnderAnUnguessableName)
{
    ASSERT_TRUE(SelfDelete(M.Platform(), Exe, true));
    const std::string Script = StartedScript();
    std::smatch Parts;
    ASSERT_TRUE(std::regex_match(Script, Parts,
                                 std::regex(R"((C:\\TEMP\\QeUninstall-(20240305143015250-[0-9a-f]{32}))\\\2\.bat)")))
        << Script;
    const std::string Folder = Parts[1];
    EXPECT_EQ(M.FileSystem.PrivateTo(Folder), TPrivateTo::CurrentUser);
    EXPECT_EQ(M.FileSystem.FileContents(Script), ":repeat\r\n"
                                                 "del \"" +
                                                     Exe +
                                                     "\"\r\n"
                                                     "if exist \"" +
                                                     Exe + "\"" + Retry +
                                                     "\r\n"
                                                     "rmdir \"C:\\Program Files\\Demo\\\"\r\n"
                                                     "del \"" +
                                                     Script + "\" & rmdir \"" + Folder + "\"\r\n");
    const sim::TProcessStart& Start = M.System.ProcessStarts()[0];
    EXPECT_EQ(Start.CurrentFolder, "C:\\TEMP");
    EXPECT_EQ(Start.Environment, std::vector<std::string>{"SystemRoot=C:\\WINDOWS"});

    // A second script, even in the same millisecond, gets a name of its own.
    ASSERT_TRUE(SelfDelete(M.Platform(), Exe, true));
    EXPECT_NE(M.System.ProcessStarts()[1].CommandLine, M.System.ProcessStarts()[0].CommandLine);
    EXPECT_EQ(BatchFiles("C:\\TEMP").size(), 2u);
}

TEST_F(SelfRemoval, CharactersOutsideAsciiReachTheScriptThroughItsEnvironment)
{
    const std::string Program = "C:\\Program Files\\Советник\\Uninstall.exe";
    M.FileSystem.AddFile(Program, "MZ");
    ASSERT_TRUE(SelfDelete(M.Platform(), Program, true));
    const std::string Script = StartedScript();
    EXPECT_NE(M.FileSystem.FileContents(Script).find("del \"C:\\Program Files\\%QeText1%\\Uninstall.exe\"\r\n"),
              std::string::npos);
    EXPECT_EQ(M.System.ProcessStarts()[0].Environment,
              (std::vector<std::string>{"SystemRoot=C:\\WINDOWS", "QeText1=Советник"}));
}

TEST_F(SelfRemoval, AnElevatedScriptLiesInAFolderOnlyAdministratorsMayChange)
{
    M.System.SetElevated(true);
    ASSERT_TRUE(SelfDelete(M.Platform(), Exe, true));
    const std::string Script = StartedScript();
    std::smatch Parts;
    ASSERT_TRUE(std::regex_match(
        Script, Parts, std::regex(R"((C:\\WINDOWS\\Temp\\QeUninstall-(20240305143015250-[0-9a-f]{32}))\\\2\.bat)")))
        << Script;
    const std::string Folder = Parts[1];
    EXPECT_EQ(M.FileSystem.PrivateTo(Folder), TPrivateTo::Administrators);
    const std::string Contents = M.FileSystem.FileContents(Script);
    EXPECT_EQ(Contents.substr(Contents.rfind("del ")), "del \"" + Script + "\" & rmdir \"" + Folder + "\"\r\n");
    EXPECT_EQ(M.System.ProcessStarts()[0].CurrentFolder, "C:\\WINDOWS\\Temp");
    EXPECT_TRUE(BatchFiles("C:\\TEMP").empty());
}

TEST_F(SelfRemoval, OnATerminalServerTheScriptStillLiesInTheSharedWindowsFolder)
{
    // A program not marked aware of terminal servers is given a Windows folder of the
    // user's own, which the user may change.
    M.FileSystem.AddFolders("C:\\Users\\User\\WINDOWS\\Temp");
    M.System.SetUsersWindowsFolder("C:\\Users\\User\\WINDOWS");
    M.System.SetElevated(true);
    ASSERT_TRUE(SelfDelete(M.Platform(), Exe, true));
    EXPECT_EQ(StartedScript().rfind("C:\\WINDOWS\\Temp\\QeUninstall-", 0), 0u) << StartedScript();
    EXPECT_EQ(M.System.ProcessStarts()[0].Environment, std::vector<std::string>{"SystemRoot=C:\\WINDOWS"});
    EXPECT_TRUE(M.FileSystem.ListFolder("C:\\Users\\User\\WINDOWS\\Temp").empty());
}

TEST_F(SelfRemoval, AScriptThatCannotStartIsRemovedAgain)
{
    M.FileSystem.RemoveFile("C:\\WINDOWS\\system32\\cmd.exe");
    EXPECT_FALSE(SelfDelete(M.Platform(), Exe, true));
    EXPECT_TRUE(BatchFiles("C:\\TEMP").empty());

    M.System.SetElevated(true);
    EXPECT_FALSE(SelfDelete(M.Platform(), Exe, true));
    EXPECT_TRUE(BatchFiles("C:\\WINDOWS\\Temp").empty());

    // Without the Windows temporary folder an elevated uninstaller leaves no script at
    // all rather than one in a place the user may change.
    M.FileSystem.AddFile("C:\\WINDOWS\\system32\\cmd.exe", "MZ");
    M.FileSystem.RemoveFolder("C:\\WINDOWS\\Temp");
    EXPECT_FALSE(SelfDelete(M.Platform(), Exe, true));
    EXPECT_TRUE(BatchFiles("C:\\TEMP").empty());
    EXPECT_TRUE(M.System.ProcessStarts().empty());
}

TEST_F(SelfRemoval, AFileUnderTheScriptsNameIsNeverOpened)
{
    // The same machine gives the same random bytes: learn the name on a twin first.
    sim::TSimPlatform Twin;
    Twin.FileSystem.AddFile(Exe, "MZ");
    ASSERT_TRUE(SelfDelete(Twin.Platform(), Exe, true));
    const std::string& Command = Twin.System.ProcessStarts()[0].CommandLine;
    const std::string Script = Command.substr(Command.find("\"\"") + 2, Command.size() - Command.find("\"\"") - 4);

    M.FileSystem.AddFile(Script, "planted");
    EXPECT_FALSE(SelfDelete(M.Platform(), Exe, true));
    EXPECT_EQ(M.FileSystem.FileContents(Script), "planted");
    EXPECT_TRUE(M.System.ProcessStarts().empty());
}

} // namespace
} // namespace qe::test
