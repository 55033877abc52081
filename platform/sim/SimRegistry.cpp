#include "platform/sim/SimRegistry.h"

#include "platform/sim/SimCase.h"

namespace qe::sim {

std::string TSimRegistry::Normalize(const std::string& Key)
{
    std::string Result;
    size_t Start = 0;
    while (Start <= Key.size()) {
        size_t End = Key.find('\\', Start);
        if (End == std::string::npos)
            End = Key.size();
        if (End > Start) {
            if (!Result.empty())
                Result += '\\';
            Result += Key.substr(Start, End - Start);
        }
        Start = End + 1;
    }
    return Result;
}

TSimRegistry::TKey* TSimRegistry::Find(TRegistryRoot Root, const std::string& Key)
{
    const std::string Path = Normalize(Key);
    if (Path.empty())
        return nullptr;
    auto It = FKeys.find({Root, FoldCase(Path)});
    return It == FKeys.end() ? nullptr : &It->second;
}

TSimRegistry::TKey& TSimRegistry::Create(TRegistryRoot Root, const std::string& Key)
{
    const std::string Path = Normalize(Key);
    // Every key above it exists too, as in the real tree.
    size_t End = 0;
    TKey* Last = nullptr;
    do {
        End = Path.find('\\', End + 1);
        const std::string Part = Path.substr(0, End);
        auto [It, Added] = FKeys.try_emplace({Root, FoldCase(Part)});
        if (Added)
            It->second.Path = Part;
        Last = &It->second;
    } while (End != std::string::npos);
    return *Last;
}

const TRegistryValue* TSimRegistry::FindValue(TRegistryRoot Root, const std::string& Key, const std::string& Name)
{
    TKey* K = Find(Root, Key);
    if (K == nullptr)
        return nullptr;
    auto It = K->Values.find(FoldCase(Name));
    return It == K->Values.end() ? nullptr : &It->second;
}

bool TSimRegistry::ReadString(TRegistryRoot Root, const std::string& Key, const std::string& Name, bool CreateKey,
                              std::string& Value)
{
    if (Find(Root, Key) == nullptr && CreateKey && !FDenyWrites[static_cast<int>(Root)] && !Normalize(Key).empty())
        Create(Root, Key);
    const TRegistryValue* V = FindValue(Root, Key, Name);
    if (V == nullptr)
        return false;
    if (V->Type != rtString && V->Type != rtExpandString)
        throw ERegistryException(InvalidDataTypeMessage(Name));
    Value = V->Data.substr(0, V->Data.find('\0'));
    return true;
}

void TSimRegistry::WriteString(TRegistryRoot Root, const std::string& Key, const std::string& Name,
                               const std::string& Value)
{
    Write(Root, Key, {Name, rtString, Value});
}

bool TSimRegistry::ReadInteger(TRegistryRoot Root, const std::string& Key, const std::string& Name, uint32_t& Value)
{
    const TRegistryValue* V = FindValue(Root, Key, Name);
    if (V == nullptr)
        return false;
    if (V->Type != rtInteger || V->Data.size() != 4)
        throw ERegistryException(InvalidDataTypeMessage(Name));
    Value = 0;
    for (size_t I = 4; I-- > 0;)
        Value = Value << 8 | static_cast<uint8_t>(V->Data[I]);
    return true;
}

void TSimRegistry::WriteInteger(TRegistryRoot Root, const std::string& Key, const std::string& Name, uint32_t Value)
{
    std::string Data;
    for (int I = 0; I < 4; ++I)
        Data += static_cast<char>(Value >> (8 * I) & 0xFF);
    Write(Root, Key, {Name, rtInteger, Data});
}

void TSimRegistry::Write(TRegistryRoot Root, const std::string& Key, const TRegistryValue& Value)
{
    if (FDenyWrites[static_cast<int>(Root)] || Normalize(Key).empty())
        throw ERegistryException(FailedToSetDataMessage(Value.Name));
    SetValue(Root, Key, Value);
}

bool TSimRegistry::DeleteKey(TRegistryRoot Root, const std::string& Key)
{
    const std::string Path = FoldCase(Normalize(Key));
    if (Path.empty() || FDenyWrites[static_cast<int>(Root)] || Find(Root, Key) == nullptr)
        return false;
    const std::string Prefix = Path + "\\";
    for (auto It = FKeys.begin(); It != FKeys.end();) {
        if (It->first.first == Root && (It->first.second == Path || It->first.second.rfind(Prefix, 0) == 0))
            It = FKeys.erase(It);
        else
            ++It;
    }
    return true;
}

bool TSimRegistry::KeyExists(TRegistryRoot Root, const std::string& Key)
{
    return Find(Root, Key) != nullptr;
}

void TSimRegistry::SetValue(TRegistryRoot Root, const std::string& Key, const TRegistryValue& Value)
{
    Create(Root, Key).Values[FoldCase(Value.Name)] = Value;
}

void TSimRegistry::RemoveValue(TRegistryRoot Root, const std::string& Key, const std::string& Name)
{
    if (TKey* K = Find(Root, Key))
        K->Values.erase(FoldCase(Name));
}

std::vector<TRegistryValue> TSimRegistry::Values(TRegistryRoot Root, const std::string& Key) const
{
    std::vector<TRegistryValue> Result;
    auto It = FKeys.find({Root, FoldCase(Normalize(Key))});
    if (It != FKeys.end())
        for (const auto& [Upper, Value] : It->second.Values)
            Result.push_back(Value);
    return Result;
}

std::vector<std::string> TSimRegistry::Keys(TRegistryRoot Root) const
{
    std::vector<std::string> Result;
    for (const auto& [Id, K] : FKeys)
        if (Id.first == Root)
            Result.push_back(K.Path);
    return Result;
}

void TSimRegistry::DenyWrites(TRegistryRoot Root, bool Deny)
{
    FDenyWrites[static_cast<int>(Root)] = Deny;
}

} // namespace qe::sim
