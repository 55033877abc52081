#include "platform/ShellLink.h"

#include "platform/Exceptions.h"

namespace qe {

void TShellLink::Save(const std::string& FileName) const
{
    if (FileName.size() > MaxLinkFileName)
        throw EFCreateError(CannotCreateFileMessage(FileName, "The filename or extension is too long"));
    FShell.SaveLink(*this, FileName);
}

} // namespace qe
