#include <algorithm>

#include "e2e/wizard/Driver.h"
#include "e2e/wizard/Scenarios.h"

namespace e2e {

const char TerminalRunningText[] =
    "The wizard detect a MetaTrader program currently running.\rPlease close the program and then click OK to "
    "continue.";

TTerminalLayout::TTerminalLayout(TMachine& Machine) : ProgramFiles(Machine.ProgramFiles())
{
    Terminals = {ProgramFiles + "\\MetaTrader 4", ProgramFiles + "\\Broker MT4"};
    Hidden = ProgramFiles + "\\Hidden MT4";
    Odd = ProgramFiles + "\\Odd MT4";
    Brokers = ProgramFiles + "\\Brokers";
    Deep = Brokers + "\\Deep MT4";
    Added = Brokers + "\\Added MT4";
}

void TTerminalLayout::Create(const std::string& Terminal)
{
    Remove();
    for (const std::string& Folder : {Terminals[0], Terminals[1], Hidden, Deep}) {
        TMachine::MakeFolders(Folder);
        TMachine::CopyTo(Terminal, Folder + "\\terminal.exe");
    }
    TMachine::MakeFolders(Odd + "\\terminal.exe");
    TMachine::MakeFolders(Added);
    Check(SetFileAttributesA(Hidden.c_str(), FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN) &&
              (GetFileAttributesA(Hidden.c_str()) & FILE_ATTRIBUTE_HIDDEN) != 0,
          "this file system keeps no hidden attribute for " + Hidden);
}

void TTerminalLayout::Remove()
{
    for (const std::string& Folder : {Terminals[0], Terminals[1], Hidden, Odd, Brokers})
        TMachine::RemoveTree(Folder);
}

std::vector<std::string> TTerminalLayout::Found() const
{
    std::vector<std::string> Found;
    for (const std::string& Name : TMachine::ListNames(ProgramFiles)) {
        const std::string Path = ProgramFiles + "\\" + Name;
        if (std::find(Terminals.begin(), Terminals.end(), Path) != Terminals.end())
            Found.push_back(Path);
    }
    return Found;
}

namespace {

const char TerminalClass[] = "MetaQuotes::MetaTrader::4.00";

} // namespace

TRunningTerminal::TRunningTerminal()
{
    WNDCLASSA Class{};
    Class.lpfnWndProc = DefWindowProcA;
    Class.hInstance = GetModuleHandleA(nullptr);
    Class.lpszClassName = TerminalClass;
    RegisterClassA(&Class);
    FWindow = CreateWindowExA(0, TerminalClass, "MetaTrader 4 (stand-in)", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                              nullptr, Class.hInstance, nullptr);
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
