#include "linklabel/Parser.h"
#include "tests/linklabel/TreeDescription.h"

#include <gtest/gtest.h>

namespace qe {
namespace {

using test::Describe;

std::string Parse(const std::string& Markup, IDynamicNodeHandlerRef Handler = nullptr)
{
    ResetNodeCounters();
    TDefaultParser Parser;
    if (Handler)
        Parser.SetDynamicHandler(Handler);
    return Describe(*Parser.ParseText(Markup)->Root);
}

class TSourceTable : public IDynamicNodeHandler {
public:
    explicit TSourceTable(std::vector<std::string> ASources) : Sources(std::move(ASources)) {}
    void ProvideSource(std::string& Source, TDynamicNode* Node) override
    {
        Numbers.push_back(Node->Number);
        Source = static_cast<std::size_t>(Node->Number) < Sources.size() ? Sources[Node->Number] : "";
    }
    std::vector<std::string> Sources;
    std::vector<int32_t> Numbers;
};

TEST(Parser, BuildsNodesForTheKnownTags)
{
    EXPECT_EQ(Parse(""), "");
    EXPECT_EQ(Parse("Hello"), "'Hello'");
    EXPECT_EQ(Parse("a<B>b</b>c"), "'a' b['b'] 'c'");
    EXPECT_EQ(Parse("x<br>y<p>z"), "'x' <br> 'y' <p> 'z'");
    EXPECT_EQ(Parse("<i>1<u>2</u></i><link>3</link>"), "i['1' u['2']] link0['3']");
    // Tag names ignore letter case; tags take no attributes.
    EXPECT_EQ(Parse("<Link>x</LINK>"), "link0['x']");
    EXPECT_EQ(Parse("<b >x</b>y"), "?b  'x'");
    EXPECT_EQ(Parse("<link href=x>a</link>"), "?link href=x 'a'");
    // A ">" outside a tag is text.
    EXPECT_EQ(Parse("a>b"), "'a>b'");
}

TEST(Parser, EndTagsCloseTheInnermostLevelWhateverTheirName)
{
    EXPECT_EQ(Parse("<b>x</i>y"), "b['x'] 'y'");
    // At the top level a stray end tag ends the parse.
    EXPECT_EQ(Parse("a</b>b"), "'a'");
    EXPECT_EQ(Parse("<font>a</font>b"), "?font 'a'");
    EXPECT_EQ(Parse("a<br></br>b"), "'a' <br>");
    // Inside a level the end tag of a leaf tag closes that level.
    EXPECT_EQ(Parse("<b>a<br></br>b</b>c"), "b['a' <br>] 'b'");
    // A tag never closed stays open to the end.
    EXPECT_EQ(Parse("<b>a<i>b"), "b['a' i['b']]");
}

TEST(Parser, AnUnterminatedTagIsKeptAsTheRestOfTheTextAndNeverBecomesATag)
{
    EXPECT_EQ(Parse("a<b c"), "'a' ?b c");
    EXPECT_EQ(Parse("a<link"), "'a' ?link");
    EXPECT_EQ(Parse("x<br"), "'x' ?br");
    auto Handler = std::make_shared<TSourceTable>(std::vector<std::string>{"<b>x</b>"});
    EXPECT_EQ(Parse("a<dynamic", Handler), "'a' ?dynamic");
    EXPECT_TRUE(Handler->Numbers.empty());
    EXPECT_EQ(Parse("a<"), "'a' ?");
    EXPECT_EQ(Parse("<b>a</b"), "b['a' ?/b]");
    EXPECT_EQ(Parse("a<b>c<i>d</i"), "'a' b['c' i['d' ?/i]]");
    EXPECT_EQ(Parse("a<b>"), "'a' b[]");
}

TEST(Parser, DecodesOnlyTheTwoEntities)
{
    EXPECT_EQ(Parse("&lt;b&gt; &amp;"), "'<b> &amp;'");
    EXPECT_EQ(Parse("&LT;&Gt;"), "'&LT;&Gt;'");
    // Entities are decoded after the tags were split off.
    EXPECT_EQ(Parse("<b>&lt;/b&gt;</b>"), "b['</b>']");
}

TEST(Parser, RemovesLineBreakPairsOnly)
{
    EXPECT_EQ(Parse("one\r\ntwo"), "'onetwo'");
    EXPECT_EQ(Parse("one\ntwo\rthree"), "'one\ntwo\rthree'");
    ResetNodeCounters();
    TDefaultParser Parser;
    EXPECT_EQ(Describe(*Parser.ParseStrings({"<b>one", "</b>two"})->Root), "b['one'] 'two'");
}

TEST(Parser, NumbersLinksInTextOrderFromZeroAfterAReset)
{
    EXPECT_EQ(Parse("<link>one</link> and <link>two</link>"), "link0['one'] ' and ' link1['two']");
    // Nested links take numbers in the order they are opened.
    EXPECT_EQ(Parse("<link>a<link>b</link></link><link>c</link>"), "link0['a' link1['b']] link2['c']");
    // Without a reset, numbering goes on.
    TDefaultParser Parser;
    ResetNodeCounters();
    Parser.ParseText("<link>x</link>");
    EXPECT_EQ(Describe(*Parser.ParseText("<link>y</link>")->Root), "link1['y']");
}

TEST(Parser, DynamicTagsTakeTheHostsMarkupInPlace)
{
    auto Handler = std::make_shared<TSourceTable>(std::vector<std::string>{"<b>x</b>", ""});
    EXPECT_EQ(Parse("a<dynamic>b<dynamic>c", Handler), "'a' dyn0[b['x']] 'b' dyn1[] 'c'");
    EXPECT_EQ(Handler->Numbers, (std::vector<int32_t>{0, 1}));
    EXPECT_EQ(Parse("a<dynamic>b"), "'a' dyn0[] 'b'");
    // The end tag of a dynamic tag is a stray end tag.
    EXPECT_EQ(Parse("<dynamic></dynamic>b"), "dyn0[]");
}

TEST(Parser, LinksOfDynamicSourcesAreNumberedWhereTheyAreInserted)
{
    auto Handler = std::make_shared<TSourceTable>(std::vector<std::string>{"<link>mid</link><dynamic>", "never asked"});
    EXPECT_EQ(Parse("<link>first</link><dynamic><link>last</link>", Handler),
              "link0['first'] dyn0[link1['mid'] dyn1[]] link2['last']");
    // The inner dynamic tag belongs to a parse without a handler: it is never filled.
    EXPECT_EQ(Handler->Numbers, (std::vector<int32_t>{0}));
}

TEST(Parser, GraftedNodesBelongToTheirNewParent)
{
    ResetNodeCounters();
    TDefaultParser Parser;
    auto Tree = Parser.ParseText("<b></b>");
    auto* Bold = static_cast<TParentNode*>(Tree->Root->Children.Items(0));
    Parser.GraftSource(*Bold, "x<i>y</i>");
    ASSERT_EQ(Describe(*Tree->Root), "b['x' i['y']]");
    for (std::size_t i = 0; i < Bold->Children.Count(); ++i)
        EXPECT_EQ(Bold->Children.Items(i)->Parent, Bold);
}

// The tree stays within the nesting limit however deep the markup nests, and keeps all text.
TEST(Parser, TagsNestedTooDeeplyKeepTheirTextInTheDeepestLevel)
{
    const std::size_t Tags = 100000;
    std::string Markup;
    for (std::size_t i = 0; i < Tags; ++i)
        Markup += "<b>";
    Markup += "x";
    for (std::size_t i = 0; i < Tags; ++i)
        Markup += "</b>";
    Markup += "<u>y</u><link>z</link>";
    ResetNodeCounters();
    auto Tree = TDefaultParser().ParseText(Markup);
    const TParentNode* Deepest = Tree->Root.get();
    std::size_t Depth = 0;
    while (auto* Style = dynamic_cast<const TStyleNode*>(Deepest->Children.Items(0))) {
        Deepest = Style;
        ++Depth;
    }
    EXPECT_EQ(Depth, 256u);
    ASSERT_EQ(Deepest->Children.Count(), Tags - 256 + 1);
    // Each flattened tag's end tag closed it: what follows is back at the top level.
    const std::string All = Describe(*Tree->Root);
    std::string Opened;
    for (int i = 0; i < 256; ++i)
        Opened += "b[";
    EXPECT_TRUE(All.starts_with(Opened + "?b ?b "));
    EXPECT_TRUE(All.ends_with("?b ?b 'x'" + std::string(256, ']') + " u['y'] link0['z']"));

    // A link too deep takes no number; a dynamic part at the deepest level keeps its
    // supplied markup flat.
    std::string Deep;
    for (int i = 0; i < 256; ++i)
        Deep += "<i>";
    auto Handler = std::make_shared<TSourceTable>(std::vector<std::string>{"<b>q<link>r</link></b>s"});
    ResetNodeCounters();
    TDefaultParser Parser;
    Parser.SetDynamicHandler(Handler);
    Tree = Parser.ParseText(Deep + "<link>a</link><dynamic>");
    Deepest = Tree->Root.get();
    while (auto* Style = dynamic_cast<const TStyleNode*>(Deepest->Children.Items(0)))
        Deepest = Style;
    EXPECT_EQ(Describe(*Deepest), "?link 'a' dyn0[?b 'q' ?link 'r' 's']");
}

TEST(ElementEnumerator, SplitsTagsAndStringsAndRefusesToReadPastTheEnd)
{
    TElementEnumerator E("ab<b>c</x>");
    TElement El;
    E.PeekElement(El);
    EXPECT_EQ(El, (TElement{ekString, "ab"}));
    E.PeekElement(El);
    EXPECT_EQ(El, (TElement{ekString, "ab"}));
    E.PopElement(El);
    E.PopElement(El);
    EXPECT_EQ(El, (TElement{ekBeginTag, "b"}));
    E.PopElement(El);
    EXPECT_EQ(El, (TElement{ekString, "c"}));
    EXPECT_FALSE(E.AtEnd());
    E.PopElement(El);
    EXPECT_EQ(El, (TElement{ekEndTag, "x"}));
    EXPECT_TRUE(E.AtEnd());
    try {
        E.PeekElement(El);
        FAIL() << "no error";
    } catch (const EParserError& Error) {
        EXPECT_EQ(Error.Message(), "TElementEnumerator.GetNextElement: No more elements to return");
    }
}

} // namespace
} // namespace qe
