#include "linklabel/win32/GdiCanvas.h"

#include <algorithm>

#include "platform/win32/Win32Text.h"

namespace qe {

COLORREF ColorToRGB(TColor Color)
{
    if (IsSystemColor(Color))
        return GetSysColor(static_cast<int>(Color & 0xFF));
    return static_cast<COLORREF>(Color & 0x00FFFFFF);
}

TGdiCanvas::TGdiCanvas(HDC DC, HWND ReleaseFrom) : FDC(DC), FReleaseFrom(ReleaseFrom)
{
    SetBkMode(FDC, TRANSPARENT);
}

TGdiCanvas::~TGdiCanvas()
{
    if (FOriginalFont)
        SelectObject(FDC, FOriginalFont);
    for (auto& Entry : FFonts)
        DeleteObject(Entry.second);
    if (FReleaseFrom)
        ReleaseDC(FReleaseFrom, FDC);
}

void TGdiCanvas::SetFont(const TFont& Font)
{
    FFont = Font;
    SelectCurrentFont();
}

void TGdiCanvas::SetFontStyles(TFontStyles Styles)
{
    if (FFontSelected && Styles == FFont.Styles)
        return;
    FFont.Styles = Styles;
    SelectCurrentFont();
}

void TGdiCanvas::SelectCurrentFont()
{
    const TFontKey Key{FFont.Name,    FFont.Size,    FFont.Height,         FFont.Weight,
                       FFont.Charset, FFont.Quality, FFont.PitchAndFamily, FFont.Styles.Bits()};
    HFONT Font;
    auto It = FFonts.find(Key);
    if (It != FFonts.end()) {
        Font = It->second;
    } else {
        LOGFONTW LF{};
        LF.lfHeight = FFont.Height != 0 ? FFont.Height : -MulDiv(FFont.Size, GetDeviceCaps(FDC, LOGPIXELSY), 72);
        const LONG Plain = FFont.Weight != 0 ? FFont.Weight : FW_NORMAL;
        LF.lfWeight = FFont.Styles.Contains(TFontStyle::fsBold) ? std::max<LONG>(Plain, FW_BOLD) : Plain;
        LF.lfItalic = FFont.Styles.Contains(TFontStyle::fsItalic);
        LF.lfUnderline = FFont.Styles.Contains(TFontStyle::fsUnderline);
        LF.lfStrikeOut = FFont.Styles.Contains(TFontStyle::fsStrikeOut);
        LF.lfCharSet = FFont.Charset;
        LF.lfOutPrecision = OUT_DEFAULT_PRECIS;
        LF.lfClipPrecision = CLIP_DEFAULT_PRECIS;
        LF.lfQuality = FFont.Quality;
        LF.lfPitchAndFamily = FFont.PitchAndFamily;
        lstrcpynW(LF.lfFaceName, win32::Wide(FFont.Name).c_str(), LF_FACESIZE);
        Font = CreateFontIndirectW(&LF);
        if (!Font)
            Font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
        else
            FFonts.emplace(Key, Font);
    }
    HGDIOBJ Previous = SelectObject(FDC, Font);
    if (!FOriginalFont)
        FOriginalFont = Previous;
    FFontSelected = true;
}

SIZE TGdiCanvas::Extent(const std::string& S)
{
    if (!FFontSelected)
        SelectCurrentFont();
    SIZE Size{0, 0};
    const std::wstring Text = win32::Wide(S);
    GetTextExtentPoint32W(FDC, Text.data(), static_cast<int>(Text.size()), &Size);
    return Size;
}

int32_t TGdiCanvas::TextWidth(const std::string& S)
{
    return Extent(S).cx;
}

int32_t TGdiCanvas::TextHeight(const std::string& S)
{
    return Extent(S).cy;
}

void TGdiCanvas::DrawString(int32_t X, int32_t Y, const std::string& S)
{
    if (!FFontSelected)
        SelectCurrentFont();
    SetTextColor(FDC, ColorToRGB(FFont.Color));
    SetBkMode(FDC, TRANSPARENT);
    const std::wstring Text = win32::Wide(S);
    TextOutW(FDC, X, Y, Text.data(), static_cast<int>(Text.size()));
}

void TGdiCanvas::FillRectangle(const TRect& Rect, TColor Color)
{
    HBRUSH Brush = CreateSolidBrush(ColorToRGB(Color));
    const RECT R{Rect.Left, Rect.Top, Rect.Right, Rect.Bottom};
    ::FillRect(FDC, &R, Brush);
    DeleteObject(Brush);
}

} // namespace qe
