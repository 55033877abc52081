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
    bool DeleteKey(TRegistryRoot Root, const std::string& Key) override;
    bool KeyExists(TRegistryRoot Root, const std::string& Key) override;
};

} // namespace qe::win32
