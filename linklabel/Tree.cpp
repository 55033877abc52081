#include "linklabel/Tree.h"

#include <iterator>

namespace qe {

namespace {

// Process-wide numbering of links and dynamic parts in the order they are created.
int32_t LinkCounter = 0;
int32_t DynamicCounter = 0;

} // namespace

void ResetNodeCounters()
{
    LinkCounter = 0;
    DynamicCounter = 0;
}

// --- TNode

int32_t TNode::GetNodeType() const
{
    static const std::type_info* const Table[] = {
        &typeid(TNode),        &typeid(TParentNode), &typeid(TAreaNode),   &typeid(TStyleNode),  &typeid(TLinkNode),
        &typeid(TDynamicNode), &typeid(TRootNode),   &typeid(TStringNode), &typeid(TActionNode), &typeid(TUnknownNode),
    };
    const std::type_info& Own = typeid(*this);
    for (std::size_t i = 0; i < std::size(Table); ++i)
        if (*Table[i] == Own)
            return static_cast<int32_t>(i);
    throw ENodeError("TNode.GetNodeType: Unknown class");
}

// --- TNodeList

TNode* TNodeList::Add(std::unique_ptr<TNode> Node)
{
    FItems.push_back(std::move(Node));
    return FItems.back().get();
}

void TNodeList::Delete(std::size_t Index)
{
    std::unique_ptr<TNode> Gone = Extract(Index);
}

std::unique_ptr<TNode> TNodeList::Extract(std::size_t Index)
{
    std::unique_ptr<TNode> Node = std::move(FItems.at(Index));
    FItems.erase(FItems.begin() + static_cast<std::ptrdiff_t>(Index));
    return Node;
}

// --- TParentNode

TParentNode::~TParentNode()
{
    DestroyChildren();
}

TNode* TParentNode::AddChild(std::unique_ptr<TNode> Node)
{
    Node->Parent = this;
    return Children.Add(std::move(Node));
}

void TParentNode::DestroyChildren()
{
    while (Children.Count() > 0)
        Children.Delete(Children.Count() - 1);
}

TNode* TParentNode::FindFirstOfClass(const TNodeClass& NodeClass) const
{
    for (std::size_t i = 0; i < Children.Count(); ++i) {
        TNode* Child = Children.Items(i);
        if (Child->IsInstanceOf(NodeClass))
            return Child;
        if (auto* AsParent = dynamic_cast<TParentNode*>(Child))
            if (TNode* Found = AsParent->FindFirstOfClass(NodeClass))
                return Found;
    }
    return nullptr;
}

INodeIteratorRef TParentNode::GetTopLevelNodes(const TNodeClass& NodeClass)
{
    return std::make_shared<TTopLevelNodeEnumerator>(*this, NodeClass);
}

// --- TAreaNode

bool TAreaNode::IsPointInNodeClass(const TPoint& P, const TNodeClass& NodeClass)
{
    return GetNodeAtPoint(P, NodeClass) != nullptr;
}

bool TAreaNode::IsPointInNode(const TPoint& P)
{
    INodeIteratorRef Strings = GetTopLevelNodes(NodeClassOf<TStringNode>());
    while (Strings->HasNext())
        if (static_cast<TStringNode*>(Strings->NextNode())->IsPointInRects(P))
            return true;
    return false;
}

TAreaNode* TAreaNode::GetNodeAtPoint(const TPoint& P, const TNodeClass& NodeClass)
{
    // Searching down through every area that holds P finds the first outermost node of
    // the class that holds P: its areas above hold P too, and no earlier one of the class
    // does. Asking the outermost nodes of the class directly reads each string once,
    // where the search down reads the strings of every level again for each level above
    // them, which deep markup makes slow.
    INodeIteratorRef Nodes = GetTopLevelNodes(NodeClass);
    while (Nodes->HasNext())
        if (auto* Area = dynamic_cast<TAreaNode*>(Nodes->NextNode()))
            if (Area->IsPointInNode(P))
                return Area;
    return nullptr;
}

IRectIteratorRef TAreaNode::GetRects()
{
    auto List = std::make_unique<TRectList>();
    INodeIteratorRef Strings = GetTopLevelNodes(NodeClassOf<TStringNode>());
    while (Strings->HasNext())
        for (const TRect& R : static_cast<TStringNode*>(Strings->NextNode())->Rects)
            List->Add(R);
    return std::make_shared<TRectEnumerator>(std::move(List));
}

std::string TAreaNode::GetText()
{
    std::string Result;
    INodeIteratorRef Strings = GetTopLevelNodes(NodeClassOf<TStringNode>());
    while (Strings->HasNext())
        Result += static_cast<TStringNode*>(Strings->NextNode())->Text;
    return Result;
}

// --- TLinkNode, TDynamicNode

TLinkNode::TLinkNode() : Number(LinkCounter++) {}

TColor TLinkNode::GetColor() const
{
    switch (State) {
    case lsClicked: return clClickedLink;
    case lsHot: return clHotLink;
    case lsNormal: break;
    }
    return clNormalLink;
}

TDynamicNode::TDynamicNode() : Number(DynamicCounter++) {}

// --- TRootNode

bool TRootNode::IsPointInNodeClass(const TPoint& P, const TNodeClass& NodeClass)
{
    // A drawn layout without links needs no walk either: no string of a link has a
    // rectangle to hold P.
    if (NodeClass == NodeClassOf<TLinkNode>() && (LinksCollected || !LinkRects.empty())) {
        for (const TRect& R : LinkRects)
            if (TGraphicTools::RectContainsPoint(R, P))
                return true;
        return false;
    }
    return TAreaNode::IsPointInNodeClass(P, NodeClass);
}

TLinkNode* TRootNode::GetLinkAtPoint(const TPoint& P)
{
    if (!LinksCollected)
        return static_cast<TLinkNode*>(GetNodeAtPoint(P, NodeClassOf<TLinkNode>()));
    // The areas keep the links' document order, so the first one that holds P is the
    // link the walk would find.
    for (const TLinkArea& Area : LinkAreas)
        if (TGraphicTools::RectContainsPoint(Area.Rect, P))
            return Area.Link;
    return nullptr;
}

void TRootNode::CollectLinkRects()
{
    LinkRects.clear();
    LinkAreas.clear();
    INodeIteratorRef Links = GetTopLevelNodes(NodeClassOf<TLinkNode>());
    while (Links->HasNext()) {
        auto* Link = static_cast<TLinkNode*>(Links->NextNode());
        IRectIteratorRef Rects = Link->GetRects();
        while (Rects->HasNext()) {
            LinkRects.push_back(Rects->NextRect());
            LinkAreas.push_back({LinkRects.back(), Link});
        }
    }
    LinksCollected = true;
}

// --- TStringNode

const TEntity Entities[2] = {{"&lt;", "<"}, {"&gt;", ">"}};

TStringNode::TStringNode(std::string AText) : Text(std::move(AText))
{
    for (const TEntity& E : Entities)
        TStringTools::SubstituteAll(E.Entity, E.Replacement, Text);
}

void TStringNode::AddWordInfo(const TWordInfo& Info, int32_t Width)
{
    WordInfo.push_back({Info.EndsWithSpace, Info.SpaceWidth, Width});
}

bool TStringNode::HasWordInfo(int32_t Index) const
{
    return Index >= 0 && static_cast<std::size_t>(Index) < WordInfo.size();
}

TWordInfo TStringNode::GetWordInfo(int32_t Index) const
{
    if (!HasWordInfo(Index))
        throw ENodeError("TStringNode.GetWordInfo: Index out of bounds");
    return WordInfo[static_cast<std::size_t>(Index)];
}

bool TStringNode::IsPointInRects(const TPoint& P) const
{
    for (const TRect& R : Rects)
        if (TGraphicTools::RectContainsPoint(R, P))
            return true;
    return false;
}

// --- iterators

TTopLevelNodeEnumerator::TTopLevelNodeEnumerator(const TParentNode& StartNode, const TNodeClass& NodeClass)
{
    Collect(StartNode, NodeClass);
}

void TTopLevelNodeEnumerator::Collect(const TParentNode& Node, const TNodeClass& NodeClass)
{
    for (std::size_t i = 0; i < Node.Children.Count(); ++i) {
        TNode* Child = Node.Children.Items(i);
        if (Child->IsInstanceOf(NodeClass))
            FList.push_back(Child);
        else if (auto* AsParent = dynamic_cast<const TParentNode*>(Child))
            Collect(*AsParent, NodeClass);
    }
}

TNode* TTopLevelNodeEnumerator::NextNode()
{
    if (!HasNext())
        throw ENodeError("No more nodes to return");
    return FList[FIndex++];
}

TRect TRectEnumerator::NextRect()
{
    if (!HasNext())
        throw ENodeError("No more records to return");
    return FList->Items(FIndex++);
}

// --- TNodeTree

TNodeTree::TNodeTree() : Root(std::make_unique<TRootNode>())
{
    Root->Styles = {};
    Root->Color = clWindowText;
}

TNodeTree::~TNodeTree()
{
    Root->DestroyChildren();
}

} // namespace qe
