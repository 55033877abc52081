// The uninstaller's file, its record and its registry entry.
#include <fstream>

#include "engine/Uninstaller.h"
#include "package/EncDec.h"
#include "package/Integrity.h"
#include "package/PeImage.h"
#include "package/TagStreams.h"
#include "tests/engine/EngineFixture.h"
#include "tests/package/PeHeaderBytes.h"

namespace qe::test {
namespace {

using Uninstaller = EngineTest;
const std::string AppS = EngineTest::App;
const std::string MenuS = EngineTest::Menu;
const std::string KeyS = std::string(UninstallKeyPrefix) + "Grid Expert";
const auto LM = TRegistryRoot::rrLocalMachine;

uint32_t LE32(const std::string& Bytes, size_t At)
{
    return static_cast<uint32_t>(static_cast<uint8_t>(Bytes[At])) |
           static_cast<uint32_t>(static_cast<uint8_t>(Bytes[At + 1])) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(Bytes[At + 2])) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(Bytes[At + 3])) << 24;
}

// The values of the program's entry, "Name=text" for strings and "Name=#number" for
// numbers, in the order of their names in capitals.
std::vector<std::string> EntryValues(sim::TSimRegistry& Registry, TRegistryRoot Root)
{
    std::vector<std::string> Values;
    for (const sim::TRegistryValue& Value : Registry.Values(Root, KeyS)) {
        uint32_t Number = 0;
        if (Value.Type == sim::rtInteger && Registry.ReadInteger(Root, KeyS, Value.Name, Number))
            Values.push_back(Value.Name + "=#" + std::to_string(Number));
        else
            Values.push_back(Value.Name + "=" + Value.Data);
    }
    return Values;
}

std::string ExampleBanner()
{
    std::ifstream In(std::string(QE_SOURCE_DIR) + "/examples/banner.jpg", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(In), {});
}

TEST_F(Uninstaller, IsTheProgramWithoutItsPackageFollowedByTheRecord)
{
    Contents.ShowNotice = 0;
    Contents.MajorVersion = 2;
    Contents.MinorVersion = 5;
    Contents.BuildNumber = 130;
    Contents.ReleaseNumber = 7;
    Contents.Publisher = "Quant Edge";
    Contents.Website = "quantedge.example";
    Contents.Address = "1 Main St\r\nTown";
    Contents.ContactName = "Support";
    Contents.Email = "s@quantedge.example";
    Contents.BannerJpeg = ExampleBanner();
    ASSERT_FALSE(Contents.BannerJpeg.empty());
    Contents.Files.push_back(MemoryFile("{metatrader}\\experts\\a.mq4", "a", "Grid"));
    auto Install = Installed({T1});

    const std::string Exe = M.FileSystem.FileContents(AppS + "\\Uninstall.exe");
    ASSERT_GT(Exe.size(), static_cast<size_t>(StubSize));
    EXPECT_EQ(LE32(Exe, 136), static_cast<uint32_t>(StubSize));
    // The program is copied unchanged: the installer's own field holds the same offset.
    EXPECT_EQ(Exe.substr(0, StubSize), M.FileSystem.FileContents(sim::TSimPlatform::ExePath).substr(0, StubSize));

    // The record, read back field by field in its fixed order.
    TMemoryStream Record(std::vector<uint8_t>(Exe.begin() + StubSize, Exe.end()));
    TTagStreamAdapter Tags(Record);
    ASSERT_TRUE(Tags.CheckSignature(UninstallSignature));
    std::vector<int32_t> Ids;
    while (Tags.NextTag()) {
        Ids.push_back(Tags.TagId);
        Tags.SkipValue();
    }
    EXPECT_EQ(Record.Position(), Record.GetSize()); // no end record, nothing after
    // The marking of its strings as UTF-8 first.
    EXPECT_EQ(Ids, (std::vector<int32_t>{23, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 13, 14, 14, 14, 14, 14}));

    auto Uninstall = LoadUninstaller();
    EXPECT_EQ(Uninstall->ShowNotice, 0);
    EXPECT_EQ(Uninstall->ProgramName, "Grid Expert");
    EXPECT_EQ(Uninstall->MajorVersion, 2);
    EXPECT_EQ(Uninstall->MinorVersion, 5);
    EXPECT_EQ(Uninstall->BuildNumber, 130);
    EXPECT_EQ(Uninstall->ReleaseNumber, 7);
    EXPECT_EQ(Uninstall->Publisher, "Quant Edge");
    EXPECT_EQ(Uninstall->Website, "quantedge.example");
    EXPECT_EQ(Uninstall->Address, "1 Main St\r\nTown");
    EXPECT_EQ(Uninstall->ContactName, "Support");
    EXPECT_EQ(Uninstall->Email, "s@quantedge.example");
    EXPECT_EQ(Uninstall->Banner->Bytes(), Contents.BannerJpeg);
    EXPECT_EQ(Uninstall->Folders, (std::vector<std::string>{AppS, MenuS}));
    EXPECT_EQ(Uninstall->Files, (std::vector<std::string>{std::string(T1) + "\\experts\\a.mq4", MenuS + "\\Grid.lnk",
                                                          MenuS + "\\Quant Edge Website.url",
                                                          MenuS + "\\Contact Email.url", MenuS + "\\Uninstall.lnk"}));
    // The uninstaller's own file is not in its record.
    for (const auto& File : Uninstall->Files)
        EXPECT_EQ(File.find("Uninstall.exe"), std::string::npos);

    // The entry in the list of installed programs, with everything the package tells.
    // Its size is that of the files written, the shortcuts aside, in KiB rounded up.
    int64_t Bytes = static_cast<int64_t>(Exe.size());
    for (const auto& File : Uninstall->Files)
        if (!File.ends_with(".lnk"))
            Bytes += static_cast<int64_t>(M.FileSystem.FileContents(File).size());
    const std::string Quoted = "\"" + AppS + "\\Uninstall.exe\"";
    EXPECT_EQ(EntryValues(M.Registry, LM), (std::vector<std::string>{
                                               "Contact=s@quantedge.example",
                                               "DisplayIcon=" + AppS + "\\Uninstall.exe",
                                               "DisplayName=Grid Expert",
                                               "DisplayVersion=2.5",
                                               "EstimatedSize=#" + std::to_string((Bytes + 1023) / 1024),
                                               "HelpLink=http://quantedge.example",
                                               "InstallDate=20240305",
                                               "InstallLocation=" + AppS,
                                               "NoModify=#1",
                                               "NoRepair=#1",
                                               "Publisher=Quant Edge",
                                               "QuietUninstallString=" + Quoted + " /VERYSILENT",
                                               "UninstallString=" + Quoted,
                                               "URLInfoAbout=http://quantedge.example",
                                               "VersionMajor=#2",
                                               "VersionMinor=#5",
                                           }));
}

TEST_F(Uninstaller, EntryLeavesOutWhatThePackageHasNoDataForAndWhatAnEarlierInstallWrote)
{
    Contents.Publisher = "Quant Edge";
    Contents.Website = "https://quantedge.example/grid";
    Contents.Email = "s@quantedge.example";
    Installed({T1});
    const auto First = EntryValues(M.Registry, LM);
    EXPECT_NE(std::find(First.begin(), First.end(), "URLInfoAbout=https://quantedge.example/grid"), First.end());

    Contents.Publisher = " ";
    Contents.Website = " http:// ";
    Contents.Email = "";
    Contents.ContactName = "Support";
    Installed({T1});
    std::vector<std::string> Names;
    for (const std::string& Value : EntryValues(M.Registry, LM))
        Names.push_back(Value.substr(0, Value.find('=')));
    EXPECT_EQ(Names,
              (std::vector<std::string>{"DisplayIcon", "DisplayName", "DisplayVersion", "EstimatedSize", "InstallDate",
                                        "InstallLocation", "NoModify", "NoRepair", "QuietUninstallString",
                                        "UninstallString", "VersionMajor", "VersionMinor"}));
}

// A vendor signs the finished installer: the signature goes to the end of the file, after
// the package, and the header's certificate entry and checksum point at it. The
// uninstaller takes the program without the package, so without the signature too.
TEST_F(Uninstaller, FromASignedInstallerIsAnUnsignedProgramNotABadlySignedOne)
{
    const TPeHeaderLayout Layout;
    const std::string Stub = PeHeaderBytes(StubSize, Layout);
    TMemoryStream StubStream(std::vector<uint8_t>(Stub.begin(), Stub.end()));
    TMemoryStream Out;
    WriteInstaller(Out, StubStream, Contents);
    std::string Signed(Out.Bytes().begin(), Out.Bytes().end());
    Signed.resize((Signed.size() + 7) / 8 * 8, '\0');
    Put32(Signed, Layout.CertificateTableAt(), static_cast<uint32_t>(Signed.size()));
    Put32(Signed, Layout.CertificateTableAt() + 4, 0x680);
    Put32(Signed, Layout.CheckSumAt(), 0x0005F00D);
    Signed += std::string(0x680, 'S');
    M.FileSystem.AddFile(sim::TSimPlatform::ExePath, Signed);
    TQeInstall Install(Platform());
    Install.LoadFromFile(sim::TSimPlatform::ExePath);
    Install.TargetFolders = {T1};
    Install.Execute();

    const std::string Exe = M.FileSystem.FileContents(AppS + "\\Uninstall.exe");
    std::string Program = Signed.substr(0, StubSize);
    Put32(Program, Layout.CertificateTableAt(), 0);
    Put32(Program, Layout.CertificateTableAt() + 4, 0);
    // The checksum is that of the uninstaller, record and all.
    TMemoryStream Whole(std::vector<uint8_t>(Exe.begin(), Exe.end()));
    const uint32_t CheckSum = Get32(Exe, Layout.CheckSumAt());
    EXPECT_EQ(CheckSum, PeCheckSum(Whole, *FindSignatureFields(Whole)));
    EXPECT_NE(CheckSum, 0x0005F00Du);
    Put32(Program, Layout.CheckSumAt(), CheckSum);
    EXPECT_EQ(Exe.substr(0, StubSize), Program);
    EXPECT_EQ(Exe.substr(StubSize, 4), "QEUN");
    EXPECT_EQ(LoadUninstaller()->ProgramName, "Grid Expert");
}

TEST_F(Uninstaller, RecordWithoutBannerHasNoBannerRecord)
{
    Installed({});
    const std::string Exe = M.FileSystem.FileContents(AppS + "\\Uninstall.exe");
    TMemoryStream Record(std::vector<uint8_t>(Exe.begin() + StubSize, Exe.end()));
    TTagStreamAdapter Tags(Record);
    ASSERT_TRUE(Tags.CheckSignature(UninstallSignature));
    std::vector<int32_t> Ids;
    while (Tags.NextTag()) {
        Ids.push_back(Tags.TagId);
        Tags.SkipValue();
    }
    EXPECT_EQ(Ids, (std::vector<int32_t>{23, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 13, 13, 14}));
    EXPECT_TRUE(LoadUninstaller()->Banner->Empty());
}

// The uninstaller speaks the language of its installation; an installation of a program
// that chose none (as before languages) writes no such record.
TEST_F(Uninstaller, TheRecordKeepsTheLanguageOfTheInstallation)
{
    auto Install = LoadInstaller();
    Install->InstallLog = {{"C:\\A", true}};
    for (const std::string Language : {"ja", ""}) {
        Install->Language = Language;
        TMemoryStream Stream(std::vector<uint8_t>(300, 0));
        Stream.Seek(0, TSeekOrigin::soEnd);
        Install->WriteUninstallRecord(Stream);
        TQeUninstall Uninstall(Platform());
        Uninstall.Language = "de";
        Uninstall.LoadFromStream(Stream);
        EXPECT_EQ(Uninstall.Language, Language);
        EXPECT_EQ(Uninstall.Folders, (std::vector<std::string>{"C:\\A"}));
    }
}

TEST_F(Uninstaller, WriteUninstallRecordPointsTheFieldAtWhereItBegan)
{
    auto Install = LoadInstaller();
    Install->InstallLog = {{"C:\\A", true}, {"C:\\A\\f.txt", false}};
    TMemoryStream Stream(std::vector<uint8_t>(300, 0xEE));
    Stream.Seek(0, TSeekOrigin::soEnd);
    Install->WriteUninstallRecord(Stream);
    const std::string Bytes(Stream.Bytes().begin(), Stream.Bytes().end());
    EXPECT_EQ(LE32(Bytes, 136), 300u);
    EXPECT_EQ(Bytes.substr(300, 4), "QEUN");
    TQeUninstall Reader(Platform());
    Stream.SetPosition(0);
    Reader.LoadFromStream(Stream);
    EXPECT_EQ(Reader.Folders, std::vector<std::string>{"C:\\A"});
    EXPECT_EQ(Reader.Files, std::vector<std::string>{"C:\\A\\f.txt"});
}

TEST_F(Uninstaller, InstallingTwiceKeepsTheFirstRunsFilesThatAreStillThere)
{
    Contents.Files.push_back(MemoryFile("{app}\\first.txt", "1"));
    Contents.Files.push_back(MemoryFile("{app}\\deleted.txt", "1"));
    Contents.MajorVersion = 1;
    Installed({T1});
    M.FileSystem.RemoveFile(AppS + "\\deleted.txt");
    Contents.Files = {MemoryFile("{app}\\second.txt", "2")};
    Contents.MajorVersion = 2;
    Installed({T1});
    auto Uninstall = LoadUninstaller();
    EXPECT_EQ(Uninstall->MajorVersion, 2);
    EXPECT_EQ(Uninstall->Files,
              (std::vector<std::string>{AppS + "\\second.txt", MenuS + "\\Uninstall.lnk", AppS + "\\first.txt"}));
    int UninstallKeys = 0;
    for (const auto& Key : M.Registry.Keys(LM))
        UninstallKeys += Key.rfind(UninstallKeyPrefix, 0) == 0 ? 1 : 0;
    EXPECT_EQ(UninstallKeys, 1);
}

TEST_F(Uninstaller, WithoutProgramNameTheSharedUninstallKeyIsLeftAlone)
{
    const std::string Parent = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
    M.Registry.SetString(LM, Parent + "\\Other Program", "DisplayName", "Other Program");
    // An installer without a name installs nothing: its folders would be the shared ones.
    Contents.ProgramName = "";
    EXPECT_THROW(Installed({}), EPackageDamaged);
    EXPECT_TRUE(Lines.empty());
    EXPECT_FALSE(M.FileSystem.FileExists("C:\\Program Files\\Uninstall.exe"));
    EXPECT_TRUE(M.Registry.Values(LM, Parent).empty());

    // A record without a name (written before names were checked) removes no key.
    TQeInstall Writer(M.Platform());
    TMemoryStream Exe(std::vector<uint8_t>(StubSize, 0));
    Exe.Seek(0, TSeekOrigin::soEnd);
    Writer.WriteUninstallRecord(Exe);
    M.FileSystem.AddFile("C:\\Program Files\\Uninstall.exe", std::string(Exe.Bytes().begin(), Exe.Bytes().end()));
    auto Uninstall = LoadUninstaller("C:\\Program Files\\Uninstall.exe");
    EXPECT_EQ(Uninstall->ProgramName, "");
    Uninstall->Execute();
    EXPECT_EQ(Lines[Lines.size() - 2].Text,
              "Not unregistering the uninstaller: the uninstall record gives no program name.");
    EXPECT_TRUE(M.Registry.KeyExists(LM, Parent + "\\Other Program"));

    // A record of nothing at all (a foreign file) leaves the key alone as well.
    M.FileSystem.AddFile("C:\\foreign.exe", std::string(600, 'x'));
    auto Foreign = LoadUninstaller("C:\\foreign.exe");
    EXPECT_TRUE(Foreign->Files.empty());
    Foreign->Execute();
    EXPECT_TRUE(M.Registry.KeyExists(LM, Parent + "\\Other Program"));
}

} // namespace
} // namespace qe::test
