// The wizard with names outside ASCII everywhere: a Russian product whose names hold
// Chinese as well, terminals in folders named in both scripts, and a user whose profile
// folder is named so. Installed, read back (texts, files, shortcuts, Internet shortcuts,
// registry), and removed again by its uninstaller, whose script then removes the Cyrillic
// program folder.
#include <algorithm>
#include <set>

#include "e2e/wizard/Driver.h"
#include "e2e/wizard/Scenarios.h"
#include "e2e/wizard/Wizard.h"

namespace e2e {
namespace {

using namespace qe;

const std::string Product = "Советник Pro";
const std::string Indent(8, ' ');

// The current user's AppData folder in a profile of another name for as long as the
// object lives: the data folders lie below it.
class TProfileOfAnotherName {
public:
    TProfileOfAnotherName(TMachine& Machine, const std::string& AppData)
        : FMachine(Machine), FSaved(Machine.UserShellFolder("AppData"))
    {
        TMachine::MakeFolders(AppData);
        Machine.SetUserShellFolder("AppData", AppData);
    }
    ~TProfileOfAnotherName() { FMachine.SetUserShellFolder("AppData", FSaved); }
    TProfileOfAnotherName(const TProfileOfAnotherName&) = delete;
    TProfileOfAnotherName& operator=(const TProfileOfAnotherName&) = delete;

private:
    TMachine& FMachine;
    std::string FSaved;
};

void ExpectContains(const std::string& Text, const std::string& Part, const std::string& What)
{
    Check(Text.find(Part) != std::string::npos, What + " does not show \"" + Part + "\": [" + Text + "]");
}

void ExpectSameContents(const std::string& Source, const std::string& Installed)
{
    Check(TMachine::Exists(Installed), Installed + " was not installed");
    Check(TMachine::ReadFile(Installed) == TMachine::ReadFile(Source), Installed + " differs from " + Source);
}

} // namespace

void InstallUnicode(TMachine& Machine, const TScenarioArgs& Args)
{
    // The terminals the other scenarios leave must not be on the list.
    TTerminalLayout(Machine).Remove();
    Machine.ForgetProduct(Product);
    const std::string Profile = "C:\\users\\Трейдер 交易";
    TMachine::RemoveTree(Profile);
    TProfileOfAnotherName AppData(Machine, Profile + "\\AppData\\Roaming");
    const std::string DataRoot = Machine.TerminalDataRoot();
    CheckEq(DataRoot, Profile + "\\AppData\\Roaming\\MetaQuotes\\Terminal", "the data folders' root");

    // A terminal under Program Files with a data folder named by its ID, and one elsewhere
    // known by the origin.txt of a data folder of another name.
    const std::string InProgramFiles = Machine.ProgramFiles() + "\\МетаТрейдер 4 网格";
    const std::string Elsewhere = "C:\\Трейдинг\\Брокер 交易 MT4";
    const std::string DataById = DataRoot + "\\" + Machine.TerminalDataId(InProgramFiles);
    const std::string DataByOrigin = DataRoot + "\\0000000000000000000000000000C0DE";
    for (const std::string& Terminal : {InProgramFiles, Elsewhere}) {
        TMachine::RemoveTree(Terminal);
        TMachine::MakeFolders(Terminal);
        TMachine::CopyTo(Args.Terminal, Terminal + "\\terminal.exe");
    }
    MakeDataFolder(DataById);
    MakeDataFolder(DataByOrigin);
    TMachine::WriteFile(DataByOrigin + "\\origin.txt", OriginFile(Elsewhere, true, "\r\n"));
    // And a folder without a terminal, which the user adds in the folder chooser.
    const std::string Brokers = Machine.ProgramFiles() + "\\Брокеры 网格";
    const std::string Added = Brokers + "\\Добавленный MT4";
    TMachine::RemoveTree(Brokers);
    TMachine::MakeFolders(Added);
    const std::vector<std::string> Found = {InProgramFiles, Elsewhere};
    const std::vector<std::string> Targets = {InProgramFiles, Elsewhere, Added};
    const std::vector<std::string> DataFolders = {DataById, DataByOrigin, ""};
    const std::string App = Machine.ProgramFiles() + "\\" + Product;
    const std::string Menu = Machine.StartMenuPrograms() + "\\" + Product;

    {
        TWizard W(Args.Installer, "Install - " + Product, Args.Work + "\\shots");
        TWindow& Window = W.Window();
        W.ExpectPage(PageWelcome);
        CheckEq(Window.Text(IDC_LABELSTART1), "Welcome to the Советник Pro v1.2 Installation Wizard",
                "the welcome heading");
        ExpectContains(Window.Text(IDC_LABELSTART2), "This will install Советник Pro v1.2 on your computer.",
                       "the welcome text");
        W.Shot("unicode-1-welcome");

        // The readme is RTF with Unicode escapes, the licence UTF-8 text.
        W.Next(PageInfo);
        ExpectContains(Window.Text(IDC_RICHINFO), "Прочти меня: советник торгует сеткой ордеров.", "the readme");
        ExpectContains(Window.Text(IDC_RICHINFO), "网格交易专家顾问。", "the readme");
        W.Next(PageLicense);
        const std::string License = Window.Text(IDC_RICHLICENSE);
        Check(License.rfind("Лицензионное соглашение", 0) == 0,
              "the licence does not begin with its title: [" + License + "]");
        ExpectContains(License, "Эта программа лицензируется, а не продаётся.", "the licence");
        ExpectContains(License, "本软件仅授予使用许可，不出售。", "the licence");
        W.Shot("unicode-3-license");
        AcceptLicense(W);
        Step("the readme (RTF) and the licence (UTF-8 text) show their Russian and Chinese");

        W.Next(PageFolder);
        std::vector<std::string> Listed;
        for (const auto& [Text, Mark] : Window.ListItems(IDC_LISTMETATRADER))
            Listed.push_back(Text + (Mark == 1 ? " (checked)" : " (not checked)"));
        CheckLines(Listed, {InProgramFiles + " (checked)", Elsewhere + " (checked)"}, "the terminal folders");
        Window.Click(IDC_BTNADDMETATRADER);
        const TDialog Chooser = WaitForDialog(W.Process().Id(), 20000, "SysTreeView32");
        SelectInFolderTree(Chooser, {"Брокеры 网格", "Добавленный MT4"});
        W.Shot("unicode-4-folder-chooser", Chooser.Handle);
        ConfirmDialog(Chooser);
        Check(WaitFor([&] { return Window.ListItems(IDC_LISTMETATRADER).size() == Targets.size(); }, 5000),
              "the chosen folder is not added");
        CheckEq(Window.ListItems(IDC_LISTMETATRADER).back().first, Added, "the folder picked in the chooser");
        W.Shot("unicode-4-folder");

        W.Next(PageReady);
        CheckLines(Window.Lines(IDC_MEMOREADY),
                   {"Program Name", Indent + "Советник Pro v1.2", "", "Target Folder(s)", Indent + InProgramFiles,
                    Indent + "    " + DataById, Indent + Elsewhere, Indent + "    " + DataByOrigin, Indent + Added, "",
                    "Program Folder", Indent + App, "", "Start Menu Folder", Indent + Product},
                   "the summary");
        W.Shot("unicode-5-ready");
        Step("both terminals listed and a third folder picked in the chooser, the data folders below the user's "
             "profile named in the summary");

        RunInstall(W);
        std::vector<std::string> Lines;
        for (size_t I = 0; I < Targets.size(); ++I) {
            Lines.push_back("Copying file " + Targets[I] + "\\MQL4\\Experts\\Советник 网格.mq4 ...");
            if (I == 0)
                Lines.push_back("Copying file " + App + "\\文档\\Руководство.txt ...");
            if (!DataFolders[I].empty())
                Lines.push_back("Copying file " + DataFolders[I] + "\\MQL4\\Experts\\Советник 网格.mq4 ...");
        }
        for (const auto& [File, Link] :
             {std::pair("Readme.rtf", "Readme.lnk"), std::pair("License.txt", "License.lnk")}) {
            Lines.push_back("Copying file " + App + "\\" + File + " ...");
            Lines.push_back("Creating shortcut " + Menu + "\\" + Link + " ...");
        }
        for (const std::string& Line :
             {"Creating shortcut " + Menu + "\\ООО Рога и Копыта Website.url ...",
              "Creating shortcut " + Menu + "\\Contact Email.url ...", std::string("Creating unistaller ..."),
              std::string("Registering unistaller ..."), std::string("Done.")})
            Lines.push_back(Line);
        CheckLines(Window.Lines(IDC_MEMOPROGRESS), Lines, "the progress lines");
        W.Shot("unicode-6-progress");

        W.Next(PageFinish);
        CheckEq(Window.Text(IDC_LABELFINISH2),
                "The wizard has finished installing Советник Pro to your computer. You can now launch the MetaTrader "
                "application to see Советник Pro in action.",
                "the finish text");
        CheckLines(Window.ComboItems(IDC_COMBORUN), Found, "the terminals offered to run");
        W.Shot("unicode-8-finish");
        Finish(W);
        Check(WaitFor([&] { return TMachine::Exists(InProgramFiles + "\\terminal-started.txt"); }, 20000),
              "the terminal " + InProgramFiles + " was not started");
        Step("Finish started " + InProgramFiles + "\\terminal.exe");
    }

    const std::string Examples = Args.Examples + "\\files";
    for (const std::string& Folder : {InProgramFiles, DataById, Elsewhere, DataByOrigin, Added})
        ExpectSameContents(Examples + "\\GridExpert.mq4", Folder + "\\MQL4\\Experts\\Советник 网格.mq4");
    ExpectSameContents(Examples + "\\Manual.txt", App + "\\文档\\Руководство.txt");
    CheckEq(TMachine::ReadFile(App + "\\License.txt"),
            "\xEF\xBB\xBFЛицензионное соглашение\r\n\r\nЭта программа лицензируется, а не продаётся.\r\n"
            "本软件仅授予使用许可，不出售。\r\n",
            "License.txt");
    Check(TMachine::ReadFile(App + "\\Readme.rtf").rfind("{\\rtf1", 0) == 0, "Readme.rtf is not RTF");
    CheckEq(Machine.LinkTarget(Menu + "\\Руководство 网格.lnk"), App + "\\文档\\Руководство.txt",
            "the manual's shortcut");
    CheckEq(Machine.LinkWorkingFolder(Menu + "\\Руководство 网格.lnk"), App + "\\文档", "the manual shortcut's folder");
    CheckEq(Machine.LinkTarget(Menu + "\\License.lnk"), App + "\\License.txt", "the licence's shortcut");
    CheckEq(Machine.LinkTarget(Menu + "\\Uninstall.lnk"), App + "\\Uninstall.exe", "the uninstaller's shortcut");
    CheckEq(TMachine::ReadFile(Menu + "\\ООО Рога и Копыта Website.url"),
            "[InternetShortcut]\r\nURL=http://%D0%BF%D1%80%D0%B8%D0%BC%D0%B5%D1%80.%D1%80%D1%84\r\n\r\n",
            "the website shortcut");
    CheckEq(TMachine::ReadFile(Menu + "\\Contact Email.url"),
            "[InternetShortcut]\r\nURL=mailto:%D0%98%D0%B2%D0%B0%D0%BD %D0%9F%D0%B5%D1%82%D1%80%D0%BE%D0%B2 "
            "<ivan@example.com>\r\n\r\n",
            "the e-mail shortcut");
    const std::string Key = TMachine::UninstallKey(Product);
    CheckEq(Machine.RegistryValue(Key, "DisplayName"), Product, "DisplayName");
    CheckEq(Machine.RegistryValue(Key, "UninstallString"), "\"" + App + "\\Uninstall.exe\"", "UninstallString");
    CheckEq(Machine.RegistryValue(Key, "InstallLocation"), App, "InstallLocation");
    CheckEq(Machine.RegistryValue(Key, "Publisher"), "ООО Рога и Копыта", "Publisher");
    CheckEq(Machine.RegistryValue(Key, "URLInfoAbout"), "http://пример.рф", "URLInfoAbout");
    Step("the files in the five folders, the documents, the shortcuts read back through the shell, the Internet "
         "shortcuts and the registry entry hold the names as written");

    {
        TWizard W(App + "\\Uninstall.exe", "Uninstall - " + Product, Args.Work + "\\shots");
        TWindow& Window = W.Window();
        W.ExpectPage(PageWelcome);
        CheckEq(Window.Text(IDC_LABELSTART1), "Welcome to the Советник Pro v1.2 Uninstallation Wizard",
                "the uninstaller's welcome heading");
        Window.Click(IDC_BTNNEXT);
        W.ExpectPage(PageProgress);
        Check(WaitFor([&] { return Window.Enabled(IDC_BTNNEXT); }, 120000), "the uninstall run does not finish");
        const std::vector<std::string> Lines = Window.Lines(IDC_MEMOPROGRESS);
        W.Shot("unicode-uninstall-2-progress");
        std::set<std::string> Deleted;
        for (const std::string& Line : Lines)
            if (Line.rfind("Delete file ", 0) == 0)
                Deleted.insert(Line.substr(12, Line.size() - 12 - 4));
        std::set<std::string> Expected = {App + "\\文档\\Руководство.txt",
                                          Menu + "\\Руководство 网格.lnk",
                                          App + "\\Readme.rtf",
                                          Menu + "\\Readme.lnk",
                                          App + "\\License.txt",
                                          Menu + "\\License.lnk",
                                          Menu + "\\ООО Рога и Копыта Website.url",
                                          Menu + "\\Contact Email.url",
                                          Menu + "\\Uninstall.lnk"};
        for (const std::string& Folder : {InProgramFiles, DataById, Elsewhere, DataByOrigin, Added})
            Expected.insert(Folder + "\\MQL4\\Experts\\Советник 网格.mq4");
        CheckLines({Deleted.begin(), Deleted.end()}, {Expected.begin(), Expected.end()}, "the files deleted");
        Check(std::find(Lines.begin(), Lines.end(), "Remove folder " + App + "\\文档 ...") != Lines.end(),
              "the program's Chinese folder is not removed:\n" + QuoteLines(Lines));
        W.Next(PageFinish);
        W.Window().Click(IDC_BTNCANCEL);
        Check(W.Process().WaitForExit(20000), "the uninstaller does not end after Finish");
    }
    Check(WaitFor([&] { return !TMachine::Exists(App); }, 90000), "the self-removal script left " + App + " with " +
                                                                      std::to_string(TMachine::ListNames(App).size()) +
                                                                      " entries");
    Check(!TMachine::Exists(Menu), "the Start Menu folder stays");
    Check(!Machine.RegistryKeyExists(Key), "the registry entry stays");
    for (const std::string& Folder : {InProgramFiles, DataById, Elsewhere, DataByOrigin, Added})
        Check(TMachine::IsFolder(Folder + "\\MQL4\\Experts") &&
                  !TMachine::Exists(Folder + "\\MQL4\\Experts\\Советник 网格.mq4"),
              "the expert's copy in " + Folder + " is not removed, or its folder went with it");
    Step("the uninstaller removed every copy and, through its script, itself and the folder " + App);

    for (const std::string& Folder : {InProgramFiles, Brokers})
        TMachine::RemoveTree(Folder);
    TMachine::RemoveTree("C:\\Трейдинг");
    TMachine::RemoveTree(Profile);
}

} // namespace e2e
