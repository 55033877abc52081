// The install wizard's scenarios: the full product with every page, the same by keyboard
// alone, a product without readme and news on a machine without terminals, a damaged
// package, planted DLLs, an installer crafted with a ":" in a target, and an installer
// swapped while the wizard runs.
#include <algorithm>

#include "e2e/wizard/Driver.h"
#include "e2e/wizard/Scenarios.h"
#include "e2e/wizard/Wizard.h"
#include "language/Languages.h"
#include "platform/Paths.h"
#include "platform/win32/Win32Text.h"

namespace e2e {
namespace {

using namespace qe;

const std::string Indent(8, ' ');
const char RunCaption[] = "Run this MetaTrader application after install.";

std::string WelcomeBody(const std::string& Title)
{
    return "This will install " + Title +
           " on your computer. Please close all MetaTrader applications before you continue with the "
           "installation.<br><br>Click Next to continue with the installation, or click Cancel to exit.";
}

void ExpectFolderPage(TWizard& W)
{
    W.ExpectHeader(
        PageFolder, "Select Destination Folder", "Please specify where the wizard should put the program files.",
        "Please put a checkmark before a MetaTrader installation where you want to install the expert to. "
        "You can also manually add a MetaTrader folder that is not listed here by clicking the button below.");
    CheckEq(W.Window().Text(IDC_BTNADDMETATRADER), " Add a MetaTrader folder", "caption of the folder button");
}

void ExpectChecked(TWindow& Window, const std::vector<std::string>& Folders)
{
    std::vector<std::string> Got;
    for (const auto& [Text, Mark] : Window.ListItems(IDC_LISTMETATRADER))
        Got.push_back(Text + (Mark == 1 ? " (checked)" : " (not checked)"));
    std::vector<std::string> Expected;
    for (const std::string& Folder : Folders)
        Expected.push_back(Folder + " (checked)");
    CheckLines(Got, Expected, "the terminal folders");
}

// The summary: each target folder, with its data folder under it when Layout gives one.
void ExpectReadyPage(TWizard& W, const std::string& Title, const std::vector<std::string>& Targets,
                     const std::string& App, const std::string& ProgramName, const TTerminalLayout* Layout = nullptr)
{
    W.ExpectHeader(PageReady, "Ready to Install", "We have all the information needed to install the program.",
                   "Please review these information below. Click on Prev button if you want to make a correction. "
                   "When you are ready to continue, click Next button.");
    std::vector<std::string> Summary = {"Program Name", Indent + Title, "", "Target Folder(s)"};
    for (const std::string& Target : Targets) {
        Summary.push_back(Indent + Target);
        if (Layout != nullptr && !Layout->DataFolderOf(Target).empty())
            Summary.push_back(Indent + "    " + Layout->DataFolderOf(Target));
    }
    for (const std::string& Line : {std::string(), std::string("Program Folder"), Indent + App, std::string(),
                                    std::string("Start Menu Folder"), Indent + ProgramName})
        Summary.push_back(Line);
    CheckLines(W.Window().Lines(IDC_MEMOREADY), Summary, "the summary");
}

std::vector<std::string> BareInstallLines(TMachine& Machine, const std::string& Terminal)
{
    const std::string App = Machine.ProgramFiles() + "\\Bare Tool";
    const std::string Menu = Machine.StartMenuPrograms() + "\\Bare Tool";
    return {"Copying file " + Terminal + "\\experts\\BareTool.mq4 ...",
            "Copying file " + App + "\\BareTool.txt ...",
            "Copying file " + App + "\\License.rtf ...",
            "Creating shortcut " + Menu + "\\License.lnk ...",
            "Creating unistaller ...",
            "Registering unistaller ...",
            "Done."};
}

// Each target folder is followed by its data folder, which takes the terminal's files
// too, and the settings of the one data folder that holds them.
std::vector<std::string> ExpectedInstallLines(TMachine& Machine, const std::vector<std::string>& Targets,
                                              const TTerminalLayout& Layout)
{
    const std::string App = Machine.ProgramFiles() + "\\Grid Expert";
    const std::string Menu = Machine.StartMenuPrograms() + "\\Grid Expert";
    std::vector<std::string> Lines;
    for (const std::string& Target : Targets)
        for (const std::string& Folder : {Target, Layout.DataFolderOf(Target)}) {
            if (Folder.empty())
                continue;
            Lines.push_back("Copying file " + Folder + "\\MQL4\\Experts\\GridExpert.mq4 ...");
            Lines.push_back("Copying file " + Folder + "\\MQL4\\Indicators\\GridLevels.mq4 ...");
            if (&Target == &Targets.front() && Folder == Target)
                Lines.push_back("Copying file " + App + "\\Manual.txt ...");
        }
    for (const std::string& Target : Targets) {
        Lines.push_back("Overriding MetaTrader settings in " + Target + " ...");
        if (Layout.DataFolderOf(Target) == Layout.TradingData)
            Lines.push_back("Overriding MetaTrader settings in " + Layout.TradingData + " ...");
    }
    for (const char* Document : {"Readme", "License", "What's New"}) {
        Lines.push_back("Copying file " + App + "\\" + Document + ".rtf ...");
        Lines.push_back("Creating shortcut " + Menu + "\\" + Document + ".lnk ...");
    }
    Lines.push_back("Creating shortcut " + Menu + "\\Northwind Trading Tools Website.url ...");
    Lines.push_back("Creating shortcut " + Menu + "\\Contact Email.url ...");
    Lines.push_back("Creating unistaller ...");
    Lines.push_back("Registering unistaller ...");
    Lines.push_back("Done.");
    return Lines;
}

int64_t Seconds(const FILETIME& Time)
{
    return static_cast<int64_t>((static_cast<uint64_t>(Time.dwHighDateTime) << 32 | Time.dwLowDateTime) / 10000000);
}

void ExpectSameFile(const std::string& Source, const std::string& Installed)
{
    Check(TMachine::Exists(Installed), Installed + " was not installed");
    Check(TMachine::ReadFile(Installed) == TMachine::ReadFile(Source), Installed + " differs from " + Source);
    CheckEq(std::to_string(Seconds(TMachine::LastWriteTime(Installed))),
            std::to_string(Seconds(TMachine::LastWriteTime(Source))), "write time of " + Installed);
}

uint32_t Get32(const std::string& Bytes, size_t At)
{
    Check(Bytes.size() >= At + 4, "the file is too short for a number at " + std::to_string(At));
    uint32_t Value = 0;
    for (size_t I = 4; I-- > 0;)
        Value = Value << 8 | static_cast<uint8_t>(Bytes[At + I]);
    return Value;
}

uint32_t PackageOffset(const std::string& Bytes)
{
    return Get32(Bytes, 136);
}

// Whether Uninstaller begins with Installer's program, but for the checksum, which is
// the uninstaller's own.
bool IsInstallersProgram(const std::string& Installer, const std::string& Uninstaller)
{
    const size_t CheckSumAt = Get32(Installer, 0x3C) + 24 + 64;
    std::string Program = Installer.substr(0, PackageOffset(Installer));
    if (Uninstaller.size() < CheckSumAt + 4)
        return false;
    Program.replace(CheckSumAt, 4, Uninstaller, CheckSumAt, 4);
    return Uninstaller.compare(0, Program.size(), Program) == 0;
}

void ExpectFullInstallLanded(TMachine& Machine, const TScenarioArgs& Args, const std::vector<std::string>& Targets,
                             const TTerminalLayout& Layout)
{
    const std::string App = Machine.ProgramFiles() + "\\Grid Expert";
    const std::string Menu = Machine.StartMenuPrograms() + "\\Grid Expert";
    for (const std::string& Target : Targets) {
        for (const std::string& Folder : {Target, Layout.DataFolderOf(Target)}) {
            if (Folder.empty())
                continue;
            ExpectSameFile(Args.Examples + "\\files\\GridExpert.mq4", Folder + "\\MQL4\\Experts\\GridExpert.mq4");
            ExpectSameFile(Args.Examples + "\\files\\GridLevels.mq4", Folder + "\\MQL4\\Indicators\\GridLevels.mq4");
            Step("the expert and the indicator are in " + Folder);
        }
        CheckEq(std::to_string(TMachine::ReadFile(Target + "\\config\\experts.ini").size()), "292",
                "size of " + Target + "\\config\\experts.ini");
    }
    // The data folders: no new one (the portable terminal has none), nothing for the
    // removed terminal, and the settings changed only where the terminal wrote them.
    std::vector<std::string> DataFolders = TMachine::ListNames(Layout.DataRoot);
    std::sort(DataFolders.begin(), DataFolders.end());
    std::vector<std::string> Expected = {"Common", "Community", "Help"};
    for (const std::string& Folder : {Layout.MetaTraderData, Layout.TradingData, Layout.StaleData})
        Expected.push_back(Folder.substr(Layout.DataRoot.size() + 1));
    std::sort(Expected.begin(), Expected.end());
    CheckLines(DataFolders, Expected, "the data folders");
    Check(!TMachine::Exists(Layout.StaleData + "\\MQL4\\Experts\\GridExpert.mq4"), "a stale data folder got files");
    Check(!TMachine::Exists(Layout.Gone), "the removed terminal's folder was made");
    Check(!TMachine::Exists(Layout.MetaTraderData + "\\config\\experts.ini"), "a data folder got a settings file");
    const std::string Settings = TMachine::ReadFile(Layout.TradingSettings);
    std::string Flags;
    for (const int Offset : {0, 1, 4, 8, 12, 36, 40, 20})
        Flags += std::to_string(static_cast<uint8_t>(Settings.at(static_cast<size_t>(Offset)))) + " ";
    CheckEq(std::to_string(Settings.size()) + ": " + Flags, "292: 144 1 1 1 1 1 0 1 ", "the data folder's settings");
    for (const std::string& Skipped : {Layout.Hidden, Layout.Odd, Layout.Deep})
        Check(!TMachine::Exists(Skipped + "\\MQL4"), "files were installed into " + Skipped);
    ExpectSameFile(Args.Examples + "\\files\\Manual.txt", App + "\\Manual.txt");
    for (const char* Document : {"Readme.rtf", "License.rtf", "What's New.rtf"})
        Check(TMachine::ReadFile(App + "\\" + Document).rfind("{\\rtf", 0) == 0, std::string(Document) + " is not RTF");

    CheckEq(Machine.LinkTarget(Menu + "\\Grid Expert Manual.lnk"), App + "\\Manual.txt", "the manual's shortcut");
    CheckEq(Machine.LinkWorkingFolder(Menu + "\\Grid Expert Manual.lnk"), App, "the manual shortcut's folder");
    CheckEq(Machine.LinkTarget(Menu + "\\Uninstall.lnk"), App + "\\Uninstall.exe", "the uninstaller's shortcut");
    CheckEq(TMachine::ReadFile(Menu + "\\Northwind Trading Tools Website.url"),
            "[InternetShortcut]\r\nURL=http://www.northwind-tools.example\r\n\r\n", "the website shortcut");
    CheckEq(TMachine::ReadFile(Menu + "\\Contact Email.url"),
            "[InternetShortcut]\r\nURL=mailto:Anna Lindqvist <support@northwind-tools.example>\r\n\r\n",
            "the e-mail shortcut");

    const std::string Key = TMachine::UninstallKey("Grid Expert");
    CheckEq(Machine.RegistryValue(Key, "DisplayName"), "Grid Expert", "DisplayName");
    CheckEq(Machine.RegistryValue(Key, "UninstallString"), "\"" + App + "\\Uninstall.exe\"", "UninstallString");

    const std::string Installer = TMachine::ReadFile(Args.Installer);
    const std::string Uninstaller = TMachine::ReadFile(App + "\\Uninstall.exe");
    CheckEq(std::to_string(PackageOffset(Uninstaller)), std::to_string(PackageOffset(Installer)),
            "the uninstaller's record offset");
    Check(IsInstallersProgram(Installer, Uninstaller), "the uninstaller is not the installer's program");
    CheckEq(Uninstaller.substr(PackageOffset(Installer), 4), "QEUN", "the uninstall record's signature");
    Step("the files, times, shortcuts, registry entry and uninstaller are in place");
}

} // namespace

// Starts the run and waits until it has finished.
void RunInstall(TWizard& W)
{
    W.Window().Click(IDC_BTNNEXT);
    W.ExpectPage(PageProgress);
    Check(WaitFor([&] { return W.Window().Enabled(IDC_BTNNEXT); }, 120000), "the install run does not finish");
    W.ExpectHeader(PageProgress, "Installation in Progress",
                   "Please wait while the wizard is copying the files to your computer.", "Installation progress ....");
}

void Finish(TWizard& W)
{
    W.Window().Click(IDC_BTNCANCEL);
    Check(W.Process().WaitForExit(20000), "the wizard does not end after Finish");
    CheckEq(std::to_string(W.Process().ExitCode()), "0", "the wizard's exit code");
    Step("Finish ends the program");
}

void InstallFull(TMachine& Machine, const TScenarioArgs& Args)
{
    Machine.ForgetProduct("Grid Expert");
    TTerminalLayout Layout(Machine);
    Layout.Create(Args.Terminal);
    const std::vector<std::string> Found = Layout.Found();
    Check(Found.size() == 3, "the two stand-in terminals are not both in Program Files");
    const std::string App = Machine.ProgramFiles() + "\\Grid Expert";

    TWizard W(Args.Installer, "Install - Grid Expert", Args.Work + "\\shots");
    TWindow& Window = W.Window();
    W.ExpectPage(PageWelcome);
    CheckEq(Window.Text(IDC_LABELSTART1), "Welcome to the Grid Expert v2.5 Installation Wizard", "the welcome heading");
    const std::string Body = WelcomeBody("Grid Expert v2.5");
    const std::string Welcome = Window.Text(IDC_LABELSTART2);
    CheckEq(Welcome.substr(0, Body.size()), Body, "the welcome text");
    const std::string Advert = Welcome.substr(Body.size());
    CheckAdvertisement(Advert, 7);
    W.ExpectButtons(false, true, true, "Cancel");
    W.Shot("install-1-welcome");

    W.Next(PageInfo);
    W.ExpectHeader(PageInfo, "Information", "Please read this important information before continuing.",
                   "When you are ready to continue with the installation, click Next.");
    Check(Window.Text(IDC_RICHINFO).find("Grid Expert places a grid of pending orders") != std::string::npos,
          "the readme is not shown: [" + Window.Text(IDC_RICHINFO) + "]");
    Check(Window.Text(IDC_RICHINFO).find("\\rtf") == std::string::npos, "the readme shows as RTF source");
    W.ExpectButtons(true, true, true, "Cancel");
    W.Shot("install-2-information");

    W.Next(PageLicense);
    W.ExpectHeader(PageLicense, "License Agreement", "Please read this License Agreement before continuing.",
                   "Please read the following License Agreement carefully. You have to agree with this agreement if "
                   "you want to install this program in your computer.");
    Check(Window.Text(IDC_RICHLICENSE).find("This software is licensed, not sold.") != std::string::npos,
          "the licence is not shown");
    CheckEq(Window.Text(IDC_RADIOACCEPT), "I accept the agreement", "caption of the accepting choice");
    CheckEq(Window.Text(IDC_RADIONOTACCEPT), "I do not accept the agreement", "caption of the refusing choice");
    Check(!Window.Checked(IDC_RADIOACCEPT) && Window.Checked(IDC_RADIONOTACCEPT),
          std::string("the licence does not start refused: accept ") +
              (Window.Checked(IDC_RADIOACCEPT) ? "on" : "off") + ", refuse " +
              (Window.Checked(IDC_RADIONOTACCEPT) ? "on" : "off"));
    W.ExpectButtons(true, false, true, "Cancel");
    W.Shot("install-3-license");
    AcceptLicense(W);
    Window.Click(IDC_RADIONOTACCEPT);
    Check(WaitFor([&] { return !Window.Enabled(IDC_BTNNEXT); }, 5000), "Next stays enabled after refusing");
    AcceptLicense(W);
    W.Prev(PageInfo);
    W.Next(PageLicense);
    Check(Window.Checked(IDC_RADIOACCEPT) && Window.Enabled(IDC_BTNNEXT), "the acceptance is lost by Prev and Next");
    Step("Next waits for the licence to be accepted; the choice survives Prev and Next");

    W.Next(PageFolder);
    ExpectFolderPage(W);
    ExpectChecked(Window, Found);
    W.ExpectButtons(true, true, true, "Cancel");
    W.Shot("install-4-folder");
    Window.Click(IDC_BTNADDMETATRADER);
    const TDialog Chooser = WaitForDialog(W.Process().Id(), 20000, "SysTreeView32");
    Check(Chooser.Text.find("Select MetaTrader Folder") != std::string::npos,
          "the folder chooser does not say \"Select MetaTrader Folder\": [" + Chooser.Text + "]");
    SelectInFolderTree(Chooser, {"Brokers", "Added MT4"});
    W.Shot("install-4-folder-chooser", Chooser.Handle);
    ConfirmDialog(Chooser);
    std::vector<std::string> Targets = Found;
    Targets.push_back(Layout.Added);
    Check(WaitFor([&] { return Window.ListItems(IDC_LISTMETATRADER).size() == Targets.size(); }, 5000),
          "the chosen folder is not added");
    ExpectChecked(Window, Targets);
    Step("two terminals found in Program Files and one in C:\\Trading from its data folder; the hidden, odd and "
         "deeper folders and the stale origin.txt passed over; one folder added by hand");

    W.Next(PageReady);
    ExpectReadyPage(W, "Grid Expert v2.5 Build 118 Release 3", Targets, App, "Grid Expert", &Layout);
    W.ExpectButtons(true, true, true, "Cancel");
    W.Shot("install-5-ready");
    Step("the summary names the two data folders under their terminals");

    RunInstall(W);
    CheckLines(Window.Lines(IDC_MEMOPROGRESS), ExpectedInstallLines(Machine, Targets, Layout), "the progress lines");
    CheckProgressLinesShowWhole(Window);
    CheckEq(std::to_string(Window.ProgressPosition(IDC_PROGRESSBAR1)), "100", "the progress bar");
    W.ExpectButtons(false, true, false, "Cancel");
    W.Shot("install-6-progress");
    // The copies, the data folders' among them, are at the top of the lines.
    Window.ScrollToTop(IDC_MEMOPROGRESS);
    W.Shot("install-6-progress-data-folders");

    W.Next(PageNews);
    W.ExpectHeader(PageNews, "What's New",
                   "These lines below contain information about changes since the last version.",
                   "When you are ready to continue, click Next.");
    Check(Window.Text(IDC_RICHNEWS).find("What is new in 2.5") != std::string::npos, "the news are not shown");
    W.ExpectButtons(true, true, false, "Cancel");
    W.Shot("install-7-whats-new");

    W.Next(PageFinish);
    CheckEq(Window.Text(IDC_LABELFINISH1), "Installation Complete", "the finish heading");
    CheckEq(Window.Text(IDC_LABELFINISH2),
            "The wizard has finished installing Grid Expert to your computer. You can now launch the MetaTrader "
            "application to see Grid Expert in action.",
            "the finish text");
    Check(Window.Visible(IDC_CHECKRUN) && Window.Checked(IDC_CHECKRUN), "the run choice is not shown checked");
    CheckEq(Window.Text(IDC_CHECKRUN), RunCaption, "caption of the run choice");
    CheckLines(Window.ComboItems(IDC_COMBORUN), Found, "the terminals offered to run");
    CheckEq(std::to_string(Window.ComboSelection(IDC_COMBORUN)), "0", "the terminal selected to run");
    W.ExpectButtons(true, false, true, "Finish");
    W.Shot("install-8-finish");
    W.Prev(PageNews);
    W.ExpectButtons(true, true, true, "Finish");
    W.Next(PageFinish);

    for (const std::string& Terminal : Found)
        TMachine::RemoveTree(Terminal + "\\terminal-started.txt");
    Finish(W);
    const std::string Started = Found[0] + "\\terminal-started.txt";
    Check(WaitFor([&] { return TMachine::Exists(Started); }, 20000), "the terminal " + Found[0] + " was not started");
    Check(!TMachine::Exists(Found[1] + "\\terminal-started.txt"), "the terminal " + Found[1] + " was started too");
    // The user's desktop starts it, with the user's rights, not the installer with its own.
    std::string Record;
    WaitFor(
        [&] {
            Record = TMachine::ReadFile(Started);
            return Record.find("started by ") != std::string::npos;
        },
        5000);
    const std::string Starter = Record.substr(std::min(Record.size(), Record.find("started by ") + 11));
    const bool ByWizard = Starter.ends_with("(process " + std::to_string(W.Process().Id()) + ")");
    Check(lstrcmpiA(Starter.substr(0, Starter.find(" (")).c_str(), "explorer.exe") == 0,
          "the terminal was started by " + Starter + (ByWizard ? ", the wizard itself," : "") +
              " not by the user's desktop (explorer.exe)");
    Step("Finish started " + Found[0] + "\\terminal.exe through the user's desktop (" + Starter + ")");

    ExpectFullInstallLanded(Machine, Args, Targets, Layout);
}

void InstallNoTerminal(TMachine& Machine, const TScenarioArgs& Args)
{
    TTerminalLayout Layout(Machine);
    Layout.Remove();
    const std::string Default = Machine.ProgramFiles() + "\\MetaTrader 4";
    for (const std::string& Name : TMachine::ListNames(Machine.ProgramFiles()))
        Check(!TMachine::Exists(Machine.ProgramFiles() + "\\" + Name + "\\terminal.exe"),
              "a terminal is left in " + Name);
    Machine.ForgetProduct("Bare Tool");

    TRunningTerminal Running;
    TWizard W(Args.Installer, "Install - Bare Tool", Args.Work + "\\shots");
    TWindow& Window = W.Window();
    W.ExpectPage(PageWelcome);
    CheckEq(Window.Text(IDC_LABELSTART1), "Welcome to the Bare Tool v1.0 Installation Wizard", "the welcome heading");
    CheckEq(Window.Text(IDC_LABELSTART2), WelcomeBody("Bare Tool v1.0"), "the welcome text without advertisement");
    for (int Attempt = 1; Attempt <= 2; ++Attempt) {
        const TDialog Box = W.NextToMessageBox();
        CheckEq(Box.Caption, "Error", "caption of the running-terminal box");
        CheckLines(SplitLines(Box.Text), SplitLines(TerminalRunningText), "the running-terminal box");
        if (Attempt == 1)
            W.Shot("message-terminal-running", Box.Handle);
        ConfirmDialog(Box);
        W.ExpectPage(PageWelcome);
    }
    Running.Close();
    Step("a running terminal keeps the wizard on the welcome page, as often as Next is pressed");
    W.Shot("bare-1-welcome");

    W.Next(PageLicense);
    AcceptLicense(W);
    const TDialog Warning = W.NextToMessageBox();
    CheckEq(Warning.Caption, "Warning", "caption of the no-terminal box");
    CheckLines(SplitLines(Warning.Text),
               {"We cannot find any MetaTrader folder in this computer.",
                "We add a default folder so you can continue with the installation,", "and install MetaTrader later."},
               "the no-terminal box");
    W.Shot("message-no-terminal", Warning.Handle);
    ConfirmDialog(Warning);
    W.ExpectPage(PageFolder);
    ExpectChecked(Window, {Default});
    W.Prev(PageLicense);
    W.Next(PageFolder);
    W.ExpectNoMessageBox("when the folder page is shown again");
    ExpectChecked(Window, {Default});
    Step("the default folder, and its warning once");

    // An item of the chooser that is no folder on a disk: the chooser grays OK for it, but
    // its command goes through all the same, as it does for some such items on Windows.
    Window.Click(IDC_BTNADDMETATRADER);
    const TDialog Chooser = WaitForDialog(W.Process().Id(), 20000, "SysTreeView32");
    SelectInFolderTree(Chooser, {"My Computer"}, true);
    PostMessageW(Chooser.Handle, WM_COMMAND, IDOK, 0);
    Check(WaitFor([&] { return !IsWindow(Chooser.Handle); }, 10000), "the folder chooser stays after OK");
    const TDialog NoPath = WaitForDialog(W.Process().Id(), 20000);
    CheckEq(NoPath.Caption, "Error", "caption of the box refusing a pick without a path");
    CheckLines(
        SplitLines(NoPath.Text),
        {"\"My Computer\" is not a folder on a disk.", "Please choose the folder where MetaTrader is installed."},
        "the box refusing a pick without a path");
    W.Shot("message-no-folder-on-disk", NoPath.Handle);
    ConfirmDialog(NoPath);
    W.ExpectPage(PageFolder);
    ExpectChecked(Window, {Default});
    W.ExpectButtons(true, true, true, "Cancel");
    Step("a pick without a path on disk is refused with its name, and the list stays as it was");

    W.Next(PageReady);
    ExpectReadyPage(W, "Bare Tool v1.0", {Default}, Machine.ProgramFiles() + "\\Bare Tool", "Bare Tool");
    RunInstall(W);
    CheckLines(Window.Lines(IDC_MEMOPROGRESS), BareInstallLines(Machine, Default), "the progress lines");
    W.Next(PageFinish);
    Check(!Window.Visible(IDC_CHECKRUN) && !Window.Visible(IDC_COMBORUN), "the run choice shows without a terminal");
    W.ExpectButtons(true, false, true, "Finish");
    W.Shot("bare-8-finish");
    Finish(W);
    Check(TMachine::Exists(Default + "\\experts\\BareTool.mq4"), "nothing was installed into the default folder");

    Machine.ForgetProduct("Bare Tool");
    TMachine::RemoveTree(Default);
}

namespace {

// Walks a product without readme on a machine without terminals to its ready page.
void WalkToReady(TWizard& W)
{
    W.ExpectPage(PageWelcome);
    W.Next(PageLicense);
    AcceptLicense(W);
    ConfirmDialog(W.NextToMessageBox()); // no terminal found
    W.Next(PageReady);
}

} // namespace

void InstallDamaged(TMachine& Machine, const TScenarioArgs& Args)
{
    TTerminalLayout Layout(Machine);
    Layout.Remove();
    const std::string Default = Machine.ProgramFiles() + "\\MetaTrader 4";
    Machine.ForgetProduct("Bare Tool");

    TWizard W(Args.Installer, "Install - Bare Tool", Args.Work + "\\shots");
    TWindow& Window = W.Window();
    WalkToReady(W);
    // What the run could change: the program files, the Start Menu and the registry.
    const auto Written = [&] {
        std::vector<std::string> Paths = TMachine::ListTree(Machine.ProgramFiles());
        for (const std::string& Path : TMachine::ListTree(Machine.StartMenuPrograms()))
            Paths.push_back("Start Menu\\" + Path);
        if (Machine.RegistryKeyExists(TMachine::UninstallKey("Bare Tool")))
            Paths.push_back("the uninstall entry");
        return Paths;
    };
    const std::vector<std::string> Before = Written();
    const TDialog Error = W.NextToMessageBox();
    CheckEq(Error.Caption, "Install - Bare Tool", "caption of the error box");
    // The installer lost its last bytes, which belong to its last file: the package check
    // refuses it before the run's first step.
    CheckEq(Error.Text,
            "The installer is damaged: the contents of BareTool.txt lie outside the file. Download it again.",
            "the error box");
    W.Shot("message-damaged-package", Error.Handle);
    ConfirmDialog(Error);
    W.ExpectPage(PageProgress);
    W.ExpectButtons(false, false, false, "Cancel");
    CheckLines(Window.Lines(IDC_MEMOPROGRESS), {}, "the progress lines");
    CheckEq(std::to_string(Window.ProgressPosition(IDC_PROGRESSBAR1)), "0", "the progress bar");
    CheckLines(Written(), Before, "what is on the machine after the refusal");
    Step("the error box: " + Error.Text);
    Step("the refusal writes nothing and leaves the wizard on the progress page, buttons disabled, no lines");
    PostMessageW(Window.Handle(), WM_CLOSE, 0, 0);
    Check(W.Process().WaitForExit(20000), "the close box does not end the wizard");

    Machine.ForgetProduct("Bare Tool");
    TMachine::RemoveTree(Default);
}

namespace {

// The control that has the keyboard focus, by its id.
void ExpectFocus(TWizard& W, int Id, const std::string& Where)
{
    const HWND Control = W.Window().Control(Id);
    Check(WaitFor([&] { return FocusedControl(W.Window().Handle()) == Control; }, 5000),
          "the focus is not on control " + std::to_string(Id) + " " + Where + " but on " +
              std::to_string(GetDlgCtrlID(FocusedControl(W.Window().Handle()))));
}

// Presses Keys and expects the focus on each control of Ids in turn.
void ExpectFocusRound(TWizard& W, std::initializer_list<WORD> Keys, const std::vector<int>& Ids,
                      const std::string& What)
{
    for (int Id : Ids) {
        PressKeys(W.Window().Handle(), Keys);
        ExpectFocus(W, Id, What);
    }
}

void PressEnterFor(TWizard& W, const TPage& Page)
{
    PressKeys(W.Window().Handle(), {VK_RETURN});
    W.ExpectPage(Page);
}

} // namespace

void InstallKeyboard(TMachine& Machine, const TScenarioArgs& Args)
{
    Machine.ForgetProduct("Grid Expert");
    TTerminalLayout Layout(Machine);
    Layout.Create(Args.Terminal);
    const std::vector<std::string> Found = Layout.Found();
    const std::string App = Machine.ProgramFiles() + "\\Grid Expert";
    {
        TWizard W(Args.Installer, "Install - Grid Expert", Args.Work + "\\shots");
        W.ExpectPage(PageWelcome);
        ExpectFocus(W, IDC_BTNNEXT, "on the welcome page");
        PressKeys(W.Window().Handle(), {VK_ESCAPE});
        Check(W.Process().WaitForExit(20000), "Esc does not end the wizard on the welcome page");
        Check(!TMachine::Exists(App), "Esc left the program folder behind");
        Step("Esc on the welcome page ends the wizard and changes nothing");
    }

    TWizard W(Args.Installer, "Install - Grid Expert", Args.Work + "\\shots");
    TWindow& Window = W.Window();
    W.ExpectPage(PageWelcome);
    ExpectFocus(W, IDC_BTNNEXT, "on the welcome page");
    const LRESULT Cues = SendMessageW(Window.Handle(), WM_QUERYUISTATE, 0, 0);
    Check((Cues & UISF_HIDEFOCUS) == 0, "the window hides its focus rectangle");
    PressEnterFor(W, PageInfo);
    ExpectFocus(W, IDC_RICHINFO, "on the information page");
    ExpectFocusRound(W, {VK_TAB}, {IDC_BTNPREV, IDC_BTNNEXT, IDC_BTNCANCEL, IDC_RICHINFO}, "after Tab");
    ExpectFocusRound(W, {VK_SHIFT, VK_TAB}, {IDC_BTNCANCEL, IDC_BTNNEXT, IDC_BTNPREV, IDC_RICHINFO}, "after Shift+Tab");
    Step("Tab and Shift+Tab go round the text, Prev, Next and Cancel in reading order");

    PressEnterFor(W, PageLicense);
    ExpectFocus(W, IDC_RICHLICENSE, "on the licence page");
    PressKeys(Window.Handle(), {VK_RETURN});
    W.ExpectNoMessageBox("after Enter on the licence page");
    W.ExpectPage(PageLicense);
    PressKeys(Window.Handle(), {VK_TAB});
    Check(WaitFor(
              [&] {
                  const HWND Focus = FocusedControl(Window.Handle());
                  return Focus == Window.Control(IDC_RADIOACCEPT) || Focus == Window.Control(IDC_RADIONOTACCEPT);
              },
              5000),
          "Tab does not reach the licence choice");
    for (int Try = 0; Try < 2 && !Window.Checked(IDC_RADIOACCEPT); ++Try) {
        PressKeys(Window.Handle(), {VK_UP});
        WaitFor([&] { return Window.Checked(IDC_RADIOACCEPT); }, 2000);
    }
    Check(Window.Checked(IDC_RADIOACCEPT) && WaitFor([&] { return Window.Enabled(IDC_BTNNEXT); }, 5000),
          "the arrow keys do not accept the licence");
    W.Shot("keyboard-3-license");
    Step("Enter waits for the licence; the arrow keys accept it");

    PressEnterFor(W, PageFolder);
    ExpectFocus(W, IDC_LISTMETATRADER, "on the folder page");
    const HWND List = Window.Control(IDC_LISTMETATRADER);
    // The first arrow may only select the item with the focus (Wine's list does).
    for (int Try = 0; Try < 2 && SendMessageW(List, LB_GETCARETINDEX, 0, 0) != 1; ++Try) {
        PressKeys(Window.Handle(), {VK_DOWN});
        WaitFor([&] { return SendMessageW(List, LB_GETCURSEL, 0, 0) == Try; }, 2000);
    }
    CheckEq(std::to_string(SendMessageW(List, LB_GETCARETINDEX, 0, 0)), "1", "the folder under the focus after Down");
    PressKeys(Window.Handle(), {VK_SPACE});
    Check(WaitFor([&] { return SendMessageW(List, LB_GETITEMDATA, 1, 0) == 0; }, 5000),
          "Space does not uncheck the second folder");
    W.Shot("keyboard-4-folder");
    PressKeys(Window.Handle(), {VK_SPACE});
    Check(WaitFor([&] { return SendMessageW(List, LB_GETITEMDATA, 1, 0) == 1; }, 5000),
          "Space does not check the second folder again");
    ExpectChecked(Window, Found);
    Step("the arrow keys move in the folder list and Space checks and unchecks a folder");

    PressEnterFor(W, PageReady);
    ExpectFocus(W, IDC_MEMOREADY, "on the ready page");
    PressKeys(Window.Handle(), {VK_RETURN});
    W.ExpectPage(PageProgress);
    Check(WaitFor([&] { return Window.Enabled(IDC_BTNNEXT); }, 120000), "the install run does not finish");
    CheckLines(Window.Lines(IDC_MEMOPROGRESS), ExpectedInstallLines(Machine, Found, Layout), "the progress lines");
    ExpectFocus(W, IDC_MEMOPROGRESS, "on the progress page");
    PressEnterFor(W, PageNews);
    ExpectFocus(W, IDC_RICHNEWS, "on the news page");
    PressEnterFor(W, PageFinish);
    ExpectFocus(W, IDC_CHECKRUN, "on the finish page");
    PressKeys(Window.Handle(), {VK_SPACE});
    Check(WaitFor([&] { return !Window.Checked(IDC_CHECKRUN); }, 5000), "Space does not uncheck the run choice");
    W.Shot("keyboard-8-finish");
    for (const std::string& Terminal : Found)
        TMachine::RemoveTree(Terminal + "\\terminal-started.txt");
    PressKeys(Window.Handle(), {VK_RETURN});
    Check(W.Process().WaitForExit(20000), "Enter on the finish page does not end the wizard");
    Sleep(1000);
    for (const std::string& Terminal : Found)
        Check(!TMachine::Exists(Terminal + "\\terminal-started.txt"), "a terminal was started: " + Terminal);
    Step("every page by Enter, the focus on each page's text, list or choice; Space unchecks the run choice and "
         "Enter finishes without starting a terminal");

    ExpectFullInstallLanded(Machine, Args, Found, Layout);
    Machine.ForgetProduct("Grid Expert");
}

void InstallPlanted(TMachine& Machine, const TScenarioArgs& Args)
{
    const std::string Downloads = Args.Installer.substr(0, Args.Installer.find_last_of('\\'));
    std::vector<std::string> Planted;
    for (const std::string& Name : TMachine::ListNames(Downloads))
        if (Name.size() > 4 && qe::SameText(Name.substr(Name.size() - 4), ".dll"))
            Planted.push_back(Name);
    Check(!Planted.empty(), "no DLL is planted beside the installer");
    Machine.ForgetProduct("Grid Expert");
    TTerminalLayout Layout(Machine);
    Layout.Create(Args.Terminal);

    {
        TWizard W(Args.Installer, "Install - Grid Expert", Args.Work + "\\shots");
        TWindow& Window = W.Window();
        W.ExpectPage(PageWelcome);
        W.Next(PageInfo);
        W.Next(PageLicense);
        AcceptLicense(W);
        W.Next(PageFolder);
        Window.Click(IDC_BTNADDMETATRADER);
        const TDialog Chooser = WaitForDialog(W.Process().Id(), 20000, "SysTreeView32");
        TWindow(Chooser.Handle).Click(IDCANCEL);
        Check(WaitFor([&] { return !IsWindow(Chooser.Handle); }, 10000), "the folder chooser stays after Cancel");
        W.Next(PageReady);
        RunInstall(W);
        W.Next(PageNews);
        W.Next(PageFinish);
        Window.Click(IDC_CHECKRUN);
        Check(WaitFor([&] { return !Window.Checked(IDC_CHECKRUN); }, 5000), "the run choice cannot be unchecked");
        Finish(W);
    }
    std::string Loaded;
    for (const std::string& Name : TMachine::ListNames(Downloads))
        if (Name.size() > 7 && Name.compare(Name.size() - 7, 7, ".loaded") == 0)
            Loaded += "    " + Name + " by " + TMachine::ReadFile(Downloads + "\\" + Name) + "\n";
    Check(Loaded.empty(), "planted DLLs were loaded:\n" + Loaded);
    std::string Names;
    for (const std::string& Name : Planted)
        Names += " " + Name;
    Step("none of the planted DLLs was loaded:" + Names);

    Machine.ForgetProduct("Grid Expert");
    Layout.Remove();
}

void InstallColon(TMachine& Machine, const TScenarioArgs& Args)
{
    TTerminalLayout Layout(Machine);
    Layout.Remove();
    const std::string App = Machine.ProgramFiles() + "\\Colon Tool";
    Machine.ForgetProduct("Colon Tool");

    TWizard W(Args.Installer, "Install - Colon Tool", Args.Work + "\\shots");
    WalkToReady(W);
    // The parent of "...\a.txt:" is itself: making its folders once recursed until the
    // stack ran out, after the first file was written.
    const TDialog Error = W.NextToMessageBox();
    CheckEq(Error.Text,
            "The installer is damaged: the target \"{app}\\a.txt:\" cannot be installed: \"a.txt:\" holds :, which "
            "Windows refuses in names. Download it again.",
            "the error box");
    W.Shot("message-unsafe-target", Error.Handle);
    ConfirmDialog(Error);
    W.ExpectPage(PageProgress);
    CheckLines(W.Window().Lines(IDC_MEMOPROGRESS), {}, "the progress lines");
    Check(!TMachine::Exists(App), "files were written to " + App);
    Check(!Machine.RegistryKeyExists(TMachine::UninstallKey("Colon Tool")), "the product was registered");
    Step("the error box: " + Error.Text);
    PostMessageW(W.Window().Handle(), WM_CLOSE, 0, 0);
    Check(W.Process().WaitForExit(20000), "the close box does not end the wizard");

    // The same box in the wizard's language: the reason in its words, the sentence ended once.
    const TTextTable Japanese = LoadTexts("ja");
    TWizard J(Args.Installer, Japanese.Format(TText::InstallTitle, {"Colon Tool"}), Args.Work + "\\shots", "/LANG=ja");
    WalkToReady(J);
    const TDialog Translated = J.NextToMessageBox();
    CheckEq(
        Translated.Text,
        "インストーラーが破損しています: インストール先 \"{app}\\a.txt:\" にはインストールできません: \"a.txt:\" に "
        "Windows が名前に使用できない文字 : が含まれています。もう一度ダウンロードしてください。",
        "the error box in Japanese");
    J.Shot("language-ja-message-unsafe-target", Translated.Handle);
    ConfirmDialog(Translated);
    Check(!TMachine::Exists(App), "files were written to " + App);
    Step("the error box in Japanese: " + Translated.Text);
    PostMessageW(J.Window().Handle(), WM_CLOSE, 0, 0);
    Check(J.Process().WaitForExit(20000), "the close box does not end the wizard");
    Machine.ForgetProduct("Colon Tool");
    TMachine::RemoveTree(Machine.ProgramFiles() + "\\MetaTrader 4");
}

void InstallSwapped(TMachine& Machine, const TScenarioArgs& Args)
{
    TTerminalLayout Layout(Machine);
    Layout.Remove();
    const std::string App = Machine.ProgramFiles() + "\\Bare Tool";
    Machine.ForgetProduct("Bare Tool");
    const std::string Genuine = TMachine::ReadFile(Args.Installer);
    // Another program of the same user, not elevated: the same package behind a program of
    // its own (marked "EVIL" in the unused bytes before its header).
    std::string Evil = Genuine;
    Evil.replace(200, 4, "EVIL");
    const std::string Renamed = Args.Work + "\\Setup-renamed.exe";

    TWizard W(Args.Installer, "Install - Bare Tool", Args.Work + "\\shots");
    WalkToReady(W);
    const bool Swapped = MoveFileW(win32::Wide(Args.Installer).c_str(), win32::Wide(Renamed).c_str()) != 0;
    const DWORD Error = GetLastError();
    if (Swapped)
        TMachine::WriteFile(Args.Installer, Evil);
    Step(Swapped ? "the installer was renamed and replaced during the run"
                 : "renaming the installer during the run is refused (error " + std::to_string(Error) + ")");
    RunInstall(W);
    W.Next(PageFinish);
    Finish(W);
    const std::string Uninstaller = TMachine::ReadFile(App + "\\Uninstall.exe");
    Check(IsInstallersProgram(Genuine, Uninstaller),
          "the registered uninstaller is not the installer's program" +
              std::string(Uninstaller.compare(200, 4, "EVIL") == 0 ? ": it is the program put in its place" : ""));
    Check(!Swapped, "the installer could be renamed and replaced while the wizard held it");
    Step("the registered uninstaller is the program that was started");

    if (Swapped) {
        DeleteFileW(win32::Wide(Args.Installer).c_str());
        MoveFileW(win32::Wide(Renamed).c_str(), win32::Wide(Args.Installer).c_str());
    }
    Machine.ForgetProduct("Bare Tool");
    TMachine::RemoveTree(Machine.ProgramFiles() + "\\MetaTrader 4");
}

} // namespace e2e
