// The wizard's pages: which pages each wizard shows in which order, its texts and titles,
// the buttons on every page, the licence rule and the summary.
#include <fstream>
#include <sstream>

#include "language/Languages.h"
#include "linklabel/Parser.h"
#include "linklabel/Tree.h"
#include "platform/Exceptions.h"
#include "tests/app/WizardFixture.h"

namespace qe::test {
namespace {

using WizardPages = WizardTest;

TEST_F(WizardPages, InstallWithBothTextsShowsEveryPageWithItsButtons)
{
    Contents.Readme = "{\\rtf1 Readme}";
    Contents.WhatsNew = "{\\rtf1 New}";
    Start();
    const std::vector<std::string> Expected = {
        "Welcome -Prev +Next +Cancel",  "Information +Prev +Next +Cancel", "License +Prev -Next +Cancel",
        "License +Prev +Next +Cancel",  "Folder +Prev +Next +Cancel",      "Ready +Prev +Next +Cancel",
        "Progress -Prev +Next -Cancel", "What's New +Prev +Next -Cancel",  "Finish +Prev -Next +Finish",
    };
    EXPECT_EQ(NextUntil("Finish"), Expected);
    EXPECT_EQ(W->BtnCancel.Tag(), 1);

    // Back from the finish page Cancel stays Finish; the progress page runs nothing again.
    const auto Lines = W->MemoProgress.Lines();
    Form->BtnPrevClick();
    EXPECT_EQ(Screen(), "What's New +Prev +Next +Finish");
    Form->BtnPrevClick();
    EXPECT_EQ(Screen(), "Progress -Prev +Next -Finish");
    EXPECT_EQ(W->MemoProgress.Lines(), Lines);
    EXPECT_EQ(W->ProgressBar1.Position(), 100);
    Form->BtnNextClick();
    EXPECT_EQ(Screen(), "What's New +Prev +Next -Finish");
    Form->BtnNextClick();
    EXPECT_EQ(Screen(), "Finish +Prev -Next +Finish");
}

TEST_F(WizardPages, EnterAndTheFocusFollowThePagesAndEscapeOnlyCancels)
{
    Contents.Readme = "{\\rtf1 Readme}";
    Contents.WhatsNew = "{\\rtf1 New}";
    Start();
    const std::map<const IControl*, std::string> Names = {
        {&W->BtnNext, "Next"},
        {&W->BtnCancel, "Cancel"},
        {&W->RichInfo, "RichInfo"},
        {&W->RichLicense, "RichLicense"},
        {&W->ListMetaTrader, "ListMetaTrader"},
        {&W->MemoReady, "MemoReady"},
        {&W->MemoProgress, "MemoProgress"},
        {&W->RichNews, "RichNews"},
        {&W->CheckRun, "CheckRun"},
    };
    // Each page: where Enter goes and what takes the focus.
    const auto Keys = [&] {
        return Page() + " Enter:" + Names.at(Form->DefaultButton()) + " Focus:" + Names.at(Form->FocusControl());
    };
    std::vector<std::string> Seen = {Keys()};
    while (Page() != "Finish") {
        if (Page() == "License") {
            Seen.back() += W->BtnNext.Enabled() ? "" : " (Next disabled)";
            W->SelectAccept(true);
            Form->RadioAcceptClick();
        }
        Form->BtnNextClick();
        Seen.push_back(Keys());
    }
    const std::vector<std::string> Expected = {
        "Welcome Enter:Next Focus:Next",
        "Information Enter:Next Focus:RichInfo",
        "License Enter:Next Focus:RichLicense (Next disabled)",
        "Folder Enter:Next Focus:ListMetaTrader",
        "Ready Enter:Next Focus:MemoReady",
        "Progress Enter:Next Focus:MemoProgress",
        "What's New Enter:Next Focus:RichNews",
        "Finish Enter:Cancel Focus:CheckRun",
    };
    EXPECT_EQ(Seen, Expected);
    // Back from the finish page Next is enabled again and takes Enter.
    Form->BtnPrevClick();
    EXPECT_EQ(Keys(), "What's New Enter:Next Focus:RichNews");
    Form->BtnNextClick();

    // Esc does not finish: Finish or the close box ends the last page.
    Form->EscapePressed();
    EXPECT_FALSE(W->Window.Closed);
    EXPECT_TRUE(M.Shell.Opened().empty());
    // Nor does it do anything while Cancel is disabled.
    Form->BtnPrevClick();
    Form->BtnPrevClick();
    ASSERT_EQ(Page(), "Progress");
    Form->EscapePressed();
    EXPECT_FALSE(W->Window.Closed);

    // On a finish page without the run choice, the focus is on Finish.
    W->CheckRun.SetVisible(false);
    Form->BtnNextClick();
    Form->BtnNextClick();
    EXPECT_EQ(Keys(), "Finish Enter:Cancel Focus:Cancel");

    // Elsewhere Esc cancels, as the Cancel button does.
    Start();
    Form->EscapePressed();
    EXPECT_TRUE(W->Window.Closed);
    Start();
    Form->BtnNextClick();
    Form->EscapePressed();
    EXPECT_TRUE(W->Window.Closed);
}

TEST_F(WizardPages, InstallWithoutTextsGoesBackFromFinishToProgress)
{
    Start();
    const std::vector<std::string> Expected = {
        "Welcome -Prev +Next +Cancel", "License +Prev -Next +Cancel", "License +Prev +Next +Cancel",
        "Folder +Prev +Next +Cancel",  "Ready +Prev +Next +Cancel",   "Progress -Prev +Next -Cancel",
        "Finish +Prev -Next +Finish",
    };
    EXPECT_EQ(NextUntil("Finish"), Expected);
    EXPECT_EQ(Form->PageCount(), 6);
    Form->BtnPrevClick();
    EXPECT_EQ(Screen(), "Progress -Prev +Next -Finish");
}

TEST_F(WizardPages, AReadmeAloneAddsTheInformationPage)
{
    Contents.Readme = "Plain words, not RTF";
    Start();
    const std::vector<std::string> Pages = {"Welcome", "Information", "License", "Folder",
                                            "Ready",   "Progress",    "Finish"};
    std::vector<std::string> Seen;
    for (const std::string& S : NextUntil("Finish"))
        if (Seen.empty() || S.substr(0, S.find(' ')) != Seen.back())
            Seen.push_back(S.substr(0, S.find(' ')));
    EXPECT_EQ(Seen, Pages);
    // A text that is not RTF is shown as plain text.
    EXPECT_EQ(W->RichInfo.Format(), "plain");
    EXPECT_EQ(W->RichInfo.PlainText(), "Plain words, not RTF");
    EXPECT_EQ(W->RichLicense.Format(), "rtf");
    EXPECT_EQ(W->RichNews.Format(), "");
}

TEST_F(WizardPages, TheLicenceMustBeAcceptedAndStaysAsLeft)
{
    Contents.Readme = "{\\rtf1 Readme}";
    Start();
    NextUntil("Information");
    Form->BtnNextClick();
    ASSERT_EQ(Screen(), "License +Prev -Next +Cancel");
    Accept(true);
    EXPECT_TRUE(W->BtnNext.Enabled());
    Accept(false);
    EXPECT_FALSE(W->BtnNext.Enabled());
    Accept(true);
    Form->BtnPrevClick();
    Form->BtnNextClick();
    EXPECT_EQ(Screen(), "License +Prev +Next +Cancel");
    Accept(false);
    Form->BtnPrevClick();
    Form->BtnNextClick();
    EXPECT_EQ(Screen(), "License +Prev -Next +Cancel");
    EXPECT_TRUE(W->RadioNotAccept.Checked());
}

TEST_F(WizardPages, InstallTextsTitlesAndTheNoticeUnderItsFlag)
{
    Start();
    EXPECT_EQ(W->Window.Caption, "Install - Grid Expert");
    EXPECT_EQ(W->Window.ApplicationTitle, "Install - Grid Expert");
    EXPECT_EQ(Form->ApplicationTitle(), "Install - Grid Expert");
    EXPECT_FALSE(Form->UninstallMode());
    EXPECT_EQ(W->LabelStart1.Caption(), "Welcome to the Grid Expert v2.5 Installation Wizard");
    const std::string Welcome = "This will install Grid Expert v2.5 on your computer. Please close all MetaTrader "
                                "applications before you continue with the installation.<br><br>Click Next to "
                                "continue with the installation, or click Cancel to exit.";
    // The tests' build is given no address for the notice's link: the notice links nowhere.
    EXPECT_EQ(W->LabelStart2.Caption(), Welcome + "<br><br><br><br><br><br><br>This installer was made with the free "
                                                  "edition of qepack, the installer builder for MetaTrader add-ons.");
    EXPECT_EQ(W->LabelFinish1.Caption(), "Installation Complete");
    EXPECT_EQ(W->LabelFinish2.Caption(), "The wizard has finished installing Grid Expert to your computer. You can now "
                                         "launch the MetaTrader application to see Grid Expert in action.");
    EXPECT_EQ(W->LabelProgress1.Caption(), "Installation in Progress");
    EXPECT_EQ(W->LabelProgress2.Caption(), "Please wait while the wizard is copying the files to your computer.");
    EXPECT_EQ(W->LabelProgress3.Caption(), "Installation progress ....");
    EXPECT_EQ(W->ImgBanner.Picture(), "");
    EXPECT_EQ(W->ImgBanner.Title(), "Grid Expert");

    Contents.ShowNotice = 0;
    Start();
    EXPECT_EQ(W->LabelStart2.Caption(), Welcome);
}

TEST_F(WizardPages, TheNoticeLinksOnlyToAnAddressItIsGiven)
{
    EXPECT_EQ(BuilderNotice(EnglishTexts(), 2, ""),
              "<br><br>This installer was made with the free edition of qepack, the installer builder for MetaTrader "
              "add-ons.");
    EXPECT_EQ(BuilderNotice(EnglishTexts(), 0, "https://www.qepack.org/free"),
              "This installer was made with the free edition of qepack, the installer builder for MetaTrader add-ons: "
              "<link>https://www.qepack.org/free</link>");
}

TEST_F(WizardPages, ThePackagesBannerIsShown)
{
    std::ifstream In(std::string(QE_SOURCE_DIR) + "/examples/banner.jpg", std::ios::binary);
    std::stringstream Bytes;
    Bytes << In.rdbuf();
    ASSERT_FALSE(Bytes.str().empty());
    Contents.BannerJpeg = Bytes.str();
    Start();
    EXPECT_EQ(W->ImgBanner.Picture(), Bytes.str());
    EXPECT_EQ(W->ImgBanner.Title(), "");
}

TEST_F(WizardPages, TheModeFollowsTheFileNameOnly)
{
    Start("C:\\Users\\User\\Downloads\\Uninstall2.exe");
    EXPECT_FALSE(Form->UninstallMode());
    EXPECT_EQ(W->Window.Caption, "Install - Grid Expert");

    // An installer under the uninstaller's name looks for an uninstall record, finds
    // none and shows an uninstall wizard for no program.
    Start("C:\\Users\\User\\Downloads\\uninstall.EXE");
    EXPECT_TRUE(Form->UninstallMode());
    EXPECT_EQ(W->Window.Caption, "Uninstall - ");
    EXPECT_EQ(W->LabelStart1.Caption(), "Welcome to the  v1.0 Uninstallation Wizard");
    EXPECT_EQ(Form->PageCount(), 3);
}

TEST_F(WizardPages, AProgramFileThatCannotBeReadLeavesOnlyClosing)
{
    M.FileSystem.SetExecutablePath("C:\\Users\\User\\Downloads\\gone.exe");
    W = std::make_unique<TFakeWizard>();
    Form = std::make_unique<TFormInstaller>(Platform(), W->C);
    EXPECT_THROW(Form->FormCreate(), EFOpenError);
    EXPECT_EQ(Form->PageCount(), 0);
    EXPECT_FALSE(W->BtnNext.Enabled());
    EXPECT_FALSE(W->BtnPrev.Enabled());
    Form->BtnNextClick();
    Form->BtnPrevClick();
    EXPECT_EQ(Form->PageIndex(), -1);
    Form->BtnCancelClick();
    EXPECT_TRUE(W->Window.Closed);
}

TEST_F(WizardPages, TextThatLoadsNeitherWayFailsTheStart)
{
    Contents.Readme = "not RTF";
    WriteInstallerFile();
    W = std::make_unique<TFakeWizard>();
    W->RichInfo.RefusePlainText = true;
    Form = std::make_unique<TFormInstaller>(Platform(), W->C);
    try {
        Form->FormCreate();
        FAIL() << "no error";
    } catch (const Exception& E) {
        EXPECT_EQ(E.Message(), "Failed to Load Stream");
    }
}

struct TSummaryCase {
    int32_t Build, Release;
    std::string Line;
};

TEST_F(WizardPages, TheSummaryListsNameVersionFoldersAndMenu)
{
    const std::vector<TSummaryCase> Cases = {
        {0, 0, "        Grid Expert v2.0"},
        {0, 3, "        Grid Expert v2.0 Release 3"},
        {7, 0, "        Grid Expert v2.0 Build 7"},
        {-1, -2, "        Grid Expert v2.0"},
        {7, 3, "        Grid Expert v2.0 Build 7 Release 3"},
    };
    Contents.MinorVersion = 0;
    for (const TSummaryCase& Case : Cases) {
        Contents.BuildNumber = Case.Build;
        Contents.ReleaseNumber = Case.Release;
        Start();
        NextUntil("Ready");
        EXPECT_EQ(W->MemoReady.Lines().at(1), Case.Line);
    }
    M.Shell.AnswerFolderChoice(true, "D:\\Trading\\MT4 Demo");
    Form->BtnPrevClick();
    Form->BtnAddMetaTraderClick();
    Form->BtnNextClick();
    const std::vector<std::string> Expected = {
        "Program Name",
        "        Grid Expert v2.0 Build 7 Release 3",
        "",
        "Target Folder(s)",
        "        C:\\Program Files\\MetaTrader 4",
        "        D:\\Trading\\MT4 Demo",
        "",
        "Program Folder",
        "        C:\\Program Files\\Grid Expert",
        "",
        "Start Menu Folder",
        "        Grid Expert",
    };
    EXPECT_EQ(W->MemoReady.Lines(), Expected);

    // With no folder checked the heading is followed by the empty line, and Next works.
    Form->BtnPrevClick();
    W->ListMetaTrader.SetChecked(0, false);
    W->ListMetaTrader.SetChecked(1, false);
    Form->BtnNextClick();
    const auto Lines = W->MemoReady.Lines();
    ASSERT_EQ(Lines.size(), 10u);
    EXPECT_EQ(Lines[3], "Target Folder(s)");
    EXPECT_EQ(Lines[4], "");
    EXPECT_TRUE(W->BtnNext.Enabled());
}

TEST_F(WizardPages, LinksWithAnAtAreMailedOthersOpenedAsTheyStand)
{
    Start();
    Form->LabelStart2LinkClick(0, "support@quantedge.example");
    Form->LabelStart2LinkClick(1, "http://www.quantedge.example");
    Form->LabelStart2LinkClick(0, "see me@home");
    const std::vector<std::string> Expected = {"mailto:support@quantedge.example", "http://www.quantedge.example",
                                               "mailto:see me@home"};
    EXPECT_EQ(M.Shell.OpenedAsUser(), Expected);
}

// The links of a caption as the link label finds them.
std::vector<std::string> LinksOf(const std::string& Markup)
{
    TDefaultParser Parser;
    const auto Tree = Parser.ParseText(Markup);
    INodeIteratorRef Links = Tree->GetTopLevelNodes(NodeClassOf<TLinkNode>());
    std::vector<std::string> Texts;
    while (Links->HasNext())
        Texts.push_back(static_cast<TLinkNode*>(Links->NextNode())->GetText());
    return Texts;
}

TEST_F(WizardPages, TheProductsNameShowsAsItsTextNeverAsMarkup)
{
    const std::string Name = "Grid <link>C:\\Windows\\evil.exe</link> <b>Pro";
    const std::string Shown = "Grid &lt;link&gt;C:\\Windows\\evil.exe&lt;/link&gt; &lt;b&gt;Pro";
    Contents.ProgramName = Name;
    // Without the builder's notice no text of the wizard's own holds a link.
    Contents.ShowNotice = 0;
    Start();
    // The installer's texts, then an uninstaller's of the same name.
    for (int Wizard = 0; Wizard < 2; ++Wizard) {
        const std::string Caption = W->LabelStart2.Caption();
        EXPECT_NE(Caption.find(Shown + " v2.5"), std::string::npos) << Caption;
        EXPECT_TRUE(LinksOf(Caption).empty()) << Caption;
        EXPECT_NE(W->LabelFinish2.Caption().find(Shown + " "), std::string::npos) << W->LabelFinish2.Caption();
        EXPECT_TRUE(LinksOf(W->LabelFinish2.Caption()).empty()) << W->LabelFinish2.Caption();
        if (Wizard == 1)
            break;
        TQeInstall Writer(M.Platform());
        Writer.ProgramName = Name;
        Writer.MajorVersion = 2;
        Writer.MinorVersion = 5;
        Writer.ShowNotice = 0;
        TMemoryStream Exe(std::vector<uint8_t>(StubSize, 0));
        Exe.Seek(0, TSeekOrigin::soEnd);
        Writer.WriteUninstallRecord(Exe);
        M.FileSystem.AddFile("C:\\Grid\\Uninstall.exe", std::string(Exe.Bytes().begin(), Exe.Bytes().end()));
        Open("C:\\Grid\\Uninstall.exe");
    }
}

} // namespace
} // namespace qe::test
