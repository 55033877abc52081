// The wizard's texts: labels, memos, rich text views and the markup link labels.
#pragma once

#include <memory>
#include <vector>

#include "app/win32/controls/ChildWindow.h"
#include "linklabel/win32/LinkLabelWindow.h"

namespace qe::win32 {

class TWin32Label : public TControl<ILabel> {
public:
    using TControl::TControl;
    void SetCaption(const std::string& Caption) override;
    std::string Caption() const override;
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

// A link label on its own light window (linklabel/win32).
class TWin32LinkLabel : public TControl<ILinkLabel> {
public:
    TWin32LinkLabel(std::unique_ptr<TLinkLabelWindow> Window, const TLayoutItem& Item, TWin32Panel* Page);
    void SetCaption(const std::string& Markup) override;
    std::string Caption() const override;
    std::string FontText() const override { return Caption(); }
    TLinkLabelWindow& Window() { return *FWindow; }
    // Called after each new caption, so that the window gives the label the font it needs.
    std::function<void(TChildWindow&)> OnCaptionChanged;

private:
    std::unique_ptr<TLinkLabelWindow> FWindow;
};

} // namespace qe::win32
