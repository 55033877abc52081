// The registry as the system uses it: string and 32-bit number (DWORD) values read from
// and written to keys under the current user's and the machine's root.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Exceptions.h"

namespace qe {

enum class TRegistryRoot { rrCurrentUser, rrLocalMachine };

// "Invalid data type for '%s'" and "Failed to set data for '%s'".
class ERegistryException : public Exception {
public:
    using Exception::Exception;
};

std::string InvalidDataTypeMessage(const std::string& Name);
std::string FailedToSetDataMessage(const std::string& Name);

class IRegistry {
public:
    virtual ~IRegistry() = default;

    // Opens Key for reading (creating it first when CreateKey is set and it is missing)
    // and reads the string value Name up to its first NUL. A missing key or value gives
    // false; a value that is not a string raises "Invalid data type for '%s'".
    virtual bool ReadString(TRegistryRoot Root, const std::string& Key, const std::string& Name, bool CreateKey,
                            std::string& Value) = 0;
    // Opens Key with full access, creating it when missing, and sets the string value
    // Name; raises "Failed to set data for '%s'" when the key cannot be opened or the
    // value cannot be set.
    virtual void WriteString(TRegistryRoot Root, const std::string& Key, const std::string& Name,
                             const std::string& Value) = 0;
    // Reads the 32-bit number value Name of Key without creating anything. A missing key
    // or value gives false; a value of another type raises "Invalid data type for '%s'".
    virtual bool ReadInteger(TRegistryRoot Root, const std::string& Key, const std::string& Name, uint32_t& Value) = 0;
    // Sets the 32-bit number (DWORD) value Name as WriteString sets a string, with the
    // same failure.
    virtual void WriteInteger(TRegistryRoot Root, const std::string& Key, const std::string& Name, uint32_t Value) = 0;
    // Deletes Key with all its subkeys and values.
    virtual bool DeleteKey(TRegistryRoot Root, const std::string& Key) = 0;
    virtual bool KeyExists(TRegistryRoot Root, const std::string& Key) = 0;
};

} // namespace qe
