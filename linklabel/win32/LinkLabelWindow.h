// The link label on Windows: a light child window (class "QeLinkLabel") that owns a
// TLinkLabel, paints it double-buffered and feeds it the mouse.
//
// Hosting it on a page:
//
//     #include "linklabel/win32/LinkLabelWindow.h"
//     qe::TLinkLabelWindow LabelStart2(PanelInstall, IDC_LABELSTART2, 16, 104, 313, 169);
//     SendMessage(LabelStart2.Handle(), WM_SETFONT, (WPARAM)PageFont, FALSE); // or Label().SetFont
//     LabelStart2.Label().SetColor(qe::clWhite);          // the page's colour (opaque label)
//     LabelStart2.Label().OnLinkClick = [](qe::TCustomLinkLabel*, int32_t Number,
//                                          const std::string& Text) { ... open Text ... };
//     LabelStart2.Label().SetCaption("This will install <b>...</b> <link>www.example.com</link>");
//
// SetWindowText on the handle sets the caption as well. With AutoHeight on (the default) the
// window sets its own height after each paint. For a transparent label
// (Label().SetTransparent(true)) the background is the brush the parent answers to
// WM_CTLCOLORSTATIC, as for static controls. Link the program with qe_linklabel_win32 and
// compile linklabel/LinkLabel.rc into its resources: it holds the "LINKHAND" cursor shown over
// links (without it the system's hand is used).
//
// A failure inside the window's message handling (a paint, a caption set with SetWindowText,
// a handler the label calls on a click) goes to OnError and never leaves the window
// procedure; without OnError it is shown in the application's error box.
//
// The object must outlive its window: destroying the object destroys the window.
#pragma once

#include "linklabel/LinkLabel.h"

#include <functional>
#include <string>

#include <windows.h>

namespace qe {

// The cursor of the application's cursor table for Cursor (arrow for unknown ids).
HCURSOR CursorHandle(TCursor Cursor);
// Loads the "LINKHAND" cursor from the program's resources as crLinkHand.
void InstallLinkCursor();
// The application's error box: a stop icon, ApplicationTitle (or, when that is empty, the
// program's file name without its extension) as caption, and a period after the text when it
// has none.
void ShowApplicationError(HWND Owner, std::string Text);
inline std::string ApplicationTitle;

class TLinkLabelWindow : public ILinkLabelHost {
public:
    static constexpr const wchar_t* ClassName = L"QeLinkLabel";

    TLinkLabelWindow(HWND Parent, int Id, int X, int Y, int Width, int Height);
    TLinkLabelWindow(const TLinkLabelWindow&) = delete;
    TLinkLabelWindow& operator=(const TLinkLabelWindow&) = delete;
    ~TLinkLabelWindow() override;

    HWND Handle() const { return FHandle; }
    TLinkLabel& Label() { return FLabel; }

    // Told the message of a failure while the window handled a message.
    std::function<void(const std::string& Message)> OnError;

    void Invalidate() override;
    std::unique_ptr<TCanvas> CreateCanvas() override;
    void CursorChanged(TCursor Cursor) override;
    void BoundsChanged() override;

private:
    static LRESULT CALLBACK WindowProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam);
    LRESULT HandleMessage(UINT Message, WPARAM WParam, LPARAM LParam);
    void PaintWindow();
    void FontFromHandle(HFONT Font);
    void SyncBounds();
    void ReportError(const std::string& Message);

    // Set before the label, whose construction already asks its host to repaint.
    HWND FHandle = nullptr;
    HFONT FFontHandle = nullptr;
    bool FTrackingLeave = false;
    bool FReportingError = false;
    TLinkLabel FLabel;
};

} // namespace qe
