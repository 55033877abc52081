// Plain stand-ins for the wizard window's controls: each keeps what the logic set, so a
// test can read it back, and the window records what it was asked to do.
#pragma once

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "app/HeadlessControls.h"
#include "package/JpegImage.h"

namespace qe::test {

// Controls that only keep their state are the wizard's own controls without a window.
using TFakeLabel = THeadlessLabel;
using TFakeButton = THeadlessButton;
using TFakeCheckBox = THeadlessCheckBox;
using TFakeCheckList = THeadlessCheckList;
using TFakeMemo = THeadlessMemo;
using TFakeComboBox = THeadlessComboBox;
using TFakeLinkLabel = THeadlessLinkLabel;

class TFakeProgressBar : public THeadlessProgressBar {
public:
    void SetPosition(int32_t Position) override
    {
        THeadlessProgressBar::SetPosition(Position);
        Highest = std::max(Highest, Position);
    }

    int32_t Highest = 0; // the highest position ever set
};

// Takes a text as RTF when it starts as RTF does, and refuses plain text only when told.
class TFakeRichText : public THeadlessControl<IRichText> {
public:
    bool LoadRtf(const std::string& Text) override
    {
        if (Text.rfind("{\\rtf", 0) != 0)
            return false;
        FText = Text;
        FFormat = "rtf";
        return true;
    }
    bool LoadPlainText(const std::string& Text) override
    {
        if (RefusePlainText)
            return false;
        FText = Text;
        FFormat = "plain";
        return true;
    }
    std::string PlainText() const override { return FText; }
    const std::string& Format() const { return FFormat; }

    bool RefusePlainText = false;

private:
    std::string FText;
    std::string FFormat; // how the text was last loaded: "rtf", "plain" or "" (never)
};

class TFakeImage : public THeadlessControl<IImage> {
public:
    void SetPicture(const TJpegImage& Picture) override
    {
        FPicture = Picture.Bytes();
        FTitle.clear();
    }
    void SetTitlePanel(const std::string& Title) override
    {
        FTitle = Title;
        FPicture.clear();
    }
    // The JPEG bytes shown; empty while the area shows no picture.
    const std::string& Picture() const { return FPicture; }
    // The title on the plain panel shown in place of a picture; empty while there is none.
    const std::string& Title() const { return FTitle; }

private:
    std::string FPicture;
    std::string FTitle;
};

// A panel among others stacked in one place: bringing it to the front shows it there.
class TFakePanel : public THeadlessControl<IPanel> {
public:
    TFakePanel(IPanel*& Front) : FFront(Front) {}
    void BringToFront() override { FFront = this; }
    bool InFront() const { return FFront == this; }

private:
    IPanel*& FFront;
};

struct TMessage {
    std::string Text;
    std::string Caption;
    TMessageIcon Icon;
};

class TFakeWindow : public IWizardWindow {
public:
    void SetCaption(const std::string& Caption) override { this->Caption = Caption; }
    void SetApplicationTitle(const std::string& Title) override { ApplicationTitle = Title; }
    void Repaint() override { ++Repaints; }
    void Close() override { Closed = true; }
    void MessageBox(const std::string& Text, const std::string& Caption, TMessageIcon Icon) override
    {
        Messages.push_back({Text, Caption, Icon});
        if (OnMessageBox)
            OnMessageBox();
    }
    void SetFixedTexts(const TTextTable& Texts) override { FixedTexts = &Texts; }

    // What the user does before answering a box.
    std::function<void()> OnMessageBox;
    std::string Caption;
    std::string ApplicationTitle;
    int Repaints = 0;
    bool Closed = false;
    std::vector<TMessage> Messages;
    const TTextTable* FixedTexts = nullptr;
};

// Every control of the wizard window, wired into TWizardControls as the real window
// wires its own.
struct TFakeWizard {
    TFakeWizard()
    {
        RadioNotAccept.SetChecked(true);
        WireControls(*this, C);
    }
    TFakeWizard(const TFakeWizard&) = delete;
    TFakeWizard& operator=(const TFakeWizard&) = delete;

    // Selects one of the two licence radio buttons as a click does, then reports the click.
    void SelectAccept(bool Accept)
    {
        RadioAccept.SetChecked(Accept);
        RadioNotAccept.SetChecked(!Accept);
    }

    IPanel* PageInFront = nullptr;
    IPanel* ContentInFront = nullptr;
    TFakeWindow Window;
    TFakePanel PanelStart{PageInFront}, PanelInfo{PageInFront}, PanelLicense{PageInFront}, PanelFolder{PageInFront},
        PanelReady{PageInFront}, PanelProgress{PageInFront}, PanelNews{PageInFront};
    TFakePanel PanelInstall{ContentInFront}, PanelFinish{ContentInFront};
    TFakeButton BtnPrev, BtnNext, BtnCancel, BtnAddMetaTrader;
    TFakeImage ImgBanner;
    TFakeLabel LabelStart1, LabelFinish1, LabelProgress1, LabelProgress2, LabelProgress3;
    TFakeLinkLabel LabelStart2, LabelFinish2;
    TFakeCheckBox CheckRun, RadioAccept, RadioNotAccept;
    TFakeComboBox ComboRun;
    TFakeRichText RichInfo, RichLicense, RichNews;
    TFakeCheckList ListMetaTrader;
    TFakeMemo MemoReady, MemoProgress;
    TFakeProgressBar ProgressBar1;
    TWizardControls C;
};

} // namespace qe::test
