#include "platform/ShellLink.h"

#include "platform/Exceptions.h"
#include "platform/Unicode.h"

namespace qe {

void TShellLink::Save(const std::string& FileName) const
{
    if (Utf16Length(FileName) > MaxLinkFileName)
        throw EFCreateError(CannotCreateFileMessage(FileName, "The filename or extension is too long"));
    FShell.SaveLink(*this, FileName);
}

} // namespace qe
