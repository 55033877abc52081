#include "app/win32/controls/Texts.h"

#include <algorithm>

#include <richedit.h>

#include "app/win32/CommonControls.h"
#include "platform/win32/Win32Text.h"

namespace qe::win32 {
namespace {

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

// --- labels

void TWin32Label::SetCaption(const std::string& Caption)
{
    SetWindowTextW(Handle(), Wide(Caption).c_str());
}

std::string TWin32Label::Caption() const
{
    return WindowText(Handle());
}

// --- memos

TWin32Memo::TWin32Memo(HWND Handle, const TLayoutItem& Item, TWin32Panel* Page) : TControl(Handle, Item, Page)
{
    // No limit but memory: a long run writes many lines.
    SendMessageW(Handle, EM_SETLIMITTEXT, 0, 0);
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
    SetWindowTextW(Handle(), Wide(Text).c_str());
}

void TWin32Memo::AddLine(const std::string& Line)
{
    const int Length = GetWindowTextLengthW(Handle());
    const std::wstring Text = Wide((Length > 0 ? "\r\n" : "") + Line);
    SendMessageW(Handle(), EM_SETSEL, static_cast<WPARAM>(Length), Length);
    SendMessageW(Handle(), EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(Text.c_str()));
    SendMessageW(Handle(), EM_SCROLLCARET, 0, 0);
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

// --- rich text

namespace {

// The bytes the control reads: RTF as it is, plain text in UTF-16.
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
    SendMessageW(Handle, EM_EXLIMITTEXT, 0, 0x7FFFFFFF);
    KeepSelectionOnFocus(Handle);
}

bool TWin32RichText::StreamIn(const std::string& Text, WPARAM Format)
{
    TStringSource Source{Text};
    EDITSTREAM Stream{};
    Stream.dwCookie = reinterpret_cast<DWORD_PTR>(&Source);
    Stream.pfnCallback = ReadString;
    SendMessageW(Handle(), EM_STREAMIN, Format, reinterpret_cast<LPARAM>(&Stream));
    if (Stream.dwError != 0)
        return false;
    SendMessageW(Handle(), EM_SETSEL, 0, 0);
    SendMessageW(Handle(), EM_SCROLLCARET, 0, 0);
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
    // UTF-8 text as the UTF-16 the control reads whatever the system's code page.
    const std::wstring Wide = win32::Wide(Text);
    return StreamIn(std::string(reinterpret_cast<const char*>(Wide.data()), Wide.size() * sizeof(wchar_t)),
                    SF_TEXT | SF_UNICODE);
}

std::string TWin32RichText::PlainText() const
{
    return WindowText(Handle());
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
    DefWindowProcW(Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Wide(Markup).c_str()));
    if (OnCaptionChanged)
        OnCaptionChanged(*this);
}

std::string TWin32LinkLabel::Caption() const
{
    return FWindow->Label().GetCaption();
}

} // namespace qe::win32
