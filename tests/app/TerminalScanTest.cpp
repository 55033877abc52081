// Finding the terminals on the folder page, adding folders by hand, and the check for a
// running terminal that guards the welcome page.
#include "platform/Terminal.h"
#include "tests/app/WizardFixture.h"

namespace qe::test {
namespace {

using TerminalScan = WizardTest;

std::vector<std::string> Items(const ICheckList& List)
{
    std::vector<std::string> Result;
    for (int32_t I = 0; I < List.Count(); ++I)
        Result.push_back((List.Checked(I) ? "[x] " : "[ ] ") + List.Text(I));
    return Result;
}

TEST_F(TerminalScan, FindsDirectSubfoldersWithTheProgramInFileSystemOrder)
{
    const std::string P = ProgramFiles;
    M.FileSystem.AddFile(P + "\\Broker MT4\\terminal.exe", "");
    M.FileSystem.AddFolders(P + "\\Tools");
    M.FileSystem.AddFile(P + "\\Brokers\\MT4\\terminal.exe", "");
    M.FileSystem.AddFile(P + "\\Hidden MT4\\terminal.exe", "");
    M.FileSystem.SetAttributes(P + "\\Hidden MT4", faDirectory | faHidden);
    M.FileSystem.AddFile(P + "\\System MT4\\terminal.exe", "");
    M.FileSystem.SetAttributes(P + "\\System MT4", faDirectory | faSystem);
    M.FileSystem.AddFolders(P + "\\Pretender\\terminal.exe");
    M.FileSystem.AddFile(P + "\\terminal.exe", "");

    Start();
    NextUntil("Folder");
    std::vector<std::string> Expected;
    for (const TFolderEntry& Entry : M.FileSystem.ListFolder(P))
        if (Entry.Name == "Broker MT4" || Entry.Name == "MetaTrader 4")
            Expected.push_back("[x] " + P + "\\" + Entry.Name);
    ASSERT_EQ(Expected.size(), 2u);
    EXPECT_EQ(Items(W->ListMetaTrader), Expected);
    EXPECT_TRUE(W->Window.Messages.empty());
}

TEST_F(TerminalScan, WithoutTerminalsTheDefaultFolderAndOneWarning)
{
    M.FileSystem.RemoveFile(std::string(T1) + "\\terminal.exe");
    M.FileSystem.RemoveFolder(T1);
    Start();
    NextUntil("Folder");
    const std::vector<std::string> Default = {"[x] C:\\Program Files\\MetaTrader 4"};
    EXPECT_EQ(Items(W->ListMetaTrader), Default);
    ASSERT_EQ(W->Window.Messages.size(), 1u);
    EXPECT_EQ(W->Window.Messages[0].Text, "We cannot find any MetaTrader folder in this computer.\r"
                                          "We add a default folder so you can continue with the installation,\r"
                                          "and install MetaTrader later.");
    EXPECT_EQ(W->Window.Messages[0].Caption, "Warning");
    EXPECT_EQ(W->Window.Messages[0].Icon, TMessageIcon::Warning);

    W->ListMetaTrader.SetChecked(0, false);
    Form->BtnPrevClick();
    Form->BtnNextClick();
    EXPECT_EQ(Items(W->ListMetaTrader), std::vector<std::string>{"[ ] C:\\Program Files\\MetaTrader 4"});
    EXPECT_EQ(W->Window.Messages.size(), 1u);
}

TEST_F(TerminalScan, FoldersAddedByHandAreTakenAsChosenAndKept)
{
    Start();
    NextUntil("Folder");
    M.Shell.AnswerFolderChoice(true, "D:\\Trading\\MT4 Demo");
    M.Shell.AnswerFolderChoice(false);
    M.Shell.AnswerFolderChoice(true, "D:\\Trading\\MT4 Demo");
    M.Shell.AnswerFolderChoice(true, "E:\\");
    for (int I = 0; I < 4; ++I)
        Form->BtnAddMetaTraderClick();
    ASSERT_EQ(M.Shell.FolderChoices().size(), 4u);
    EXPECT_EQ(M.Shell.FolderChoices()[0].Caption, "Select MetaTrader Folder");
    EXPECT_EQ(M.Shell.FolderChoices()[0].InitialFolder, ProgramFiles);
    const std::vector<std::string> Expected = {
        "[x] C:\\Program Files\\MetaTrader 4",
        "[x] D:\\Trading\\MT4 Demo",
        "[x] D:\\Trading\\MT4 Demo",
        "[x] E:\\",
    };
    EXPECT_EQ(Items(W->ListMetaTrader), Expected);
    // Leaving and coming back scans nothing anew.
    W->ListMetaTrader.SetChecked(1, false);
    Form->BtnPrevClick();
    Form->BtnNextClick();
    auto Kept = Expected;
    Kept[1] = "[ ] D:\\Trading\\MT4 Demo";
    EXPECT_EQ(Items(W->ListMetaTrader), Kept);
}

TEST_F(TerminalScan, APickWithoutAFileSystemPathIsRefusedAndChangesNothing)
{
    Start();
    NextUntil("Folder");
    const auto Before = Items(W->ListMetaTrader);
    const size_t MessagesBefore = W->Window.Messages.size();
    M.Shell.AnswerFolderChoiceWithoutPath("This PC");
    Form->BtnAddMetaTraderClick();
    EXPECT_EQ(Items(W->ListMetaTrader), Before);
    ASSERT_EQ(W->Window.Messages.size(), MessagesBefore + 1);
    EXPECT_EQ(W->Window.Messages.back().Text,
              "\"This PC\" is not a folder on a disk.\rPlease choose the folder where MetaTrader is installed.");
    EXPECT_EQ(W->Window.Messages.back().Caption, "Error");
    EXPECT_EQ(W->Window.Messages.back().Icon, TMessageIcon::Error);
    EXPECT_EQ(Screen(), "Folder +Prev +Next +Cancel");
    // An item whose name the chooser does not give.
    M.Shell.AnswerFolderChoiceWithoutPath("");
    Form->BtnAddMetaTraderClick();
    EXPECT_EQ(Items(W->ListMetaTrader), Before);
    EXPECT_EQ(W->Window.Messages.back().Text,
              "The item you chose is not a folder on a disk.\rPlease choose the folder where MetaTrader is installed.");
}

TEST_F(TerminalScan, ARunningTerminalHoldsBothWizardsOnTheWelcomePage)
{
    const std::string Message =
        "The wizard detect a MetaTrader program currently running.\rPlease close the program and then click OK to "
        "continue.";
    M.System.AddWindow(TerminalWindowClass, "1234567: Broker - Demo Account");
    Start();
    Form->BtnNextClick();
    Form->BtnNextClick();
    EXPECT_EQ(Screen(), "Welcome -Prev +Next +Cancel");
    ASSERT_EQ(W->Window.Messages.size(), 2u);
    EXPECT_EQ(W->Window.Messages[1].Text, Message);
    EXPECT_EQ(W->Window.Messages[1].Caption, "Error");
    EXPECT_EQ(W->Window.Messages[1].Icon, TMessageIcon::Error);
    M.System.CloseWindows(TerminalWindowClass);
    Form->BtnNextClick();
    EXPECT_EQ(Page(), "License");

    // The uninstaller of an installed product refuses the same way.
    NextUntil("Finish");
    M.System.AddWindow(TerminalWindowClass);
    Open(std::string(App) + "\\Uninstall.exe");
    Form->BtnNextClick();
    EXPECT_EQ(Page(), "Welcome");
    ASSERT_EQ(W->Window.Messages.size(), 1u);
    EXPECT_EQ(W->Window.Messages[0].Text, Message);
    // Another window class does not count.
    M.System.CloseWindows(TerminalWindowClass);
    M.System.AddWindow("MetaQuotes::MetaTrader::5.00");
    Form->BtnNextClick();
    EXPECT_EQ(Page(), "Progress");
}

} // namespace
} // namespace qe::test
