// The installer's one window.
#pragma once

#include <windows.h>

namespace qe {

// Creates the window for the package in the program's own file, runs the message loop
// until the window is closed, and returns the process's exit code.
int RunSetupWindow(HINSTANCE Instance, int ShowCommand);

} // namespace qe
