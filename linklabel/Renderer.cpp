#include "linklabel/Renderer.h"

namespace qe {

void TDefaultRenderer::PaintTree(TCanvas& Canvas, const TRect& Rect, TNodeTree& Tree)
{
    Tree.Root->StartingPoint = {Rect.Left, Rect.Top};
    RepaintNode(Canvas, Rect, *Tree.Root);
    Tree.Root->CollectLinkRects();
}

void TDefaultRenderer::RepaintNode(TCanvas& Canvas, const TRect& Rect, TAreaNode& Node)
{
    struct TRunScope {
        ITextHandlerRef& Handler;
        ~TRunScope() { Handler.reset(); }
    } Scope{CurrentHandler};
    CurrentHandler = std::make_shared<TTextHandler>(Rect, Node.StartingPoint.X, Node.StartingPoint.Y, Canvas);
    DrawNode(Node, Node.GetStyles(), Node.GetColor());
    CurrentHandler->EmptyBuffer();
    TextHeight = CurrentHandler->GetTextBottom();
}

void TDefaultRenderer::StartingPosKnown(int32_t X, int32_t Y, TAreaNode* Node)
{
    Node->StartingPoint = {X, Y};
}

void TDefaultRenderer::DrawNode(TAreaNode& Node, TFontStyles Styles, TColor Color)
{
    if (CurrentHandler->IsBufferEmpty())
        Node.StartingPoint = {CurrentHandler->GetWriteX(), CurrentHandler->GetWriteY()};
    else // text that touches this node is still buffered: its start is known once that is drawn
        CurrentHandler->WatchStartingPos(shared_from_this(), &Node);
    Node.Styles = Styles;
    Node.Color = ResolveColor(Color);

    for (std::size_t i = 0; i < Node.Children.Count(); ++i) {
        TNode* Child = Node.Children.Items(i);
        TColor ChildColor = ResolveColor(Color);
        TFontStyles ChildStyles = Styles;
        switch (Child->GetNodeType()) {
        case ntStyleNode: ChildStyles = Styles + static_cast<TStyleNode*>(Child)->Style; break;
        case ntLinkNode:
            ChildStyles = Styles + LinkStyle;
            ChildColor = LinkColor;
            break;
        case ntStringNode:
            CurrentHandler->QueueString(static_cast<TStringNode*>(Child), ChildStyles, ChildColor);
            break;
        case ntActionNode:
            if (static_cast<TActionNode*>(Child)->BreakKind == bkLine)
                CurrentHandler->BreakLine();
            else
                CurrentHandler->BreakParagraph();
            break;
        default: // unknown tags are not drawn; dynamic parts pass their content on
            break;
        }
        if (auto* Area = dynamic_cast<TAreaNode*>(Child))
            DrawNode(*Area, ChildStyles, ChildColor);
    }
}

TColor TDefaultRenderer::ResolveColor(TColor Color) const
{
    switch (Color) {
    case clNormalLink: return LinkColor;
    case clClickedLink: return LinkColorClicked;
    case clHotLink: return LinkColorHot;
    default: return Color;
    }
}

} // namespace qe
