// The runs behind the progress page: the hand-over of the chosen folders, the progress
// shown, a failing run, the finish actions, and the uninstall wizard that follows.
#include "language/Languages.h"
#include "platform/Exceptions.h"
#include "platform/Terminal.h"
#include "tests/app/WizardFixture.h"

namespace qe::test {
namespace {

using WizardRun = WizardTest;
const std::string AppS = EngineTest::App;
const std::string T1S = EngineTest::T1;
const std::string T2S = EngineTest::T2;

TEST_F(WizardRun, CheckedFoldersAreServedAndOnlyTerminalsOfferedToRun)
{
    M.FileSystem.AddFile(std::string(ProgramFiles) + "\\Broker MT4\\terminal.exe", "");
    Start();
    NextUntil("Folder");
    M.Shell.AnswerFolderChoice(true, "D:\\Plain");
    M.Shell.AnswerFolderChoice(true, T2S);
    Form->BtnAddMetaTraderClick();
    Form->BtnAddMetaTraderClick();
    // Broker MT4, MetaTrader 4, D:\Plain, T2: the first one unchecked.
    ASSERT_EQ(W->ListMetaTrader.Count(), 4);
    W->ListMetaTrader.SetChecked(0, false);
    NextUntil("Progress");

    const std::vector<std::string> Expected = {
        "Copying file " + T1S + "\\experts\\GridExpert.mq4 ...",
        "Copying file " + AppS + "\\Manual.txt ...",
        "Copying file D:\\Plain\\experts\\GridExpert.mq4 ...",
        "Copying file " + T2S + "\\experts\\GridExpert.mq4 ...",
        "Copying file " + AppS + "\\License.rtf ...",
        "Creating shortcut C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Grid Expert\\License.lnk ...",
        "Creating unistaller ...",
        "Registering unistaller ...",
        "Done.",
    };
    EXPECT_EQ(W->MemoProgress.Lines(), Expected);
    EXPECT_FALSE(M.FileSystem.FileExists(std::string(ProgramFiles) + "\\Broker MT4\\experts\\GridExpert.mq4"));
    EXPECT_EQ(W->ProgressBar1.Position(), 100);
    EXPECT_GE(W->Window.Repaints, static_cast<int>(Expected.size()));
    EXPECT_TRUE(Form->RunDone());

    ASSERT_EQ(W->ComboRun.Count(), 2);
    EXPECT_EQ(W->ComboRun.ItemIndex(), 0);
    EXPECT_EQ(W->ComboRun.Text(), T1S);
    EXPECT_TRUE(W->CheckRun.Checked());
    EXPECT_TRUE(W->CheckRun.Visible());

    Form->BtnNextClick();
    W->ComboRun.SetItemIndex(1);
    Form->BtnCancelClick();
    // The user's desktop starts it, with the user's rights.
    EXPECT_EQ(M.Shell.OpenedAsUser(), std::vector<std::string>{TerminalProgram(T2S)});
    EXPECT_TRUE(M.Shell.Opened().empty());
    EXPECT_TRUE(W->Window.Closed);
}

TEST_F(WizardRun, TheTerminalStartsWithTheUsersRightsOrNotAtAll)
{
    // Elevated, and no desktop to start it: the wizard does not start it with its rights.
    M.System.SetElevated(true);
    M.Shell.SetDesktopShell(false);
    Start();
    NextUntil("Finish");
    ASSERT_TRUE(W->CheckRun.Checked());
    Form->BtnCancelClick();
    EXPECT_TRUE(M.Shell.Opened().empty());
    EXPECT_TRUE(M.Shell.OpenedAsUser().empty());
    EXPECT_TRUE(W->Window.Closed);

    // With no more than the user's rights it may start it itself.
    M.System.SetElevated(false);
    Start();
    NextUntil("Finish");
    Form->BtnCancelClick();
    EXPECT_EQ(M.Shell.Opened(), std::vector<std::string>{TerminalProgram(T1S)});
}

TEST_F(WizardRun, AnInstallerReplacedAfterItStartedIsNotRead)
{
    WriteInstallerFile();
    M.FileSystem.StartProgram();
    // Before the wizard opens its file, another program renames it and puts its own there.
    M.FileSystem.RenameFile(sim::TSimPlatform::ExePath, "C:\\Users\\User\\Downloads\\renamed.exe");
    Contents.ProgramName = "Evil";
    WriteInstallerFile();
    W = std::make_unique<TFakeWizard>();
    Form = std::make_unique<TFormInstaller>(Platform(), W->C);
    try {
        Form->FormCreate();
        FAIL() << "the replaced file was read";
    } catch (const EFOpenError& E) {
        EXPECT_EQ(E.Message(),
                  "Cannot open file \"" + std::string(sim::TSimPlatform::ExePath) + "\". " + RunningProgramReplaced);
    }
    EXPECT_EQ(Form->PageCount(), 0);
    EXPECT_EQ(Form->ApplicationTitle(), "");
}

TEST_F(WizardRun, FinishStartsATerminalOnlyWhenAskedAndOneIsThere)
{
    Start();
    NextUntil("Finish");
    W->CheckRun.SetChecked(false);
    Form->BtnCancelClick();
    EXPECT_TRUE(M.Shell.Opened().empty());
    EXPECT_TRUE(W->Window.Closed);

    // Only a folder without the program: nothing to offer, nothing started.
    M.FileSystem.RemoveFile(TerminalProgram(T1S));
    Start();
    NextUntil("Finish");
    EXPECT_FALSE(W->CheckRun.Visible());
    EXPECT_FALSE(W->CheckRun.Checked());
    EXPECT_FALSE(W->ComboRun.Visible());
    Form->BtnCancelClick();
    EXPECT_TRUE(M.Shell.Opened().empty());
    EXPECT_TRUE(W->Window.Closed);
}

TEST_F(WizardRun, CancelOnlyCloses)
{
    Start();
    NextUntil("Ready");
    Form->BtnCancelClick();
    EXPECT_TRUE(W->Window.Closed);
    EXPECT_TRUE(M.Shell.Opened().empty());
    EXPECT_FALSE(M.FileSystem.FolderExists(AppS));
}

TEST_F(WizardRun, AFailingRunLeavesTheProgressPageLockedWithItsLines)
{
    M.FileSystem.AddFile(AppS + "\\Manual.txt", "older manual");
    M.FileSystem.SetInUse(AppS + "\\Manual.txt", true);
    Start();
    NextUntil("Ready");
    try {
        Form->BtnNextClick();
        FAIL() << "no error";
    } catch (const EFCreateError& E) {
        const std::string Prefix = "Cannot create file \"" + AppS + "\\Manual.txt\". ";
        EXPECT_EQ(E.Message().substr(0, Prefix.size()), Prefix);
    }
    EXPECT_EQ(Screen(), "Progress -Prev -Next -Cancel");
    const std::vector<std::string> Lines = {
        "Copying file " + T1S + "\\experts\\GridExpert.mq4 ...",
        "Copying file " + AppS + "\\Manual.txt ...",
    };
    EXPECT_EQ(W->MemoProgress.Lines(), Lines);
    EXPECT_FALSE(Form->RunDone());
    // What was written stays.
    EXPECT_EQ(M.FileSystem.FileContents(T1S + "\\experts\\GridExpert.mq4"), "expert");
}

TEST_F(WizardRun, TheUninstallerRemovesTheProductThenHandsItselfToAScript)
{
    Start();
    NextUntil("Finish");
    const std::string Uninstaller = AppS + "\\Uninstall.exe";
    ASSERT_TRUE(M.FileSystem.FileExists(Uninstaller));

    Open(Uninstaller);
    EXPECT_TRUE(Form->UninstallMode());
    EXPECT_EQ(W->Window.Caption, "Uninstall - Grid Expert");
    EXPECT_EQ(W->Window.ApplicationTitle, "Uninstall - Grid Expert");
    EXPECT_EQ(W->LabelStart1.Caption(), "Welcome to the Grid Expert v2.5 Uninstallation Wizard");
    const std::string Welcome = "This will uninstall Grid Expert v2.5 from your computer. Please close all "
                                "MetaTrader applications before you continue with the uninstallation.<br><br>Click "
                                "Next to continue with the uninstallation, or click Cancel to exit.";
    EXPECT_EQ(W->LabelStart2.Caption(), Welcome + BuilderNotice(EnglishTexts(), 6, ""));
    EXPECT_EQ(W->LabelFinish1.Caption(), "Uninstallation Complete");
    EXPECT_EQ(W->ImgBanner.Title(), "Grid Expert"); // the record carries no banner
    EXPECT_EQ(W->LabelFinish2.Caption(), "The wizard has finished uninstalling Grid Expert from your computer. You "
                                         "can re-install the program anytime using the installer we "
                                         "provided.<br><br>Click Finish to continue.");
    EXPECT_EQ(W->LabelProgress1.Caption(), "Uninstallation in Progress");
    EXPECT_EQ(W->LabelProgress2.Caption(), "Please wait while the wizard is removing files from your computer.");
    EXPECT_EQ(W->LabelProgress3.Caption(), "Uninstallation progress ...");
    EXPECT_FALSE(W->CheckRun.Visible());
    EXPECT_FALSE(W->ComboRun.Visible());

    const std::vector<std::string> Screens = {"Welcome -Prev +Next +Cancel", "Progress -Prev +Next -Cancel",
                                              "Finish +Prev -Next +Finish"};
    EXPECT_EQ(NextUntil("Finish"), Screens);
    EXPECT_FALSE(M.FileSystem.FileExists(T1S + "\\experts\\GridExpert.mq4"));
    EXPECT_FALSE(M.FileSystem.FileExists(AppS + "\\Manual.txt"));
    EXPECT_EQ(W->MemoProgress.Lines().back(), "Done.");
    // The run passes 100 percent at its end; the bar stops at its end.
    EXPECT_EQ(W->ProgressBar1.Position(), 100);
    EXPECT_EQ(W->ProgressBar1.Highest, 100);

    Form->BtnPrevClick();
    EXPECT_EQ(Screen(), "Progress -Prev +Next -Finish");
    Form->BtnNextClick();
    Form->BtnCancelClick();
    EXPECT_TRUE(W->Window.Closed);
    ASSERT_EQ(M.System.ProcessStarts().size(), 1u);
    const std::string Command = M.System.ProcessStarts()[0].CommandLine;
    const std::string Script = Command.substr(Command.find("\"\"") + 2, Command.size() - Command.find("\"\"") - 4);
    EXPECT_NE(M.FileSystem.FileContents(Script).find("del \"" + Uninstaller + "\"\r\n"), std::string::npos);
    EXPECT_NE(M.FileSystem.FileContents(Script).find("rmdir \"" + AppS + "\\\"\r\n"), std::string::npos);
}

TEST_F(WizardRun, ClosingTheUninstallerWithoutFinishLeavesItInPlace)
{
    Start();
    NextUntil("Finish");
    Open(AppS + "\\Uninstall.exe");
    Form->BtnCancelClick();
    EXPECT_TRUE(W->Window.Closed);
    EXPECT_TRUE(M.System.ProcessStarts().empty());
    EXPECT_TRUE(M.FileSystem.FileExists(AppS + "\\Manual.txt"));
}

} // namespace
} // namespace qe::test
