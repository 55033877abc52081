#include "app/ExitCodes.h"

namespace qe {

std::string ExitCodeMeaning(int Code)
{
    switch (Code) {
    case ecDone: return "done";
    case ecFailed: return "the run failed";
    case ecCancelled: return "cancelled";
    case ecTerminalRunning: return "a MetaTrader terminal is running";
    case ecDamaged: return "the installer is damaged";
    case ecBadCommandLine: return "bad command line";
    default: return "unknown";
    }
}

} // namespace qe
