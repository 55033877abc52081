// The node tree of a markup text: styled areas, links, host-supplied parts, strings and
// breaks. The layout writes where each string was drawn back into its node, and the tree
// answers which link lies under a point.
#pragma once

#include "linklabel/Graphics.h"
#include "linklabel/LinkTools.h"

#include <cstdint>
#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

namespace qe {

class ENodeError : public Exception {
public:
    using Exception::Exception;
};

class TNode;
class TParentNode;

// A node class as a value: its exact identity and an instance-of test that includes
// subclasses. Made with NodeClassOf<TLinkNode>().
struct TNodeClass {
    const std::type_info* Info;
    bool (*IsInstance)(const TNode&);
    bool operator==(const TNodeClass& Other) const { return *Info == *Other.Info; }
};

template <class T> TNodeClass NodeClassOf()
{
    return {&typeid(T), [](const TNode& N) { return dynamic_cast<const T*>(&N) != nullptr; }};
}

// Node type numbers, one per class of this unit.
enum TNodeType : int32_t {
    ntNode = 0,
    ntParentNode = 1,
    ntAreaNode = 2,
    ntStyleNode = 3,
    ntLinkNode = 4,
    ntDynamicNode = 5,
    ntRootNode = 6,
    ntStringNode = 7,
    ntActionNode = 8,
    ntUnknownNode = 9,
};

class TNode {
public:
    TNode() = default;
    TNode(const TNode&) = delete;
    TNode& operator=(const TNode&) = delete;
    virtual ~TNode() = default;

    // The number of the node's exact class; a class of another unit is an error.
    int32_t GetNodeType() const;
    bool IsInstanceOf(const TNodeClass& NodeClass) const { return NodeClass.IsInstance(*this); }

    TParentNode* Parent = nullptr;
};

// The children of a parent node, in document order. The list owns them.
class TNodeList {
public:
    TNode* Add(std::unique_ptr<TNode> Node);
    TNode* Items(std::size_t Index) const { return FItems.at(Index).get(); }
    // Destroys the node at Index.
    void Delete(std::size_t Index);
    // Takes the node at Index out of the list and hands it over.
    std::unique_ptr<TNode> Extract(std::size_t Index);
    std::size_t Count() const { return FItems.size(); }

private:
    std::vector<std::unique_ptr<TNode>> FItems;
};

class INodeIterator {
public:
    virtual ~INodeIterator() = default;
    virtual TNode* NextNode() = 0;
    virtual bool HasNext() const = 0;
    virtual void Reset() = 0;
};
using INodeIteratorRef = std::shared_ptr<INodeIterator>;

class IRectIterator {
public:
    virtual ~IRectIterator() = default;
    virtual TRect NextRect() = 0;
    virtual bool HasNext() const = 0;
    virtual void Reset() = 0;
};
using IRectIteratorRef = std::shared_ptr<IRectIterator>;

class TParentNode : public TNode {
public:
    ~TParentNode() override;

    // Appends Node and makes this its parent; returns the node.
    TNode* AddChild(std::unique_ptr<TNode> Node);
    // Destroys the children from the last to the first.
    void DestroyChildren();
    // The first descendant of NodeClass in depth-first document order, or nullptr.
    TNode* FindFirstOfClass(const TNodeClass& NodeClass) const;
    // The outermost descendants of NodeClass, in document order.
    INodeIteratorRef GetTopLevelNodes(const TNodeClass& NodeClass);

    TNodeList Children;
};

// A part of the text with its own styles and colour and a place where its drawing starts.
class TAreaNode : public TParentNode {
public:
    virtual TFontStyles GetStyles() const { return Styles; }
    virtual TColor GetColor() const { return Color; }
    virtual bool IsPointInNodeClass(const TPoint& P, const TNodeClass& NodeClass);

    // True when P lies in a drawn rectangle of any string below this node.
    bool IsPointInNode(const TPoint& P);
    // The outermost node of NodeClass below this node that has P in its text, or nullptr.
    TAreaNode* GetNodeAtPoint(const TPoint& P, const TNodeClass& NodeClass);
    // Every drawn rectangle of the strings below this node, in document order.
    IRectIteratorRef GetRects();
    // The text of the strings below this node, without markup.
    std::string GetText();

    TPoint StartingPoint;
    TFontStyles Styles;
    TColor Color = 0;
};

class TStyleNode : public TAreaNode {
public:
    explicit TStyleNode(TFontStyle AStyle) : Style(AStyle) {}
    TFontStyle Style;
};

enum TLinkState : uint8_t { lsNormal = 0, lsClicked = 1, lsHot = 2 };

// Colour markers a link reports for its state; the renderer maps them to link colours.
constexpr TColor clNormalLink = 0x80000400;
constexpr TColor clClickedLink = 0x80000401;
constexpr TColor clHotLink = 0x80000402;

class TLinkNode : public TAreaNode {
public:
    // Takes the next number of the link counter.
    TLinkNode();
    TColor GetColor() const override;

    TLinkState State = lsNormal;
    int32_t Number;
};

class TDynamicNode : public TAreaNode {
public:
    // Takes the next number of the dynamic counter.
    TDynamicNode();
    int32_t Number;
};

class TRootNode : public TAreaNode {
public:
    // For links, answers from the rectangles of the last drawn layout once they are
    // collected (or set).
    bool IsPointInNodeClass(const TPoint& P, const TNodeClass& NodeClass) override;
    // The outermost link under P, as GetNodeAtPoint finds it; once the rectangles are
    // collected, found by them alone instead of by a walk of the whole tree.
    TLinkNode* GetLinkAtPoint(const TPoint& P);
    // Rebuilds LinkRects from the rectangles of the outermost links.
    void CollectLinkRects();

    std::vector<TRect> LinkRects;

private:
    // Each collected rectangle with the link it belongs to, in the order of LinkRects.
    struct TLinkArea {
        TRect Rect;
        TLinkNode* Link;
    };
    std::vector<TLinkArea> LinkAreas;
    bool LinksCollected = false;
};

struct TWordInfo {
    bool EndsWithSpace = false;
    int32_t SpaceWidth = 0;
    int32_t Width = 0;
};
using TWordInfoArray = std::vector<TWordInfo>;

// Entities decoded in string text, in the order they are applied.
struct TEntity {
    const char* Entity;
    const char* Replacement;
};
extern const TEntity Entities[2];

class TStringNode : public TNode {
public:
    // Text is decoded with the entity table.
    explicit TStringNode(std::string AText);

    void AddRect(const TRect& Rect) { Rects.push_back(Rect); }
    void ClearRects() { Rects.clear(); }
    void AddWordInfo(const TWordInfo& Info, int32_t Width);
    bool HasWordInfo(int32_t Index) const;
    TWordInfo GetWordInfo(int32_t Index) const;
    void ClearWordInfo() { WordInfo.clear(); }
    bool IsPointInRects(const TPoint& P) const;

    std::string Text;
    std::vector<TRect> Rects;
    TWordInfoArray WordInfo;
    bool JoinedToPrevious = false;
};

enum TBreakKind : uint8_t { bkLine = 0, bkParagraph = 1 };

class TActionNode : public TNode {
public:
    explicit TActionNode(TBreakKind Kind) : BreakKind(Kind) {}
    TBreakKind BreakKind;
};

// A tag the markup does not know; it is kept but never drawn.
class TUnknownNode : public TNode {
public:
    explicit TUnknownNode(std::string ATag) : Tag(std::move(ATag)) {}
    std::string Tag;
};

// Sets the link counter and the dynamic counter back to 0, so that the next parse numbers
// its links and dynamic parts from 0.
void ResetNodeCounters();

class TTopLevelNodeEnumerator : public INodeIterator {
public:
    TTopLevelNodeEnumerator(const TParentNode& StartNode, const TNodeClass& NodeClass);
    TNode* NextNode() override;
    bool HasNext() const override { return FIndex < FList.size(); }
    void Reset() override { FIndex = 0; }

private:
    void Collect(const TParentNode& Node, const TNodeClass& NodeClass);
    std::vector<TNode*> FList;
    std::size_t FIndex = 0;
};

class TRectEnumerator : public IRectIterator {
public:
    explicit TRectEnumerator(std::unique_ptr<TRectList> List) : FList(std::move(List)) {}
    TRect NextRect() override;
    bool HasNext() const override { return FIndex < FList->Count(); }
    void Reset() override { FIndex = 0; }

private:
    std::unique_ptr<TRectList> FList;
    std::size_t FIndex = 0;
};

class TNodeTree {
public:
    // An empty tree: a root without styles in the window-text colour.
    TNodeTree();
    TNodeTree(const TNodeTree&) = delete;
    TNodeTree& operator=(const TNodeTree&) = delete;
    ~TNodeTree();

    TAreaNode* GetNodeAtPoint(const TPoint& P, const TNodeClass& NodeClass) const
    {
        return Root->GetNodeAtPoint(P, NodeClass);
    }
    INodeIteratorRef GetTopLevelNodes(const TNodeClass& NodeClass) const { return Root->GetTopLevelNodes(NodeClass); }
    bool IsPointInNodeClass(const TPoint& P, const TNodeClass& NodeClass) const
    {
        return Root->IsPointInNodeClass(P, NodeClass);
    }
    TLinkNode* GetLinkAtPoint(const TPoint& P) const { return Root->GetLinkAtPoint(P); }

    std::unique_ptr<TRootNode> Root;
};

} // namespace qe
