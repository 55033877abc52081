// The markup link label: a label whose caption is markup (see Parser.h), laid out with
// word wrap, with clickable links. It turns the cursor into a hand over links, draws a
// pressed link in LinkColorClicked (and, with HotLinks, a link under the mouse in
// LinkColorHot), reports a click with the link's number and text, and can set its own height
// to fit the text.
//
// The control is portable: the window it sits on reaches it through ILinkLabelHost and calls
// Paint, SetBounds and the mouse operations. On Windows, TLinkLabelWindow
// (linklabel/win32/LinkLabelWindow.h) is that host.
#pragma once

#include "linklabel/Canvas.h"
#include "linklabel/Parser.h"
#include "linklabel/Renderer.h"
#include "linklabel/Tree.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace qe {

enum TAlign : uint8_t { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
enum TMouseButton : uint8_t { mbLeft, mbRight, mbMiddle };

// Cursor ids of the application's cursor table.
using TCursor = int16_t;
constexpr TCursor crDefault = 0;
constexpr TCursor crLinkHand = 1;

class TCustomLinkLabel;
using TNotifyEvent = std::function<void(TCustomLinkLabel* Sender)>;
using TLinkClickEvent = std::function<void(TCustomLinkLabel* Sender, int32_t LinkNumber, const std::string& LinkText)>;
using TDynamicTagInitEvent = std::function<void(TCustomLinkLabel* Sender, std::string& Source, int32_t Number)>;

// What the control needs of the window that shows it.
class ILinkLabelHost {
public:
    virtual ~ILinkLabelHost() = default;
    // Asks for a full paint; the host calls Paint as soon as it can.
    virtual void Invalidate() = 0;
    // A canvas on the control's area (client coordinates) for drawing outside a paint, or
    // nullptr when there is none.
    virtual std::unique_ptr<TCanvas> CreateCanvas() = 0;
    // The cursor over the control changed.
    virtual void CursorChanged(TCursor Cursor) = 0;
    // The control changed its own size (AutoHeight).
    virtual void BoundsChanged() = 0;
};

class TCustomLinkLabel : protected IDynamicNodeHandler {
public:
    explicit TCustomLinkLabel(ILinkLabelHost* AHost = nullptr);
    TCustomLinkLabel(const TCustomLinkLabel&) = delete;
    TCustomLinkLabel& operator=(const TCustomLinkLabel&) = delete;
    ~TCustomLinkLabel() override;

    void SetHost(ILinkLabelHost* AHost) { Host = AHost; }

    // --- what the host calls
    // Paints the whole control on Canvas, whose origin is the control's top-left corner.
    void Paint(TCanvas& Canvas);
    void MouseDown(TMouseButton Button, int32_t X, int32_t Y);
    void MouseMove(int32_t X, int32_t Y);
    void MouseUp(TMouseButton Button, int32_t X, int32_t Y);
    void MouseLeave();
    // The control's settings are complete (loaded from a form): keeps its cursor as the
    // one shown away from links.
    void Loaded();

    // --- position and appearance
    void SetBounds(int32_t ALeft, int32_t ATop, int32_t AWidth, int32_t AHeight);
    int32_t GetLeft() const { return Left; }
    int32_t GetTop() const { return Top; }
    int32_t GetWidth() const { return Width; }
    int32_t GetHeight() const { return Height; }
    TRect GetClientRect() const { return {0, 0, Width, Height}; }
    TAlign GetAlign() const { return Align; }
    void SetAlign(TAlign Value) { Align = Value; }
    const TFont& GetFont() const { return Font; }
    void SetFont(const TFont& Value);
    TColor GetColor() const { return Color; }
    void SetColor(TColor Value);
    TCursor GetCursor() const { return Cursor; }
    void SetCursor(TCursor Value);

    // --- properties of the label
    std::string GetAboutMe() const { return "Version: 2.00"; }
    void SetAboutMe(const std::string&) {}
    const std::string& GetCaption() const { return Caption; }
    void SetCaption(const std::string& Value);
    const std::vector<std::string>& GetText() const { return Text; }
    // The lines are joined without any separator and become the caption.
    void SetText(const std::vector<std::string>& Lines);
    bool GetTransparent() const { return !Opaque; }
    void SetTransparent(bool Value);
    TColor GetLinkColor() const { return Renderer->GetLinkColor(); }
    void SetLinkColor(TColor Value);
    TColor GetLinkColorClicked() const { return Renderer->GetLinkColorClicked(); }
    void SetLinkColorClicked(TColor Value);
    TColor GetLinkColorHot() const { return Renderer->GetLinkColorHot(); }
    void SetLinkColorHot(TColor Value) { Renderer->SetLinkColorHot(Value); }
    TFontStyles GetLinkStyle() const { return Renderer->GetLinkStyle(); }
    void SetLinkStyle(TFontStyles Value);
    bool GetHotLinks() const { return HotLinks; }
    void SetHotLinks(bool Value) { HotLinks = Value; }
    bool GetAutoHeight() const { return AutoHeight; }
    void SetAutoHeight(bool Value);
    int32_t GetMarginWidth() const { return MarginWidth; }
    void SetMarginWidth(int32_t Value);
    int32_t GetMarginHeight() const { return MarginHeight; }
    void SetMarginHeight(int32_t Value);

    // The layout rectangle: the client area without the margins (the bottom keeps none).
    const TRect& GetTextRect() const { return TextRect; }
    // The parsed caption; its string nodes hold where the last paint put each line.
    const TNodeTree* GetNodeTree() const { return NodeTree.get(); }

    TNotifyEvent OnCaptionChanged;
    TLinkClickEvent OnLinkClick;
    TDynamicTagInitEvent OnDynamicTagInit;

protected:
    // The parser and the renderer the control works with. The constructor runs before a
    // subclass exists and so always takes these defaults: a subclass that overrides either
    // must call ReplaceParts from its own constructor, or its parts are never used.
    virtual IParserRef CreateParser();
    virtual IRendererRef CreateRenderer();
    virtual void NotifyCaptionChanged();
    virtual void NotifyLinkClick(int32_t LinkNumber, const std::string& LinkText);
    virtual void RequestDynamicSource(std::string& Source, int32_t Number);
    // Makes the parser and renderer again through CreateParser and CreateRenderer; a
    // subclass that supplies its own calls this from its constructor. Link colours and
    // style are kept; the current caption stays parsed by the old parser until it changes.
    void ReplaceParts();

    void ProvideSource(std::string& Source, TDynamicNode* Node) override;

private:
    void Resize();
    void Repaint();
    void SyncRootStyle();
    void ResetWordWidths();
    bool ClickedLinkActive() const;
    void ActivateLinkAt(const TPoint& P, TLinkState NewState);
    void DeactivateLink();
    void RedrawLink(TLinkNode& Node);
    bool IsOverLink(const TPoint& P) const;

    ILinkLabelHost* Host;
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Width = 0;
    int32_t Height = 0;
    TAlign Align = alNone;
    TFont Font;
    TColor Color = clBtnFace;
    TCursor Cursor = crDefault;
    bool Opaque = false;

    std::string Caption;
    std::vector<std::string> Text;
    IRendererRef Renderer;
    TLinkNode* ActiveLinkNode = nullptr;
    bool HotLinks = false;
    TRect TextRect;
    bool AutoHeight = false;
    int32_t MarginWidth = 0;
    int32_t MarginHeight = 0;
    TCursor SavedCursor = crDefault;
    IParserRef Parser;
    std::unique_ptr<TNodeTree> NodeTree;
};

// The label as forms create it.
class TLinkLabel : public TCustomLinkLabel {
public:
    using TCustomLinkLabel::TCustomLinkLabel;
};

} // namespace qe
