// The wizard's fonts, scaled with the layout: the character heights of the design at
// 96 dpi become the same share of an inch at any DPI.
#pragma once

#include <windows.h>

#include "app/WizardLayout.h"

namespace qe::win32 {

// The font of a role at 96 dpi: face, character height in pixels and weight.
struct TFontDesign {
    const wchar_t* Face;
    int Height;
    int Weight;
};

TFontDesign FontDesign(TFontRole Role);

// A new font of the role for Dpi; the caller deletes it.
HFONT CreateWizardFont(TFontRole Role, UINT Dpi);

} // namespace qe::win32
