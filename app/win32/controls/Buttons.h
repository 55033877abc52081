// The wizard's buttons: push buttons, the flat folder button with its glyph, check boxes
// and radio buttons.
#pragma once

#include <vector>

#include "app/win32/controls/ChildWindow.h"

namespace qe::win32 {

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

} // namespace qe::win32
