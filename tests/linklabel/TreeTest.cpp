#include "linklabel/Tree.h"
#include "linklabel/Parser.h"

#include <gtest/gtest.h>

namespace qe {
namespace {

std::unique_ptr<TNodeTree> Parse(const std::string& Markup)
{
    ResetNodeCounters();
    return TDefaultParser().ParseText(Markup);
}

template <class T> T* At(const TParentNode& Parent, std::size_t Index)
{
    return dynamic_cast<T*>(Parent.Children.Items(Index));
}

TEST(Tree, NodeTypesFollowTheClassTable)
{
    auto Tree = Parse("<b>s</b><link></link><dynamic><br><x>");
    EXPECT_EQ(Tree->Root->GetNodeType(), ntRootNode);
    const int32_t Expected[] = {ntStyleNode, ntLinkNode, ntDynamicNode, ntActionNode, ntUnknownNode};
    for (std::size_t i = 0; i < std::size(Expected); ++i)
        EXPECT_EQ(Tree->Root->Children.Items(i)->GetNodeType(), Expected[i]) << i;
    EXPECT_EQ(At<TParentNode>(*Tree->Root, 0)->Children.Items(0)->GetNodeType(), ntStringNode);
    EXPECT_EQ(TAreaNode().GetNodeType(), ntAreaNode);
    EXPECT_EQ(TParentNode().GetNodeType(), ntParentNode);
    EXPECT_EQ(TNode().GetNodeType(), ntNode);

    class TOtherNode : public TStringNode {
    public:
        TOtherNode() : TStringNode("x") {}
    };
    try {
        TOtherNode().GetNodeType();
        FAIL() << "no error";
    } catch (const ENodeError& Error) {
        EXPECT_EQ(Error.Message(), "TNode.GetNodeType: Unknown class");
    }
}

TEST(Tree, NewTreeHasAPlainRootInTheWindowTextColour)
{
    TNodeTree Tree;
    EXPECT_EQ(Tree.Root->Children.Count(), 0u);
    EXPECT_TRUE(Tree.Root->Styles.Empty());
    EXPECT_EQ(Tree.Root->Color, 0xFF000008u);
    EXPECT_EQ(Tree.Root->Parent, nullptr);
}

TEST(Tree, TopLevelNodesAreTheOutermostMatchesInDocumentOrder)
{
    auto Tree = Parse("<b>1<link>2<i>3</i></link></b><link>4</link>5");
    INodeIteratorRef Links = Tree->GetTopLevelNodes(NodeClassOf<TLinkNode>());
    std::vector<std::string> Texts;
    while (Links->HasNext())
        Texts.push_back(static_cast<TLinkNode*>(Links->NextNode())->GetText());
    EXPECT_EQ(Texts, (std::vector<std::string>{"23", "4"}));
    try {
        Links->NextNode();
        FAIL() << "no error";
    } catch (const ENodeError& Error) {
        EXPECT_EQ(Error.Message(), "No more nodes to return");
    }
    Links->Reset();
    EXPECT_TRUE(Links->HasNext());

    // Area nodes include the subclasses; the start node itself is never collected.
    INodeIteratorRef Areas = Tree->Root->GetTopLevelNodes(NodeClassOf<TAreaNode>());
    int Count = 0;
    while (Areas->HasNext()) {
        Areas->NextNode();
        ++Count;
    }
    EXPECT_EQ(Count, 2);
    auto* First = static_cast<TStringNode*>(Tree->Root->FindFirstOfClass(NodeClassOf<TStringNode>()));
    ASSERT_NE(First, nullptr);
    EXPECT_EQ(First->Text, "1");
    EXPECT_EQ(Tree->Root->FindFirstOfClass(NodeClassOf<TActionNode>()), nullptr);
}

TEST(Tree, AnIteratorOutlivesTheCallThatMadeIt)
{
    auto Tree = Parse("<link>a</link>b");
    IRectIteratorRef Rects;
    {
        auto* Link = At<TLinkNode>(*Tree->Root, 0);
        At<TStringNode>(*Link, 0)->AddRect({1, 2, 3, 4});
        At<TStringNode>(*Link, 0)->AddRect({5, 6, 7, 8});
        Rects = Link->GetRects();
    }
    At<TLinkNode>(*Tree->Root, 0)->DestroyChildren();
    ASSERT_TRUE(Rects->HasNext());
    EXPECT_EQ(Rects->NextRect(), (TRect{1, 2, 3, 4}));
    EXPECT_EQ(Rects->NextRect(), (TRect{5, 6, 7, 8}));
    try {
        Rects->NextRect();
        FAIL() << "no error";
    } catch (const ENodeError& Error) {
        EXPECT_EQ(Error.Message(), "No more records to return");
    }
}

TEST(Tree, HitTestsFindTheOutermostNodeOfTheClassUnderThePoint)
{
    auto Tree = Parse("Visit <b><link>ex<i>am</i></link></b> <link>ple</link>");
    TRootNode& Root = *Tree->Root;
    auto* Bold = At<TStyleNode>(Root, 1);
    auto* Link0 = At<TLinkNode>(*Bold, 0);
    auto* Link1 = At<TLinkNode>(Root, 3);
    At<TStringNode>(Root, 0)->AddRect({0, 0, 30, 13});
    At<TStringNode>(*Link0, 0)->AddRect({30, 0, 50, 13});
    At<TStringNode>(*At<TStyleNode>(*Link0, 1), 0)->AddRect({50, 0, 70, 13});
    At<TStringNode>(Root, 2)->AddRect({70, 0, 75, 13});
    At<TStringNode>(*Link1, 0)->AddRect({0, 13, 30, 26});

    EXPECT_EQ(Tree->GetNodeAtPoint({60, 5}, NodeClassOf<TLinkNode>()), Link0);
    EXPECT_EQ(Tree->GetNodeAtPoint({0, 26}, NodeClassOf<TLinkNode>()), Link1);
    EXPECT_EQ(Tree->GetNodeAtPoint({10, 5}, NodeClassOf<TLinkNode>()), nullptr);
    EXPECT_EQ(Tree->GetNodeAtPoint({72, 5}, NodeClassOf<TLinkNode>()), nullptr);
    // The shared edge column of neighbours belongs to the first one.
    EXPECT_EQ(Tree->GetNodeAtPoint({30, 5}, NodeClassOf<TAreaNode>()), Bold);
    EXPECT_TRUE(Tree->IsPointInNodeClass({70, 13}, NodeClassOf<TLinkNode>()));
    EXPECT_FALSE(Tree->IsPointInNodeClass({71, 5}, NodeClassOf<TLinkNode>()));
    EXPECT_EQ(Link0->GetText(), "exam");
    // An earlier area that holds the point but no link does not end the search.
    EXPECT_EQ(Tree->GetNodeAtPoint({30, 5}, NodeClassOf<TLinkNode>()), Link0);
    EXPECT_EQ(Tree->GetNodeAtPoint({30, 13}, NodeClassOf<TLinkNode>()), Link0);
    EXPECT_EQ(Tree->GetNodeAtPoint({0, 13}, NodeClassOf<TLinkNode>()), Link1);
    // Before the rectangles are collected, the link under a point is found by the walk.
    EXPECT_EQ(Tree->GetLinkAtPoint({60, 5}), Link0);
    EXPECT_EQ(Tree->GetLinkAtPoint({10, 5}), nullptr);

    // Once the link rectangles are collected, links are found by them alone.
    Root.CollectLinkRects();
    EXPECT_EQ(Root.LinkRects, (std::vector<TRect>{{30, 0, 50, 13}, {50, 0, 70, 13}, {0, 13, 30, 26}}));
    Root.LinkRects = {{100, 100, 110, 110}};
    EXPECT_TRUE(Tree->IsPointInNodeClass({110, 110}, NodeClassOf<TLinkNode>()));
    EXPECT_FALSE(Tree->IsPointInNodeClass({60, 5}, NodeClassOf<TLinkNode>()));
    EXPECT_TRUE(Tree->IsPointInNodeClass({60, 5}, NodeClassOf<TStyleNode>()));
}

TEST(Tree, WordInfoIsIndexedByWordAndRefusesUnknownIndexes)
{
    TStringNode Node("a b");
    EXPECT_FALSE(Node.HasWordInfo(0));
    Node.AddWordInfo({true, 5, 99}, 15);
    EXPECT_TRUE(Node.HasWordInfo(0));
    EXPECT_FALSE(Node.HasWordInfo(1));
    EXPECT_FALSE(Node.HasWordInfo(-1));
    const TWordInfo Info = Node.GetWordInfo(0);
    EXPECT_TRUE(Info.EndsWithSpace);
    EXPECT_EQ(Info.SpaceWidth, 5);
    EXPECT_EQ(Info.Width, 15);
    try {
        Node.GetWordInfo(1);
        FAIL() << "no error";
    } catch (const ENodeError& Error) {
        EXPECT_EQ(Error.Message(), "TStringNode.GetWordInfo: Index out of bounds");
    }
    Node.ClearWordInfo();
    EXPECT_FALSE(Node.HasWordInfo(0));
}

} // namespace
} // namespace qe
