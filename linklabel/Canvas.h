// The drawing surface the link label measures and draws on. The layout code uses only
// these operations, so it runs the same on a Windows device context and on a canvas of
// fixed metrics in the tests.
#pragma once

#include "linklabel/Graphics.h"

#include <string>

namespace qe {

class TCanvas {
public:
    virtual ~TCanvas() = default;

    // The font: face and size first, then style and colour, which change per piece of text.
    virtual void SetFont(const TFont& Font) = 0;
    virtual TFontStyles GetFontStyles() const = 0;
    virtual void SetFontStyles(TFontStyles Styles) = 0;
    virtual TColor GetFontColor() const = 0;
    virtual void SetFontColor(TColor Color) = 0;

    // Width and height in pixels of S in the current font.
    virtual int32_t TextWidth(const std::string& S) = 0;
    virtual int32_t TextHeight(const std::string& S) = 0;

    // Draws S with its top-left corner at (X, Y) in the current font and colour, without
    // filling the background.
    virtual void DrawString(int32_t X, int32_t Y, const std::string& S) = 0;

    // Fills Rect (right and bottom edges excluded) with a solid colour.
    virtual void FillRectangle(const TRect& Rect, TColor Color) = 0;
};

} // namespace qe
