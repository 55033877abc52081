// Deployment as scripts and package managers do it: setup.exe and Uninstall.exe started
// with their switches and no one at the screen, their exit codes and logs, the entry in
// the list of installed programs, and the installation for the current user only.
#include <algorithm>
#include <cstdio>

#include "e2e/wizard/Driver.h"
#include "e2e/wizard/Scenarios.h"
#include "e2e/wizard/Wizard.h"
#include "language/Languages.h"
#include "platform/Paths.h"
#include "platform/SysFolders.h"
#include "platform/win32/Win32Text.h"

namespace e2e {
namespace {

using namespace qe;
using win32::Wide;

const char Product[] = "Grid Expert";
const DWORD RunTimeoutMs = 120000;
// The files the example product puts into each terminal folder and data folder, by
// their source in the example's folder.
const std::vector<std::pair<std::string, std::string>> TerminalFiles = {
    {"\\MQL4\\Experts\\GridExpert.mq4", "\\files\\GridExpert.mq4"},
    {"\\MQL4\\Indicators\\GridLevels.mq4", "\\files\\GridLevels.mq4"},
};

std::string FolderOf(const std::string& Path)
{
    return Path.substr(0, Path.find_last_of('\\'));
}

std::string Quoted(const std::string& Path)
{
    return "\"" + Path + "\"";
}

// What a run without questions did: its exit code and every top-level window it had.
struct TQuietRun {
    DWORD ExitCode = 0;
    std::vector<std::string> Windows;
};

TQuietRun RunQuietly(const std::string& Program, const std::string& Arguments, bool Limited = false)
{
    TProgram Process(Program, FolderOf(Program), Arguments, Limited);
    TQuietRun Run;
    const bool Ended = WaitFor(
        [&] {
            for (const std::string& Window : WindowsOf(Process.Id()))
                if (std::find(Run.Windows.begin(), Run.Windows.end(), Window) == Run.Windows.end())
                    Run.Windows.push_back(Window);
            return Process.WaitForExit(0);
        },
        RunTimeoutMs);
    Check(Ended, Program + " " + Arguments + " does not end");
    Run.ExitCode = Process.ExitCode();
    Step("ran " + Program + " " + Arguments + ": exit code " + std::to_string(Run.ExitCode));
    return Run;
}

void ExpectExitCode(const TQuietRun& Run, int Code, const std::string& What)
{
    CheckEq(std::to_string(Run.ExitCode), std::to_string(Code), "the exit code of " + What);
}

// No window of the program appeared: none visible, none of the wizard's class and no
// message box, shown or not. Windows the system makes for a process stay hidden.
void ExpectNoWindow(const TQuietRun& Run, const std::string& What)
{
    for (const std::string& Window : Run.Windows) {
        Check(Window.find("(visible)") == std::string::npos && Window.rfind("TFormInstaller ", 0) != 0 &&
                  Window.rfind("#32770 ", 0) != 0,
              What + " had the window " + Window);
        Step("a hidden window of the system's: " + Window);
    }
}

// A log's lines, each without the local time it begins with.
std::vector<std::string> LogLines(const std::string& Log)
{
    std::vector<std::string> Lines;
    for (const std::string& Line : SplitLines(TMachine::ReadFile(Log))) {
        Check(Line.size() > 24 && Line[4] == '-' && Line[10] == ' ' && Line[19] == '.' && Line[23] == ' ',
              "a line of " + Log + " without its time: " + Line);
        Lines.push_back(Line.substr(24));
    }
    return Lines;
}

void ExpectLogLines(const std::string& Log, const std::vector<std::string>& Expected)
{
    const std::vector<std::string> Lines = LogLines(Log);
    for (const std::string& Line : Expected)
        Check(std::find(Lines.begin(), Lines.end(), Line) != Lines.end(),
              "the log has no line [" + Line + "]; it holds:\n" + QuoteLines(Lines));
}

// The list of installed programs as Wine's own "uninstaller --list" prints it, a
// "key|||name" line for each.
std::vector<std::string> InstalledPrograms(TMachine& Machine, const std::string& Work)
{
    const std::string List = Work + "\\installed-programs.txt";
    DeleteFileW(Wide(List).c_str());
    TProgram Lister(Machine.Folder(sfSystem) + "\\cmd.exe", "", "/c uninstaller --list > " + Quoted(List));
    Check(Lister.WaitForExit(60000), "uninstaller --list does not end");
    return SplitLines(TMachine::ReadFile(List));
}

void ExpectListed(TMachine& Machine, const std::string& Work, bool Listed)
{
    const auto Programs = InstalledPrograms(Machine, Work);
    const std::string Line = std::string(Product) + "|||" + Product;
    Check((std::find(Programs.begin(), Programs.end(), Line) != Programs.end()) == Listed,
          std::string("\"uninstaller --list\" ") + (Listed ? "does not show " : "still shows ") + Line + ":\n" +
              QuoteLines(Programs));
    Step(std::string("Wine's list of installed programs ") + (Listed ? "shows " : "no longer shows ") + Line);
}

std::string Today()
{
    SYSTEMTIME Now;
    GetLocalTime(&Now);
    char Text[16];
    std::snprintf(Text, sizeof Text, "%04u%02u%02u", Now.wYear, Now.wMonth, Now.wDay);
    return Text;
}

uint64_t FileSize(const std::string& Path)
{
    WIN32_FILE_ATTRIBUTE_DATA Data;
    Check(GetFileAttributesExW(Wide(Path).c_str(), GetFileExInfoStandard, &Data), "cannot read the size of " + Path);
    return static_cast<uint64_t>(Data.nFileSizeHigh) << 32 | Data.nFileSizeLow;
}

// Where an installation went: its program and Start Menu folders and the root of its
// entry in the list of installed programs.
struct TInstalled {
    std::string App, Menu;
    TRegistryRoot Root;
};

TInstalled ForEveryUser(TMachine& Machine)
{
    return {Machine.ProgramFiles() + "\\" + Product, Machine.StartMenuPrograms() + "\\" + Product,
            TRegistryRoot::rrLocalMachine};
}

TInstalled ForTheUser(TMachine& Machine)
{
    return {Machine.Folder(sfLocalAppData) + "\\Programs\\" + Product, Machine.Folder(sfPrograms) + "\\" + Product,
            TRegistryRoot::rrCurrentUser};
}

// The terminal files in each of Folders, as the example has them.
void ExpectTerminalFiles(const std::vector<std::string>& Folders, const std::string& Examples)
{
    for (const std::string& Folder : Folders)
        for (const auto& [Target, Source] : TerminalFiles)
            CheckEq(TMachine::Exists(Folder + Target) ? TMachine::ReadFile(Folder + Target) : "(none)",
                    TMachine::ReadFile(Examples + Source), Folder + Target);
}

void ExpectNoTerminalFiles(const std::vector<std::string>& Folders)
{
    for (const std::string& Folder : Folders)
        for (const auto& File : TerminalFiles)
            Check(!TMachine::Exists(Folder + File.first), Folder + File.first + " was installed");
}

// Every value of the entry, each as the example product asks: Served are the folders that
// received the terminal files, whose bytes count towards its size with everything else
// written (the shortcuts aside).
void ExpectEntry(TMachine& Machine, const TInstalled& Where, const std::vector<std::string>& Served)
{
    const std::string Key = TMachine::UninstallKey(Product);
    uint64_t Bytes = 0;
    for (const std::string& Folder : Served)
        for (const auto& File : TerminalFiles)
            Bytes += FileSize(Folder + File.first);
    for (const char* Name : {"Manual.txt", "Readme.rtf", "License.rtf", "What's New.rtf", "Uninstall.exe"})
        Bytes += FileSize(Where.App + "\\" + Name);
    for (const char* Name : {"Northwind Trading Tools Website.url", "Contact Email.url"})
        Bytes += FileSize(Where.Menu + "\\" + Name);
    const std::string Exe = Where.App + "\\Uninstall.exe";
    const std::vector<std::pair<std::string, std::string>> Strings = {
        {"DisplayName", Product},
        {"UninstallString", Quoted(Exe)},
        {"QuietUninstallString", Quoted(Exe) + " /VERYSILENT"},
        {"DisplayIcon", Exe},
        {"DisplayVersion", "2.5"},
        {"Publisher", "Northwind Trading Tools"},
        {"URLInfoAbout", "http://www.northwind-tools.example"},
        {"HelpLink", "http://www.northwind-tools.example"},
        {"Contact", "support@northwind-tools.example"},
        {"InstallLocation", Where.App},
        {"InstallDate", Today()},
    };
    for (const auto& [Name, Value] : Strings) {
        CheckEq(Machine.RegistryValue(Key, Name, Where.Root), Value, Name);
        Step("registry: " + Name + " = " + Value);
    }
    const std::vector<std::pair<std::string, uint64_t>> Numbers = {{"EstimatedSize", (Bytes + 1023) / 1024},
                                                                   {"VersionMajor", 2},
                                                                   {"VersionMinor", 5},
                                                                   {"NoModify", 1},
                                                                   {"NoRepair", 1}};
    for (const auto& [Name, Value] : Numbers) {
        CheckEq(Machine.RegistryNumber(Key, Name, Where.Root), std::to_string(Value), Name);
        Step("registry: " + Name + " = " + std::to_string(Value) + " (number)");
    }
    Check(!Machine.RegistryKeyExists(Key, Where.Root == TRegistryRoot::rrLocalMachine ? TRegistryRoot::rrCurrentUser
                                                                                      : TRegistryRoot::rrLocalMachine),
          "the entry is under both roots");
}

// After its run, the uninstaller's script removes it and its folder; the script's own
// folder stays only empty (Wine's command interpreter holds a script open to its end),
// and is cleared here.
void ExpectRemovedItself(TMachine& Machine, const TInstalled& Where)
{
    Check(WaitFor([&] { return !TMachine::Exists(Where.App); }, 90000),
          "the uninstaller did not remove itself and " + Where.App);
    for (const std::string& Temp : {Machine.Temp(), Machine.Folder(sfWindows) + "\\Temp"})
        for (const std::string& Name : TMachine::ListNames(Temp)) {
            const std::string Folder = Temp + "\\" + Name;
            if (Name.rfind("QeUninstall-", 0) != 0)
                continue;
            Check(WaitFor([&] { return TMachine::ListNames(Folder).empty(); }, 30000), "a script stays in " + Folder);
            TMachine::RemoveTree(Folder);
        }
    Step("the uninstaller removed itself and " + Where.App + "; no script is left");
}

// The uninstaller's command for silent use, as a package manager takes it from the
// entry: the program (quoted) and its switch.
std::pair<std::string, std::string> QuietUninstall(TMachine& Machine, TRegistryRoot Root)
{
    const std::string Command = Machine.RegistryValue(TMachine::UninstallKey(Product), "QuietUninstallString", Root);
    const size_t End = Command.find('"', 1);
    Check(Command[0] == '"' && End != std::string::npos, "QuietUninstallString is not quoted: " + Command);
    return {Command.substr(1, End - 1), Command.substr(End + 2)};
}

// Installs quietly for the current user only, as asked, into the one terminal outside
// Program Files, and removes it again.
void InstallForTheUserAsAsked(TMachine& Machine, const TScenarioArgs& Args, const TTerminalLayout& Layout)
{
    const TInstalled User = ForTheUser(Machine);
    const std::string Log = Args.Work + "\\current-user.log";
    ExpectExitCode(RunQuietly(Args.Installer,
                              "/VERYSILENT /CURRENTUSER /TERMINALS=" + Quoted(Layout.Trading) + " /LOG=" + Quoted(Log)),
                   0, "/CURRENTUSER");
    ExpectLogLines(Log, {"Installing for the current user only: asked for on the command line (/CURRENTUSER)"});
    ExpectTerminalFiles({Layout.Trading, Layout.TradingData}, Args.Examples);
    Check(TMachine::Exists(User.App + "\\Uninstall.exe"), "no uninstaller in " + User.App);
    Check(!TMachine::Exists(ForEveryUser(Machine).App), "the program folder under Program Files was made");
    CheckEq(Machine.RegistryValue(TMachine::UninstallKey(Product), "InstallLocation", User.Root), User.App,
            "InstallLocation for the current user");
    Check(!Machine.RegistryKeyExists(TMachine::UninstallKey(Product)), "an entry for every user was made");
    Step("/CURRENTUSER installs for the current user only, even with every right");

    const auto [Uninstaller, Switch] = QuietUninstall(Machine, User.Root);
    ExpectExitCode(RunQuietly(Uninstaller, Switch), 0, "the uninstaller for the current user");
    ExpectNoTerminalFiles({Layout.Trading, Layout.TradingData});
    Check(!Machine.RegistryKeyExists(TMachine::UninstallKey(Product), User.Root), "the user's entry stays");
    ExpectRemovedItself(Machine, User);
}

} // namespace

void SilentInstall(TMachine& Machine, const TScenarioArgs& Args)
{
    TTerminalLayout Layout(Machine);
    Machine.ForgetProduct(Product);
    Layout.Create(Args.Terminal);
    const TInstalled Every = ForEveryUser(Machine);
    const std::string Log = Args.Work + "\\install.log";
    const std::string Quiet = "/VERYSILENT /LOG=" + Quoted(Log);

    TQuietRun Run = RunQuietly(Args.Installer, Quiet + " /NOSUCHSWITCH");
    ExpectExitCode(Run, 5, "a switch it does not know");
    ExpectNoWindow(Run, "a run with a switch it does not know");
    ExpectLogLines(Log, {"Error: Unknown switch \"/NOSUCHSWITCH\".", "Result: bad command line (exit code 5)"});
    Check(!TMachine::Exists(Every.App), "a bad command line installed something");

    // The answers to a command line speak the language asked for: the list of switches and
    // a mistyped switch, in Japanese.
    {
        const TTextTable Japanese = LoadTexts("ja");
        const std::string Name = ExtractFileName(Args.Installer);
        TProgram Help(Args.Installer, Args.Work, "/LANG=ja /?");
        const TDialog List = WaitForDialog(Help.Id(), 20000);
        Check(List.Handle != nullptr, "/? shows no box");
        CheckEq(List.Caption, Name, "the caption of the /? box");
        const std::vector<std::string> Lines = SplitLines(List.Text);
        for (const std::string& Line :
             {Name + " [/SILENT | /VERYSILENT]", "/SILENT: " + Japanese.Format(TText::HelpSilent),
              Japanese.Format(TText::HelpExitCodes), "5: " + Japanese.Format(TText::ExitBadCommandLine)})
            Check(std::find(Lines.begin(), Lines.end(), Line) != Lines.end(),
                  "the /? box has no line [" + Line + "]:\n" + QuoteLines(Lines));
        Screenshot(Args.Work + "\\shots\\language-ja-switches.bmp", {List.Handle});
        ConfirmDialog(List);
        Check(Help.WaitForExit(20000), "/? does not end after its box");
        CheckEq(std::to_string(Help.ExitCode()), "0", "the exit code of /?");

        TProgram Mistyped(Args.Installer, Args.Work, "/LANG=ja /NOSUCHSWITCH");
        const TDialog Error = WaitForDialog(Mistyped.Id(), 20000);
        CheckEq(Error.Caption, Japanese.Format(TText::CaptionError), "the caption of the box for a mistyped switch");
        CheckLines(SplitLines(Error.Text),
                   {"不明なスイッチ \"/NOSUCHSWITCH\" です。", "",
                    "スイッチの一覧を表示するには " + Name + " /? を実行してください。"},
                   "the box for a mistyped switch in Japanese");
        ConfirmDialog(Error);
        Check(Mistyped.WaitForExit(20000), "a mistyped switch does not end after its box");
        CheckEq(std::to_string(Mistyped.ExitCode()), "5", "the exit code of a mistyped switch");
        Step("/? and a mistyped switch answered in Japanese under /LANG=ja");
    }

    {
        TRunningTerminal Running;
        Run = RunQuietly(Args.Installer, Quiet);
        ExpectExitCode(Run, 3, "a run while a terminal runs");
        ExpectNoWindow(Run, "a run while a terminal runs");
        ExpectLogLines(Log, {"Stopped: a MetaTrader terminal is running; nothing was changed.",
                             "Result: a MetaTrader terminal is running (exit code 3)"});
        Check(!TMachine::Exists(Every.App), "a run while a terminal runs installed something");
    }

    // /SILENT shows the progress page; a failing run's error box stands over it until
    // answered, then the program ends with its code.
    {
        TMachine::MakeFolders(Every.App);
        TMachine::WriteFile(Every.App + "\\Manual.txt", "in use");
        const HANDLE Held =
            CreateFileW(Wide(Every.App + "\\Manual.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        Check(Held != INVALID_HANDLE_VALUE, "cannot hold Manual.txt open");
        TWizard W(Args.Installer, "Install - Grid Expert", Args.Work + "\\shots", "/SILENT /LOG=" + Quoted(Log));
        W.ExpectPage(PageProgress);
        const TDialog Box = WaitForDialog(W.Process().Id(), RunTimeoutMs);
        CheckEq(Box.Caption, "Install - Grid Expert", "the caption of the failed run's box");
        const std::string Cannot = "Cannot create file \"" + Every.App + "\\Manual.txt\"";
        CheckEq(Box.Text.substr(0, Cannot.size()), Cannot, "the failed run's box");
        const std::vector<std::string> Lines = W.Window().Lines(IDC_MEMOPROGRESS);
        Check(!Lines.empty() && Lines.back() == "Copying file " + Every.App + "\\Manual.txt ...",
              "the progress lines do not end at Manual.txt:\n" + QuoteLines(Lines));
        W.ExpectButtons(false, false, false, "Cancel");
        W.Shot("silent-failed-run", Box.Handle);
        ConfirmDialog(Box);
        Check(W.Process().WaitForExit(20000), "/SILENT does not end after its error box");
        CheckEq(std::to_string(W.Process().ExitCode()), "1", "the exit code of a failed run");
        CloseHandle(Held);
        ExpectLogLines(Log, {"Result: the run failed (exit code 1)"});
        Step("/SILENT shows the progress page, its failure in a box, and ends with exit code 1");
        Machine.ForgetProduct(Product);
        Layout.Create(Args.Terminal);
    }

    Run = RunQuietly(Args.Installer, Quiet + " /TERMINALS=" + Quoted(Layout.Trading));
    ExpectExitCode(Run, 0, "/TERMINALS=");
    ExpectTerminalFiles({Layout.Trading, Layout.TradingData}, Args.Examples);
    ExpectNoTerminalFiles({Layout.Terminals[0], Layout.Terminals[1], Layout.MetaTraderData});
    ExpectLogLines(
        Log, {"Terminal folders given on the command line: " + Layout.Trading, "Folders chosen: " + Layout.Trading});
    Step("/TERMINALS= installs into that folder (and its data folder) only");
    Machine.ForgetProduct(Product);
    Layout.Create(Args.Terminal);

    Run = RunQuietly(Args.Installer, Quiet);
    ExpectExitCode(Run, 0, "/VERYSILENT");
    ExpectNoWindow(Run, "/VERYSILENT");
    const std::vector<std::string> Found = Layout.Found();
    std::string Joined;
    std::vector<std::string> Served;
    for (const std::string& Terminal : Found) {
        Joined += (Joined.empty() ? "" : "; ") + Terminal;
        Served.push_back(Terminal);
        if (!Layout.DataFolderOf(Terminal).empty())
            Served.push_back(Layout.DataFolderOf(Terminal));
    }
    ExpectTerminalFiles(Served, Args.Examples);
    CheckEq(TMachine::ReadFile(Every.App + "\\Manual.txt"), TMachine::ReadFile(Args.Examples + "\\files\\Manual.txt"),
            "Manual.txt");
    CheckEq(Machine.LinkTarget(Every.Menu + "\\Uninstall.lnk"), Every.App + "\\Uninstall.exe", "Uninstall.lnk");
    const std::vector<std::string> Lines = LogLines(Log);
    const std::vector<std::string> Head = {
        "Product: Grid Expert v2.5",
        "Installing for every user: the program runs with administrator rights",
        "The licence is taken as accepted: a silent run asks no questions.",
        "Terminals found: " + Joined,
        "Folders chosen: " + Joined,
    };
    Check(Lines.size() > Head.size() + 2 && Lines[0].rfind("Started: " + Args.Installer + " /VERYSILENT", 0) == 0,
          "the log does not begin with the start:\n" + QuoteLines(Lines));
    CheckLines({Lines.begin() + 1, Lines.begin() + 1 + static_cast<long>(Head.size())}, Head, "the log's decisions");
    CheckLines({Lines.end() - 2, Lines.end()}, {"Done.", "Result: done (exit code 0)"}, "the log's end");
    Step("/VERYSILENT installs with no window into the terminals found, and logs each step and decision");
    ExpectEntry(Machine, Every, Served);
    ExpectListed(Machine, Args.Work, true);
}

void SilentUninstall(TMachine& Machine, const TScenarioArgs& Args)
{
    TTerminalLayout Layout(Machine);
    const TInstalled Every = ForEveryUser(Machine);
    Check(TMachine::Exists(Every.App + "\\Uninstall.exe"), "there is no uninstaller: silent-install must run first");
    const auto [Uninstaller, Switch] = QuietUninstall(Machine, Every.Root);
    CheckEq(Uninstaller, Every.App + "\\Uninstall.exe", "the program of QuietUninstallString");
    const std::string Log = Args.Work + "\\uninstall.log";
    std::vector<std::string> Served;
    for (const std::string& Terminal : Layout.Found()) {
        Served.push_back(Terminal);
        if (!Layout.DataFolderOf(Terminal).empty())
            Served.push_back(Layout.DataFolderOf(Terminal));
    }

    {
        TRunningTerminal Running;
        const TQuietRun Run = RunQuietly(Uninstaller, Switch + " /LOG=" + Quoted(Log));
        ExpectExitCode(Run, 3, "the uninstaller while a terminal runs");
        ExpectNoWindow(Run, "the uninstaller while a terminal runs");
        ExpectLogLines(Log, {"Result: a MetaTrader terminal is running (exit code 3)"});
        ExpectTerminalFiles(Served, Args.Examples);
        Check(Machine.RegistryKeyExists(TMachine::UninstallKey(Product)), "the entry went while a terminal ran");
    }

    const TQuietRun Run = RunQuietly(Uninstaller, Switch + " /LOG=" + Quoted(Log));
    ExpectExitCode(Run, 0, "the uninstaller");
    ExpectNoWindow(Run, "the uninstaller");
    ExpectLogLines(Log, {"Unregistering uninstaller ...", "Done.", "Result: done (exit code 0)"});
    ExpectNoTerminalFiles(Served);
    Check(!TMachine::Exists(Every.Menu), "the Start Menu folder stays");
    Check(!Machine.RegistryKeyExists(TMachine::UninstallKey(Product)), "the entry stays");
    ExpectRemovedItself(Machine, Every);
    ExpectListed(Machine, Args.Work, false);
    Layout.Remove();
}

void PerUserPrepare(TMachine& Machine, const TScenarioArgs& Args)
{
    TTerminalLayout Layout(Machine);
    Machine.ForgetProduct(Product);
    Layout.Create(Args.Terminal);
    InstallForTheUserAsAsked(Machine, Args, Layout);
    Layout.Create(Args.Terminal);
}

void PerUser(TMachine& Machine, const TScenarioArgs& Args)
{
    TTerminalLayout Layout(Machine);
    const TInstalled User = ForTheUser(Machine);
    for (const std::string& Folder : {Machine.ProgramFiles(), Machine.StartMenuPrograms()}) {
        const std::string Probe = Folder + "\\qe-per-user-probe";
        const bool Writable = CreateDirectoryW(Wide(Probe).c_str(), nullptr) != 0;
        RemoveDirectoryW(Wide(Probe).c_str());
        Check(!Writable, Folder + " can be written: this run cannot show an installation without those rights");
    }
    Step("Program Files and the all-users Start Menu cannot be written");

    // The wizard says so on its Ready page, and ends as cancelled when closed there.
    {
        TWizard W(Args.Installer, "Install - Grid Expert", Args.Work + "\\shots", "", true);
        W.ExpectPage(PageWelcome);
        W.Next(PageInfo);
        W.Next(PageLicense);
        AcceptLicense(W);
        W.Next(PageFolder);
        W.Next(PageReady);
        const std::string Indent(8, ' ');
        const std::vector<std::string> Summary = W.Window().Lines(IDC_MEMOREADY);
        for (const std::string& Line : {Indent + Layout.Terminals[0] + " (skipped: this user may not change it)",
                                        Indent + Layout.Trading, Indent + User.App})
            Check(std::find(Summary.begin(), Summary.end(), Line) != Summary.end(),
                  "the summary has no line [" + Line + "]:\n" + QuoteLines(Summary));
        CheckEq(Summary.size() > 3 ? Summary[3] : "", "Installed for the current user only.",
                "the summary's fourth line");
        W.Shot("install-5-ready-current-user");
        W.Window().Click(IDC_BTNCANCEL);
        Check(W.Process().WaitForExit(20000), "the wizard does not end after Cancel");
        CheckEq(std::to_string(W.Process().ExitCode()), "2", "the exit code of a cancelled wizard");
        Step("the Ready page says the installation is for the current user only; Cancel ends with exit code 2");
    }

    const std::string Log = Args.Work + "\\per-user.log";
    TQuietRun Run = RunQuietly(Args.Installer, "/VERYSILENT /LOG=" + Quoted(Log), true);
    ExpectExitCode(Run, 0, "a run without administrator rights");
    ExpectNoWindow(Run, "a run without administrator rights");
    ExpectLogLines(Log, {"Installing for the current user only: the program runs without administrator rights and "
                         "may not write to " +
                             Machine.ProgramFiles(),
                         "Skipping folder " + Layout.Terminals[0] + ": the current user may not change it",
                         "Skipping folder " + Layout.Terminals[1] + ": the current user may not change it",
                         "Result: done (exit code 0)"});
    const std::vector<std::string> Served = {Layout.MetaTraderData, Layout.Trading, Layout.TradingData};
    ExpectTerminalFiles(Served, Args.Examples);
    ExpectNoTerminalFiles({Layout.Terminals[0], Layout.Terminals[1]});
    Check(!TMachine::Exists(ForEveryUser(Machine).App), "a program folder under Program Files was made");
    CheckEq(Machine.LinkTarget(User.Menu + "\\Uninstall.lnk"), User.App + "\\Uninstall.exe", "Uninstall.lnk");
    Step("without administrator rights: the program in " + User.App + ", the shortcuts in " + User.Menu +
         ", the files in the data folders and the terminal the user may change");
    ExpectEntry(Machine, User, Served);
    ExpectListed(Machine, Args.Work, true);

    const auto [Uninstaller, Switch] = QuietUninstall(Machine, User.Root);
    Run = RunQuietly(Uninstaller, Switch + " /LOG=" + Quoted(Args.Work + "\\per-user-uninstall.log"), true);
    ExpectExitCode(Run, 0, "the uninstaller without administrator rights");
    ExpectNoWindow(Run, "the uninstaller without administrator rights");
    ExpectNoTerminalFiles(Served);
    Check(!TMachine::Exists(User.Menu), "the user's Start Menu folder stays");
    Check(!Machine.RegistryKeyExists(TMachine::UninstallKey(Product), User.Root), "the user's entry stays");
    ExpectRemovedItself(Machine, User);
    ExpectListed(Machine, Args.Work, false);
}

void PerUserTidy(TMachine& Machine, const TScenarioArgs&)
{
    TTerminalLayout(Machine).Remove();
    Machine.ForgetProduct(Product);
}

} // namespace e2e
