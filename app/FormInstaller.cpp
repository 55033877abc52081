#include "app/FormInstaller.h"

#include <algorithm>
#include <optional>

#include "app/ExitCodes.h"
#include "app/SelfRemoval.h"
#include "app/TerminalDiscovery.h"
#include "engine/InstallScope.h"
#include "engine/PathMacros.h"
#include "language/Languages.h"
#include "package/Integrity.h"
#include "package/ModelLoader.h"
#include "package/QeClasses.h"
#include "package/QeUninstall.h"
#include "platform/Paths.h"
#include "platform/SysFolders.h"
#include "platform/Terminal.h"
#include "platform/TerminalDataFolders.h"

namespace qe {
namespace {

// BtnCancel's modes, kept in its tag.
constexpr int32_t CancelMode = 0;
constexpr int32_t FinishMode = 1;

// The indent of the summary's values, and the further one of a data folder under its
// terminal's folder.
const std::string Indent(8, ' ');
const std::string DataFolderIndent(4, ' ');

std::string DisplayTitle(const TQeData& Model)
{
    return Model.ProgramName + " v" + std::to_string(Model.MajorVersion) + "." + std::to_string(Model.MinorVersion);
}

// Text from the package as the link label's markup shows it, not as tags: a product name
// with "<link>" in it must not become a link the wizard opens.
std::string MarkupText(const std::string& Text)
{
    std::string Markup;
    for (const char C : Text)
        Markup += C == '<' ? "&lt;" : C == '>' ? "&gt;" : std::string(1, C);
    return Markup;
}

// Folders for one line of the log.
std::string Joined(const std::vector<std::string>& Folders)
{
    std::string Text;
    for (const std::string& Folder : Folders)
        Text += (Text.empty() ? "" : "; ") + Folder;
    return Text.empty() ? "none" : Text;
}

// A message's lines, which "\r" separates, on one line of the log.
std::string OneLine(std::string Text)
{
    std::replace(Text.begin(), Text.end(), '\r', ' ');
    return Text;
}

} // namespace

std::string BuilderNotice(const TTextTable& Texts, int Breaks, const std::string& Website)
{
    std::string Text;
    for (int I = 0; I < Breaks; ++I)
        Text += "<br>";
    return Text + (Website.empty() ? Texts.Format(TText::BuilderNotice)
                                   : Texts.Format(TText::BuilderNoticeLink, {"<link>" + Website + "</link>"}));
}

TFormInstaller::TFormInstaller(const TPlatform& Platform, const TWizardControls& Controls, const TCommandLine& Options,
                               TSetupLog* Log)
    : FPlatform(Platform), FControls(Controls), FOptions(Options), FLog(Log), FExitCode(ecCancelled),
      FTexts(EnglishTexts())
{
}

void TFormInstaller::Log(const std::string& Line)
{
    if (FLog)
        FLog->Add(Line);
}

void TFormInstaller::Stop(int ExitCode, const std::string& Reason)
{
    FExitCode = ExitCode;
    Log(Reason);
}

void TFormInstaller::ShowMessage(const std::string& Text, const std::string& Caption, TMessageIcon Icon)
{
    Log(Caption + " box: " + OneLine(Text) + (FOptions.Quiet() ? " (not shown, taken as answered with OK)" : ""));
    if (!FOptions.Quiet())
        FControls.Window->MessageBox(Text, Caption, Icon);
}

TFormInstaller::~TFormInstaller() = default;

IPanel* TFormInstaller::CurrentPage() const
{
    return FPageIndex >= 0 && FPageIndex < PageCount() ? FPages[static_cast<size_t>(FPageIndex)] : nullptr;
}

void TFormInstaller::FormCreate()
{
    FPages.clear();
    // Until a page is shown only Cancel works: a program file that cannot be read
    // leaves the window without pages.
    FControls.BtnPrev->SetEnabled(false);
    FControls.BtnNext->SetEnabled(false);
    FControls.BtnCancel->SetCaption(FTexts.Format(TText::ButtonCancel));
    FControls.BtnCancel->SetTag(CancelMode);

    const std::string Program = FPlatform.FileSystem->ExecutablePath();
    Log("Started: " + Program + (FOptions.Arguments.empty() ? "" : " " + FOptions.Arguments));
    FUninstallMode = IsUninstallerName(Program);
    // A folder given on the command line is used as it stands; one that is not there
    // would be made, under a name the user perhaps mistyped.
    for (const std::string& Folder : FOptions.Terminals.value_or(std::vector<std::string>{}))
        if (!FPlatform.FileSystem->FolderExists(Folder)) {
            const std::string Message = FTexts.Format(TText::MessageTerminalFolderMissing, {Folder});
            Stop(ecBadCommandLine, "Error: " + Message);
            throw Exception(Message);
        }
    try {
        if (FUninstallMode)
            PrepareUninstall();
        else
            PrepareInstall();
    } catch (const std::exception& Failure) {
        Stop(ecDamaged, std::string("Error: ") + Failure.what());
        throw;
    }
    FPageIndex = -1;
    BtnNextClick();
}

void TFormInstaller::FormDestroy()
{
    FPages.clear();
    FPageIndex = -1;
    FInstall.reset();
    FUninstall.reset();
}

std::string TFormInstaller::PrepareModel(TQeData& Model, const std::vector<std::string>& Offered, TText Title)
{
    // The program's file is opened once, as the program that runs, and stays open with
    // the model: nothing read from it later comes from a file put in its place.
    Model.LoadFromFile(FPlatform.FileSystem->OpenRunningProgram(), FPlatform.FileSystem->ExecutablePath());
    ChooseLanguage(Model, Offered);
    FApplicationTitle = FTexts.Format(Title, {Model.ProgramName});
    FControls.Window->SetApplicationTitle(FApplicationTitle);
    FControls.Window->SetCaption(FApplicationTitle);
    Log("Product: " + DisplayTitle(Model));
    return DisplayTitle(Model);
}

void TFormInstaller::ChooseLanguage(TQeData& Model, const std::vector<std::string>& Offered)
{
    TLanguageRequest Request;
    Request.CommandLine = FOptions.Language;
    Request.Installed = Model.Language;
    Request.DisplayLanguage = FPlatform.System->DisplayLanguage();
    Request.Offered = Offered;
    Model.Language = qe::ChooseLanguage(Request);
    FTexts = LoadTexts(Model.Language);
    Model.Texts = &FTexts;
    FControls.Window->SetFixedTexts(FTexts);
}

void TFormInstaller::SetBanner(const TQeData& Model)
{
    // Without a picture of its own the banner area names the product, so that it looks
    // meant, not like a picture that failed to load.
    if (Model.Banner && !Model.Banner->Empty())
        FControls.ImgBanner->SetPicture(*Model.Banner);
    else
        FControls.ImgBanner->SetTitlePanel(Model.ProgramName);
}

void TFormInstaller::PrepareInstall()
{
    FInstall = std::make_unique<TQeInstall>(FPlatform);
    const std::string Title = PrepareModel(*FInstall, FInstall->Languages, TText::InstallTitle);
    const TScopeChoice Scope = ChooseInstallScope(FPlatform, FOptions.CurrentUser);
    FInstall->Scope = Scope.Scope;
    Log(std::string("Installing for ") +
        (Scope.Scope == TInstallScope::CurrentUser ? "the current user only" : "every user") + ": " + Scope.Reason);
    const TQeInstall& Model = *FInstall;
    const TWizardControls& C = FControls;
    const TTextTable& T = FTexts;

    C.LabelStart1->SetCaption(T.Format(TText::InstallWelcomeHeading, {Title}));
    C.LabelStart2->SetCaption(T.Format(TText::InstallWelcomeText, {MarkupText(Title)}) +
                              (Model.ShowNotice ? BuilderNotice(T, 7, QE_BUILDER_WEBSITE) : ""));
    C.LabelFinish1->SetCaption(T.Format(TText::InstallFinishHeading));
    C.LabelFinish2->SetCaption(T.Format(TText::InstallFinishText, {MarkupText(Model.ProgramName)}));
    C.LabelProgress1->SetCaption(T.Format(TText::InstallProgressTitle));
    C.LabelProgress2->SetCaption(T.Format(TText::InstallProgressSubtitle));
    C.LabelProgress3->SetCaption(T.Format(TText::InstallProgressLabel));
    SetBanner(Model);

    FPages.push_back(C.PanelStart);
    if (!Model.Readme.empty()) {
        LoadRichText(*C.RichInfo, Model.Readme);
        FPages.push_back(C.PanelInfo);
    }
    LoadRichText(*C.RichLicense, Model.License);
    FPages.push_back(C.PanelLicense);
    FPages.push_back(C.PanelFolder);
    FPages.push_back(C.PanelReady);
    FPages.push_back(C.PanelProgress);
    if (!Model.WhatsNew.empty()) {
        LoadRichText(*C.RichNews, Model.WhatsNew);
        FPages.push_back(C.PanelNews);
    }
    FPages.push_back(C.PanelStart);
}

void TFormInstaller::PrepareUninstall()
{
    FUninstall = std::make_unique<TQeUninstall>(FPlatform);
    const std::string Title = PrepareModel(*FUninstall, {}, TText::UninstallTitle);
    const TQeUninstall& Model = *FUninstall;
    const TWizardControls& C = FControls;
    const TTextTable& T = FTexts;

    C.LabelStart1->SetCaption(T.Format(TText::UninstallWelcomeHeading, {Title}));
    C.LabelStart2->SetCaption(T.Format(TText::UninstallWelcomeText, {MarkupText(Title)}) +
                              (Model.ShowNotice ? BuilderNotice(T, 6, QE_BUILDER_WEBSITE) : ""));
    C.LabelFinish1->SetCaption(T.Format(TText::UninstallFinishHeading));
    C.LabelFinish2->SetCaption(T.Format(TText::UninstallFinishText, {MarkupText(Model.ProgramName)}));
    C.CheckRun->SetVisible(false);
    C.ComboRun->SetVisible(false);
    C.LabelProgress1->SetCaption(T.Format(TText::UninstallProgressTitle));
    C.LabelProgress2->SetCaption(T.Format(TText::UninstallProgressSubtitle));
    C.LabelProgress3->SetCaption(T.Format(TText::UninstallProgressLabel));
    SetBanner(Model);

    FPages = {C.PanelStart, C.PanelProgress, C.PanelStart};
}

void TFormInstaller::BtnNextClick()
{
    // Without pages (the program file could not be read) there is nowhere to go.
    if (FPageIndex + 1 >= PageCount() || !CanLeavePage())
        return;
    ++FPageIndex;
    ShowPage(FPages[static_cast<size_t>(FPageIndex)]);
}

void TFormInstaller::BtnPrevClick()
{
    if (FPageIndex <= 0)
        return;
    --FPageIndex;
    ShowPage(FPages[static_cast<size_t>(FPageIndex)]);
}

bool TFormInstaller::CanLeavePage()
{
    if (FPageIndex != 0)
        return true;
    if (NoTerminalRunning())
        return true;
    ShowMessage(FTexts.Format(TText::MessageTerminalRunning), FTexts.Format(TText::CaptionError), TMessageIcon::Error);
    return false;
}

void TFormInstaller::ShowPage(IPanel* Page)
{
    const TWizardControls& C = FControls;
    const int32_t Last = PageCount() - 1;
    C.BtnPrev->SetEnabled(FPageIndex > 0);
    C.BtnNext->SetEnabled(FPageIndex < Last);
    if (FPageIndex == 0) {
        C.PanelInstall->BringToFront();
        C.BtnCancel->SetCaption(FTexts.Format(TText::ButtonCancel));
        C.BtnCancel->SetTag(CancelMode);
    } else if (FPageIndex == Last) {
        C.PanelFinish->BringToFront();
        C.BtnPrev->SetEnabled(true);
        C.BtnNext->SetEnabled(false);
        C.BtnCancel->SetCaption(FTexts.Format(TText::ButtonFinish));
        C.BtnCancel->SetTag(FinishMode);
        C.BtnCancel->SetEnabled(true);
    }
    if (Page == C.PanelFolder)
        ScanTerminals();
    if (Page == C.PanelReady)
        FillSummary();
    if (Page == C.PanelLicense && !C.RadioAccept->Checked())
        C.BtnNext->SetEnabled(false);
    Page->BringToFront();
    if (Page == C.PanelProgress) {
        C.Window->Repaint();
        C.BtnNext->SetEnabled(FRunDone);
        C.BtnPrev->SetEnabled(false);
        C.BtnCancel->SetEnabled(false);
        // A failing run leaves the page as it is now: every button disabled, the lines
        // shown so far kept, FRunDone false; its error goes on to the error box.
        if (!FRunDone) {
            try {
                if (FUninstallMode)
                    RunUninstall();
                else
                    RunInstall();
            } catch (const EPackageDamaged& Failure) {
                Stop(ecDamaged, std::string("Error: ") + Failure.what());
                throw;
            } catch (const std::exception& Failure) {
                Stop(ecFailed, std::string("Error: ") + Failure.what());
                throw;
            }
        }
    }
}

void TFormInstaller::EscapePressed()
{
    const IButton& Cancel = *FControls.BtnCancel;
    if (Cancel.Enabled() && Cancel.Tag() == CancelMode)
        BtnCancelClick();
}

IButton* TFormInstaller::DefaultButton() const
{
    const TWizardControls& C = FControls;
    return !C.BtnNext->Enabled() && C.BtnCancel->Enabled() && C.BtnCancel->Tag() == FinishMode ? C.BtnCancel
                                                                                               : C.BtnNext;
}

IControl* TFormInstaller::FocusControl() const
{
    const TWizardControls& C = FControls;
    const IPanel* Page = CurrentPage();
    if (Page == C.PanelInfo)
        return C.RichInfo;
    if (Page == C.PanelLicense)
        return C.RichLicense;
    if (Page == C.PanelFolder)
        return C.ListMetaTrader;
    if (Page == C.PanelReady)
        return C.MemoReady;
    if (Page == C.PanelProgress)
        return C.MemoProgress;
    if (Page == C.PanelNews)
        return C.RichNews;
    // The start page: the run choice on the finish page, when it is offered.
    if (Page == C.PanelStart && FPageIndex > 0 && C.CheckRun->Visible())
        return C.CheckRun;
    return DefaultButton();
}

void TFormInstaller::RadioAcceptClick()
{
    FControls.BtnNext->SetEnabled(FControls.RadioAccept->Checked());
}

void TFormInstaller::LoadRichText(IRichText& Edit, const std::string& Text)
{
    if (!Edit.LoadRtf(Text) && !Edit.LoadPlainText(Text))
        throw EStreamError("Failed to Load Stream");
}

void TFormInstaller::FillSummary()
{
    const TQeInstall& Model = *FInstall;
    std::string Version = Indent + DisplayTitle(Model);
    const TTextTable& T = FTexts;
    if (Model.BuildNumber > 0)
        Version += " " + T.Format(TText::SummaryBuild, {std::to_string(Model.BuildNumber)});
    if (Model.ReleaseNumber > 0)
        Version += " " + T.Format(TText::SummaryRelease, {std::to_string(Model.ReleaseNumber)});

    std::vector<std::string> Lines = {T.Format(TText::SummaryProgramName), Version, ""};
    const bool ForUser = Model.Scope == TInstallScope::CurrentUser;
    // Said first, where it is seen without scrolling.
    if (ForUser)
        Lines.insert(Lines.end(), {T.Format(TText::SummaryForCurrentUser), ""});
    Lines.push_back(T.Format(TText::SummaryTargetFolders));
    const ICheckList& List = *FControls.ListMetaTrader;
    const auto DataFolders = Model.UseDataFolders ? std::make_optional<TTerminalDataFolders>(FPlatform) : std::nullopt;
    for (int32_t I = 0; I < List.Count(); ++I) {
        if (!List.Checked(I))
            continue;
        // For the current user only, a terminal folder the user may not change is
        // passed over (its data folder still receives the files).
        const bool Skipped = ForUser && !CanWriteIn(FPlatform, List.Text(I));
        Lines.push_back(Indent + (Skipped ? T.Format(TText::SummarySkippedFolder, {List.Text(I)}) : List.Text(I)));
        // The data folder the terminal reads from receives the files too.
        const std::string DataFolder = DataFolders ? DataFolders->Find(List.Text(I)) : std::string();
        if (!DataFolder.empty())
            Lines.push_back(Indent + DataFolderIndent + DataFolder);
    }
    std::string Programs;
    try {
        Programs = ProgramsRoot(FPlatform, Model.Scope);
    } catch (const ENoUserFolder& Missing) {
        throw ENoUserFolder(Missing.Text(), T);
    }
    Lines.insert(Lines.end(), {"", T.Format(TText::SummaryProgramFolder),
                               Indent + IncludeTrailingDelimiter(Programs) + Model.ProgramName, "",
                               T.Format(TText::SummaryStartMenuFolder), Indent + Model.ProgramName});
    FControls.MemoReady->SetLines(Lines);
}

void TFormInstaller::LabelStart2LinkClick(int32_t /*LinkNumber*/, const std::string& LinkText)
{
    // Whether the shell could open it is not reported.
    OpenForUser(LinkText.find('@') != std::string::npos ? "mailto:" + LinkText : LinkText);
}

void TFormInstaller::OpenForUser(const std::string& FileOrLink)
{
    // What the wizard starts for the user, a terminal or a browser, runs with the user's
    // normal rights: the user's desktop starts it. Without a desktop to ask, this program
    // starts it only when it runs with no more than those rights itself.
    if (!FPlatform.Shell->OpenAsUser(FileOrLink) && !FPlatform.System->IsElevated())
        FPlatform.Shell->ShellOpen(FileOrLink);
}

void TFormInstaller::ScanTerminals()
{
    if (FTerminalsScanned)
        return;
    ICheckList& List = *FControls.ListMetaTrader;
    List.Clear();
    FTerminalsScanned = true;
    if (FOptions.Terminals) {
        for (const std::string& Folder : *FOptions.Terminals)
            List.Add(Folder, true);
        Log("Terminal folders given on the command line: " + Joined(*FOptions.Terminals));
        return;
    }
    const std::vector<std::string> Found = FindTerminals(FPlatform, FInstall->UseDataFolders);
    Log("Terminals found: " + Joined(Found));
    for (const std::string& Folder : Found)
        List.Add(Folder, true);
    if (List.Count() == 0) {
        List.Add(GetSpecialFolder(FPlatform, sfProgramFiles, false) + "\\MetaTrader 4", true);
        Log("Offered instead: " + List.Text(0));
        ShowMessage(FTexts.Format(TText::MessageNoTerminalFound), FTexts.Format(TText::CaptionWarning),
                    TMessageIcon::Warning);
    }
}

void TFormInstaller::BtnAddMetaTraderClick()
{
    std::string Folder = GetSpecialFolder(FPlatform, sfProgramFiles, false);
    switch (FPlatform.Shell->ChooseFolder(FTexts.Format(TText::FolderChooserCaption), Folder)) {
    case TFolderPick::fpFolder: FControls.ListMetaTrader->Add(Folder, true); break;
    case TFolderPick::fpNoFileSystemPath:
        // Its display name is no place a file can be written to.
        ShowMessage(Folder.empty() ? FTexts.Format(TText::MessageChosenItemNotAFolderOnDisk)
                                   : FTexts.Format(TText::MessageNotAFolderOnDisk, {Folder}),
                    FTexts.Format(TText::CaptionError), TMessageIcon::Error);
        break;
    case TFolderPick::fpCancelled: break;
    }
}

bool TFormInstaller::NoTerminalRunning()
{
    return !FPlatform.System->TopLevelWindowExists(TerminalWindowClass);
}

void TFormInstaller::RunInstall()
{
    const TWizardControls& C = FControls;
    C.ComboRun->Clear();
    const ICheckList& List = *C.ListMetaTrader;
    for (int32_t I = 0; I < List.Count(); ++I) {
        if (!List.Checked(I))
            continue;
        const std::string Folder = List.Text(I);
        FInstall->TargetFolders.push_back(Folder);
        if (FPlatform.FileSystem->FileExists(TerminalProgram(Folder)))
            C.ComboRun->Add(Folder);
    }
    Log("Folders chosen: " + Joined(FInstall->TargetFolders));
    FInstall->OnProgress = [this](TQeData& Sender, const std::string& Text, int32_t Percent) {
        EngineProgress(Sender, Text, Percent);
    };
    FInstall->Execute();
    FExitCode = ecDone;
    C.ProgressBar1->SetPosition(100);
    FRunDone = true;
    C.BtnNext->SetEnabled(true);
    if (C.ComboRun->Count() == 0) {
        C.CheckRun->SetChecked(false);
        C.CheckRun->SetVisible(false);
        C.ComboRun->SetVisible(false);
    } else {
        C.CheckRun->SetChecked(true);
        C.ComboRun->SetItemIndex(0);
    }
}

void TFormInstaller::RunUninstall()
{
    FUninstall->OnProgress = [this](TQeData& Sender, const std::string& Text, int32_t Percent) {
        EngineProgress(Sender, Text, Percent);
    };
    FUninstall->Execute();
    FExitCode = ecDone;
    FControls.ProgressBar1->SetPosition(100);
    FRunDone = true;
    FControls.BtnNext->SetEnabled(true);
}

void TFormInstaller::EngineProgress(TQeData& /*Sender*/, const std::string& Text, int32_t Percent)
{
    Log(Text);
    FControls.MemoProgress->AddLine(Text);
    FControls.ProgressBar1->SetPosition(std::clamp(Percent, 0, 100));
    FControls.Window->Repaint();
}

void TFormInstaller::BtnCancelClick()
{
    const TWizardControls& C = FControls;
    if (C.BtnCancel->Tag() == FinishMode) {
        if (FUninstallMode) {
            SelfDelete(FPlatform.FileSystem->ExecutablePath(), true);
        } else if (C.CheckRun->Checked() && !C.ComboRun->Text().empty()) {
            OpenForUser(TerminalProgram(C.ComboRun->Text()));
        }
    }
    C.Window->Close();
}

void TFormInstaller::RunSilently()
{
    const TWizardControls& C = FControls;
    try {
        // Each page is left once, the welcome page perhaps twice.
        for (int32_t Steps = 0; Steps <= 2 * PageCount() && CurrentPage() != C.PanelProgress; ++Steps) {
            if (CurrentPage() == nullptr)
                return; // no pages: the program's file could not be read
            if (CurrentPage() == C.PanelLicense && !C.RadioAccept->Checked()) {
                C.RadioAccept->SetChecked(true);
                C.RadioNotAccept->SetChecked(false);
                RadioAcceptClick();
                Log("The licence is taken as accepted: a silent run asks no questions.");
            }
            const int32_t Shown = FPageIndex;
            BtnNextClick();
            // Only a running terminal keeps Next on its page. Once its box is answered the
            // terminal has had its chance to close; if it still runs, the program stops.
            if (FPageIndex == Shown && !NoTerminalRunning()) {
                Stop(ecTerminalRunning, "Stopped: a MetaTrader terminal is running; nothing was changed.");
                C.Window->Close();
                return;
            }
        }
    } catch (const std::exception& Failure) {
        // A failure before the run (the run's own are told already) is a failed run too.
        if (FExitCode == ecCancelled)
            Stop(ecFailed, std::string("Error: ") + Failure.what());
        throw;
    }
    if (FRunDone && FUninstallMode)
        SelfDelete(FPlatform.FileSystem->ExecutablePath(), true);
    C.Window->Close();
}

bool TFormInstaller::SelfDelete(const std::string& FilePath, bool RemoveFolder)
{
    return qe::SelfDelete(FPlatform, FilePath, RemoveFolder);
}

} // namespace qe
