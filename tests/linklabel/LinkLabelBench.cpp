// Measures how long the link label takes to paint the wizard's welcome text: the first
// paint (every word measured) and later paints (widths from the cache), and a mouse move
// hit test. On Windows it draws with GDI into a bitmap; elsewhere on the fixed-metric canvas
// of the tests, which shows the cost of the layout alone. Prints its figures; not a test.
#include "linklabel/LinkLabel.h"
#include "tests/linklabel/FakeCanvas.h"
#ifdef _WIN32
#include "linklabel/win32/GdiCanvas.h"
#endif

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

const char* const WelcomeText =
    "This will install Sample Expert v1.0 on your computer. Please close all MetaTrader applications "
    "before you continue with the installation.<br><br>Click Next to continue with the installation, or "
    "click Cancel to exit.<br><br><br><br><br><br><br>Made with a free installer: <link>www.example.com</link>";

double Microseconds(Clock::duration D)
{
    return std::chrono::duration<double, std::micro>(D).count();
}

} // namespace

int main()
{
    using namespace qe;
#ifdef _WIN32
    HDC DC = CreateCompatibleDC(nullptr);
    HBITMAP Bitmap = CreateCompatibleBitmap(GetDC(nullptr), 313, 169);
    SelectObject(DC, Bitmap);
    auto Canvas = std::make_unique<TGdiCanvas>(DC);
    const char* Kind = "GDI bitmap, MS Sans Serif 8 pt";
#else
    auto Canvas = std::make_unique<test::TFakeCanvas>();
    const char* Kind = "fixed-metric canvas (layout only)";
#endif
    TFont Font;
    Font.Name = "MS Sans Serif";
    Font.Size = 8;

    const int Rounds = 2000;
    double Cold = 0;
    for (int i = 0; i < Rounds; ++i) {
        TLinkLabel Label;
        Label.SetBounds(0, 0, 313, 169);
        Label.SetFont(Font);
        Label.SetCaption(WelcomeText);
        const auto Start = Clock::now();
        Label.Paint(*Canvas);
        Cold += Microseconds(Clock::now() - Start);
#ifndef _WIN32
        static_cast<test::TFakeCanvas&>(*Canvas).Drawn.clear();
#endif
    }

    TLinkLabel Label;
    Label.SetBounds(0, 0, 313, 169);
    Label.SetFont(Font);
    Label.SetCaption(WelcomeText);
    Label.Paint(*Canvas);
    auto Start = Clock::now();
    for (int i = 0; i < Rounds; ++i) {
        Label.Paint(*Canvas);
#ifndef _WIN32
        static_cast<test::TFakeCanvas&>(*Canvas).Drawn.clear();
#endif
    }
    const double Warm = Microseconds(Clock::now() - Start) / Rounds;

    const int Moves = 200000;
    Start = Clock::now();
    for (int i = 0; i < Moves; ++i)
        Label.MouseMove(i % 313, (i / 313) % 169);
    const double Move = Microseconds(Clock::now() - Start) / Moves;

    // Deep markup: 255 nested levels, each with a word and a link.
    std::string Deep;
    for (int i = 0; i < 255; ++i)
        Deep += "<b>w <link>l</link> ";
    TLinkLabel DeepLabel;
    DeepLabel.SetBounds(0, 0, 313, 169);
    DeepLabel.SetFont(Font);
    DeepLabel.SetHotLinks(true);
    DeepLabel.SetCaption(Deep);
    DeepLabel.Paint(*Canvas);
    const int DeepMoves = 20000;
    Start = Clock::now();
    for (int i = 0; i < DeepMoves; ++i)
        DeepLabel.MouseMove(i % 313, (i / 313) % 169);
    const double DeepMove = Microseconds(Clock::now() - Start) / DeepMoves;

    std::printf("link label, welcome text (313 x 169), %s\n", Kind);
    std::printf("  first paint (words measured): %8.1f us\n", Cold / Rounds);
    std::printf("  repaint (cached widths):      %8.1f us\n", Warm);
    std::printf("  mouse move hit test:          %8.3f us\n", Move);
    std::printf("  mouse move, 255 nested links: %8.3f us\n", DeepMove);
#ifdef _WIN32
    Canvas.reset();
    DeleteDC(DC);
    DeleteObject(Bitmap);
#endif
    return 0;
}
