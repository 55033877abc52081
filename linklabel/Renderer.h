// Draws a node tree into a rectangle of a canvas: works out the styles and colour of every
// piece of text and hands pieces and breaks to a text handler, which lays them out.
#pragma once

#include "linklabel/Canvas.h"
#include "linklabel/TextHandler.h"
#include "linklabel/Tree.h"

#include <memory>

namespace qe {

class IRenderer {
public:
    virtual ~IRenderer() = default;
    virtual TColor GetLinkColor() const = 0;
    virtual void SetLinkColor(TColor Value) = 0;
    virtual TColor GetLinkColorClicked() const = 0;
    virtual void SetLinkColorClicked(TColor Value) = 0;
    virtual TColor GetLinkColorHot() const = 0;
    virtual void SetLinkColorHot(TColor Value) = 0;
    virtual TFontStyles GetLinkStyle() const = 0;
    virtual void SetLinkStyle(TFontStyles Value) = 0;
    // Draws the whole tree from the top-left corner of Rect and remembers where links are.
    virtual void PaintTree(TCanvas& Canvas, const TRect& Rect, TNodeTree& Tree) = 0;
    // Draws one node again from its starting point, a link in the colour of its state.
    virtual void RepaintNode(TCanvas& Canvas, const TRect& Rect, TAreaNode& Node) = 0;
    // The bottom of the last line of the last drawing run.
    virtual int32_t GetLayoutHeight() const = 0;
};
using IRendererRef = std::shared_ptr<IRenderer>;

class TDefaultRenderer : public IStartingPosObserver,
                         public IRenderer,
                         public std::enable_shared_from_this<TDefaultRenderer> {
public:
    // Renderers live behind shared references: the layout holds one while a run waits to
    // learn where a link starts.
    static std::shared_ptr<TDefaultRenderer> Create() { return std::make_shared<TDefaultRenderer>(); }

    TColor GetLinkColor() const override { return LinkColor; }
    void SetLinkColor(TColor Value) override { LinkColor = Value; }
    TColor GetLinkColorClicked() const override { return LinkColorClicked; }
    void SetLinkColorClicked(TColor Value) override { LinkColorClicked = Value; }
    TColor GetLinkColorHot() const override { return LinkColorHot; }
    void SetLinkColorHot(TColor Value) override { LinkColorHot = Value; }
    TFontStyles GetLinkStyle() const override { return LinkStyle; }
    void SetLinkStyle(TFontStyles Value) override { LinkStyle = Value; }
    void PaintTree(TCanvas& Canvas, const TRect& Rect, TNodeTree& Tree) override;
    void RepaintNode(TCanvas& Canvas, const TRect& Rect, TAreaNode& Node) override;
    int32_t GetLayoutHeight() const override { return TextHeight; }

    void StartingPosKnown(int32_t X, int32_t Y, TAreaNode* Node) override;

protected:
    virtual void DrawNode(TAreaNode& Node, TFontStyles Styles, TColor Color);
    // Maps the link colour markers to the configured link colours.
    virtual TColor ResolveColor(TColor Color) const;

private:
    TColor LinkColor = 0;
    TColor LinkColorClicked = 0;
    TColor LinkColorHot = 0;
    TFontStyles LinkStyle;
    ITextHandlerRef CurrentHandler;
    int32_t TextHeight = 0;
};

} // namespace qe
