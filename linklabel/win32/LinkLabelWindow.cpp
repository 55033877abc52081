#include "linklabel/win32/LinkLabelWindow.h"
#include "linklabel/win32/GdiCanvas.h"

#include <map>

#include <windowsx.h>

#include "platform/win32/Win32Text.h"

namespace qe {

namespace {

std::map<TCursor, HCURSOR>& CursorTable()
{
    static std::map<TCursor, HCURSOR> Table;
    return Table;
}

void RegisterWindowClass()
{
    static bool Registered = false;
    if (Registered)
        return;
    // A class of the wide API: the window's text is UTF-16.
    WNDCLASSW WC{};
    WC.style = CS_HREDRAW | CS_VREDRAW;
    WC.lpfnWndProc = DefWindowProcW;
    WC.hInstance = GetModuleHandleW(nullptr);
    WC.lpszClassName = TLinkLabelWindow::ClassName;
    Registered = RegisterClassW(&WC) != 0;
}

bool ButtonsDown(WPARAM WParam)
{
    return (WParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) != 0;
}

std::string ProgramName()
{
    wchar_t Path[MAX_PATH] = {};
    const DWORD Length = GetModuleFileNameW(nullptr, Path, MAX_PATH);
    std::string Name = win32::Utf8(Path, Length);
    const std::size_t Slash = Name.find_last_of("\\/");
    if (Slash != std::string::npos)
        Name.erase(0, Slash + 1);
    const std::size_t Dot = Name.rfind('.');
    if (Dot != std::string::npos)
        Name.erase(Dot);
    return Name;
}

// A painting of the window between BeginPaint and EndPaint.
class TPaintScope {
public:
    explicit TPaintScope(HWND AWindow) : Window(AWindow) { DC = BeginPaint(Window, &PS); }
    TPaintScope(const TPaintScope&) = delete;
    TPaintScope& operator=(const TPaintScope&) = delete;
    ~TPaintScope() { EndPaint(Window, &PS); }
    HWND Window;
    PAINTSTRUCT PS;
    HDC DC;
};

// An off-screen bitmap compatible with a device context, selected into a memory DC.
class TMemorySurface {
public:
    TMemorySurface(HDC Target, int Width, int Height)
        : DC(CreateCompatibleDC(Target)), Bitmap(CreateCompatibleBitmap(Target, Width, Height)),
          Old(SelectObject(DC, Bitmap))
    {
    }
    TMemorySurface(const TMemorySurface&) = delete;
    TMemorySurface& operator=(const TMemorySurface&) = delete;
    ~TMemorySurface()
    {
        SelectObject(DC, Old);
        DeleteObject(Bitmap);
        DeleteDC(DC);
    }
    HDC DC;
    HBITMAP Bitmap;
    HGDIOBJ Old;
};

} // namespace

HCURSOR CursorHandle(TCursor Cursor)
{
    auto It = CursorTable().find(Cursor);
    if (It != CursorTable().end() && It->second)
        return It->second;
    return LoadCursorW(nullptr, IDC_ARROW);
}

void ShowApplicationError(HWND Owner, std::string Text)
{
    // A message ends as a sentence does: with a full stop, Chinese and Japanese with their own.
    if (!Text.empty() && Text.back() != '.' && !Text.ends_with("\u3002"))
        Text += '.';
    const std::string Title = ApplicationTitle.empty() ? ProgramName() : ApplicationTitle;
    MessageBoxW(Owner, win32::Wide(Text).c_str(), win32::Wide(Title).c_str(), MB_OK | MB_ICONSTOP);
}

void InstallLinkCursor()
{
    HCURSOR Hand = LoadCursorW(GetModuleHandleW(nullptr), L"LINKHAND");
    if (!Hand)
        Hand = LoadCursorW(nullptr, IDC_HAND);
    CursorTable()[crLinkHand] = Hand;
}

TLinkLabelWindow::TLinkLabelWindow(HWND Parent, int Id, int X, int Y, int Width, int Height) : FLabel(this)
{
    InstallLinkCursor();
    RegisterWindowClass();
    FLabel.SetBounds(X, Y, Width, Height);
    FHandle = CreateWindowExW(0, ClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, X, Y, Width, Height, Parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(Id)), GetModuleHandleW(nullptr), nullptr);
    if (FHandle) {
        SetWindowLongPtrW(FHandle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        SetWindowLongPtrW(FHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowProc));
        FontFromHandle(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
    }
}

TLinkLabelWindow::~TLinkLabelWindow()
{
    if (FHandle) {
        SetWindowLongPtrW(FHandle, GWLP_USERDATA, 0);
        DestroyWindow(FHandle);
    }
}

LRESULT CALLBACK TLinkLabelWindow::WindowProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam)
{
    auto* Self = reinterpret_cast<TLinkLabelWindow*>(GetWindowLongPtrW(Window, GWLP_USERDATA));
    if (!Self)
        return DefWindowProcW(Window, Message, WParam, LParam);
    // An exception cannot unwind through the system's code that called this procedure.
    try {
        return Self->HandleMessage(Message, WParam, LParam);
    } catch (const std::exception& Error) {
        Self->ReportError(Error.what());
    } catch (...) {
        Self->ReportError("Unknown error");
    }
    return 0;
}

void TLinkLabelWindow::ReportError(const std::string& Message)
{
    // Messages handled while an error is shown (the error box paints the window again) do
    // not report their failures on top of it.
    if (FReportingError)
        return;
    FReportingError = true;
    try {
        if (OnError)
            OnError(Message);
        else
            ShowApplicationError(GetAncestor(FHandle, GA_ROOT), Message);
    } catch (...) {
    }
    FReportingError = false;
}

LRESULT TLinkLabelWindow::HandleMessage(UINT Message, WPARAM WParam, LPARAM LParam)
{
    const int32_t X = GET_X_LPARAM(LParam);
    const int32_t Y = GET_Y_LPARAM(LParam);
    switch (Message) {
    case WM_PAINT: PaintWindow(); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_SIZE:
    case WM_MOVE: SyncBounds(); return 0;
    case WM_SETFONT: FontFromHandle(reinterpret_cast<HFONT>(WParam)); return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(FFontHandle);
    case WM_SETTEXT: {
        LRESULT Result = DefWindowProcW(FHandle, Message, WParam, LParam);
        FLabel.SetCaption(LParam ? win32::Utf8(reinterpret_cast<const wchar_t*>(LParam)) : "");
        return Result;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        // Keep the mouse until release, so that a release outside still ends the press.
        SetCapture(FHandle);
        FLabel.MouseDown(Message == WM_LBUTTONDOWN ? mbLeft : Message == WM_RBUTTONDOWN ? mbRight : mbMiddle, X, Y);
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        if (!ButtonsDown(WParam) && GetCapture() == FHandle)
            ReleaseCapture();
        FLabel.MouseUp(Message == WM_LBUTTONUP ? mbLeft : Message == WM_RBUTTONUP ? mbRight : mbMiddle, X, Y);
        return 0;
    case WM_MOUSEMOVE:
        if (!FTrackingLeave) {
            TRACKMOUSEEVENT Track{sizeof(Track), TME_LEAVE, FHandle, 0};
            FTrackingLeave = TrackMouseEvent(&Track) != FALSE;
        }
        FLabel.MouseMove(X, Y);
        return 0;
    case WM_MOUSELEAVE:
        FTrackingLeave = false;
        FLabel.MouseLeave();
        return 0;
    case WM_SETCURSOR:
        if (LOWORD(LParam) == HTCLIENT) {
            ::SetCursor(CursorHandle(FLabel.GetCursor()));
            return TRUE;
        }
        break;
    default: break;
    }
    return DefWindowProcW(FHandle, Message, WParam, LParam);
}

void TLinkLabelWindow::PaintWindow()
{
    TPaintScope Paint(FHandle);
    RECT Client;
    GetClientRect(FHandle, &Client);
    // Painted off screen first: a paint fills the background and then draws the text.
    TMemorySurface Memory(Paint.DC, Client.right > 0 ? Client.right : 1, Client.bottom > 0 ? Client.bottom : 1);
    if (FLabel.GetTransparent()) {
        HWND Parent = GetParent(FHandle);
        auto Brush = reinterpret_cast<HBRUSH>(SendMessageW(
            Parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(Memory.DC), reinterpret_cast<LPARAM>(FHandle)));
        ::FillRect(Memory.DC, &Client, Brush ? Brush : GetSysColorBrush(COLOR_BTNFACE));
    }
    {
        TGdiCanvas Canvas(Memory.DC);
        FLabel.Paint(Canvas);
    }
    BitBlt(Paint.DC, 0, 0, Client.right, Client.bottom, Memory.DC, 0, 0, SRCCOPY);
}

void TLinkLabelWindow::FontFromHandle(HFONT Font)
{
    FFontHandle = Font;
    LOGFONTW LF{};
    if (!Font || GetObjectW(Font, sizeof(LF), &LF) == 0)
        return;
    HDC Screen = GetDC(nullptr);
    const int Dpi = GetDeviceCaps(Screen, LOGPIXELSY);
    ReleaseDC(nullptr, Screen);
    // The label draws with exactly this font: its height in pixels, weight, character set
    // and quality are kept; Size is only the nearest whole point size.
    TFont F = FLabel.GetFont();
    F.Name = win32::Utf8(LF.lfFaceName);
    F.Size = MulDiv(LF.lfHeight < 0 ? -LF.lfHeight : LF.lfHeight, 72, Dpi);
    F.Height = LF.lfHeight;
    F.Weight = LF.lfWeight;
    F.Charset = LF.lfCharSet;
    F.Quality = LF.lfQuality;
    F.PitchAndFamily = LF.lfPitchAndFamily;
    TFontStyles S;
    if (LF.lfWeight >= FW_BOLD)
        S = S + TFontStyle::fsBold;
    if (LF.lfItalic)
        S = S + TFontStyle::fsItalic;
    if (LF.lfUnderline)
        S = S + TFontStyle::fsUnderline;
    if (LF.lfStrikeOut)
        S = S + TFontStyle::fsStrikeOut;
    F.Styles = S;
    FLabel.SetFont(F);
}

void TLinkLabelWindow::SyncBounds()
{
    RECT R;
    GetWindowRect(FHandle, &R);
    MapWindowPoints(nullptr, GetParent(FHandle), reinterpret_cast<POINT*>(&R), 2);
    FLabel.SetBounds(R.left, R.top, R.right - R.left, R.bottom - R.top);
}

void TLinkLabelWindow::Invalidate()
{
    if (FHandle)
        InvalidateRect(FHandle, nullptr, FALSE);
}

std::unique_ptr<TCanvas> TLinkLabelWindow::CreateCanvas()
{
    if (!FHandle)
        return nullptr;
    HDC DC = GetDC(FHandle);
    if (!DC)
        return nullptr;
    return std::make_unique<TGdiCanvas>(DC, FHandle);
}

void TLinkLabelWindow::CursorChanged(TCursor Cursor)
{
    // The cursor changes at once when the mouse is over the label.
    POINT P;
    if (FHandle && GetCursorPos(&P) && WindowFromPoint(P) == FHandle)
        ::SetCursor(CursorHandle(Cursor));
}

void TLinkLabelWindow::BoundsChanged()
{
    if (FHandle)
        SetWindowPos(FHandle, nullptr, 0, 0, FLabel.GetWidth(), FLabel.GetHeight(),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace qe
