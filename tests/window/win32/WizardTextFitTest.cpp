// Every fixed text of the wizard, and the longest texts the wizard sets, fit their
// controls with the wizard's fonts at 96 dpi and scaled to larger DPIs.
#include <windows.h>

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "app/ControlIds.h"
#include "app/WizardLayout.h"
#include "app/win32/Dpi.h"
#include "app/win32/WizardFonts.h"
#include "platform/win32/Win32Text.h"

namespace qe::win32 {
namespace {

struct TText {
    int Id;
    std::string Text;
};

// The fixed captions of the layout and the longer texts set while the wizard runs: the
// uninstaller's captions and a welcome heading for the example product's title.
std::vector<TText> TextsToFit()
{
    std::vector<TText> Texts;
    for (const TLayoutItem& Item : WizardLayout())
        if (Item.Caption && *Item.Caption)
            Texts.push_back({Item.Id, Item.Caption});
    Texts.push_back({IDC_LABELSTART1, "Welcome to the Grid Expert v2.5 Uninstallation Wizard"});
    Texts.push_back({IDC_LABELFINISH1, "Uninstallation Complete"});
    Texts.push_back({IDC_LABELPROGRESS1, "Uninstallation in Progress"});
    Texts.push_back({IDC_LABELPROGRESS2, "Please wait while the wizard is removing files from your computer."});
    Texts.push_back({IDC_LABELPROGRESS3, "Uninstallation progress ..."});
    Texts.push_back({IDC_BTNCANCEL, "Finish"});
    return Texts;
}

class TMeasure {
public:
    TMeasure(TFontRole Role, UINT Dpi) : FDC(CreateCompatibleDC(nullptr)), FFont(CreateWizardFont(Role, Dpi))
    {
        FOld = SelectObject(FDC, FFont);
    }
    TMeasure(const TMeasure&) = delete;
    TMeasure& operator=(const TMeasure&) = delete;
    ~TMeasure()
    {
        SelectObject(FDC, FOld);
        DeleteObject(FFont);
        DeleteDC(FDC);
    }
    // The size the text takes, wrapped at Width.
    SIZE Wrapped(const std::string& Text, int Width) const
    {
        RECT Rect{0, 0, Width, 0};
        DrawTextW(FDC, Wide(Text).c_str(), -1, &Rect, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        return SIZE{Rect.right, Rect.bottom};
    }

private:
    HDC FDC;
    HFONT FFont;
    HGDIOBJ FOld;
};

class WizardTextFit : public testing::TestWithParam<UINT> {};

TEST_P(WizardTextFit, EveryTextFitsItsControl)
{
    const UINT Dpi = GetParam();
    for (const TText& Text : TextsToFit()) {
        const TLayoutItem& Item = *FindLayoutItem(Text.Id);
        SCOPED_TRACE("control " + std::to_string(Item.Id) + ": " + Text.Text);
        const TMeasure Measure(Item.Font, Dpi);
        const int Width = Scale(Item.Width, Dpi);
        const int Height = Scale(Item.Height, Dpi);
        // What a control takes from its width besides the text: the check mark of a check
        // box or radio button, a button's edges, the flat button's glyph.
        int Taken = 0;
        switch (Item.Kind) {
        case TControlKind::CheckBox:
        case TControlKind::RadioButton: Taken = Scale(20, Dpi); break;
        case TControlKind::Button: Taken = Scale(8, Dpi); break;
        case TControlKind::FlatButton: Taken = Scale(16 + 8, Dpi); break;
        default: break;
        }
        const SIZE Size = Measure.Wrapped(Text.Text, Width - Taken);
        EXPECT_LE(Size.cx, Width - Taken);
        EXPECT_LE(Size.cy, Height);
        // Buttons and check marks have room for one line only.
        if (Item.Kind != TControlKind::Label) {
            EXPECT_LE(Size.cy, 2 * Measure.Wrapped("X", Width).cy - 1);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Dpis, WizardTextFit, testing::Values(96u, 120u, 144u, 192u));

} // namespace
} // namespace qe::win32
