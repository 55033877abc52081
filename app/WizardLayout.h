// The wizard window's layout: every page and control with its place and size in pixels at
// 96 dpi (the window's design numbers), its fixed caption, font and background. The Windows
// program creates the controls from this table and scales the numbers by the window's DPI.
#pragma once

#include <optional>
#include <span>
#include <string>

#include "language/TextTable.h"

namespace qe {

// The client area at 96 dpi.
constexpr int WizardClientWidth = 513;
constexpr int WizardClientHeight = 368;
// The page area above the button bar, and the header band's height on a page.
constexpr int PageAreaHeight = 320;
constexpr int HeaderBandHeight = 68;
// The fixed item height of the check list and of the drop-down list.
constexpr int ListItemHeight = 17;

enum class TControlKind {
    Page,       // a page filling the page area, lying under its controls
    SubPage,    // one of the two contents stacked on the start page
    Label,      // static text, wrapping at its width
    Button,     // push button
    FlatButton, // flat push button with a 16 x 16 glyph before its caption
    CheckBox,
    RadioButton,
    CheckList,   // list of folders with check marks, fixed item height
    Memo,        // read-only multi-line text without word wrap
    LogMemo,     // read-only lines added one by one: a long line wraps, the last line stays in view
    ProgressBar, // 0 to 100
    ComboBox,    // drop-down list, fixed item height
    RichText,    // read-only rich text
    Picture,     // a picture centred on its background (the banner, a page's header picture)
    LinkLabel,   // markup label
};

enum class TFontRole {
    Window,   // "MS Sans Serif", 8 points (11 pixels at 96 dpi)
    Title,    // "Arial" bold, 16 pixels, the page titles
    Headline, // "Arial", 21 pixels, the start page's headings
    Banner,   // "Arial" bold, 21 pixels, the product's name where a package has no banner
    // The shell's dialog font, 8 points, whatever the language: the lists of folders and
    // of steps, whose names may be in any script.
    Names,
};

enum class TBackground {
    Face,  // the button face colour
    White, // the start page and the header band
    Black, // the banner's area
};

// A page paints the white header band with its bevel (all but the start page).
enum class TPageDecoration { None, HeaderBand };

struct TLayoutItem {
    int Id;
    // The page or sub-page the control lies on; 0 for the button bar, which belongs to the
    // window itself. X and Y are relative to that page.
    int Parent;
    TControlKind Kind;
    int X, Y, Width, Height;
    // The fixed caption, in the wizard's language; none for a control whose text the
    // wizard sets as it runs.
    std::optional<TText> Caption;
    TFontRole Font = TFontRole::Window;
    TBackground Background = TBackground::Face;
    TPageDecoration Decoration = TPageDecoration::None;
    // The resource id of a header picture or of a flat button's glyph; 0 for none.
    int Icon = 0;
};

// Every control of the window in creation order: pages first, then their controls, then
// the button bar.
std::span<const TLayoutItem> WizardLayout();

// The item with this control id; null when there is none.
const TLayoutItem* FindLayoutItem(int Id);

// The item's fixed caption in the language of Texts; empty when it has none. The flat
// button's caption starts with a blank that keeps it off the glyph.
std::string FixedCaption(const TLayoutItem& Item, const TTextTable& Texts);

// The item's place relative to the window's client area at 96 dpi.
struct TDesignRect {
    int X, Y, Width, Height;
};
TDesignRect ClientRect(const TLayoutItem& Item);

} // namespace qe
