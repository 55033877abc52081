#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "app/ControlIds.h"
#include "app/WizardLayout.h"

namespace qe {
namespace {

bool IsPage(const TLayoutItem& Item)
{
    return Item.Kind == TControlKind::Page || Item.Kind == TControlKind::SubPage;
}

// The top-level page an item shows on; 0 for the button bar.
int TopPage(const TLayoutItem& Item)
{
    int Id = Item.Parent;
    while (Id != 0 && FindLayoutItem(Id)->Parent != 0)
        Id = FindLayoutItem(Id)->Parent;
    return Id;
}

// Two controls show at the same time unless they lie on different pages or on the two
// stacked contents of the start page.
bool ShownTogether(const TLayoutItem& A, const TLayoutItem& B)
{
    if (TopPage(A) != TopPage(B))
        return false;
    const bool OnSubPageA = A.Parent != TopPage(A);
    const bool OnSubPageB = B.Parent != TopPage(B);
    return !(OnSubPageA && OnSubPageB && A.Parent != B.Parent);
}

bool Overlap(const TDesignRect& A, const TDesignRect& B)
{
    return A.X < B.X + B.Width && B.X < A.X + A.Width && A.Y < B.Y + B.Height && B.Y < A.Y + A.Height;
}

// The ids a driver relies on are documented in ControlIds.h: the window has each of them
// once, and no control without a documented id.
TEST(WizardLayout, HasEveryDocumentedControlIdOnceAndNoOther)
{
    std::ifstream Header(std::string(QE_SOURCE_DIR) + "/app/ControlIds.h");
    ASSERT_TRUE(Header.good());
    std::stringstream Text;
    Text << Header.rdbuf();
    const std::string Source = Text.str();
    std::map<int, std::string> Documented;
    const std::regex Entry(R"((IDC_[A-Z0-9]+) = (\d+))");
    for (auto It = std::sregex_iterator(Source.begin(), Source.end(), Entry); It != std::sregex_iterator(); ++It)
        Documented[std::stoi((*It)[2])] = (*It)[1];
    ASSERT_GE(Documented.size(), 50u);

    std::set<int> Laid;
    for (const TLayoutItem& Item : WizardLayout()) {
        EXPECT_TRUE(Laid.insert(Item.Id).second) << "id " << Item.Id << " twice";
        EXPECT_TRUE(Documented.count(Item.Id)) << "id " << Item.Id << " is not documented";
    }
    for (const auto& [Id, Name] : Documented)
        EXPECT_TRUE(Laid.count(Id)) << Name << " is not in the layout";
}

TEST(WizardLayout, EveryControlLiesOnAPageOrTheButtonBarAndInsideIt)
{
    for (const TLayoutItem& Item : WizardLayout()) {
        const TDesignRect Rect = ClientRect(Item);
        SCOPED_TRACE("control " + std::to_string(Item.Id));
        EXPECT_GT(Rect.Width, 0);
        EXPECT_GT(Rect.Height, 0);
        if (Item.Parent == 0 && !IsPage(Item)) {
            // The button bar: the bottom of the window below the page area.
            EXPECT_GE(Rect.Y, PageAreaHeight);
            EXPECT_LE(Rect.Y + Rect.Height, WizardClientHeight);
            EXPECT_LE(Rect.X + Rect.Width, WizardClientWidth);
            continue;
        }
        const TLayoutItem* Page = FindLayoutItem(Item.Parent ? Item.Parent : Item.Id);
        ASSERT_NE(Page, nullptr);
        ASSERT_TRUE(IsPage(*Page));
        const TDesignRect Area = Item.Parent ? ClientRect(*Page) : TDesignRect{0, 0, WizardClientWidth, PageAreaHeight};
        EXPECT_GE(Rect.X, Area.X);
        EXPECT_GE(Rect.Y, Area.Y);
        EXPECT_LE(Rect.X + Rect.Width, Area.X + Area.Width);
        EXPECT_LE(Rect.Y + Rect.Height, Area.Y + Area.Height);
        // On a page with a header band a control lies on the band or below it, never across.
        if (Item.Parent != 0 && Page->Decoration == TPageDecoration::HeaderBand) {
            EXPECT_TRUE(Rect.Y + Rect.Height <= HeaderBandHeight || Rect.Y >= HeaderBandHeight + 2);
        }
    }
}

TEST(WizardLayout, ControlsShownTogetherDoNotOverlap)
{
    const auto Layout = WizardLayout();
    for (std::size_t I = 0; I < Layout.size(); ++I)
        for (std::size_t J = I + 1; J < Layout.size(); ++J) {
            const TLayoutItem& A = Layout[I];
            const TLayoutItem& B = Layout[J];
            if (IsPage(A) || IsPage(B) || !ShownTogether(A, B))
                continue;
            EXPECT_FALSE(Overlap(ClientRect(A), ClientRect(B))) << A.Id << " and " << B.Id;
        }
}

} // namespace
} // namespace qe
