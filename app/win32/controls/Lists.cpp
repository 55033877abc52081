#include "app/win32/controls/Lists.h"

#include <algorithm>

#include "app/win32/CommonControls.h"
#include "app/win32/Dpi.h"
#include "platform/Exceptions.h"
#include "platform/win32/Win32Text.h"

namespace qe::win32 {
namespace {

// A check list item's check box at 96 dpi.
constexpr int ListCheckSize = 13;

} // namespace

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
    SendMessageW(Handle(), LB_RESETCONTENT, 0, 0);
}

void TWin32CheckList::Add(const std::string& Text, bool Checked)
{
    const LRESULT Index = SendMessageW(Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(Text).c_str()));
    if (Index == LB_ERR || Index == LB_ERRSPACE)
        throw Exception("Cannot add \"" + Text + "\" to the list");
    SendMessageW(Handle(), LB_SETITEMDATA, static_cast<WPARAM>(Index), Checked ? 1 : 0);
}

int32_t TWin32CheckList::Count() const
{
    return static_cast<int32_t>(SendMessageW(Handle(), LB_GETCOUNT, 0, 0));
}

void TWin32CheckList::CheckIndex(int32_t Index) const
{
    if (Index < 0 || Index >= Count())
        throw Exception("List index out of bounds (" + std::to_string(Index) + ")");
}

std::string TWin32CheckList::Text(int32_t Index) const
{
    CheckIndex(Index);
    const LRESULT Length = SendMessageW(Handle(), LB_GETTEXTLEN, static_cast<WPARAM>(Index), 0);
    std::wstring Text(static_cast<std::size_t>(std::max<LRESULT>(Length, 0)) + 1, L'\0');
    const LRESULT Copied =
        SendMessageW(Handle(), LB_GETTEXT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(Text.data()));
    return Utf8(Text.data(), static_cast<std::size_t>(std::max<LRESULT>(Copied, 0)));
}

bool TWin32CheckList::Checked(int32_t Index) const
{
    CheckIndex(Index);
    return SendMessageW(Handle(), LB_GETITEMDATA, static_cast<WPARAM>(Index), 0) != 0;
}

void TWin32CheckList::SetChecked(int32_t Index, bool Checked)
{
    CheckIndex(Index);
    SendMessageW(Handle(), LB_SETITEMDATA, static_cast<WPARAM>(Index), Checked ? 1 : 0);
    RECT Item;
    if (SendMessageW(Handle(), LB_GETITEMRECT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&Item)) != LB_ERR)
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
    SendMessageW(Handle(), LB_SETITEMHEIGHT, 0, Scale(ListItemHeight, Dpi));
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
        const LRESULT Hit = SendMessageW(Window, LB_ITEMFROMPOINT, 0, LParam);
        if (HIWORD(Hit) == 0)
            Self->Toggle(LOWORD(Hit));
    } else if (Message == WM_KEYDOWN && WParam == VK_SPACE) {
        // The item with the focus rectangle, selected or not.
        Self->Toggle(static_cast<int32_t>(SendMessageW(Window, LB_GETCARETINDEX, 0, 0)));
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
    const std::wstring Folder = Wide(this->Text(Index));
    DrawTextW(DC, Folder.c_str(), -1, &Inner, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_PATH_ELLIPSIS);
    if (Draw.itemState & ODS_FOCUS)
        DrawFocusRect(DC, &Text);
}

// --- the drop-down list

void TWin32ComboBox::Clear()
{
    SendMessageW(Handle(), CB_RESETCONTENT, 0, 0);
}

void TWin32ComboBox::Add(const std::string& Text)
{
    const LRESULT Index = SendMessageW(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(Text).c_str()));
    if (Index == CB_ERR || Index == CB_ERRSPACE)
        throw Exception("Cannot add \"" + Text + "\" to the list");
}

int32_t TWin32ComboBox::Count() const
{
    return static_cast<int32_t>(SendMessageW(Handle(), CB_GETCOUNT, 0, 0));
}

void TWin32ComboBox::SetItemIndex(int32_t Index)
{
    SendMessageW(Handle(), CB_SETCURSEL, static_cast<WPARAM>(Index), 0);
}

int32_t TWin32ComboBox::ItemIndex() const
{
    return static_cast<int32_t>(SendMessageW(Handle(), CB_GETCURSEL, 0, 0));
}

std::string TWin32ComboBox::Text() const
{
    const LRESULT Index = SendMessageW(Handle(), CB_GETCURSEL, 0, 0);
    if (Index == CB_ERR)
        return {};
    const LRESULT Length = SendMessageW(Handle(), CB_GETLBTEXTLEN, static_cast<WPARAM>(Index), 0);
    if (Length == CB_ERR)
        return {};
    std::wstring Text(static_cast<std::size_t>(Length) + 1, L'\0');
    const LRESULT Copied =
        SendMessageW(Handle(), CB_GETLBTEXT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(Text.data()));
    return Utf8(Text.data(), static_cast<std::size_t>(std::max<LRESULT>(Copied, 0)));
}

void TWin32ComboBox::DpiChanged(UINT Dpi)
{
    // The selection field and the items of the list.
    SendMessageW(Handle(), CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), Scale(ListItemHeight, Dpi));
    SendMessageW(Handle(), CB_SETITEMHEIGHT, 0, Scale(ListItemHeight, Dpi));
}

} // namespace qe::win32
