#include "linklabel/LinkLabel.h"
#include "tests/linklabel/FakeCanvas.h"

#include <gtest/gtest.h>

namespace qe {
namespace {

using test::TFakeCanvas;

// A host whose canvas is the fake one, also outside paints; counts what it is asked.
class TFakeHost : public ILinkLabelHost {
public:
    class TForward : public TCanvas {
    public:
        explicit TForward(TFakeCanvas& ATarget) : Target(ATarget) {}
        void SetFont(const TFont& F) override { Target.SetFont(F); }
        TFontStyles GetFontStyles() const override { return Target.GetFontStyles(); }
        void SetFontStyles(TFontStyles S) override { Target.SetFontStyles(S); }
        TColor GetFontColor() const override { return Target.GetFontColor(); }
        void SetFontColor(TColor C) override { Target.SetFontColor(C); }
        int32_t TextWidth(const std::string& S) override { return Target.TextWidth(S); }
        int32_t TextHeight(const std::string& S) override { return Target.TextHeight(S); }
        void DrawString(int32_t X, int32_t Y, const std::string& S) override { Target.DrawString(X, Y, S); }
        void FillRectangle(const TRect& R, TColor C) override { Target.FillRectangle(R, C); }
        TFakeCanvas& Target;
    };
    void Invalidate() override { ++Invalidations; }
    std::unique_ptr<TCanvas> CreateCanvas() override { return std::make_unique<TForward>(Canvas); }
    void CursorChanged(TCursor C) override { Cursors.push_back(C); }
    void BoundsChanged() override { ++BoundsChanges; }

    TFakeCanvas Canvas;
    int Invalidations = 0;
    int BoundsChanges = 0;
    std::vector<TCursor> Cursors;
};

struct TClick {
    int32_t Number;
    std::string Text;
    bool operator==(const TClick&) const = default;
};

class LinkLabel : public ::testing::Test {
protected:
    LinkLabel()
    {
        Label.SetBounds(0, 0, 200, 17);
        Label.OnLinkClick = [this](TCustomLinkLabel* Sender, int32_t Number, const std::string& Text) {
            EXPECT_EQ(Sender, &Label);
            Clicks.push_back({Number, Text});
        };
    }
    void Paint()
    {
        Host.Canvas.Drawn.clear();
        Label.Paint(Host.Canvas);
    }
    void Click(int32_t X, int32_t Y)
    {
        Label.MouseDown(mbLeft, X, Y);
        Label.MouseUp(mbLeft, X, Y);
    }
    // The colour in which the text Text was drawn last.
    TColor LastColorOf(const std::string& Text) const
    {
        for (auto It = Host.Canvas.Drawn.rbegin(); It != Host.Canvas.Drawn.rend(); ++It)
            if (It->Text == Text)
                return It->Color;
        ADD_FAILURE() << Text << " not drawn";
        return 0;
    }

    TFakeHost Host;
    TLinkLabel Label{&Host};
    std::vector<TClick> Clicks;
};

TEST(LinkLabelDefaults, ANewLabelHasTheDocumentedDefaults)
{
    TLinkLabel Label;
    EXPECT_EQ(Label.GetWidth(), 160);
    EXPECT_EQ(Label.GetHeight(), 17);
    EXPECT_FALSE(Label.GetTransparent());
    EXPECT_TRUE(Label.GetAutoHeight());
    EXPECT_FALSE(Label.GetHotLinks());
    EXPECT_EQ(Label.GetMarginWidth(), 0);
    EXPECT_EQ(Label.GetMarginHeight(), 0);
    EXPECT_EQ(Label.GetLinkColor(), 0xFF0000u);
    EXPECT_EQ(Label.GetLinkColorClicked(), 0x0000FFu);
    EXPECT_EQ(Label.GetLinkColorHot(), 0x800080u);
    EXPECT_EQ(Label.GetLinkStyle(), TFontStyles{TFontStyle::fsUnderline});
    EXPECT_EQ(Label.GetCaption(), "");
    ASSERT_NE(Label.GetNodeTree(), nullptr);
    EXPECT_EQ(Label.GetNodeTree()->Root->Children.Count(), 0u);
    EXPECT_EQ(Label.GetTextRect(), (TRect{0, 0, 160, 17}));
    EXPECT_EQ(Label.GetAboutMe(), "Version: 2.00");
    Label.SetAboutMe("x");
    EXPECT_EQ(Label.GetAboutMe(), "Version: 2.00");
}

TEST_F(LinkLabel, TheSameCaptionParsesOnce)
{
    // Every parse asks for the dynamic part once.
    int Changes = 0;
    int Parses = 0;
    Label.OnCaptionChanged = [&](TCustomLinkLabel*) { ++Changes; };
    Label.OnDynamicTagInit = [&](TCustomLinkLabel*, std::string&, int32_t) { ++Parses; };
    Label.SetCaption("a <link>b</link><dynamic>");
    Label.SetCaption("a <link>b</link><dynamic>");
    EXPECT_EQ(Parses, 1);
    EXPECT_EQ(Changes, 1);
    Label.SetCaption("a <LINK>b</link><dynamic>");
    EXPECT_EQ(Parses, 2);
    EXPECT_EQ(Changes, 2);
    EXPECT_EQ(Label.GetText(), (std::vector<std::string>{"a <LINK>b</link><dynamic>"}));
}

TEST_F(LinkLabel, TextLinesAreJoinedWithoutSeparator)
{
    Label.SetText({"a", "b"});
    EXPECT_EQ(Label.GetCaption(), "ab");
    EXPECT_EQ(Label.GetText(), (std::vector<std::string>{"ab"}));
}

TEST_F(LinkLabel, AClickOnALinkReportsItsNumberAndText)
{
    // "Visit " is 55 pixels, "example" 70.
    Label.SetCaption("Visit <link>example</link> now");
    Paint();
    Click(60, 5);
    Click(10, 5);
    Click(125, 13); // the right and bottom edges of the link's rectangle belong to it
    Click(126, 5);
    EXPECT_EQ(Clicks, (std::vector<TClick>{{0, "example"}, {0, "example"}}));

    // The click goes to the link under the release, not the one pressed.
    Clicks.clear();
    Label.SetCaption("<link>one</link> <link>two</link>");
    Paint();
    Label.MouseDown(mbLeft, 5, 5);
    Label.MouseUp(mbLeft, 40, 5);
    EXPECT_EQ(Clicks, (std::vector<TClick>{{1, "two"}}));
    EXPECT_EQ(LastColorOf("one"), clBlue);
}

TEST_F(LinkLabel, ALinkThatWrapsIsHitOnBothLines)
{
    // "bbbb " ends the first line at x 95, "cccc" starts the second.
    Label.SetBounds(0, 0, 100, 17);
    Label.SetCaption("aaaa <link>bbbb cccc</link>");
    Paint();
    Click(60, 5);
    Click(20, 20);
    Click(20, 5);
    Click(60, 20);
    EXPECT_EQ(Clicks, (std::vector<TClick>{{0, "bbbb cccc"}, {0, "bbbb cccc"}}));
}

TEST_F(LinkLabel, AChineseLinkThatWrapsIsHitOnBothLinesAndOnlyThere)
{
    // "网格交易的专家" is 70 pixels: "顾问" goes to the second line, 20 pixels wide there.
    Label.SetBounds(0, 0, 80, 17);
    Label.SetCaption("网格<link>交易的专家顾问</link>");
    Paint();
    Click(25, 5);
    Click(15, 20);
    Click(15, 5);
    Click(25, 20);
    EXPECT_EQ(Clicks, (std::vector<TClick>{{0, "交易的专家顾问"}, {0, "交易的专家顾问"}}));
}

TEST_F(LinkLabel, NumberingStartsAgainWithANewCaption)
{
    Label.SetCaption("<link>one</link> <link>two &lt;2&gt;</link>");
    Paint();
    Click(40, 5);
    Label.SetCaption("<link>three</link>");
    Paint();
    Click(5, 5);
    EXPECT_EQ(Clicks, (std::vector<TClick>{{1, "two <2>"}, {0, "three"}}));
}

TEST_F(LinkLabel, APressedLinkIsDrawnInTheClickedColourUntilRelease)
{
    Label.SetCaption("Visit <link>example</link> now");
    Paint();
    Label.MouseDown(mbLeft, 60, 5);
    EXPECT_EQ(LastColorOf("example"), clRed);
    // Leaving the control or moving away while pressed neither releases nor lights up
    // anything, with or without hot links.
    Label.MouseLeave();
    EXPECT_EQ(LastColorOf("example"), clRed);
    Label.SetHotLinks(true);
    Label.MouseMove(10, 5);
    Label.MouseLeave();
    EXPECT_EQ(LastColorOf("example"), clRed);
    // Released anywhere, it is drawn in the link colour again, and no click is reported.
    Label.MouseUp(mbLeft, 10, 5);
    EXPECT_EQ(LastColorOf("example"), clBlue);
    EXPECT_TRUE(Clicks.empty());
    // The redraws use the control's font.
    EXPECT_EQ(Host.Canvas.CurrentFont.Name, Label.GetFont().Name);
}

TEST_F(LinkLabel, HotLinksLightUpUnderTheMouse)
{
    Label.SetCaption("<link>one</link> <link>two</link>");
    Paint();
    Host.Canvas.Drawn.clear();
    Label.MouseMove(5, 5);
    EXPECT_EQ(Host.Canvas.Drawn.size(), 0u) << "hot links are off by default";
    Label.SetHotLinks(true);
    Label.MouseMove(5, 5);
    EXPECT_EQ(LastColorOf("one"), clPurple);
    const auto Drawn = Host.Canvas.Drawn.size();
    Label.MouseMove(6, 6);
    EXPECT_EQ(Host.Canvas.Drawn.size(), Drawn) << "no redraw while on the same link";
    Label.MouseMove(40, 5);
    EXPECT_EQ(LastColorOf("one"), clBlue);
    EXPECT_EQ(LastColorOf("two"), clPurple);
    // Leaving only puts the link back while hot links are on.
    Label.SetHotLinks(false);
    Label.MouseLeave();
    EXPECT_EQ(LastColorOf("two"), clPurple);
    Label.SetHotLinks(true);
    Label.MouseLeave();
    EXPECT_EQ(LastColorOf("two"), clBlue);
}

TEST_F(LinkLabel, TheCursorIsAHandOverLinks)
{
    Label.SetCaption("Visit <link>example</link>");
    Paint();
    Label.MouseMove(60, 5);
    EXPECT_EQ(Label.GetCursor(), crLinkHand);
    Label.MouseMove(10, 5);
    EXPECT_EQ(Label.GetCursor(), crDefault);
    EXPECT_EQ(Host.Cursors, (std::vector<TCursor>{crLinkHand, crDefault}));
    // A control loaded from a form goes back to the cursor it was loaded with.
    const TCursor crCross = -3;
    Label.SetCursor(crCross);
    Label.Loaded();
    Label.MouseMove(60, 5);
    Label.MouseMove(10, 5);
    EXPECT_EQ(Label.GetCursor(), crCross);
}

TEST_F(LinkLabel, AutoHeightFitsTheTextWithItsMargins)
{
    Label.SetMarginHeight(4);
    Label.SetMarginWidth(10);
    EXPECT_EQ(Label.GetTextRect(), (TRect{10, 4, 190, 17}));
    Label.SetCaption("one<br>two<br>three");
    Paint();
    EXPECT_EQ(Label.GetHeight(), 4 + 3 * 13 + 4);
    EXPECT_EQ(Host.BoundsChanges, 1);
    EXPECT_EQ(Host.Canvas.Texts()[0].X, 10);
    Paint();
    EXPECT_EQ(Label.GetHeight(), 47);
    EXPECT_EQ(Host.BoundsChanges, 1);
    // The right margin is where lines wrap: "bbbbb" would end at x 195.
    Label.SetCaption("aaaaaaaaaaaaa bbbbb");
    Paint();
    EXPECT_EQ(Label.GetHeight(), 4 + 2 * 13 + 4);
    // A closing break adds an empty line.
    Label.SetCaption("one<br>two<br>three<br>");
    Paint();
    EXPECT_EQ(Label.GetHeight(), 60);
    Label.SetAutoHeight(false);
    Label.SetCaption("x");
    Paint();
    EXPECT_EQ(Label.GetHeight(), 60);
}

TEST_F(LinkLabel, AutoHeightLeavesSideAlignedLabelsAlone)
{
    Label.SetCaption("one<br>two<br>three");
    for (TAlign A : {alLeft, alRight, alClient, alCustom}) {
        Label.SetAlign(A);
        Paint();
        EXPECT_EQ(Label.GetHeight(), 17) << int(A);
    }
    for (TAlign A : {alTop, alBottom}) {
        Label.SetBounds(0, 0, 200, 17);
        Label.SetAlign(A);
        Paint();
        EXPECT_EQ(Label.GetHeight(), 39) << int(A);
    }
}

TEST_F(LinkLabel, OpaqueLabelsFillTheirBackground)
{
    Label.SetColor(clWhite);
    Paint();
    ASSERT_EQ(Host.Canvas.Fills.size(), 1u);
    EXPECT_EQ(Host.Canvas.Fills[0], (std::pair<TRect, TColor>{{0, 0, 200, 17}, clWhite}));
    Label.SetTransparent(true);
    Paint();
    EXPECT_EQ(Host.Canvas.Fills.size(), 1u);
}

TEST_F(LinkLabel, DynamicTagsAreFilledByTheHost)
{
    std::vector<int32_t> Numbers;
    Label.OnDynamicTagInit = [&](TCustomLinkLabel*, std::string& Source, int32_t Number) {
        Numbers.push_back(Number);
        if (Number == 0)
            Source = "<b>x</b>";
    };
    Label.SetCaption("a<dynamic> <dynamic><link>go</link>");
    EXPECT_EQ(Numbers, (std::vector<int32_t>{0, 1}));
    Paint();
    const auto Texts = Host.Canvas.Texts();
    ASSERT_EQ(Texts.size(), 4u);
    EXPECT_EQ(Texts[1].Text, "x");
    EXPECT_EQ(Texts[1].Styles, TFontStyles{TFontStyle::fsBold});
    Click(Texts[3].X, 5);
    EXPECT_EQ(Clicks, (std::vector<TClick>{{0, "go"}}));
}

TEST_F(LinkLabel, AFontChangeRemeasuresEveryWord)
{
    Label.SetBounds(0, 0, 100, 17);
    Label.SetCaption("aaaa bbbb <b>cccc</b>");
    Paint();
    EXPECT_EQ(Label.GetHeight(), 26);
    Host.Canvas.CharWidth = 20;
    Paint();
    EXPECT_EQ(Label.GetHeight(), 26) << "the cache keeps the old widths";
    TFont Bigger = Label.GetFont();
    Bigger.Size = 16;
    Bigger.Color = 0x00AA00;
    const int Before = Host.Invalidations;
    Label.SetFont(Bigger);
    EXPECT_GT(Host.Invalidations, Before);
    Paint();
    EXPECT_EQ(Label.GetHeight(), 39);
    EXPECT_EQ(Host.Canvas.Texts()[0].Color, 0x00AA00u);
    EXPECT_EQ(Host.Canvas.CurrentFont.Size, 16);
}

TEST_F(LinkLabel, TheTextTakesTheFontsColourAndStyle)
{
    TFont Font = Label.GetFont();
    Font.Color = 0x00AA00;
    Font.Styles = {TFontStyle::fsItalic};
    Label.SetFont(Font);
    Label.SetCaption("a <b>b</b>");
    Paint();
    const auto Texts = Host.Canvas.Texts();
    ASSERT_EQ(Texts.size(), 2u);
    EXPECT_EQ(Texts[0].Color, 0x00AA00u);
    EXPECT_EQ(Texts[0].Styles, TFontStyles{TFontStyle::fsItalic});
    EXPECT_EQ(Texts[1].Styles, (TFontStyles{TFontStyle::fsItalic, TFontStyle::fsBold}));
}

TEST_F(LinkLabel, AChangedLinkStyleRemeasuresTheLinks)
{
    // "aaaa" after "bbbbb " ends at x 95 in the plain font and at 99 in bold.
    Label.SetBounds(0, 0, 97, 17);
    Label.SetCaption("bbbbb <link>aaaa</link>");
    Paint();
    EXPECT_EQ(Label.GetHeight(), 13);
    Label.SetLinkStyle({TFontStyle::fsBold});
    Paint();
    EXPECT_EQ(Label.GetHeight(), 26);
}

TEST_F(LinkLabel, DeeplyNestedMarkupIsDrawnAndHitTested)
{
    // A link at the deepest level, then text below 100000 tags.
    std::string Markup;
    for (int i = 0; i < 255; ++i)
        Markup += "<b>";
    Markup += "<link>go</link> ";
    for (int i = 0; i < 255; ++i)
        Markup += "</b>";
    for (int i = 0; i < 100000; ++i)
        Markup += "<i>";
    Label.SetCaption(Markup + "x");
    Paint();
    ASSERT_EQ(Host.Canvas.Texts().size(), 3u);
    EXPECT_EQ(Host.Canvas.Texts()[0].Styles, (TFontStyles{TFontStyle::fsBold, TFontStyle::fsUnderline}));
    EXPECT_EQ(Host.Canvas.Texts()[2].Text, "x");
    EXPECT_EQ(Host.Canvas.Texts()[2].Styles, TFontStyles{TFontStyle::fsItalic});
    Click(5, 5);
    EXPECT_EQ(Clicks, (std::vector<TClick>{{0, "go"}}));
    Label.MouseMove(30, 5);
    EXPECT_EQ(Label.GetCursor(), crDefault);
}

TEST_F(LinkLabel, TheDrawnLinksAnswerEveryPointAsTheTreeDoes)
{
    // Neighbouring links, a link that wraps, styles inside a link and a link inside a
    // link, drawn at one width and then at another: every point's link, read from the
    // rectangles of the last drawing, must be the one the walk of the tree finds.
    Label.SetCaption("a <link>one</link><link>two</link> <b>b <link>three <i>four</i> five six</link></b> "
                     "<link>x <link>in</link> y</link> z");
    const TNodeTree& Tree = *Label.GetNodeTree();
    for (int32_t Width : {200, 90}) {
        Label.SetBounds(0, 0, Width, 60);
        Paint();
        int Hits = 0;
        for (int32_t Y = -1; Y <= 61; ++Y)
            for (int32_t X = -1; X <= Width + 1; ++X) {
                TAreaNode* Walked = Tree.Root->GetNodeAtPoint({X, Y}, NodeClassOf<TLinkNode>());
                ASSERT_EQ(Tree.GetLinkAtPoint({X, Y}), Walked) << X << "," << Y << " at width " << Width;
                ASSERT_EQ(Tree.IsPointInNodeClass({X, Y}, NodeClassOf<TLinkNode>()), Walked != nullptr);
                Hits += Walked != nullptr;
            }
        EXPECT_GT(Hits, 0);
    }
    // A drawn caption without links has none under any point.
    Label.SetCaption("<b>no</b> links");
    Paint();
    EXPECT_EQ(Label.GetNodeTree()->GetLinkAtPoint({5, 5}), nullptr);
    EXPECT_FALSE(Label.GetNodeTree()->IsPointInNodeClass({5, 5}, NodeClassOf<TLinkNode>()));
}

TEST_F(LinkLabel, ALinkClickMayReplaceTheCaption)
{
    Label.SetCaption("<link>next</link>");
    Label.OnLinkClick = [this](TCustomLinkLabel*, int32_t, const std::string&) {
        Label.SetCaption("<link>other</link>");
    };
    Paint();
    Click(5, 5);
    EXPECT_EQ(Label.GetCaption(), "<link>other</link>");
    Paint();
    Click(5, 5);
}

} // namespace
} // namespace qe
