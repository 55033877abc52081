// The wizard window's controls under Wine: each found by its id on the window, read and set
// with the controls' standard messages as a driver does, and shown only with its page.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "app/ControlIds.h"
#include "app/WizardLayout.h"
#include "app/win32/CommonControls.h"
#include "app/win32/WizardWindow.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32Text.h"

namespace qe::win32 {
namespace {

bool Shown(const IControl* Control)
{
    const auto* Child = dynamic_cast<const TChildWindow*>(Control);
    return Child && (GetWindowLongPtrW(Child->Handle(), GWL_STYLE) & WS_VISIBLE) != 0;
}

std::string MessageText(HWND Window)
{
    wchar_t Text[1024] = {};
    SendMessageW(Window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(Text));
    return Utf8(Text);
}

class Win32Controls : public testing::Test {
protected:
    static void SetUpTestSuite() { LoadCommonControls(); }
    TWin32Platform Windows;
    TSetupLog Log{Windows.Platform()};
    TWizardWindow Wizard{Windows.Platform(), TCommandLine{}, Log};
    const TWizardControls& C = Wizard.Controls();
    HWND Item(int Id) const { return GetDlgItem(Wizard.Handle(), Id); }
};

TEST_F(Win32Controls, EveryControlOfTheLayoutIsAChildWithItsId)
{
    for (const TLayoutItem& Layout : WizardLayout()) {
        HWND Control = Item(Layout.Id);
        ASSERT_NE(Control, nullptr) << Layout.Id;
        EXPECT_EQ(GetParent(Control), Wizard.Handle());
    }
    EXPECT_EQ(MessageText(Item(IDC_LABELLICENSE1)), "License Agreement");
    EXPECT_EQ(MessageText(Item(IDC_BTNNEXT)), "Next >>");
}

TEST_F(Win32Controls, CheckListItemsAndMarksAreReadAndSetWithListBoxMessages)
{
    HWND List = Item(IDC_LISTMETATRADER);
    C.ListMetaTrader->Add("C:\\Program Files\\MetaTrader 4", true);
    C.ListMetaTrader->Add("C:\\Program Files\\Broker MT4", false);
    ASSERT_EQ(SendMessageW(List, LB_GETCOUNT, 0, 0), 2);
    wchar_t Text[MAX_PATH] = {};
    SendMessageW(List, LB_GETTEXT, 1, reinterpret_cast<LPARAM>(Text));
    EXPECT_EQ(Utf8(Text), "C:\\Program Files\\Broker MT4");
    EXPECT_EQ(SendMessageW(List, LB_GETITEMDATA, 0, 0), 1);
    EXPECT_EQ(SendMessageW(List, LB_GETITEMDATA, 1, 0), 0);

    SendMessageW(List, LB_SETITEMDATA, 0, 0);
    EXPECT_FALSE(C.ListMetaTrader->Checked(0));
    C.ListMetaTrader->SetChecked(1, true);
    EXPECT_EQ(SendMessageW(List, LB_GETITEMDATA, 1, 0), 1);
    EXPECT_THROW(C.ListMetaTrader->Checked(2), std::exception);

    // The space bar toggles the selected item; a click on an item's check box toggles it.
    SendMessageW(List, LB_SETCURSEL, 1, 0);
    SendMessageW(List, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_FALSE(C.ListMetaTrader->Checked(1));
    RECT First{};
    SendMessageW(List, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&First));
    const LPARAM OnCheckBox = MAKELPARAM(First.left + 3, (First.top + First.bottom) / 2);
    SendMessageW(List, WM_LBUTTONDOWN, MK_LBUTTON, OnCheckBox);
    SendMessageW(List, WM_LBUTTONUP, 0, OnCheckBox);
    EXPECT_TRUE(C.ListMetaTrader->Checked(0));
    const LPARAM OnText = MAKELPARAM(First.right - 3, (First.top + First.bottom) / 2);
    SendMessageW(List, WM_LBUTTONDOWN, MK_LBUTTON, OnText);
    SendMessageW(List, WM_LBUTTONUP, 0, OnText);
    EXPECT_TRUE(C.ListMetaTrader->Checked(0));

    C.ListMetaTrader->Clear();
    EXPECT_EQ(C.ListMetaTrader->Count(), 0);
}

TEST_F(Win32Controls, MemoKeepsItsLinesEmptyOnesIncluded)
{
    C.MemoReady->SetLines({"Program Name", "        Demo v1.0", "", "Target Folder(s)", ""});
    EXPECT_EQ(C.MemoReady->Lines(),
              (std::vector<std::string>{"Program Name", "        Demo v1.0", "", "Target Folder(s)", ""}));
    EXPECT_EQ(MessageText(Item(IDC_MEMOREADY)), "Program Name\r\n        Demo v1.0\r\n\r\nTarget Folder(s)\r\n");

    EXPECT_TRUE(C.MemoProgress->Lines().empty());
    C.MemoProgress->AddLine("Creating folder C:\\Demo ...");
    C.MemoProgress->AddLine("Done.");
    EXPECT_EQ(C.MemoProgress->Lines(), (std::vector<std::string>{"Creating folder C:\\Demo ...", "Done."}));
}

TEST_F(Win32Controls, ProgressLinesWrapWholeAndTheLastStaysInView)
{
    C.PanelProgress->BringToFront();
    ShowWindow(Wizard.Handle(), SW_SHOWNOACTIVATE);
    HWND Memo = Item(IDC_MEMOPROGRESS);
    const std::string Long = "Creating shortcut C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Grid "
                             "Expert\\What's New.lnk ...";
    for (int I = 0; I < 40; ++I)
        C.MemoProgress->AddLine(std::to_string(I) + " " + Long);
    C.MemoProgress->AddLine("Done.");
    EXPECT_EQ(C.MemoProgress->Lines().size(), 41u);
    // Each long line takes more than one row, and no row reaches past the right edge.
    const auto Rows = static_cast<int>(SendMessageW(Memo, EM_GETLINECOUNT, 0, 0));
    EXPECT_GT(Rows, 80);
    RECT Client{};
    GetClientRect(Memo, &Client);
    for (int Row = 0; Row < Rows; ++Row) {
        const LRESULT Start = SendMessageW(Memo, EM_LINEINDEX, static_cast<WPARAM>(Row), 0);
        const LRESULT Length = SendMessageW(Memo, EM_LINELENGTH, static_cast<WPARAM>(Start), 0);
        if (Length == 0)
            continue;
        const LRESULT Last = SendMessageW(Memo, EM_POSFROMCHAR, static_cast<WPARAM>(Start + Length - 1), 0);
        EXPECT_LT(static_cast<short>(LOWORD(Last)), Client.right) << "row " << Row;
    }
    // The last line, "Done.", shows at the bottom.
    const int TextLength = GetWindowTextLengthW(Memo);
    const LRESULT End = SendMessageW(Memo, EM_POSFROMCHAR, static_cast<WPARAM>(TextLength - 1), 0);
    EXPECT_GE(static_cast<short>(HIWORD(End)), 0);
    EXPECT_LT(static_cast<short>(HIWORD(End)), Client.bottom);
    EXPECT_GT(SendMessageW(Memo, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
}

TEST_F(Win32Controls, RichTextLoadsRtfRefusesOtherTextAsRtfAndTakesItAsPlainText)
{
    EXPECT_TRUE(C.RichInfo->LoadRtf("{\\rtf1\\ansi {\\b Grid Expert} 2.5\\par}"));
    EXPECT_EQ(C.RichInfo->PlainText().substr(0, 15), "Grid Expert 2.5");
    EXPECT_FALSE(C.RichInfo->LoadRtf("Just text, no RTF."));
    EXPECT_EQ(C.RichInfo->PlainText().substr(0, 15), "Grid Expert 2.5");
    EXPECT_TRUE(C.RichInfo->LoadPlainText("Just text, no RTF."));
    EXPECT_EQ(C.RichInfo->PlainText(), "Just text, no RTF.");
    EXPECT_EQ(MessageText(Item(IDC_RICHINFO)), "Just text, no RTF.");
}

TEST_F(Win32Controls, ProgressBarShowsPositionsOutsideItsRangeAtTheNearestEnd)
{
    C.ProgressBar1->SetPosition(40);
    EXPECT_EQ(SendMessageW(Item(IDC_PROGRESSBAR1), PBM_GETPOS, 0, 0), 40);
    C.ProgressBar1->SetPosition(101);
    EXPECT_EQ(C.ProgressBar1->Position(), 100);
    C.ProgressBar1->SetPosition(-1);
    EXPECT_EQ(C.ProgressBar1->Position(), 0);
}

TEST_F(Win32Controls, TheLicenceRadioButtonsAreOneGroupStartingUnaccepted)
{
    EXPECT_TRUE(C.RadioNotAccept->Checked());
    EXPECT_FALSE(C.RadioAccept->Checked());
    C.RadioAccept->SetChecked(true);
    EXPECT_FALSE(C.RadioNotAccept->Checked());
    // A click unchecks the other buttons of the group that show.
    C.PanelLicense->BringToFront();
    ShowWindow(Wizard.Handle(), SW_SHOWNOACTIVATE);
    SendMessageW(Item(IDC_RADIONOTACCEPT), BM_CLICK, 0, 0);
    EXPECT_EQ(SendMessageW(Item(IDC_RADIOACCEPT), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_TRUE(C.RadioNotAccept->Checked());
}

TEST_F(Win32Controls, ComboBoxTextIsTheSelectedItemsOrEmpty)
{
    EXPECT_EQ(C.ComboRun->Text(), "");
    C.ComboRun->Add("C:\\Program Files\\MetaTrader 4");
    EXPECT_EQ(C.ComboRun->ItemIndex(), -1);
    EXPECT_EQ(C.ComboRun->Text(), "");
    C.ComboRun->SetItemIndex(0);
    EXPECT_EQ(C.ComboRun->Text(), "C:\\Program Files\\MetaTrader 4");
    EXPECT_EQ(SendMessageW(Item(IDC_COMBORUN), CB_GETCURSEL, 0, 0), 0);
}

TEST_F(Win32Controls, OnlyThePageInFrontAndItsControlsShow)
{
    C.PanelStart->BringToFront();
    C.PanelInstall->BringToFront();
    EXPECT_TRUE(Shown(C.LabelStart1));
    EXPECT_TRUE(Shown(C.ImgBanner));
    EXPECT_FALSE(Shown(C.LabelFinish1));
    EXPECT_FALSE(Shown(C.RichInfo));

    C.CheckRun->SetVisible(false);
    C.PanelFinish->BringToFront();
    EXPECT_FALSE(Shown(C.LabelStart1));
    EXPECT_TRUE(Shown(C.LabelFinish1));
    EXPECT_FALSE(Shown(C.CheckRun));
    EXPECT_FALSE(C.CheckRun->Visible());

    C.PanelInfo->BringToFront();
    EXPECT_TRUE(Shown(C.PanelInfo));
    EXPECT_TRUE(Shown(C.RichInfo));
    EXPECT_FALSE(Shown(C.PanelStart));
    EXPECT_FALSE(Shown(C.LabelFinish1));
    EXPECT_FALSE(Shown(C.ImgBanner));
    // The button bar belongs to no page.
    EXPECT_TRUE(Shown(C.BtnNext));

    C.PanelStart->BringToFront();
    EXPECT_TRUE(Shown(C.LabelFinish1));
    C.CheckRun->SetVisible(true);
    EXPECT_TRUE(Shown(C.CheckRun));
}

// What the banner control draws, in a bitmap of its size: the colour of each pixel.
class TDrawnImage {
public:
    explicit TDrawnImage(IImage* Image) : FControl(dynamic_cast<TChildWindow*>(Image))
    {
        RECT Rect{};
        GetClientRect(FControl->Handle(), &Rect);
        FSize = SIZE{Rect.right, Rect.bottom};
        HDC Screen = GetDC(nullptr);
        FDC = CreateCompatibleDC(Screen);
        FBitmap = CreateCompatibleBitmap(Screen, FSize.cx, FSize.cy);
        ReleaseDC(nullptr, Screen);
        FOld = SelectObject(FDC, FBitmap);
        DRAWITEMSTRUCT Draw{};
        Draw.CtlType = ODT_STATIC;
        Draw.hwndItem = FControl->Handle();
        Draw.hDC = FDC;
        Draw.rcItem = Rect;
        FControl->DrawItem(Draw);
    }
    ~TDrawnImage()
    {
        SelectObject(FDC, FOld);
        DeleteObject(FBitmap);
        DeleteDC(FDC);
    }
    SIZE Size() const { return FSize; }
    COLORREF At(int X, int Y) const { return GetPixel(FDC, X, Y); }
    // How many pixels of the rectangle have the colour.
    int Count(COLORREF Color, const RECT& Where) const
    {
        int N = 0;
        for (int Y = Where.top; Y < Where.bottom; ++Y)
            for (int X = Where.left; X < Where.right; ++X)
                N += At(X, Y) == Color ? 1 : 0;
        return N;
    }

private:
    TChildWindow* FControl;
    SIZE FSize{};
    HDC FDC = nullptr;
    HBITMAP FBitmap = nullptr;
    HGDIOBJ FOld = nullptr;
};

TEST_F(Win32Controls, ABannerlessProductGetsAPanelInTheSystemsColoursWithItsName)
{
    // Before the product is loaded the banner's area is the layout's black.
    EXPECT_EQ(TDrawnImage(C.ImgBanner).At(80, 160), RGB(0, 0, 0));

    C.ImgBanner->SetTitlePanel("Bare Tool");
    const TDrawnImage Panel(C.ImgBanner);
    const COLORREF Face = GetSysColor(COLOR_ACTIVECAPTION);
    const COLORREF Ink = GetSysColor(COLOR_CAPTIONTEXT);
    ASSERT_NE(Face, Ink);
    const SIZE Size = Panel.Size();
    EXPECT_EQ(Panel.At(0, 0), Face);
    EXPECT_EQ(Panel.At(Size.cx - 1, Size.cy / 2), Face);
    // The name in the upper part, nothing written in the middle, the icon in the lower left.
    EXPECT_GT(Panel.Count(Ink, RECT{0, 0, Size.cx, Size.cy / 4}), 50);
    EXPECT_EQ(Panel.Count(Ink, RECT{0, Size.cy * 2 / 5, Size.cx, Size.cy * 3 / 5}), 0);
    EXPECT_LT(Panel.Count(Face, RECT{0, Size.cy - 64, 64, Size.cy}), 64 * 64 - 200);

    // A name longer than the panel is wide wraps, and its words stay inside the panel.
    C.ImgBanner->SetTitlePanel("Grid Expert Advisor Professional Edition With A Name Far Too Long");
    const TDrawnImage Long(C.ImgBanner);
    EXPECT_GT(Long.Count(Ink, RECT{0, Size.cy / 4, Size.cx, Size.cy / 2}), 50);
    EXPECT_EQ(Long.Count(Ink, RECT{Size.cx - 8, 0, Size.cx, Size.cy}), 0);
}

TEST_F(Win32Controls, LinkLabelKeepsItsMarkupAsWindowText)
{
    C.LabelStart2->SetCaption("Made with <b>qepack</b>: <link>https://qepack.example</link>");
    EXPECT_EQ(C.LabelStart2->Caption(), "Made with <b>qepack</b>: <link>https://qepack.example</link>");
    EXPECT_EQ(MessageText(Item(IDC_LABELSTART2)), "Made with <b>qepack</b>: <link>https://qepack.example</link>");
}

} // namespace
} // namespace qe::win32
