// The wizard speaks the user's display language within the vendor's choice: its fixed
// captions, page texts, buttons, summary, message boxes and the run's progress lines; the
// uninstaller speaks the language its installation used.
#include "language/Languages.h"
#include "platform/Terminal.h"
#include "tests/app/WizardFixture.h"

namespace qe::test {
namespace {

class WizardLanguage : public WizardTest {};

const std::string AppS = EngineTest::App;
const std::string T1S = EngineTest::T1;

TEST_F(WizardLanguage, SpeaksTheDisplayLanguageOnEveryPageAndInTheRun)
{
    M.System.SetDisplayLanguage("de-DE");
    Contents.BuildNumber = 7;
    Start();
    const TTextTable German = LoadTexts("de");
    ASSERT_EQ(W->Window.FixedTexts, &Form->Texts());
    EXPECT_EQ(Form->Texts().Format(TText::ButtonNext), "Weiter >");
    EXPECT_EQ(W->Window.Caption, "Installation - Grid Expert");
    EXPECT_EQ(W->LabelStart1.Caption(), "Willkommen beim Installations-Assistenten für Grid Expert v2.5");
    EXPECT_EQ(W->LabelStart2.Caption(), German.Format(TText::InstallWelcomeText, {"Grid Expert v2.5"}) +
                                            BuilderNotice(German, 7, QE_BUILDER_WEBSITE));
    EXPECT_EQ(W->BtnCancel.Caption(), "Abbrechen");

    NextUntil("Ready");
    const std::vector<std::string> Summary = W->MemoReady.Lines();
    EXPECT_EQ(Summary[0], "Programmname");
    EXPECT_EQ(Summary[1], "        Grid Expert v2.5 Build 7");
    EXPECT_EQ(Summary[3], "Zielordner");

    NextUntil("Finish");
    EXPECT_EQ(W->BtnCancel.Caption(), "Fertig stellen");
    const std::vector<std::string> Lines = W->MemoProgress.Lines();
    EXPECT_EQ(Lines.front(), "Datei " + T1S + "\\experts\\GridExpert.mq4 wird kopiert ...");
    EXPECT_EQ(Lines.back(), "Fertig.");

    // The uninstaller speaks German too, though the user's display language changed.
    M.System.SetDisplayLanguage("ja-JP");
    Open(AppS + "\\Uninstall.exe");
    EXPECT_EQ(W->Window.Caption, "Deinstallation - Grid Expert");
    EXPECT_EQ(W->LabelProgress1.Caption(), "Deinstallation läuft");
    NextUntil("Finish");
    EXPECT_EQ(W->MemoProgress.Lines().front(), "Datei " + T1S + "\\experts\\GridExpert.mq4 wird gelöscht ...");
    EXPECT_EQ(W->MemoProgress.Lines().back(), "Fertig.");
}

TEST_F(WizardLanguage, TheVendorsChoiceLimitsTheLanguages)
{
    M.System.SetDisplayLanguage("ru-RU");
    Contents.Languages = {"ja", "en"};
    Start();
    EXPECT_EQ(W->Window.Caption, "Install - Grid Expert");

    Contents.Languages = {"ja"};
    Start();
    EXPECT_EQ(W->Window.Caption, "セットアップ - Grid Expert");
    EXPECT_EQ(W->BtnCancel.Caption(), "キャンセル");

    Contents.Languages = {"ru", "ja"};
    Start();
    EXPECT_EQ(W->Window.Caption, "Установка — Grid Expert");
}

TEST_F(WizardLanguage, LangOnTheCommandLineWinsWithinTheVendorsChoice)
{
    M.System.SetDisplayLanguage("de-DE");
    Options.Language = "ja";
    Start();
    EXPECT_EQ(W->Window.Caption, "セットアップ - Grid Expert");

    Contents.Languages = {"de", "en"};
    Start();
    EXPECT_EQ(W->Window.Caption, "Installation - Grid Expert");

    // The uninstaller too: over the language of its installation.
    Contents.Languages = {};
    Options.Language = "ru";
    Start();
    NextUntil("Finish");
    Options.Language = "it";
    Open(AppS + "\\Uninstall.exe");
    EXPECT_EQ(W->Window.Caption, "Disinstallazione - Grid Expert");
    Options.Language.clear();
    Open(AppS + "\\Uninstall.exe");
    EXPECT_EQ(W->Window.Caption, "Удаление — Grid Expert");
}

TEST_F(WizardLanguage, MessagesOfTheWelcomeAndFolderPagesInTheLanguage)
{
    M.System.SetDisplayLanguage("fr-FR");
    Start();
    M.System.AddWindow(TerminalWindowClass);
    Form->BtnNextClick();
    ASSERT_EQ(W->Window.Messages.size(), 1u);
    EXPECT_EQ(W->Window.Messages[0].Caption, "Erreur");
    EXPECT_EQ(W->Window.Messages[0].Text, "L'assistant a détecté un programme MetaTrader en cours d'exécution.\r"
                                          "Veuillez fermer ce programme, puis cliquez sur OK pour continuer.");
    M.System.CloseWindows(TerminalWindowClass);

    NextUntil("Folder");
    M.Shell.AnswerFolderChoiceWithoutPath("Bibliothèques");
    Form->BtnAddMetaTraderClick();
    EXPECT_EQ(M.Shell.FolderChoices().back().Caption, "Sélectionnez le dossier de MetaTrader");
    EXPECT_EQ(W->Window.Messages.back().Text, "« Bibliothèques » n'est pas un dossier sur un disque.\r"
                                              "Veuillez choisir le dossier dans lequel MetaTrader est installé.");
}

} // namespace
} // namespace qe::test
