// A registry in memory: keys under the two roots, names compared without letter case,
// values with their types, and roots that refuse writes as for a user without
// administrator rights.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/Registry.h"

namespace qe::sim {

// Value types, with the values Windows gives them.
enum TRegistryType : uint32_t { rtString = 1, rtExpandString = 2, rtBinary = 3, rtInteger = 4 };

struct TRegistryValue {
    std::string Name;
    uint32_t Type = rtString;
    std::string Data; // strings without their terminating NUL; numbers little-endian
};

class TSimRegistry : public IRegistry {
public:
    bool ReadString(TRegistryRoot Root, const std::string& Key, const std::string& Name, bool CreateKey,
                    std::string& Value) override;
    void WriteString(TRegistryRoot Root, const std::string& Key, const std::string& Name,
                     const std::string& Value) override;
    bool ReadInteger(TRegistryRoot Root, const std::string& Key, const std::string& Name, uint32_t& Value) override;
    void WriteInteger(TRegistryRoot Root, const std::string& Key, const std::string& Name, uint32_t Value) override;
    bool DeleteKey(TRegistryRoot Root, const std::string& Key) override;
    bool KeyExists(TRegistryRoot Root, const std::string& Key) override;

    // Seeding and inspection; not part of the interface.
    void SetValue(TRegistryRoot Root, const std::string& Key, const TRegistryValue& Value);
    void SetString(TRegistryRoot Root, const std::string& Key, const std::string& Name, const std::string& Value)
    {
        SetValue(Root, Key, {Name, rtString, Value});
    }
    void RemoveValue(TRegistryRoot Root, const std::string& Key, const std::string& Name);
    // The values of Key in the order of their upper-case names; empty for a missing key.
    std::vector<TRegistryValue> Values(TRegistryRoot Root, const std::string& Key) const;
    // Every key below Root, as created.
    std::vector<std::string> Keys(TRegistryRoot Root) const;
    // No key can be created and no value set under Root.
    void DenyWrites(TRegistryRoot Root, bool Deny);

private:
    struct TKey {
        std::string Path;
        std::map<std::string, TRegistryValue> Values; // by upper-case name
    };
    using TKeyId = std::pair<TRegistryRoot, std::string>;

    static std::string Normalize(const std::string& Key);
    // Sets a value as a program does: refused under a root that denies writes.
    void Write(TRegistryRoot Root, const std::string& Key, const TRegistryValue& Value);
    TKey* Find(TRegistryRoot Root, const std::string& Key);
    TKey& Create(TRegistryRoot Root, const std::string& Key);
    const TRegistryValue* FindValue(TRegistryRoot Root, const std::string& Key, const std::string& Name);

    std::map<TKeyId, TKey> FKeys; // by root and upper-case path
    bool FDenyWrites[2] = {false, false};
};

} // namespace qe::sim
