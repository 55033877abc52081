#include "package/QeClasses.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

#include "package/EncDec.h"
#include "package/PackageWriter.h"
#include "package/PayloadCipher.h"
#include "package/QeUninstall.h"
#include "package/SubStreams.h"
#include "platform/Cp1252.h"
#include "platform/sim/SimPlatform.h"

namespace qe {
namespace {

std::string ReadSourceFile(const std::string& Relative)
{
    std::ifstream In(std::string(QE_SOURCE_DIR) + "/" + Relative, std::ios::binary);
    std::stringstream Bytes;
    Bytes << In.rdbuf();
    return Bytes.str();
}

// A stand-in for setup.exe: an executable-sized block with free bytes at 136..139.
TMemoryStream Stub()
{
    std::vector<uint8_t> Bytes(1024, 0x90);
    Bytes[0] = 'M';
    Bytes[1] = 'Z';
    std::fill(Bytes.begin() + PackageOffsetField, Bytes.begin() + PackageOffsetField + 4, 0);
    return TMemoryStream(Bytes);
}

TPackageContents FullContents()
{
    TPackageContents C;
    C.ShowNotice = 0;
    C.ProgramName = "Grid Expert é Советник 网格";
    C.MajorVersion = 2;
    C.MinorVersion = 5;
    C.BuildNumber = 118;
    C.ReleaseNumber = 3;
    C.Publisher = "Northwind";
    C.Website = "www.example.com";
    C.Address = "1 Road";
    C.ContactName = "Anna";
    C.Email = "a@example.com";
    C.License = "{\\rtf1 licence}";
    C.Readme = "{\\rtf1 readme}";
    C.WhatsNew = "{\\rtf1 news}";
    C.ExpertsOverride = "1 0";
    C.UseDataFolders = true;
    C.BannerJpeg = ReadSourceFile("examples/banner.jpg");
    for (size_t I = 0; I < PayloadKeySize; ++I)
        C.PayloadKey[I] = static_cast<uint8_t>(0xF0 + I);
    C.Files.push_back(
        MemoryFile("{metatrader}\\experts\\a.mq4", "alpha", "", 0x0102030405060708ULL, 0x1112131415161718ULL));
    C.Files.push_back(MemoryFile("{app}\\b.txt", std::string(40, 'b'), "Manual"));
    return C;
}

TMemoryStream Installer(const TPackageContents& C)
{
    TMemoryStream Out;
    TMemoryStream S = Stub();
    WriteInstaller(Out, S, C);
    return Out;
}

class QeInstallLoad : public ::testing::Test {
protected:
    sim::TSimPlatform Machine;
    TQeInstall Model{Machine.Platform()};
};

TEST_F(QeInstallLoad, ProducedInstallerLoadsEveryField)
{
    const TPackageContents C = FullContents();
    TMemoryStream File = Installer(C);
    Model.LoadFromStream(File);
    EXPECT_EQ(Model.ShowNotice, 0);
    EXPECT_EQ(Model.ProgramName, C.ProgramName);
    EXPECT_EQ(Model.MajorVersion, 2);
    EXPECT_EQ(Model.MinorVersion, 5);
    EXPECT_EQ(Model.BuildNumber, 118);
    EXPECT_EQ(Model.ReleaseNumber, 3);
    EXPECT_EQ(Model.Publisher, C.Publisher);
    EXPECT_EQ(Model.Website, C.Website);
    EXPECT_EQ(Model.Address, C.Address);
    EXPECT_EQ(Model.ContactName, C.ContactName);
    EXPECT_EQ(Model.Email, C.Email);
    EXPECT_EQ(Model.License, C.License);
    EXPECT_EQ(Model.Readme, C.Readme);
    EXPECT_EQ(Model.WhatsNew, C.WhatsNew);
    EXPECT_EQ(Model.ExpertsOverride, C.ExpertsOverride);
    EXPECT_TRUE(Model.UseDataFolders);
    EXPECT_EQ(Model.PayloadKey, C.PayloadKey);
    EXPECT_EQ(Model.Banner->Bytes(), C.BannerJpeg);
    EXPECT_EQ(Model.Banner->Width(), 164);
    ASSERT_EQ(Model.Files.size(), 2u);
    const TQeInstallFile& A = *Model.Files[0];
    EXPECT_EQ(A.Target, "{metatrader}\\experts\\a.mq4");
    EXPECT_EQ(A.CreationTime, 0x0102030405060708ULL);
    EXPECT_EQ(A.WriteTime, 0x1112131415161718ULL);
    EXPECT_EQ(A.PayloadSize, 16);
    EXPECT_EQ(Model.Files[1]->ShortcutName, "Manual");
    EXPECT_EQ(Model.Files[1]->PayloadSize, 48);
    // Payloads lie back to back after the package and end with the file.
    EXPECT_EQ(Model.Files[1]->PayloadOffset, A.PayloadOffset + A.PayloadSize);
    EXPECT_EQ(Model.Files[1]->PayloadOffset + Model.Files[1]->PayloadSize, File.GetSize());

    TSubStream Window(File, A.PayloadOffset, A.PayloadOffset + A.PayloadSize - 1);
    Window.Seek(0, TSeekOrigin::soBeginning);
    TMemoryStream Plain;
    CipherStream(Window, Plain, Model.PayloadKey.data(), PayloadKeySize, false);
    EXPECT_EQ(std::string(Plain.Bytes().begin(), Plain.Bytes().end()), "alpha");
}

TEST_F(QeInstallLoad, NoPackageLeavesTheClearedModel)
{
    Model.TargetFolders = {"C:\\MT4"};
    Model.InstallLog.push_back({"C:\\x", false});
    TMemoryStream Bare = Stub();
    Model.LoadFromStream(Bare);
    EXPECT_EQ(Model.ProgramName, "");
    EXPECT_EQ(Model.MajorVersion, 1);
    EXPECT_EQ(Model.MinorVersion, 0);
    EXPECT_EQ(Model.ShowNotice, 1);
    EXPECT_TRUE(Model.Files.empty());
    EXPECT_TRUE(Model.Banner->Empty());
    // Lists the run fills are not the package's.
    EXPECT_EQ(Model.TargetFolders.size(), 1u);
    EXPECT_EQ(Model.InstallLog.size(), 1u);

    for (const uint32_t Offset : {0x7FFFFFF0u, 0xFFFFFFF0u, 5u}) {
        TMemoryStream Pointing = Stub();
        Pointing.SetPosition(PackageOffsetField);
        const uint8_t Field[4] = {uint8_t(Offset), uint8_t(Offset >> 8), uint8_t(Offset >> 16), uint8_t(Offset >> 24)};
        Pointing.WriteBuffer(Field, 4);
        Model.LoadFromStream(Pointing);
        EXPECT_EQ(Model.MajorVersion, 1) << Offset;
    }
    TMemoryStream Tiny(std::vector<uint8_t>(10, 0));
    Model.LoadFromStream(Tiny);
    EXPECT_EQ(Model.MajorVersion, 1);
}

// A package written by hand, record by record, after a stub.
class HandPackage {
public:
    HandPackage() : File(Stub()), Tags(File)
    {
        File.Seek(0, TSeekOrigin::soEnd);
        const auto Offset = static_cast<uint32_t>(File.Position());
        Tags.WriteSignature(PackageSignature);
        File.SetPosition(PackageOffsetField);
        const uint8_t Field[4] = {uint8_t(Offset), uint8_t(Offset >> 8), uint8_t(Offset >> 16), 0};
        File.WriteBuffer(Field, 4);
        File.Seek(0, TSeekOrigin::soEnd);
    }
    TMemoryStream File;
    TTagStreamAdapter Tags;
};

TEST_F(QeInstallLoad, RecordsInAnyOrderAndUnknownIdsGiveTheSameModel)
{
    HandPackage P;
    P.Tags.WriteTag(piFile, tkGroup);
    P.Tags.WriteString(fiTarget, EncodeString("{app}\\x"));
    P.Tags.WriteInteger(fiPayloadOffset, 4000);
    P.Tags.WriteInteger(99, 1); // unknown inside a group
    P.Tags.WriteEnd();
    P.Tags.WriteInteger(0, 77); // unknown ids at the top level
    P.Tags.WriteString(21, "whatever");
    P.Tags.WriteInteger(pfMinorVersion, 9);
    P.Tags.WriteString(pfProgramName, EncodeString("First"));
    P.Tags.WriteString(pfProgramName, EncodeString("Second")); // a later record replaces the earlier one
    P.Tags.WriteInteger(pfMajorVersion, 7);
    P.Tags.WriteEnd();
    P.Tags.WriteString(pfProgramName, EncodeString("after the end")); // never looked at
    Model.LoadFromStream(P.File);
    EXPECT_EQ(Model.ProgramName, "Second");
    EXPECT_EQ(Model.MajorVersion, 7);
    EXPECT_EQ(Model.MinorVersion, 9);
    ASSERT_EQ(Model.Files.size(), 1u);
    EXPECT_EQ(Model.Files[0]->Target, "{app}\\x");
    EXPECT_EQ(Model.Files[0]->PayloadOffset, 4000);
    EXPECT_EQ(Model.Files[0]->PayloadSize, 0);
    EXPECT_EQ(Model.Files[0]->CreationTime, 0u);
}

// A package made before UTF-8, its strings in Windows-1252, loads as it did then: the same
// model, only with its texts in UTF-8. An RTF document stays as its bytes are, as RTF names
// its own code page.
TEST_F(QeInstallLoad, APackageOfWindows1252TextsLoadsAsBeforeInUtf8)
{
    TPackageContents C = FullContents();
    C.Utf8Strings = false;
    C.ProgramName = "Grid Expert \xE9 \x80";
    C.Publisher = "North\x96wind";
    C.Address = "Stra\xDF"
                "e 1";
    C.ContactName = "Zo\xEB";
    C.License = "{\\rtf1\\ansi\\ansicpg1252 Lizenz f\xFCr \\'fc}";
    C.Readme = "Plain text \x84quoted\x93";
    C.WhatsNew.clear();
    C.Files[1].Target = "{app}\\Caf\xE9\\b.txt";
    C.Files[1].ShortcutName = "Man\xFC"
                              "al";
    TMemoryStream File = Installer(C);
    Model.LoadFromStream(File);
    EXPECT_EQ(Model.ProgramName, "Grid Expert é €");
    EXPECT_EQ(Model.Publisher, "North–wind");
    EXPECT_EQ(Model.Address, "Straße 1");
    EXPECT_EQ(Model.ContactName, "Zoë");
    EXPECT_EQ(Model.Website, C.Website);
    EXPECT_EQ(Model.Email, C.Email);
    EXPECT_EQ(Model.License, C.License);
    EXPECT_EQ(Model.Readme, "Plain text „quoted“");
    EXPECT_EQ(Model.WhatsNew, "");
    EXPECT_EQ(Model.ExpertsOverride, "1 0");
    ASSERT_EQ(Model.Files.size(), 2u);
    EXPECT_EQ(Model.Files[0]->Target, "{metatrader}\\experts\\a.mq4");
    EXPECT_EQ(Model.Files[1]->Target, "{app}\\Café\\b.txt");
    EXPECT_EQ(Model.Files[1]->ShortcutName, "Manüal");
    // Everything else as with the same package in UTF-8.
    TQeInstall Utf8(Machine.Platform());
    TPackageContents Same = FullContents();
    Same.WhatsNew.clear();
    TMemoryStream SameFile = Installer(Same);
    Utf8.LoadFromStream(SameFile);
    EXPECT_EQ(Model.MajorVersion, Utf8.MajorVersion);
    EXPECT_EQ(Model.BuildNumber, Utf8.BuildNumber);
    EXPECT_EQ(Model.ShowNotice, Utf8.ShowNotice);
    EXPECT_EQ(Model.UseDataFolders, Utf8.UseDataFolders);
    EXPECT_EQ(Model.PayloadKey, Utf8.PayloadKey);
    EXPECT_EQ(Model.Banner->Bytes(), Utf8.Banner->Bytes());
    EXPECT_EQ(Model.Files[0]->WriteTime, Utf8.Files[0]->WriteTime);
    EXPECT_EQ(Model.Files[1]->PayloadSize, Utf8.Files[1]->PayloadSize);
}

// The marking record counts wherever it stands, and only with the value 1; the strings of a
// UTF-8 package that are damaged come out with U+FFFD in place of what does not decode.
TEST_F(QeInstallLoad, TheUtf8RecordCountsAnywhereAndDamagedTextIsReplaced)
{
    const std::string Stored = "Советник \xFF!";
    for (const uint8_t Value : {1, 0, 2}) {
        HandPackage P;
        P.Tags.WriteString(pfProgramName, EncodeString(Stored));
        P.Tags.WriteTag(piFile, tkGroup);
        P.Tags.WriteString(fiTarget, EncodeString("{app}\\网格"));
        P.Tags.WriteEnd();
        P.Tags.WriteByte(piUtf8Strings, Value);
        Model.LoadFromStream(P.File);
        // Read as Windows-1252, the UTF-8 bytes are each a character of their own.
        EXPECT_EQ(Model.ProgramName, Value == 1 ? "Советник \xEF\xBF\xBD!" : Cp1252ToUtf8(Stored)) << int(Value);
        ASSERT_EQ(Model.Files.size(), 1u);
        EXPECT_EQ(Model.Files[0]->Target, Value == 1 ? "{app}\\网格" : Cp1252ToUtf8("{app}\\网格"));
    }
}

// An uninstall record written now is marked UTF-8 and comes back whole; one written by an
// installer before UTF-8 (Windows-1252, no marking record) loads with its paths in UTF-8.
TEST(QeUninstallLoad, RecordsOfNowAndOfBeforeUtf8)
{
    sim::TSimPlatform Machine;
    TQeInstall Install(Machine.Platform());
    Install.ProgramName = "Советник 网格";
    Install.Publisher = "Ёж";
    Install.InstallLog = {{"C:\\Program Files\\Советник 网格", true},
                          {"C:\\Program Files\\Советник 网格\\Ω.txt", false}};
    TMemoryStream Now = Stub();
    Now.Seek(0, TSeekOrigin::soEnd);
    Install.WriteUninstallRecord(Now);
    TQeUninstall Uninstall(Machine.Platform());
    Uninstall.LoadFromStream(Now);
    EXPECT_EQ(Uninstall.ProgramName, "Советник 网格");
    EXPECT_EQ(Uninstall.Publisher, "Ёж");
    EXPECT_EQ(Uninstall.Folders, std::vector<std::string>{"C:\\Program Files\\Советник 网格"});
    EXPECT_EQ(Uninstall.Files, std::vector<std::string>{"C:\\Program Files\\Советник 网格\\Ω.txt"});

    TMemoryStream Before = Stub();
    Before.Seek(0, TSeekOrigin::soEnd);
    const auto Offset = static_cast<uint32_t>(Before.Position());
    TTagStreamAdapter Tags(Before);
    Tags.WriteSignature(UninstallSignature);
    TProductFields Fields;
    Fields.ProgramName = "Gr\xFC"
                         "n";
    WriteProductFields(Tags, Fields);
    Tags.WriteString(uiFolder, EncodeString("C:\\Program Files\\Gr\xFC"
                                            "n"));
    Tags.WriteString(uiFile, EncodeString("C:\\Program Files\\Gr\xFC"
                                          "n\\\x80.txt"));
    WritePackageOffset(Before, Offset);
    Uninstall.LoadFromStream(Before);
    EXPECT_EQ(Uninstall.ProgramName, "Grün");
    EXPECT_EQ(Uninstall.Folders, std::vector<std::string>{"C:\\Program Files\\Grün"});
    EXPECT_EQ(Uninstall.Files, std::vector<std::string>{"C:\\Program Files\\Grün\\€.txt"});
}

// Packages made before the data-folder record, or without it, install as before.
TEST_F(QeInstallLoad, TheDataFolderRecordIsWrittenOnlyWhenAskedForAndReadByItsValue)
{
    TPackageContents C = FullContents();
    C.UseDataFolders = false;
    TMemoryStream Without = Installer(C);
    Without.Seek(1024, TSeekOrigin::soBeginning);
    TTagStreamAdapter Tags(Without);
    ASSERT_TRUE(Tags.CheckSignature(PackageSignature));
    while (Tags.NextTag()) {
        EXPECT_NE(Tags.TagId, piDataFolders);
        Tags.SkipValue();
    }
    Model.UseDataFolders = true;
    Model.LoadFromStream(Without);
    EXPECT_FALSE(Model.UseDataFolders);

    for (const uint8_t Value : {1, 0, 2}) {
        HandPackage P;
        P.Tags.WriteByte(piDataFolders, Value);
        P.Tags.WriteInteger(pfMajorVersion, 3);
        Model.LoadFromStream(P.File);
        EXPECT_EQ(Model.UseDataFolders, Value != 0) << int(Value);
        EXPECT_EQ(Model.MajorVersion, 3);
    }
}

// The vendor's languages: written only when the vendor limits them, read as the codes
// they name; a package without the record offers every language.
TEST_F(QeInstallLoad, TheLanguagesRecordIsWrittenOnlyWhenTheVendorLimitsThem)
{
    TPackageContents C = FullContents();
    TMemoryStream Without = Installer(C);
    Model.Languages = {"de"};
    Model.LoadFromStream(Without);
    EXPECT_TRUE(Model.Languages.empty());

    C.Languages = {"ru", "zh-CN"};
    TMemoryStream With = Installer(C);
    Model.LoadFromStream(With);
    EXPECT_EQ(Model.Languages, (std::vector<std::string>{"ru", "zh-CN"}));

    HandPackage P;
    P.Tags.WriteString(piLanguages, EncodeString(" de ,, en,"));
    Model.LoadFromStream(P.File);
    EXPECT_EQ(Model.Languages, (std::vector<std::string>{"de", "en"}));
}

TEST_F(QeInstallLoad, KeyValuesOfOtherLengths)
{
    {
        HandPackage P; // 20 bytes: the first 16 make the key, the rest is passed over
        std::vector<uint8_t> Stored(20);
        for (size_t I = 0; I < Stored.size(); ++I)
            Stored[I] = static_cast<uint8_t>(I) ^ KeyMask;
        TMemoryStream Source(Stored);
        P.Tags.WriteStream(piPayloadKey, Source, 20);
        P.Tags.WriteInteger(pfMajorVersion, 4);
        Model.LoadFromStream(P.File);
        for (size_t I = 0; I < PayloadKeySize; ++I)
            EXPECT_EQ(Model.PayloadKey[I], I);
        EXPECT_EQ(Model.MajorVersion, 4);
    }
    {
        HandPackage P; // 8 bytes are no key
        TMemoryStream Source(std::vector<uint8_t>(8, 0x33));
        P.Tags.WriteStream(piPayloadKey, Source, 8);
        P.Tags.WriteInteger(pfMajorVersion, 5);
        Model.LoadFromStream(P.File);
        EXPECT_EQ(Model.PayloadKey, TPayloadKey{});
        EXPECT_EQ(Model.MajorVersion, 5);
    }
}

TEST_F(QeInstallLoad, BannerValues)
{
    const std::string Jpeg = ReadSourceFile("examples/banner.jpg");
    {
        HandPackage P; // a second banner replaces the first; an empty one means none
        TMemoryStream First(std::vector<uint8_t>(Jpeg.begin(), Jpeg.end()));
        P.Tags.WriteStream(piBanner, First, static_cast<int32_t>(Jpeg.size()));
        TMemoryStream Nothing;
        P.Tags.WriteStream(piBanner, Nothing, 0);
        Model.LoadFromStream(P.File);
        EXPECT_TRUE(Model.Banner->Empty());
    }
    {
        HandPackage P; // a picture that does not decode stops the load with the decoder's error
        // What was read before stays, its Windows-1252 in UTF-8 as after a whole load.
        P.Tags.WriteString(pfProgramName, EncodeString("Before \xE9"));
        P.Tags.WriteTag(piFile, tkGroup);
        P.Tags.WriteString(fiTarget, EncodeString("{app}\\\xE9.txt"));
        P.Tags.WriteEnd();
        TMemoryStream Broken(std::vector<uint8_t>(64, 0x41));
        P.Tags.WriteStream(piBanner, Broken, 64);
        P.Tags.WriteString(pfPublisher, EncodeString("After"));
        try {
            Model.LoadFromStream(P.File);
            FAIL() << "no error";
        } catch (const EJpegError& E) {
            EXPECT_NE(E.Message().find("JPEG"), std::string::npos) << E.Message();
        }
        EXPECT_EQ(Model.ProgramName, "Before é");
        EXPECT_EQ(Model.Files.at(0)->Target, "{app}\\é.txt");
        EXPECT_EQ(Model.Publisher, "");
    }
}

TEST_F(QeInstallLoad, CountsTheStreamCannotMeetEndTheData)
{
    const std::string Jpeg = ReadSourceFile("examples/banner.jpg");
    for (const int32_t Count : {-5, 1 << 30}) {
        HandPackage P;
        TMemoryStream Picture(std::vector<uint8_t>(Jpeg.begin(), Jpeg.end()));
        P.Tags.WriteStream(piBanner, Picture, static_cast<int32_t>(Jpeg.size()));
        P.Tags.WriteTag(piPayloadKey, tkBinary); // a key whose count runs past the end
        P.File.WriteBuffer(&Count, 4);
        P.File.WriteString(std::string(16, 'k'));
        P.Tags.WriteTag(piBanner, tkBinary); // never reached
        Model.LoadFromStream(P.File);
        EXPECT_EQ(Model.PayloadKey, TPayloadKey{}) << Count;
        EXPECT_EQ(Model.Banner->Bytes(), Jpeg) << Count;
    }
    {
        HandPackage P; // a second banner whose count cannot be met keeps the first
        TMemoryStream Picture(std::vector<uint8_t>(Jpeg.begin(), Jpeg.end()));
        P.Tags.WriteStream(piBanner, Picture, static_cast<int32_t>(Jpeg.size()));
        P.Tags.WriteTag(piBanner, tkBinary);
        const int32_t Huge = 1 << 30;
        P.File.WriteBuffer(&Huge, 4);
        Model.LoadFromStream(P.File);
        EXPECT_EQ(Model.Banner->Bytes(), Jpeg);
    }
    {
        HandPackage P; // a signature and nothing else, or a signature and an end record
        Model.LoadFromStream(P.File);
        EXPECT_EQ(Model.MajorVersion, 1);
        P.Tags.WriteEnd();
        Model.LoadFromStream(P.File);
        EXPECT_EQ(Model.MajorVersion, 1);
    }
}

TEST_F(QeInstallLoad, OversizedPicturesAreRefusedBeforeDecoding)
{
    std::string Jpeg = ReadSourceFile("examples/banner.jpg");
    // Set the frame's size to 65500 x 65500 pixels.
    const size_t Frame = Jpeg.find("\xff\xc0");
    ASSERT_NE(Frame, std::string::npos);
    Jpeg[Frame + 5] = Jpeg[Frame + 7] = '\xff';
    Jpeg[Frame + 6] = Jpeg[Frame + 8] = '\xdc';
    TJpegImage Image;
    EXPECT_THROW(Image.LoadFromBytes(Jpeg), EJpegError);
    EXPECT_TRUE(Image.Empty());
}

TEST(QeDataFile, LoadFromFileRemembersOnlyAFileThatLoaded)
{
    sim::TSimPlatform Machine;
    TQeInstall Model(Machine.Platform());
    TMemoryStream Good = Installer(FullContents());
    Machine.FileSystem.AddFile("C:\\setup.exe", std::string(Good.Bytes().begin(), Good.Bytes().end()));
    Model.LoadFromFile("C:\\setup.exe");
    EXPECT_EQ(Model.FileName, "C:\\setup.exe");
    EXPECT_EQ(Model.Files.size(), 2u);

    TPackageContents Broken = FullContents();
    Broken.BannerJpeg = "not a picture";
    TMemoryStream Bad = Installer(Broken);
    Machine.FileSystem.AddFile("C:\\bad.exe", std::string(Bad.Bytes().begin(), Bad.Bytes().end()));
    EXPECT_THROW(Model.LoadFromFile("C:\\bad.exe"), EJpegError);
    EXPECT_EQ(Model.FileName, "C:\\setup.exe");
    try {
        Model.LoadFromFile("C:\\missing.exe");
        FAIL() << "no error";
    } catch (const EFOpenError& E) {
        EXPECT_EQ(E.Message().rfind("Cannot open file \"C:\\missing.exe\". ", 0), 0u) << E.Message();
    }
    EXPECT_EQ(Model.FileName, "C:\\setup.exe");
}

TEST_F(QeInstallLoad, CutPackageKeepsWhatWasRead)
{
    TMemoryStream Full = Installer(FullContents());
    // Cut inside the first file-entry group.
    std::vector<uint8_t> Bytes = Full.Bytes();
    const std::string Target = EncodeString("{app}\\b.txt");
    const auto At = std::search(Bytes.begin(), Bytes.end(), Target.begin(), Target.end());
    ASSERT_NE(At, Bytes.end());
    Bytes.erase(At + 3, Bytes.end());
    TMemoryStream Cut(Bytes);
    Model.LoadFromStream(Cut);
    EXPECT_EQ(Model.MajorVersion, 2);
    EXPECT_EQ(Model.Files.size(), 2u);
    EXPECT_EQ(Model.Files[1]->Target, "");
}

TEST_F(QeInstallLoad, LoadingTwiceDoesNotDuplicateFiles)
{
    TMemoryStream File = Installer(FullContents());
    Model.LoadFromStream(File);
    Model.LoadFromStream(File);
    EXPECT_EQ(Model.Files.size(), 2u);
}

TEST(QeData, ProgressPercentRoundsAndDoesNotClamp)
{
    sim::TSimPlatform Machine;
    TQeInstall Model(Machine.Platform());
    std::vector<std::pair<std::string, int>> Seen;
    Model.OnProgress = [&](TQeData& Sender, const std::string& Text, int32_t Percent) {
        EXPECT_EQ(&Sender, &Model);
        Seen.emplace_back(Text, Percent);
    };
    Model.ProgressMax = 0;
    Model.DoProgress("nothing expected", 1);
    Model.ProgressMax = 3;
    Model.ProgressPosition = 0;
    Model.DoProgress("one", 1);
    Model.DoProgress("two", 1);
    Model.DoProgress("three", 1);
    Model.DoProgress("four", 1);
    Model.ProgressMax = 8;
    Model.ProgressPosition = 0;
    Model.DoProgress("half step", 1); // 12.5 rounds away from zero
    const std::vector<std::pair<std::string, int>> Expected = {
        {"nothing expected", -1}, {"one", 33}, {"two", 67}, {"three", 100}, {"four", 133}, {"half step", 13}};
    EXPECT_EQ(Seen, Expected);
}

} // namespace
} // namespace qe
