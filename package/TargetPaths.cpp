#include "package/TargetPaths.h"

#include <array>
#include <string_view>

#include "package/QeClasses.h"
#include "platform/Paths.h"
#include "platform/Unicode.h"

namespace qe {

const char* const TargetMacroNames[6] = {"{app}",    "{metatrader}", "{mydocuments}",
                                         "{windir}", "{winsysdir}",  "{bootdir}"};

namespace {

constexpr size_t MaxName = 255;

std::string Quoted(const std::string& Text)
{
    return "\"" + Text + "\"";
}

bool IsReservedDevice(const std::string& Name)
{
    // CON, PRN, AUX, NUL, COM1-9 and LPT1-9 (and the superscript 1, 2 and 3, which Windows
    // takes for the digits) are devices, with any extension and blanks before it too; so
    // are the consoles.
    std::string Stem = UpperCase(Name.substr(0, Name.find('.')));
    while (!Stem.empty() && Stem.back() == ' ')
        Stem.pop_back();
    static const std::array<const char*, 6> Devices = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (const char* Device : Devices)
        if (Stem == Device)
            return true;
    if (!Stem.starts_with("COM") && !Stem.starts_with("LPT"))
        return false;
    const std::string Number = Stem.substr(3);
    return (Number.size() == 1 && Number[0] >= '1' && Number[0] <= '9') || Number == "\u00B9" || Number == "\u00B2" ||
           Number == "\u00B3";
}

// "PROGRA~1", "MICROS~2.TXT": up to 8 characters ending in "~" and digits, then up to
// 3 after a dot. Windows takes such a name for the short name of another one.
bool IsShortNameForm(const std::string& Name)
{
    const size_t Dot = Name.rfind('.');
    const std::string Stem = Name.substr(0, Dot);
    const size_t Tilde = Stem.rfind('~');
    if (Stem.size() > 8 || (Dot != std::string::npos && Name.size() - Dot - 1 > 3) || Tilde == std::string::npos ||
        Tilde + 1 == Stem.size())
        return false;
    return Stem.find_first_not_of("0123456789", Tilde + 1) == std::string::npos;
}

} // namespace

std::optional<std::string> PlainNameFault(const std::string& Name)
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
    if (IsReservedDevice(Name))
        return Quoted(Name) + " is a device name that Windows reserves (CON, PRN, AUX, NUL, COM1-9, LPT1-9)";
    if (IsShortNameForm(Name))
        return Quoted(Name) + " has the form of a short name (like PROGRA~1), which Windows may take for another name";
    // Windows counts a name's length in UTF-16 units.
    if (Utf16Length(Name) > MaxName)
        return Quoted(Abridged(Name, 20)) + " is longer than Windows' 255 characters";
    return std::nullopt;
}

std::optional<std::string> PlainRelativePathFault(const std::string& Path)
{
    for (size_t Start = 0; Start <= Path.size();) {
        const size_t End = std::min(Path.find('\\', Start), Path.size());
        const std::string Name = Path.substr(Start, End - Start);
        if (Name.empty())
            return std::string("it has an empty folder name (two \\ in a row, or a \\ at an end)");
        if (const auto Fault = PlainNameFault(Name))
            return Fault;
        Start = End + 1;
    }
    return std::nullopt;
}

std::optional<std::string> PlainPathFault(const std::string& Path)
{
    if (Path.starts_with("\\\\"))
        return std::string("it is a device, long-path or network path (\\\\?\\, \\\\.\\ or \\\\server\\)");
    const bool Drive = Path.size() >= 3 && ((Path[0] >= 'A' && Path[0] <= 'Z') || (Path[0] >= 'a' && Path[0] <= 'z')) &&
                       Path[1] == ':' && Path[2] == '\\';
    if (!Drive)
        return std::string("it is no absolute path that starts with a drive (X:\\)");
    return PlainRelativePathFault(Path.substr(3));
}

std::string TargetMacroOf(const std::string& Target)
{
    const std::string Lower = LowerCase(Target);
    for (const char* Macro : TargetMacroNames)
        if (Lower.starts_with(Macro))
            return Macro;
    return {};
}

std::optional<std::string> TargetPathFault(const std::string& Target, const std::string& Hint)
{
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
    for (const char* Other : TargetMacroNames)
        if (LowerCase(Rest).find(Other) != std::string::npos)
            return "the target " + Quoted(Target) + " holds a second macro, " + Other + "; only its start may be one";
    if (const auto Fault = PlainRelativePathFault(Rest))
        return "the target " + Quoted(Target) + " cannot be installed: " + *Fault;
    return std::nullopt;
}

std::optional<std::string> ProgramNameFault(const std::string& ProgramName)
{
    if (const auto Fault = PlainNameFault(ProgramName))
        return "the product name " + Quoted(ProgramName) + " cannot name a folder: " + *Fault;
    for (const char* Macro : TargetMacroNames)
        if (LowerCase(ProgramName).find(Macro) != std::string::npos)
            return "the product name " + Quoted(ProgramName) + " holds the macro " + Macro +
                   ", which the program folder would bring into its targets";
    return std::nullopt;
}

TPathFaults PackagePathFaults(const TQeInstall& Model)
{
    TPathFaults Faults;
    if (const auto Fault = ProgramNameFault(Model.ProgramName)) {
        Faults.Package = *Fault;
    } else if (!Trim(Model.Website).empty()) {
        const std::string Shortcut = Model.Publisher + " Website.url";
        if (const auto Fault = PlainRelativePathFault(Shortcut))
            Faults.Package = "the website shortcut " + Quoted(Shortcut) + " cannot be made: " + *Fault;
    }
    for (const auto& File : Model.Files) {
        std::string Fault;
        if (const auto Target = TargetPathFault(File->Target))
            Fault = *Target;
        else if (!File->ShortcutName.empty())
            if (const auto Shortcut = PlainRelativePathFault(File->ShortcutName))
                Fault = "the shortcut " + Quoted(File->ShortcutName) + " of " + File->Target +
                        " cannot be made: " + *Shortcut;
        Faults.Files.push_back(Fault);
    }
    return Faults;
}

} // namespace qe
