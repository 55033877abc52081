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

namespace qe::win32 {
namespace {

bool Shown(const IControl* Control)
{
    const auto* Child = dynamic_cast<const TChildWindow*>(Control);
    return Child && (GetWindowLongPtrA(Child->Handle(), GWL_STYLE) & WS_VISIBLE) != 0;
}

std::string MessageText(HWND Window)
{
    char Text[1024] = {};
    SendMessageA(Window, WM_GETTEXT, sizeof Text, reinterpret_cast<LPARAM>(Text));
    return Text;
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
    ASSERT_EQ(SendMessageA(List, LB_GETCOUNT, 0, 0), 2);
    char Text[MAX_PATH] = {};
    SendMessageA(List, LB_GETTEXT, 1, reinterpret_cast<LPARAM>(Text));
    EXPECT_STREQ(Text, "C:\\Program Files\\Broker MT4");
    EXPECT_EQ(SendMessageA(List, LB_GETITEMDATA, 0, 0), 1);
    EXPECT_EQ(SendMessageA(List, LB_GETITEMDATA, 1, 0), 0);

    SendMessageA(List, LB_SETITEMDATA, 0, 0);
    EXPECT_FALSE(C.ListMetaTrader->Checked(0));
    C.ListMetaTrader->SetChecked(1, true);
    EXPECT_EQ(SendMessageA(List, LB_GETITEMDATA, 1, 0), 1);
    EXPECT_THROW(C.ListMetaTrader->Checked(2), std::exception);

    // The space bar toggles the selected item; a click on an item's check box toggles it.
    SendMessageA(List, LB_SETCURSEL, 1, 0);
    SendMessageA(List, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_FALSE(C.ListMetaTrader->Checked(1));
    RECT First{};
    SendMessageA(List, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&First));
    const LPARAM OnCheckBox = MAKELPARAM(First.left + 3, (First.top + First.bottom) / 2);
    SendMessageA(List, WM_LBUTTONDOWN, MK_LBUTTON, OnCheckBox);
    SendMessageA(List, WM_LBUTTONUP, 0, OnCheckBox);
    EXPECT_TRUE(C.ListMetaTrader->Checked(0));
    const LPARAM OnText = MAKELPARAM(First.right - 3, (First.top + First.bottom) / 2);
    SendMessageA(List, WM_LBUTTONDOWN, MK_LBUTTON, OnText);
    SendMessageA(List, WM_LBUTTONUP, 0, OnText);
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
    EXPECT_EQ(SendMessageA(Item(IDC_PROGRESSBAR1), PBM_GETPOS, 0, 0), 40);
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
    SendMessageA(Item(IDC_RADIONOTACCEPT), BM_CLICK, 0, 0);
    EXPECT_EQ(SendMessageA(Item(IDC_RADIOACCEPT), BM_GETCHECK, 0, 0), BST_UNCHECKED);
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
    EXPECT_EQ(SendMessageA(Item(IDC_COMBORUN), CB_GETCURSEL, 0, 0), 0);
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

TEST_F(Win32Controls, LinkLabelKeepsItsMarkupAsWindowText)
{
    C.LabelStart2->SetCaption("Made with <b>qepack</b>: <link>https://qepack.example</link>");
    EXPECT_EQ(C.LabelStart2->Caption(), "Made with <b>qepack</b>: <link>https://qepack.example</link>");
    EXPECT_EQ(MessageText(Item(IDC_LABELSTART2)), "Made with <b>qepack</b>: <link>https://qepack.example</link>");
}

} // namespace
} // namespace qe::win32
