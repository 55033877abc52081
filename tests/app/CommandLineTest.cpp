// The switches of setup.exe and Uninstall.exe: splitting the command line as Windows
// programs do, each switch and its value, and the faults reported.
#include <gtest/gtest.h>

#include "app/CommandLine.h"

namespace qe::test {
namespace {

const char* const Program = "\"C:\\Users\\Ann\\Downloads\\Grid Setup.exe\"";

TCommandLine Parsed(const std::string& Arguments, bool Uninstaller = false)
{
    return ParseCommandLine(std::string(Program) + " " + Arguments, Uninstaller);
}

TEST(CommandLine, SplitsAtBlanksOutsideQuotesAndKeepsBackslashes)
{
    EXPECT_EQ(
        SplitCommandLine(std::string(Program) + "  /LOG=\"C:\\My Logs\\a.log\"\t/SILENT"),
        (std::vector<std::string>{"C:\\Users\\Ann\\Downloads\\Grid Setup.exe", "/LOG=C:\\My Logs\\a.log", "/SILENT"}));
    // A quoted folder may end in a backslash; quotes may sit anywhere in an argument.
    EXPECT_EQ(SplitCommandLine("setup.exe \"/TERMINALS=C:\\Trading\\\" /LOG=\"a b\"c \"\""),
              (std::vector<std::string>{"setup.exe", "/TERMINALS=C:\\Trading\\", "/LOG=a bc", ""}));
    EXPECT_EQ(SplitCommandLine("   "), std::vector<std::string>{});
    // An unclosed quote runs to the end.
    EXPECT_EQ(SplitCommandLine("a \"b c"), (std::vector<std::string>{"a", "b c"}));
}

TEST(CommandLine, WithoutSwitchesTheWizardRunsAsEver)
{
    for (const std::string& Line :
         {std::string(Program), std::string(Program) + "   ", std::string(Program) + " \"\""}) {
        const TCommandLine C = ParseCommandLine(Line, false);
        EXPECT_EQ(C.Mode, TUiMode::Wizard);
        EXPECT_FALSE(C.Quiet() || C.CurrentUser || C.Help || C.Terminals.has_value());
        EXPECT_EQ(C.LogFile, "");
        EXPECT_EQ(C.Error, "") << Line;
    }
}

TEST(CommandLine, SwitchesInAnyLetterCaseWithSlashOrDash)
{
    const TCommandLine C = Parsed("/silent -SuppressMsgBoxes /CurrentUser /log=\"C:\\Logs\\grid setup.log\"");
    EXPECT_EQ(C.Error, "");
    EXPECT_EQ(C.Mode, TUiMode::Silent);
    EXPECT_TRUE(C.SuppressMessageBoxes);
    EXPECT_TRUE(C.Quiet());
    EXPECT_TRUE(C.CurrentUser);
    EXPECT_EQ(C.LogFile, "C:\\Logs\\grid setup.log");
    EXPECT_EQ(C.Arguments, "/silent -SuppressMsgBoxes /CurrentUser /log=\"C:\\Logs\\grid setup.log\"");

    // The quieter of the two modes wins, in either order; /VERYSILENT alone shows no box.
    EXPECT_EQ(Parsed("/VERYSILENT /SILENT").Mode, TUiMode::VerySilent);
    EXPECT_EQ(Parsed("/SILENT /VERYSILENT").Mode, TUiMode::VerySilent);
    EXPECT_TRUE(Parsed("/VERYSILENT").Quiet());
    EXPECT_FALSE(Parsed("/SILENT").Quiet());
    EXPECT_TRUE(Parsed("/?").Help);
    EXPECT_TRUE(Parsed("-?").Help);
}

TEST(CommandLine, TerminalsArePlainLocalPathsWithoutRepetitionsOrTrailingBackslashes)
{
    const TCommandLine C =
        Parsed("/TERMINALS=\" C:\\Program Files\\MetaTrader 4\\ ;D:/Trading/MT4;;c:\\program files\\metatrader 4;"
               "E:\\\"");
    EXPECT_EQ(C.Error, "");
    ASSERT_TRUE(C.Terminals.has_value());
    EXPECT_EQ(*C.Terminals, (std::vector<std::string>{"C:\\Program Files\\MetaTrader 4", "D:\\Trading\\MT4", "E:\\"}));

    // The install writes into plain local folders only: a share, a device path or a name
    // Windows would read as another one is refused here, before anything starts.
    EXPECT_EQ(Parsed("/TERMINALS=\\\\vps\\share\\MT4").Error,
              "/TERMINALS=: \"\\\\vps\\share\\MT4\" is no plain local folder: it is a device, long-path or network "
              "path (\\\\?\\, \\\\.\\ or \\\\server\\).");
    EXPECT_EQ(Parsed("/TERMINALS=\"C:\\MT4;C:\\PROGRA~1\\MT4\"").Error,
              "/TERMINALS=: \"C:\\PROGRA~1\\MT4\" is no plain local folder: \"PROGRA~1\" has the form of a short name "
              "(like PROGRA~1), which Windows may take for another name.");
    EXPECT_NE(Parsed("/TERMINALS=C:\\MT4\\..\\Windows").Error, "");

    EXPECT_EQ(Parsed("/TERMINALS=MT4").Error, "/TERMINALS=: \"MT4\" is not a full path such as C:\\Trading\\MT4.");
    EXPECT_EQ(Parsed("/TERMINALS=\"C:\\a;\\b\"").Error,
              "/TERMINALS=: \"\\b\" is not a full path such as C:\\Trading\\MT4.");
    EXPECT_EQ(Parsed("/TERMINALS=\"C:MT4\"").Error,
              "/TERMINALS=: \"C:MT4\" is not a full path such as C:\\Trading\\MT4.");
    EXPECT_EQ(Parsed("/TERMINALS=\" ; \"").Error, "/TERMINALS= names no folder.");
    EXPECT_FALSE(Parsed("/TERMINALS=MT4").Terminals.has_value());
}

TEST(CommandLine, TheFirstFaultIsReportedAndTheRestStillUnderstood)
{
    const TCommandLine C = Parsed("/VERYSILENT /FOO /LOG=C:\\a.log /BAR");
    EXPECT_EQ(C.Error, "Unknown switch \"/FOO\".");
    // So that the fault is told as quietly as asked, and logged.
    EXPECT_EQ(C.Mode, TUiMode::VerySilent);
    EXPECT_EQ(C.LogFile, "C:\\a.log");

    EXPECT_EQ(Parsed("C:\\MT4").Error, "\"C:\\MT4\" is not a switch; switches begin with \"/\".");
    EXPECT_EQ(Parsed("/LOG").Error, "The switch /LOG needs a value: /LOG=\"C:\\Logs\\setup.log\".");
    EXPECT_EQ(Parsed("/log=").Error, "The switch /LOG needs a value: /LOG=\"C:\\Logs\\setup.log\".");
    EXPECT_EQ(Parsed("/TERMINALS").Error,
              "The switch /TERMINALS needs a value: /TERMINALS=\"C:\\Program Files\\MetaTrader 4;D:\\Trading\\MT4\".");
    EXPECT_EQ(Parsed("/SILENT=yes").Error, "The switch /SILENT takes no value.");
    EXPECT_EQ(Parsed("/").Error, "Unknown switch \"/\".");
    EXPECT_EQ(Parsed("/SILENTLY").Error, "Unknown switch \"/SILENTLY\".");
}

TEST(CommandLine, LangNamesOneOfTheInstallersLanguages)
{
    EXPECT_EQ(Parsed("/LANG=de").Language, "de");
    EXPECT_EQ(Parsed("-lang=PT-br /SILENT").Language, "pt-BR");
    EXPECT_EQ(Parsed("/LANG=ja", true).Language, "ja");
    EXPECT_EQ(Parsed("").Language, "");
    const TCommandLine Unknown = Parsed("/LANG=pt /SILENT");
    EXPECT_EQ(Unknown.Error,
              "/LANG=: \"pt\" is not one of the installer's languages, en, de, fr, es, pt-BR, it, ru, tr, zh-CN, ja.");
    EXPECT_EQ(Unknown.Language, "");
    EXPECT_EQ(Unknown.Mode, TUiMode::Silent);
    EXPECT_EQ(Parsed("/LANG").Error, "The switch /LANG needs a value: /LANG=de.");
}

TEST(CommandLine, TheUninstallerTakesOnlyWhatAnUninstallNeeds)
{
    const TCommandLine C = Parsed("/VERYSILENT /SUPPRESSMSGBOXES /LOG=C:\\u.log", true);
    EXPECT_EQ(C.Error, "");
    EXPECT_EQ(C.Mode, TUiMode::VerySilent);
    EXPECT_EQ(Parsed("/CURRENTUSER", true).Error, "Uninstall.exe takes no switch /CURRENTUSER.");
    EXPECT_EQ(Parsed("/terminals=C:\\MT4", true).Error, "Uninstall.exe takes no switch /TERMINALS.");

    const std::string Help = CommandLineHelp("Uninstall.exe", true);
    EXPECT_EQ(Help.substr(0, Help.find("\r\r")),
              "Uninstall.exe [/SILENT | /VERYSILENT]\r    [/SUPPRESSMSGBOXES] [/LOG=\"file\"] [/LANG=xx]");
    EXPECT_EQ(Help.find("/TERMINALS"), std::string::npos);
    EXPECT_EQ(Help.find("/CURRENTUSER"), std::string::npos);
    const std::string SetupHelp = CommandLineHelp("GridSetup.exe", false);
    EXPECT_EQ(SetupHelp.substr(0, SetupHelp.find("\r\r")),
              "GridSetup.exe [/SILENT | /VERYSILENT]\r    [/SUPPRESSMSGBOXES] [/CURRENTUSER]\r"
              "    [/TERMINALS=\"folder;folder\"] [/LOG=\"file\"]\r    [/LANG=xx]");
    for (const char* Listed :
         {"/SILENT:", "/VERYSILENT:", "/SUPPRESSMSGBOXES:", "/CURRENTUSER:", "/TERMINALS=", "/LOG=", "/LANG=xx:",
          "en, de, fr, es, pt-BR, it, ru, tr, zh-CN, ja", "/?:", "0: done", "1: the run failed", "2: cancelled",
          "3: a MetaTrader terminal is running", "4: the installer is damaged", "5: bad command line"})
        EXPECT_NE(SetupHelp.find(Listed), std::string::npos) << Listed;
}

} // namespace
} // namespace qe::test
