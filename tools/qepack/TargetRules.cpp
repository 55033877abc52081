#include "tools/qepack/TargetRules.h"

#include "platform/CaseFolding.h"
#include "platform/Paths.h"
#include "platform/Unicode.h"

namespace qe {

// "{app}" is the product's folder under Program Files; its example stands before the name.
const TTargetMacro TargetMacros[6] = {
    {"{app}", "C:\\Program Files (x86)\\"},
    {"{metatrader}", "C:\\Program Files (x86)\\Broker Name MetaTrader 4 Terminal"},
    {"{mydocuments}", "C:\\Users\\Firstname.Lastname.Domain\\Documents"},
    {"{windir}", "C:\\Windows"},
    {"{winsysdir}", "C:\\Windows\\SysWOW64"},
    {"{bootdir}", "C:"},
};

namespace {

// Windows counts in UTF-16 units (Utf16Length). MAX_PATH less the closing zero; folders end
// 12 characters earlier (room for an 8.3 name).
constexpr size_t MaxPath = 259;
constexpr size_t MaxFolderPath = 247;
// The all-users Start Menu programs folder of today's Windows.
constexpr const char* StartMenuExample = "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\";

std::string Quoted(const std::string& Text)
{
    return "\"" + Text + "\"";
}

} // namespace

std::optional<std::string> NameFault(const std::string& Name)
{
    const auto Fault = PlainNameFault(Name);
    if (!Fault && Name.front() == ' ')
        return Quoted(Name) + " starts with a blank";
    return Fault;
}

std::optional<std::string> ProductNameFault(const std::string& Name)
{
    if (Trim(Name).empty())
        return "the product needs a name: it names the program folder, the Start Menu folder and the "
               "uninstall entry";
    if (const auto Fault = NameFault(Name))
        return "the product name names folders, and " + *Fault;
    if (const auto Fault = ProgramNameFault(Name))
        return *Fault;
    if (Utf16Length(Name) > 100)
        return "the product name is longer than 100 characters: it names folders, so keep it short";
    return std::nullopt;
}

std::optional<std::string> TargetFault(const std::string& Target, const std::string& ProgramName)
{
    // A file name of another character set, taken from a source folder.
    if (!IsValidUtf8(Target))
        return "the target " + Quoted(ValidUtf8(Target)) + " holds a name that is no UTF-8 text";
    if (const auto Fault = TargetPathFault(Target, EnglishTexts(),
                                           " (write it as {app}\\Folder\\file.ext or {metatrader}\\MQL4\\...)"))
        return Fault;
    const std::string Macro = TargetMacroOf(Target);
    // Names the installer would take, but that no vendor means: a leading blank.
    for (size_t At = Target.find("\\ "); At != std::string::npos; At = Target.find("\\ ", At + 1))
        if (const auto Fault = NameFault(Target.substr(At + 1, Target.find('\\', At + 1) - At - 1)))
            return "the target " + Quoted(Target) + " cannot be installed: " + *Fault;
    // The longest path on a usual computer: the macro's example value, then the rest.
    std::string Example;
    for (const TTargetMacro& M : TargetMacros)
        if (Macro == M.Name)
            Example = M.Example;
    if (Macro == "{app}")
        Example += ProgramName;
    const std::string Expanded = Example + Target.substr(Macro.size());
    const size_t Length = Utf16Length(Expanded);
    const size_t FolderLength = Utf16Length(Expanded.substr(0, Expanded.rfind('\\')));
    if (Length > MaxPath || FolderLength > MaxFolderPath)
        return "the target " + Quoted(Target) + " becomes " + std::to_string(Length) + " characters long as " +
               Quoted(Abridged(Expanded, 40)) + "; Windows paths end at " + std::to_string(MaxPath) + " (folders at " +
               std::to_string(MaxFolderPath) + "): shorten its folders or name";
    return std::nullopt;
}

std::optional<std::string> ShortcutFault(const std::string& Name, const std::string& ProgramName)
{
    if (Name.find_first_of("\\/") != std::string::npos)
        return "the shortcut " + Quoted(Name) +
               " is not a plain name: shortcuts go into the product's Start Menu folder, so leave out \\ and /";
    if (const auto Fault = NameFault(Name))
        return "the shortcut cannot be made: " + *Fault;
    if (SameText(Name, "Uninstall"))
        return "the shortcut \"Uninstall\" is the uninstaller's own; choose another name";
    const size_t Length = Utf16Length(std::string(StartMenuExample) + ProgramName + "\\" + Name + ".lnk");
    if (Length > MaxPath)
        return "the shortcut " + Quoted(Name) + " makes a path of " + std::to_string(Length) +
               " characters in the Start Menu; Windows paths end at " + std::to_string(MaxPath);
    return std::nullopt;
}

std::string TargetKey(const std::string& Target)
{
    return FoldCase(Target);
}

} // namespace qe
