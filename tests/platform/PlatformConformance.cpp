// Behaviours of the platform layer that the system relies on, checked against whichever
// Windows the build provides: the simulated one on the host, the real one under Wine.
#include <gtest/gtest.h>
#include <regex>

#include <algorithm>
#include <functional>

#include "platform/Exceptions.h"
#include "platform/Paths.h"
#include "platform/ShellLink.h"
#include "platform/SysFolders.h"
#include "platform/TerminalDataFolders.h"
#include "platform/Unicode.h"
#include "tests/platform/ConformanceWorld.h"

namespace qe::test {
namespace {

// Windows error codes that the suite expects.
constexpr uint32_t ErrorFilenameExcedRange = 206;
constexpr uint32_t ErrorDirectory = 267;

class PlatformConformance : public ::testing::Test {
protected:
    std::unique_ptr<IConformanceWorld> World = MakeConformanceWorld();
    const TPlatform& P = World->Platform();
    IFileSystem& Fs = *P.FileSystem;
    IRegistry& Reg = *P.Registry;
    const std::string Dir = World->Scratch();

    void Write(const std::string& Path, const std::string& Bytes)
    {
        auto S = Fs.CreateForWriting(Path);
        S->WriteString(Bytes);
        S->Flush();
    }
    std::string Read(const std::string& Path)
    {
        auto S = Fs.OpenForReading(Path);
        std::string Bytes(static_cast<size_t>(S->GetSize()), '\0');
        S->ReadBuffer(Bytes.data(), static_cast<int32_t>(Bytes.size()));
        return Bytes;
    }
    template <typename TError> std::string MessageOf(const std::function<void()>& Action)
    {
        try {
            Action();
        } catch (const TError& E) {
            return E.Message();
        }
        return "(no error)";
    }
};

TEST_F(PlatformConformance, CreatedFilesReplaceOldContentAndReadBack)
{
    const std::string File = Dir + "\\data.bin";
    Write(File, std::string(1000, 'x'));
    Write(File, std::string("\0\1\2\xFF", 4));
    EXPECT_EQ(Read(File), std::string("\0\1\2\xFF", 4));
    EXPECT_TRUE(Fs.FileExists(File));
    EXPECT_FALSE(Fs.FolderExists(File));
}

TEST_F(PlatformConformance, StreamsSeekAndMoveManySmallBlocks)
{
    const std::string File = Dir + "\\blocks.bin";
    std::string Expected;
    {
        auto S = Fs.CreateForWriting(File);
        for (int Block = 0; Block < 5000; ++Block) {
            std::string Bytes(16, static_cast<char>(Block));
            S->WriteString(Bytes);
            Expected += Bytes;
        }
        // Patch a word in the middle, as the uninstaller's offset field is patched.
        S->Seek(136, TSeekOrigin::soBeginning);
        S->WriteString("ABCD");
        Expected.replace(136, 4, "ABCD");
        EXPECT_EQ(S->Seek(0, TSeekOrigin::soEnd), 80000);
        S->Flush();
    }
    auto S = Fs.OpenForReading(File);
    EXPECT_EQ(S->GetSize(), 80000);
    std::string Got;
    char Block[16];
    while (S->Read(Block, 16) == 16)
        Got.append(Block, 16);
    EXPECT_EQ(Got, Expected);
    S->Seek(-4, TSeekOrigin::soEnd);
    EXPECT_EQ(S->Read(Block, 16), 4);
}

TEST_F(PlatformConformance, OpenAndCreateFailuresCarryPathAndSystemText)
{
    const std::string Missing = Dir + "\\missing.txt";
    const std::string Open = MessageOf<EFOpenError>([&] { Fs.OpenForReading(Missing); });
    const std::string OpenPrefix = "Cannot open file \"" + Missing + "\". ";
    ASSERT_EQ(Open.substr(0, OpenPrefix.size()), OpenPrefix);
    EXPECT_GT(Open.size(), OpenPrefix.size());
    EXPECT_NE(Open.back(), '.');

    const std::string InMissingFolder = Dir + "\\no\\such\\folder\\x.txt";
    const std::string Create = MessageOf<EFCreateError>([&] { Fs.CreateForWriting(InMissingFolder); });
    const std::string CreatePrefix = "Cannot create file \"" + InMissingFolder + "\". ";
    ASSERT_EQ(Create.substr(0, CreatePrefix.size()), CreatePrefix);
    EXPECT_GT(Create.size(), CreatePrefix.size());
}

TEST_F(PlatformConformance, FilesInUseAndFoldersCannotBeCreatedOver)
{
    const std::string File = Dir + "\\busy.txt";
    Write(File, "keep");
    World->HoldOpen(File);
    EXPECT_THROW(Fs.CreateForWriting(File), EFCreateError);
    EXPECT_THROW(Fs.OpenForReading(File), EFOpenError);
    EXPECT_FALSE(Fs.RemoveFile(File));
    EXPECT_TRUE(Fs.FileExists(File));
    // Its times can still be set: no other program's open file denies that.
    EXPECT_TRUE(Fs.SetFileTimes(File, TFileTimes{0, 0, 131000000000000000ULL}));
    TFileTimes Times;
    ASSERT_TRUE(Fs.GetFileTimes(File, Times));
    EXPECT_EQ(Times.LastWriteTime, 131000000000000000ULL);

    ASSERT_TRUE(Fs.MakeFolder(Dir + "\\terminal.exe"));
    EXPECT_THROW(Fs.CreateForWriting(Dir + "\\terminal.exe"), EFCreateError);
    EXPECT_FALSE(Fs.FileExists(Dir + "\\terminal.exe"));
    EXPECT_FALSE(Fs.RemoveFile(Dir + "\\terminal.exe"));

    const std::string Attributed = Dir + "\\attributes.txt";
    Write(Attributed, "a");
    ASSERT_TRUE(Fs.SetAttributes(Attributed, faReadOnly));
    uint32_t Attributes = 0;
    ASSERT_TRUE(Fs.GetAttributes(Attributed, Attributes));
    EXPECT_EQ(Attributes & (faReadOnly | faDirectory), static_cast<uint32_t>(faReadOnly));
    ASSERT_TRUE(Fs.SetAttributes(Attributed, faNormal));
    ASSERT_TRUE(Fs.GetAttributes(Dir, Attributes));
    EXPECT_NE(Attributes & faDirectory, 0u);
    EXPECT_FALSE(Fs.GetAttributes(Dir + "\\none", Attributes));
}

TEST_F(PlatformConformance, NewFilesNeverOpenWhatIsThere)
{
    const std::string File = Dir + "\\script.bat";
    {
        auto S = Fs.CreateNewForWriting(File);
        S->WriteString("first");
        S->Flush();
    }
    EXPECT_EQ(Read(File), "first");
    const std::string Message = MessageOf<EFCreateError>([&] { Fs.CreateNewForWriting(File); });
    EXPECT_EQ(Message.substr(0, Message.find(". ") + 2), "Cannot create file \"" + File + "\". ");
    EXPECT_EQ(Read(File), "first");
    ASSERT_TRUE(Fs.MakeFolder(Dir + "\\folder.bat"));
    EXPECT_THROW(Fs.CreateNewForWriting(Dir + "\\folder.bat"), EFCreateError);
    EXPECT_TRUE(Fs.FolderExists(Dir + "\\folder.bat"));
}

TEST_F(PlatformConformance, PrivateFoldersAreNewAndOnlyTheirOwnersMayChangeThem)
{
    const std::string Private = Dir + "\\private";
    const std::string Users = Dir + "\\users";
    ASSERT_TRUE(Fs.MakePrivateFolder(Private, TPrivateTo::Administrators));
    ASSERT_TRUE(Fs.MakePrivateFolder(Users, TPrivateTo::CurrentUser));
    EXPECT_TRUE(Fs.FolderExists(Private));
    EXPECT_FALSE(Fs.MakePrivateFolder(Private, TPrivateTo::Administrators));
    EXPECT_FALSE(Fs.MakePrivateFolder(Users, TPrivateTo::Administrators));
    ASSERT_TRUE(Fs.MakeFolder(Dir + "\\open"));
    EXPECT_FALSE(Fs.MakePrivateFolder(Dir + "\\open", TPrivateTo::CurrentUser));
    if (World->KeepsAccessLists()) {
        EXPECT_EQ(World->PrivateTo(Private), TPrivateTo::Administrators);
        EXPECT_EQ(World->PrivateTo(Users), TPrivateTo::CurrentUser);
        EXPECT_EQ(World->PrivateTo(Dir + "\\open"), std::nullopt);
    }
    // The user's own folder takes the user's files.
    Write(Users + "\\script.bat", "@exit");
    EXPECT_EQ(Read(Users + "\\script.bat"), "@exit");
    EXPECT_FALSE(Fs.MakePrivateFolder(Dir + "\\missing\\private", TPrivateTo::Administrators));
}

TEST_F(PlatformConformance, RandomBytesDifferFromCallToCall)
{
    uint8_t A[16] = {}, B[16] = {};
    ASSERT_TRUE(P.System->RandomBytes(A, sizeof(A)));
    ASSERT_TRUE(P.System->RandomBytes(B, sizeof(B)));
    EXPECT_FALSE(std::equal(std::begin(A), std::end(A), std::begin(B)));
    EXPECT_FALSE(std::all_of(std::begin(A), std::end(A), [](uint8_t Byte) { return Byte == 0; }));
}

TEST_F(PlatformConformance, RenamedFilesReplaceTheirTargetInOneStepOrNotAtAll)
{
    const std::string New = Dir + "\\new.tmp";
    const std::string Old = Dir + "\\target.txt";
    Write(Old, "old");
    Write(New, "new contents");
    Fs.RenameFile(New, Old);
    EXPECT_EQ(Read(Old), "new contents");
    EXPECT_FALSE(Fs.FileExists(New));

    // A busy target stays, and so does the file meant to replace it.
    Write(New, "newer");
    World->HoldOpen(Old);
    const std::string Denied = MessageOf<EFCreateError>([&] { Fs.RenameFile(New, Old); });
    EXPECT_EQ(Denied.substr(0, Old.size() + 21), "Cannot create file \"" + Old + "\"") << Denied;
    EXPECT_EQ(Read(New), "newer");
    EXPECT_THROW(Fs.RenameFile(Dir + "\\missing.tmp", Dir + "\\other.txt"), EFCreateError);
    EXPECT_FALSE(Fs.FileExists(Dir + "\\other.txt"));
}

TEST_F(PlatformConformance, NamesCompareWithoutLetterCaseAndKeepTheirOwn)
{
    Write(Dir + "\\Mixed Case.TXT", "abc");
    EXPECT_EQ(Read(Dir + "\\mIXED cASE.txt"), "abc");
    Write(Dir + "\\MIXED CASE.txt", "second");
    const auto Entries = Fs.ListFolder(Dir);
    ASSERT_EQ(Entries.size(), 1u);
    EXPECT_EQ(Entries[0].Name, "Mixed Case.TXT");
    EXPECT_FALSE(Entries[0].IsFolder());
    EXPECT_EQ(Read(Dir + "\\Mixed Case.TXT"), "second");
    EXPECT_TRUE(Fs.FolderExists(UpperCase(Dir)));
}

TEST_F(PlatformConformance, LettersOutsideAsciiCompareWithoutCaseToo)
{
    // The Latin, Greek and Cyrillic alphabets' small letters and capitals name one file,
    // which keeps the letters it was made with.
    const std::pair<std::string, std::string> Names[] = {
        {"Ärger Łódź ÿ.txt", "äRGER łÓDŹ Ÿ.TXT"},
        {"Αλφάβητο ω.txt", "ΑΛΦΆΒΗΤΟ Ω.txt"},
        {"Советник Ёж.txt", "сОВЕТНИК ёЖ.txt"},
        {"Їжак Ґанок.txt", "їЖАК ґАНОК.TXT"},
    };
    for (const auto& [Made, Other] : Names) {
        Write(Dir + "\\" + Made, "first");
        Write(Dir + "\\" + Other, "second");
        const auto Entries = Fs.ListFolder(Dir);
        ASSERT_EQ(Entries.size(), 1u) << Made;
        EXPECT_EQ(Entries[0].Name, Made);
        EXPECT_EQ(Read(Dir + "\\" + Made), "second");
        EXPECT_TRUE(Fs.FileExists(Dir + "\\" + Other));
        EXPECT_TRUE(Fs.RemoveFile(Dir + "\\" + Other)) << Other;
        EXPECT_TRUE(Fs.ListFolder(Dir).empty());
    }
    // Letters that only look alike are others: the Latin "A", the Cyrillic "А" and the
    // Greek "Α", and "e" beside "é". A name without letter case comes back as written.
    for (const char* Name : {"A.txt", "А.txt", "Α.txt", "Cafe.txt", "Café.txt", "网格交易.txt"})
        Write(Dir + "\\" + Name, Name);
    std::vector<std::string> Listed;
    for (const TFolderEntry& Entry : Fs.ListFolder(Dir))
        Listed.push_back(Entry.Name);
    std::sort(Listed.begin(), Listed.end());
    EXPECT_EQ(Listed, (std::vector<std::string>{"A.txt", "Cafe.txt", "Café.txt", "Α.txt", "А.txt", "网格交易.txt"}));
    EXPECT_EQ(Read(Dir + "\\а.TXT"), "А.txt");
    EXPECT_EQ(Read(Dir + "\\CAFÉ.TXT"), "Café.txt");

    const auto CU = TRegistryRoot::rrCurrentUser;
    Reg.WriteString(CU, World->RegistryKey() + "\\Ölkännchen Ключ", "Значение Ω", "данные 网格 ø");
    std::string Value;
    ASSERT_TRUE(Reg.ReadString(CU, World->RegistryKey() + "\\ÖLKÄNNCHEN ключ", "зНАЧЕНИЕ ω", false, Value));
    EXPECT_EQ(Value, "данные 网格 ø");
    EXPECT_TRUE(Reg.DeleteKey(CU, World->RegistryKey() + "\\ölkännchen КЛЮЧ"));
    EXPECT_FALSE(Reg.KeyExists(CU, World->RegistryKey() + "\\Ölkännchen Ключ"));
}

TEST_F(PlatformConformance, FileTimesAreSetAndReadBack)
{
    const std::string File = Dir + "\\times.txt";
    Write(File, "t");
    const TFileTimes Times{132000000000000000ULL, 132500000000000000ULL, 133000000000000000ULL};
    ASSERT_TRUE(Fs.SetFileTimes(File, Times));
    TFileTimes Got;
    ASSERT_TRUE(Fs.GetFileTimes(File, Got));
    if (World->KeepsCreationTimes()) {
        EXPECT_EQ(Got.CreationTime, Times.CreationTime);
    }
    EXPECT_EQ(Got.LastAccessTime, Times.LastAccessTime);
    EXPECT_EQ(Got.LastWriteTime, Times.LastWriteTime);
    // A time of 0 leaves that time alone.
    ASSERT_TRUE(Fs.SetFileTimes(File, TFileTimes{0, 0, 131000000000000000ULL}));
    ASSERT_TRUE(Fs.GetFileTimes(File, Got));
    if (World->KeepsCreationTimes()) {
        EXPECT_EQ(Got.CreationTime, Times.CreationTime);
    }
    EXPECT_EQ(Got.LastAccessTime, Times.LastAccessTime);
    EXPECT_EQ(Got.LastWriteTime, 131000000000000000ULL);
    EXPECT_FALSE(Fs.SetFileTimes(Dir + "\\none.txt", Times));
}

TEST_F(PlatformConformance, TimesSetOnTheOpenFileComeAfterItsLastWriteAndOutliveItsClose)
{
    const std::string File = Dir + "\\stamped.bin";
    const TFileTimes Times{132000000000000000ULL, 132500000000000000ULL, 133000000000000000ULL};
    {
        auto S = Fs.CreateForWriting(File);
        S->WriteString("still in the buffer");
        EXPECT_TRUE(S->SetFileTimes(Times));
    }
    EXPECT_EQ(Read(File), "still in the buffer");
    TFileTimes Got;
    ASSERT_TRUE(Fs.GetFileTimes(File, Got));
    if (World->KeepsCreationTimes()) {
        EXPECT_EQ(Got.CreationTime, Times.CreationTime);
    }
    EXPECT_EQ(Got.LastWriteTime, Times.LastWriteTime);
}

TEST_F(PlatformConformance, FoldersAreMadeOneByOneAndRemovedOnlyWhenEmpty)
{
    const std::string A = Dir + "\\A";
    EXPECT_FALSE(Fs.MakeFolder(A + "\\B")); // parent missing
    ASSERT_TRUE(Fs.MakeFolder(A));
    EXPECT_FALSE(Fs.MakeFolder(A)); // exists
    ASSERT_TRUE(Fs.MakeFolder(A + "\\B"));
    Write(A + "\\B\\f.txt", "f");
    EXPECT_FALSE(Fs.RemoveFolder(A + "\\B"));
    EXPECT_TRUE(Fs.FolderExists(A + "\\B"));
    const bool RemovedFile = Fs.RemoveFolder(A + "\\B\\f.txt");
    const uint32_t NotAFolder = World->LastError();
    EXPECT_FALSE(RemovedFile); // a file is not a folder
    EXPECT_EQ(NotAFolder, ErrorDirectory);
    EXPECT_TRUE(Fs.RemoveFile(A + "\\B\\f.txt"));
    EXPECT_FALSE(Fs.RemoveFile(A + "\\B\\f.txt")); // already gone
    EXPECT_TRUE(Fs.RemoveFolder(A + "\\B"));
    EXPECT_TRUE(Fs.RemoveFolder(A));
    EXPECT_FALSE(Fs.RemoveFolder(A));
    EXPECT_FALSE(Fs.FolderExists(A));
}

TEST_F(PlatformConformance, ForceFoldersMakesEveryMissingLevel)
{
    const std::string Deep = Dir + "\\one\\two\\three";
    EXPECT_TRUE(ForceFolders(Fs, Deep));
    EXPECT_TRUE(Fs.FolderExists(Deep));
    EXPECT_TRUE(ForceFolders(Fs, Deep + "\\")); // already there
    EXPECT_EQ(MessageOf<Exception>([&] { ForceFolders(Fs, ""); }), "Unable to create directory");
    // A file in the way: the folder cannot be made and the result says so.
    Write(Dir + "\\blocker", "x");
    EXPECT_FALSE(ForceFolders(Fs, Dir + "\\blocker\\sub"));
    // A name ending in ":" is its own parent: the call ends instead of recursing forever.
    EXPECT_FALSE(ForceFolders(Fs, Dir + "\\stream.txt:"));
    EXPECT_FALSE(ForceFolders(Fs, Dir + "\\new\\stream.txt:"));
}

TEST_F(PlatformConformance, FolderListingsCarryAttributes)
{
    Fs.MakeFolder(Dir + "\\Sub");
    Write(Dir + "\\terminal.exe", "");
    auto Entries = Fs.ListFolder(Dir);
    std::sort(Entries.begin(), Entries.end(), [](auto& A, auto& B) { return UpperCase(A.Name) < UpperCase(B.Name); });
    ASSERT_EQ(Entries.size(), 2u);
    EXPECT_EQ(Entries[0].Name, "Sub");
    EXPECT_TRUE(Entries[0].IsFolder());
    EXPECT_EQ(Entries[1].Name, "terminal.exe");
    EXPECT_FALSE(Entries[1].IsFolder());
    EXPECT_TRUE(Fs.ListFolder(Dir + "\\none").empty());
    EXPECT_TRUE(Fs.FileExists(Dir + "\\terminal.exe"));
}

TEST_F(PlatformConformance, PathsLongerThanTheLimitFailInsteadOfBeingCut)
{
    std::string Long = Dir + "\\";
    while (Long.size() < 300)
        Long += "abcdefghij";
    EXPECT_THROW(Fs.CreateForWriting(Long + ".txt"), EFCreateError);
    EXPECT_TRUE(Fs.ListFolder(Dir).empty());
    TShellLink Link(*P.Shell);
    Link.Path = Dir + "\\target.txt";
    const std::string Message = MessageOf<EFCreateError>([&] { Link.Save(Long + ".lnk"); });
    EXPECT_EQ(Message.substr(0, 19), "Cannot create file ");
    EXPECT_TRUE(Fs.ListFolder(Dir).empty());
}

TEST_F(PlatformConformance, FoldersLeaveRoomForAShortFileName)
{
    // A folder path may have 248 characters, so that files still fit below it.
    auto Named = [&](size_t Length) { return Dir + "\\" + std::string(Length - Dir.size() - 1, 'f'); };
    ASSERT_LT(Dir.size(), 200u);
    if (World->LimitsFolderPaths()) {
        const bool Made250 = Fs.MakeFolder(Named(250));
        const uint32_t Error = World->LastError();
        EXPECT_FALSE(Made250);
        EXPECT_EQ(Error, ErrorFilenameExcedRange);
        EXPECT_FALSE(Fs.FolderExists(Named(250)));
        EXPECT_FALSE(Fs.MakeFolder(Named(249)));
    }
    EXPECT_TRUE(Fs.MakeFolder(Named(248)));
    Write(Named(248) + "\\a.txt", "fits");
    EXPECT_EQ(Read(Named(248) + "\\a.txt"), "fits");

    // Windows counts UTF-16 units, not bytes: a path of 259 Cyrillic letters and their folder
    // fits, though its UTF-8 has twice as many bytes. (Names of at most 100 letters: a Linux
    // file system under Wine takes no name of more than 255 bytes.)
    std::string Cyrillic = Dir;
    while (Utf16Length(Cyrillic) < 248) {
        Cyrillic += "\\";
        for (int Letter = 0; Letter < 100 && Utf16Length(Cyrillic) < 248; ++Letter)
            Cyrillic += "ж";
        EXPECT_TRUE(Fs.MakeFolder(Cyrillic)) << World->LastError();
    }
    std::string File = Cyrillic + "\\";
    while (Utf16Length(File) < 259)
        File += "я";
    Write(File, "fits");
    EXPECT_EQ(Read(File), "fits");
    TShellLink Link(*P.Shell);
    Link.Path = File;
    EXPECT_NO_THROW(Link.Save(File.substr(0, File.size() - 8) + ".lnk"));
    if (World->LimitsFolderPaths()) { // Wine limits neither
        EXPECT_THROW(Fs.CreateForWriting(File + "я"), EFCreateError);
    }
}

TEST_F(PlatformConformance, ShellLinksAreWrittenAndReadBack)
{
    const std::string Target = Dir + "\\Docs\\Readme.rtf";
    ASSERT_TRUE(ForceFolders(Fs, Dir + "\\Docs"));
    Write(Target, "{\\rtf1}");
    const std::string LinkFile = Dir + "\\Readme.lnk";
    TShellLink Link(*P.Shell);
    Link.Path = Target;
    Link.WorkingDirectory = Dir + "\\Docs";
    Link.Save(LinkFile);
    TShellLinkData Data;
    ASSERT_TRUE(P.Shell->ReadLink(LinkFile, Data));
    EXPECT_TRUE(SameText(Data.Path, Target)) << Data.Path;
    EXPECT_TRUE(SameText(Data.WorkingDirectory, Dir + "\\Docs")) << Data.WorkingDirectory;

    // Saved again over the same name, the link points at the new target.
    Write(Dir + "\\Other.txt", "o");
    TShellLink Second(*P.Shell);
    Second.Path = Dir + "\\Other.txt";
    Second.WorkingDirectory = Dir;
    Second.Save(LinkFile);
    ASSERT_TRUE(P.Shell->ReadLink(LinkFile, Data));
    EXPECT_TRUE(SameText(Data.Path, Dir + "\\Other.txt")) << Data.Path;

    // Names of any script: the link, its target and its folder.
    const std::string Folder = Dir + "\\Советник 网格";
    ASSERT_TRUE(ForceFolders(Fs, Folder + "\\文档"));
    Write(Folder + "\\文档\\Руководство.txt", "r");
    TShellLink Named(*P.Shell);
    Named.Path = Folder + "\\文档\\Руководство.txt";
    Named.WorkingDirectory = Folder + "\\文档";
    Named.Save(Folder + "\\Руководство 网格.lnk");
    ASSERT_TRUE(P.Shell->ReadLink(Folder + "\\Руководство 网格.lnk", Data));
    EXPECT_TRUE(SameText(Data.Path, Named.Path)) << Data.Path;
    EXPECT_TRUE(SameText(Data.WorkingDirectory, Named.WorkingDirectory)) << Data.WorkingDirectory;

    // Into a folder that does not exist: no file and no error.
    EXPECT_NO_THROW(Link.Save(Dir + "\\Nowhere\\x.lnk"));
    EXPECT_FALSE(Fs.FileExists(Dir + "\\Nowhere\\x.lnk"));
    EXPECT_FALSE(P.Shell->ReadLink(Target, Data)); // not a link
}

TEST_F(PlatformConformance, RegistryStringsAreWrittenReadAndDeletedWithSubkeys)
{
    const auto CU = TRegistryRoot::rrCurrentUser;
    const std::string Key = World->RegistryKey();
    std::string Value;
    EXPECT_FALSE(Reg.ReadString(CU, Key, "DisplayName", false, Value));
    EXPECT_FALSE(Reg.KeyExists(CU, Key));
    EXPECT_FALSE(Reg.ReadString(CU, Key + "\\Made", "x", true, Value));
    EXPECT_TRUE(Reg.KeyExists(CU, Key + "\\Made")); // the reader may create its key

    Reg.WriteString(CU, Key + "\\Sub\\Deeper", "DisplayName", "Grid Expert");
    Reg.WriteString(CU, Key + "\\Sub\\Deeper", "DisplayName", "Grid Expert 2");
    ASSERT_TRUE(Reg.ReadString(CU, "\\" + Key + "\\SUB\\deeper", "displayname", false, Value));
    EXPECT_EQ(Value, "Grid Expert 2");
    Reg.WriteString(CU, Key + "\\Sub", "Empty", "");
    ASSERT_TRUE(Reg.ReadString(CU, Key + "\\Sub", "Empty", false, Value));
    EXPECT_EQ(Value, "");
    EXPECT_FALSE(Reg.ReadString(CU, Key + "\\Sub", "Missing", false, Value));

    Reg.WriteInteger(CU, Key + "\\Sub", "Number", 7);
    EXPECT_EQ(MessageOf<ERegistryException>([&] { Reg.ReadString(CU, Key + "\\Sub", "Number", false, Value); }),
              "Invalid data type for 'Number'");

    EXPECT_TRUE(Reg.DeleteKey(CU, Key + "\\Sub"));
    EXPECT_FALSE(Reg.KeyExists(CU, Key + "\\Sub\\Deeper"));
    EXPECT_FALSE(Reg.KeyExists(CU, Key + "\\Sub"));
    EXPECT_TRUE(Reg.KeyExists(CU, Key));
    EXPECT_FALSE(Reg.DeleteKey(CU, Key + "\\Sub"));
    EXPECT_FALSE(Reg.DeleteKey(CU, "\\"));
}

TEST_F(PlatformConformance, RegistryNumbersAreDwordsOfTheirOwnType)
{
    const auto CU = TRegistryRoot::rrCurrentUser;
    const std::string Entry = World->RegistryKey() + "\\Entry";
    uint32_t Number = 0;
    EXPECT_FALSE(Reg.ReadInteger(CU, Entry, "EstimatedSize", Number));
    EXPECT_FALSE(Reg.KeyExists(CU, Entry)); // reading a number creates no key

    Reg.WriteInteger(CU, Entry, "EstimatedSize", 0xFFFFFFFFu);
    Reg.WriteInteger(CU, Entry, "NoModify", 1);
    ASSERT_TRUE(Reg.ReadInteger(CU, "\\" + UpperCase(Entry), "estimatedsize", Number));
    EXPECT_EQ(Number, 0xFFFFFFFFu);
    ASSERT_TRUE(Reg.ReadInteger(CU, Entry, "NoModify", Number));
    EXPECT_EQ(Number, 1u);
    EXPECT_FALSE(Reg.ReadInteger(CU, Entry, "Missing", Number));

    // A value takes the type of its last write; reading it as the other type fails.
    Reg.WriteString(CU, Entry, "Mixed", "7");
    EXPECT_EQ(MessageOf<ERegistryException>([&] { Reg.ReadInteger(CU, Entry, "Mixed", Number); }),
              "Invalid data type for 'Mixed'");
    Reg.WriteInteger(CU, Entry, "Mixed", 7);
    std::string Text;
    EXPECT_EQ(MessageOf<ERegistryException>([&] { Reg.ReadString(CU, Entry, "Mixed", false, Text); }),
              "Invalid data type for 'Mixed'");
    ASSERT_TRUE(Reg.ReadInteger(CU, Entry, "Mixed", Number));
    EXPECT_EQ(Number, 7u);

    EXPECT_EQ(MessageOf<ERegistryException>([&] { Reg.WriteInteger(CU, "\\", "Root", 1); }),
              "Failed to set data for 'Root'");
}

TEST_F(PlatformConformance, SpecialFoldersFollowTheirSources)
{
    const std::string Temp = GetSpecialFolder(P, sfTemp, true);
    ASSERT_GE(Temp.size(), 3u);
    EXPECT_EQ(Temp.back(), '\\');
    EXPECT_NE(Temp[Temp.size() - 2], '\\');
    EXPECT_EQ(GetSpecialFolder(P, sfTemp, false), Temp);
    EXPECT_TRUE(Fs.FolderExists(Temp));
    EXPECT_TRUE(Fs.FolderExists(GetSpecialFolder(P, sfWindows, false)));
    EXPECT_TRUE(Fs.FolderExists(GetSpecialFolder(P, sfSystem, false)));
    EXPECT_EQ(GetSpecialFolder(P, sfSystemDrive, false), GetSpecialFolder(P, sfSystem, false).substr(0, 2));
    const std::string ProgramFiles = GetSpecialFolder(P, sfProgramFiles, false);
    ASSERT_FALSE(ProgramFiles.empty());
    EXPECT_NE(ProgramFiles.back(), '\\');
    EXPECT_EQ(GetSpecialFolder(P, sfProgramFiles, true), ProgramFiles + "\\");
    EXPECT_TRUE(Fs.FolderExists(ProgramFiles));
    const std::string Boot = GetSpecialFolder(P, sfBootDir, false);
    ASSERT_FALSE(Boot.empty());
    EXPECT_NE(Boot.back(), '\\');
    EXPECT_EQ(GetSpecialFolder(P, 45, true), "");
}

TEST_F(PlatformConformance, SystemFoldersTooLongForTheirBufferReadAsEmpty)
{
    // 253 characters and the NUL fill the buffer; one more does not fit at all.
    const std::string Fits = "C:\\" + std::string(249, 't') + "\\";
    ASSERT_EQ(Fits.size(), 253u);
    World->SetTempFolder(Fits);
    EXPECT_TRUE(SameText(GetSpecialFolder(P, sfTemp, false), Fits)) << GetSpecialFolder(P, sfTemp, false);
    const std::string TooLong = "C:\\" + std::string(250, 't') + "\\";
    World->SetTempFolder(TooLong);
    EXPECT_EQ(GetSpecialFolder(P, sfTemp, false), "");
    EXPECT_EQ(GetSpecialFolder(P, sfTemp, true), "\\");
}

TEST_F(PlatformConformance, EnvironmentVariablesExpand)
{
    World->SetVariable("QE_CONFORMANCE_DIR", "D:\\Data");
    EXPECT_EQ(P.System->ExpandEnvironment("%QE_CONFORMANCE_DIR%\\x and %qe_conformance_dir%"),
              "D:\\Data\\x and D:\\Data");
    EXPECT_EQ(P.System->ExpandEnvironment("%QE_NOT_DEFINED_ANYWHERE%\\x"), "%QE_NOT_DEFINED_ANYWHERE%\\x");
    EXPECT_EQ(P.System->ExpandEnvironment("100% sure"), "100% sure");
}

TEST_F(PlatformConformance, TopLevelWindowsAreFoundByClass)
{
    EXPECT_FALSE(P.System->TopLevelWindowExists("QeConformance::NoSuchWindow"));
    World->OpenWindow("QeConformance::Terminal");
    EXPECT_TRUE(P.System->TopLevelWindowExists("QeConformance::Terminal"));
}

TEST_F(PlatformConformance, HiddenProcessesStartOnlyFromExistingPrograms)
{
    EXPECT_FALSE(P.System->StartHiddenIdleProcess(Dir + "\\none.bat", Dir, {}));
    Write(Dir + "\\quiet.bat", "@exit\r\n");
    EXPECT_TRUE(P.System->StartHiddenIdleProcess(Dir + "\\quiet.bat", Dir, {}));
    // Without a folder of its own the process starts in the caller's current folder.
    EXPECT_TRUE(P.System->StartHiddenIdleProcess(Dir + "\\quiet.bat", "", {}));
    const TSystemTime Now = P.System->LocalTime();
    EXPECT_GE(Now.Year, 2000);
    EXPECT_GE(Now.Month, 1);
    EXPECT_LE(Now.Month, 12);
}

// Links as a user who may write in a folder can plant them: the suite makes them as such a
// user would (a Unix symbolic link under Wine, which Wine takes for a link).
class PlatformLinks : public PlatformConformance {
protected:
    void SetUp() override
    {
        Fs.MakeFolder(Outside);
        Write(Outside + "\\victim.txt", "victim");
        Fs.MakeFolder(Inside);
        if (!World->MakeLink(Inside + "\\Linked", Outside, true) ||
            !World->MakeLink(Inside + "\\pointer.txt", Outside + "\\victim.txt", false))
            GTEST_SKIP() << "this machine lets the test make no links";
    }
    TEntryKind KindOf(const std::string& Path, bool* Held = nullptr)
    {
        TEntryKind Kind = TEntryKind::ekUnknown;
        const auto Hold = Fs.HoldAsItself(Path, Kind);
        if (Held != nullptr)
            *Held = Hold != nullptr;
        return Kind;
    }
    const std::string Outside = Dir + "\\Outside";
    const std::string Inside = Dir + "\\Inside";
};

TEST_F(PlatformLinks, EntriesOpenedAsThemselvesTellLinksOnTheWayAndAtTheEnd)
{
    bool Held = false;
    EXPECT_EQ(KindOf(Inside, &Held), TEntryKind::ekFolder);
    EXPECT_TRUE(Held);
    EXPECT_EQ(KindOf(Outside + "\\victim.txt", &Held), TEntryKind::ekFile);
    EXPECT_TRUE(Held);
    EXPECT_EQ(KindOf(Inside + "\\Linked", &Held), TEntryKind::ekLink);
    EXPECT_FALSE(Held);
    EXPECT_EQ(KindOf(Inside + "\\Linked\\victim.txt"), TEntryKind::ekLink);
    EXPECT_EQ(KindOf(Inside + "\\pointer.txt"), TEntryKind::ekLink);
    EXPECT_EQ(KindOf(Inside + "\\none"), TEntryKind::ekMissing);
    EXPECT_EQ(KindOf(Dir + "\\no\\such\\folder"), TEntryKind::ekMissing);
    // Roots and names in other letters are themselves.
    EXPECT_EQ(KindOf(Dir.substr(0, 3)), TEntryKind::ekFolder);
    EXPECT_EQ(KindOf(UpperCase(Inside)), TEntryKind::ekFolder);
    // A folder link is listed as a folder with a reparse point.
    uint32_t Attributes = 0;
    ASSERT_TRUE(Fs.GetAttributes(Inside + "\\Linked", Attributes));
    EXPECT_EQ(Attributes & (faDirectory | faReparsePoint), static_cast<uint32_t>(faDirectory | faReparsePoint));
    // What the run must never do by name alone: a write through the folder link lands
    // in the folder it points to.
    Write(Inside + "\\Linked\\planted.txt", "through");
    EXPECT_EQ(Read(Outside + "\\planted.txt"), "through");
}

TEST_F(PlatformLinks, LinksAreReplacedAndDeletedAsThemselvesNeverThroughWhatTheyPointTo)
{
    // Created new: the name is taken, by the link.
    EXPECT_THROW(Fs.CreateNewForWriting(Inside + "\\pointer.txt"), EFCreateError);
    // Replaced by a rename: the link goes, its target stays.
    Write(Inside + "\\new.tmp", "new");
    Fs.RenameFile(Inside + "\\new.tmp", Inside + "\\pointer.txt");
    EXPECT_EQ(Read(Inside + "\\pointer.txt"), "new");
    EXPECT_EQ(KindOf(Inside + "\\pointer.txt"), TEntryKind::ekFile);
    EXPECT_EQ(Read(Outside + "\\victim.txt"), "victim");
    // Deleted: the link goes (or stays, where the system cannot tell it), its target stays.
    ASSERT_TRUE(World->MakeLink(Inside + "\\second.txt", Outside + "\\victim.txt", false));
    Fs.RemoveFile(Inside + "\\second.txt");
    EXPECT_EQ(Read(Outside + "\\victim.txt"), "victim");
    EXPECT_FALSE(Fs.RemoveFile(Inside + "\\Linked\\victim.txt"));
    EXPECT_EQ(Read(Outside + "\\victim.txt"), "victim");
    // A folder link removed is removed as itself: the folder it points to stays, full.
    Fs.RemoveFolder(Inside + "\\Linked");
    EXPECT_TRUE(Fs.FolderExists(Outside));
    ASSERT_TRUE(Fs.MakeFolder(Outside + "\\Empty"));
    ASSERT_TRUE(World->MakeLink(Inside + "\\ToEmpty", Outside + "\\Empty", true));
    Fs.RemoveFolder(Inside + "\\ToEmpty");
    EXPECT_TRUE(Fs.FolderExists(Outside + "\\Empty"));
    EXPECT_FALSE(Fs.RemoveFolder(Inside + "\\Linked\\Empty"));
    EXPECT_TRUE(Fs.FolderExists(Outside + "\\Empty"));
}

TEST_F(PlatformConformance, HeldEntriesCannotBeRemovedOrReplaced)
{
    const std::string Folder = Dir + "\\Held";
    const std::string File = Dir + "\\held.txt";
    ASSERT_TRUE(Fs.MakeFolder(Folder));
    Write(File, "held");
    Write(Dir + "\\other.txt", "other");
    {
        TEntryKind Kind = TEntryKind::ekUnknown;
        const auto FolderHold = Fs.HoldAsItself(Folder, Kind);
        ASSERT_EQ(Kind, TEntryKind::ekFolder);
        const auto FileHold = Fs.HoldAsItself(File, Kind);
        ASSERT_EQ(Kind, TEntryKind::ekFile);
        EXPECT_FALSE(Fs.RemoveFolder(Folder));
        EXPECT_FALSE(Fs.RemoveFile(File));
        EXPECT_THROW(Fs.RenameFile(Dir + "\\other.txt", File), EFCreateError);
        EXPECT_THROW(Fs.RenameFile(File, Dir + "\\moved.txt"), EFCreateError);
        // What is inside a held folder may still change, and a held file be read.
        Write(Folder + "\\inside.txt", "inside");
        EXPECT_TRUE(Fs.RemoveFile(Folder + "\\inside.txt"));
        EXPECT_EQ(Read(File), "held");
    }
    EXPECT_TRUE(Fs.RemoveFolder(Folder));
    EXPECT_TRUE(Fs.RemoveFile(File));
}

TEST_F(PlatformConformance, TheRunningProgramOpensAsItselfAndStaysInPlaceWhileOpen)
{
    const std::string Program = Fs.ExecutablePath();
    auto Stream = Fs.OpenRunningProgram();
    char Magic[2] = {};
    ASSERT_EQ(Stream->Read(Magic, 2), 2);
    EXPECT_EQ(std::string(Magic, 2), "MZ");
    EXPECT_THROW(Fs.RenameFile(Program, Program + ".moved"), EFCreateError);
    EXPECT_FALSE(Fs.RemoveFile(Program));
    EXPECT_TRUE(Fs.FileExists(Program));
    // Other readers are welcome.
    EXPECT_NO_THROW(Fs.OpenForReading(Program));
}

// The wizard matches the user's display language by its tag: a primary language of two or
// three letters, then subtags ("de-DE", "zh-Hans-CN").
TEST_F(PlatformConformance, TheDisplayLanguageIsALanguageTag)
{
    const std::string Tag = P.System->DisplayLanguage();
    EXPECT_TRUE(std::regex_match(Tag, std::regex("[a-z]{2,3}(-[A-Za-z0-9]{2,8})*"))) << Tag;
}

std::string HexOf(const std::array<uint8_t, 16>& Digest)
{
    std::string Hex;
    for (const uint8_t Byte : Digest)
        Hex += "0123456789abcdef"[Byte >> 4] + std::string(1, "0123456789abcdef"[Byte & 15]);
    return Hex;
}

// A terminal's data folder is named by the MD5 of its install folder's path in capitals:
// the names the terminals themselves give these two folders.
TEST_F(PlatformConformance, TerminalDataIdsAreTheTerminalsOwn)
{
    EXPECT_EQ(TerminalDataId(P, "C:\\Program Files (x86)\\MetaTrader 4"), "50CA3DFB510CC5A8F28B48D1BF2A5702");
    EXPECT_EQ(TerminalDataId(P, "C:\\Program Files\\MetaTrader 5"), "D0E8209F77C8CF37AD8BF550E51FF075");
    EXPECT_EQ(TerminalDataId(P, "c:\\program files (x86)\\metatrader 4\\"), "50CA3DFB510CC5A8F28B48D1BF2A5702");
    // Capitals beyond ASCII as well.
    EXPECT_EQ(TerminalDataId(P, "C:\\Трейдинг 交易\\MT4"), "BFC38044253CAE5854AB2F73C888555E");
    EXPECT_EQ(TerminalDataId(P, "c:\\ТРЕЙДИНГ 交易\\mt4\\"), "BFC38044253CAE5854AB2F73C888555E");
    std::array<uint8_t, 16> Digest{};
    ASSERT_TRUE(P.System->Md5("abc", 3, Digest));
    EXPECT_EQ(HexOf(Digest), "900150983cd24fb0d6963f7d28e17f72");
    ASSERT_TRUE(P.System->Md5("", 0, Digest));
    EXPECT_EQ(HexOf(Digest), "d41d8cd98f00b204e9800998ecf8427e");
}

} // namespace
} // namespace qe::test
