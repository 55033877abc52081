// The one check of paths and names that the runs and the producer share: what it lets
// through is exactly what Windows reads as written.
#include <gtest/gtest.h>

#include "package/TargetPaths.h"

namespace qe {
namespace {

TEST(TargetPaths, NamesWindowsWouldReadAsSomethingElseAreNoPlainNames)
{
    for (const std::string& Name : std::vector<std::string>{"",          ".",
                                                            "..",        "a:b",
                                                            "a.txt:",    "a<b",
                                                            "a|b",       "a?",
                                                            "a*",        "a\"b",
                                                            "a/b",       "a\\b",
                                                            "tab\there", "end.",
                                                            "end ",      "CON",
                                                            "con.txt",   "NUL .txt",
                                                            "Lpt9",      "COM\u00B9",
                                                            "CONIN$",    "conout$.log",
                                                            "PROGRA~1",  "MICROS~2.TXT",
                                                            "A~12",      std::string(256, 'n')})
        EXPECT_TRUE(PlainNameFault(Name)) << Name;
    for (const std::string& Name : std::vector<std::string>{
             "Grid Expert", " leading blank", "x.ex4.~qe", "0123abcd.~qe", "COM10", "LPT0", "CONSOLE", "nul-device.txt",
             "LONGNAME~1.TXT", "AB~1.TEXT", "a~b.txt", "Grid~.txt", std::string(255, 'n')})
        EXPECT_FALSE(PlainNameFault(Name)) << Name;
    // Windows counts a name in UTF-16 units, not in the bytes of its UTF-8.
    std::string Cyrillic;
    for (int I = 0; I < 255; ++I)
        Cyrillic += "\u0436";
    EXPECT_FALSE(PlainNameFault(Cyrillic));
    EXPECT_TRUE(PlainNameFault(Cyrillic + "\u0436"));
}

TEST(TargetPaths, PathsAreADriveAndPlainNamesOnly)
{
    EXPECT_FALSE(PlainPathFault("C:\\Program Files\\Grid Expert"));
    EXPECT_FALSE(PlainPathFault("d:\\a"));
    for (const std::string Path : {"C:", "C:\\", "C:x", "C:\\a\\", "C:\\a\\\\b", "\\a", "a\\b", "\\\\server\\share\\a",
                                   "\\\\?\\C:\\a", "\\\\.\\C:\\a", "C:\\a\\..\\b", "C:\\a\\.\\b", "1:\\a", "C:\\a:b"})
        EXPECT_TRUE(PlainPathFault(Path)) << Path;
    EXPECT_EQ(*PlainPathFault("\\\\server\\share\\a"),
              "it is a device, long-path or network path (\\\\?\\, \\\\.\\ or \\\\server\\)");
    EXPECT_EQ(*PlainPathFault("C:\\a\\..\\b"), "\"..\" would leave the folder");
}

TEST(TargetPaths, TargetsAreOneMacroAtTheirStartAndAPlainPathBelowIt)
{
    for (const std::string Target :
         {"{app}\\a.txt", "{APP}\\Docs\\a.txt", "{metatrader}\\MQL4\\Experts\\Grid.ex4", "{bootdir}\\x", "{windir}\\x"})
        EXPECT_FALSE(TargetPathFault(Target)) << Target;
    EXPECT_EQ(*TargetPathFault("{app}\\..\\x"), "the target \"{app}\\..\\x\" cannot be installed: \"..\" would leave "
                                                "the folder");
    EXPECT_EQ(*TargetPathFault("x.dll", EnglishTexts(), " (hint)"), "the target \"x.dll\" starts with no folder macro (hint)");
    EXPECT_EQ(*TargetPathFault("{app}\\a{WinDir}"),
              "the target \"{app}\\a{WinDir}\" holds a second macro, {windir}; only its start may be one");
    EXPECT_EQ(TargetMacroOf("{MetaTrader}\\x"), "{metatrader}");
    EXPECT_EQ(TargetMacroOf("{mt4}\\x"), "");
}

TEST(TargetPaths, ProductNamesAreOnePlainNameWithoutAMacro)
{
    EXPECT_FALSE(ProgramNameFault("Grid Expert 2"));
    EXPECT_EQ(*ProgramNameFault("..\\x"), "the product name \"..\\x\" cannot name a folder: \"..\\x\" holds \\, which "
                                          "Windows refuses in names");
    EXPECT_EQ(*ProgramNameFault("My {app}"),
              "the product name \"My {app}\" holds the macro {app}, which the program folder would bring into its "
              "targets");
    EXPECT_TRUE(ProgramNameFault(""));
}

} // namespace
} // namespace qe
