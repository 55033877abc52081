// The Windows registry through the wide API.
#pragma once

#include "platform/Registry.h"

namespace qe::win32 {

class TWin32Registry : public IRegistry {
public:
    bool ReadString(TRegistryRoot Root, const std::string& Key, const std::string& Name, bool CreateKey,
                    std::string& Value) override;
    void WriteString(TRegistryRoot Root, const std::string& Key, const std::string& Name,
                     const std::string& Value) override;
    bool ReadInteger(TRegistryRoot Root, const std::string& Key, const std::string& Name, uint32_t& Value) override;
    void WriteInteger(TRegistryRoot Root, const std::string& Key, const std::string& Name, uint32_t Value) override;
    bool DeleteKey(TRegistryRoot Root, const std::string& Key) override;
    bool KeyExists(TRegistryRoot Root, const std::string& Key) override;

private:
    // Opens Key with full access, creating it when missing, and sets the value; raises
    // "Failed to set data for '%s'" when it cannot.
    void SetValue(TRegistryRoot Root, const std::string& Key, const std::string& Name, uint32_t Type, const void* Data,
                  size_t Size);
};

} // namespace qe::win32
