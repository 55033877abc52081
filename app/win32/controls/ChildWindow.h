// What every control of the wizard window has: its window, the page it lies on and its own
// visibility; the pages themselves; and what the controls share for reading texts and
// painting.
#pragma once

#include <windows.h>
// The wizard's window interface has a MessageBox of its own.
#undef MessageBox

#include <functional>
#include <string>

#include "app/WizardControls.h"
#include "app/WizardLayout.h"

namespace qe::win32 {

class TWin32Panel;

std::string WindowText(HWND Window);
COLORREF BackgroundColor(TBackground Background);
void FillColor(HDC DC, const RECT& Rect, COLORREF Color);
// An icon of the program's resources at Size pixels.
HICON LoadIconAtSize(int Id, int Size);

// What every control of the wizard has: its window, its page and its own visibility.
class TChildWindow {
public:
    TChildWindow(HWND Handle, const TLayoutItem& Item, TWin32Panel* Page);
    TChildWindow(const TChildWindow&) = delete;
    TChildWindow& operator=(const TChildWindow&) = delete;
    virtual ~TChildWindow();

    HWND Handle() const { return FHandle; }
    const TLayoutItem& Item() const { return FItem; }
    TWin32Panel* Page() const { return FPage; }

    // Shows or hides the window as its own visibility and its page's state ask.
    void UpdateShown();
    virtual bool ShouldShow() const;
    // Whether the window shows on screen when its page is in front.
    bool OwnVisible() const { return FVisible; }
    void SetOwnVisible(bool Visible);

    // Takes the new size of what the control draws itself (item heights, pictures) after
    // the window's DPI changed; the window has already moved and sized the control.
    virtual void DpiChanged(UINT Dpi);
    // Paints an owner-drawn control.
    virtual void DrawItem(const DRAWITEMSTRUCT& Draw);
    // The text whose letters the control's font must have, where that may choose the font
    // (FontRoleFor); empty for a control whose role alone decides.
    virtual std::string FontText() const { return {}; }

private:
    HWND FHandle;
    const TLayoutItem& FItem;
    TWin32Panel* FPage;
    bool FVisible = true;
};

// IControl on a TChildWindow.
template <class TInterface> class TControl : public TInterface, public TChildWindow {
public:
    using TChildWindow::TChildWindow;
    void SetVisible(bool Visible) override { SetOwnVisible(Visible); }
    bool Visible() const override { return OwnVisible(); }
    void SetEnabled(bool Enabled) override { EnableWindow(Handle(), Enabled ? TRUE : FALSE); }
    bool Enabled() const override { return IsWindowEnabled(Handle()) != FALSE; }
};

// A page or one of the start page's two contents: an owner-drawn static window that
// paints the page's background (and the header band) under the page's controls.
class TWin32Panel : public TControl<IPanel> {
public:
    // Parent is the page a sub-page lies on, null for a page. OnFront does what bringing
    // the page to the front means for the window.
    TWin32Panel(HWND Handle, const TLayoutItem& Item, TWin32Panel* Parent, std::function<void(TWin32Panel&)> OnFront);

    void BringToFront() override;
    // Whether the page is the one in front among its siblings; set by the window.
    void SetFront(bool Front) { FFront = Front; }
    // Whether the page and every page it lies on show.
    bool Showing() const;
    bool ShouldShow() const override { return Showing(); }
    TWin32Panel* ParentPage() const { return Page(); }

    void DpiChanged(UINT Dpi) override;
    void DrawItem(const DRAWITEMSTRUCT& Draw) override;

private:
    bool FFront = false;
    UINT FDpi = 96;
    std::function<void(TWin32Panel&)> FOnFront;
};

} // namespace qe::win32
