#include "platform/win32/Win32Registry.h"

#include <windows.h>

#include <iterator>
#include <vector>

#include "platform/win32/Win32Text.h"

namespace qe::win32 {
namespace {

HKEY RootKey(TRegistryRoot Root)
{
    return Root == TRegistryRoot::rrCurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

// Key paths are relative to the root; a leading "\" says so explicitly.
std::wstring Relative(const std::string& Key)
{
    size_t Start = Key.find_first_not_of('\\');
    return Start == std::string::npos ? std::wstring() : Wide(Key.substr(Start));
}

// Deletes Key below Parent with everything below it.
bool DeleteTree(HKEY Parent, const std::wstring& Key)
{
    HKEY H;
    if (RegOpenKeyExW(Parent, Key.c_str(), 0, KEY_ALL_ACCESS, &H) != ERROR_SUCCESS)
        return false;
    std::vector<std::wstring> SubKeys;
    wchar_t Name[256];
    for (DWORD Index = 0;; ++Index) {
        DWORD Length = static_cast<DWORD>(std::size(Name));
        if (RegEnumKeyExW(H, Index, Name, &Length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        SubKeys.emplace_back(Name, Length);
    }
    for (const std::wstring& SubKey : SubKeys)
        DeleteTree(H, SubKey);
    RegCloseKey(H);
    return RegDeleteKeyW(Parent, Key.c_str()) == ERROR_SUCCESS;
}

} // namespace

bool TWin32Registry::ReadString(TRegistryRoot Root, const std::string& Key, const std::string& Name, bool CreateKey,
                                std::string& Value)
{
    HKEY H;
    const std::wstring Path = Relative(Key);
    const LONG Opened =
        CreateKey ? RegCreateKeyExW(RootKey(Root), Path.c_str(), 0, nullptr, 0, KEY_READ, nullptr, &H, nullptr)
                  : RegOpenKeyExW(RootKey(Root), Path.c_str(), 0, KEY_READ, &H);
    if (Opened != ERROR_SUCCESS)
        return false;
    const std::wstring ValueName = Wide(Name);
    DWORD Type = 0;
    DWORD Size = 0;
    bool Found = RegQueryValueExW(H, ValueName.c_str(), nullptr, &Type, nullptr, &Size) == ERROR_SUCCESS;
    std::wstring Data;
    if (Found && (Type == REG_SZ || Type == REG_EXPAND_SZ)) {
        // Sized in bytes; a value of an odd count has its last byte cut off.
        Data.resize(Size / sizeof(wchar_t) + 1);
        Found = RegQueryValueExW(H, ValueName.c_str(), nullptr, &Type, reinterpret_cast<BYTE*>(Data.data()), &Size) ==
                ERROR_SUCCESS;
        Data.resize(std::min<size_t>(Size / sizeof(wchar_t), Data.size()));
    }
    RegCloseKey(H);
    if (!Found)
        return false;
    if (Type != REG_SZ && Type != REG_EXPAND_SZ)
        throw ERegistryException(InvalidDataTypeMessage(Name));
    Value = Utf8(Data.substr(0, Data.find(L'\0')));
    return true;
}

void TWin32Registry::WriteString(TRegistryRoot Root, const std::string& Key, const std::string& Name,
                                 const std::string& Value)
{
    const std::wstring Data = Wide(Value);
    SetValue(Root, Key, Name, REG_SZ, Data.c_str(), (Data.size() + 1) * sizeof(wchar_t));
}

bool TWin32Registry::ReadInteger(TRegistryRoot Root, const std::string& Key, const std::string& Name, uint32_t& Value)
{
    HKEY H;
    const std::wstring Path = Relative(Key);
    if (Path.empty() || RegOpenKeyExW(RootKey(Root), Path.c_str(), 0, KEY_READ, &H) != ERROR_SUCCESS)
        return false;
    DWORD Type = 0;
    DWORD Data = 0;
    DWORD Size = sizeof(Data);
    const LONG Read = RegQueryValueExW(H, Wide(Name).c_str(), nullptr, &Type, reinterpret_cast<BYTE*>(&Data), &Size);
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
    const std::wstring Path = Relative(Key);
    if (Path.empty() || RegCreateKeyExW(RootKey(Root), Path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &H,
                                        nullptr) != ERROR_SUCCESS)
        throw ERegistryException(FailedToSetDataMessage(Name));
    const LONG Set =
        RegSetValueExW(H, Wide(Name).c_str(), 0, Type, static_cast<const BYTE*>(Data), static_cast<DWORD>(Size));
    RegCloseKey(H);
    if (Set != ERROR_SUCCESS)
        throw ERegistryException(FailedToSetDataMessage(Name));
}

bool TWin32Registry::DeleteKey(TRegistryRoot Root, const std::string& Key)
{
    std::wstring Path = Relative(Key);
    while (!Path.empty() && Path.back() == L'\\')
        Path.pop_back();
    // The root itself is never deleted.
    return !Path.empty() && DeleteTree(RootKey(Root), Path);
}

bool TWin32Registry::KeyExists(TRegistryRoot Root, const std::string& Key)
{
    HKEY H;
    const std::wstring Path = Relative(Key);
    if (Path.empty() || RegOpenKeyExW(RootKey(Root), Path.c_str(), 0, KEY_READ, &H) != ERROR_SUCCESS)
        return false;
    RegCloseKey(H);
    return true;
}

} // namespace qe::win32
