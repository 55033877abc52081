// How the uninstaller removes its own file and folder: a program cannot delete its own
// running file, so it leaves a small batch script behind that the command interpreter
// runs after the program has ended. The uninstaller runs with an administrator's rights,
// so nothing another program of the user controls may reach that script: not its name,
// its folder, the interpreter found, nor its environment.
#pragma once

#include <string>
#include <vector>

#include "platform/Platform.h"

namespace qe {

// How long the script keeps trying to delete a file that stays locked: this many tries,
// one a second.
constexpr int SelfRemovalTries = 60;

struct TSelfRemovalScript {
    std::string FilePath;      // the file to delete
    bool RemoveFolder = false; // and then its folder, when that is empty
    std::string ScriptPath;    // the script itself
    // The folder made for the script alone, removed with it; empty when the script lies
    // directly in the temporary folder.
    std::string ScriptFolder;
    std::string PingPath; // the system's ping.exe, the script's one-second wait
};

// The script's lines, without line ends, and the variables of its environment that they
// use ("NAME=value"). The interpreter reads a script in the console's code page, which
// cannot write every name, but keeps its environment in UTF-16: each run of characters
// outside ASCII in a path is written as a variable holding it, and the script is ASCII.
struct TSelfRemovalText {
    std::vector<std::string> Lines;
    std::vector<std::string> Variables;
};
TSelfRemovalText SelfRemovalText(const TSelfRemovalScript& Script);

// Writes the script for FilePath (and, with RemoveFolder, its folder) under a new
// unpredictable name and starts it as a hidden idle process. The script lies in a new
// folder of its own: when the program runs elevated, below the Windows temporary folder,
// one that only administrators may change; otherwise below the user's temporary folder,
// one that only the user (and the administrators) may change. True when the script was
// started; any failure gives false and leaves no script behind.
bool SelfDelete(const TPlatform& Platform, const std::string& FilePath, bool RemoveFolder);

} // namespace qe
