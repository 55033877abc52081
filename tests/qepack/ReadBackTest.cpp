// Reading installers back: extract, inspect's text mode, and installers made byte for
// byte again from the same inputs.
#include <cstdlib>
#include <gtest/gtest.h>
#include <sstream>

#include "platform/stdio/FileTimes.h"
#include "tests/qepack/ProducerFixture.h"
#include "tools/qepack/Inspect.h"

namespace qe {
namespace {

void SetEnvironment(const char* Name, const char* Value)
{
#ifdef _WIN32
    _putenv_s(Name, Value); // an empty value removes it
#else
    if (*Value == '\0')
        ::unsetenv(Name);
    else
        ::setenv(Name, Value, 1);
#endif
}

const char* const Files3 = R"(
[[file]]
source = "files/a.mq4"
target = '{metatrader}\MQL4\Experts\a.mq4'
[[file]]
source = "files/b.txt"
target = '{app}\Docs\b.txt'
)";

TEST_F(Producer, ExtractWritesEveryFileWithItsTimesBelowItsMacro)
{
    const std::string Out = (Dir / "Setup.exe").string();
    Build(Manifest(Files3), Out, (Dir / "stub.exe").string());
    std::ostringstream Report;
    ExtractFile(Out, (Dir / "out").string(), Files, Report);
    EXPECT_EQ(Read("out/{metatrader}/MQL4/Experts/a.mq4"), "expert");
    EXPECT_EQ(Read("out/{app}/Docs/b.txt"), std::string(100, 'b'));
    EXPECT_EQ(ReadSourceTimes((Dir / "out/{app}/Docs/b.txt").string()).WriteTime,
              ReadSourceTimes((Dir / "files/b.txt").string()).WriteTime);
    EXPECT_NE(Report.str().find("2 files extracted"), std::string::npos) << Report.str();
}

TEST_F(Producer, ExtractRefusesTargetsThatLeaveTheFolderAndWritesNothing)
{
    // Another producer's installer: the targets are not checked as qepack's are.
    TPackageContents Contents;
    Contents.ProgramName = "Demo";
    Contents.Files.push_back(MemoryFile("{app}\\fine.txt", "fine"));
    Contents.Files.push_back(MemoryFile("{app}\\..\\..\\escaped.txt", "out"));
    auto Stub = Files.OpenForReading((Dir / "stub.exe").string());
    const std::string Out = (Dir / "Foreign.exe").string();
    WriteInstallerFile(Contents, *Stub, Out, Files);
    std::ostringstream Report;
    try {
        ExtractFile(Out, (Dir / "out" / "deep").string(), Files, Report);
        FAIL() << "extracted";
    } catch (const Exception& E) {
        EXPECT_NE(E.Message().find("the target \"{app}\\..\\..\\escaped.txt\" would leave"), std::string::npos)
            << E.Message();
    }
    EXPECT_FALSE(fs::exists(Dir / "out"));
    EXPECT_THROW(ExtractFile((Dir / "stub.exe").string(), (Dir / "out").string(), Files, Report), Exception);
}

TEST_F(Producer, InspectTextShowsWindows1252AsItsCharacters)
{
    const std::string Out = (Dir / "Setup.exe").string();
    Build(Manifest("[publisher]\nname = \"Caf\xc3\xa9 \xe2\x82\xac\"\n"), Out, (Dir / "stub.exe").string());
    std::ostringstream Text;
    InspectFile(Out, Files, false, Text);
    EXPECT_NE(Text.str().find("Publisher: Caf\xc3\xa9 \xe2\x82\xac\n"), std::string::npos) << Text.str();
}

TEST_F(Producer, SameInputsAndKeyGiveTheSameInstaller)
{
    const std::string Path = Manifest(Files3);
    const std::string Stub = (Dir / "stub.exe").string();
    const auto Twice = [&](const std::optional<TPayloadKey>& Key) {
        BuildInstaller({Path, (Dir / "One.exe").string(), Stub, {"product.build=7"}, Key});
        BuildInstaller({Path, (Dir / "Two.exe").string(), Stub, {"product.build=7"}, Key});
        return std::make_pair(Read("One.exe"), Read("Two.exe"));
    };
    const auto [A, B] = Twice(ParsePayloadKey("00112233445566778899AABBCCDDEEFF"));
    EXPECT_EQ(A, B);
    const auto [C, D] = Twice(std::nullopt);
    EXPECT_NE(C, D); // a random key each

    SetEnvironment("SOURCE_DATE_EPOCH", "1700000000");
    const auto [E, F] = Twice(std::nullopt);
    SetEnvironment("SOURCE_DATE_EPOCH", "");
    EXPECT_EQ(E, F);
    EXPECT_NE(E, A);
    EXPECT_NE(DerivedPayloadKey("1700000000", "a", {}), DerivedPayloadKey("1700000001", "a", {}));
    EXPECT_NE(DerivedPayloadKey("1700000000", "a", {}), DerivedPayloadKey("1700000000", "a", {"product.build=8"}));
    EXPECT_THROW(ParsePayloadKey("0011"), Exception);
}

} // namespace
} // namespace qe
