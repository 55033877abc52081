#include "tools/qepack/TargetRules.h"

#include <array>

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
constexpr size_t MaxName = 255;
// The all-users Start Menu programs folder of today's Windows.
constexpr const char* StartMenuExample = "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\";

bool IsReservedDevice(const std::string& Name)
{
    // CON, PRN, AUX, NUL, COM1-9 and LPT1-9 are devices, with any extension too.
    const std::string Stem = UpperCase(Name.substr(0, Name.find('.')));
    static const std::array<const char*, 4> Devices = {"CON", "PRN", "AUX", "NUL"};
    for (const char* Device : Devices)
        if (Stem == Device)
            return true;
    return Stem.size() == 4 && (Stem.starts_with("COM") || Stem.starts_with("LPT")) && Stem[3] >= '1' && Stem[3] <= '9';
}

std::string Quoted(const std::string& Text)
{
    return "\"" + Text + "\"";
}

// The first Characters characters of Text and "...", for a message.
std::string Abridged(const std::string& Text, size_t Characters)
{
    size_t Pos = 0;
    char32_t Character = 0;
    for (size_t Taken = 0; Taken < Characters && Pos < Text.size(); ++Taken)
        DecodeUtf8(Text, Pos, Character);
    return Text.substr(0, Pos) + "...";
}

} // namespace

std::optional<std::string> NameFault(const std::string& Name)
{
    if (Name.empty())
        return "an empty name";
    if (Name == "." || Name == "..")
        return Quoted(Name) + " would leave the folder";
    for (const char C : Name) {
        if (static_cast<unsigned char>(C) < 32)
            return "a name holds a control character or line break";
        if (std::string_view("<>:\"/\\|?*").find(C) != std::string_view::npos)
            return Quoted(Name) + " holds " + std::string(1, C) + ", which Windows refuses in names";
    }
    if (Name.back() == ' ' || Name.back() == '.')
        return Quoted(Name) + " ends in a blank or a dot, which Windows drops";
    if (Name.front() == ' ')
        return Quoted(Name) + " starts with a blank";
    if (IsReservedDevice(Name))
        return Quoted(Name) + " is a device name that Windows reserves (CON, PRN, AUX, NUL, COM1-9, LPT1-9)";
    if (Utf16Length(Name) > MaxName)
        return Quoted(Abridged(Name, 20)) + " is longer than Windows' 255 characters";
    return std::nullopt;
}

std::optional<std::string> ProgramNameFault(const std::string& Name)
{
    if (Trim(Name).empty())
        return "the product needs a name: it names the program folder, the Start Menu folder and the "
               "uninstall entry";
    if (const auto Fault = NameFault(Name))
        return "the product name names folders, and " + *Fault;
    if (Utf16Length(Name) > 100)
        return "the product name is longer than 100 characters: it names folders, so keep it short";
    return std::nullopt;
}

std::string TargetMacroOf(const std::string& Target)
{
    const std::string Lower = LowerCase(Target);
    for (const TTargetMacro& Macro : TargetMacros)
        if (Lower.starts_with(Macro.Name))
            return Macro.Name;
    return {};
}

std::optional<std::string> TargetFault(const std::string& Target, const std::string& ProgramName)
{
    const std::string Hint = " (write it as {app}\\Folder\\file.ext or {metatrader}\\MQL4\\...)";
    // A file name of another character set, taken from a source folder.
    if (!IsValidUtf8(Target))
        return "the target " + Quoted(ValidUtf8(Target)) + " holds a name that is no UTF-8 text";
    if (Target.find('/') != std::string::npos)
        return "the target " + Quoted(Target) + " uses /: targets are Windows paths, write \\ between folders";
    const std::string Macro = TargetMacroOf(Target);
    if (Macro.empty()) {
        if (Target.starts_with("{")) {
            const std::string Name = Target.substr(0, Target.find('}') + 1);
            return "the target " + Quoted(Target) + " starts with " + Name +
                   ", which is no macro; the macros are {app}, {metatrader}, {mydocuments}, {windir}, "
                   "{winsysdir} and {bootdir}";
        }
        if (Target.size() > 1 && (Target[1] == ':' || Target.starts_with("\\\\")))
            return "the target " + Quoted(Target) + " is an absolute path: a target starts with a folder macro" + Hint;
        return "the target " + Quoted(Target) + " starts with no folder macro" + Hint;
    }
    std::string Rest = Target.substr(Macro.size());
    if (Rest.empty() || Rest.front() != '\\')
        return "the target " + Quoted(Target) + " needs \\ after " + Macro + Hint;
    Rest.erase(0, 1);
    if (Rest.empty())
        return "the target " + Quoted(Target) + " names no file after " + Macro;
    // The installer would expand a macro anywhere in the path.
    for (const TTargetMacro& M : TargetMacros)
        if (LowerCase(Rest).find(M.Name) != std::string::npos)
            return "the target " + Quoted(Target) + " holds a second macro, " + M.Name + "; only its start may be one";
    for (size_t Start = 0; Start <= Rest.size();) {
        const size_t End = std::min(Rest.find('\\', Start), Rest.size());
        const std::string Name = Rest.substr(Start, End - Start);
        if (Name.empty())
            return "the target " + Quoted(Target) + " has an empty folder name (two \\ in a row, or a \\ at its end)";
        if (const auto Fault = NameFault(Name))
            return "the target " + Quoted(Target) + " cannot be installed: " + *Fault;
        Start = End + 1;
    }
    // The longest path on a usual computer: the macro's example value, then the rest.
    std::string Example;
    for (const TTargetMacro& M : TargetMacros)
        if (Macro == M.Name)
            Example = M.Example;
    if (Macro == "{app}")
        Example += ProgramName;
    const std::string Expanded = Example + "\\" + Rest;
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
