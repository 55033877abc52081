#include "app/win32/controls/ChildWindow.h"

#include <algorithm>

#include "app/win32/Dpi.h"
#include "platform/win32/Win32Text.h"

namespace qe::win32 {

HICON LoadIconAtSize(int Id, int Size)
{
    return static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(Id), IMAGE_ICON, Size, Size, LR_DEFAULTCOLOR));
}

void FillColor(HDC DC, const RECT& Rect, COLORREF Color)
{
    SetBkColor(DC, Color);
    ExtTextOutW(DC, 0, 0, ETO_OPAQUE, &Rect, nullptr, 0, nullptr);
}

COLORREF BackgroundColor(TBackground Background)
{
    switch (Background) {
    case TBackground::White: return RGB(255, 255, 255);
    case TBackground::Black: return RGB(0, 0, 0);
    case TBackground::Face: break;
    }
    return GetSysColor(COLOR_BTNFACE);
}

std::string WindowText(HWND Window)
{
    const int Length = GetWindowTextLengthW(Window);
    if (Length <= 0)
        return {};
    std::wstring Text(static_cast<std::size_t>(Length) + 1, L'\0');
    const int Copied = GetWindowTextW(Window, Text.data(), Length + 1);
    return Utf8(Text.data(), static_cast<std::size_t>(std::max(Copied, 0)));
}

// --- TChildWindow

TChildWindow::TChildWindow(HWND Handle, const TLayoutItem& Item, TWin32Panel* Page)
    : FHandle(Handle), FItem(Item), FPage(Page)
{
}

TChildWindow::~TChildWindow() = default;

bool TChildWindow::ShouldShow() const
{
    return FVisible && (FPage == nullptr || FPage->Showing());
}

void TChildWindow::UpdateShown()
{
    const bool Show = ShouldShow();
    // The window's own flag: IsWindowVisible also asks the (maybe still hidden) wizard.
    const bool Shown = (GetWindowLongPtrW(FHandle, GWL_STYLE) & WS_VISIBLE) != 0;
    if (Shown != Show)
        ShowWindow(FHandle, Show ? SW_SHOWNA : SW_HIDE);
}

void TChildWindow::SetOwnVisible(bool Visible)
{
    FVisible = Visible;
    UpdateShown();
}

void TChildWindow::DpiChanged(UINT) {}

void TChildWindow::DrawItem(const DRAWITEMSTRUCT&) {}

// --- TWin32Panel

TWin32Panel::TWin32Panel(HWND Handle, const TLayoutItem& Item, TWin32Panel* Parent,
                         std::function<void(TWin32Panel&)> OnFront)
    : TControl(Handle, Item, Parent), FOnFront(std::move(OnFront))
{
}

void TWin32Panel::BringToFront()
{
    FOnFront(*this);
}

bool TWin32Panel::Showing() const
{
    return OwnVisible() && FFront && (ParentPage() == nullptr || ParentPage()->Showing());
}

void TWin32Panel::DpiChanged(UINT Dpi)
{
    FDpi = Dpi;
}

void TWin32Panel::DrawItem(const DRAWITEMSTRUCT& Draw)
{
    HDC DC = Draw.hDC;
    const RECT& Client = Draw.rcItem;
    const UINT Dpi = FDpi;
    FillColor(DC, Client, BackgroundColor(Item().Background));
    if (Item().Decoration != TPageDecoration::HeaderBand)
        return;
    // The white band and the lowered line along its bottom.
    const int Band = Scale(HeaderBandHeight, Dpi);
    const int Line = std::max(1, Scale(1, Dpi));
    FillColor(DC, RECT{0, 0, Client.right, Band}, RGB(255, 255, 255));
    FillColor(DC, RECT{0, Band, Client.right, Band + Line}, GetSysColor(COLOR_BTNSHADOW));
    FillColor(DC, RECT{0, Band + Line, Client.right, Band + 2 * Line}, GetSysColor(COLOR_BTNHIGHLIGHT));
}

} // namespace qe::win32
