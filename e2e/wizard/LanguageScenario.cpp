// The wizard in the user's display language, and in Russian, Simplified Chinese, Japanese
// and German: for each of these, an installer whose vendor offers that language alone
// installs the example product through every page, each page's texts read back as that
// language's table gives them, and its uninstaller speaks the same language. Screenshots
// of the welcome, folder and progress pages (and the uninstaller's progress page) and of a
// message box show the script's glyphs and whether a text is cut.
#include "e2e/wizard/Driver.h"
#include "e2e/wizard/Scenarios.h"
#include "e2e/wizard/Wizard.h"
#include "language/Languages.h"

namespace e2e {
namespace {

using namespace qe;

void ExpectHeaderIn(TWizard& W, const TTextTable& T, const TPage& Page, TText Title, TText Subtitle, TText Instruction)
{
    W.ExpectHeader(Page, T.Format(Title), T.Format(Subtitle), T.Format(Instruction));
}

void InstallIn(TMachine& Machine, const TScenarioArgs& Args, const std::string& Code)
{
    const TTextTable T = LoadTexts(Code);
    const std::string Shot = "language-" + Code + "-";
    const std::string Title = "Grid Expert v2.5";
    TWizard W(Args.Work + "\\Setup-" + Code + ".exe", T.Format(TText::InstallTitle, {"Grid Expert"}),
              Args.Work + "\\shots");
    TWindow& Window = W.Window();
    W.ExpectPage(PageWelcome);
    CheckEq(Window.Text(IDC_LABELSTART1), T.Format(TText::InstallWelcomeHeading, {Title}), "the welcome heading");
    const std::string Body = T.Format(TText::InstallWelcomeText, {Title});
    CheckEq(Window.Text(IDC_LABELSTART2).substr(0, Body.size()), Body, "the welcome text");
    CheckEq(Window.Text(IDC_BTNCANCEL), T.Format(TText::ButtonCancel), "the Cancel button's caption");
    CheckEq(Window.Text(IDC_BTNNEXT), T.Format(TText::ButtonNext), "the Next button's caption");
    CheckEq(Window.Text(IDC_BTNPREV), T.Format(TText::ButtonPrev), "the Prev button's caption");
    W.Shot(Shot + "1-welcome");

    // A running terminal keeps the wizard on its first page, with the box in the language.
    {
        TRunningTerminal Running;
        const TDialog Box = W.NextToMessageBox();
        CheckEq(Box.Caption, T.Format(TText::CaptionError), "caption of the running-terminal box");
        CheckLines(SplitLines(Box.Text), SplitLines(T.Format(TText::MessageTerminalRunning)),
                   "the running-terminal box");
        W.Shot(Shot + "message-terminal-running", Box.Handle);
        ConfirmDialog(Box);
    }
    W.ExpectPage(PageWelcome);

    W.Next(PageInfo);
    ExpectHeaderIn(W, T, PageInfo, TText::InfoTitle, TText::InfoSubtitle, TText::InfoInstruction);
    W.Next(PageLicense);
    ExpectHeaderIn(W, T, PageLicense, TText::LicenseTitle, TText::LicenseSubtitle, TText::LicenseInstruction);
    CheckEq(Window.Text(IDC_RADIOACCEPT), T.Format(TText::LicenseAccept), "the accepting choice");
    Window.Click(IDC_RADIOACCEPT);
    Check(WaitFor([&] { return Window.Enabled(IDC_BTNNEXT); }, 5000), "Next stays disabled after accepting");

    W.Next(PageFolder);
    ExpectHeaderIn(W, T, PageFolder, TText::FolderTitle, TText::FolderSubtitle, TText::FolderInstruction);
    CheckEq(Window.Text(IDC_BTNADDMETATRADER), " " + T.Format(TText::FolderAdd), "the folder button's caption");
    W.Shot(Shot + "2-folder");

    W.Next(PageReady);
    ExpectHeaderIn(W, T, PageReady, TText::ReadyTitle, TText::ReadySubtitle, TText::ReadyInstruction);
    CheckEq(Window.Lines(IDC_MEMOREADY).front(), T.Format(TText::SummaryProgramName), "the summary's first line");

    Window.Click(IDC_BTNNEXT);
    W.ExpectPage(PageProgress);
    Check(WaitFor([&] { return Window.Enabled(IDC_BTNNEXT); }, 120000), "the install run does not finish");
    ExpectHeaderIn(W, T, PageProgress, TText::InstallProgressTitle, TText::InstallProgressSubtitle,
                   TText::InstallProgressLabel);
    const std::vector<std::string> Lines = Window.Lines(IDC_MEMOPROGRESS);
    const std::string Copying = T.Format(TText::ProgressCopyingFile, {"\x01"});
    Check(Lines.front().starts_with(Copying.substr(0, Copying.find('\x01'))),
          "the first progress line is not the language's: [" + Lines.front() + "]");
    CheckEq(Lines.back(), T.Format(TText::ProgressDone), "the last progress line");
    CheckProgressLinesShowWhole(Window);
    W.Shot(Shot + "3-progress");

    W.Next(PageNews);
    ExpectHeaderIn(W, T, PageNews, TText::NewsTitle, TText::NewsSubtitle, TText::NewsInstruction);
    W.Next(PageFinish);
    CheckEq(Window.Text(IDC_LABELFINISH1), T.Format(TText::InstallFinishHeading), "the finish heading");
    CheckEq(Window.Text(IDC_CHECKRUN), T.Format(TText::RunAfterInstall), "the run choice");
    CheckEq(Window.Text(IDC_BTNCANCEL), T.Format(TText::ButtonFinish), "the Finish button's caption");
    Window.Click(IDC_CHECKRUN);
    Check(WaitFor([&] { return !Window.Checked(IDC_CHECKRUN); }, 5000), "the run choice stays checked");
    Window.Click(IDC_BTNCANCEL);
    Check(W.Process().WaitForExit(20000), "the wizard does not end after Finish");
    Step("installed in " + Code);
    (void)Machine;
}

void UninstallIn(TMachine& Machine, const TScenarioArgs& Args, const std::string& Code)
{
    const TTextTable T = LoadTexts(Code);
    const std::string App = Machine.ProgramFiles() + "\\Grid Expert";
    // The uninstaller speaks its installation's language, whatever Windows' display
    // language is.
    TWizard W(App + "\\Uninstall.exe", T.Format(TText::UninstallTitle, {"Grid Expert"}), Args.Work + "\\shots");
    TWindow& Window = W.Window();
    W.ExpectPage(PageWelcome);
    CheckEq(Window.Text(IDC_LABELSTART1), T.Format(TText::UninstallWelcomeHeading, {"Grid Expert v2.5"}),
            "the uninstaller's welcome heading");
    Window.Click(IDC_BTNNEXT);
    W.ExpectPage(PageProgress);
    Check(WaitFor([&] { return Window.Enabled(IDC_BTNNEXT); }, 120000), "the uninstall run does not finish");
    ExpectHeaderIn(W, T, PageProgress, TText::UninstallProgressTitle, TText::UninstallProgressSubtitle,
                   TText::UninstallProgressLabel);
    CheckEq(Window.Lines(IDC_MEMOPROGRESS).back(), T.Format(TText::ProgressDone), "the last removal line");
    CheckProgressLinesShowWhole(Window);
    W.Shot("language-" + Code + "-4-uninstall-progress");
    W.Next(PageFinish);
    CheckEq(Window.Text(IDC_LABELFINISH1), T.Format(TText::UninstallFinishHeading), "the finish heading");
    Window.Click(IDC_BTNCANCEL);
    Check(W.Process().WaitForExit(20000), "the uninstaller does not end after Finish");
    Check(WaitFor([&] { return !TMachine::Exists(App); }, 60000), "the program folder stays after the uninstall");
    Step("uninstalled in " + Code);
}

} // namespace

void InstallLanguages(TMachine& Machine, const TScenarioArgs& Args)
{
    TTerminalLayout Layout(Machine);
    Layout.Create(Args.Terminal);
    {
        // The user's display language is Turkish (run-scenario.sh), and an installer that
        // offers every language speaks it.
        const TTextTable Turkish = LoadTexts("tr");
        TWizard W(Args.Installer, Turkish.Format(TText::InstallTitle, {"Grid Expert"}), Args.Work + "\\shots");
        W.ExpectPage(PageWelcome);
        CheckEq(W.Window().Text(IDC_LABELSTART1), Turkish.Format(TText::InstallWelcomeHeading, {"Grid Expert v2.5"}),
                "the welcome heading in the display language");
        W.Shot("language-tr-1-welcome");
        W.Window().Click(IDC_BTNCANCEL);
        Check(W.Process().WaitForExit(20000), "the wizard does not end after Cancel");
        Step("the installer speaks the display language, Turkish");
    }
    {
        // /LANG= wins over the display language.
        const TTextTable Japanese = LoadTexts("ja");
        TWizard W(Args.Installer, Japanese.Format(TText::InstallTitle, {"Grid Expert"}), Args.Work + "\\shots",
                  "/LANG=ja");
        W.ExpectPage(PageWelcome);
        CheckEq(W.Window().Text(IDC_BTNNEXT), Japanese.Format(TText::ButtonNext), "Next in the language of /LANG=");
        W.Window().Click(IDC_BTNCANCEL);
        Check(W.Process().WaitForExit(20000), "the wizard does not end after Cancel");
        Step("/LANG=ja makes it speak Japanese");
    }
    for (const std::string Code : {"ru", "zh-CN", "ja", "de"}) {
        Machine.ForgetProduct("Grid Expert");
        InstallIn(Machine, Args, Code);
        UninstallIn(Machine, Args, Code);
    }
    Layout.Remove();
}

} // namespace e2e
