// Drives a program's windows from outside, as a user would: finds top-level windows and
// their controls, presses buttons and reads controls with standard window messages, waits
// for states by polling with a time limit, and takes screenshots from the screen.
#pragma once

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace e2e {

// A failed check: the scenario stops and reports the text.
class TFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

void Check(bool Condition, const std::string& What);
void CheckEq(const std::string& Got, const std::string& Expected, const std::string& What);
void CheckLines(const std::vector<std::string>& Got, const std::vector<std::string>& Expected, const std::string& What);
// Lines one under the other, each in brackets, for a failure's text.
std::string QuoteLines(const std::vector<std::string>& Lines);
// One line of the scenario's log.
void Step(const std::string& Text);

// Polls Condition every 50 ms until it holds (true) or TimeoutMs has passed (false).
bool WaitFor(const std::function<bool()>& Condition, DWORD TimeoutMs);

// A program started by the driver; ended when the object goes and it still runs.
class TProgram {
public:
    // Starts Path in Folder with the command line Path (quoted) + " " + Arguments; with
    // Limited, with the limited token of an administrator who has not confirmed elevation
    // (the driver's own token's linked one), as a program that is not elevated runs.
    TProgram(const std::string& Path, const std::string& Folder, const std::string& Arguments = "",
             bool Limited = false);
    ~TProgram();
    TProgram(const TProgram&) = delete;
    TProgram& operator=(const TProgram&) = delete;

    DWORD Id() const { return FInfo.dwProcessId; }
    bool WaitForExit(DWORD TimeoutMs) const;
    DWORD ExitCode() const;

private:
    PROCESS_INFORMATION FInfo{};
};

// Every top-level window of the process, visible or not, as "class \"title\"" with
// " (visible)" after a visible one.
std::vector<std::string> WindowsOf(DWORD ProcessId);

// The visible top-level window of the process with this caption; nullptr when none.
HWND FindTopWindow(DWORD ProcessId, const std::string& Caption);
HWND WaitForTopWindow(DWORD ProcessId, const std::string& Caption, DWORD TimeoutMs);

std::string WindowText(HWND Window);
std::string WindowClass(HWND Window);
// Text split at "\r\n" (and lone "\r" or "\n"); a final line break adds no empty line.
std::vector<std::string> SplitLines(const std::string& Text);

// A window whose controls are found by their ids, at any depth.
class TWindow {
public:
    explicit TWindow(HWND Handle) : FHandle(Handle) {}
    HWND Handle() const { return FHandle; }

    HWND Control(int Id) const;
    std::string Text(int Id) const;
    std::vector<std::string> Lines(int Id) const { return SplitLines(Text(Id)); }
    bool Enabled(int Id) const;
    bool Visible(int Id) const;
    bool Checked(int Id) const;
    // Presses a button as a click would, without waiting for what the click starts.
    void Click(int Id) const;
    // Items of a list box with strings and their item data (a check list's marks).
    std::vector<std::pair<std::string, LRESULT>> ListItems(int Id) const;
    std::vector<std::string> ComboItems(int Id) const;
    int ComboSelection(int Id) const;
    int ProgressPosition(int Id) const;
    // Scrolls a multi-line control to its first line, as its scroll bar would.
    void ScrollToTop(int Id) const;
    // Among the panels with these ids, the visible one in front; 0 when none is visible.
    int FrontPanel(const std::vector<int>& PanelIds) const;

private:
    HWND FHandle;
};

// A message box or dialog of the process: its caption and the texts of its static controls.
struct TDialog {
    HWND Handle = nullptr;
    std::string Caption;
    std::string Text;
};

// The visible dialog box (window class "#32770") of the process, optionally only one that
// holds a control of ChildClass; Handle is nullptr when there is none.
TDialog FindDialog(DWORD ProcessId, const std::string& ChildClass = "");
TDialog WaitForDialog(DWORD ProcessId, DWORD TimeoutMs, const std::string& ChildClass = "");
// Presses the dialog's OK button and waits until the dialog has gone.
void ConfirmDialog(const TDialog& Dialog);

// In the folder chooser's tree, below the selected item (or, FromTop, below the tree's top
// item), opens and selects the folder reached through Names, one tree level per name.
void SelectInFolderTree(const TDialog& Chooser, const std::vector<std::string>& Names, bool FromTop = false);

// The keyboard: brings Window to the front and types Keys as keyboard input, the first
// ones held down while the last is pressed ({VK_SHIFT, VK_TAB} is Shift+Tab).
void PressKeys(HWND Window, std::initializer_list<WORD> Keys);
// The control of Window's thread that has the keyboard focus; nullptr when none has.
HWND FocusedControl(HWND Window);

// Waits until the first window's thread has handled everything sent so far, brings the
// last window to the front and writes what the screen shows of all of them (frames
// included, the rectangle around them) as a BMP file.
void Screenshot(const std::string& BmpPath, std::initializer_list<HWND> Windows);

} // namespace e2e
