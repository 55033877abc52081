// How setup.exe and Uninstall.exe start and end around the wizard: the command line and
// the log it asks for, the /? box, and the whole run without a window for /VERYSILENT.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "app/CommandLine.h"
#include "app/SetupLog.h"
#include "app/WizardControls.h"
#include "platform/Platform.h"

namespace qe {

// A message box without a window of the program's own (none is open yet).
using TMessageBoxFunction = std::function<void(const std::string& Text, const std::string& Caption, TMessageIcon)>;

// Reads the command line (the text the system gives, the program's name first) into
// Options and opens the log it asks for. Returns the exit code when the program ends
// here: ecBadCommandLine for a fault in the switches or a log that cannot be made, told
// in a box unless boxes are suppressed and in the log when there is one; ecDone when /?
// has been answered with the list of switches. Nothing when the wizard is to run.
std::optional<int> StartSetup(const TPlatform& Platform, const std::string& CommandLine, TCommandLine& Options,
                              TSetupLog& Log, const TMessageBoxFunction& MessageBox);

// The run of /VERYSILENT: the wizard's own logic over controls without a window, through
// its pages with their defaults, and the result in the log. Returns the exit code.
int RunWithoutWindow(const TPlatform& Platform, const TCommandLine& Options, TSetupLog& Log);

} // namespace qe
