// Runs without questions (/SILENT, /VERYSILENT): the same pages with their defaults, the
// exit code of each way a run ends, the log, the switches a run starts with, and the
// installation for the current user only as the wizard offers it.
#include "app/ExitCodes.h"
#include "app/SetupRun.h"
#include "engine/Uninstaller.h"
#include "package/Integrity.h"
#include "platform/Terminal.h"
#include "tests/app/WizardFixture.h"

namespace qe::test {
namespace {

const std::string AppS = EngineTest::App;
const std::string T1S = EngineTest::T1;
const std::string T2S = EngineTest::T2;
const std::string Key = std::string(UninstallKeyPrefix) + "Grid Expert";
const std::string LogFile = "C:\\Logs\\setup.log";
// Every line of the log begins with the local time of the simulated machine.
const std::string Time = "2024-03-05 14:30:15.250 ";

class SilentRun : public WizardTest {
protected:
    SilentRun() { M.FileSystem.AddFolders("C:\\Logs"); }

    // Starts the program file at Program with these arguments as Windows would, without
    // a window of its own for /VERYSILENT; the boxes it shows are kept in Boxes.
    int Run(const std::string& Arguments, const std::string& Program = sim::TSimPlatform::ExePath)
    {
        M.FileSystem.SetExecutablePath(Program);
        TSetupLog RunLog(M.Platform());
        TCommandLine Switches;
        const auto Box = [this](const std::string& Text, const std::string& Caption, TMessageIcon) {
            Boxes.push_back(Caption + ": " + Text);
        };
        if (const auto Code = StartSetup(M.Platform(), "\"" + Program + "\" " + Arguments, Switches, RunLog, Box))
            return *Code;
        EXPECT_EQ(Switches.Mode, TUiMode::VerySilent) << "only a run without a window can be run here";
        return RunWithoutWindow(M.Platform(), Switches, RunLog);
    }

    // The log's lines without their times, which must all be the machine's.
    std::vector<std::string> LogLines()
    {
        std::vector<std::string> Lines;
        const std::string Text = M.FileSystem.FileContents(LogFile);
        for (size_t Start = 0, End; (End = Text.find("\r\n", Start)) != std::string::npos; Start = End + 2) {
            const std::string Line = Text.substr(Start, End - Start);
            EXPECT_EQ(Line.substr(0, Time.size()), Time);
            Lines.push_back(Line.substr(Time.size()));
        }
        return Lines;
    }

    bool Has(const std::vector<std::string>& Lines, const std::string& Line)
    {
        return std::find(Lines.begin(), Lines.end(), Line) != Lines.end();
    }

    std::vector<std::string> Boxes;
};

TEST_F(SilentRun, VerySilentTakesTheFoldersFoundAcceptsTheLicenceAndStartsNoTerminal)
{
    // A terminal whose name the log must carry in UTF-8, as the program has it.
    const std::string Boerse = std::string(ProgramFiles) + "\\Börse Трейдинг MT4";
    M.FileSystem.AddFile(Boerse + "\\terminal.exe", "");
    WriteInstallerFile();
    EXPECT_EQ(Run("/VERYSILENT /LOG=" + LogFile), ecDone);

    for (const std::string& Terminal : {Boerse, T1S})
        EXPECT_EQ(M.FileSystem.FileContents(Terminal + "\\experts\\GridExpert.mq4"), "expert") << Terminal;
    EXPECT_FALSE(M.FileSystem.FileExists(T2S + "\\experts\\GridExpert.mq4"));
    EXPECT_TRUE(M.Registry.KeyExists(TRegistryRoot::rrLocalMachine, Key));
    EXPECT_TRUE(M.Shell.Opened().empty());
    EXPECT_TRUE(M.System.ProcessStarts().empty());
    EXPECT_TRUE(Boxes.empty());

    const std::string Found = Boerse + "; " + T1S;
    const std::vector<std::string> Head = {
        "Started: " + std::string(sim::TSimPlatform::ExePath) + " /VERYSILENT /LOG=" + LogFile,
        "Product: Grid Expert v2.5",
        "Installing for every user: this user may write to Program Files and the all-users Start Menu",
        "The licence is taken as accepted: a silent run asks no questions.",
        "Terminals found: " + Found,
        "Folders chosen: " + Found,
        "Copying file " + Boerse + "\\experts\\GridExpert.mq4 ...",
    };
    const auto Lines = LogLines();
    ASSERT_GT(Lines.size(), Head.size());
    EXPECT_EQ(std::vector<std::string>(Lines.begin(), Lines.begin() + static_cast<long>(Head.size())), Head);
    EXPECT_EQ(Lines[Lines.size() - 2], "Done.");
    EXPECT_EQ(Lines.back(), "Result: done (exit code 0)");
}

TEST_F(SilentRun, ARunningTerminalEndsTheRunWithItsCodeAndNothingChanged)
{
    M.System.AddWindow(TerminalWindowClass);
    WriteInstallerFile();
    EXPECT_EQ(Run("/VERYSILENT /LOG=" + LogFile), ecTerminalRunning);
    EXPECT_FALSE(M.FileSystem.FolderExists(AppS));
    EXPECT_TRUE(Boxes.empty());
    const auto Lines = LogLines();
    EXPECT_TRUE(Has(Lines, "Error box: The wizard detect a MetaTrader program currently running. Please close the "
                           "program and then click OK to continue. (not shown, taken as answered with OK)"));
    EXPECT_EQ(Lines[Lines.size() - 2], "Stopped: a MetaTrader terminal is running; nothing was changed.");
    EXPECT_EQ(Lines.back(), "Result: a MetaTrader terminal is running (exit code 3)");

    // With the window, the box is shown; a terminal closed before it is answered lets the
    // run go on, one still open ends it.
    Options.Mode = TUiMode::Silent;
    Start();
    Form->RunSilently();
    EXPECT_EQ(W->Window.Messages.size(), 1u);
    EXPECT_EQ(Form->ExitCode(), ecTerminalRunning);
    EXPECT_TRUE(W->Window.Closed);
    EXPECT_FALSE(M.FileSystem.FolderExists(AppS));

    Start();
    W->Window.OnMessageBox = [this] { M.System.CloseWindows(TerminalWindowClass); };
    Form->RunSilently();
    EXPECT_EQ(W->Window.Messages.size(), 1u);
    EXPECT_EQ(Form->ExitCode(), ecDone);
    EXPECT_EQ(M.FileSystem.FileContents(AppS + "\\Manual.txt"), "manual");
}

TEST_F(SilentRun, ADamagedOrUnreadableInstallerEndsWithItsCodeBeforeAnythingIsWritten)
{
    WriteInstallerFile();
    const std::string Whole = M.FileSystem.FileContents(sim::TSimPlatform::ExePath);
    Form.reset(); // the wizard holds its program file open
    M.FileSystem.AddFile(sim::TSimPlatform::ExePath, Whole.substr(0, Whole.size() - 20));
    EXPECT_EQ(Run("/VERYSILENT /LOG=" + LogFile), ecDamaged);
    EXPECT_FALSE(M.FileSystem.FolderExists(AppS));
    auto Lines = LogLines();
    EXPECT_EQ(Lines[Lines.size() - 2].substr(0, 34), "Error: The installer is damaged: t");
    EXPECT_EQ(Lines.back(), "Result: the installer is damaged (exit code 4)");

    M.FileSystem.SetInUse(sim::TSimPlatform::ExePath, true);
    EXPECT_EQ(Run("/VERYSILENT /LOG=" + LogFile), ecDamaged);
    Lines = LogLines();
    EXPECT_EQ(Lines[Lines.size() - 2].substr(0, 26), "Error: Cannot open file \"C");
}

TEST_F(SilentRun, AFailedRunEndsWithItsCodeAndItsMessageInTheLog)
{
    M.FileSystem.AddFile(AppS + "\\Manual.txt", "older manual");
    M.FileSystem.SetInUse(AppS + "\\Manual.txt", true);
    WriteInstallerFile();
    EXPECT_EQ(Run("/VERYSILENT /LOG=" + LogFile), ecFailed);
    const auto Lines = LogLines();
    EXPECT_EQ(Lines[Lines.size() - 3], "Copying file " + AppS + "\\Manual.txt ...");
    EXPECT_EQ(Lines[Lines.size() - 2].substr(0, 42), "Error: Cannot create file \"" + AppS.substr(0, 15));
    EXPECT_EQ(Lines.back(), "Result: the run failed (exit code 1)");
}

TEST_F(SilentRun, TerminalsGivenOnTheCommandLineAreTheOnlyOnesServedAndMustExist)
{
    WriteInstallerFile();
    EXPECT_EQ(Run("/VERYSILENT /LOG=" + LogFile + " /TERMINALS=\"" + T2S + "\""), ecDone);
    EXPECT_EQ(M.FileSystem.FileContents(T2S + "\\experts\\GridExpert.mq4"), "expert");
    EXPECT_FALSE(M.FileSystem.FileExists(T1S + "\\experts\\GridExpert.mq4"));
    EXPECT_TRUE(Has(LogLines(), "Terminal folders given on the command line: " + T2S));
    EXPECT_TRUE(Has(LogLines(), "Folders chosen: " + T2S));

    // The wizard offers them on its folder page instead of those found.
    Options.Terminals = std::vector<std::string>{T2S};
    Start();
    NextUntil("Folder");
    ASSERT_EQ(W->ListMetaTrader.Count(), 1);
    EXPECT_EQ(W->ListMetaTrader.Text(0), T2S);

    M.Registry.DeleteKey(TRegistryRoot::rrLocalMachine, Key);
    const auto Before = M.FileSystem.AllPaths();
    EXPECT_EQ(Run("/VERYSILENT /LOG=" + LogFile + " /TERMINALS=D:\\Trading\\Typo"), ecBadCommandLine);
    EXPECT_EQ(M.FileSystem.AllPaths(), Before); // the log was there already
    EXPECT_TRUE(Has(LogLines(), "Error: The terminal folder \"D:\\Trading\\Typo\" given with /TERMINALS= does not "
                                "exist."));
    EXPECT_FALSE(M.Registry.KeyExists(TRegistryRoot::rrLocalMachine, Key));
}

// The log may go to a folder that other users can change; the elevated installer writes
// through no link planted there.
TEST_F(SilentRun, TheLogIsNeverWrittenThroughALink)
{
    WriteInstallerFile();
    M.FileSystem.AddFile("C:\\WINDOWS\\system.ini", "system");
    M.FileSystem.AddLink(LogFile, "C:\\WINDOWS\\system.ini", false);
    EXPECT_EQ(Run("/VERYSILENT /LOG=" + LogFile), ecDone);
    EXPECT_EQ(M.FileSystem.FileContents("C:\\WINDOWS\\system.ini"), "system");
    TEntryKind Kind = TEntryKind::ekUnknown;
    M.FileSystem.HoldAsItself(LogFile, Kind);
    EXPECT_EQ(Kind, TEntryKind::ekFile);
    EXPECT_EQ(LogLines().back(), "Result: done (exit code 0)");

    M.FileSystem.AddLink("C:\\Logs\\Linked", "C:\\WINDOWS", true);
    EXPECT_EQ(Run("/VERYSILENT /LOG=C:\\Logs\\Linked\\setup.log"), ecBadCommandLine);
    EXPECT_FALSE(M.FileSystem.FileExists("C:\\WINDOWS\\setup.log"));
    EXPECT_EQ(Run("/LOG=C:\\Logs\\Linked\\setup.log"), ecBadCommandLine);
    ASSERT_EQ(Boxes.size(), 1u);
    const std::string Linked = "Error: The log cannot be made. \"C:\\Logs\\Linked\" leads to another place";
    EXPECT_EQ(Boxes[0].substr(0, Linked.size()), Linked);
}

TEST_F(SilentRun, AFaultyCommandLineIsToldUnlessBoxesAreSuppressedAndHelpAlwaysIs)
{
    WriteInstallerFile();
    EXPECT_EQ(Run("/SILENT /FOO /LOG=" + LogFile), ecBadCommandLine);
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0], "Error: Unknown switch \"/FOO\".\r\rRun setup.exe /? for the list of switches.");
    EXPECT_EQ(LogLines(), (std::vector<std::string>{
                              "Started: " + std::string(sim::TSimPlatform::ExePath) + " /SILENT /FOO /LOG=" + LogFile,
                              "Error: Unknown switch \"/FOO\".", "Result: bad command line (exit code 5)"}));
    EXPECT_FALSE(M.FileSystem.FolderExists(AppS));

    Boxes.clear();
    EXPECT_EQ(Run("/FOO /SUPPRESSMSGBOXES"), ecBadCommandLine);
    EXPECT_EQ(Run("/VERYSILENT /LOG=\"Z:\\No Drive\\setup.log\""), ecBadCommandLine);
    EXPECT_TRUE(Boxes.empty());
    EXPECT_EQ(Run("/LOG=\"C:\\No Folder\\setup.log\""), ecBadCommandLine);
    ASSERT_EQ(Boxes.size(), 1u);
    const std::string Cannot = "Error: The log cannot be made. Cannot create file \"C:\\No Folder\\setup.log\". ";
    EXPECT_EQ(Boxes[0].substr(0, Cannot.size()), Cannot);

    Boxes.clear();
    EXPECT_EQ(Run("/VERYSILENT /?"), ecDone);
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].substr(0, 52), "setup.exe: setup.exe [/SILENT | /VERYSILENT]\r    [/S");
    EXPECT_FALSE(M.FileSystem.FolderExists(AppS));
}

TEST_F(SilentRun, TheCommandLinesBoxesSpeakTheWizardsLanguageAndTheLogStaysEnglish)
{
    WriteInstallerFile();
    const std::string Usage = "setup.exe: setup.exe [/SILENT | /VERYSILENT]\r    [/SUPPRESSMSGBOXES] [/CURRENTUSER]\r"
                              "    [/TERMINALS=\"folder;folder\"] [/LOG=\"file\"]\r    [/LANG=xx]\r\r";
    const std::string Codes = "en, de, fr, es, pt-BR, it, ru, tr, zh-CN, ja";
    // English as ever.
    EXPECT_EQ(Run("/?"), ecDone);
    EXPECT_EQ(Run("/FOO"), ecBadCommandLine);
    ASSERT_EQ(Boxes.size(), 2u);
    EXPECT_EQ(Boxes[0],
              Usage +
                  "/SILENT: no questions; the progress is shown and the window closes itself.\r"
                  "/VERYSILENT: no window at all.\r"
                  "/SUPPRESSMSGBOXES: every message box is answered with its default.\r"
                  "/CURRENTUSER: install for the current user only.\r"
                  "/TERMINALS=\"C:\\a;D:\\b\": these terminal folders instead of those found.\r"
                  "/LOG=\"file\": every step, decision and the result, in UTF-8.\r"
                  "/LANG=xx: the wizard's language, one of\r    " +
                  Codes +
                  ",\r    where the product offers it.\r/?: this list.\r\rExit codes:\r0: done\r1: the run "
                  "failed\r2: cancelled\r3: a MetaTrader terminal is running\r4: the installer is damaged\r5: "
                  "bad command line\r");
    EXPECT_EQ(Boxes[1], "Error: Unknown switch \"/FOO\".\r\rRun setup.exe /? for the list of switches.");

    // The display language, for the log too, which stays English.
    Boxes.clear();
    M.System.SetDisplayLanguage("de-DE");
    EXPECT_EQ(Run("/FOO /LOG=" + LogFile), ecBadCommandLine);
    EXPECT_EQ(Boxes, std::vector<std::string>{"Fehler: Unbekannter Schalter „/FOO“.\r\rFühren Sie setup.exe /? aus, "
                                              "um die Liste der Schalter anzuzeigen."});
    EXPECT_TRUE(Has(LogLines(), "Error: Unknown switch \"/FOO\"."));
    // /LANG= wins where it was understood, even beside a fault; a /LANG= not understood
    // leaves the display language.
    Boxes.clear();
    EXPECT_EQ(Run("/LANG=ja /TERMINALS"), ecBadCommandLine);
    EXPECT_EQ(Run("/LANG=xx"), ecBadCommandLine);
    EXPECT_EQ(Run("/lang=JA /?"), ecDone);
    ASSERT_EQ(Boxes.size(), 3u);
    EXPECT_EQ(Boxes[0], "エラー: スイッチ /TERMINALS には値が必要です: "
                        "/TERMINALS=\"C:\\Program Files\\MetaTrader 4;D:\\Trading\\MT4\"\r\r"
                        "スイッチの一覧を表示するには setup.exe /? を実行してください。");
    EXPECT_EQ(Boxes[1], "Fehler: /LANG=: „xx“ ist keine der Sprachen des Installationsprogramms (" + Codes +
                            ").\r\rFühren Sie setup.exe /? aus, um die Liste der Schalter anzuzeigen.");
    EXPECT_EQ(Boxes[2], Usage +
                            "/SILENT: 質問しません。進行状況を表示し、ウィンドウは自動的に閉じます。\r"
                            "/VERYSILENT: ウィンドウを一切表示しません。\r"
                            "/SUPPRESSMSGBOXES: すべてのメッセージ ボックスに既定の応答をします。\r"
                            "/CURRENTUSER: 現在のユーザーのみにインストールします。\r"
                            "/TERMINALS=\"C:\\a;D:\\b\": "
                            "検出されたフォルダーの代わりにこれらのターミナル フォルダーを使用します。\r"
                            "/LOG=\"file\": すべての手順、判断、結果を UTF-8 で記録します。\r"
                            "/LANG=xx: ウィザードの言語。次のいずれか:\r    " +
                            Codes +
                            "\r    (製品が提供している場合)\r/?: この一覧を表示します。\r\r終了コード:\r0: 完了\r1: "
                            "実行に失敗しました\r2: キャンセルされました\r3: MetaTrader ターミナルが実行中です\r4: "
                            "インストーラーが破損しています\r5: コマンド ラインが正しくありません\r");
}

TEST_F(SilentRun, TheWizardsExitCodeSaysHowItEnded)
{
    Start();
    NextUntil("Ready");
    Form->BtnCancelClick();
    EXPECT_EQ(Form->ExitCode(), ecCancelled);

    Start();
    NextUntil("Finish");
    EXPECT_EQ(Form->ExitCode(), ecDone);
    Form->BtnCancelClick();
    EXPECT_EQ(Form->ExitCode(), ecDone);

    // A damaged installer's error box comes from the run, as before; its code stays.
    const std::string Whole = M.FileSystem.FileContents(sim::TSimPlatform::ExePath);
    Form.reset(); // the wizard holds its program file open
    M.FileSystem.AddFile(sim::TSimPlatform::ExePath, Whole.substr(0, Whole.size() - 20));
    Open(sim::TSimPlatform::ExePath);
    NextUntil("Ready");
    EXPECT_THROW(Form->BtnNextClick(), EPackageDamaged);
    EXPECT_EQ(Form->ExitCode(), ecDamaged);
}

TEST_F(SilentRun, SilentShowsOnlyTheProgressPageWhichClosesItself)
{
    Options.Mode = TUiMode::Silent;
    Start();
    Form->RunSilently();
    EXPECT_EQ(Page(), "Progress");
    EXPECT_TRUE(W->Window.Closed);
    EXPECT_TRUE(W->Window.Messages.empty());
    EXPECT_EQ(W->MemoProgress.Lines().back(), "Done.");
    EXPECT_EQ(Form->ExitCode(), ecDone);
    EXPECT_TRUE(M.Shell.Opened().empty());

    // With no terminal found the wizard's default folder is taken, after its warning.
    M.FileSystem.RemoveFile(TerminalProgram(T1S));
    Start();
    Form->RunSilently();
    ASSERT_EQ(W->Window.Messages.size(), 1u);
    EXPECT_EQ(W->Window.Messages[0].Caption, "Warning");
    EXPECT_EQ(W->ListMetaTrader.Text(0), T1S);
    EXPECT_EQ(Form->ExitCode(), ecDone);
}

TEST_F(SilentRun, TheUninstallerRemovesEverythingAndThenItselfWithoutAQuestion)
{
    WriteInstallerFile();
    ASSERT_EQ(Run("/VERYSILENT"), ecDone);
    const std::string Uninstaller = AppS + "\\Uninstall.exe";

    M.System.AddWindow(TerminalWindowClass);
    EXPECT_EQ(Run("/VERYSILENT", Uninstaller), ecTerminalRunning);
    EXPECT_EQ(M.FileSystem.FileContents(T1S + "\\experts\\GridExpert.mq4"), "expert");
    EXPECT_TRUE(M.System.ProcessStarts().empty());

    M.System.CloseWindows(TerminalWindowClass);
    EXPECT_EQ(Run("/VERYSILENT /LOG=" + LogFile, Uninstaller), ecDone);
    EXPECT_FALSE(M.FileSystem.FileExists(T1S + "\\experts\\GridExpert.mq4"));
    EXPECT_FALSE(M.FileSystem.FileExists(AppS + "\\Manual.txt"));
    EXPECT_FALSE(M.Registry.KeyExists(TRegistryRoot::rrLocalMachine, Key));
    ASSERT_EQ(M.System.ProcessStarts().size(), 1u);
    const std::string Command = M.System.ProcessStarts()[0].CommandLine;
    const std::string Script = Command.substr(Command.find("\"\"") + 2, Command.size() - Command.find("\"\"") - 4);
    EXPECT_NE(M.FileSystem.FileContents(Script).find("del \"" + Uninstaller + "\"\r\n"), std::string::npos);
    const auto Lines = LogLines();
    EXPECT_EQ(Lines[1], "Product: Grid Expert v2.5");
    EXPECT_EQ(Lines.back(), "Result: done (exit code 0)");

    EXPECT_EQ(Run("/CURRENTUSER", Uninstaller), ecBadCommandLine);
}

TEST_F(SilentRun, WithoutRightsToTheMachineFoldersTheReadyPageSaysForTheCurrentUserOnly)
{
    M.FileSystem.ProtectFolder(ProgramFiles);
    M.FileSystem.ProtectFolder(sim::TSimPlatform::CommonPrograms);
    const std::string UserApp = std::string(sim::TSimPlatform::LocalAppData) + "\\Programs\\Grid Expert";
    Start();
    NextUntil("Ready");
    EXPECT_EQ(W->MemoReady.Lines(),
              (std::vector<std::string>{
                  "Program Name", "        Grid Expert v2.5", "", "Installed for the current user only.", "",
                  "Target Folder(s)", "        " + T1S + " (skipped: this user may not change it)", "",
                  "Program Folder", "        " + UserApp, "", "Start Menu Folder", "        Grid Expert"}));
    NextUntil("Finish");
    EXPECT_EQ(Form->ExitCode(), ecDone);
    EXPECT_TRUE(M.Registry.KeyExists(TRegistryRoot::rrCurrentUser, Key));
    EXPECT_EQ(M.FileSystem.FileContents(UserApp + "\\Manual.txt"), "manual");

    // Asked for, with every right.
    Options.CurrentUser = true;
    M.System.SetElevated(true);
    Start();
    NextUntil("Ready");
    EXPECT_EQ(W->MemoReady.Lines().at(3), "Installed for the current user only.");
}

} // namespace
} // namespace qe::test
