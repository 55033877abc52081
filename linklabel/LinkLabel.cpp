#include "linklabel/LinkLabel.h"

namespace qe {

TCustomLinkLabel::TCustomLinkLabel(ILinkLabelHost* AHost) : Host(AHost)
{
    Opaque = true;
    Width = 160;
    Height = 17;
    NodeTree = std::make_unique<TNodeTree>();
    AutoHeight = true;
    ReplaceParts();
    SetLinkColor(clBlue);
    SetLinkColorClicked(clRed);
    SetLinkColorHot(clPurple);
    SetLinkStyle({TFontStyle::fsUnderline});
    // A control made at run time lays out in its own area from the start.
    Resize();
    SyncRootStyle();
}

TCustomLinkLabel::~TCustomLinkLabel() = default;

void TCustomLinkLabel::ReplaceParts()
{
    IRendererRef Old = Renderer;
    Parser = CreateParser();
    // The control's lifetime is its owner's business: the parser's reference to it as
    // dynamic-tag handler does not own it.
    Parser->SetDynamicHandler(IDynamicNodeHandlerRef(IDynamicNodeHandlerRef(), this));
    Renderer = CreateRenderer();
    if (Old) {
        Renderer->SetLinkColor(Old->GetLinkColor());
        Renderer->SetLinkColorClicked(Old->GetLinkColorClicked());
        Renderer->SetLinkColorHot(Old->GetLinkColorHot());
        Renderer->SetLinkStyle(Old->GetLinkStyle());
    }
}

IParserRef TCustomLinkLabel::CreateParser()
{
    return std::make_shared<TDefaultParser>();
}

IRendererRef TCustomLinkLabel::CreateRenderer()
{
    return TDefaultRenderer::Create();
}

void TCustomLinkLabel::NotifyCaptionChanged()
{
    if (OnCaptionChanged)
        OnCaptionChanged(this);
}

void TCustomLinkLabel::NotifyLinkClick(int32_t LinkNumber, const std::string& LinkText)
{
    if (OnLinkClick)
        OnLinkClick(this, LinkNumber, LinkText);
}

void TCustomLinkLabel::RequestDynamicSource(std::string& Source, int32_t Number)
{
    Source.clear();
    if (OnDynamicTagInit)
        OnDynamicTagInit(this, Source, Number);
}

void TCustomLinkLabel::ProvideSource(std::string& Source, TDynamicNode* Node)
{
    Source.clear();
    if (Node)
        RequestDynamicSource(Source, Node->Number);
}

// --- caption

void TCustomLinkLabel::SetCaption(const std::string& Value)
{
    if (Value == Caption)
        return;
    Caption = Value;
    Text = {Value};
    ActiveLinkNode = nullptr;
    NodeTree.reset();
    ResetNodeCounters();
    NodeTree = Parser->ParseText(Value);
    SyncRootStyle();
    Repaint();
    NotifyCaptionChanged();
}

void TCustomLinkLabel::SetText(const std::vector<std::string>& Lines)
{
    std::string Joined;
    for (const std::string& Line : Lines)
        Joined += Line + "\r\n";
    Text = Lines;
    SetCaption(TStringTools::StripLineBreaks(Joined));
    Text = {Caption};
}

// --- properties

void TCustomLinkLabel::SetTransparent(bool Value)
{
    if (Value == !Opaque)
        return;
    Opaque = !Value;
    Repaint();
}

void TCustomLinkLabel::SetLinkColor(TColor Value)
{
    if (Value == Renderer->GetLinkColor())
        return;
    Renderer->SetLinkColor(Value);
    Repaint();
}

void TCustomLinkLabel::SetLinkColorClicked(TColor Value)
{
    if (Value != Renderer->GetLinkColorClicked())
        Renderer->SetLinkColorClicked(Value);
}

void TCustomLinkLabel::SetLinkStyle(TFontStyles Value)
{
    if (Value == Renderer->GetLinkStyle())
        return;
    Renderer->SetLinkStyle(Value);
    // Links are measured in their style: widths taken in the old one are stale.
    ResetWordWidths();
    Repaint();
}

void TCustomLinkLabel::SetAutoHeight(bool Value)
{
    if (Value == AutoHeight)
        return;
    AutoHeight = Value;
    Repaint();
}

void TCustomLinkLabel::SetMarginWidth(int32_t Value)
{
    MarginWidth = Value;
    Resize();
    Repaint();
}

void TCustomLinkLabel::SetMarginHeight(int32_t Value)
{
    MarginHeight = Value;
    Resize();
    Repaint();
}

void TCustomLinkLabel::SetFont(const TFont& Value)
{
    if (Value == Font)
        return;
    Font = Value;
    SyncRootStyle();
    ResetWordWidths();
    Repaint();
}

void TCustomLinkLabel::SetColor(TColor Value)
{
    if (Value == Color)
        return;
    Color = Value;
    Repaint();
}

void TCustomLinkLabel::SetCursor(TCursor Value)
{
    if (Value == Cursor)
        return;
    Cursor = Value;
    if (Host)
        Host->CursorChanged(Cursor);
}

void TCustomLinkLabel::SetBounds(int32_t ALeft, int32_t ATop, int32_t AWidth, int32_t AHeight)
{
    if (ALeft == Left && ATop == Top && AWidth == Width && AHeight == Height)
        return;
    Left = ALeft;
    Top = ATop;
    Width = AWidth;
    Height = AHeight;
    Resize();
    Repaint();
}

void TCustomLinkLabel::Loaded()
{
    SavedCursor = Cursor;
    Resize();
}

// --- helpers

void TCustomLinkLabel::Resize()
{
    const TRect Client = GetClientRect();
    TextRect = {Client.Left + MarginWidth, Client.Top + MarginHeight, Client.Right - MarginWidth, Client.Bottom};
}

void TCustomLinkLabel::Repaint()
{
    if (Host)
        Host->Invalidate();
}

void TCustomLinkLabel::SyncRootStyle()
{
    if (!NodeTree)
        return;
    NodeTree->Root->Styles = Font.Styles;
    NodeTree->Root->Color = Font.Color;
}

void TCustomLinkLabel::ResetWordWidths()
{
    if (!NodeTree)
        return;
    INodeIteratorRef Strings = NodeTree->GetTopLevelNodes(NodeClassOf<TStringNode>());
    while (Strings->HasNext())
        static_cast<TStringNode*>(Strings->NextNode())->ClearWordInfo();
}

bool TCustomLinkLabel::ClickedLinkActive() const
{
    return ActiveLinkNode && ActiveLinkNode->State == lsClicked;
}

bool TCustomLinkLabel::IsOverLink(const TPoint& P) const
{
    return NodeTree && NodeTree->IsPointInNodeClass(P, NodeClassOf<TLinkNode>());
}

// --- painting

void TCustomLinkLabel::Paint(TCanvas& Canvas)
{
    if (!NodeTree)
        return;
    if (!GetTransparent())
        Canvas.FillRectangle(GetClientRect(), Color);
    Canvas.SetFont(Font);
    Renderer->PaintTree(Canvas, TextRect, *NodeTree);
    if (AutoHeight && (Align == alNone || Align == alTop || Align == alBottom)) {
        const int32_t NewHeight = Renderer->GetLayoutHeight() + MarginHeight;
        if (NewHeight != Height) {
            Height = NewHeight;
            Resize();
            if (Host)
                Host->BoundsChanged();
        }
    }
}

void TCustomLinkLabel::RedrawLink(TLinkNode& Node)
{
    std::unique_ptr<TCanvas> Canvas = Host ? Host->CreateCanvas() : nullptr;
    if (!Canvas)
        return;
    Canvas->SetFont(Font);
    Renderer->RepaintNode(*Canvas, TextRect, Node);
}

void TCustomLinkLabel::ActivateLinkAt(const TPoint& P, TLinkState NewState)
{
    if (!IsOverLink(P))
        return;
    TLinkNode* N = NodeTree->GetLinkAtPoint(P);
    if (!N)
        return;
    if (N != ActiveLinkNode || ActiveLinkNode->State != NewState) {
        DeactivateLink();
        N->State = NewState;
        ActiveLinkNode = N;
        RedrawLink(*N);
    }
}

void TCustomLinkLabel::DeactivateLink()
{
    if (!ActiveLinkNode)
        return;
    TLinkNode* Node = ActiveLinkNode;
    struct TClear {
        TLinkNode*& Field;
        ~TClear() { Field = nullptr; }
    } Clear{ActiveLinkNode};
    Node->State = lsNormal;
    RedrawLink(*Node);
}

// --- mouse

void TCustomLinkLabel::MouseDown(TMouseButton, int32_t X, int32_t Y)
{
    ActivateLinkAt({X, Y}, lsClicked);
}

void TCustomLinkLabel::MouseMove(int32_t X, int32_t Y)
{
    if (IsOverLink({X, Y})) {
        SetCursor(crLinkHand);
        if (HotLinks && !ClickedLinkActive())
            ActivateLinkAt({X, Y}, lsHot);
    } else {
        SetCursor(SavedCursor);
        if (HotLinks && !ClickedLinkActive())
            DeactivateLink();
    }
}

void TCustomLinkLabel::MouseUp(TMouseButton, int32_t X, int32_t Y)
{
    if (IsOverLink({X, Y}))
        if (TLinkNode* N = NodeTree->GetLinkAtPoint({X, Y}))
            NotifyLinkClick(N->Number, N->GetText());
    DeactivateLink();
}

void TCustomLinkLabel::MouseLeave()
{
    if (HotLinks && !ClickedLinkActive())
        DeactivateLink();
}

} // namespace qe
