#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sstream>

#include "package/PackageVerify.h"
#include "package/QeClasses.h"
#include "package/TagStreams.h"
#include "platform/sim/SimPlatform.h"
#include "platform/stdio/FileTimes.h"
#include "platform/stdio/StdioFiles.h"
#include "tests/qepack/ProducerFixture.h"
#include "tools/qepack/Build.h"
#include "tools/qepack/Inspect.h"
#include "tools/qepack/Manifest.h"

namespace qe {
namespace {

namespace fs = std::filesystem;

const char* const TwoFiles = R"(
[publisher]
name = "Pub"
website = "example.com"
[documents]
license = "License.rtf"
[installer]
banner = "banner.jpg"
experts_override = "1 0"
languages = ["ru", "ZH-cn"]
[[file]]
source = "files/a.mq4"
target = '{metatrader}\experts\a.mq4'
[[file]]
source = "files/b.txt"
target = '{app}\b.txt'
shortcut = "B"
)";

TEST_F(Producer, BuildsAnInstallerThatLoadsAndVerifies)
{
    const std::string Out = (Dir / "Setup.exe").string();
    Build(Manifest(TwoFiles), Out, (Dir / "stub.exe").string());
    EXPECT_FALSE(fs::exists(Out + ".partial"));

    std::ostringstream Json;
    InspectFile(Out, Files, true, Json);
    const auto J = nlohmann::json::parse(Json.str());
    EXPECT_EQ(J["Record"], "QEIN");
    EXPECT_EQ(J["ProgramName"], "Demo");
    EXPECT_EQ(J["MajorVersion"], 3);
    EXPECT_EQ(J["MinorVersion"], 0);
    EXPECT_EQ(J["Website"], "example.com");
    EXPECT_EQ(J["ExpertsOverride"], "1 0");
    EXPECT_EQ(J["UseDataFolders"], true);
    // In the program's spelling.
    EXPECT_EQ(J["Languages"], nlohmann::json::array({"ru", "zh-CN"}));
    EXPECT_EQ(J["License"], "{\\rtf1 licence}");
    EXPECT_EQ(J["PayloadKey"].get<std::string>().size(), 32u);
    ASSERT_EQ(J["Files"].size(), 2u);
    EXPECT_EQ(J["Files"][0]["Target"], "{metatrader}\\experts\\a.mq4");
    EXPECT_EQ(J["Files"][1]["ShortcutName"], "B");
    EXPECT_EQ(J["Files"][1]["PayloadSize"], 112);
    EXPECT_GT(J["Files"][0]["WriteTime"].get<uint64_t>(), 116444736000000000ULL); // after 1970

    std::ostringstream Report;
    EXPECT_TRUE(VerifyFile(Out, Files, Report)) << Report.str();
    EXPECT_NE(Report.str().find("(100 bytes)"), std::string::npos) << Report.str();

    // Every package gets a key of its own.
    const std::string Again = (Dir / "Again.exe").string();
    Build(Manifest(TwoFiles), Again, (Dir / "stub.exe").string());
    std::ostringstream Json2;
    InspectFile(Again, Files, true, Json2);
    EXPECT_NE(nlohmann::json::parse(Json2.str())["PayloadKey"], J["PayloadKey"]);
}

TEST_F(Producer, RefusesWhatWouldMakeABrokenInstaller)
{
    struct TCase {
        std::string Extra, Product, Expected;
    };
    const std::vector<TCase> Cases = {
        {"", "name = \"\"\n", "the product needs a name"},
        {"", "version = \"1.0\"\n", "the product needs a name"},
        {"[[file]]\nsource = \"files/missing.mq4\"\ntarget = '{app}\\x'\n", "name = \"D\"\n", ":4: the source file"},
        {"[installer]\nbanner = \"License.rtf\"\n", "name = \"D\"\n", ":4: the banner is not a JPEG picture"},
        {"[installer]\nbanner = \"nothing.jpg\"\n", "name = \"D\"\n", ":4: Cannot open file"},
        {"[installer]\nbanner = \"empty.jpg\"\n", "name = \"D\"\n", ":4: the banner file is empty"},
        {"[[file]]\nsource = \"files/a.mq4\"\ntarget = ' \\a.txt'\n", "name = \"D\"\n", "starts with no folder macro"},
        {"[[file]]\nsource = \"files/a.mq4\"\ntarget = '{app}\\\\a.txt'\n", "name = \"D\"\n",
         "has an empty folder name"},
        {"[installer]\nexperts_override = \"1 0 2\"\n", "name = \"D\"\n", ":4: \"experts_override\""},
        {"[installer]\nexperts_override = \"101010101\"\n", "name = \"D\"\n", ":4: \"experts_override\""},
        {"[installer]\ndata_folders = \"no\"\n", "name = \"D\"\n", ":4: \"data_folders\" must be true or false"},
        {"[installer]\nlanguages = \"de\"\n", "name = \"D\"\n", ":4: \"languages\" lists the installer's languages"},
        {"[installer]\nlanguages = []\n", "name = \"D\"\n", "leave it out to offer every language"},
        {"[installer]\nlanguages = [\"de\", \"pt\"]\n", "name = \"D\"\n",
         ":4: \"languages\" names a language by its code in quotes (the installer speaks en, de, fr, es, pt-BR, it, "
         "ru, "
         "tr, zh-CN, ja)"},
        {"[installer]\nlanguages = [\"de\", 1]\n", "name = \"D\"\n", "names a language by its code in quotes"},
        {"[installer]\nlanguages = [\"de\", \"DE\"]\n", "name = \"D\"\n", ":4: the language \"de\" is listed twice"},
        {"[[file]]\nsource = \"files/a.mq4\"\ntarget = \"a.mq4\"\n", "name = \"D\"\n",
         ":5: the target \"a.mq4\" starts with no folder macro"},
        {"[[file]]\nsource = \"files/a.mq4\"\ntarget = '{app}\\'\n", "name = \"D\"\n", "names no file"},
        {"", "name = \"D\"\nversoin = \"1.0\"\n", ":3: unknown key \"versoin\""},
        {"", "name = \"D\"\nversion = \"1.x\"\n", ":3: \"version\" must read MAJOR.MINOR"},
        {"", "name = \"D\"\nbuild = -1\n", ":3: \"build\" must be a whole number"},
        {"[documents]\nreadme = \"Readme.txt\"\n", "name = \"D\"\n",
         ":4: \"" + TextOf(Dir / "Readme.txt") + "\" is neither RTF nor UTF-8 text"},
        {"", "name = \"A/B\"\n", ":2: the product name names folders"},
        {"", "name = \"D\n", "product.toml:2:"},
    };
    Write("Readme.txt", "Caf\xE9, 1252 text");
    for (const TCase& C : Cases) {
        const std::string Message = FailureOf(Manifest(C.Extra, C.Product));
        EXPECT_NE(Message.find(C.Expected), std::string::npos) << "expected \"" << C.Expected << "\", got: " << Message;
        EXPECT_NE(Message.find("product.toml"), std::string::npos) << Message;
    }
}

TEST_F(Producer, FailedBuildLeavesNoInstallerAndKeepsTheOldOne)
{
    const std::string Out = (Dir / "Setup.exe").string();
    Write("Setup.exe", "old installer");
    auto Kept = [&] {
        std::ifstream In(Out, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
    };
    // Refused before writing: a broken manifest, a stub that already carries a package.
    EXPECT_THROW(Build(Manifest("[installer]\nbanner = \"License.rtf\"\n"), Out, (Dir / "stub.exe").string()),
                 Exception);
    Build(Manifest(""), (Dir / "Packed.exe").string(), (Dir / "stub.exe").string());
    EXPECT_THROW(Build(Manifest(""), Out, (Dir / "Packed.exe").string()), Exception);
    EXPECT_EQ(Kept(), "old installer");

    // Failing halfway through the payloads: a source that changes while it is packed.
    TPackageContents Contents;
    Contents.ProgramName = "Demo";
    Contents.Files.push_back(MemoryFile("{app}\\a.txt", "first file"));
    TPackedFile Changing;
    Changing.Target = "{app}\\b.txt";
    Changing.SourceName = "b.txt";
    int Opened = 0;
    Changing.OpenSource = [&Opened] {
        return std::make_unique<TMemoryStream>(std::vector<uint8_t>(++Opened == 1 ? 10 : 20, 'b'));
    };
    Contents.Files.push_back(Changing);
    auto Stub = Files.OpenForReading((Dir / "stub.exe").string());
    try {
        WriteInstallerFile(Contents, *Stub, Out, Files);
        FAIL() << "no error";
    } catch (const Exception& E) {
        EXPECT_EQ(E.Message(), "The file \"b.txt\" changed while it was packed");
    }
    EXPECT_EQ(Kept(), "old installer");
    EXPECT_FALSE(fs::exists(Out + ".partial"));

    // A build that succeeds replaces the old installer.
    Build(Manifest(""), Out, (Dir / "stub.exe").string());
    EXPECT_NE(Kept(), "old installer");
    EXPECT_FALSE(fs::exists(Out + ".partial"));
}

TEST_F(Producer, InspectShowsExactBytesAndTheClearedModelWithoutAPackage)
{
    const std::string Out = (Dir / "Setup.exe").string();
    // RTF with bytes of its own code page (Windows-1251 here), which are no UTF-8.
    Write("License.rtf", "{\\rtf1\\ansi\\ansicpg1251 \xCB\xE8\xF6\xE5\xED\xE7\xE8\xFF}");
    Build(Manifest("[publisher]\nname = \"Café € Ёж\"\n[documents]\nlicense = \"License.rtf\"\n"), Out,
          (Dir / "stub.exe").string());
    std::ostringstream Json;
    InspectFile(Out, Files, true, Json);
    const auto J = nlohmann::json::parse(Json.str());
    EXPECT_EQ(J["Publisher"].get<std::string>(), "Café € Ёж");
    // Each byte of the document shown as the character of the same code.
    EXPECT_EQ(J["License"].get<std::string>(), "{\\rtf1\\ansi\\ansicpg1251 Ëèöåíçèÿ}");

    std::ostringstream Bare;
    InspectFile((Dir / "stub.exe").string(), Files, true, Bare);
    const auto B = nlohmann::json::parse(Bare.str());
    EXPECT_EQ(B["Record"], "");
    EXPECT_EQ(B["ProgramName"], "");
    EXPECT_EQ(B["MajorVersion"], 1);
    EXPECT_EQ(B["Files"].size(), 0u);
    std::ostringstream Report;
    EXPECT_FALSE(VerifyFile((Dir / "stub.exe").string(), Files, Report));
}

TEST_F(Producer, InspectShowsAnUninstallerWithItsPaths)
{
    sim::TSimPlatform Machine;
    TQeInstall Installed(Machine.Platform());
    Installed.ProgramName = "Demo";
    Installed.MajorVersion = 3;
    Installed.InstallLog = {
        {"C:\\Program Files\\Demo", true}, {"C:\\Menu\\Demo", true}, {"C:\\MT4\\experts\\a.mq4", false}};
    TMemoryStream Uninstaller(std::vector<uint8_t>(512, 0));
    Uninstaller.Seek(0, TSeekOrigin::soEnd);
    Installed.WriteUninstallRecord(Uninstaller);
    const auto& Bytes = Uninstaller.Bytes();
    Write("Uninstall.exe", std::string(Bytes.begin(), Bytes.end()));

    std::ostringstream Json;
    InspectFile((Dir / "Uninstall.exe").string(), Files, true, Json);
    const auto J = nlohmann::json::parse(Json.str());
    EXPECT_EQ(J["Record"], "QEUN");
    EXPECT_EQ(J["ProgramName"], "Demo");
    EXPECT_EQ(J["MajorVersion"], 3);
    EXPECT_EQ(J["Folders"], nlohmann::json({"C:\\Program Files\\Demo", "C:\\Menu\\Demo"}));
    EXPECT_EQ(J["Files"], nlohmann::json({"C:\\MT4\\experts\\a.mq4"}));
    EXPECT_FALSE(J.contains("PayloadKey"));

    // Under the uninstaller's name, a file without a record is an empty uninstaller.
    fs::create_directories(Dir / "sub");
    fs::copy_file(Dir / "stub.exe", Dir / "sub" / "UNINSTALL.EXE");
    std::ostringstream Bare;
    InspectFile((Dir / "sub" / "UNINSTALL.EXE").string(), Files, true, Bare);
    const auto B = nlohmann::json::parse(Bare.str());
    EXPECT_EQ(B["Record"], "");
    EXPECT_EQ(B["ProgramName"], "");
    EXPECT_EQ(B["Folders"], nlohmann::json::array());
}

TEST_F(Producer, VerifyFindsDamagedPayloads)
{
    const std::string Out = (Dir / "Setup.exe").string();
    Build(Manifest(TwoFiles), Out, (Dir / "stub.exe").string());
    // Cut the last payload short: its window now runs past the end of the file.
    fs::resize_file(Out, fs::file_size(Out) - 16);
    std::ostringstream Report;
    EXPECT_FALSE(VerifyFile(Out, Files, Report));
    EXPECT_NE(Report.str().find("FAULT  the contents of {app}\\b.txt lie outside the file"), std::string::npos)
        << Report.str();
    EXPECT_NE(Report.str().find("ok     {metatrader}"), std::string::npos) << Report.str();
}

TEST_F(Producer, VerifyFindsAFinalBlockThatDoesNotDecipher)
{
    // A wrong key turns the final block's count into noise; some key gives a count above 15.
    const std::string Out = (Dir / "Setup.exe").string();
    Build(Manifest(TwoFiles), Out, (Dir / "stub.exe").string());
    std::ostringstream Json;
    InspectFile(Out, Files, true, Json);
    std::string Bytes;
    {
        std::ifstream In(Out, std::ios::binary);
        Bytes.assign((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
    }
    // The key record's header and count, then the masked key.
    TMemoryStream KeyRecord;
    TTagStreamAdapter(KeyRecord).WriteTag(piPayloadKey, tkBinary);
    const auto KeySize = static_cast<int32_t>(PayloadKeySize);
    KeyRecord.WriteBuffer(&KeySize, 4);
    const std::string Header(KeyRecord.Bytes().begin(), KeyRecord.Bytes().end());
    const size_t At = Bytes.find(Header);
    ASSERT_NE(At, std::string::npos);
    for (int Try = 1; Try < 64; ++Try) {
        Bytes[At + Header.size()] = static_cast<char>(Bytes[At + Header.size()] ^ Try);
        std::ofstream(Out, std::ios::binary) << Bytes;
        std::ostringstream Report;
        // The key stands in the records, so their digest fails whatever the key gives.
        EXPECT_FALSE(VerifyFile(Out, Files, Report));
        EXPECT_NE(Report.str().find("FAULT  its package records do not match their digest"), std::string::npos)
            << Report.str();
        if (Report.str().find("end in a damaged block") != std::string::npos)
            return;
    }
    FAIL() << "no wrong key made a final block fail";
}

// The producer finds its default stub beside itself and stores the sources' times.
TEST(StdioFiles, NamesTheRunningProgramAndReadsFileTimes)
{
    const fs::path Self = TStdioFiles::ExecutablePath();
    EXPECT_TRUE(fs::is_regular_file(Self)) << Self;
    EXPECT_EQ(Self.stem(), "qepack_tests");

    const TSourceTimes Times = ReadSourceTimes(Self.string());
    EXPECT_GT(Times.WriteTime, 116444736000000000ULL); // after 1970
    EXPECT_GT(Times.CreationTime, 116444736000000000ULL);
    try {
        ReadSourceTimes((Self.parent_path() / "no such file").string());
        FAIL() << "no error";
    } catch (const Exception& E) {
        EXPECT_NE(E.Message().find("no such file"), std::string::npos) << E.Message();
    }
}

// A product in Russian and Chinese: every text of the manifest, the file names and a plain
// text document come back from the installer as written, marked UTF-8 by the package's
// first record.
TEST_F(Producer, AUtf8ProductComesBackAsWritten)
{
    fs::create_directories(Dir / "files" / PathOf("Индикаторы"));
    Write("files/Индикаторы/Сетка 网格.mq4", "indicator");
    Write("Readme.txt", "\xEF\xBB\xBFПрочти меня\n读我\n");
    const std::string Out = (Dir / "Setup.exe").string();
    Build(Manifest(R"([publisher]
name = "ООО Рога и Копыта"
website = "пример.рф"
address = "Москва, ул. Тверская, 1"
contact = "Иван Петров"
email = "ivan@example.com"
[documents]
license = "License.rtf"
readme = "Readme.txt"
[[file]]
source = "files/Индикаторы/"
target = '{metatrader}\MQL4\Индикаторы'
[[file]]
source = "files/a.mq4"
target = '{app}\文档\Советник.mq4'
shortcut = "Советник 网格"
)",
                   "name = \"Советник Pro 网格交易\"\nversion = \"2.1\"\n"),
          Out, (Dir / "stub.exe").string());

    sim::TSimPlatform Machine;
    TStdioFiles Disk;
    auto Stream = Disk.OpenForReading(Out);
    TQeInstall Model(Machine.Platform());
    Model.LoadFromStream(*Stream);
    EXPECT_EQ(Model.ProgramName, "Советник Pro 网格交易");
    EXPECT_EQ(Model.Publisher, "ООО Рога и Копыта");
    EXPECT_EQ(Model.Website, "пример.рф");
    EXPECT_EQ(Model.Address, "Москва, ул. Тверская, 1");
    EXPECT_EQ(Model.ContactName, "Иван Петров");
    EXPECT_EQ(Model.License, "{\\rtf1 licence}");
    EXPECT_EQ(Model.Readme, "Прочти меня\n读我\n"); // without its byte-order mark
    ASSERT_EQ(Model.Files.size(), 2u);
    EXPECT_EQ(Model.Files[0]->Target, "{metatrader}\\MQL4\\Индикаторы\\Сетка 网格.mq4");
    EXPECT_EQ(Model.Files[1]->Target, "{app}\\文档\\Советник.mq4");
    EXPECT_EQ(Model.Files[1]->ShortcutName, "Советник 网格");

    // The marking record comes first, right after the signature.
    uint32_t Offset = 0;
    ASSERT_TRUE(ReadPackageOffset(*Stream, Offset));
    Stream->Seek(Offset, TSeekOrigin::soBeginning);
    TTagStreamAdapter Tags(*Stream);
    ASSERT_TRUE(Tags.CheckSignature(PackageSignature));
    ASSERT_TRUE(Tags.NextTag());
    EXPECT_EQ(Tags.TagId, piUtf8Strings);
    EXPECT_EQ(Tags.TagKind, tkByte);
    EXPECT_EQ(Tags.ReadByte(), 1);

    std::ostringstream Json;
    InspectFile(Out, Files, true, Json);
    EXPECT_EQ(nlohmann::json::parse(Json.str())["ProgramName"], "Советник Pro 网格交易");
    std::ostringstream Report;
    EXPECT_TRUE(VerifyFile(Out, Files, Report)) << Report.str();
}

} // namespace
} // namespace qe
