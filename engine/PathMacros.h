// The macros of install targets ("{app}", "{bootdir}", "{windir}", "{winsysdir}",
// "{mydocuments}", "{metatrader}") and the two fixed folders of an installation.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "language/TextTable.h"
#include "package/QeClasses.h"
#include "platform/Exceptions.h"
#include "platform/FileSystem.h"
#include "platform/Platform.h"

namespace qe {

constexpr const char* MetaTraderMacro = "{metatrader}";

// An ordered list of name=value lines; names are matched without regard to case.
class TMacroList {
public:
    void Clear() { FLines.clear(); }
    void Add(const std::string& Name, const std::string& Value) { FLines.emplace_back(Name, Value); }
    // Overwrites the value of the line of that name in place, or appends a line.
    void SetValue(const std::string& Name, const std::string& Value);
    size_t Count() const { return FLines.size(); }
    const std::string& Name(size_t Index) const { return FLines[Index].first; }
    const std::string& Value(size_t Index) const { return FLines[Index].second; }

private:
    std::vector<std::pair<std::string, std::string>> FLines;
};

// Empties List and adds "{app}" (the program folder for Scope), "{bootdir}", "{windir}",
// "{winsysdir}" and "{mydocuments}" in that order, each looked up now.
void BuildMacros(const TPlatform& Platform, const std::string& ProgramName, TInstallScope Scope, TMacroList& List);

// Path with every macro of List replaced by its value, macro by macro in list order;
// each replacement scans once from left to right and does not rescan what it inserted.
std::string ExpandMacros(const std::string& Path, const TMacroList& List);

// Target (a plain target: TargetPathFault finds nothing) expanded with List, checked to be
// a plain absolute path inside the folder its macro stands for; raises EUnusableFolder,
// in the language of Texts, when that folder is unknown or no plain local folder on this
// computer.
std::string InstallPath(const std::string& Target, const TMacroList& List, const TTextTable& Texts);

// A folder of this computer that the install cannot use: it is not known, or it is no
// plain local folder (a network or device path, a short name...).
class EUnusableFolder : public Exception {
public:
    using Exception::Exception;
};

// Raises EUnusableFolder with the text Message of Texts (MessageUnusableProgramFolder:
// %1 the folder, %2 why) when Folder is no plain absolute path.
void RequirePlainFolder(TText Message, const std::string& Folder, const TTextTable& Texts);

// Windows names no folder of the current user's that an install for that user needs. Says
// so in the words of Texts; Text() names the message, to say it again in another language.
class ENoUserFolder : public Exception {
public:
    ENoUserFolder(TText Message, const TTextTable& Texts) : Exception(Texts.Format(Message)), FText(Message) {}
    TText Text() const { return FText; }

private:
    TText FText;
};

// Why a path cannot be written through, a link or an unopenable folder on its way (the
// folder layer's ELinkOnTheWay), in the language of Texts.
std::string LinkOnTheWayMessage(const TWayCheck& Way, const TTextTable& Texts);

// Whether an (unexpanded) target is aimed at a terminal folder.
bool IsTerminalTarget(const std::string& Target);

// The program folder: Program Files + "\" + ProgramName for every user, the user's
// "%LOCALAPPDATA%\Programs" + "\" + ProgramName for the current user. The Start Menu
// folder: the all-users or the user's Start Menu programs folder + "\" + ProgramName.
// Without a folder for the user's programs the current user's scope raises ENoUserFolder,
// in English.
std::string ProgramFolder(const TPlatform& Platform, const std::string& ProgramName, TInstallScope Scope);
std::string StartMenuFolder(const TPlatform& Platform, const std::string& ProgramName, TInstallScope Scope);
// The folders that hold the programs, and their Start Menu folders, of every product
// installed for Scope; shared with other products.
std::string ProgramsRoot(const TPlatform& Platform, TInstallScope Scope);
std::string StartMenuRoot(const TPlatform& Platform, TInstallScope Scope);

} // namespace qe
