#include "app/win32/Win32Controls.h"

#include <algorithm>

#include <commctrl.h>
#include <richedit.h>

#include "app/win32/CommonControls.h"
#include "app/win32/Dpi.h"
#include "app/win32/WizardFonts.h"
#include "package/JpegImage.h"
#include "platform/Exceptions.h"

namespace qe::win32 {
namespace {

// At 96 dpi: the folder button's glyph and the check box of a check list's item.
constexpr int GlyphSize = 16;
constexpr int ListCheckSize = 13;
// The title panel: the program's icon (resource 1) and its size, the text's margin and
// its top, level with the start page's heading.
constexpr int ProgramIconId = 1;
constexpr int ProgramIconSize = 48;
constexpr int TitleMargin = 16;
constexpr int TitleTop = 32;

HICON LoadIconAtSize(int Id, int Size)
{
    return static_cast<HICON>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(Id), IMAGE_ICON, Size, Size, LR_DEFAULTCOLOR));
}

void FillColor(HDC DC, const RECT& Rect, COLORREF Color)
{
    SetBkColor(DC, Color);
    ExtTextOutA(DC, 0, 0, ETO_OPAQUE, &Rect, nullptr, 0, nullptr);
}

LRESULT CALLBACK KeepSelectionProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam, UINT_PTR, DWORD_PTR)
{
    const LRESULT Result = DefaultSubclassProc(Window, Message, WParam, LParam);
    return Message == WM_GETDLGCODE ? Result & ~static_cast<LRESULT>(DLGC_HASSETSEL) : Result;
}

// A text the keyboard's focus reaches is not selected whole, as the dialog manager does
// with an edit control's text: a page of highlighted text is no way to read it.
void KeepSelectionOnFocus(HWND Window)
{
    SubclassWindow(Window, KeepSelectionProc, 0, 0);
}

} // namespace

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
    const int Length = GetWindowTextLengthA(Window);
    if (Length <= 0)
        return {};
    std::string Text(static_cast<std::size_t>(Length) + 1, '\0');
    const int Copied = GetWindowTextA(Window, Text.data(), Length + 1);
    Text.resize(static_cast<std::size_t>(std::max(Copied, 0)));
    return Text;
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
    const bool Shown = (GetWindowLongPtrA(FHandle, GWL_STYLE) & WS_VISIBLE) != 0;
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

// --- labels and buttons

void TWin32Label::SetCaption(const std::string& Caption)
{
    SetWindowTextA(Handle(), Caption.c_str());
}

std::string TWin32Label::Caption() const
{
    return WindowText(Handle());
}

void TWin32Button::SetCaption(const std::string& Caption)
{
    SetWindowTextA(Handle(), Caption.c_str());
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
    const std::string Caption = WindowText(Handle());
    RECT TextRect{0, 0, 0, 0};
    DrawTextA(DC, Caption.c_str(), -1, &TextRect, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
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
    DrawTextA(DC, Caption.c_str(), -1, &Text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    if ((Draw.itemState & ODS_FOCUS) && !(Draw.itemState & ODS_NOFOCUSRECT)) {
        RECT Focus = Draw.rcItem;
        InflateRect(&Focus, -3, -3);
        DrawFocusRect(DC, &Focus);
    }
}

// --- check boxes and radio buttons

void TWin32CheckBox::SetChecked(bool Checked)
{
    SendMessageA(Handle(), BM_SETCHECK, Checked ? BST_CHECKED : BST_UNCHECKED, 0);
    if (Checked)
        for (TWin32CheckBox* Other : FGroup)
            if (Other != this)
                SendMessageA(Other->Handle(), BM_SETCHECK, BST_UNCHECKED, 0);
}

bool TWin32CheckBox::Checked() const
{
    return SendMessageA(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// --- the check list

TWin32CheckList::TWin32CheckList(HWND Handle, const TLayoutItem& Item, TWin32Panel* Page) : TControl(Handle, Item, Page)
{
    SubclassWindow(Handle, SubclassProc, 0, reinterpret_cast<DWORD_PTR>(this));
}

TWin32CheckList::~TWin32CheckList()
{
    RemoveSubclass(Handle(), SubclassProc, 0);
}

void TWin32CheckList::Clear()
{
    SendMessageA(Handle(), LB_RESETCONTENT, 0, 0);
}

void TWin32CheckList::Add(const std::string& Text, bool Checked)
{
    const LRESULT Index = SendMessageA(Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Text.c_str()));
    if (Index == LB_ERR || Index == LB_ERRSPACE)
        throw Exception("Cannot add \"" + Text + "\" to the list");
    SendMessageA(Handle(), LB_SETITEMDATA, static_cast<WPARAM>(Index), Checked ? 1 : 0);
}

int32_t TWin32CheckList::Count() const
{
    return static_cast<int32_t>(SendMessageA(Handle(), LB_GETCOUNT, 0, 0));
}

void TWin32CheckList::CheckIndex(int32_t Index) const
{
    if (Index < 0 || Index >= Count())
        throw Exception("List index out of bounds (" + std::to_string(Index) + ")");
}

std::string TWin32CheckList::Text(int32_t Index) const
{
    CheckIndex(Index);
    const LRESULT Length = SendMessageA(Handle(), LB_GETTEXTLEN, static_cast<WPARAM>(Index), 0);
    std::string Text(static_cast<std::size_t>(std::max<LRESULT>(Length, 0)) + 1, '\0');
    const LRESULT Copied =
        SendMessageA(Handle(), LB_GETTEXT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(Text.data()));
    Text.resize(static_cast<std::size_t>(std::max<LRESULT>(Copied, 0)));
    return Text;
}

bool TWin32CheckList::Checked(int32_t Index) const
{
    CheckIndex(Index);
    return SendMessageA(Handle(), LB_GETITEMDATA, static_cast<WPARAM>(Index), 0) != 0;
}

void TWin32CheckList::SetChecked(int32_t Index, bool Checked)
{
    CheckIndex(Index);
    SendMessageA(Handle(), LB_SETITEMDATA, static_cast<WPARAM>(Index), Checked ? 1 : 0);
    RECT Item;
    if (SendMessageA(Handle(), LB_GETITEMRECT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&Item)) != LB_ERR)
        InvalidateRect(Handle(), &Item, FALSE);
}

void TWin32CheckList::Toggle(int32_t Index)
{
    if (Index >= 0 && Index < Count())
        SetChecked(Index, !Checked(Index));
}

int TWin32CheckList::CheckBoxWidth() const
{
    return Scale(ListCheckSize + 4, FDpi);
}

void TWin32CheckList::DpiChanged(UINT Dpi)
{
    FDpi = Dpi;
    SendMessageA(Handle(), LB_SETITEMHEIGHT, 0, Scale(ListItemHeight, Dpi));
    InvalidateRect(Handle(), nullptr, TRUE);
}

LRESULT CALLBACK TWin32CheckList::SubclassProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam, UINT_PTR,
                                               DWORD_PTR Data)
{
    auto* Self = reinterpret_cast<TWin32CheckList*>(Data);
    const LRESULT Result = DefaultSubclassProc(Window, Message, WParam, LParam);
    // A click on an item's check box, or the space bar on the selected item, toggles it.
    if ((Message == WM_LBUTTONDOWN || Message == WM_LBUTTONDBLCLK) &&
        static_cast<short>(LOWORD(LParam)) < Self->CheckBoxWidth()) {
        const LRESULT Hit = SendMessageA(Window, LB_ITEMFROMPOINT, 0, LParam);
        if (HIWORD(Hit) == 0)
            Self->Toggle(LOWORD(Hit));
    } else if (Message == WM_KEYDOWN && WParam == VK_SPACE) {
        // The item with the focus rectangle, selected or not.
        Self->Toggle(static_cast<int32_t>(SendMessageA(Window, LB_GETCARETINDEX, 0, 0)));
    }
    return Result;
}

void TWin32CheckList::DrawItem(const DRAWITEMSTRUCT& Draw)
{
    HDC DC = Draw.hDC;
    const RECT& Rect = Draw.rcItem;
    FillColor(DC, Rect, GetSysColor(COLOR_WINDOW));
    if (Draw.itemID == static_cast<UINT>(-1))
        return;
    const int Index = static_cast<int>(Draw.itemID);

    const int Box = Scale(ListCheckSize, FDpi);
    const int Margin = Scale(2, FDpi);
    RECT Check{Rect.left + Margin, (Rect.top + Rect.bottom - Box) / 2, 0, 0};
    Check.right = Check.left + Box;
    Check.bottom = Check.top + Box;
    DrawFrameControl(DC, &Check, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_FLAT | (Checked(Index) ? DFCS_CHECKED : 0));

    // The text part is highlighted when selected, as in a list box.
    RECT Text{Rect.left + CheckBoxWidth(), Rect.top, Rect.right, Rect.bottom};
    const bool Selected = (Draw.itemState & ODS_SELECTED) != 0;
    if (Selected)
        FillColor(DC, Text, GetSysColor(COLOR_HIGHLIGHT));
    SetBkMode(DC, TRANSPARENT);
    SetTextColor(DC, GetSysColor(Selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    RECT Inner = Text;
    Inner.left += Margin;
    const std::string Folder = this->Text(Index);
    DrawTextA(DC, Folder.c_str(), -1, &Inner, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_PATH_ELLIPSIS);
    if (Draw.itemState & ODS_FOCUS)
        DrawFocusRect(DC, &Text);
}

// --- memo, progress bar, combo box

TWin32Memo::TWin32Memo(HWND Handle, const TLayoutItem& Item, TWin32Panel* Page) : TControl(Handle, Item, Page)
{
    // No limit but memory: a long run writes many lines.
    SendMessageA(Handle, EM_SETLIMITTEXT, 0, 0);
    KeepSelectionOnFocus(Handle);
}

void TWin32Memo::SetLines(const std::vector<std::string>& Lines)
{
    std::string Text;
    for (std::size_t I = 0; I < Lines.size(); ++I) {
        if (I > 0)
            Text += "\r\n";
        Text += Lines[I];
    }
    SetWindowTextA(Handle(), Text.c_str());
}

void TWin32Memo::AddLine(const std::string& Line)
{
    const int Length = GetWindowTextLengthA(Handle());
    const std::string Text = (Length > 0 ? "\r\n" : "") + Line;
    SendMessageA(Handle(), EM_SETSEL, static_cast<WPARAM>(Length), Length);
    SendMessageA(Handle(), EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(Text.c_str()));
    SendMessageA(Handle(), EM_SCROLLCARET, 0, 0);
}

std::vector<std::string> TWin32Memo::Lines() const
{
    std::vector<std::string> Lines;
    const std::string Text = WindowText(Handle());
    if (Text.empty())
        return Lines;
    std::size_t Start = 0;
    for (;;) {
        const std::size_t End = Text.find("\r\n", Start);
        Lines.push_back(Text.substr(Start, End == std::string::npos ? std::string::npos : End - Start));
        if (End == std::string::npos)
            return Lines;
        Start = End + 2;
    }
}

TWin32ProgressBar::TWin32ProgressBar(HWND Handle, const TLayoutItem& Item, TWin32Panel* Page)
    : TControl(Handle, Item, Page)
{
    SendMessageA(Handle, PBM_SETRANGE32, 0, 100);
    SendMessageA(Handle, PBM_SETPOS, 0, 0);
}

void TWin32ProgressBar::SetPosition(int32_t Position)
{
    SendMessageA(Handle(), PBM_SETPOS, static_cast<WPARAM>(std::clamp<int32_t>(Position, 0, 100)), 0);
}

int32_t TWin32ProgressBar::Position() const
{
    return static_cast<int32_t>(SendMessageA(Handle(), PBM_GETPOS, 0, 0));
}

void TWin32ComboBox::Clear()
{
    SendMessageA(Handle(), CB_RESETCONTENT, 0, 0);
}

void TWin32ComboBox::Add(const std::string& Text)
{
    const LRESULT Index = SendMessageA(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Text.c_str()));
    if (Index == CB_ERR || Index == CB_ERRSPACE)
        throw Exception("Cannot add \"" + Text + "\" to the list");
}

int32_t TWin32ComboBox::Count() const
{
    return static_cast<int32_t>(SendMessageA(Handle(), CB_GETCOUNT, 0, 0));
}

void TWin32ComboBox::SetItemIndex(int32_t Index)
{
    SendMessageA(Handle(), CB_SETCURSEL, static_cast<WPARAM>(Index), 0);
}

int32_t TWin32ComboBox::ItemIndex() const
{
    return static_cast<int32_t>(SendMessageA(Handle(), CB_GETCURSEL, 0, 0));
}

std::string TWin32ComboBox::Text() const
{
    const LRESULT Index = SendMessageA(Handle(), CB_GETCURSEL, 0, 0);
    if (Index == CB_ERR)
        return {};
    const LRESULT Length = SendMessageA(Handle(), CB_GETLBTEXTLEN, static_cast<WPARAM>(Index), 0);
    if (Length == CB_ERR)
        return {};
    std::string Text(static_cast<std::size_t>(Length) + 1, '\0');
    const LRESULT Copied =
        SendMessageA(Handle(), CB_GETLBTEXT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(Text.data()));
    Text.resize(static_cast<std::size_t>(std::max<LRESULT>(Copied, 0)));
    return Text;
}

void TWin32ComboBox::DpiChanged(UINT Dpi)
{
    // The selection field and the items of the list.
    SendMessageA(Handle(), CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), Scale(ListItemHeight, Dpi));
    SendMessageA(Handle(), CB_SETITEMHEIGHT, 0, Scale(ListItemHeight, Dpi));
}

// --- rich text

namespace {

struct TStringSource {
    const std::string& Text;
    std::size_t Position = 0;
};

DWORD CALLBACK ReadString(DWORD_PTR Cookie, LPBYTE Buffer, LONG Wanted, LONG* Given)
{
    auto* Source = reinterpret_cast<TStringSource*>(Cookie);
    const std::size_t Count =
        std::min<std::size_t>(static_cast<std::size_t>(Wanted), Source->Text.size() - Source->Position);
    std::copy_n(Source->Text.data() + Source->Position, Count, Buffer);
    Source->Position += Count;
    *Given = static_cast<LONG>(Count);
    return 0;
}

} // namespace

TWin32RichText::TWin32RichText(HWND Handle, const TLayoutItem& Item, TWin32Panel* Page) : TControl(Handle, Item, Page)
{
    SendMessageA(Handle, EM_EXLIMITTEXT, 0, 0x7FFFFFFF);
    KeepSelectionOnFocus(Handle);
}

bool TWin32RichText::StreamIn(const std::string& Text, WPARAM Format)
{
    TStringSource Source{Text};
    EDITSTREAM Stream{};
    Stream.dwCookie = reinterpret_cast<DWORD_PTR>(&Source);
    Stream.pfnCallback = ReadString;
    SendMessageA(Handle(), EM_STREAMIN, Format, reinterpret_cast<LPARAM>(&Stream));
    if (Stream.dwError != 0)
        return false;
    SendMessageA(Handle(), EM_SETSEL, 0, 0);
    SendMessageA(Handle(), EM_SCROLLCARET, 0, 0);
    return true;
}

bool TWin32RichText::LoadRtf(const std::string& Text)
{
    // Some versions of the control read text without the RTF header as plain text; the
    // header decides, the same on every system.
    if (Text.compare(0, 5, "{\\rtf") != 0)
        return false;
    return StreamIn(Text, SF_RTF);
}

bool TWin32RichText::LoadPlainText(const std::string& Text)
{
    return StreamIn(Text, SF_TEXT);
}

std::string TWin32RichText::PlainText() const
{
    return WindowText(Handle());
}

// --- pictures

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
    DrawTextA(DC, FTitle.c_str(), -1, &Text, DT_LEFT | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX);
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

// --- link labels

TWin32LinkLabel::TWin32LinkLabel(std::unique_ptr<TLinkLabelWindow> Window, const TLayoutItem& Item, TWin32Panel* Page)
    : TControl(Window->Handle(), Item, Page), FWindow(std::move(Window))
{
}

void TWin32LinkLabel::SetCaption(const std::string& Markup)
{
    // A caption that does not parse raises here, to the caller. The window keeps the text as
    // well, for readers of the window (WM_GETTEXT), without parsing it a second time.
    FWindow->Label().SetCaption(Markup);
    DefWindowProcA(Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Markup.c_str()));
}

std::string TWin32LinkLabel::Caption() const
{
    return FWindow->Label().GetCaption();
}

} // namespace qe::win32
