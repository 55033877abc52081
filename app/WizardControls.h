// The controls of the wizard window as its logic sees them. The logic (TFormInstaller) is
// portable and works only through these small interfaces: the Windows program implements
// them with real Win32 controls, the host tests with plain objects they can inspect.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qe {

class TJpegImage;
class TTextTable;

class IControl {
public:
    virtual ~IControl() = default;
    virtual void SetVisible(bool Visible) = 0;
    virtual bool Visible() const = 0;
    virtual void SetEnabled(bool Enabled) = 0;
    virtual bool Enabled() const = 0;
};

// A static text (labels, page titles, subtitles, instructions).
class ILabel : public IControl {
public:
    virtual void SetCaption(const std::string& Caption) = 0;
    virtual std::string Caption() const = 0;
};

// A push button; Tag is the integer a button can carry (BtnCancel's mode).
class IButton : public IControl {
public:
    virtual void SetCaption(const std::string& Caption) = 0;
    virtual std::string Caption() const = 0;
    virtual void SetTag(int32_t Tag) = 0;
    virtual int32_t Tag() const = 0;
};

// A check box or a radio button.
class ICheckBox : public IControl {
public:
    virtual void SetChecked(bool Checked) = 0;
    virtual bool Checked() const = 0;
};

// A list of texts, each with a check mark.
class ICheckList : public IControl {
public:
    virtual void Clear() = 0;
    virtual void Add(const std::string& Text, bool Checked) = 0;
    virtual int32_t Count() const = 0;
    virtual std::string Text(int32_t Index) const = 0;
    virtual bool Checked(int32_t Index) const = 0;
    virtual void SetChecked(int32_t Index, bool Checked) = 0;
};

// A read-only multi-line text. SetLines replaces the whole text in one update.
class IMemo : public IControl {
public:
    virtual void SetLines(const std::vector<std::string>& Lines) = 0;
    virtual void AddLine(const std::string& Line) = 0;
    virtual std::vector<std::string> Lines() const = 0;
};

// A horizontal bar from 0 to 100; positions outside that range show as the nearest end.
class IProgressBar : public IControl {
public:
    virtual void SetPosition(int32_t Position) = 0;
    virtual int32_t Position() const = 0;
};

// A drop-down list the user can only pick from.
class IComboBox : public IControl {
public:
    virtual void Clear() = 0;
    virtual void Add(const std::string& Text) = 0;
    virtual int32_t Count() const = 0;
    // -1 selects nothing.
    virtual void SetItemIndex(int32_t Index) = 0;
    virtual int32_t ItemIndex() const = 0;
    // The selected item's text; empty when nothing is selected.
    virtual std::string Text() const = 0;
};

// A read-only rich text view.
class IRichText : public IControl {
public:
    // Loads Text as RTF; false (and the content unchanged) when Text is not valid RTF.
    virtual bool LoadRtf(const std::string& Text) = 0;
    // Loads Text as plain text; false when even that fails.
    virtual bool LoadPlainText(const std::string& Text) = 0;
    virtual std::string PlainText() const = 0;
};

// The banner: shows a copy of a picture, or nothing (black) for an empty one.
class IImage : public IControl {
public:
    virtual void SetPicture(const TJpegImage& Picture) = 0;
    // In place of a picture: a plain panel in the system's colours with Title on it.
    virtual void SetTitlePanel(const std::string& Title) = 0;
};

// A markup link label (its link clicks reach TFormInstaller::LabelStart2LinkClick).
class ILinkLabel : public IControl {
public:
    virtual void SetCaption(const std::string& Markup) = 0;
    virtual std::string Caption() const = 0;
};

// A page, or one of the two stacked contents of the start page.
class IPanel : public IControl {
public:
    virtual void BringToFront() = 0;
};

enum class TMessageIcon { Error, Warning, Information };

// What the logic needs of the window and the application around the controls.
class IWizardWindow {
public:
    virtual ~IWizardWindow() = default;
    virtual void SetCaption(const std::string& Caption) = 0;
    // Taskbar text and caption of the application's error box.
    virtual void SetApplicationTitle(const std::string& Title) = 0;
    // Repaints the whole window at once, without processing input.
    virtual void Repaint() = 0;
    // Closes the window, which ends the program.
    virtual void Close() = 0;
    // A modal message box with one OK button; lines of Text are separated by "\r".
    virtual void MessageBox(const std::string& Text, const std::string& Caption, TMessageIcon Icon) = 0;
    // Gives every control that has a fixed caption (the layout's) its caption in the
    // language of Texts.
    virtual void SetFixedTexts(const TTextTable& Texts) = 0;
};

// Every control the logic works on, by the names the window's layout gives them. The
// window that creates the controls fills this and hands it to TFormInstaller; the pointers
// stay valid for the logic's whole life.
struct TWizardControls {
    IWizardWindow* Window = nullptr;

    // Pages, and the welcome and finish contents stacked on the start page.
    IPanel* PanelStart = nullptr;
    IPanel* PanelInstall = nullptr;
    IPanel* PanelFinish = nullptr;
    IPanel* PanelInfo = nullptr;
    IPanel* PanelLicense = nullptr;
    IPanel* PanelFolder = nullptr;
    IPanel* PanelReady = nullptr;
    IPanel* PanelProgress = nullptr;
    IPanel* PanelNews = nullptr;

    IButton* BtnPrev = nullptr;
    IButton* BtnNext = nullptr;
    IButton* BtnCancel = nullptr;
    IButton* BtnAddMetaTrader = nullptr;

    IImage* ImgBanner = nullptr;
    ILabel* LabelStart1 = nullptr;
    ILinkLabel* LabelStart2 = nullptr;
    ILabel* LabelFinish1 = nullptr;
    ILinkLabel* LabelFinish2 = nullptr;
    ICheckBox* CheckRun = nullptr;
    IComboBox* ComboRun = nullptr;

    IRichText* RichInfo = nullptr;
    IRichText* RichLicense = nullptr;
    ICheckBox* RadioAccept = nullptr;
    ICheckBox* RadioNotAccept = nullptr;
    ICheckList* ListMetaTrader = nullptr;
    IMemo* MemoReady = nullptr;
    ILabel* LabelProgress1 = nullptr;
    ILabel* LabelProgress2 = nullptr;
    ILabel* LabelProgress3 = nullptr;
    IProgressBar* ProgressBar1 = nullptr;
    IMemo* MemoProgress = nullptr;
    IRichText* RichNews = nullptr;
};

} // namespace qe
