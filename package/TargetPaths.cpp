#include "package/TargetPaths.h"

#include <array>
#include <string_view>

#include "language/Languages.h"
#include "package/QeClasses.h"
#include "platform/Paths.h"
#include "platform/Unicode.h"

namespace qe {

const char* const TargetMacroNames[6] = {"{app}",    "{metatrader}", "{mydocuments}",
                                         "{windir}", "{winsysdir}",  "{bootdir}"};

namespace {

constexpr size_t MaxName = 255;

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

std::optional<std::string> PlainNameFault(const std::string& Name, const TTextTable& Texts)
{
    if (Name.empty())
        return Texts.Format(TText::PathFaultEmptyName);
    if (Name == "." || Name == "..")
        return Texts.Format(TText::PathFaultLeavesFolder, {Name});
    for (const char C : Name) {
        if (static_cast<unsigned char>(C) < 32)
            return Texts.Format(TText::PathFaultControlCharacter);
        if (std::string_view("<>:\"/\\|?*").find(C) != std::string_view::npos)
            return Texts.Format(TText::PathFaultRefusedCharacter, {Name, std::string(1, C)});
    }
    if (Name.back() == ' ' || Name.back() == '.')
        return Texts.Format(TText::PathFaultTrailingDotOrBlank, {Name});
    if (IsReservedDevice(Name))
        return Texts.Format(TText::PathFaultDeviceName, {Name});
    if (IsShortNameForm(Name))
        return Texts.Format(TText::PathFaultShortName, {Name});
    // Windows counts a name's length in UTF-16 units.
    if (Utf16Length(Name) > MaxName)
        return Texts.Format(TText::PathFaultNameTooLong, {Abridged(Name, 20)});
    return std::nullopt;
}

std::optional<std::string> PlainRelativePathFault(const std::string& Path, const TTextTable& Texts)
{
    for (size_t Start = 0; Start <= Path.size();) {
        const size_t End = std::min(Path.find('\\', Start), Path.size());
        const std::string Name = Path.substr(Start, End - Start);
        if (Name.empty())
            return Texts.Format(TText::PathFaultEmptyFolderName);
        if (const auto Fault = PlainNameFault(Name, Texts))
            return Fault;
        Start = End + 1;
    }
    return std::nullopt;
}

std::optional<std::string> PlainPathFault(const std::string& Path, const TTextTable& Texts)
{
    if (Path.starts_with("\\\\"))
        return Texts.Format(TText::PathFaultDevicePath);
    const bool Drive = Path.size() >= 3 && ((Path[0] >= 'A' && Path[0] <= 'Z') || (Path[0] >= 'a' && Path[0] <= 'z')) &&
                       Path[1] == ':' && Path[2] == '\\';
    if (!Drive)
        return Texts.Format(TText::PathFaultNoDrive);
    return PlainRelativePathFault(Path.substr(3), Texts);
}

std::string TargetMacroOf(const std::string& Target)
{
    const std::string Lower = LowerCase(Target);
    for (const char* Macro : TargetMacroNames)
        if (Lower.starts_with(Macro))
            return Macro;
    return {};
}

std::optional<std::string> TargetPathFault(const std::string& Target, const TTextTable& Texts, const std::string& Hint)
{
    if (Target.find('/') != std::string::npos)
        return Texts.Format(TText::TargetFaultSlash, {Target});
    const std::string Macro = TargetMacroOf(Target);
    if (Macro.empty()) {
        if (Target.starts_with("{"))
            return Texts.Format(TText::TargetFaultNotAMacro, {Target, Target.substr(0, Target.find('}') + 1)});
        if (Target.size() > 1 && (Target[1] == ':' || Target.starts_with("\\\\")))
            return Texts.Format(TText::TargetFaultAbsolute, {Target}) + Hint;
        return Texts.Format(TText::TargetFaultNoMacro, {Target}) + Hint;
    }
    std::string Rest = Target.substr(Macro.size());
    if (Rest.empty() || Rest.front() != '\\')
        return Texts.Format(TText::TargetFaultNoBackslash, {Target, Macro}) + Hint;
    Rest.erase(0, 1);
    if (Rest.empty())
        return Texts.Format(TText::TargetFaultNoFile, {Target, Macro});
    // The installer would expand a macro anywhere in the path.
    for (const char* Other : TargetMacroNames)
        if (LowerCase(Rest).find(Other) != std::string::npos)
            return Texts.Format(TText::TargetFaultSecondMacro, {Target, Other});
    if (const auto Fault = PlainRelativePathFault(Rest, Texts))
        return Texts.Format(TText::TargetFaultUnplain, {Target, *Fault});
    return std::nullopt;
}

std::optional<std::string> ProgramNameFault(const std::string& ProgramName, const TTextTable& Texts)
{
    if (const auto Fault = PlainNameFault(ProgramName, Texts))
        return Texts.Format(TText::ProductNameFaultUnplain, {ProgramName, *Fault});
    for (const char* Macro : TargetMacroNames)
        if (LowerCase(ProgramName).find(Macro) != std::string::npos)
            return Texts.Format(TText::ProductNameFaultMacro, {ProgramName, Macro});
    return std::nullopt;
}

TPathFaults PackagePathFaults(const TQeInstall& Model)
{
    const TTextTable& Texts = *Model.Texts;
    TPathFaults Faults;
    if (const auto Fault = ProgramNameFault(Model.ProgramName, Texts)) {
        Faults.Package = *Fault;
    } else if (!Trim(Model.Website).empty()) {
        const std::string Shortcut = Model.Publisher + " Website.url";
        if (const auto Fault = PlainRelativePathFault(Shortcut, Texts))
            Faults.Package = Texts.Format(TText::WebsiteShortcutFault, {Shortcut, *Fault});
    }
    for (const auto& File : Model.Files) {
        std::string Fault;
        if (const auto Target = TargetPathFault(File->Target, Texts))
            Fault = *Target;
        else if (!File->ShortcutName.empty())
            if (const auto Shortcut = PlainRelativePathFault(File->ShortcutName, Texts))
                Fault = Texts.Format(TText::ShortcutFault, {File->ShortcutName, File->Target, *Shortcut});
        Faults.Files.push_back(Fault);
    }
    return Faults;
}

} // namespace qe
