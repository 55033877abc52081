// The manifest's refusals and warnings, folders and patterns as sources, --define, and
// the guard that keeps -o away from the build's inputs.
#include <gtest/gtest.h>

#include "tests/qepack/ProducerFixture.h"
#include "tools/qepack/SourceSelection.h"
#include "tools/qepack/TargetRules.h"

namespace qe {
namespace {

std::string FileEntry(const std::string& Target, const std::string& Source = "files/a.mq4",
                      const std::string& Shortcut = "")
{
    return "[[file]]\nsource = \"" + Source + "\"\ntarget = '" + Target + "'\n" +
           (Shortcut.empty() ? "" : "shortcut = '" + Shortcut + "'\n");
}

TEST_F(Producer, RefusesTargetsThatLeaveTheirFolderOrThatWindowsRefuses)
{
    struct TCase {
        std::string Target, Expected;
    };
    const std::vector<TCase> Cases = {
        {"{app}\\..\\..\\Windows\\x.dll", "\"..\" would leave the folder"},
        {"{metatrader}\\MQL4\\.\\x.ex4", "\".\" would leave the folder"},
        {"C:\\x.dll", "is an absolute path: a target starts with a folder macro"},
        {"\\\\server\\share\\x.dll", "is an absolute path"},
        {"x.dll", "starts with no folder macro (write it as {app}"},
        {"{mt4}\\x.ex4", "starts with {mt4}, which is no macro; the macros are {app}, {metatrader}"},
        {"{app}x.dll", "needs \\ after {app}"},
        {"{app}\\{windir}\\x.dll", "holds a second macro"},
        {"{app}\\a{MetaTrader}b.dll", "holds a second macro, {metatrader}"},
        {"{app}\\a<b.txt", "holds <, which Windows refuses"},
        {"{app}\\a:b.txt", "holds :, which Windows refuses"},
        {"{app}\\CON", "is a device name that Windows reserves"},
        {"{app}\\docs\\lpt1.txt", "\"lpt1.txt\" is a device name"},
        {"{app}\\name.", "ends in a blank or a dot"},
        {"{app}\\folder \\x.txt", "ends in a blank or a dot"},
        {"{app}\\tab\there.txt", "control character"},
        {"{app}\\" + std::string(256, 'n'), "longer than Windows' 255 characters"},
        {"{metatrader}\\" + std::string(120, 'f') + "\\" + std::string(100, 'g'), "Windows paths end at 259"},
        {"{app}\\a/b.txt", "uses /: targets are Windows paths"},
    };
    for (const TCase& C : Cases) {
        const std::string Message = FailureOf(Manifest(FileEntry(C.Target), "name = \"D\"\n"));
        EXPECT_NE(Message.find("product.toml:5: the target"), std::string::npos) << C.Target << ": " << Message;
        EXPECT_NE(Message.find(C.Expected), std::string::npos) << "expected \"" << C.Expected << "\", got: " << Message;
    }
    // {APP} is {app}: macros are matched without case, so are the names behind them.
    EXPECT_EQ(FailureOf(Manifest(FileEntry("{APP}\\Docs\\a.mq4"), "name = \"D\"\n")), "no failure");

    // Windows counts characters (UTF-16 units), not bytes: 255 Cyrillic letters make a name,
    // and a path of 258 characters fits, however many bytes its Chinese takes.
    std::string Long;
    for (int I = 0; I < 255; ++I)
        Long += "ж";
    EXPECT_EQ(FailureOf(Manifest(FileEntry("{bootdir}\\" + Long), "name = \"D\"\n")), "no failure");
    const std::string Refused = FailureOf(Manifest(FileEntry("{bootdir}\\" + Long + "ж"), "name = \"D\"\n"));
    EXPECT_NE(Refused.find("\"жжжжжжжжжжжжжжжжжжжж...\" is longer than Windows' 255 characters"), std::string::npos)
        << Refused;
    std::string Hundred;
    for (int I = 0; I < 100; ++I)
        Hundred += "网";
    EXPECT_EQ(FailureOf(Manifest(FileEntry("{metatrader}\\" + Hundred + "\\" + Hundred), "name = \"D\"\n")),
              "no failure");
    EXPECT_NE(FailureOf(Manifest(FileEntry("{metatrader}\\" + Hundred + "\\" + Hundred + "格格"), "name = \"D\"\n"))
                  .find("becomes 260 characters long"),
              std::string::npos);
}

TEST_F(Producer, PacksFilesFromOutsideTheManifestsFolderOnlyWhenAllowed)
{
    const fs::path Outside = Dir.string() + "-outside";
    fs::create_directories(Outside);
    std::ofstream(Outside / "secret.txt") << "the build machine's";
    // Written into the manifest as it would be, with "/".
    const std::string Secret = (Outside / "secret.txt").generic_string();
    struct TCase {
        std::string Manifest, Expected;
    };
    std::vector<TCase> Cases = {
        {FileEntry("{app}\\s.txt", Secret), ":5: \"" + Secret + "\" lies outside the manifest's folder"},
        {FileEntry("{app}\\s.txt", "../" + Dir.filename().string() + "-outside/secret.txt"), "lies outside"},
        {"[documents]\nlicense = \"" + Secret + "\"\n", ":5: \"" + Secret},
    };
    // Links, where the system lets the test make them (not the Windows build's runtime).
    std::error_code NoLinks;
    fs::create_directories(Dir / "linked");
    fs::create_symlink(Outside / "secret.txt", Dir / "files" / "link.txt", NoLinks);
    if (!NoLinks)
        fs::create_symlink(Outside / "secret.txt", Dir / "linked" / "inner.txt", NoLinks);
    if (!NoLinks)
        Cases.insert(
            Cases.end(),
            {{FileEntry("{app}\\s.txt", "files/link.txt"), "(a symbolic link leads to \"" + Secret},
             {FileEntry("{app}", "linked/"), "holds the symbolic link \"" + (Dir / "linked" / "inner.txt").string()},
             {FileEntry("{app}", "linked/*.txt"), "qepack follows no link inside a source folder"}});
    for (const TCase& C : Cases) {
        const std::string Message = FailureOf(Manifest(C.Manifest));
        EXPECT_NE(Message.find(C.Expected), std::string::npos) << "expected \"" << C.Expected << "\", got: " << Message;
    }
    EXPECT_NE(FailureOf(Manifest(Cases[0].Manifest)).find("build with --allow-outside"), std::string::npos);
    // Allowed, the sources outside and the documents are packed; links in a folder never are.
    for (size_t I : {0, 1, 2})
        EXPECT_NO_THROW(LoadManifest(Manifest(Cases[I].Manifest), Files, {}, true)) << Cases[I].Manifest;
    if (!NoLinks) {
        EXPECT_NO_THROW(LoadManifest(Manifest(Cases[3].Manifest), Files, {}, true));
        EXPECT_THROW(LoadManifest(Manifest(Cases[4].Manifest), Files, {}, true), EManifestError);
    }
    fs::remove_all(Outside);
}

TEST_F(Producer, RefusesDuplicateTargetsAndShortcutsWithoutRegardToCase)
{
    Write("files/\xc3\xa9.txt", "e");
    const std::string Message =
        FailureOf(Manifest(FileEntry("{app}\\Docs\\Read.txt") + FileEntry("{APP}\\docs\\READ.TXT", "files/b.txt")));
    EXPECT_NE(Message.find(":9: the target \"{APP}\\docs\\READ.TXT\" is also written by line 6"), std::string::npos)
        << Message;
    // Accented capitals fold too, as Windows folds them.
    EXPECT_NE(FailureOf(Manifest(FileEntry("{app}\\\xc3\xa9.txt") + FileEntry("{app}\\\xc3\x89.TXT", "files/b.txt")))
                  .find("is also written by line"),
              std::string::npos);
    EXPECT_NE(
        FailureOf(Manifest(FileEntry("{app}\\Советник Ω.txt") + FileEntry("{APP}\\СОВЕТНИК ω.TXT", "files/b.txt")))
            .find("is also written by line"),
        std::string::npos);
    EXPECT_NE(FailureOf(Manifest(FileEntry("{app}\\a.txt", "files/a.mq4", "Manual") +
                                 FileEntry("{app}\\b.txt", "files/b.txt", "MANUAL")))
                  .find(":11: the shortcut \"MANUAL\" is also made by line 7"),
              std::string::npos);
}

TEST_F(Producer, RefusesShortcutNamesThatAreNoPlainNames)
{
    for (const std::string Shortcut : {"..\\..\\Startup\\x", "Docs/Manual", "..", "Uninstall", "Manual?"}) {
        const std::string Message = FailureOf(Manifest(FileEntry("{app}\\a.txt", "files/a.mq4", Shortcut)));
        EXPECT_NE(Message.find("product.toml:7: the shortcut"), std::string::npos) << Shortcut << ": " << Message;
    }
}

TEST_F(Producer, RefusesProductNamesThatCannotNameFolders)
{
    const std::vector<std::pair<std::string, std::string>> Cases = {
        {"name = \"   \"\n", "the product needs a name"},
        {"name = \"..\"\n", "would leave the folder"},
        {"name = \"Grid\\nExpert\"\n", "line break"},
        {"name = \"Grid Expert \"\n", "ends in a blank or a dot"},
        {"name = \"NUL\"\n", "device name"},
        {"name = \"" + std::string(101, 'n') + "\"\n", "longer than 100 characters"},
        {"name = "
         "\"яяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяя\"\n",
         "longer than 100 characters"},
    };
    for (const auto& [Product, Expected] : Cases) {
        const std::string Message = FailureOf(Manifest("", Product));
        EXPECT_NE(Message.find("product.toml:2: the product"), std::string::npos) << Message;
        EXPECT_NE(Message.find(Expected), std::string::npos) << "expected \"" << Expected << "\", got: " << Message;
    }
    EXPECT_EQ(FailureOf(Manifest("", "name = "
                                     "\"яяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяяя"
                                     "яяяяяяяяяяяяяяяяяяяяя\"\n")),
              "no failure");
}

TEST_F(Producer, ReadsTheVersionAsWrittenOrRefusesIt)
{
    const auto Version = [&](const std::string& Text) { return "name = \"D\"\nversion = " + Text + "\n"; };
    EXPECT_NE(FailureOf(Manifest("", Version("\"3.01\""))).find("write \"3.1\" (v3.1) or \"3.10\" (v3.10)"),
              std::string::npos);
    EXPECT_NE(FailureOf(Manifest("", Version("\"03.1\""))).find("leading zero"), std::string::npos);
    EXPECT_NE(FailureOf(Manifest("", Version("3.1"))).find("must be a text in quotes, as version = \"2.5\""),
              std::string::npos);
    EXPECT_NE(FailureOf(Manifest("", Version("\"3.1.2\""))).find("two whole numbers"), std::string::npos);
    const TManifest M = LoadManifest(Manifest("", Version("\"3.10\"")), Files);
    EXPECT_EQ(M.Contents.MajorVersion, 3);
    EXPECT_EQ(M.Contents.MinorVersion, 10);
}

TEST_F(Producer, ExplainsTheParserMessagesVendorsMeet)
{
    EXPECT_NE(FailureOf(Manifest("[[file]]\nsource = \"files/a.mq4\"\ntarget = \"{app}\\x.txt\"\n", "name = \"D\"\n"))
                  .find(":5: Error while parsing string: escape sequence '\\x' is not supported in TOML 1.0.0 and "
                        "earlier - in \"double quotes\" a \\ starts an escape: write Windows paths in 'single quotes'"),
              std::string::npos);
    EXPECT_NE(FailureOf(Manifest("", "name = Demo\n")).find(":2: "), std::string::npos);
    EXPECT_NE(FailureOf(Manifest("", "name = Demo\n")).find("write texts in quotes"), std::string::npos);
    EXPECT_NE(FailureOf(Manifest("", "name = \"D\"\nname = \"E\"\n")).find("given twice"), std::string::npos);
    EXPECT_NE(FailureOf(Manifest("", "name = \"D\"\nversoin = \"1.0\"\n"))
                  .find(":3: unknown key \"versoin\"; [product] takes name, version, build"),
              std::string::npos);
}

TEST_F(Producer, WarnsWhereAVendorProbablyErred)
{
    Write("files/big.bin", "");
    fs::resize_file(Dir / "files/big.bin", 101 << 20);
    Write("small.jpg", Read("banner.jpg"));
    const TManifest M = LoadManifest(
        Manifest("[installer]\nbanner = \"banner.jpg\"\n" + FileEntry("{MetaTrader}\\Experts\\a.mq4") +
                 FileEntry("{metatrader}\\MQL4\\Experts\\a.mq4") + FileEntry("{app}\\big.bin", "files/big.bin")),
        Files);
    ASSERT_EQ(M.Warnings.size(), 3u) << testing::PrintToString(M.Warnings);
    EXPECT_NE(M.Warnings[0].find(":5: the banner is 164 x 314 pixels"), std::string::npos) << M.Warnings[0];
    EXPECT_NE(M.Warnings[1].find(":8: the target \"{MetaTrader}\\Experts\\a.mq4\" is in the terminal's experts folder"),
              std::string::npos)
        << M.Warnings[1];
    EXPECT_NE(M.Warnings[2].find(":13: the source \"" + (Dir / "files/big.bin").string() + "\" is 101 MiB"),
              std::string::npos)
        << M.Warnings[2];
    EXPECT_EQ(M.Contents.Files.size(), 3u);
}

TEST_F(Producer, TakesWholeFoldersAndPatternsInAStableOrder)
{
    fs::create_directories(Dir / "MQL4/Indicators/Sub");
    for (const char* Name : {"Zeta.ex4", "alpha.ex4", "Beta.EX4", "notes.txt", "Sub/deep.ex4"})
        Write(std::string("MQL4/Indicators/") + Name, Name);
    const TManifest M = LoadManifest(Manifest(FileEntry("{metatrader}\\MQL4\\Indicators", "MQL4/Indicators/*.ex4") +
                                              FileEntry("{app}\\All\\", "MQL4/Indicators/")),
                                     Files);
    std::vector<std::string> Targets;
    for (const TPackedFile& F : M.Contents.Files)
        Targets.push_back(F.Target);
    EXPECT_EQ(Targets, (std::vector<std::string>{"{metatrader}\\MQL4\\Indicators\\Beta.EX4",
                                                 "{metatrader}\\MQL4\\Indicators\\Zeta.ex4",
                                                 "{metatrader}\\MQL4\\Indicators\\alpha.ex4", "{app}\\All\\Beta.EX4",
                                                 "{app}\\All\\Sub\\deep.ex4", "{app}\\All\\Zeta.ex4",
                                                 "{app}\\All\\alpha.ex4", "{app}\\All\\notes.txt"}));
    EXPECT_EQ(M.Contents.Files[0].SourceName, (Dir / "MQL4/Indicators/Beta.EX4").string());

    // A folder without its closing "/" is a likely slip: it gets its own message.
    EXPECT_NE(FailureOf(Manifest(FileEntry("{app}\\x", "MQL4/Indicators")))
                  .find(":5: the source \"MQL4/Indicators\" is a folder: write \"MQL4/Indicators/\" to install every "
                        "file"),
              std::string::npos);
    EXPECT_NE(FailureOf(Manifest(FileEntry("{app}\\x", "MQL4/Indicators/*.dll"))).find("matches no file"),
              std::string::npos);
    EXPECT_NE(FailureOf(Manifest(FileEntry("{app}\\x", "MQL4/*/x.ex4"))).find("patterns match file names only"),
              std::string::npos);
    EXPECT_NE(
        FailureOf(Manifest(FileEntry("{app}\\x", "MQL4/Indicators/*.ex4", "All"))).find("a shortcut names one file"),
        std::string::npos);
    // The pattern's files are checked as targets too: a clash with a listed file.
    EXPECT_NE(FailureOf(Manifest(FileEntry("{app}\\x\\zeta.ex4") + FileEntry("{app}\\x", "MQL4/Indicators/*.ex4")))
                  .find("the target \"{app}\\x\\Zeta.ex4\" is also written by line 6"),
              std::string::npos);
}

TEST(SourceSelection, MatchesNamesLikeWindows)
{
    EXPECT_TRUE(NameMatches("*.ex4", "Grid.EX4"));
    EXPECT_TRUE(NameMatches("Grid?.ex4", "Grid2.ex4"));
    EXPECT_TRUE(NameMatches("*a*b*", "xaxxbx"));
    EXPECT_FALSE(NameMatches("*.ex4", "Grid.ex45"));
    EXPECT_FALSE(NameMatches("Grid?.ex4", "Grid.ex4"));
    EXPECT_TRUE(NameMatches("*", ""));
    // Letters beyond ASCII without letter case too; "?" is one character of any length.
    EXPECT_TRUE(NameMatches("СЕТКА ??.MQ4", "Сетка 网格.mq4"));
    EXPECT_FALSE(NameMatches("Сетка ?.mq4", "Сетка 网格.mq4"));
    EXPECT_TRUE(NameMatches("*Ω*", "αω.ex4"));
}

TEST_F(Producer, DefinesReplaceManifestValues)
{
    const std::string Path = Manifest("[publisher]\nname = \"Pub\"\n", "name = \"D\"\nversion = \"1.0\"\n");
    const TManifest M =
        LoadManifest(Path, Files, {"product.version=2.6", "product.build=118", "publisher.website=example.com"});
    EXPECT_EQ(M.Contents.MajorVersion, 2);
    EXPECT_EQ(M.Contents.MinorVersion, 6);
    EXPECT_EQ(M.Contents.BuildNumber, 118);
    EXPECT_EQ(M.Contents.Website, "example.com");
    EXPECT_EQ(M.Contents.Publisher, "Pub");
    EXPECT_TRUE(M.Contents.UseDataFolders);
    EXPECT_FALSE(LoadManifest(Path, Files, {"installer.data_folders=false"}).Contents.UseDataFolders);
    EXPECT_TRUE(M.Contents.Languages.empty());
    EXPECT_EQ(LoadManifest(Path, Files, {"installer.languages=ja, en"}).Contents.Languages,
              (std::vector<std::string>{"ja", "en"}));
    const auto Refused = [&](const std::string& Define) {
        try {
            LoadManifest(Path, Files, {Define});
        } catch (const EManifestError& E) {
            return E.Message();
        }
        return std::string("no failure");
    };
    EXPECT_EQ(Refused("product.version=2.06").rfind("--define product.version: the version \"2.06\"", 0), 0u);
    EXPECT_NE(Refused("product.build=x").find("takes a whole number"), std::string::npos);
    EXPECT_NE(Refused("product.nmae=x").find("write TABLE.KEY=VALUE"), std::string::npos);
    EXPECT_NE(Refused("file.target=x").find("write TABLE.KEY=VALUE"), std::string::npos);
    EXPECT_NE(Refused("product.show_notice=yes").find("takes true or false"), std::string::npos);
}

TEST_F(Producer, OutputNeverReplacesAnInput)
{
    Write("files/c.txt", "c");
    const std::string Path = Manifest("[documents]\nlicense = \"License.rtf\"\n[installer]\nbanner = \"banner.jpg\"\n" +
                                      FileEntry("{app}\\x", "files/"));
    const std::string Stub = (Dir / "stub.exe").string();
    for (const std::string Input :
         {"product.toml", "stub.exe", "banner.jpg", "License.rtf", "files/c.txt", "files/../files/a.mq4"}) {
        const std::string Before = Read(Input);
        try {
            Build(Path, (Dir / Input).string(), Stub);
            ADD_FAILURE() << Input << " was replaced";
        } catch (const Exception& E) {
            EXPECT_NE(E.Message().find("names an input of the build"), std::string::npos) << E.Message();
        }
        EXPECT_EQ(Read(Input), Before) << Input;
    }
    EXPECT_NE(FailureOfBuild(Path, Dir.string(), Stub).find("is a folder; name the installer file"), std::string::npos);
}

TEST_F(Producer, StarterManifestLoadsAndNamesEveryTable)
{
    Write("product.toml", StarterManifest());
    const TManifest M = LoadManifest((Dir / "product.toml").string(), Files);
    EXPECT_EQ(M.Contents.ProgramName, "My Expert");
    EXPECT_TRUE(M.Contents.Files.empty());
    for (const TManifestKey& Key : ManifestKeys)
        EXPECT_NE(StarterManifest().find(std::string(Key.Key) + " ="), std::string::npos) << Key.Key;
}

} // namespace
} // namespace qe
