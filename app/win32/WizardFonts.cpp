#include "app/win32/WizardFonts.h"

#include "app/win32/Dpi.h"

namespace qe::win32 {

TFontDesign FontDesign(TFontRole Role)
{
    switch (Role) {
    case TFontRole::Title: return {L"Arial", 16, FW_BOLD};
    case TFontRole::Headline: return {L"Arial", 21, FW_NORMAL};
    case TFontRole::Banner: return {L"Arial", 21, FW_BOLD};
    case TFontRole::Window: break;
    }
    // 8 points at 96 dpi.
    return {L"MS Sans Serif", 11, FW_NORMAL};
}

HFONT CreateWizardFont(TFontRole Role, UINT Dpi)
{
    const TFontDesign Design = FontDesign(Role);
    // A negative height asks for the character height, without the internal leading.
    return CreateFontW(-Scale(Design.Height, Dpi), 0, 0, 0, Design.Weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, Design.Face);
}

} // namespace qe::win32
