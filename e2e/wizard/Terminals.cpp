#include <algorithm>

#include "e2e/wizard/Driver.h"
#include "e2e/wizard/Scenarios.h"
#include "platform/Unicode.h"
#include "platform/win32/Win32Text.h"

namespace e2e {

const char TerminalRunningText[] =
    "The wizard detect a MetaTrader program currently running.\rPlease close the program and then click OK to "
    "continue.";

namespace {

const wchar_t TerminalClass[] = L"MetaQuotes::MetaTrader::4.00";

} // namespace

std::string OriginFile(const std::string& Folder, bool Mark, const std::string& End)
{
    std::string Bytes = Mark ? "\xFF\xFE" : "";
    for (const char16_t Unit : qe::Utf8ToUtf16(Folder + End)) {
        Bytes += static_cast<char>(Unit & 0xFF);
        Bytes += static_cast<char>(Unit >> 8);
    }
    return Bytes;
}

void MakeDataFolder(const std::string& Folder)
{
    for (const char* Sub : {"MQL4\\Experts", "MQL4\\Indicators", "MQL4\\Scripts", "MQL4\\Include", "MQL4\\Libraries",
                            "MQL4\\Files", "MQL4\\Presets", "MQL4\\Images", "templates", "profiles", "config", "logs"})
        TMachine::MakeFolders(Folder + "\\" + Sub);
}

TTerminalLayout::TTerminalLayout(TMachine& Machine) : ProgramFiles(Machine.ProgramFiles())
{
    Terminals = {ProgramFiles + "\\MetaTrader 4", ProgramFiles + "\\Broker MT4"};
    Hidden = ProgramFiles + "\\Hidden MT4";
    Odd = ProgramFiles + "\\Odd MT4";
    Brokers = ProgramFiles + "\\Brokers";
    Deep = Brokers + "\\Deep MT4";
    Added = Brokers + "\\Added MT4";
    Trading = "C:\\Trading\\Broker B MT4";
    Gone = "C:\\Trading\\Old MT4";
    DataRoot = Machine.TerminalDataRoot();
    Check(!DataRoot.empty(), "the user has no AppData folder");
    MetaTraderData = DataRoot + "\\" + Machine.TerminalDataId(Terminals[0]);
    TradingData = DataRoot + "\\" + Machine.TerminalDataId(Trading);
    StaleData = DataRoot + "\\" + Machine.TerminalDataId(Gone);
    TradingSettings = TradingData + "\\config\\experts.ini";
    UserFiles = {MetaTraderData + "\\MQL4\\Experts\\My Own EA.mq4",
                 TradingData + "\\MQL4\\Indicators\\Other Vendor.ex4"};
}

void TTerminalLayout::Create(const std::string& Terminal)
{
    Remove();
    for (const std::string& Folder : {Terminals[0], Terminals[1], Hidden, Deep, Trading}) {
        TMachine::MakeFolders(Folder);
        TMachine::CopyTo(Terminal, Folder + "\\terminal.exe");
    }
    TMachine::MakeFolders(Odd + "\\terminal.exe");
    TMachine::MakeFolders(Added);
    Check(SetFileAttributesW(qe::win32::Wide(Hidden).c_str(), FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN) &&
              (GetFileAttributesW(qe::win32::Wide(Hidden).c_str()) & FILE_ATTRIBUTE_HIDDEN) != 0,
          "this file system keeps no hidden attribute for " + Hidden);

    for (const std::string& Folder : {MetaTraderData, TradingData, StaleData})
        MakeDataFolder(Folder);
    TMachine::WriteFile(TradingData + "\\origin.txt", OriginFile(Trading, true, "\r\n"));
    TMachine::WriteFile(StaleData + "\\origin.txt", OriginFile(Gone, false, ""));
    // The terminal's settings record: "allow live trading" off, the other options on.
    std::string Settings(292, '\0');
    Settings[0] = static_cast<char>(0x90);
    for (const int Offset : {1, 8, 12, 20, 24, 28, 36, 40})
        Settings[static_cast<size_t>(Offset)] = 1;
    TMachine::WriteFile(TradingSettings, Settings);
    for (const std::string& File : UserFiles)
        TMachine::WriteFile(File, "the trader's own");
    for (const char* Shared : {"Common\\Files", "Community", "Help"})
        TMachine::MakeFolders(DataRoot + "\\" + Shared);
}

void TTerminalLayout::Remove()
{
    for (const std::string& Folder : {Terminals[0], Terminals[1], Hidden, Odd, Brokers, std::string("C:\\Trading")})
        TMachine::RemoveTree(Folder);
    // The test machine's data folders are all the layout's.
    TMachine::RemoveTree(DataRoot.substr(0, DataRoot.find_last_of('\\')));
}

std::vector<std::string> TTerminalLayout::Found() const
{
    std::vector<std::string> Found;
    for (const std::string& Name : TMachine::ListNames(ProgramFiles)) {
        const std::string Path = ProgramFiles + "\\" + Name;
        if (std::find(Terminals.begin(), Terminals.end(), Path) != Terminals.end())
            Found.push_back(Path);
    }
    Found.push_back(Trading);
    return Found;
}

std::string TTerminalLayout::DataFolderOf(const std::string& Terminal) const
{
    return Terminal == Terminals[0] ? MetaTraderData : Terminal == Trading ? TradingData : std::string();
}

TRunningTerminal::TRunningTerminal()
{
    WNDCLASSW Class{};
    Class.lpfnWndProc = DefWindowProcW;
    Class.hInstance = GetModuleHandleW(nullptr);
    Class.lpszClassName = TerminalClass;
    RegisterClassW(&Class);
    FWindow = CreateWindowExW(0, TerminalClass, L"MetaTrader 4 (stand-in)", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                              nullptr, nullptr, Class.hInstance, nullptr);
    Check(FWindow != nullptr, "cannot make a window of the terminal's class");
}

TRunningTerminal::~TRunningTerminal()
{
    Close();
}

void TRunningTerminal::Close()
{
    if (FWindow != nullptr)
        DestroyWindow(FWindow);
    FWindow = nullptr;
}

} // namespace e2e
