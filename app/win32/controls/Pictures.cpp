#include "app/win32/controls/Pictures.h"

#include "app/win32/Dpi.h"
#include "app/win32/WizardFonts.h"
#include "package/JpegImage.h"
#include "platform/Exceptions.h"
#include "platform/win32/Win32Text.h"

namespace qe::win32 {
namespace {

// The title panel: the program's icon (resource 1) and its size, the text's margin and
// its top, level with the start page's heading, at 96 dpi.
constexpr int ProgramIconId = 1;
constexpr int ProgramIconSize = 48;
constexpr int TitleMargin = 16;
constexpr int TitleTop = 32;

} // namespace

TWin32Image::TWin32Image(HWND Handle, const TLayoutItem& Item, TWin32Panel* Page) : TControl(Handle, Item, Page) {}

TWin32Image::~TWin32Image()
{
    FreeBitmap();
    for (HICON Icon : {FIcon, FProgramIcon})
        if (Icon)
            DestroyIcon(Icon);
    if (FTitleFont)
        DeleteObject(FTitleFont);
}

void TWin32Image::FreeBitmap()
{
    if (FBitmap)
        DeleteObject(FBitmap);
    FBitmap = nullptr;
    FBitmapSize = SIZE{0, 0};
}

void TWin32Image::SetPicture(const TJpegImage& Picture)
{
    FreeBitmap();
    FTitle.clear();
    if (!Picture.Empty()) {
        const TRgbPicture Pixels = Picture.Decode();
        BITMAPINFO Info{};
        Info.bmiHeader.biSize = sizeof(Info.bmiHeader);
        Info.bmiHeader.biWidth = Pixels.Width;
        Info.bmiHeader.biHeight = -Pixels.Height; // rows from the top
        Info.bmiHeader.biPlanes = 1;
        Info.bmiHeader.biBitCount = 32;
        Info.bmiHeader.biCompression = BI_RGB;
        void* Bits = nullptr;
        FBitmap = CreateDIBSection(nullptr, &Info, DIB_RGB_COLORS, &Bits, nullptr, 0);
        if (!FBitmap)
            throw Exception("Out of system resources");
        auto* Out = static_cast<uint8_t*>(Bits);
        for (std::size_t I = 0; I + 2 < Pixels.Pixels.size(); I += 3, Out += 4) {
            Out[0] = Pixels.Pixels[I + 2];
            Out[1] = Pixels.Pixels[I + 1];
            Out[2] = Pixels.Pixels[I];
            Out[3] = 0;
        }
        FBitmapSize = SIZE{Pixels.Width, Pixels.Height};
    }
    InvalidateRect(Handle(), nullptr, FALSE);
}

void TWin32Image::SetTitlePanel(const std::string& Title)
{
    FreeBitmap();
    FTitle = Title;
    InvalidateRect(Handle(), nullptr, FALSE);
}

void TWin32Image::DpiChanged(UINT Dpi)
{
    FDpi = Dpi;
    if (Item().Icon != 0) {
        if (FIcon)
            DestroyIcon(FIcon);
        FIcon = LoadIconAtSize(Item().Icon, Scale(Item().Width, Dpi));
    }
    if (Item().Icon == 0) {
        // What a title panel draws: the banner learns whether it needs it only once the
        // product is loaded.
        if (FTitleFont)
            DeleteObject(FTitleFont);
        FTitleFont = CreateWizardFont(TFontRole::Banner, Dpi);
        if (FProgramIcon)
            DestroyIcon(FProgramIcon);
        FProgramIcon = LoadIconAtSize(ProgramIconId, Scale(ProgramIconSize, Dpi));
    }
    InvalidateRect(Handle(), nullptr, FALSE);
}

void TWin32Image::DrawTitlePanel(HDC DC, const RECT& Rect) const
{
    FillColor(DC, Rect, GetSysColor(COLOR_ACTIVECAPTION));
    // The name where the start page's heading stands, wrapped to the panel's width (a word
    // too long for it is broken); the program's icon in the lower left corner.
    const int Margin = Scale(TitleMargin, FDpi);
    RECT Text{Rect.left + Margin, Rect.top + Scale(TitleTop, FDpi), Rect.right - Margin, Rect.bottom - Margin};
    const HGDIOBJ OldFont = SelectObject(DC, FTitleFont);
    SetBkMode(DC, TRANSPARENT);
    SetTextColor(DC, GetSysColor(COLOR_CAPTIONTEXT));
    DrawTextW(DC, Wide(FTitle).c_str(), -1, &Text, DT_LEFT | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX);
    SelectObject(DC, OldFont);
    if (FProgramIcon) {
        const int Size = Scale(ProgramIconSize, FDpi);
        DrawIconEx(DC, Rect.left + Margin, Rect.bottom - Margin - Size, FProgramIcon, Size, Size, 0, nullptr,
                   DI_NORMAL);
    }
}

void TWin32Image::DrawItem(const DRAWITEMSTRUCT& Draw)
{
    HDC DC = Draw.hDC;
    const RECT& Rect = Draw.rcItem;
    if (!FTitle.empty()) {
        DrawTitlePanel(DC, Rect);
        return;
    }
    FillColor(DC, Rect, BackgroundColor(Item().Background));
    const int CentreX = (Rect.left + Rect.right) / 2;
    const int CentreY = (Rect.top + Rect.bottom) / 2;
    if (FBitmap) {
        const int Width = Scale(FBitmapSize.cx, FDpi);
        const int Height = Scale(FBitmapSize.cy, FDpi);
        HDC Memory = CreateCompatibleDC(DC);
        HGDIOBJ Old = SelectObject(Memory, FBitmap);
        const int X = CentreX - Width / 2;
        const int Y = CentreY - Height / 2;
        if (Width == FBitmapSize.cx && Height == FBitmapSize.cy) {
            BitBlt(DC, X, Y, Width, Height, Memory, 0, 0, SRCCOPY);
        } else {
            SetStretchBltMode(DC, HALFTONE);
            SetBrushOrgEx(DC, 0, 0, nullptr);
            StretchBlt(DC, X, Y, Width, Height, Memory, 0, 0, FBitmapSize.cx, FBitmapSize.cy, SRCCOPY);
        }
        SelectObject(Memory, Old);
        DeleteDC(Memory);
    }
    if (FIcon) {
        const int Size = Scale(Item().Width, FDpi);
        DrawIconEx(DC, CentreX - Size / 2, CentreY - Size / 2, FIcon, Size, Size, 0, nullptr, DI_NORMAL);
    }
}

} // namespace qe::win32
