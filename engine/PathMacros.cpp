#include "engine/PathMacros.h"

#include "platform/Paths.h"
#include "platform/SysFolders.h"

namespace qe {

void TMacroList::SetValue(const std::string& Name, const std::string& Value)
{
    for (auto& Line : FLines)
        if (SameText(Line.first, Name)) {
            Line.second = Value;
            return;
        }
    Add(Name, Value);
}

std::string ProgramFolder(const TPlatform& Platform, const std::string& ProgramName)
{
    return GetSpecialFolder(Platform, sfProgramFiles, false) + "\\" + ProgramName;
}

std::string StartMenuFolder(const TPlatform& Platform, const std::string& ProgramName)
{
    return GetSpecialFolder(Platform, sfCommonPrograms, false) + "\\" + ProgramName;
}

void BuildMacros(const TPlatform& Platform, const std::string& ProgramName, TMacroList& List)
{
    List.Clear();
    List.Add("{app}", ProgramFolder(Platform, ProgramName));
    List.Add("{bootdir}", GetSpecialFolder(Platform, sfBootDir, false));
    List.Add("{windir}", GetSpecialFolder(Platform, sfWindows, false));
    List.Add("{winsysdir}", GetSpecialFolder(Platform, sfSystem, false));
    List.Add("{mydocuments}", GetSpecialFolder(Platform, sfPersonal, false));
}

std::string ExpandMacros(const std::string& Path, const TMacroList& List)
{
    std::string Result = Path;
    for (size_t I = 0; I < List.Count(); ++I) {
        const std::string Name = UpperCase(List.Name(I));
        if (Name.empty())
            continue;
        const std::string& Value = List.Value(I);
        std::string Upper = UpperCase(Result);
        std::string Replaced;
        size_t From = 0;
        for (size_t At = Upper.find(Name); At != std::string::npos; At = Upper.find(Name, From)) {
            Replaced += Result.substr(From, At - From) + Value;
            From = At + Name.size();
        }
        Replaced += Result.substr(From);
        Result = std::move(Replaced);
    }
    return Result;
}

bool IsTerminalTarget(const std::string& Target)
{
    return LowerCase(Target).find(MetaTraderMacro) != std::string::npos;
}

} // namespace qe
