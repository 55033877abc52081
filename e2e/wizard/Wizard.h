// One run of setup.exe (or Uninstall.exe) under test: its window, its pages by control id,
// the button bar, and screenshots of what it shows.
#pragma once

#include <string>
#include <vector>

#include "app/ControlIds.h"
#include "e2e/wizard/Driver.h"

namespace e2e {

// A page and the ids of its header texts (none for the start page).
struct TPage {
    const char* Name;
    int Panel;
    int Title; // the subtitle and the instruction follow at +1 and +2
};

extern const TPage PageWelcome, PageInfo, PageLicense, PageFolder, PageReady, PageProgress, PageNews, PageFinish;

// The progress memo shows every line whole (a long one wraps, no row reaches past the right
// edge) and its last line in view.
void CheckProgressLinesShowWhole(const TWindow& Window);

// The advertisement after the welcome text: Breaks line breaks, then a paragraph on qepack.
void CheckAdvertisement(const std::string& Advert, int Breaks);

class TWizard {
public:
    // Starts Program from its own folder, with Arguments after its name (and, when
    // Limited, not elevated: see TProgram), and waits for the window with this caption.
    // Screenshots go to ShotFolder.
    TWizard(const std::string& Program, const std::string& Caption, const std::string& ShotFolder,
            const std::string& Arguments = "", bool Limited = false);

    TProgram& Process() { return FProgram; }
    TWindow& Window() { return FWindow; }

    // Waits until Page is the page in front.
    void ExpectPage(const TPage& Page);
    void ExpectHeader(const TPage& Page, const std::string& Title, const std::string& Subtitle,
                      const std::string& Instruction);
    // The button bar: enabled states, and the caption of the Cancel/Finish button.
    void ExpectButtons(bool Prev, bool Next, bool Cancel, const std::string& CancelCaption);
    // Presses Next (or Prev) and waits for Page.
    void Next(const TPage& Page);
    void Prev(const TPage& Page);
    // Presses Next and returns the message box it brings up.
    TDialog NextToMessageBox();
    void Shot(const std::string& Name);
    void Shot(const std::string& Name, HWND Above);
    // No message box shows up for a short while.
    void ExpectNoMessageBox(const std::string& When);

private:
    TProgram FProgram;
    TWindow FWindow;
    std::string FShotFolder;
};

// Selects "I accept the agreement" and waits for Next to come on.
void AcceptLicense(TWizard& W);

} // namespace e2e
