#include "linklabel/Parser.h"
#include "linklabel/Renderer.h"
#include "tests/linklabel/FakeCanvas.h"

#include <gtest/gtest.h>

namespace qe {
namespace {

using test::TDrawnText;
using test::TFakeCanvas;

// Lays out a markup text on the fake canvas: letters 10 pixels wide, spaces 5, lines 13.
class Layout : public ::testing::Test {
protected:
    void Paint(const std::string& Markup, TRect Rect = {0, 0, 100, 200})
    {
        ResetNodeCounters();
        Tree = TDefaultParser().ParseText(Markup);
        Bounds = Rect;
        Canvas.Drawn.clear();
        Renderer->PaintTree(Canvas, Bounds, *Tree);
    }

    // Where each visible piece of text was drawn, as "text@x,y".
    std::vector<std::string> Placed() const
    {
        std::vector<std::string> R;
        for (const TDrawnText& D : Canvas.Texts())
            R.push_back(D.Text + "@" + std::to_string(D.X) + "," + std::to_string(D.Y));
        return R;
    }

    template <class T> T* Node(std::initializer_list<std::size_t> Path) const
    {
        TNode* N = Tree->Root.get();
        for (std::size_t i : Path)
            N = static_cast<TParentNode*>(N)->Children.Items(i);
        return dynamic_cast<T*>(N);
    }

    TFakeCanvas Canvas;
    std::shared_ptr<TDefaultRenderer> Renderer = TDefaultRenderer::Create();
    std::unique_ptr<TNodeTree> Tree;
    TRect Bounds;
};

using Strings = std::vector<std::string>;

TEST_F(Layout, WrapsBeforeTheWordThatDoesNotFit)
{
    // 40-pixel words with a 5-pixel space: "aaaa bbbb" is 85 pixels wide without its space.
    Paint("aaaa bbbb cccc");
    EXPECT_EQ(Placed(), (Strings{"aaaa bbbb@0,0", "cccc@0,13"}));
    auto* S = Node<TStringNode>({0});
    EXPECT_EQ(S->Rects, (std::vector<TRect>{{0, 0, 90, 13}, {0, 13, 40, 26}}));
    EXPECT_EQ(Renderer->GetLayoutHeight(), 26);
}

TEST_F(Layout, AWordEndingExactlyOnTheRightEdgeWraps)
{
    Paint("aaaa bbbb cccc", {0, 0, 86, 200});
    EXPECT_EQ(Placed(), (Strings{"aaaa bbbb@0,0", "cccc@0,13"}));
    Paint("aaaa bbbb cccc", {0, 0, 85, 200});
    EXPECT_EQ(Placed(), (Strings{"aaaa@0,0", "bbbb@0,13", "cccc@0,26"}));
    // The trailing blank is not drawn at a wrap, but the rectangle keeps its width.
    EXPECT_EQ(Node<TStringNode>({0})->Rects.front(), (TRect{0, 0, 45, 13}));
}

TEST_F(Layout, PiecesWithoutASpaceBetweenThemWrapAsOneWord)
{
    // "unbelievable" is 2*10 + 6*11 + 4*10 = 126 pixels with the bold part: it cannot
    // share the first line with "xx " in 140 pixels.
    Paint("xx un<b>believ</b>able more", {0, 0, 140, 200});
    EXPECT_EQ(Placed(), (Strings{"xx@0,0", "un@0,13", "believ@20,13", "able@86,13", "more@0,26"}));
    EXPECT_EQ(Canvas.Texts()[2].Styles, TFontStyles{TFontStyle::fsBold});
    EXPECT_TRUE(Canvas.Texts()[3].Styles.Empty());
    EXPECT_FALSE(Node<TStringNode>({0})->JoinedToPrevious);
    EXPECT_TRUE(Node<TStringNode>({1, 0})->JoinedToPrevious);
    EXPECT_TRUE(Node<TStringNode>({2})->JoinedToPrevious);
    // The piece that holds the word's start leaves an empty rectangle on the line it left.
    EXPECT_EQ(Node<TStringNode>({0})->Rects, (std::vector<TRect>{{0, 0, 25, 13}, {0, 13, 20, 26}}));
    // The tail's later words are measured from the tail's true end: "more" (40) after
    // "able " (45) at x 86 reaches 171 and wraps at 140.
    EXPECT_EQ(Node<TStringNode>({2})->Rects.size(), 2u);
    Paint("un<b>believ</b>able more", {0, 0, 170, 200});
    EXPECT_EQ(Placed(), (Strings{"un@0,0", "believ@20,0", "able@86,0", "more@0,13"}));
}

TEST_F(Layout, TheSpaceEndingAJoinedWordDoesNotCountAgainstTheMargin)
{
    // After "x " (15 pixels) the word "ab" + bold "cd" + "ef" ends at x 15 + 20 + 22 + 20
    // = 77, its space at 82.
    Paint("x ab<b>cd</b>ef <i>gh</i>", {0, 0, 82, 200});
    EXPECT_EQ(Placed(), (Strings{"x ab@0,0", "cd@35,0", "ef @57,0", "gh@0,13"}));
    Paint("x ab<b>cd</b>ef <i>gh</i>", {0, 0, 77, 200});
    EXPECT_EQ(Placed(), (Strings{"x@0,0", "ab@0,13", "cd@20,13", "ef @42,13", "gh@0,26"}));
    // When the word ends inside a piece that is not the last one buffered, its space counts:
    // the word reaches x 82.
    Paint("x ab<b>cd</b>ef gh<i>i</i>", {0, 0, 82, 200});
    EXPECT_EQ(Placed()[0], "x@0,0");
    Paint("x ab<b>cd</b>ef gh<i>i</i>", {0, 0, 83, 200});
    EXPECT_EQ(Placed()[0], "x ab@0,0");
}

TEST_F(Layout, AWordWiderThanTheLineGetsALineOfItsOwn)
{
    Paint("abcdefghijkl", {0, 0, 100, 200});
    EXPECT_EQ(Placed(), (Strings{"abcdefghijkl@0,0"}));
    Paint("a<br>abcdefghijkl b", {0, 0, 100, 200});
    EXPECT_EQ(Placed(), (Strings{"a@0,0", "abcdefghijkl@0,26", "b@0,39"}));
    // The wrap before the first word leaves an empty call and a zero-width rectangle.
    EXPECT_EQ(Node<TStringNode>({2})->Rects.front(), (TRect{0, 13, 0, 26}));
    // A lone space never wraps, even when it ends on the right edge: "aaaaaaaaa " and the
    // second space end at x 100, the first visibly at 95.
    Paint("aaaaaaaaa  b", {0, 0, 95, 200});
    EXPECT_EQ(Placed(), (Strings{"aaaaaaaaa@0,0", "b@0,13"}));
    // Nor does the first word of a piece that continues a word: "m" is drawn where the
    // over-wide word ends.
    Paint("abcdefghijkl<b>m</b>", {0, 0, 100, 200});
    EXPECT_EQ(Placed(), (Strings{"abcdefghijkl@0,0", "m@120,0"}));
}

TEST_F(Layout, BreaksStartNewLines)
{
    Paint("a<br><br>b");
    EXPECT_EQ(Placed(), (Strings{"a@0,0", "b@0,26"}));
    Paint("a<p>b");
    EXPECT_EQ(Placed(), (Strings{"a@0,0", "b@0,26"}));
    Paint("a<p><p>b");
    EXPECT_EQ(Placed(), (Strings{"a@0,0", "b@0,52"}));
    EXPECT_EQ(Renderer->GetLayoutHeight(), 65);
    Paint("a<br>");
    EXPECT_EQ(Renderer->GetLayoutHeight(), 26);
    Paint("", {7, 9, 100, 200});
    EXPECT_EQ(Renderer->GetLayoutHeight(), 22);
}

TEST_F(Layout, LinesAreAsHighAsThePlainFontAndStartAtTheRectangle)
{
    Canvas.CurrentFont.Styles = {TFontStyle::fsBold};
    Paint("<b>bold bold bold bold</b>", {20, 30, 120, 200});
    EXPECT_EQ(Placed(), (Strings{"bold bold@20,30", "bold bold@20,43"}));
    EXPECT_EQ(Renderer->GetLayoutHeight(), 56);
}

TEST_F(Layout, ALinkThatFollowsTextWithoutASpaceStartsWhereItsTextBegins)
{
    Paint("aa see<link>here</link> more");
    auto* Link = Node<TLinkNode>({1});
    EXPECT_EQ(Link->StartingPoint, (TPoint{55, 0}));
    // The whole word wraps: "seehere" does not fit after "aaa ".
    Paint("aaaa bbbb see<link>here</link>");
    Link = Node<TLinkNode>({1});
    EXPECT_EQ(Link->StartingPoint, (TPoint{30, 13}));
    EXPECT_EQ(Node<TStringNode>({1, 0})->Rects, (std::vector<TRect>{{30, 13, 70, 26}}));
    EXPECT_EQ(Tree->Root->LinkRects, (std::vector<TRect>{{30, 13, 70, 26}}));
    // After a space the link starts right away.
    Paint("aa <link>b</link>");
    EXPECT_EQ(Node<TLinkNode>({1})->StartingPoint, (TPoint{25, 0}));
}

TEST_F(Layout, LinksAreDrawnInTheLinkColourAndStyle)
{
    Renderer->SetLinkColor(clBlue);
    Renderer->SetLinkColorHot(clPurple);
    Renderer->SetLinkColorClicked(clRed);
    Renderer->SetLinkStyle({TFontStyle::fsUnderline});
    Canvas.CurrentFont.Color = 0x123456;
    Tree = std::make_unique<TNodeTree>();
    ResetNodeCounters();
    Tree = TDefaultParser().ParseText("go <link>there</link> now");
    Tree->Root->Color = 0x123456;
    Renderer->PaintTree(Canvas, {0, 0, 300, 100}, *Tree);
    auto T = Canvas.Texts();
    ASSERT_EQ(T.size(), 3u);
    EXPECT_EQ(T[0].Color, 0x123456u);
    EXPECT_EQ(T[1].Color, clBlue);
    EXPECT_EQ(T[1].Styles, TFontStyles{TFontStyle::fsUnderline});
    EXPECT_EQ(T[2].Color, 0x123456u);

    // A single link drawn again takes the colour of its state, at the same place.
    auto* Link = Node<TLinkNode>({1});
    for (auto [State, Color] : {std::pair{lsHot, clPurple}, {lsClicked, clRed}, {lsNormal, clBlue}}) {
        Link->State = State;
        Canvas.Drawn.clear();
        Renderer->RepaintNode(Canvas, {0, 0, 300, 100}, *Link);
        ASSERT_EQ(Canvas.Texts().size(), 1u);
        EXPECT_EQ(Canvas.Texts()[0].Text, "there");
        EXPECT_EQ(Canvas.Texts()[0].X, 25);
        EXPECT_EQ(Canvas.Texts()[0].Color, Color);
        EXPECT_EQ(Canvas.Texts()[0].Styles, TFontStyles{TFontStyle::fsUnderline});
    }
    // A full drawing shows every link in the normal link colour, whatever its state.
    Link->State = lsClicked;
    Canvas.Drawn.clear();
    Renderer->PaintTree(Canvas, {0, 0, 300, 100}, *Tree);
    EXPECT_EQ(Canvas.Texts()[1].Color, clBlue);
}

TEST_F(Layout, ALinkJoinedToTheTextBeforeItIsRedrawnInPlace)
{
    Renderer->SetLinkColorHot(clPurple);
    Paint("aaaa bbbb see<link>here now</link>");
    EXPECT_EQ(Placed(), (Strings{"aaaa bbbb@0,0", "see@0,13", "here@30,13", "now@0,26"}));
    auto* Link = Node<TLinkNode>({1});
    Link->State = lsHot;
    Canvas.Drawn.clear();
    Renderer->RepaintNode(Canvas, Bounds, *Link);
    EXPECT_EQ(Placed(), (Strings{"here@30,13", "now@0,26"}));
    EXPECT_EQ(Canvas.Texts()[0].Color, clPurple);
}

TEST_F(Layout, WordsAreMeasuredOncePerFont)
{
    // The first drawing measures 5 words ("dd " as the tail of "ccdd "), 6 spaces (one per
    // word and one for the tail), the true end of the joined head "dd " and the 4 line
    // segments it draws ("" on the first line, left by the wrap): 16 widths.
    Paint("aaaa bbbb <b>cc</b>dd eeee");
    EXPECT_EQ(Placed(), (Strings{"aaaa bbbb @0,0", "cc@0,13", "dd eeee@22,13"}));
    EXPECT_EQ(Canvas.WidthCalls, 16);
    // A repaint measures no word or space again: only the segments and the head's end.
    Canvas.Drawn.clear();
    Canvas.WidthCalls = 0;
    Renderer->PaintTree(Canvas, Bounds, *Tree);
    EXPECT_EQ(Placed(), (Strings{"aaaa bbbb @0,0", "cc@0,13", "dd eeee@22,13"}));
    EXPECT_EQ(Canvas.WidthCalls, 5);
    // Wider letters are only seen once the cache is dropped.
    Canvas.CharWidth = 20;
    Canvas.Drawn.clear();
    Renderer->PaintTree(Canvas, Bounds, *Tree);
    EXPECT_EQ(Placed()[0], "aaaa bbbb @0,0");
    INodeIteratorRef Strings = Tree->GetTopLevelNodes(NodeClassOf<TStringNode>());
    while (Strings->HasNext())
        static_cast<TStringNode*>(Strings->NextNode())->ClearWordInfo();
    Canvas.Drawn.clear();
    Renderer->PaintTree(Canvas, Bounds, *Tree);
    EXPECT_EQ(Placed()[0], "aaaa@0,0");
}

TEST(WordEnumerator, EachSpaceBelongsToTheWordBeforeIt)
{
    TWordEnumerator Words("a  b\tc ");
    std::vector<std::string> All;
    while (Words.HasNext())
        All.push_back(Words.PopWord());
    EXPECT_EQ(All, (Strings{"a ", " ", "b\tc "}));
    EXPECT_EQ(Words.GetTaken(), 3);
    try {
        Words.PeekWord();
        FAIL() << "no error";
    } catch (const ETextHandlerError& Error) {
        EXPECT_EQ(Error.Message(), "TWordEnumerator.GetNext: No more words to return");
    }
    Words.Reset();
    EXPECT_EQ(Words.PeekWord(), "a ");
    EXPECT_EQ(Words.GetTaken(), 0);
}

// Words of several bytes per letter wrap at their spaces, each measured by its letters.
TEST_F(Layout, ARussianCaptionWrapsAtItsSpaces)
{
    // "Советник " is 8 letters and a space, 85 pixels; "для " makes the first line 115.
    Paint("Советник для трейдера", {0, 0, 100, 200});
    EXPECT_EQ(Placed(), (Strings{"Советник@0,0", "для@0,13", "трейдера@0,26"}));
    EXPECT_EQ(Node<TStringNode>({0})->Rects, (std::vector<TRect>{{0, 0, 85, 13}, {0, 13, 35, 26}, {0, 26, 80, 39}}));
    EXPECT_TRUE(Canvas.CutCharacters.empty()) << Canvas.CutCharacters.front();
}

// Chinese has no spaces: a line breaks between any two characters, but never before a
// closing mark such as "，", which stays with the character before it.
TEST_F(Layout, AChineseCaptionWrapsBetweenCharactersAndKeepsItsMarks)
{
    // Eight characters fill 80 pixels; "问，" would end the line at 100, the right edge.
    Paint("网格交易的专家顾问，请关闭终端", {0, 0, 100, 200});
    EXPECT_EQ(Placed(), (Strings{"网格交易的专家顾@0,0", "问，请关闭终端@0,13"}));
    // Latin words beside it wrap at their spaces and between them and a character.
    Paint("Install 网格交易 Pro now", {0, 0, 100, 200});
    EXPECT_EQ(Placed(), (Strings{"Install 网格@0,0", "交易 Pro now@0,13"}));
    // A word that runs into Chinese in the next piece breaks where the Chinese begins.
    Paint("Grid<b>网格交易</b>", {0, 0, 100, 200});
    EXPECT_EQ(Placed(), (Strings{"Grid@0,0", "网格交易@40,0"}));
    EXPECT_FALSE(Node<TStringNode>({1, 0})->JoinedToPrevious);
    EXPECT_TRUE(Canvas.CutCharacters.empty()) << Canvas.CutCharacters.front();
}

TEST(WordEnumerator, BreaksAroundIdeographsButNotInsideACharacter)
{
    TWordEnumerator Words("「网格」交易。 Ok 😀x\xE7\xBD");
    std::vector<std::string> All;
    while (Words.HasNext())
        All.push_back(Words.PopWord());
    // No break after an opening mark or before a closing one; a damaged last byte pair is
    // no character to break inside.
    EXPECT_EQ(All, (Strings{"「网", "格」", "交", "易。 ", "Ok ", "😀x\xE7\xBD"}));
}

TEST(TextHandler, RefusesElementsItCannotLayOut)
{
    TFakeCanvas Canvas;
    TTextHandler Handler({0, 0, 100, 100}, 0, 0, Canvas);
    class TOtherElement : public TParentTextElement {};
    Handler.GetBuffer().Add(std::make_unique<TOtherElement>());
    try {
        Handler.EmptyBuffer();
        FAIL() << "no error";
    } catch (const ETextHandlerError& Error) {
        EXPECT_EQ(Error.Message(), "TTextHandler.EmptyBuffer: Unsupported TParentTextElement descendant encountered");
    }
}

TEST(TextHandler, AnAreaWithoutTextIsNeverToldItsStart)
{
    TFakeCanvas Canvas;
    class TRecorder : public IStartingPosObserver {
    public:
        void StartingPosKnown(int32_t X, int32_t Y, TAreaNode*) override { Calls.push_back({X, Y}); }
        std::vector<TPoint> Calls;
    };
    auto Recorder = std::make_shared<TRecorder>();
    TStringNode Before("ab");
    TStyleNode Empty(TFontStyle::fsBold);
    TStyleNode Full(TFontStyle::fsBold);
    auto* Inside = static_cast<TStringNode*>(Full.AddChild(std::make_unique<TStringNode>("cd")));
    TTextHandler Handler({0, 0, 100, 100}, 0, 0, Canvas);
    Handler.QueueString(&Before, {}, 0);
    Handler.WatchStartingPos(Recorder, &Empty);
    Handler.WatchStartingPos(Recorder, &Full);
    Handler.QueueString(Inside, {}, 0);
    Handler.EmptyBuffer();
    EXPECT_EQ(Recorder->Calls, (std::vector<TPoint>{{20, 0}}));
    EXPECT_TRUE(Handler.IsBufferEmpty());
}

} // namespace
} // namespace qe
