#include "Exceptions.h"

namespace qe {

std::string CannotOpenFileMessage(const std::string& Path, const std::string& Reason)
{
    return "Cannot open file \"" + Path + "\". " + Reason;
}

std::string CannotCreateFileMessage(const std::string& Path, const std::string& Reason)
{
    return "Cannot create file \"" + Path + "\". " + Reason;
}

} // namespace qe
