// The reader of a language file and the filling in of a text's placeholders.
#include <gtest/gtest.h>

#include "language/Languages.h"

namespace qe {
namespace {

std::string ParseError(const std::string& Source)
{
    try {
        TTextTable::Parse(Source, "xx.txt");
    } catch (const ELanguageError& Error) {
        return Error.Message();
    }
    return "no error";
}

TEST(TextTable, ReadsNamesAndTextsAroundBlanksCommentsAndLineEnds)
{
    const TTextTable T = TTextTable::Parse("\xEF\xBB\xBF# a comment\r\n\r\n  ButtonNext\t=  Weiter >  \r\n"
                                           "ButtonPrev=< Zurück = zurück\n   # indented comment\nButtonCancel =",
                                           "de.txt");
    EXPECT_EQ(T.Raw(TText::ButtonNext), "Weiter >");
    // Only the first "=" ends the name.
    EXPECT_EQ(T.Raw(TText::ButtonPrev), "< Zurück = zurück");
    EXPECT_EQ(T.Raw(TText::ButtonCancel), "");
    const std::vector<TText> Missing = T.Missing();
    EXPECT_EQ(Missing.size(), TextCount - 3);
    EXPECT_EQ(std::count(Missing.begin(), Missing.end(), TText::ButtonCancel), 0);
}

TEST(TextTable, ATextTheFileLacksComesFromTheFallback)
{
    const TTextTable T = TTextTable::Parse("ButtonNext = Weiter >", "de.txt", &EnglishTexts());
    EXPECT_EQ(T.Format(TText::ButtonNext), "Weiter >");
    EXPECT_EQ(T.Format(TText::ButtonPrev), "<< Prev");
    EXPECT_TRUE(T.Missing().empty());
}

TEST(TextTable, RefusesWhatATranslatorMayGetWrongNamingFileAndLine)
{
    EXPECT_EQ(ParseError("ButtonNext = a\nNextButton = b"), "xx.txt:2: \"NextButton\" is the name of no text");
    EXPECT_EQ(ParseError("ButtonNext = a\n\nButtonNext = b"), "xx.txt:3: \"ButtonNext\" is given twice");
    EXPECT_EQ(ParseError("# c\nButtonNext Weiter"), "xx.txt:2: a text line is \"Name = Text\"");
    EXPECT_EQ(ParseError("ProgressCopyingFile = 100% %1"), "xx.txt:1: a \"%\" is followed by none of 1 to 9, n or %");
    EXPECT_EQ(ParseError("ProgressCopyingFile = %1 %"), "xx.txt:1: a \"%\" is followed by none of 1 to 9, n or %");
    EXPECT_EQ(ParseError("ProgressCopyingFile = %0"), "xx.txt:1: a \"%\" is followed by none of 1 to 9, n or %");
}

TEST(TextTable, RefusesTextThatIsNotUtf8)
{
    const std::string Refused = "xx.txt:2: the line is not UTF-8 text; save the file as UTF-8";
    // Windows-1252 "ü", a stray continuation byte, a sequence cut short at the line's end,
    // an overlong "/", a surrogate, a code above U+10FFFF.
    for (const std::string Bad : {"\xFC", "\x80", "Zur\xC3", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80",
                                  "\xF4\x90\x80\x80", "\xF8\x88\x80\x80"})
        EXPECT_EQ(ParseError("# ok\nButtonNext = " + Bad + "\n"), Refused) << Bad;
    // Two, three and four bytes at the edges of their ranges are sound.
    EXPECT_EQ(ParseError("ButtonNext = \xC2\x80 \xDF\xBF \xE0\xA0\x80 \xEF\xBF\xBF \xF0\x90\x80\x80 \xF4\x8F\xBF\xBF"),
              "no error");
}

TEST(TextTable, FillsInPlaceholdersLineBreaksAndPercentSigns)
{
    const TTextTable T = TTextTable::Parse("InstallFinishText = %1, %2 and %1 again: 50%% done%nnext line\n"
                                           "ProgressCopyingFile = %2 before %1",
                                           "xx.txt");
    EXPECT_EQ(T.Format(TText::InstallFinishText, {"A", "B"}), "A, B and A again: 50% done\rnext line");
    EXPECT_EQ(T.Format(TText::ProgressCopyingFile, {"one", "two"}), "two before one");
    // A placeholder without a value given is left out; a value is not read for placeholders.
    EXPECT_EQ(T.Format(TText::ProgressCopyingFile, {"%2"}), " before %2");
    EXPECT_EQ(PlaceholdersOf(T.Raw(TText::InstallFinishText)), (1u << 1) | (1u << 2));
    EXPECT_EQ(PlaceholdersOf("%%1 %n"), 0u);
}

TEST(TextTable, EnglishReadsAsTheProgramAlwaysSpoke)
{
    const TTextTable& E = EnglishTexts();
    EXPECT_EQ(
        E.Format(TText::MessageTerminalRunning),
        "The wizard detect a MetaTrader program currently running.\rPlease close the program and then click OK to "
        "continue.");
    EXPECT_EQ(E.Format(TText::ProgressCopyingFile, {"C:\\a b\\c.ex4"}), "Copying file C:\\a b\\c.ex4 ...");
    EXPECT_EQ(E.Format(TText::ProgressCreatingUninstaller), "Creating unistaller ...");
    EXPECT_EQ(E.Format(TText::InstallTitle, {"Demo"}), "Install - Demo");
}

} // namespace
} // namespace qe
