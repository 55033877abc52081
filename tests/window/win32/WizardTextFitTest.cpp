// Every fixed text of the wizard, and the longest texts the wizard sets, fit their
// controls in every language, with the fonts of that language, at 96 dpi and scaled to
// larger DPIs.
#include <windows.h>

#include <gtest/gtest.h>
#include <regex>
#include <string>
#include <vector>

#include "app/ControlIds.h"
#include "app/WizardLayout.h"
#include "app/win32/Dpi.h"
#include "app/win32/WizardFonts.h"
#include "language/Languages.h"
#include "platform/win32/Win32Text.h"

namespace qe::win32 {
namespace {

struct TTextToFit {
    int Id;
    std::string Text;
    // The height the text may take; the control's own when 0. A link label grows with its
    // text down to the end of the page it lies on.
    int Room = 0;
};

// A link label's text as plain lines: its line breaks kept, its other markup gone.
std::string Plain(const std::string& Markup)
{
    return std::regex_replace(std::regex_replace(Markup, std::regex("<br>"), "\n"), std::regex("<[^>]*>"), "");
}

// The fixed captions of the layout and the longer texts set while the wizard runs, in the
// language of T: both wizards' headings for the example product's title, their welcome and
// finish texts, the uninstaller's captions and Finish.
std::vector<TTextToFit> TextsToFit(const TTextTable& T)
{
    std::vector<TTextToFit> Texts;
    for (const TLayoutItem& Item : WizardLayout())
        if (Item.Caption)
            Texts.push_back({Item.Id, FixedCaption(Item, T)});
    const std::string Title = "Grid Expert v2.5", Name = "Grid Expert";
    // The start page's contents end 8 pixels above the page's end.
    const int StartY = FindLayoutItem(IDC_LABELSTART2)->Y, FinishY = FindLayoutItem(IDC_LABELFINISH2)->Y;
    const int StartRoom = FindLayoutItem(IDC_PANELINSTALL)->Height - StartY;
    const std::string Notice = Plain("<br><br><br><br><br><br><br>" + T.Format(TText::BuilderNotice));
    for (const auto& [Heading, Text, Finished, Done, Progress, Subtitle, Label] :
         {std::tuple{TText::InstallWelcomeHeading, TText::InstallWelcomeText, TText::InstallFinishHeading,
                     TText::InstallFinishText, TText::InstallProgressTitle, TText::InstallProgressSubtitle,
                     TText::InstallProgressLabel},
          std::tuple{TText::UninstallWelcomeHeading, TText::UninstallWelcomeText, TText::UninstallFinishHeading,
                     TText::UninstallFinishText, TText::UninstallProgressTitle, TText::UninstallProgressSubtitle,
                     TText::UninstallProgressLabel}}) {
        Texts.push_back({IDC_LABELSTART1, T.Format(Heading, {Title})});
        Texts.push_back({IDC_LABELSTART2, Plain(T.Format(Text, {Title})) + Notice, StartRoom});
        Texts.push_back({IDC_LABELFINISH1, T.Format(Finished)});
        // Down to the run choice, which only the installer shows.
        Texts.push_back({IDC_LABELFINISH2, Plain(T.Format(Done, {Name})),
                         Heading == TText::InstallWelcomeHeading ? FindLayoutItem(IDC_CHECKRUN)->Y - FinishY
                                                                 : StartRoom + StartY - FinishY});
        Texts.push_back({IDC_LABELPROGRESS1, T.Format(Progress)});
        Texts.push_back({IDC_LABELPROGRESS2, T.Format(Subtitle)});
        Texts.push_back({IDC_LABELPROGRESS3, T.Format(Label)});
    }
    Texts.push_back({IDC_BTNCANCEL, T.Format(TText::ButtonFinish)});
    return Texts;
}

class TMeasure {
public:
    TMeasure(TFontRole Role, UINT Dpi, const std::string& Language)
        : FDC(CreateCompatibleDC(nullptr)), FFont(CreateWizardFont(Role, Dpi, Language))
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
    HDC DC() const { return FDC; }

private:
    HDC FDC;
    HFONT FFont;
    HGDIOBJ FOld;
};

class WizardTextFit : public testing::TestWithParam<UINT> {};

TEST_P(WizardTextFit, EveryTextFitsItsControlInEveryLanguage)
{
    const UINT Dpi = GetParam();
    for (const TLanguageFile& Language : LanguageFiles()) {
        const TTextTable Texts = LoadTexts(Language.Code);
        for (const TTextToFit& Text : TextsToFit(Texts)) {
            const TLayoutItem& Item = *FindLayoutItem(Text.Id);
            SCOPED_TRACE(std::string(Language.Code) + ", control " + std::to_string(Item.Id) + ": " + Text.Text);
            const TMeasure Measure(Item.Font, Dpi, Language.Code);
            const int Width = Scale(Item.Width, Dpi);
            const int Height = Scale(Text.Room ? Text.Room : Item.Height, Dpi);
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
            if (Item.Kind != TControlKind::Label && Item.Kind != TControlKind::LinkLabel) {
                EXPECT_LE(Size.cy, 2 * Measure.Wrapped("X", Width).cy - 1);
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Dpis, WizardTextFit, testing::Values(96u, 120u, 144u, 192u));

// Folders and products have names in any script whatever the wizard's language: the font
// of the lists that show them has their letters in every language.
TEST(WizardFonts, TheListsOfNamesHaveTheLettersOfOtherScriptsInEveryLanguage)
{
    const std::wstring Names = Wide("Советник Pro, Kurulum şirketi, Čeština, Börse");
    for (const TLanguageFile& Language : LanguageFiles()) {
        const TMeasure Measure(TFontRole::Names, 96, Language.Code);
        std::vector<WORD> Glyphs(Names.size());
        ASSERT_EQ(GetGlyphIndicesW(Measure.DC(), Names.c_str(), static_cast<int>(Names.size()), Glyphs.data(),
                                   GGI_MARK_NONEXISTING_GLYPHS),
                  Names.size());
        std::wstring Missing;
        for (size_t I = 0; I < Names.size(); ++I)
            if (Glyphs[I] == 0xFFFF)
                Missing += Names[I];
        EXPECT_EQ(Utf8(Missing), "") << Language.Code << ": letters without a glyph";
    }
}

// A text in a language of Windows-1252 with letters beyond it takes the font of names, as
// the window's font there lacks them; every other text keeps its role's font.
TEST(WizardFonts, ATextWithLettersTheWindowsFontLacksTakesTheFontOfNames)
{
    const std::string Welcome = "This will install <b>Советник Pro</b> on your computer.";
    EXPECT_EQ(FontRoleFor(TFontRole::Window, "en", Welcome), TFontRole::Names);
    EXPECT_EQ(FontRoleFor(TFontRole::Window, "de", "Grid 网格"), TFontRole::Names);
    EXPECT_EQ(FontRoleFor(TFontRole::Window, "de", "Börse „Grid“"), TFontRole::Window);
    EXPECT_EQ(FontRoleFor(TFontRole::Window, "ru", "Grid 网格"), TFontRole::Window);
    EXPECT_EQ(FontRoleFor(TFontRole::Window, "ja", Welcome), TFontRole::Window);
    EXPECT_EQ(FontRoleFor(TFontRole::Headline, "en", Welcome), TFontRole::Headline);
}

} // namespace
} // namespace qe::win32
