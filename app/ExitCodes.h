// How setup.exe and Uninstall.exe end: the exit code a script that started them reads.
#pragma once

#include <string>

#include "language/Languages.h"

namespace qe {

enum TExitCode : int {
    ecDone = 0,            // installed or removed (or the switches listed with /?)
    ecFailed = 1,          // the run failed; what it wrote so far stays
    ecCancelled = 2,       // the wizard was closed before the run
    ecTerminalRunning = 3, // a MetaTrader terminal runs, nothing was changed
    ecDamaged = 4,         // the program's file is damaged or unreadable, nothing was changed
    ecBadCommandLine = 5,  // an unknown or malformed switch, or a log that cannot be made
};

// The meaning of Code in a few words in the language of Texts, as the log's last line
// (always in English) and the /? box give it.
std::string ExitCodeMeaning(int Code, const TTextTable& Texts = EnglishTexts());

} // namespace qe
