// What the system relies on about a MetaTrader 4 terminal: a folder holding its program,
// and its main window, whose presence means that a terminal is running.
#pragma once

#include <string>

namespace qe {

constexpr const char* TerminalWindowClass = "MetaQuotes::MetaTrader::4.00";

// The terminal's program in a terminal folder: what marks the folder as one, and what
// the shell opens to start the terminal.
inline std::string TerminalProgram(const std::string& Folder)
{
    return Folder + "\\terminal.exe";
}

} // namespace qe
