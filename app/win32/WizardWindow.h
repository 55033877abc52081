// The wizard's one window on Windows: creates the controls of the layout as real Win32
// controls scaled by the window's DPI, hands them to TFormInstaller and forwards the
// controls' events to its handlers.
#pragma once

#include "app/win32/Win32Controls.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/FormInstaller.h"
#include "app/WizardControls.h"
#include "app/win32/WindowObject.h"

namespace qe::win32 {

class TWizardWindow : public IWizardWindow, public TWindowObject {
public:
    static constexpr const wchar_t* ClassName = L"TFormInstaller";

    // Creates the window, hidden, with every control; the form is created by Show, with
    // the switches of the command line and the log (which must outlive the window).
    TWizardWindow(const TPlatform& Platform, const TCommandLine& Options, TSetupLog& Log);
    TWizardWindow(const TWizardWindow&) = delete;
    TWizardWindow& operator=(const TWizardWindow&) = delete;
    ~TWizardWindow() override;

    HWND Handle() const { return FHandle; }
    const TWizardControls& Controls() const { return FControls; }

    // Runs the form's creation (an error goes to the error box and leaves a window that
    // can only be closed), then shows the window. With /SILENT it then runs the wizard
    // without questions and closes it; an error box is shown unless suppressed.
    void Show(int ShowCommand);
    // The exit code of the program (TFormInstaller::ExitCode), once the window is closed.
    int ExitCode() const { return FExitCode; }
    // Runs the message loop until the window is closed.
    static void RunMessageLoop(HWND Window);

    // IWizardWindow
    void SetCaption(const std::string& Caption) override;
    void SetApplicationTitle(const std::string& Title) override;
    void Repaint() override;
    void Close() override;
    void MessageBox(const std::string& Text, const std::string& Caption, TMessageIcon Icon) override;
    void SetFixedTexts(const TTextTable& Texts) override;

    LRESULT HandleMessage(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) override;

private:
    void CreateControls();
    std::unique_ptr<TChildWindow> CreateControl(const TLayoutItem& Item);
    HWND CreateChild(const wchar_t* Class, DWORD Style, DWORD ExStyle, const TLayoutItem& Item);
    void FillControls();
    void OrderControls();
    void CreateFonts();
    void ApplyDpi();
    // Gives the control the font of its role for its text (FontRoleFor).
    void ApplyFont(TChildWindow& Child, bool Redraw);
    void PlaceWindow(const RECT* Suggested);
    void PageToFront(TWin32Panel& Page);
    void OnCommand(int Id, int Code);
    // After an event of the form: the default button, and the focus for a new page.
    void FollowForm(int32_t PageBefore);
    void KeepFocusUsable();
    void PaintButtonBar(HDC DC);
    HFONT FontFor(TFontRole Role) const;
    TChildWindow* ControlByHandle(HWND Window) const;
    template <class T> T* Find(int Id) const;

    HWND FHandle = nullptr;
    UINT FDpi = 96;
    // The code of the wizard's language, whose script the fonts are for.
    std::string FLanguage = "en";
    const TPlatform& FPlatform;
    const TCommandLine FOptions;
    TSetupLog& FLog;
    int FExitCode = 0;
    std::vector<std::unique_ptr<TChildWindow>> FChildren;
    std::map<int, TChildWindow*> FById;
    std::map<HWND, TChildWindow*> FByHandle;
    std::map<TBackground, HBRUSH> FBrushes;
    std::map<TFontRole, HFONT> FFonts;
    TWizardControls FControls;
    std::unique_ptr<TFormInstaller> FForm;
};

// The icon of a message box of that kind.
UINT MessageBoxIcon(TMessageIcon Icon);

// Reads the command line, creates the wizard for the program's own file (or, with
// /VERYSILENT, its logic without a window), runs it until it is closed and returns the
// process's exit code.
int RunWizard(int ShowCommand);

} // namespace qe::win32
