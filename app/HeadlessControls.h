// The wizard's controls without a window: each keeps what the logic sets and gives it
// back, and nothing is shown. A run with /VERYSILENT goes through the wizard's own logic
// over these, so that it takes the defaults the pages would take, without any window.
#pragma once

#include <string>
#include <vector>

#include "app/WizardControls.h"

namespace qe {

template <typename TInterface> class THeadlessControl : public TInterface {
public:
    void SetVisible(bool Visible) override { FVisible = Visible; }
    bool Visible() const override { return FVisible; }
    void SetEnabled(bool Enabled) override { FEnabled = Enabled; }
    bool Enabled() const override { return FEnabled; }

private:
    bool FVisible = true;
    bool FEnabled = true;
};

template <typename TInterface> class THeadlessCaption : public THeadlessControl<TInterface> {
public:
    void SetCaption(const std::string& Caption) override { FCaption = Caption; }
    std::string Caption() const override { return FCaption; }

private:
    std::string FCaption;
};

using THeadlessLabel = THeadlessCaption<ILabel>;
using THeadlessLinkLabel = THeadlessCaption<ILinkLabel>;

class THeadlessButton : public THeadlessCaption<IButton> {
public:
    void SetTag(int32_t Tag) override { FTag = Tag; }
    int32_t Tag() const override { return FTag; }

private:
    int32_t FTag = 0;
};

class THeadlessCheckBox : public THeadlessControl<ICheckBox> {
public:
    void SetChecked(bool Checked) override { FChecked = Checked; }
    bool Checked() const override { return FChecked; }

private:
    bool FChecked = false;
};

class THeadlessCheckList : public THeadlessControl<ICheckList> {
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

class THeadlessMemo : public THeadlessControl<IMemo> {
public:
    void SetLines(const std::vector<std::string>& Lines) override { FLines = Lines; }
    void AddLine(const std::string& Line) override { FLines.push_back(Line); }
    std::vector<std::string> Lines() const override { return FLines; }

private:
    std::vector<std::string> FLines;
};

class THeadlessProgressBar : public THeadlessControl<IProgressBar> {
public:
    void SetPosition(int32_t Position) override { FPosition = Position; }
    int32_t Position() const override { return FPosition; }

private:
    int32_t FPosition = 0;
};

class THeadlessComboBox : public THeadlessControl<IComboBox> {
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

// Takes every text: nobody reads it.
class THeadlessRichText : public THeadlessControl<IRichText> {
public:
    bool LoadRtf(const std::string& Text) override
    {
        FText = Text;
        return true;
    }
    bool LoadPlainText(const std::string& Text) override { return LoadRtf(Text); }
    std::string PlainText() const override { return FText; }

private:
    std::string FText;
};

class THeadlessImage : public THeadlessControl<IImage> {
public:
    void SetPicture(const TJpegImage&) override {}
    void SetTitlePanel(const std::string&) override {}
};

class THeadlessPanel : public THeadlessControl<IPanel> {
public:
    void BringToFront() override {}
};

// Shows no message: the logic asks for none in a run without a window.
class THeadlessWindow : public IWizardWindow {
public:
    void SetCaption(const std::string&) override {}
    void SetApplicationTitle(const std::string&) override {}
    void Repaint() override {}
    void Close() override {}
    void MessageBox(const std::string&, const std::string&, TMessageIcon) override {}
    void SetFixedTexts(const TTextTable&) override {}
};

// Points each member of Controls at the member of Set of the same name.
template <typename TSet> void WireControls(TSet& Set, TWizardControls& Controls)
{
    TWizardControls& C = Controls;
    C.Window = &Set.Window;
    C.PanelStart = &Set.PanelStart;
    C.PanelInstall = &Set.PanelInstall;
    C.PanelFinish = &Set.PanelFinish;
    C.PanelInfo = &Set.PanelInfo;
    C.PanelLicense = &Set.PanelLicense;
    C.PanelFolder = &Set.PanelFolder;
    C.PanelReady = &Set.PanelReady;
    C.PanelProgress = &Set.PanelProgress;
    C.PanelNews = &Set.PanelNews;
    C.BtnPrev = &Set.BtnPrev;
    C.BtnNext = &Set.BtnNext;
    C.BtnCancel = &Set.BtnCancel;
    C.BtnAddMetaTrader = &Set.BtnAddMetaTrader;
    C.ImgBanner = &Set.ImgBanner;
    C.LabelStart1 = &Set.LabelStart1;
    C.LabelStart2 = &Set.LabelStart2;
    C.LabelFinish1 = &Set.LabelFinish1;
    C.LabelFinish2 = &Set.LabelFinish2;
    C.CheckRun = &Set.CheckRun;
    C.ComboRun = &Set.ComboRun;
    C.RichInfo = &Set.RichInfo;
    C.RichLicense = &Set.RichLicense;
    C.RadioAccept = &Set.RadioAccept;
    C.RadioNotAccept = &Set.RadioNotAccept;
    C.ListMetaTrader = &Set.ListMetaTrader;
    C.MemoReady = &Set.MemoReady;
    C.LabelProgress1 = &Set.LabelProgress1;
    C.LabelProgress2 = &Set.LabelProgress2;
    C.LabelProgress3 = &Set.LabelProgress3;
    C.ProgressBar1 = &Set.ProgressBar1;
    C.MemoProgress = &Set.MemoProgress;
    C.RichNews = &Set.RichNews;
}

// Every control of the wizard, without a window.
struct THeadlessWizard {
    THeadlessWizard()
    {
        RadioNotAccept.SetChecked(true);
        WireControls(*this, C);
    }
    THeadlessWizard(const THeadlessWizard&) = delete;
    THeadlessWizard& operator=(const THeadlessWizard&) = delete;

    THeadlessWindow Window;
    THeadlessPanel PanelStart, PanelInstall, PanelFinish, PanelInfo, PanelLicense, PanelFolder, PanelReady,
        PanelProgress, PanelNews;
    THeadlessButton BtnPrev, BtnNext, BtnCancel, BtnAddMetaTrader;
    THeadlessImage ImgBanner;
    THeadlessLabel LabelStart1, LabelFinish1, LabelProgress1, LabelProgress2, LabelProgress3;
    THeadlessLinkLabel LabelStart2, LabelFinish2;
    THeadlessCheckBox CheckRun, RadioAccept, RadioNotAccept;
    THeadlessComboBox ComboRun;
    THeadlessRichText RichInfo, RichLicense, RichNews;
    THeadlessCheckList ListMetaTrader;
    THeadlessMemo MemoReady, MemoProgress;
    THeadlessProgressBar ProgressBar1;
    TWizardControls C;
};

} // namespace qe
