#include "app/win32/WizardFonts.h"

#include "app/win32/Dpi.h"
#include "platform/Cp1252.h"

namespace qe::win32 {
namespace {

// The character set of a language's script; DEFAULT_CHARSET for those of Windows-1252.
BYTE LanguageCharset(const std::string& Language)
{
    if (Language == "ru")
        return RUSSIAN_CHARSET;
    if (Language == "tr")
        return TURKISH_CHARSET;
    if (Language == "zh-CN")
        return GB2312_CHARSET;
    if (Language == "ja")
        return SHIFTJIS_CHARSET;
    return DEFAULT_CHARSET;
}

} // namespace

TFontDesign FontDesign(TFontRole Role, const std::string& Language)
{
    const BYTE Charset = LanguageCharset(Language);
    // Arial has no Japanese: the font mapper would take the first face of the script it
    // finds, a fixed-pitch one as likely as not; Windows' own Japanese interface font is
    // proportional.
    const wchar_t* const Heading = Language == "ja" ? L"MS UI Gothic" : L"Arial";
    switch (Role) {
    case TFontRole::Title: return {Heading, 16, FW_BOLD, Charset};
    case TFontRole::Headline: return {Heading, 21, FW_NORMAL, Charset};
    case TFontRole::Banner: return {Heading, 21, FW_BOLD, Charset};
    // Microsoft Sans Serif, MS Sans Serif's outline successor of the same measure, with
    // the letters of many scripts and Windows' links to the Chinese and Japanese faces.
    case TFontRole::Names: return {L"MS Shell Dlg", 11, FW_NORMAL, DEFAULT_CHARSET};
    case TFontRole::Window: break;
    }
    // 8 points at 96 dpi. "MS Sans Serif" has the letters of Windows-1252 only; the shell's
    // dialog font (Tahoma, or what the system maps it to) has those of every script.
    return {Charset == DEFAULT_CHARSET ? L"MS Sans Serif" : L"MS Shell Dlg 2", 11, FW_NORMAL, Charset};
}

TFontRole FontRoleFor(TFontRole Role, const std::string& Language, std::string_view Text)
{
    const bool WindowFontLacksLetters =
        Role == TFontRole::Window && LanguageCharset(Language) == DEFAULT_CHARSET && !IsCp1252Text(Text);
    return WindowFontLacksLetters ? TFontRole::Names : Role;
}

HFONT CreateWizardFont(TFontRole Role, UINT Dpi, const std::string& Language)
{
    const TFontDesign Design = FontDesign(Role, Language);
    // A negative height asks for the character height, without the internal leading.
    return CreateFontW(-Scale(Design.Height, Dpi), 0, 0, 0, Design.Weight, FALSE, FALSE, FALSE, Design.Charset,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, Design.Face);
}

} // namespace qe::win32
