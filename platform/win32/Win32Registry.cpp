#include "platform/win32/Win32Registry.h"

#include <windows.h>

#include <vector>

namespace qe::win32 {
namespace {

HKEY RootKey(TRegistryRoot Root)
{
    return Root == TRegistryRoot::rrCurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

// Key paths are relative to the root; a leading "\" says so explicitly.
std::string Relative(const std::string& Key)
{
    size_t Start = Key.find_first_not_of('\\');
    return Start == std::string::npos ? std::string() : Key.substr(Start);
}

// Deletes Key below Parent with everything below it.
bool DeleteTree(HKEY Parent, const std::string& Key)
{
    HKEY H;
    if (RegOpenKeyExA(Parent, Key.c_str(), 0, KEY_ALL_ACCESS, &H) != ERROR_SUCCESS)
        return false;
    std::vector<std::string> SubKeys;
    char Name[256];
    for (DWORD Index = 0;; ++Index) {
        DWORD Length = sizeof(Name);
        if (RegEnumKeyExA(H, Index, Name, &Length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        SubKeys.emplace_back(Name, Length);
    }
    for (const std::string& SubKey : SubKeys)
        DeleteTree(H, SubKey);
    RegCloseKey(H);
    return RegDeleteKeyA(Parent, Key.c_str()) == ERROR_SUCCESS;
}

} // namespace

bool TWin32Registry::ReadString(TRegistryRoot Root, const std::string& Key, const std::string& Name, bool CreateKey,
                                std::string& Value)
{
    HKEY H;
    const std::string Path = Relative(Key);
    const LONG Opened =
        CreateKey ? RegCreateKeyExA(RootKey(Root), Path.c_str(), 0, nullptr, 0, KEY_READ, nullptr, &H, nullptr)
                  : RegOpenKeyExA(RootKey(Root), Path.c_str(), 0, KEY_READ, &H);
    if (Opened != ERROR_SUCCESS)
        return false;
    DWORD Type = 0;
    DWORD Size = 0;
    bool Found = RegQueryValueExA(H, Name.c_str(), nullptr, &Type, nullptr, &Size) == ERROR_SUCCESS;
    std::string Data;
    if (Found && (Type == REG_SZ || Type == REG_EXPAND_SZ)) {
        Data.resize(Size);
        Found = RegQueryValueExA(H, Name.c_str(), nullptr, &Type, reinterpret_cast<BYTE*>(Data.data()), &Size) ==
                ERROR_SUCCESS;
        Data.resize(std::min<size_t>(Size, Data.size()));
    }
    RegCloseKey(H);
    if (!Found)
        return false;
    if (Type != REG_SZ && Type != REG_EXPAND_SZ)
        throw ERegistryException(InvalidDataTypeMessage(Name));
    Value = Data.substr(0, Data.find('\0'));
    return true;
}

void TWin32Registry::WriteString(TRegistryRoot Root, const std::string& Key, const std::string& Name,
                                 const std::string& Value)
{
    SetValue(Root, Key, Name, REG_SZ, Value.c_str(), Value.size() + 1);
}

bool TWin32Registry::ReadInteger(TRegistryRoot Root, const std::string& Key, const std::string& Name, uint32_t& Value)
{
    HKEY H;
    const std::string Path = Relative(Key);
    if (Path.empty() || RegOpenKeyExA(RootKey(Root), Path.c_str(), 0, KEY_READ, &H) != ERROR_SUCCESS)
        return false;
    DWORD Type = 0;
    DWORD Data = 0;
    DWORD Size = sizeof(Data);
    const LONG Read = RegQueryValueExA(H, Name.c_str(), nullptr, &Type, reinterpret_cast<BYTE*>(&Data), &Size);
    RegCloseKey(H);
    // A longer value of another type does not fit and reads as more data.
    if (Read != ERROR_SUCCESS && Read != ERROR_MORE_DATA)
        return false;
    if (Read != ERROR_SUCCESS || Type != REG_DWORD || Size != sizeof(Data))
        throw ERegistryException(InvalidDataTypeMessage(Name));
    Value = Data;
    return true;
}

void TWin32Registry::WriteInteger(TRegistryRoot Root, const std::string& Key, const std::string& Name, uint32_t Value)
{
    const DWORD Data = Value;
    SetValue(Root, Key, Name, REG_DWORD, &Data, sizeof(Data));
}

void TWin32Registry::SetValue(TRegistryRoot Root, const std::string& Key, const std::string& Name, uint32_t Type,
                              const void* Data, size_t Size)
{
    HKEY H;
    const std::string Path = Relative(Key);
    if (Path.empty() || RegCreateKeyExA(RootKey(Root), Path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &H,
                                        nullptr) != ERROR_SUCCESS)
        throw ERegistryException(FailedToSetDataMessage(Name));
    const LONG Set = RegSetValueExA(H, Name.c_str(), 0, Type, static_cast<const BYTE*>(Data), static_cast<DWORD>(Size));
    RegCloseKey(H);
    if (Set != ERROR_SUCCESS)
        throw ERegistryException(FailedToSetDataMessage(Name));
}

bool TWin32Registry::DeleteKey(TRegistryRoot Root, const std::string& Key)
{
    std::string Path = Relative(Key);
    while (!Path.empty() && Path.back() == '\\')
        Path.pop_back();
    // The root itself is never deleted.
    return !Path.empty() && DeleteTree(RootKey(Root), Path);
}

bool TWin32Registry::KeyExists(TRegistryRoot Root, const std::string& Key)
{
    HKEY H;
    const std::string Path = Relative(Key);
    if (Path.empty() || RegOpenKeyExA(RootKey(Root), Path.c_str(), 0, KEY_READ, &H) != ERROR_SUCCESS)
        return false;
    RegCloseKey(H);
    return true;
}

} // namespace qe::win32
