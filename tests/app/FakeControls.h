// Plain stand-ins for the wizard window's controls: each keeps what the logic set, so a
// test can read it back, and the window records what it was asked to do.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "app/WizardControls.h"
#include "package/JpegImage.h"

namespace qe::test {

template <typename TInterface> class TFakeControl : public TInterface {
public:
    void SetVisible(bool Visible) override { FVisible = Visible; }
    bool Visible() const override { return FVisible; }
    void SetEnabled(bool Enabled) override { FEnabled = Enabled; }
    bool Enabled() const override { return FEnabled; }

private:
    bool FVisible = true;
    bool FEnabled = true;
};

class TFakeLabel : public TFakeControl<ILabel> {
public:
    void SetCaption(const std::string& Caption) override { FCaption = Caption; }
    std::string Caption() const override { return FCaption; }

private:
    std::string FCaption;
};

class TFakeButton : public TFakeControl<IButton> {
public:
    void SetCaption(const std::string& Caption) override { FCaption = Caption; }
    std::string Caption() const override { return FCaption; }
    void SetTag(int32_t Tag) override { FTag = Tag; }
    int32_t Tag() const override { return FTag; }

private:
    std::string FCaption;
    int32_t FTag = 0;
};

class TFakeCheckBox : public TFakeControl<ICheckBox> {
public:
    void SetChecked(bool Checked) override { FChecked = Checked; }
    bool Checked() const override { return FChecked; }

private:
    bool FChecked = false;
};

class TFakeCheckList : public TFakeControl<ICheckList> {
public:
    void Clear() override { FItems.clear(); }
    void Add(const std::string& Text, bool Checked) override { FItems.push_back({Text, Checked}); }
    int32_t Count() const override { return static_cast<int32_t>(FItems.size()); }
    std::string Text(int32_t Index) const override { return FItems.at(static_cast<size_t>(Index)).first; }
    bool Checked(int32_t Index) const override { return FItems.at(static_cast<size_t>(Index)).second; }
    void SetChecked(int32_t Index, bool Checked) override { FItems.at(static_cast<size_t>(Index)).second = Checked; }

private:
    std::vector<std::pair<std::string, bool>> FItems;
};

class TFakeMemo : public TFakeControl<IMemo> {
public:
    void SetLines(const std::vector<std::string>& Lines) override { FLines = Lines; }
    void AddLine(const std::string& Line) override { FLines.push_back(Line); }
    std::vector<std::string> Lines() const override { return FLines; }

private:
    std::vector<std::string> FLines;
};

class TFakeProgressBar : public TFakeControl<IProgressBar> {
public:
    void SetPosition(int32_t Position) override
    {
        FPosition = Position;
        Highest = std::max(Highest, Position);
    }
    int32_t Position() const override { return FPosition; }

    int32_t Highest = 0; // the highest position ever set

private:
    int32_t FPosition = 0;
};

class TFakeComboBox : public TFakeControl<IComboBox> {
public:
    void Clear() override
    {
        FItems.clear();
        FIndex = -1;
    }
    void Add(const std::string& Text) override { FItems.push_back(Text); }
    int32_t Count() const override { return static_cast<int32_t>(FItems.size()); }
    void SetItemIndex(int32_t Index) override { FIndex = Index; }
    int32_t ItemIndex() const override { return FIndex; }
    std::string Text() const override { return FIndex < 0 ? std::string() : FItems.at(static_cast<size_t>(FIndex)); }

private:
    std::vector<std::string> FItems;
    int32_t FIndex = -1;
};

// Takes a text as RTF when it starts as RTF does, and refuses plain text only when told.
class TFakeRichText : public TFakeControl<IRichText> {
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

class TFakeImage : public TFakeControl<IImage> {
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

class TFakeLinkLabel : public TFakeControl<ILinkLabel> {
public:
    void SetCaption(const std::string& Markup) override { FCaption = Markup; }
    std::string Caption() const override { return FCaption; }

private:
    std::string FCaption;
};

// A panel among others stacked in one place: bringing it to the front shows it there.
class TFakePanel : public TFakeControl<IPanel> {
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
    }
    void SetFixedTexts(const TTextTable& Texts) override { FixedTexts = &Texts; }

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
        C.Window = &Window;
        C.PanelStart = &PanelStart;
        C.PanelInstall = &PanelInstall;
        C.PanelFinish = &PanelFinish;
        C.PanelInfo = &PanelInfo;
        C.PanelLicense = &PanelLicense;
        C.PanelFolder = &PanelFolder;
        C.PanelReady = &PanelReady;
        C.PanelProgress = &PanelProgress;
        C.PanelNews = &PanelNews;
        C.BtnPrev = &BtnPrev;
        C.BtnNext = &BtnNext;
        C.BtnCancel = &BtnCancel;
        C.BtnAddMetaTrader = &BtnAddMetaTrader;
        C.ImgBanner = &ImgBanner;
        C.LabelStart1 = &LabelStart1;
        C.LabelStart2 = &LabelStart2;
        C.LabelFinish1 = &LabelFinish1;
        C.LabelFinish2 = &LabelFinish2;
        C.CheckRun = &CheckRun;
        C.ComboRun = &ComboRun;
        C.RichInfo = &RichInfo;
        C.RichLicense = &RichLicense;
        C.RadioAccept = &RadioAccept;
        C.RadioNotAccept = &RadioNotAccept;
        C.ListMetaTrader = &ListMetaTrader;
        C.MemoReady = &MemoReady;
        C.LabelProgress1 = &LabelProgress1;
        C.LabelProgress2 = &LabelProgress2;
        C.LabelProgress3 = &LabelProgress3;
        C.ProgressBar1 = &ProgressBar1;
        C.MemoProgress = &MemoProgress;
        C.RichNews = &RichNews;
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
