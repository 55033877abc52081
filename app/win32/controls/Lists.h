// The wizard's lists: the check list of terminal folders and the drop-down list of the
// terminals to start.
#pragma once

#include "app/win32/controls/ChildWindow.h"

namespace qe::win32 {

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

} // namespace qe::win32
