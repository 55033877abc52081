// The current user's terminal data folders on a simulated machine: which one serves a
// terminal, and which install folders their origin.txt files name.
#include <gtest/gtest.h>

#include "platform/SysFolders.h"
#include "tests/platform/TerminalDataSeed.h"

namespace qe::test {
namespace {

const std::string Root = "C:\\Users\\User\\AppData\\Roaming\\MetaQuotes\\Terminal";

TEST(TerminalOrigin, IsOneAbsolutePathInUtf16WithOrWithoutMarkAndLineEnd)
{
    const std::u16string Path = u"C:\\Program Files (x86)\\Börse 交易 MT4";
    for (const bool Mark : {true, false})
        for (const std::u16string End : {u"", u"\r\n", u"\n", u"\r\n\r\n"})
            EXPECT_EQ(ParseOrigin(OriginBytes(Path, Mark, End)), "C:\\Program Files (x86)\\Börse 交易 MT4")
                << Mark << " " << End.size();
    EXPECT_EQ(ParseOrigin(OriginBytes(u"\\\\server\\share\\MT4")), "\\\\server\\share\\MT4");
    EXPECT_EQ(ParseOrigin(OriginBytes(u"d:\\")), "d:\\");
    // A character beyond the first 65536, as a pair of surrogates.
    EXPECT_EQ(ParseOrigin(OriginBytes(u"C:\\\U0001F4C8 MT4")), "C:\\\U0001F4C8 MT4");

    const std::string Malformed[] = {
        "",
        "\xFF\xFE",
        OriginBytes(Path).substr(1),              // an odd byte count
        "C:\\MT4",                                // 8-bit text
        OriginBytes(u"MT4\\terminal"),            // relative
        OriginBytes(u"\\MT4"),                    // relative to the current drive
        OriginBytes(u"C:MT4"),                    // relative to a drive's current folder
        OriginBytes(u"C:\\MT4\r\nD:\\Other"),     // two lines
        OriginBytes(u"C:\\MT4", true, u"\r\n\t"), // more than a line end
        std::string("\xFE\xFF\0C\0:\0\\\0M", 10), // big-endian
        OriginBytes(u"C:\\MT4") + std::string(2, '\0'),
        OriginBytes(u"C:\\MT4\xD83D"), // a surrogate without its pair: no UTF-8 names it
    };
    for (const std::string& Bytes : Malformed)
        EXPECT_EQ(ParseOrigin(Bytes), std::nullopt) << testing::PrintToString(Bytes);
}

class TerminalData : public ::testing::Test {
protected:
    TerminalData() { M.FileSystem.AddDrive('D'); }
    sim::TSimPlatform M;
};

TEST_F(TerminalData, TheRootIsInTheUsersAppDataFolder)
{
    EXPECT_EQ(TerminalDataRoot(M.Platform()), Root);
    M.Registry.SetString(TRegistryRoot::rrCurrentUser, ShellFoldersKey, "AppData", "E:\\Profiles\\Ann\\");
    EXPECT_EQ(TerminalDataRoot(M.Platform()), "E:\\Profiles\\Ann\\MetaQuotes\\Terminal");
    M.Registry.RemoveValue(TRegistryRoot::rrCurrentUser, ShellFoldersKey, "AppData");
    EXPECT_EQ(TerminalDataRoot(M.Platform()), "");
}

TEST_F(TerminalData, OriginFirstThenTheIdAndNothingForATerminalWithout)
{
    const std::string T1 = "C:\\Program Files\\MetaTrader 4", T2 = "D:\\Trading\\MT4 Demo";
    const std::string T3 = "D:\\Trading\\Portable", T4 = "D:\\Börse Трейдинг MT4";
    // T1's folder names it in other letters and with a trailing "\"; a folder of its ID
    // that holds no origin.txt stands beside it and is not taken.
    const std::string Named = AddDataFolder(M, "0123456789ABCDEF0123456789ABCDEF",
                                            OriginBytes(u"c:\\program files\\metatrader 4\\", true, u"\r\n"));
    AddDataFolder(M, TerminalDataId(M.Platform(), T1));
    // T2 has a folder of its ID only; T4's origin.txt, without a mark, names its path with
    // capitals outside ASCII, in a folder that is not its ID.
    const std::string ById = AddDataFolder(M, TerminalDataId(M.Platform(), T2));
    const std::string NonAscii =
        AddDataFolder(M, "FEDCBA9876543210FEDCBA9876543210", OriginBytes(u"D:\\BÖRSE ТРЕЙДИНГ MT4", false));
    // The shared folders name T3, which still has no data folder.
    for (const char* Shared : {"Common", "Community", "help"})
        AddDataFolder(M, Shared, OriginBytes(u"D:\\Trading\\Portable"));
    const auto Before = M.FileSystem.AllPaths();

    const TTerminalDataFolders Data(M.Platform());
    EXPECT_EQ(Data.Find(T1), Named);
    EXPECT_EQ(Data.Find(T1 + "\\"), Named);
    EXPECT_EQ(Data.Find(T2), ById);
    EXPECT_EQ(Data.Find("d:\\trading\\mt4 demo\\"), ById);
    EXPECT_EQ(Data.Find(T3), "");
    EXPECT_EQ(Data.Find(T4), NonAscii);
    EXPECT_NE(TerminalDataId(M.Platform(), T4), "FEDCBA9876543210FEDCBA9876543210");
    EXPECT_EQ(M.FileSystem.AllPaths(), Before);
}

TEST_F(TerminalData, OriginsNameTheReadableFilesInListingOrder)
{
    AddDataFolder(M, "A1", OriginBytes(u"C:\\Program Files\\MetaTrader 4\\"));
    AddDataFolder(M, "A2", OriginBytes(u"C:\\Trading\\Gone MT4", false, u"\r\n")); // stale: still named
    AddDataFolder(M, "A3", OriginBytes(u"C:\\Трейдинг 交易\\MT4"));
    AddDataFolder(M, "A4", "garbage");
    AddDataFolder(M, "A5");
    AddDataFolder(M, "A6", OriginBytes(u"D:\\B\u00F6rse"));
    M.FileSystem.AddFolders(Root + "\\A7\\origin.txt"); // a folder, not a file
    AddDataFolder(M, "A8", OriginBytes(u"C:\\Held"));
    M.FileSystem.SetInUse(Root + "\\A8\\origin.txt", true);
    AddDataFolder(M, "A9", OriginBytes(std::u16string(2100, u'x').insert(0, u"C:\\")));
    AddDataFolder(M, "Common", OriginBytes(u"C:\\Shared"));
    M.FileSystem.AddFile(Root + "\\origin.txt", OriginBytes(u"C:\\Loose"));

    std::vector<std::string> Expected;
    for (const TFolderEntry& Entry : M.FileSystem.ListFolder(Root)) {
        if (Entry.Name == "A1")
            Expected.push_back("C:\\Program Files\\MetaTrader 4");
        if (Entry.Name == "A2")
            Expected.push_back("C:\\Trading\\Gone MT4");
        if (Entry.Name == "A3")
            Expected.push_back("C:\\Трейдинг 交易\\MT4");
        if (Entry.Name == "A6")
            Expected.push_back("D:\\Börse");
    }
    EXPECT_EQ(TTerminalDataFolders(M.Platform()).Origins(), Expected);
}

TEST_F(TerminalData, WithoutAnAppDataFolderNoneIsFound)
{
    const std::string T1 = "C:\\Program Files\\MetaTrader 4";
    AddDataFolder(M, TerminalDataId(M.Platform(), T1), OriginBytes(u"C:\\Program Files\\MetaTrader 4"));
    M.Registry.RemoveValue(TRegistryRoot::rrCurrentUser, ShellFoldersKey, "AppData");
    // Not even a folder of the ID relative to the current folder.
    M.FileSystem.SetCurrentFolder(Root);
    const TTerminalDataFolders Data(M.Platform());
    EXPECT_EQ(Data.Find(T1), "");
    EXPECT_TRUE(Data.Origins().empty());
}

} // namespace
} // namespace qe::test
