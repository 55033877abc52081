// The uninstall wizard's scenario: Uninstall.exe from the program folder, after the full
// install, through its three pages, the removal, and its own removal after Finish.
#include <algorithm>

#include "e2e/wizard/Driver.h"
#include "e2e/wizard/Scenarios.h"
#include "e2e/wizard/Wizard.h"

namespace e2e {
namespace {

using namespace qe;

std::vector<std::string> ExpectedUninstallLines(TMachine& Machine, const std::vector<std::string>& Targets,
                                                const TTerminalLayout& Layout)
{
    const std::string App = Machine.ProgramFiles() + "\\Grid Expert";
    const std::string Menu = Machine.StartMenuPrograms() + "\\Grid Expert";
    std::vector<std::string> Files;
    for (const std::string& Target : Targets)
        for (const std::string& Folder : {Target, Layout.DataFolderOf(Target)}) {
            if (Folder.empty())
                continue;
            Files.push_back(Folder + "\\MQL4\\Experts\\GridExpert.mq4");
            Files.push_back(Folder + "\\MQL4\\Indicators\\GridLevels.mq4");
            if (&Target == &Targets.front() && Folder == Target) {
                Files.push_back(App + "\\Manual.txt");
                Files.push_back(Menu + "\\Grid Expert Manual.lnk");
            }
        }
    for (const char* Document : {"Readme", "License", "What's New"}) {
        Files.push_back(App + "\\" + Document + ".rtf");
        Files.push_back(Menu + "\\" + Document + ".lnk");
    }
    for (const char* Name : {"Northwind Trading Tools Website.url", "Contact Email.url", "Uninstall.lnk"})
        Files.push_back(Menu + "\\" + Name);
    std::vector<std::string> Lines;
    for (const std::string& File : Files)
        Lines.push_back("Delete file " + File + " ...");
    Lines.push_back("Remove folder " + App + " ...");
    Lines.push_back("Remove folder " + Menu + " ...");
    Lines.push_back("Unregistering uninstaller ...");
    Lines.push_back("Done.");
    return Lines;
}

std::vector<std::string> Added(const std::vector<std::string>& Before, const std::vector<std::string>& After)
{
    std::vector<std::string> New;
    for (const std::string& Path : After)
        if (std::find(Before.begin(), Before.end(), Path) == Before.end())
            New.push_back(Path);
    return New;
}

} // namespace

void Uninstall(TMachine& Machine, const TScenarioArgs& Args)
{
    TTerminalLayout Layout(Machine);
    std::vector<std::string> Targets = Layout.Found();
    Targets.push_back(Layout.Added);
    const std::string App = Machine.ProgramFiles() + "\\Grid Expert";
    const std::string Menu = Machine.StartMenuPrograms() + "\\Grid Expert";
    const std::string Uninstaller = App + "\\Uninstall.exe";
    Check(TMachine::Exists(Uninstaller), "there is no uninstaller: the install scenario must run first");
    // The script goes to the user's temporary folder, or, when elevated, to a folder of its
    // own in the system's.
    const std::vector<std::string> Temps = {Machine.Temp(), Machine.Folder(23) + "\\Temp"};
    const auto ListTemps = [&] {
        std::vector<std::string> Paths;
        for (const std::string& Temp : Temps)
            for (const std::string& Path : TMachine::ListTree(Temp))
                Paths.push_back(Temp + "\\" + Path);
        return Paths;
    };
    const std::vector<std::string> TempBefore = ListTemps();

    TRunningTerminal Running;
    TWizard W(Uninstaller, "Uninstall - Grid Expert", Args.Work + "\\shots");
    TWindow& Window = W.Window();
    W.ExpectPage(PageWelcome);
    CheckEq(Window.Text(IDC_LABELSTART1), "Welcome to the Grid Expert v2.5 Uninstallation Wizard",
            "the welcome heading");
    const std::string Body = "This will uninstall Grid Expert v2.5 from your computer. Please close all MetaTrader "
                             "applications before you continue with the uninstallation.<br><br>Click Next to continue "
                             "with the uninstallation, or click Cancel to exit.";
    const std::string Welcome = Window.Text(IDC_LABELSTART2);
    CheckEq(Welcome.substr(0, Body.size()), Body, "the welcome text");
    CheckAdvertisement(Welcome.substr(Body.size()), 6);
    W.ExpectButtons(false, true, true, "Cancel");
    W.Shot("uninstall-1-welcome");

    const TDialog Box = W.NextToMessageBox();
    CheckEq(Box.Caption, "Error", "caption of the running-terminal box");
    CheckLines(SplitLines(Box.Text), SplitLines(TerminalRunningText), "the running-terminal box");
    ConfirmDialog(Box);
    W.ExpectPage(PageWelcome);
    Running.Close();
    Step("a running terminal keeps the uninstaller on its welcome page");

    Window.Click(IDC_BTNNEXT);
    W.ExpectPage(PageProgress);
    Check(WaitFor([&] { return Window.Enabled(IDC_BTNNEXT); }, 120000), "the uninstall run does not finish");
    W.ExpectHeader(PageProgress, "Uninstallation in Progress",
                   "Please wait while the wizard is removing files from your computer.", "Uninstallation progress ...");
    const std::vector<std::string> Lines = ExpectedUninstallLines(Machine, Targets, Layout);
    CheckLines(Window.Lines(IDC_MEMOPROGRESS), Lines, "the progress lines");
    CheckProgressLinesShowWhole(Window);
    CheckEq(std::to_string(Window.ProgressPosition(IDC_PROGRESSBAR1)), "100", "the progress bar");
    W.ExpectButtons(false, true, false, "Cancel");
    W.Shot("uninstall-2-progress");

    W.Next(PageFinish);
    CheckEq(Window.Text(IDC_LABELFINISH1), "Uninstallation Complete", "the finish heading");
    CheckEq(Window.Text(IDC_LABELFINISH2),
            "The wizard has finished uninstalling Grid Expert from your computer. You can re-install the program "
            "anytime using the installer we provided.<br><br>Click Finish to continue.",
            "the finish text");
    Check(!Window.Visible(IDC_CHECKRUN) && !Window.Visible(IDC_COMBORUN), "the run choice shows in the uninstaller");
    W.ExpectButtons(true, false, true, "Finish");
    W.Shot("uninstall-3-finish");

    Window.Click(IDC_BTNCANCEL);
    Check(W.Process().WaitForExit(20000), "the uninstaller does not end after Finish");
    CheckEq(std::to_string(W.Process().ExitCode()), "0", "the uninstaller's exit code");
    // The script waits for the program's end, deletes it and its folder, then itself.
    std::vector<std::string> Seen;
    Check(WaitFor(
              [&] {
                  for (const std::string& Path : Added(TempBefore, ListTemps()))
                      if (std::find(Seen.begin(), Seen.end(), Path) == Seen.end())
                          Seen.push_back(Path);
                  return !TMachine::Exists(App);
              },
              90000),
          "the uninstaller removed not itself and its folder: " + App + " holds " +
              std::to_string(TMachine::ListNames(App).size()) + " entries");
    for (const std::string& Path : Seen)
        Step("seen while it ran: " + Path);
    // Wine's command interpreter holds the script open until it ends, so the script's own
    // folder cannot be removed by the script's last line there; an empty folder may stay.
    std::vector<std::string> Left;
    const bool Tidy = WaitFor(
        [&] {
            Left.clear();
            for (const std::string& Path : Added(TempBefore, ListTemps()))
                if (!TMachine::IsFolder(Path) || !TMachine::ListNames(Path).empty())
                    Left.push_back(Path);
            return Left.empty();
        },
        30000);
    CheckLines(Left, {}, std::string("what the self-removal left behind") + (Tidy ? "" : " (after 30 s)"));
    for (const std::string& Path : Added(TempBefore, ListTemps())) {
        Step("left empty: " + Path);
        TMachine::RemoveTree(Path);
    }
    Step("after Finish the uninstaller, its folder and its script are gone");

    for (const std::string& Line : Lines)
        if (Line.rfind("Delete file ", 0) == 0) {
            const std::string File = Line.substr(12, Line.size() - 12 - 4);
            Check(!TMachine::Exists(File), File + " was not deleted");
        }
    Check(!TMachine::Exists(Menu), "the Start Menu folder stays");
    Check(!Machine.RegistryKeyExists(TMachine::UninstallKey("Grid Expert")), "the registry entry stays");
    for (const std::string& Target : Targets)
        Check(TMachine::IsFolder(Target), "the terminal folder " + Target + " went too");
    Step("every installed file, the data folders' copies among them, the Start Menu folder and the registry entry "
         "are gone");
    for (const std::string& Folder : {Layout.MetaTraderData, Layout.TradingData})
        for (const char* Kept : {"", "\\MQL4", "\\MQL4\\Experts", "\\MQL4\\Indicators"})
            Check(TMachine::IsFolder(Folder + Kept), "the data folder's " + Folder + Kept + " went");
    for (const std::string& File : Layout.UserFiles)
        CheckEq(TMachine::Exists(File) ? TMachine::ReadFile(File) : "(gone)", "the trader's own", File);
    Check(TMachine::Exists(Layout.TradingSettings), "the data folder's settings file went");
    Step("the data folders, their MQL4 folders and the trader's own files in them stay");
    Layout.Remove();
}

} // namespace e2e
