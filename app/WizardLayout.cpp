#include "app/WizardLayout.h"

#include <array>

#include "app/ControlIds.h"
#include "app/resources/PictureIds.h"

namespace qe {
namespace {

using K = TControlKind;
using T = TText;
using F = TFontRole;
using B = TBackground;
constexpr auto Band = TPageDecoration::HeaderBand;

// The picture at the right of a page's header band.
constexpr TLayoutItem HeaderPicture(int Id, int Page, int Icon)
{
    return {Id, Page, K::Picture, 456, 9, 48, 48, {}, F::Window, B::White, TPageDecoration::None, Icon};
}

// A subtitle has room for a second line, which some languages need, above the header
// band's edge; the folder button for the longest of its captions. Where the instruction
// ends, the page's content begins: each instruction's height leaves room for as many lines
// as it wraps to at 433 pixels.
const auto Layout = std::to_array<TLayoutItem>({
    // Pages, in the order they lie from the bottom up.
    {IDC_PANELSTART, 0, K::Page, 0, 0, 513, 320, {}, F::Window, B::White},
    {IDC_PANELINSTALL, IDC_PANELSTART, K::SubPage, 161, 8, 343, 305, {}, F::Window, B::White},
    {IDC_PANELFINISH, IDC_PANELSTART, K::SubPage, 161, 8, 343, 305, {}, F::Window, B::White},
    {IDC_PANELINFO, 0, K::Page, 0, 0, 513, 320, {}, F::Window, B::Face, Band},
    {IDC_PANELLICENSE, 0, K::Page, 0, 0, 513, 320, {}, F::Window, B::Face, Band},
    {IDC_PANELFOLDER, 0, K::Page, 0, 0, 513, 320, {}, F::Window, B::Face, Band},
    {IDC_PANELREADY, 0, K::Page, 0, 0, 513, 320, {}, F::Window, B::Face, Band},
    {IDC_PANELPROGRESS, 0, K::Page, 0, 0, 513, 320, {}, F::Window, B::Face, Band},
    {IDC_PANELNEWS, 0, K::Page, 0, 0, 513, 320, {}, F::Window, B::Face, Band},

    // Start page: the banner on black, the welcome and the finish contents.
    {IDC_IMGBANNER, IDC_PANELSTART, K::Picture, 0, 0, 160, 320, {}, F::Window, B::Black},
    {IDC_LABELSTART1, IDC_PANELINSTALL, K::Label, 16, 24, 321, 73, {}, F::Headline, B::White},
    {IDC_LABELSTART2, IDC_PANELINSTALL, K::LinkLabel, 16, 104, 313, 169, {}, F::Window, B::White},
    {IDC_LABELFINISH1, IDC_PANELFINISH, K::Label, 16, 24, 321, 33, T::InstallFinishHeading, F::Headline, B::White},
    {IDC_LABELFINISH2, IDC_PANELFINISH, K::LinkLabel, 16, 64, 313, 65, {}, F::Window, B::White},
    {IDC_CHECKRUN, IDC_PANELFINISH, K::CheckBox, 16, 136, 305, 17, T::RunAfterInstall, F::Window, B::White},
    {IDC_COMBORUN, IDC_PANELFINISH, K::ComboBox, 32, 168, 273, 17, {}, F::Names, B::White},

    // Information.
    {IDC_LABELINFO1, IDC_PANELINFO, K::Label, 24, 18, 409, 19, T::InfoTitle, F::Title, B::White},
    {IDC_LABELINFO2, IDC_PANELINFO, K::Label, 24, 38, 417, 26, T::InfoSubtitle, F::Window, B::White},
    HeaderPicture(IDC_IMGINFO, IDC_PANELINFO, ICON_PAGE_INFO),
    {IDC_LABELINFO3, IDC_PANELINFO, K::Label, 40, 80, 433, 16, T::InfoInstruction},
    {IDC_RICHINFO, IDC_PANELINFO, K::RichText, 40, 100, 433, 202, {}},

    // Licence.
    {IDC_LABELLICENSE1, IDC_PANELLICENSE, K::Label, 24, 18, 409, 19, T::LicenseTitle, F::Title, B::White},
    {IDC_LABELLICENSE2, IDC_PANELLICENSE, K::Label, 24, 38, 417, 26, T::LicenseSubtitle, F::Window, B::White},
    HeaderPicture(IDC_IMGLICENSE, IDC_PANELLICENSE, ICON_PAGE_LICENSE),
    {IDC_LABELLICENSE3, IDC_PANELLICENSE, K::Label, 40, 80, 433, 32, T::LicenseInstruction},
    {IDC_RICHLICENSE, IDC_PANELLICENSE, K::RichText, 40, 116, 433, 149, {}},
    {IDC_RADIOACCEPT, IDC_PANELLICENSE, K::RadioButton, 40, 274, 433, 17, T::LicenseAccept},
    {IDC_RADIONOTACCEPT, IDC_PANELLICENSE, K::RadioButton, 40, 292, 433, 17, T::LicenseDecline},

    // Destination folders.
    {IDC_LABELFOLDER1, IDC_PANELFOLDER, K::Label, 24, 18, 409, 19, T::FolderTitle, F::Title, B::White},
    {IDC_LABELFOLDER2, IDC_PANELFOLDER, K::Label, 24, 38, 417, 26, T::FolderSubtitle, F::Window, B::White},
    HeaderPicture(IDC_IMGFOLDER, IDC_PANELFOLDER, ICON_PAGE_FOLDER),
    {IDC_LABELFOLDER3, IDC_PANELFOLDER, K::Label, 40, 80, 433, 44, T::FolderInstruction},
    {IDC_LISTMETATRADER, IDC_PANELFOLDER, K::CheckList, 40, 128, 433, 145, {}, F::Names},
    {IDC_BTNADDMETATRADER, IDC_PANELFOLDER, K::FlatButton, 40, 280, 240, 28, T::FolderAdd, F::Window, B::Face,
     TPageDecoration::None, ICON_ADD_FOLDER},

    // Ready to install.
    {IDC_LABELREADY1, IDC_PANELREADY, K::Label, 24, 18, 409, 19, T::ReadyTitle, F::Title, B::White},
    {IDC_LABELREADY2, IDC_PANELREADY, K::Label, 24, 38, 417, 26, T::ReadySubtitle, F::Window, B::White},
    HeaderPicture(IDC_IMGREADY, IDC_PANELREADY, ICON_PAGE_READY),
    {IDC_LABELREADY3, IDC_PANELREADY, K::Label, 40, 80, 433, 32, T::ReadyInstruction},
    {IDC_MEMOREADY, IDC_PANELREADY, K::Memo, 40, 116, 433, 187, {}, F::Names},

    // Progress.
    {IDC_LABELPROGRESS1, IDC_PANELPROGRESS, K::Label, 24, 18, 409, 19, T::InstallProgressTitle, F::Title, B::White},
    {IDC_LABELPROGRESS2, IDC_PANELPROGRESS, K::Label, 24, 38, 417, 26, T::InstallProgressSubtitle, F::Window, B::White},
    HeaderPicture(IDC_IMGPROGRESS, IDC_PANELPROGRESS, ICON_PAGE_PROGRESS),
    {IDC_LABELPROGRESS3, IDC_PANELPROGRESS, K::Label, 40, 80, 433, 20, T::InstallProgressLabel},
    {IDC_PROGRESSBAR1, IDC_PANELPROGRESS, K::ProgressBar, 40, 104, 433, 17, {}},
    {IDC_MEMOPROGRESS, IDC_PANELPROGRESS, K::LogMemo, 40, 136, 433, 167, {}, F::Names, B::White},

    // What's new.
    {IDC_LABELNEWS1, IDC_PANELNEWS, K::Label, 24, 18, 409, 19, T::NewsTitle, F::Title, B::White},
    {IDC_LABELNEWS2, IDC_PANELNEWS, K::Label, 24, 38, 417, 26, T::NewsSubtitle, F::Window, B::White},
    HeaderPicture(IDC_IMGNEWS, IDC_PANELNEWS, ICON_PAGE_NEWS),
    {IDC_LABELNEWS3, IDC_PANELNEWS, K::Label, 40, 80, 433, 16, T::NewsInstruction},
    {IDC_RICHNEWS, IDC_PANELNEWS, K::RichText, 40, 100, 433, 202, {}},

    // The button bar: the bottom 48 pixels.
    {IDC_BTNPREV, 0, K::Button, 255, 333, 75, 25, T::ButtonPrev},
    {IDC_BTNNEXT, 0, K::Button, 335, 333, 75, 25, T::ButtonNext},
    {IDC_BTNCANCEL, 0, K::Button, 423, 333, 75, 25, T::ButtonCancel},
});

} // namespace

std::span<const TLayoutItem> WizardLayout()
{
    return Layout;
}

const TLayoutItem* FindLayoutItem(int Id)
{
    for (const TLayoutItem& Item : Layout)
        if (Item.Id == Id)
            return &Item;
    return nullptr;
}

std::string FixedCaption(const TLayoutItem& Item, const TTextTable& Texts)
{
    if (!Item.Caption)
        return {};
    return (Item.Kind == TControlKind::FlatButton ? " " : "") + Texts.Format(*Item.Caption);
}

TDesignRect ClientRect(const TLayoutItem& Item)
{
    TDesignRect Rect{Item.X, Item.Y, Item.Width, Item.Height};
    for (const TLayoutItem* Parent = FindLayoutItem(Item.Parent); Parent; Parent = FindLayoutItem(Parent->Parent)) {
        Rect.X += Parent->X;
        Rect.Y += Parent->Y;
    }
    return Rect;
}

} // namespace qe
