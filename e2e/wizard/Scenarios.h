// The wizard's end-to-end scenarios. Each prepares the machine, drives setup.exe or
// Uninstall.exe through its pages, checks every page and then what landed, and leaves
// screenshots (BMP) in its work folder's "shots" subfolder. Each throws TFailure on the
// first fault.
#pragma once

#include <string>
#include <vector>

#include "e2e/wizard/Machine.h"

namespace e2e {

struct TScenarioArgs {
    std::string Work;      // the scenario's own folder
    std::string Installer; // the installer to run (or the program whose uninstaller runs)
    std::string Terminal;  // the stand-in terminal.exe
    std::string Examples;  // the example product's source folder
};

// The terminal folders the scenarios lay out under Program Files: two real ones, and
// folders the scan must pass over.
struct TTerminalLayout {
    explicit TTerminalLayout(TMachine& Machine);
    // Lays the folders out afresh; Terminal is copied in as each terminal.exe.
    void Create(const std::string& Terminal);
    void Remove();
    // The folders the scan finds, in the order the file system delivers them.
    std::vector<std::string> Found() const;

    std::string ProgramFiles;
    std::string Hidden;  // holds terminal.exe, but is hidden
    std::string Odd;     // holds a folder named terminal.exe
    std::string Deep;    // holds terminal.exe one level too deep
    std::string Brokers; // the folder above Deep and Added
    std::string Added;   // no terminal.exe; the user adds it by hand
    std::vector<std::string> Terminals;
};

// A window of the MetaTrader terminal's class, standing in for a running terminal.
class TRunningTerminal {
public:
    TRunningTerminal();
    ~TRunningTerminal();
    TRunningTerminal(const TRunningTerminal&) = delete;
    TRunningTerminal& operator=(const TRunningTerminal&) = delete;
    void Close();

private:
    HWND FWindow = nullptr;
};

void InstallFull(TMachine& Machine, const TScenarioArgs& Args);
// The full install again, by keyboard alone: key input to the window, no clicks.
void InstallKeyboard(TMachine& Machine, const TScenarioArgs& Args);
void InstallNoTerminal(TMachine& Machine, const TScenarioArgs& Args);
void InstallDamaged(TMachine& Machine, const TScenarioArgs& Args);
void InstallPlanted(TMachine& Machine, const TScenarioArgs& Args);
void Uninstall(TMachine& Machine, const TScenarioArgs& Args);

// The error box's text while a terminal runs.
extern const char TerminalRunningText[];

} // namespace e2e
