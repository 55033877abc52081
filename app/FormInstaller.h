// The wizard's logic: the one window of setup.exe as installer and, under the name
// "Uninstall.exe", as uninstaller. It works only through the control interfaces of
// WizardControls.h and the platform it is given, so the Windows program and the host
// tests drive the same code. The window that owns the controls forwards their events to
// the handlers below; an exception escaping a handler goes to the application's error box.
// A silent run (/SILENT, /VERYSILENT) goes through the same pages, taking their defaults.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/SetupLog.h"
#include "app/WizardControls.h"
#include "language/TextTable.h"
#include "platform/Platform.h"

namespace qe {

class TQeData;
class TQeInstall;
class TQeUninstall;

// The notice that an installer made with the free edition carries under its welcome text,
// in the language of Texts, after Breaks line breaks; it links to Website, where a vendor
// who wants an installer of their own learns more, when one is given (setup.exe's is set
// when it is built).
std::string BuilderNotice(const TTextTable& Texts, int Breaks, const std::string& Website);

class TFormInstaller {
public:
    // Platform and Controls (and every control they point to), and Log when given, must
    // outlive the form. Options are the switches of the command line.
    TFormInstaller(const TPlatform& Platform, const TWizardControls& Controls, const TCommandLine& Options = {},
                   TSetupLog* Log = nullptr);
    ~TFormInstaller();
    TFormInstaller(const TFormInstaller&) = delete;
    TFormInstaller& operator=(const TFormInstaller&) = delete;

    // Decides the mode by the executable's file name (taken from the platform), loads the
    // model from that file, sets the titles and texts and shows the first page. A file
    // that cannot be read raises; the window then has no pages and can only be closed.
    void FormCreate();
    // Frees the page list and the model.
    void FormDestroy();
    // After FormCreate: goes through the pages as Next would, with the defaults they
    // offer (the terminals found or given, the licence taken as accepted), runs the
    // install or uninstall and closes the window; the uninstaller then removes itself,
    // but no terminal is started. A running terminal ends it after its message (shown
    // unless boxes are suppressed) with ecTerminalRunning. A failing run raises, as it
    // does in the wizard, after its exit code is set and logged.
    void RunSilently();

    void BtnNextClick();
    void BtnPrevClick();
    // Cancel, or Finish on the last page: performs the finish action of the mode and
    // closes the window.
    void BtnCancelClick();
    // The click handler of both RadioAccept and RadioNotAccept.
    void RadioAcceptClick();
    void BtnAddMetaTraderClick();
    // A link of LabelStart2 or LabelFinish2 was clicked.
    void LabelStart2LinkClick(int32_t LinkNumber, const std::string& LinkText);
    // The Esc key: Cancel while the button cancels; nothing while it finishes (the finish
    // page ends with Finish or the close box) or is disabled (during and after a run).
    void EscapePressed();

    // The keyboard's part, asked by the window after every event.
    // The button Enter presses: Finish on the last page, Next everywhere else (while it is
    // disabled, Enter does nothing).
    IButton* DefaultButton() const;
    // The control that takes the keyboard focus when the current page is shown: what the
    // user reads or works with on the page, or the default button on a page without it.
    IControl* FocusControl() const;

    // What the window and the tests may ask.
    bool UninstallMode() const { return FUninstallMode; }
    // "Install - " or "Uninstall - " + the program name; empty before FormCreate.
    const std::string& ApplicationTitle() const { return FApplicationTitle; }
    // The texts of the language the wizard speaks (English until FormCreate chooses).
    const TTextTable& Texts() const { return FTexts; }
    int32_t PageIndex() const { return FPageIndex; }
    int32_t PageCount() const { return static_cast<int32_t>(FPages.size()); }
    // The page shown; null before the first page.
    IPanel* CurrentPage() const;
    bool RunDone() const { return FRunDone; }
    // The exit code the program ends with (app/ExitCodes.h): ecCancelled until the run
    // is done, or the code of what stopped it.
    int ExitCode() const { return FExitCode; }

private:
    void PrepareInstall();
    void PrepareUninstall();
    // The part both wizards share: model loading, the language and the titles (Title with
    // the program's name). Offered are the languages the package offers. Returns the
    // display title.
    std::string PrepareModel(TQeData& Model, const std::vector<std::string>& Offered, TText Title);
    // Chooses the wizard's language for Model and gives the run and the window its texts.
    void ChooseLanguage(TQeData& Model, const std::vector<std::string>& Offered);
    void SetBanner(const TQeData& Model);
    bool CanLeavePage();
    void ShowPage(IPanel* Page);
    void LoadRichText(IRichText& Edit, const std::string& Text);
    void FillSummary();
    void ScanTerminals();
    bool NoTerminalRunning();
    void RunInstall();
    void RunUninstall();
    void EngineProgress(TQeData& Sender, const std::string& Text, int32_t Percent);
    // Opens a file or link for the user, with the user's rights.
    void OpenForUser(const std::string& FileOrLink);
    bool SelfDelete(const std::string& FilePath, bool RemoveFolder);
    // A message box, logged, and shown unless the command line suppresses boxes (its
    // default answer, OK, is then taken).
    void ShowMessage(const std::string& Text, const std::string& Caption, TMessageIcon Icon);
    // Records what stopped the program: its exit code and the reason in the log.
    void Stop(int ExitCode, const std::string& Reason);
    void Log(const std::string& Line);

    const TPlatform& FPlatform;
    TWizardControls FControls;
    TCommandLine FOptions;
    TSetupLog* FLog;
    int FExitCode;

    bool FUninstallMode = false;
    std::vector<IPanel*> FPages;
    int32_t FPageIndex = -1;
    bool FTerminalsScanned = false;
    bool FRunDone = false;
    std::unique_ptr<TQeInstall> FInstall;
    std::unique_ptr<TQeUninstall> FUninstall;
    std::string FApplicationTitle;
    // The texts of the wizard's language; the model's run reports in them too.
    TTextTable FTexts;
};

} // namespace qe
