// The wizard of a package that asks for the terminals' data folders: the terminals it
// finds beyond Program Files, and the data folders its summary and run name.
#include <algorithm>

#include "platform/SysFolders.h"
#include "tests/app/WizardFixture.h"
#include "tests/platform/TerminalDataSeed.h"

namespace qe::test {
namespace {

// A 64-bit Windows as a 32-bit program sees it: its Program Files is the x86 one, and the
// native one is known from the environment only.
const std::string X86 = "C:\\Program Files (x86)";
const std::string Native = "C:\\Program Files";

class DataFolderWizard : public WizardTest {
protected:
    DataFolderWizard()
    {
        Contents.UseDataFolders = true;
        M.Registry.SetString(TRegistryRoot::rrLocalMachine, WindowsPathsKey, "ProgramFilesDir", X86);
        M.System.SetVariable("ProgramW6432", Native);
        M.FileSystem.AddFile(X86 + "\\Broker MT4\\terminal.exe", "");
        M.FileSystem.AddFile(X86 + "\\Hidden MT4\\terminal.exe", "");
        M.FileSystem.SetAttributes(X86 + "\\Hidden MT4", faDirectory | faHidden);
        // Native: the fixture's T1, "C:\Program Files\MetaTrader 4", and a hidden one.
        M.FileSystem.AddFile(Native + "\\Hidden MT4\\terminal.exe", "");
        M.FileSystem.SetAttributes(Native + "\\Hidden MT4", faDirectory | faSystem);
    }

    std::vector<std::string> Listed() const
    {
        std::vector<std::string> Items;
        for (int32_t I = 0; I < W->ListMetaTrader.Count(); ++I)
            Items.push_back(W->ListMetaTrader.Text(I));
        return Items;
    }

    // The folder names below Folder in the order the file system gives them, of those in Names.
    std::vector<std::string> InListingOrder(const std::string& Folder, const std::vector<std::string>& Names)
    {
        std::vector<std::string> Paths;
        for (const TFolderEntry& Entry : M.FileSystem.ListFolder(Folder))
            if (std::find(Names.begin(), Names.end(), Entry.Name) != Names.end())
                Paths.push_back(Folder + "\\" + Entry.Name);
        return Paths;
    }
};

TEST_F(DataFolderWizard, ListsTheNativeProgramFilesAndWhatOriginsNameOnceEach)
{
    // T2, "D:\Trading\MT4 Demo", is known only from its data folder.
    AddDataFolder(M, "A0000000000000000000000000000001", OriginBytes(u"D:\\Trading\\MT4 Demo", true, u"\r\n"));
    // Terminals listed already, named again in other letters.
    AddDataFolder(M, "A0000000000000000000000000000002", OriginBytes(u"c:\\program files (x86)\\broker mt4\\", false));
    AddDataFolder(M, "A0000000000000000000000000000003", OriginBytes(u"C:\\PROGRAM FILES\\MetaTrader 4"));
    // A terminal removed since, a folder holding a folder named terminal.exe, a broken file,
    // and a terminal named by a folder beside the data folders that is none.
    AddDataFolder(M, "A0000000000000000000000000000004", OriginBytes(u"C:\\Trading\\Gone MT4"));
    M.FileSystem.AddFolders("D:\\Odd MT4\\terminal.exe");
    AddDataFolder(M, "A0000000000000000000000000000005", OriginBytes(u"D:\\Odd MT4"));
    AddDataFolder(M, "A0000000000000000000000000000006", "\xFF\xFE\x43");
    M.FileSystem.AddFile("D:\\Shared MT4\\terminal.exe", "");
    AddDataFolder(M, "Common", OriginBytes(u"D:\\Shared MT4"));

    Start();
    NextUntil("Folder");
    std::vector<std::string> Expected = InListingOrder(X86, {"Broker MT4"});
    Expected.push_back(std::string(T1));
    Expected.push_back(std::string(T2));
    EXPECT_EQ(Listed(), Expected);
    for (int32_t I = 0; I < W->ListMetaTrader.Count(); ++I)
        EXPECT_TRUE(W->ListMetaTrader.Checked(I));
    EXPECT_TRUE(W->Window.Messages.empty());
}

TEST_F(DataFolderWizard, APackageWithoutTheRecordFindsWhatItFoundBefore)
{
    AddDataFolder(M, "A0000000000000000000000000000001", OriginBytes(u"D:\\Trading\\MT4 Demo"));
    Contents.UseDataFolders = false;
    Start();
    NextUntil("Folder");
    EXPECT_EQ(Listed(), InListingOrder(X86, {"Broker MT4"}));
    NextUntil("Ready");
    for (const std::string& Line : W->MemoReady.Lines())
        EXPECT_EQ(Line.find("MetaQuotes"), std::string::npos) << Line;
}

TEST_F(DataFolderWizard, OnlyAStaleOriginLeavesTheDefaultFolderAndItsWarning)
{
    M.System.SetVariable("ProgramW6432", X86); // a 32-bit Windows names no other folder
    M.FileSystem.RemoveFile(X86 + "\\Broker MT4\\terminal.exe");
    AddDataFolder(M, "A0000000000000000000000000000004", OriginBytes(u"C:\\Trading\\Gone MT4"));
    Start();
    NextUntil("Folder");
    EXPECT_EQ(Listed(), std::vector<std::string>{X86 + "\\MetaTrader 4"});
    EXPECT_EQ(W->Window.Messages.size(), 1u);
}

TEST_F(DataFolderWizard, TheSummaryAndTheRunNameEveryDataFolderUnderItsTerminal)
{
    const std::string Broker = X86 + "\\Broker MT4";
    const std::string D1 = AddDataFolder(M, "A0000000000000000000000000000001", OriginBytes(u"D:\\Trading\\MT4 Demo"));
    const std::string D2 = AddDataFolder(M, TerminalDataId(M.Platform(), Broker));
    const std::string D3 = AddDataFolder(M, TerminalDataId(M.Platform(), T1));
    Start();
    NextUntil("Folder");
    // Broker MT4, MetaTrader 4 (unchecked: its data folder receives nothing), MT4 Demo,
    // and a folder added by hand, which has no data folder.
    ASSERT_EQ(Listed().size(), 3u);
    W->ListMetaTrader.SetChecked(1, false);
    M.Shell.AnswerFolderChoice(true, "D:\\Plain");
    Form->BtnAddMetaTraderClick();
    NextUntil("Ready");
    const std::vector<std::string> Targets = {
        "Target Folder(s)",
        "        " + Broker,
        "            " + D2,
        "        " + std::string(T2),
        "            " + D1,
        "        D:\\Plain",
        "",
    };
    const auto Lines = W->MemoReady.Lines();
    ASSERT_GE(Lines.size(), 3 + Targets.size());
    EXPECT_EQ(std::vector<std::string>(Lines.begin() + 3, Lines.begin() + 3 + static_cast<long>(Targets.size())),
              Targets);

    NextUntil("Progress");
    const std::string App = X86 + "\\Grid Expert";
    const std::vector<std::string> Copies = {
        "Copying file " + Broker + "\\experts\\GridExpert.mq4 ...",
        "Copying file " + App + "\\Manual.txt ...",
        "Copying file " + D2 + "\\experts\\GridExpert.mq4 ...",
        "Copying file " + std::string(T2) + "\\experts\\GridExpert.mq4 ...",
        "Copying file " + D1 + "\\experts\\GridExpert.mq4 ...",
        "Copying file D:\\Plain\\experts\\GridExpert.mq4 ...",
    };
    const auto Progress = W->MemoProgress.Lines();
    ASSERT_GE(Progress.size(), Copies.size());
    EXPECT_EQ(std::vector<std::string>(Progress.begin(), Progress.begin() + static_cast<long>(Copies.size())), Copies);
    EXPECT_FALSE(M.FileSystem.FileExists(D3 + "\\experts\\GridExpert.mq4"));
    // Only the install folders are offered to run.
    ASSERT_EQ(W->ComboRun.Count(), 2);
    EXPECT_EQ(W->ComboRun.Text(), Broker);
}

} // namespace
} // namespace qe::test
