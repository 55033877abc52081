#include "e2e/wizard/Wizard.h"

namespace e2e {
namespace {

using namespace qe;

const DWORD PageTimeoutMs = 20000;

std::string Folder(const std::string& Path)
{
    const size_t Slash = Path.find_last_of('\\');
    return Slash == std::string::npos ? "" : Path.substr(0, Slash);
}

const std::vector<int> Pages = {IDC_PANELSTART, IDC_PANELINFO,     IDC_PANELLICENSE, IDC_PANELFOLDER,
                                IDC_PANELREADY, IDC_PANELPROGRESS, IDC_PANELNEWS};

} // namespace

const TPage PageWelcome{"Welcome", IDC_PANELINSTALL, 0};
const TPage PageInfo{"Information", IDC_PANELINFO, IDC_LABELINFO1};
const TPage PageLicense{"License Agreement", IDC_PANELLICENSE, IDC_LABELLICENSE1};
const TPage PageFolder{"Select Destination Folder", IDC_PANELFOLDER, IDC_LABELFOLDER1};
const TPage PageReady{"Ready to Install", IDC_PANELREADY, IDC_LABELREADY1};
const TPage PageProgress{"Progress", IDC_PANELPROGRESS, IDC_LABELPROGRESS1};
const TPage PageNews{"What's New", IDC_PANELNEWS, IDC_LABELNEWS1};
const TPage PageFinish{"Finish", IDC_PANELFINISH, 0};

TWizard::TWizard(const std::string& Program, const std::string& Caption, const std::string& ShotFolder,
                 const std::string& Arguments, bool Limited)
    : FProgram(Program, Folder(Program), Arguments, Limited),
      FWindow(WaitForTopWindow(FProgram.Id(), Caption, PageTimeoutMs)), FShotFolder(ShotFolder)
{
    Step("the window \"" + Caption + "\" is open");
}

void CheckProgressLinesShowWhole(const TWindow& Window)
{
    const HWND Memo = Window.Control(IDC_MEMOPROGRESS);
    RECT Client{};
    GetClientRect(Memo, &Client);
    const auto Rows = static_cast<int>(SendMessageW(Memo, EM_GETLINECOUNT, 0, 0));
    const auto Lines = static_cast<int>(Window.Lines(IDC_MEMOPROGRESS).size());
    Check(Rows > Lines,
          "no progress line wraps: " + std::to_string(Rows) + " rows for " + std::to_string(Lines) + " lines");
    for (int Row = 0; Row < Rows; ++Row) {
        const LRESULT Start = SendMessageW(Memo, EM_LINEINDEX, static_cast<WPARAM>(Row), 0);
        const LRESULT Length = SendMessageW(Memo, EM_LINELENGTH, static_cast<WPARAM>(Start), 0);
        const LRESULT Last =
            Length > 0 ? SendMessageW(Memo, EM_POSFROMCHAR, static_cast<WPARAM>(Start + Length - 1), 0) : 0;
        Check(static_cast<short>(LOWORD(Last)) < Client.right,
              "row " + std::to_string(Row) + " of the progress lines reaches past the memo's right edge");
    }
    const LRESULT End =
        SendMessageW(Memo, EM_POSFROMCHAR, static_cast<WPARAM>(SendMessageW(Memo, WM_GETTEXTLENGTH, 0, 0) - 1), 0);
    const short Top = static_cast<short>(HIWORD(End));
    Check(Top >= 0 && Top < Client.bottom, "the last progress line is out of view");
    Step("every progress line shows whole, the last one in view");
}

void CheckAdvertisement(const std::string& Advert, int Breaks)
{
    std::string Lead;
    for (int I = 0; I < Breaks; ++I)
        Lead += "<br>";
    Check(Advert.compare(0, Lead.size(), Lead) == 0 && Advert.compare(Lead.size(), 4, "<br>") != 0 &&
              Advert.find("qepack") != std::string::npos,
          "the advertisement is not " + std::to_string(Breaks) + " line breaks and a paragraph on qepack: [" + Advert +
              "]");
    // It links to the address setup.exe was built with, and nowhere without one.
    const std::string Website = QE_BUILDER_WEBSITE;
    const std::string Link = Website.empty() ? "<link>" : "<link>" + Website + "</link>";
    Check((Advert.find(Link) != std::string::npos) != Website.empty(),
          "the advertisement's link does not match the address \"" + Website + "\": [" + Advert + "]");
}

void TWizard::ExpectPage(const TPage& Page)
{
    // The start page carries two contents: the welcome and the finish.
    const bool OnStart = Page.Panel == IDC_PANELINSTALL || Page.Panel == IDC_PANELFINISH;
    const int Panel = OnStart ? IDC_PANELSTART : Page.Panel;
    const bool Shown = WaitFor(
        [&] {
            return FWindow.FrontPanel(Pages) == Panel &&
                   (!OnStart || FWindow.FrontPanel({IDC_PANELINSTALL, IDC_PANELFINISH}) == Page.Panel);
        },
        PageTimeoutMs);
    if (!Shown) {
        const TDialog Box = FindDialog(FProgram.Id());
        throw TFailure(std::string("the ") + Page.Name + " page is not shown" +
                       (Box.Handle ? "; a message box \"" + Box.Caption + "\" says: " + Box.Text : ""));
    }
    Step(std::string("page: ") + Page.Name);
}

void TWizard::ExpectHeader(const TPage& Page, const std::string& Title, const std::string& Subtitle,
                           const std::string& Instruction)
{
    CheckEq(FWindow.Text(Page.Title), Title, std::string("title of the ") + Page.Name + " page");
    CheckEq(FWindow.Text(Page.Title + 1), Subtitle, std::string("subtitle of the ") + Page.Name + " page");
    CheckEq(FWindow.Text(Page.Title + 2), Instruction, std::string("instruction of the ") + Page.Name + " page");
}

void TWizard::ExpectButtons(bool Prev, bool Next, bool Cancel, const std::string& CancelCaption)
{
    auto State = [](bool Enabled) { return Enabled ? std::string("enabled") : std::string("disabled"); };
    CheckEq(State(FWindow.Enabled(IDC_BTNPREV)), State(Prev), "the Prev button");
    CheckEq(State(FWindow.Enabled(IDC_BTNNEXT)), State(Next), "the Next button");
    CheckEq(State(FWindow.Enabled(IDC_BTNCANCEL)), State(Cancel), "the Cancel button");
    CheckEq(FWindow.Text(IDC_BTNPREV), "<< Prev", "caption of Prev");
    CheckEq(FWindow.Text(IDC_BTNNEXT), "Next >>", "caption of Next");
    CheckEq(FWindow.Text(IDC_BTNCANCEL), CancelCaption, "caption of the Cancel button");
}

void TWizard::Next(const TPage& Page)
{
    Check(FWindow.Enabled(IDC_BTNNEXT), std::string("Next is disabled on the way to the ") + Page.Name + " page");
    FWindow.Click(IDC_BTNNEXT);
    ExpectPage(Page);
}

void TWizard::Prev(const TPage& Page)
{
    Check(FWindow.Enabled(IDC_BTNPREV), std::string("Prev is disabled on the way to the ") + Page.Name + " page");
    FWindow.Click(IDC_BTNPREV);
    ExpectPage(Page);
}

TDialog TWizard::NextToMessageBox()
{
    FWindow.Click(IDC_BTNNEXT);
    return WaitForDialog(FProgram.Id(), PageTimeoutMs);
}

void TWizard::Shot(const std::string& Name)
{
    Screenshot(FShotFolder + "\\" + Name + ".bmp", {FWindow.Handle()});
}

void TWizard::Shot(const std::string& Name, HWND Above)
{
    Screenshot(FShotFolder + "\\" + Name + ".bmp", {FWindow.Handle(), Above});
}

void AcceptLicense(TWizard& W)
{
    W.Window().Click(IDC_RADIOACCEPT);
    Check(WaitFor([&] { return W.Window().Enabled(IDC_BTNNEXT); }, 5000), "Next stays disabled after accepting");
}

void TWizard::ExpectNoMessageBox(const std::string& When)
{
    const bool Appeared = WaitFor([&] { return FindDialog(FProgram.Id()).Handle != nullptr; }, 1500);
    Check(!Appeared, "a message box appeared " + When + ": " + FindDialog(FProgram.Id()).Text);
}

} // namespace e2e
