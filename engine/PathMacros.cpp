#include "engine/PathMacros.h"

#include "language/Languages.h"
#include "package/TargetPaths.h"
#include "platform/Exceptions.h"
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

namespace {

// A folder of the current user's; one that Windows does not name would make the
// installation's paths relative to wherever the program runs.
std::string UserFolder(const TPlatform& Platform, int Id, TText Missing)
{
    const std::string Folder = ExcludeTrailingDelimiter(GetSpecialFolder(Platform, Id, false));
    if (Folder.empty())
        throw ENoUserFolder(Missing, EnglishTexts());
    return Folder;
}

} // namespace

std::string LinkOnTheWayMessage(const TWayCheck& Way, const TTextTable& Texts)
{
    return Texts.Format(Way.Kind == TEntryKind::ekLink ? TText::MessageLinkOnTheWay : TText::MessageFolderNotOpenable,
                        {Way.Folder});
}

std::string ProgramsRoot(const TPlatform& Platform, TInstallScope Scope)
{
    // Where Windows itself puts programs installed for one user (FOLDERID_UserProgramFiles).
    return Scope == TInstallScope::CurrentUser
               ? UserFolder(Platform, sfLocalAppData, TText::MessageNoUserProgramsFolder) + "\\Programs"
               : GetSpecialFolder(Platform, sfProgramFiles, false);
}

std::string StartMenuRoot(const TPlatform& Platform, TInstallScope Scope)
{
    return Scope == TInstallScope::CurrentUser ? UserFolder(Platform, sfPrograms, TText::MessageNoUserStartMenuFolder)
                                               : GetSpecialFolder(Platform, sfCommonPrograms, false);
}

std::string ProgramFolder(const TPlatform& Platform, const std::string& ProgramName, TInstallScope Scope)
{
    return ProgramsRoot(Platform, Scope) + "\\" + ProgramName;
}

std::string StartMenuFolder(const TPlatform& Platform, const std::string& ProgramName, TInstallScope Scope)
{
    return StartMenuRoot(Platform, Scope) + "\\" + ProgramName;
}

void BuildMacros(const TPlatform& Platform, const std::string& ProgramName, TInstallScope Scope, TMacroList& List)
{
    List.Clear();
    List.Add("{app}", ProgramFolder(Platform, ProgramName, Scope));
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

void RequirePlainFolder(TText Message, const std::string& Folder, const TTextTable& Texts)
{
    if (const auto Fault = PlainPathFault(Folder, Texts))
        throw EUnusableFolder(Texts.Format(Message, {Folder, *Fault}));
}

std::string InstallPath(const std::string& Target, const TMacroList& List, const TTextTable& Texts)
{
    const std::string Macro = TargetMacroOf(Target);
    std::string Folder;
    for (size_t I = 0; I < List.Count(); ++I)
        if (SameText(List.Name(I), Macro))
            Folder = List.Value(I);
    if (Folder.empty())
        throw EUnusableFolder(Texts.Format(TText::MessageMacroFolderUnknown, {Macro, Target}));
    const std::string Path = ExpandMacros(Target, List);
    // A folder's own text could hold a macro, or leave the folder once a name is added.
    if (const auto Fault = PlainPathFault(Path, Texts))
        throw EUnusableFolder(Texts.Format(TText::MessageMacroFolderUnplain, {Macro, Folder, Target, Path, *Fault}));
    if (!IsInsideFolder(Path, Folder))
        throw EUnusableFolder(Texts.Format(TText::MessageMacroFolderOutside, {Macro, Folder, Target, Path}));
    return Path;
}

bool IsTerminalTarget(const std::string& Target)
{
    return LowerCase(Target).find(MetaTraderMacro) != std::string::npos;
}

} // namespace qe
