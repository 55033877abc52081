#include "engine/PathMacros.h"

#include "package/TargetPaths.h"
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

void RequirePlainFolder(const std::string& What, const std::string& Folder)
{
    if (const auto Fault = PlainPathFault(Folder))
        throw EUnusableFolder("Cannot install into " + What + " \"" + Folder + "\": " + *Fault);
}

std::string InstallPath(const std::string& Target, const TMacroList& List)
{
    const std::string Macro = TargetMacroOf(Target);
    std::string Folder;
    for (size_t I = 0; I < List.Count(); ++I)
        if (SameText(List.Name(I), Macro))
            Folder = List.Value(I);
    if (Folder.empty())
        throw EUnusableFolder("The folder of " + Macro + " is not known on this computer, so " + Target +
                              " cannot be installed");
    const std::string Path = ExpandMacros(Target, List);
    // A folder's own text could hold a macro, or leave the folder once a name is added.
    const auto Fault = PlainPathFault(Path);
    if (Fault || !IsInsideFolder(Path, Folder))
        throw EUnusableFolder("The folder of " + Macro + ", \"" + Folder + "\", is no plain local folder, so " +
                              Target + " cannot be installed (it would be \"" + Path + "\"" +
                              (Fault ? ": " + *Fault : std::string()) + ")");
    return Path;
}

bool IsTerminalTarget(const std::string& Target)
{
    return LowerCase(Target).find(MetaTraderMacro) != std::string::npos;
}

} // namespace qe
