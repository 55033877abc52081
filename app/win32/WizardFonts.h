// The wizard's fonts, scaled with the layout: the character heights of the design at
// 96 dpi become the same share of an inch at any DPI, in the faces Windows uses for the
// script of the wizard's language.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "app/WizardLayout.h"

namespace qe::win32 {

// The font of a role at 96 dpi: face, character height in pixels, weight and the
// character set the language's texts need.
struct TFontDesign {
    const wchar_t* Face;
    int Height;
    int Weight;
    BYTE Charset;
};

// The design of a role for the language of this code. Languages that Windows-1252 writes
// keep the design's faces; the others take the shell's dialog font for the window's
// texts and ask for their script's character set, so that Windows picks a face of that
// script or links one in (Chinese and Japanese) where the face lacks its letters.
TFontDesign FontDesign(TFontRole Role, const std::string& Language = "en");

// The role whose font shows Text: a text of the window's role in a language of
// Windows-1252 that has a letter beyond that code page (a Cyrillic product's name in an
// English wizard) takes the font of names, whose face has it; any other keeps Role.
TFontRole FontRoleFor(TFontRole Role, const std::string& Language, std::string_view Text);

// A new font of the role for Dpi and the language; the caller deletes it.
HFONT CreateWizardFont(TFontRole Role, UINT Dpi, const std::string& Language = "en");

} // namespace qe::win32
