// The link label on real GDI, run under Wine: the wizard's welcome text drawn into a
// 313 x 169 bitmap (saved as linklabel-welcome.bmp in the working folder, or where
// QE_LINKLABEL_PICTURE says), and the label hosted as a child window driven by mouse messages.
#include "linklabel/win32/GdiCanvas.h"
#include "linklabel/win32/LinkLabelWindow.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace qe {
namespace {

const char* const ProductTitle = "Sample Expert v1.0";
const char* const BuilderSite = "www.example.com";

std::string WelcomeText()
{
    return std::string("This will install ") + ProductTitle + " on your computer. " +
           "Please close all MetaTrader applications before you continue with the installation." +
           "<br><br>Click Next to continue with the installation, or click Cancel to exit." +
           "<br><br><br><br><br><br><br>Made with a free installer: <link>" + BuilderSite + "</link>";
}

TFont WizardFont()
{
    TFont F;
    F.Name = "MS Sans Serif";
    F.Size = 8;
    F.Color = clWindowText;
    return F;
}

// A 32-bit bottom-up bitmap selected into a memory DC.
class TBitmapSurface {
public:
    TBitmapSurface(int AWidth, int AHeight) : Width(AWidth), Height(AHeight)
    {
        BITMAPINFO Info{};
        Info.bmiHeader.biSize = sizeof(Info.bmiHeader);
        Info.bmiHeader.biWidth = Width;
        Info.bmiHeader.biHeight = Height;
        Info.bmiHeader.biPlanes = 1;
        Info.bmiHeader.biBitCount = 32;
        Info.bmiHeader.biCompression = BI_RGB;
        DC = CreateCompatibleDC(nullptr);
        Bitmap = CreateDIBSection(DC, &Info, DIB_RGB_COLORS, reinterpret_cast<void**>(&Bits), nullptr, 0);
        Old = SelectObject(DC, Bitmap);
    }
    ~TBitmapSurface()
    {
        SelectObject(DC, Old);
        DeleteObject(Bitmap);
        DeleteDC(DC);
    }
    // The pixel at (X, Y) as 0x00RRGGBB.
    uint32_t Pixel(int X, int Y) const
    {
        GdiFlush();
        return Bits[(Height - 1 - Y) * Width + X] & 0xFFFFFF;
    }
    bool Save(const std::string& Path) const
    {
        GdiFlush();
        const DWORD ImageSize = static_cast<DWORD>(Width * Height * 4);
        BITMAPFILEHEADER File{};
        BITMAPINFOHEADER Info{};
        Info.biSize = sizeof(Info);
        Info.biWidth = Width;
        Info.biHeight = Height;
        Info.biPlanes = 1;
        Info.biBitCount = 32;
        Info.biCompression = BI_RGB;
        Info.biSizeImage = ImageSize;
        File.bfType = 0x4D42;
        File.bfOffBits = sizeof(File) + sizeof(Info);
        File.bfSize = File.bfOffBits + ImageSize;
        FILE* F = std::fopen(Path.c_str(), "wb");
        if (!F)
            return false;
        bool Ok = std::fwrite(&File, sizeof(File), 1, F) == 1 && std::fwrite(&Info, sizeof(Info), 1, F) == 1 &&
                  std::fwrite(Bits, ImageSize, 1, F) == 1;
        return std::fclose(F) == 0 && Ok;
    }

    int Width;
    int Height;
    HDC DC;
    HBITMAP Bitmap;
    HGDIOBJ Old;
    uint32_t* Bits = nullptr;
};

// Draws the label on the bitmap, also for the single-link redraws.
class TBitmapHost : public ILinkLabelHost {
public:
    explicit TBitmapHost(TBitmapSurface& ASurface) : Surface(ASurface) {}
    void Invalidate() override {}
    std::unique_ptr<TCanvas> CreateCanvas() override { return std::make_unique<TGdiCanvas>(Surface.DC); }
    void CursorChanged(TCursor) override {}
    void BoundsChanged() override {}
    TBitmapSurface& Surface;
};

bool IsLinkBlue(uint32_t Rgb)
{
    // Pure blue, allowing for smoothed edges of the glyphs.
    const int R = (Rgb >> 16) & 0xFF, G = (Rgb >> 8) & 0xFF, B = Rgb & 0xFF;
    return B > 160 && R < 100 && G < 100;
}

int CountPixels(const TBitmapSurface& S, const TRect& R, bool (*Test)(uint32_t))
{
    int N = 0;
    for (int Y = std::max(0, R.Top); Y < std::min(S.Height, R.Bottom); ++Y)
        for (int X = std::max(0, R.Left); X < std::min(S.Width, R.Right); ++X)
            if (Test(S.Pixel(X, Y)))
                ++N;
    return N;
}

TEST(GdiLinkLabel, DrawsTheWelcomeTextWithAHitTestableLink)
{
    TBitmapSurface Surface(313, 169);
    TBitmapHost Host(Surface);
    TLinkLabel Label(&Host);
    Label.SetBounds(0, 0, 313, 169);
    Label.SetColor(clWhite);
    Label.SetFont(WizardFont());
    Label.SetCaption(WelcomeText());
    std::vector<std::pair<int32_t, std::string>> Clicks;
    Label.OnLinkClick = [&](TCustomLinkLabel*, int32_t Number, const std::string& Text) {
        Clicks.push_back({Number, Text});
    };
    {
        TGdiCanvas Canvas(Surface.DC);
        Label.Paint(Canvas);
        EXPECT_EQ(Canvas.TextHeight("fg"), 13) << "MS Sans Serif 8 pt at 96 dpi";
    }
    const char* Path = std::getenv("QE_LINKLABEL_PICTURE");
    ASSERT_TRUE(Surface.Save(Path ? Path : "linklabel-welcome.bmp"));

    // The notice is the last line, and the label ends with it.
    EXPECT_LE(Label.GetHeight(), 169);
    const std::vector<TRect>& Links = Label.GetNodeTree()->Root->LinkRects;
    ASSERT_EQ(Links.size(), 1u);
    const TRect Link = Links[0];
    EXPECT_EQ(Link.Bottom, Label.GetHeight());
    EXPECT_EQ(Link.Top, Link.Bottom - 13);
    EXPECT_LE(Link.Right, 313);
    // The link's rectangle is where it was drawn: blue pixels inside, none elsewhere.
    const int Blue = CountPixels(Surface, Link, IsLinkBlue);
    EXPECT_GT(Blue, Link.Width()) << "text and underline";
    EXPECT_EQ(CountPixels(Surface, {0, 0, 313, Link.Top}, IsLinkBlue), 0);
    EXPECT_EQ(CountPixels(Surface, {0, Link.Top, Link.Left, 169}, IsLinkBlue), 0);
    // Dark text above it.
    EXPECT_GT(CountPixels(Surface, {0, 0, 313, 13}, [](uint32_t P) { return P == 0; }), 100);

    // Pressing the link draws it in red; releasing reports it and turns it blue again.
    const int32_t CX = (Link.Left + Link.Right) / 2;
    const int32_t CY = (Link.Top + Link.Bottom) / 2;
    Label.MouseDown(mbLeft, CX, CY);
    EXPECT_GT(CountPixels(Surface, Link, [](uint32_t P) { return P == 0xFF0000u; }), Link.Width());
    Label.MouseUp(mbLeft, CX, CY);
    EXPECT_GT(CountPixels(Surface, Link, IsLinkBlue), Link.Width());
    Label.MouseUp(mbLeft, Link.Right, Link.Bottom);
    Label.MouseUp(mbLeft, Link.Left - 1, CY);
    Label.MouseUp(mbLeft, 20, 5);
    EXPECT_EQ(Clicks, (std::vector<std::pair<int32_t, std::string>>{{0, BuilderSite}, {0, BuilderSite}}));
}

LRESULT CALLBACK ParentProc(HWND W, UINT M, WPARAM WP, LPARAM LP)
{
    if (M == WM_CTLCOLORSTATIC)
        return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
    return DefWindowProcW(W, M, WP, LP);
}

// A white top-level window to put labels on.
HWND CreatePage()
{
    WNDCLASSW WC{};
    WC.lpfnWndProc = ParentProc;
    WC.hInstance = GetModuleHandleW(nullptr);
    WC.lpszClassName = L"QeLinkLabelTestPage";
    WC.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    RegisterClassW(&WC);
    return CreateWindowExW(0, WC.lpszClassName, L"page", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300, nullptr,
                           nullptr, WC.hInstance, nullptr);
}

TEST(GdiLinkLabel, HostedAsAChildWindowItFollowsTheMouse)
{
    HWND Page = CreatePage();
    ASSERT_NE(Page, nullptr);
    {
        TLinkLabelWindow Window(Page, 1001, 16, 20, 313, 169);
        ASSERT_NE(Window.Handle(), nullptr);
        EXPECT_EQ(GetDlgCtrlID(Window.Handle()), 1001);
        HFONT Font = CreateFontW(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"MS Sans Serif");
        SendMessageW(Window.Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(Font), TRUE);
        EXPECT_EQ(Window.Label().GetFont().Name, "MS Sans Serif");
        EXPECT_EQ(Window.Label().GetFont().Size, 8);
        Window.Label().SetTransparent(true);
        // Set as text of the window, in UTF-16, the caption arrives as UTF-8.
        SetWindowTextW(Window.Handle(), L"Visit <link>www.пример.рф</link> now");
        EXPECT_EQ(Window.Label().GetCaption(), "Visit <link>www.пример.рф</link> now");
        SetWindowTextW(Window.Handle(), L"Visit <link>www.example.com</link> now");
        EXPECT_EQ(Window.Label().GetCaption(), "Visit <link>www.example.com</link> now");
        std::vector<std::string> Clicks;
        Window.Label().OnLinkClick = [&](TCustomLinkLabel*, int32_t, const std::string& Text) {
            Clicks.push_back(Text);
        };
        UpdateWindow(Page);
        UpdateWindow(Window.Handle());

        // One line high after its first paint.
        RECT Client;
        GetClientRect(Window.Handle(), &Client);
        EXPECT_EQ(Client.bottom, 13);
        const std::vector<TRect>& Links = Window.Label().GetNodeTree()->Root->LinkRects;
        ASSERT_EQ(Links.size(), 1u);
        const LPARAM AtLink = MAKELPARAM((Links[0].Left + Links[0].Right) / 2, 6);

        SendMessageW(Window.Handle(), WM_MOUSEMOVE, 0, AtLink);
        EXPECT_EQ(Window.Label().GetCursor(), crLinkHand);
        SendMessageW(Window.Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(Window.Handle()),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        HCURSOR Hand = LoadCursorW(GetModuleHandleW(nullptr), L"LINKHAND");
        ASSERT_NE(Hand, nullptr) << "the LINKHAND cursor resource";
        EXPECT_EQ(GetCursor(), Hand);
        ICONINFO Info{};
        ASSERT_TRUE(GetIconInfo(Hand, &Info));
        EXPECT_EQ(Info.xHotspot, 5u);
        EXPECT_EQ(Info.yHotspot, 0u);
        if (Info.hbmMask)
            DeleteObject(Info.hbmMask);
        if (Info.hbmColor)
            DeleteObject(Info.hbmColor);

        SendMessageW(Window.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, AtLink);
        EXPECT_EQ(GetCapture(), Window.Handle());
        SendMessageW(Window.Handle(), WM_LBUTTONUP, 0, AtLink);
        EXPECT_NE(GetCapture(), Window.Handle());
        SendMessageW(Window.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 6));
        SendMessageW(Window.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(2, 6));
        EXPECT_EQ(Clicks, (std::vector<std::string>{"www.example.com"}));

        SendMessageW(Window.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(2, 6));
        EXPECT_EQ(Window.Label().GetCursor(), crDefault);
        DeleteObject(Font);
    }
    DestroyWindow(Page);
}

TEST(GdiLinkLabel, FailuresInsideTheWindowGoToItsErrorHookAndTheWindowLivesOn)
{
    HWND Page = CreatePage();
    ASSERT_NE(Page, nullptr);
    {
        TLinkLabelWindow Window(Page, 1002, 16, 20, 313, 169);
        std::vector<std::string> Errors;
        Window.OnError = [&](const std::string& Message) { Errors.push_back(Message); };
        int Clicks = 0;
        Window.Label().OnLinkClick = [&](TCustomLinkLabel*, int32_t, const std::string&) {
            if (++Clicks == 1)
                throw Exception("The link cannot be opened");
        };
        Window.Label().OnDynamicTagInit = [](TCustomLinkLabel*, std::string&, int32_t) {
            throw Exception("No text for the part");
        };
        SetWindowTextW(Window.Handle(), L"<dynamic>");
        Window.Label().OnDynamicTagInit = nullptr;
        SetWindowTextW(Window.Handle(), L"<link>go</link>");
        UpdateWindow(Window.Handle());
        const LPARAM AtLink = MAKELPARAM(4, 6);
        for (int i = 0; i < 2; ++i) {
            SendMessageW(Window.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, AtLink);
            SendMessageW(Window.Handle(), WM_LBUTTONUP, 0, AtLink);
        }
        EXPECT_EQ(Clicks, 2);
        EXPECT_EQ(Errors, (std::vector<std::string>{"No text for the part", "The link cannot be opened"}));
        EXPECT_TRUE(IsWindow(Window.Handle()));
        EXPECT_NE(GetCapture(), Window.Handle());
    }
    DestroyWindow(Page);
}

TEST(GdiLinkLabel, ItMeasuresWithExactlyTheFontItWasGiven)
{
    HWND Page = CreatePage();
    ASSERT_NE(Page, nullptr);
    {
        TLinkLabelWindow Window(Page, 1003, 16, 20, 313, 169);
        // 14 pixels lies between two point sizes; a weight between normal and bold.
        HFONT Font =
            CreateFontW(-14, 0, 0, 0, FW_SEMIBOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, NONANTIALIASED_QUALITY, 0, L"Tahoma");
        SendMessageW(Window.Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(Font), FALSE);
        // Measured as the characters of its UTF-8, not as its bytes.
        const std::string Sample = "Please close all MetaTrader applications, Zoë";
        const std::wstring Wide = L"Please close all MetaTrader applications, Zoë";
        HDC DC = GetDC(Window.Handle());
        HGDIOBJ Old = SelectObject(DC, Font);
        SIZE Given{};
        GetTextExtentPoint32W(DC, Wide.data(), static_cast<int>(Wide.size()), &Given);
        SelectObject(DC, Old);
        ReleaseDC(Window.Handle(), DC);
        std::unique_ptr<TCanvas> Canvas = Window.CreateCanvas();
        ASSERT_NE(Canvas, nullptr);
        Canvas->SetFont(Window.Label().GetFont());
        EXPECT_EQ(Canvas->TextWidth(Sample), Given.cx);
        EXPECT_EQ(Canvas->TextHeight(Sample), Given.cy);
        Canvas.reset();
        DeleteObject(Font);
    }
    DestroyWindow(Page);
}

} // namespace
} // namespace qe
