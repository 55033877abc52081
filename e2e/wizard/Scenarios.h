// The wizard's end-to-end scenarios. Each prepares the machine, drives setup.exe or
// Uninstall.exe through its pages, checks every page and then what landed, and leaves
// screenshots (BMP) in its work folder's "shots" subfolder. Each throws TFailure on the
// first fault.
#pragma once

#include <string>
#include <vector>

#include "e2e/wizard/Machine.h"
#include "e2e/wizard/Wizard.h"

namespace e2e {

struct TScenarioArgs {
    std::string Work;      // the scenario's own folder
    std::string Installer; // the installer to run (or the program whose uninstaller runs)
    std::string Terminal;  // the stand-in terminal.exe
    std::string Examples;  // the example product's source folder
};

// The terminal folders the scenarios lay out: two under Program Files, one under
// C:\Trading, folders the scan must pass over, and the user's data folders as terminals
// leave them (%APPDATA%\MetaQuotes\Terminal).
struct TTerminalLayout {
    explicit TTerminalLayout(TMachine& Machine);
    // Lays the folders out afresh; Terminal is copied in as each terminal.exe.
    void Create(const std::string& Terminal);
    void Remove();
    // The folders the scan finds: those under Program Files in the order the file system
    // delivers them, then the one a data folder names.
    std::vector<std::string> Found() const;
    // The data folder of a terminal folder; "" when it has none.
    std::string DataFolderOf(const std::string& Terminal) const;

    std::string ProgramFiles;
    std::string Hidden;  // holds terminal.exe, but is hidden
    std::string Odd;     // holds a folder named terminal.exe
    std::string Deep;    // holds terminal.exe one level too deep
    std::string Brokers; // the folder above Deep and Added
    std::string Added;   // no terminal.exe; the user adds it by hand
    // Under Program Files: "MetaTrader 4", with a data folder named by its ID and no
    // origin.txt, and "Broker MT4", started with /portable, without one.
    std::vector<std::string> Terminals;
    std::string Trading; // outside Program Files, known from its data folder's origin.txt
    std::string Gone;    // named by a stale origin.txt: the terminal was removed
    std::string DataRoot;
    std::string MetaTraderData, TradingData, StaleData; // the data folders
    // In MetaTrader 4's data folder, from a terminal that wrote none, no settings file;
    // in the Trading terminal's, a whole one. Files the trader put there, in each.
    std::string TradingSettings;
    std::vector<std::string> UserFiles;
};

// An origin.txt naming Folder as a terminal writes it: UTF-16LE, with or without a
// byte-order mark, then End.
std::string OriginFile(const std::string& Folder, bool Mark, const std::string& End);
// A data folder with the folders a terminal makes in it.
void MakeDataFolder(const std::string& Folder);

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
void InstallColon(TMachine& Machine, const TScenarioArgs& Args);
void InstallSwapped(TMachine& Machine, const TScenarioArgs& Args);
// Installs and removes the example product in Russian, Simplified Chinese, Japanese and
// German, each from an installer that offers that language alone.
void InstallLanguages(TMachine& Machine, const TScenarioArgs& Args);
void Uninstall(TMachine& Machine, const TScenarioArgs& Args);
// A product, a terminal and a user whose names are Cyrillic and Chinese, installed and
// removed again.
void InstallUnicode(TMachine& Machine, const TScenarioArgs& Args);

// Steps the scenarios share: running the install to its end, and Finish with the
// program's end (accepting the licence is in Wizard.h).
void RunInstall(TWizard& W);
void Finish(TWizard& W);

// Deployment without questions: setup.exe and Uninstall.exe with their switches, exit codes
// and logs, and the installation for the current user only. PerUser runs where Program
// Files and the all-users Start Menu cannot be written (PerUserPrepare lays its machine
// out before that, PerUserTidy clears it after).
void SilentInstall(TMachine& Machine, const TScenarioArgs& Args);
void SilentUninstall(TMachine& Machine, const TScenarioArgs& Args);
void PerUserPrepare(TMachine& Machine, const TScenarioArgs& Args);
void PerUser(TMachine& Machine, const TScenarioArgs& Args);
void PerUserTidy(TMachine& Machine, const TScenarioArgs& Args);

// The error box's text while a terminal runs.
extern const char TerminalRunningText[];

} // namespace e2e
