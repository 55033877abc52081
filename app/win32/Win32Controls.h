// The wizard's controls as real Win32 controls. Every control is a direct child of the
// wizard window with its fixed id (app/ControlIds.h), so that GetDlgItem finds it and a
// driver in another process reads and sets it with the controls' standard messages; the
// texts live in the controls themselves. A page is a child window too, lying under its
// controls; a control shows when it is visible itself and its page is in front.
#pragma once

#include <windows.h>
// The wizard's window interface has a MessageBox of its own.
#undef MessageBox

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/WizardControls.h"
#include "app/WizardLayout.h"
#include "linklabel/win32/LinkLabelWindow.h"

namespace qe::win32 {

class TWin32Panel;

std::string WindowText(HWND Window);
COLORREF BackgroundColor(TBackground Background);

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

class TWin32Label : public TControl<ILabel> {
public:
    using TControl::TControl;
    void SetCaption(const std::string& Caption) override;
    std::string Caption() const override;
};

class TWin32Button : public TControl<IButton> {
public:
    using TControl::TControl;
    void SetCaption(const std::string& Caption) override;
    std::string Caption() const override;
    void SetTag(int32_t Tag) override { FTag = Tag; }
    int32_t Tag() const override { return FTag; }

private:
    int32_t FTag = 0;
};

// The folder button: flat until the mouse is over it, a glyph before its caption.
class TWin32FlatButton : public TWin32Button {
public:
    TWin32FlatButton(HWND Handle, const TLayoutItem& Item, TWin32Panel* Page);
    ~TWin32FlatButton() override;
    void DpiChanged(UINT Dpi) override;
    void DrawItem(const DRAWITEMSTRUCT& Draw) override;

private:
    static LRESULT CALLBACK SubclassProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam, UINT_PTR Id,
                                         DWORD_PTR Self);
    HICON FGlyph = nullptr;
    int FGlyphSize = 16;
    bool FHot = false;
};

// A check box, or a radio button; checking a radio button unchecks the others of its
// group, as a click does.
class TWin32CheckBox : public TControl<ICheckBox> {
public:
    using TControl::TControl;
    void SetChecked(bool Checked) override;
    bool Checked() const override;
    void SetGroup(std::vector<TWin32CheckBox*> Group) { FGroup = std::move(Group); }

private:
    std::vector<TWin32CheckBox*> FGroup;
};

// An owner-drawn list box with strings; an item's data is its check mark (1 or 0). A click
// on the check box, or the space bar on the item with the focus, toggles the mark.
class TWin32CheckList : public TControl<ICheckList> {
public:
    TWin32CheckList(HWND Handle, const TLayoutItem& Item, TWin32Panel* Page);
    ~TWin32CheckList() override;

    void Clear() override;
    void Add(const std::string& Text, bool Checked) override;
    int32_t Count() const override;
    std::string Text(int32_t Index) const override;
    bool Checked(int32_t Index) const override;
    void SetChecked(int32_t Index, bool Checked) override;

    void DpiChanged(UINT Dpi) override;
    void DrawItem(const DRAWITEMSTRUCT& Draw) override;

private:
    static LRESULT CALLBACK SubclassProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam, UINT_PTR Id,
                                         DWORD_PTR Self);
    void CheckIndex(int32_t Index) const;
    int CheckBoxWidth() const;
    void Toggle(int32_t Index);
    UINT FDpi = 96;
};

// A read-only edit control; its text is the lines separated by "\r\n". A line added comes
// into view at the bottom.
class TWin32Memo : public TControl<IMemo> {
public:
    TWin32Memo(HWND Handle, const TLayoutItem& Item, TWin32Panel* Page);
    void SetLines(const std::vector<std::string>& Lines) override;
    void AddLine(const std::string& Line) override;
    std::vector<std::string> Lines() const override;
};

class TWin32ProgressBar : public TControl<IProgressBar> {
public:
    TWin32ProgressBar(HWND Handle, const TLayoutItem& Item, TWin32Panel* Page);
    void SetPosition(int32_t Position) override;
    int32_t Position() const override;
};

// A drop-down list with strings.
class TWin32ComboBox : public TControl<IComboBox> {
public:
    using TControl::TControl;
    void Clear() override;
    void Add(const std::string& Text) override;
    int32_t Count() const override;
    void SetItemIndex(int32_t Index) override;
    int32_t ItemIndex() const override;
    std::string Text() const override;
    void DpiChanged(UINT Dpi) override;
};

// A read-only rich edit control.
class TWin32RichText : public TControl<IRichText> {
public:
    TWin32RichText(HWND Handle, const TLayoutItem& Item, TWin32Panel* Page);
    bool LoadRtf(const std::string& Text) override;
    bool LoadPlainText(const std::string& Text) override;
    std::string PlainText() const override;

private:
    bool StreamIn(const std::string& Text, WPARAM Format);
};

// The banner, or a page's header picture: a picture centred on the control's background,
// scaled with the window's DPI; or, for a product without a banner, a plain panel in the
// system's caption colours with the product's name and the program's icon.
class TWin32Image : public TControl<IImage> {
public:
    TWin32Image(HWND Handle, const TLayoutItem& Item, TWin32Panel* Page);
    ~TWin32Image() override;
    void SetPicture(const TJpegImage& Picture) override;
    void SetTitlePanel(const std::string& Title) override;
    void DpiChanged(UINT Dpi) override;
    void DrawItem(const DRAWITEMSTRUCT& Draw) override;

private:
    void DrawTitlePanel(HDC DC, const RECT& Rect) const;
    void FreeBitmap();

    HBITMAP FBitmap = nullptr;
    SIZE FBitmapSize{0, 0};
    HICON FIcon = nullptr;
    UINT FDpi = 96;
    std::string FTitle;
    HFONT FTitleFont = nullptr;
    HICON FProgramIcon = nullptr;
};

// A link label on its own light window (linklabel/win32).
class TWin32LinkLabel : public TControl<ILinkLabel> {
public:
    TWin32LinkLabel(std::unique_ptr<TLinkLabelWindow> Window, const TLayoutItem& Item, TWin32Panel* Page);
    void SetCaption(const std::string& Markup) override;
    std::string Caption() const override;
    TLinkLabelWindow& Window() { return *FWindow; }

private:
    std::unique_ptr<TLinkLabelWindow> FWindow;
};

} // namespace qe::win32
