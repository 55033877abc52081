// Turns a markup text into a node tree. The markup knows <b>, <i>, <u>, <link>, <br>, <p>
// and <dynamic> (text supplied by the host while the text is parsed), the entities &lt;
// and &gt;, and nothing else; anything it does not know is kept or skipped, never refused.
#pragma once

#include "linklabel/Tree.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace qe {

class EParserError : public Exception {
public:
    using Exception::Exception;
};

enum TElementKind : uint8_t { ekBeginTag = 0, ekEndTag = 1, ekString = 2 };

// One piece of the markup: a tag name (without brackets) or a run of characters. A "<" that
// is never closed by a ">" gives a begin tag that is not Closed and whose text is all that
// follows the "<".
struct TElement {
    TElementKind Kind = ekString;
    std::string Text;
    bool Closed = true;
    bool operator==(const TElement&) const = default;
};

class IElementEnumerator {
public:
    virtual ~IElementEnumerator() = default;
    virtual void PopElement(TElement& Element) = 0;
    virtual void PeekElement(TElement& Element) = 0;
    virtual bool AtEnd() const = 0;
};
using IElementEnumeratorRef = std::shared_ptr<IElementEnumerator>;

// Splits a markup text into elements; positions are 1-based.
class TElementEnumerator : public IElementEnumerator {
public:
    explicit TElementEnumerator(std::string AText) : Text(std::move(AText)) {}
    void PopElement(TElement& Element) override { Element = GetNextElement(true); }
    void PeekElement(TElement& Element) override { Element = GetNextElement(false); }
    bool AtEnd() const override { return static_cast<int64_t>(Text.size()) < Position; }

private:
    TElement GetNextElement(bool Advance);

    std::string Text;
    int64_t Position = 1;
    int64_t CachedPosition = -1;
    TElement CachedElement;
    int64_t NextPosition = 1;
};

// Supplies the markup of a <dynamic> tag while the text is parsed.
class IDynamicNodeHandler {
public:
    virtual ~IDynamicNodeHandler() = default;
    virtual void ProvideSource(std::string& Source, TDynamicNode* Node) = 0;
};
using IDynamicNodeHandlerRef = std::shared_ptr<IDynamicNodeHandler>;

class IParser {
public:
    virtual ~IParser() = default;
    virtual std::unique_ptr<TNodeTree> ParseText(const std::string& Text) = 0;
    // Parses the lines joined, each followed by CR LF (which the parse then removes).
    virtual std::unique_ptr<TNodeTree> ParseStrings(const std::vector<std::string>& Lines) = 0;
    virtual void SetDynamicHandler(IDynamicNodeHandlerRef Handler) = 0;
    // Parses Source on its own and appends the resulting top-level nodes to Node.
    virtual void GraftSource(TParentNode& Node, const std::string& Source) = 0;
};
using IParserRef = std::shared_ptr<IParser>;

class TDefaultParser : public IParser {
public:
    // Tags open levels down to this depth below the root. A deeper <b>, <i>, <u> or <link> is
    // kept as a TUnknownNode, its text stays in the deepest level and its end tag closes it
    // there, so that all the text is kept and no tree is deeper than this (plus the content
    // of a <dynamic> tag at the deepest level, which is kept flat).
    static constexpr int32_t MaxNestingDepth = 256;

    std::unique_ptr<TNodeTree> ParseText(const std::string& Text) override;
    std::unique_ptr<TNodeTree> ParseStrings(const std::vector<std::string>& Lines) override;
    void SetDynamicHandler(IDynamicNodeHandlerRef Handler) override { DynamicHandler = std::move(Handler); }
    void GraftSource(TParentNode& Node, const std::string& Source) override;

protected:
    // The node for a begin tag; an unknown tag gives a TUnknownNode.
    virtual std::unique_ptr<TNode> CreateNodeForTag(const std::string& TagText);

private:
    // Reads the content of Parent, which lies Depth levels below the root.
    void ParseNode(TParentNode& Parent, int32_t Depth);
    void FillDynamicNode(TDynamicNode& Node);

    IElementEnumeratorRef Elements;
    IDynamicNodeHandlerRef DynamicHandler;
    // The depth of the parent whose content is being read.
    int32_t ParseDepth = 0;
    // The depth at which the root of a parsed tree stands: that of the node a graft fills.
    int32_t RootDepth = 0;
};

} // namespace qe
