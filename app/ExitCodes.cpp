#include "app/ExitCodes.h"

namespace qe {

std::string ExitCodeMeaning(int Code, const TTextTable& Texts)
{
    switch (Code) {
    case ecDone: return Texts.Format(TText::ExitDone);
    case ecFailed: return Texts.Format(TText::ExitFailed);
    case ecCancelled: return Texts.Format(TText::ExitCancelled);
    case ecTerminalRunning: return Texts.Format(TText::ExitTerminalRunning);
    case ecDamaged: return Texts.Format(TText::ExitDamaged);
    case ecBadCommandLine: return Texts.Format(TText::ExitBadCommandLine);
    default: return "unknown";
    }
}

} // namespace qe
