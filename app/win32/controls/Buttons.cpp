#include "app/win32/controls/Buttons.h"

#include "app/win32/CommonControls.h"
#include "app/win32/Dpi.h"
#include "platform/win32/Win32Text.h"

namespace qe::win32 {
namespace {

// The folder button's glyph at 96 dpi.
constexpr int GlyphSize = 16;

} // namespace

void TWin32Button::SetCaption(const std::string& Caption)
{
    SetWindowTextW(Handle(), Wide(Caption).c_str());
}

std::string TWin32Button::Caption() const
{
    return WindowText(Handle());
}

TWin32FlatButton::TWin32FlatButton(HWND Handle, const TLayoutItem& Item, TWin32Panel* Page)
    : TWin32Button(Handle, Item, Page)
{
    SubclassWindow(Handle, SubclassProc, 0, reinterpret_cast<DWORD_PTR>(this));
}

TWin32FlatButton::~TWin32FlatButton()
{
    RemoveSubclass(Handle(), SubclassProc, 0);
    if (FGlyph)
        DestroyIcon(FGlyph);
}

void TWin32FlatButton::DpiChanged(UINT Dpi)
{
    if (FGlyph)
        DestroyIcon(FGlyph);
    FGlyphSize = Scale(GlyphSize, Dpi);
    FGlyph = LoadIconAtSize(Item().Icon, FGlyphSize);
    InvalidateRect(Handle(), nullptr, TRUE);
}

LRESULT CALLBACK TWin32FlatButton::SubclassProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam, UINT_PTR,
                                                DWORD_PTR Data)
{
    auto* Self = reinterpret_cast<TWin32FlatButton*>(Data);
    // The button shows its edge while the mouse is over it.
    if (Message == WM_MOUSEMOVE && !Self->FHot) {
        Self->FHot = true;
        TRACKMOUSEEVENT Track{sizeof(Track), TME_LEAVE, Window, 0};
        TrackMouseEvent(&Track);
        InvalidateRect(Window, nullptr, FALSE);
    } else if (Message == WM_MOUSELEAVE) {
        Self->FHot = false;
        InvalidateRect(Window, nullptr, FALSE);
    }
    return DefaultSubclassProc(Window, Message, WParam, LParam);
}

void TWin32FlatButton::DrawItem(const DRAWITEMSTRUCT& Draw)
{
    HDC DC = Draw.hDC;
    RECT Rect = Draw.rcItem;
    FillColor(DC, Rect, GetSysColor(COLOR_BTNFACE));
    const bool Pressed = (Draw.itemState & ODS_SELECTED) != 0;
    const bool Disabled = (Draw.itemState & ODS_DISABLED) != 0;
    if (Pressed)
        DrawEdge(DC, &Rect, BDR_SUNKENOUTER, BF_RECT);
    else if (FHot && !Disabled)
        DrawEdge(DC, &Rect, BDR_RAISEDINNER, BF_RECT);

    // The glyph and the caption, centred together.
    const std::wstring Caption = Wide(WindowText(Handle()));
    RECT TextRect{0, 0, 0, 0};
    DrawTextW(DC, Caption.c_str(), -1, &TextRect, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    const int Width = FGlyphSize + (TextRect.right - TextRect.left);
    int X = (Rect.left + Rect.right - Width) / 2 + (Pressed ? 1 : 0);
    const int Y = (Rect.top + Rect.bottom) / 2 + (Pressed ? 1 : 0);
    if (FGlyph)
        DrawIconEx(DC, X, Y - FGlyphSize / 2, FGlyph, FGlyphSize, FGlyphSize, 0, nullptr, DI_NORMAL);
    X += FGlyphSize;
    RECT Text{X, Rect.top, Rect.right, Rect.bottom};
    if (Pressed)
        OffsetRect(&Text, 0, 1);
    SetBkMode(DC, TRANSPARENT);
    SetTextColor(DC, GetSysColor(Disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
    DrawTextW(DC, Caption.c_str(), -1, &Text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    if ((Draw.itemState & ODS_FOCUS) && !(Draw.itemState & ODS_NOFOCUSRECT)) {
        RECT Focus = Draw.rcItem;
        InflateRect(&Focus, -3, -3);
        DrawFocusRect(DC, &Focus);
    }
}

// --- check boxes and radio buttons

void TWin32CheckBox::SetChecked(bool Checked)
{
    SendMessageW(Handle(), BM_SETCHECK, Checked ? BST_CHECKED : BST_UNCHECKED, 0);
    if (Checked)
        for (TWin32CheckBox* Other : FGroup)
            if (Other != this)
                SendMessageW(Other->Handle(), BM_SETCHECK, BST_UNCHECKED, 0);
}

bool TWin32CheckBox::Checked() const
{
    return SendMessageW(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

} // namespace qe::win32
