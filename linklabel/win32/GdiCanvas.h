// The link label's canvas on a Windows device context: GDI's wide API, the label's UTF-8
// text converted where it is measured and drawn.
#pragma once

#include "linklabel/Canvas.h"

#include <map>
#include <tuple>

#include <windows.h>

namespace qe {

// Turns a colour, system colours included, into the RGB value GDI draws with.
COLORREF ColorToRGB(TColor Color);

class TGdiCanvas : public TCanvas {
public:
    // Draws on DC; with ReleaseFrom set, the DC came from GetDC(ReleaseFrom) and is released
    // when the canvas goes.
    explicit TGdiCanvas(HDC DC, HWND ReleaseFrom = nullptr);
    TGdiCanvas(const TGdiCanvas&) = delete;
    TGdiCanvas& operator=(const TGdiCanvas&) = delete;
    ~TGdiCanvas() override;

    void SetFont(const TFont& Font) override;
    TFontStyles GetFontStyles() const override { return FFont.Styles; }
    void SetFontStyles(TFontStyles Styles) override;
    TColor GetFontColor() const override { return FFont.Color; }
    void SetFontColor(TColor Color) override { FFont.Color = Color; }
    int32_t TextWidth(const std::string& S) override;
    int32_t TextHeight(const std::string& S) override;
    void DrawString(int32_t X, int32_t Y, const std::string& S) override;
    void FillRectangle(const TRect& Rect, TColor Color) override;

    HDC Handle() const { return FDC; }

private:
    SIZE Extent(const std::string& S);
    void SelectCurrentFont();

    HDC FDC;
    HWND FReleaseFrom;
    HGDIOBJ FOriginalFont = nullptr;
    TFont FFont;
    bool FFontSelected = false;
    // One GDI font per font description and style set used on this canvas.
    using TFontKey = std::tuple<std::string, int32_t, int32_t, int32_t, uint8_t, uint8_t, uint8_t, uint8_t>;
    std::map<TFontKey, HFONT> FFonts;
};

} // namespace qe
