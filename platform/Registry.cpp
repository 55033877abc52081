#include "platform/Registry.h"

namespace qe {

std::string InvalidDataTypeMessage(const std::string& Name)
{
    return "Invalid data type for '" + Name + "'";
}

std::string FailedToSetDataMessage(const std::string& Name)
{
    return "Failed to set data for '" + Name + "'";
}

} // namespace qe
