// The program's text, UTF-8, against Windows' UTF-16: conversions both ways, what damaged
// text turns into, and names compared as Windows compares them. Runs on Linux and under
// Wine, where the capitals are Windows' own.
#include <gtest/gtest.h>

#include "platform/CaseFolding.h"
#include "platform/Cp1252.h"
#include "platform/Paths.h"
#include "platform/Unicode.h"

#ifdef _WIN32
#include "platform/win32/Win32Text.h"
#endif

namespace qe {
namespace {

TEST(Utf8, EveryCharacterGoesToUtf16AndBackUnchanged)
{
    // The first and last characters of each sequence length, and ordinary text.
    const std::pair<std::string, std::u16string> Pairs[] = {
        {"", u""},
        {"A\x7F", u"A\x7F"},
        {"\xC2\x80\xDF\xBF", u"\x0080\x07FF"},
        {"\xE0\xA0\x80\xEF\xBF\xBF", u"\x0800\xFFFF"},
        {"\xF0\x90\x80\x80", u"\xD800\xDC00"},
        {"\xF4\x8F\xBF\xBF", u"\xDBFF\xDFFF"},
        {"Советник Pro 网格交易 €", u"Советник Pro 网格交易 €"},
        {"C:\\\U0001F4C8\\MT4", u"C:\\\U0001F4C8\\MT4"},
    };
    for (const auto& [Utf8, Utf16] : Pairs) {
        EXPECT_TRUE(IsValidUtf8(Utf8)) << Utf8;
        EXPECT_EQ(Utf8ToUtf16(Utf8), Utf16) << Utf8;
        EXPECT_EQ(Utf16ToUtf8(Utf16), Utf8) << Utf8;
        EXPECT_EQ(Utf16Length(Utf8), Utf16.size()) << Utf8;
        EXPECT_EQ(ValidUtf8(Utf8), Utf8);
    }
}

TEST(Utf8, DamagedSequencesBecomeOneReplacementEachAndTakeNothingAfterThem)
{
    const std::string R = "\xEF\xBF\xBD"; // U+FFFD
    const std::pair<std::string, std::string> Cases[] = {
        {"\x80", R}, // a continuation byte alone
        {"a\xBF"
         "b",
         "a" + R + "b"}, //
        {"\xC3", R},     // cut short at the end
        {"\xE4\xB8"
         "A",
         R + "A"}, // cut short before a character: one U+FFFD, the A stays
        {"\xF0\x9F\x93"
         " ",
         R + " "},                           //
        {"\xC0\xAF", R + R},                 // "/" in two bytes: overlong
        {"\xE0\x80\xAF", R + R + R},         // overlong in three
        {"\xF0\x80\x80\xAF", R + R + R + R}, // overlong in four
        {"\xED\xA0\x80", R + R + R},         // a surrogate
        {"\xF4\x90\x80\x80", R + R + R + R}, // above U+10FFFF
        {"\xF8\x88\x80\x80\x80", R + R + R + R + R},
        {"\xFE\xFF", R + R},
        // Unicode's own example of maximal parts.
        {"a\xF1\x80\x80\xE1\x80\xC2"
         "b\x80"
         "c\x80\xBF"
         "d",
         "a" + R + R + R + "b" + R + "c" + R + R + "d"},
    };
    for (const auto& [Damaged, Replaced] : Cases) {
        EXPECT_FALSE(IsValidUtf8(Damaged)) << testing::PrintToString(Damaged);
        EXPECT_EQ(ValidUtf8(Damaged), Replaced) << testing::PrintToString(Damaged);
        EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16(Damaged)), Replaced) << testing::PrintToString(Damaged);
        EXPECT_EQ(Utf16Length(Damaged), Utf8ToUtf16(Damaged).size());
    }
}

TEST(Utf8, AnyBytesConvertWithoutFaultToValidText)
{
    // Every pair of bytes, and every lead byte before every pair of continuation bytes and
    // a last byte of each kind.
    for (int A = 0; A < 256; ++A) {
        for (int B = 0; B < 256; ++B) {
            const std::string Bytes{static_cast<char>(A), static_cast<char>(B)};
            const std::string Valid = ValidUtf8(Bytes);
            ASSERT_TRUE(IsValidUtf8(Valid)) << A << " " << B;
            ASSERT_EQ(Utf16ToUtf8(Utf8ToUtf16(Bytes)), Valid) << A << " " << B;
            if (IsValidUtf8(Bytes)) {
                ASSERT_EQ(Valid, Bytes);
            }
        }
    }
    for (int Lead = 0xC0; Lead < 256; ++Lead)
        for (int B = 0x80; B < 0xC0; B += 7)
            for (const char Last : {'\x00', '\x41', '\x80', '\xBF', '\xC2', '\xFF'}) {
                const std::string Bytes{static_cast<char>(Lead), static_cast<char>(B), '\x80', Last};
                ASSERT_TRUE(IsValidUtf8(ValidUtf8(Bytes)));
                ASSERT_EQ(Utf16ToUtf8(Utf8ToUtf16(Bytes)), ValidUtf8(Bytes));
            }
}

TEST(Utf16, AnUnpairedSurrogateBecomesAReplacement)
{
    EXPECT_TRUE(IsValidUtf16(u"C:\\\U0001F4C8"));
    for (const std::u16string& Text : {std::u16string(u"a\xD800"),
                                       std::u16string(u"\xDC00"
                                                      "b"),
                                       std::u16string(u"\xDC00\xD800")}) {
        EXPECT_FALSE(IsValidUtf16(Text));
        EXPECT_TRUE(IsValidUtf8(Utf16ToUtf8(Text)));
        EXPECT_NE(Utf16ToUtf8(Text).find("\xEF\xBF\xBD"), std::string::npos);
    }
}

#ifdef _WIN32
// The edge where the wide API takes and gives text: the same conversion, damaged text as
// U+FFFD both ways, a NUL inside kept, a name beyond the first 65536 as a surrogate pair.
TEST(Win32Text, TheWideApisTextComesAndGoesAsUtf8)
{
    EXPECT_EQ(win32::Wide("C:\\Советник 网格\\\U0001F4C8"), L"C:\\Советник 网格\\\U0001F4C8");
    EXPECT_EQ(win32::Wide("a\xC0\xAF"
                          "b"),
              L"a\uFFFD\uFFFDb");
    EXPECT_EQ(win32::Utf8(std::wstring(L"Ω\0я", 3)), std::string("Ω\0я", 5));
    EXPECT_EQ(win32::Utf8(L"x\xD800y"), "x\xEF\xBF\xBDy");
    const wchar_t Buffer[] = L"Брокер\0garbage";
    EXPECT_EQ(win32::Utf8(Buffer), "Брокер");
    EXPECT_EQ(win32::Utf8(Buffer, 3), "Бро");
}
#endif

TEST(Cp1252, BytesBecomeTheirCharacters)
{
    EXPECT_EQ(Cp1252ToUtf8("Caf\xE9 \x80 \x92 \x9F"), "Café € ’ Ÿ");
    // A byte the code page leaves unused is the character of the same code.
    EXPECT_EQ(Cp1252ToUtf8("\x81\x8D"), "\u0081\u008D");
    for (int Byte = 0; Byte < 256; ++Byte)
        EXPECT_TRUE(IsValidUtf8(Cp1252ToUtf8(std::string(1, static_cast<char>(Byte)))));
}

TEST(Utf8, AbridgedTextEndsBetweenCharacters)
{
    EXPECT_EQ(Abridged("\u0421\u043E\u0432\u0435\u0442\u043D\u0438\u043A", 3), "\u0421\u043E\u0432...");
    EXPECT_EQ(Abridged("ab\U0001F600cd", 3), "ab\U0001F600...");
    EXPECT_EQ(Abridged("ab", 5), "ab...");
}

TEST(Cp1252, TextTheCodePageHasEveryCharacterOf)
{
    EXPECT_TRUE(IsCp1252Text(""));
    EXPECT_TRUE(IsCp1252Text("Börse € „Grid“ — Œuvre Ÿ"));
    EXPECT_FALSE(IsCp1252Text("Советник Pro"));
    EXPECT_FALSE(IsCp1252Text("Grid 网格"));
    // Beside the code page's letters: Czech and Turkish ones it lacks, one beyond U+FFFF.
    EXPECT_FALSE(IsCp1252Text("Čeština"));
    EXPECT_FALSE(IsCp1252Text("şirket"));
    EXPECT_FALSE(IsCp1252Text("Grid \U0001F4C8"));
    // A damaged sequence, even one whose bytes are the code page's.
    EXPECT_FALSE(IsCp1252Text("Caf\xE9"));
}

TEST(CaseFolding, CapitalsOfLatinGreekAndCyrillicAsWindowsMapsThem)
{
    EXPECT_EQ(FoldCase("c:\\program files\\mt4"), "C:\\PROGRAM FILES\\MT4");
    EXPECT_EQ(FoldCase("äöüé ÿ łódź œ"), "ÄÖÜÉ Ÿ ŁÓDŹ Œ");
    EXPECT_EQ(FoldCase("αλφάβητο ω"), "ΑΛΦΆΒΗΤΟ Ω");
    EXPECT_EQ(FoldCase("советник ёж їжак ґанок"), "СОВЕТНИК ЁЖ ЇЖАК ҐАНОК");
    // One unit for one: "ß" has no capital of its own, so "STRASSE" is another name.
    EXPECT_EQ(FoldCase("straße"), "STRAßE");
    EXPECT_FALSE(SameText("Straße", "STRASSE"));
    // Scripts without letter case, and characters beyond the first 65536, stay.
    EXPECT_EQ(FoldCase("网格交易 \U0001F4C8"), "网格交易 \U0001F4C8");
    // Bytes that are no UTF-8 stay, so that two damaged names stay two.
    EXPECT_EQ(FoldCase("a\xFF"
                       "b\xC3"),
              "A\xFF"
              "B\xC3");
    EXPECT_NE(FoldCase("\xE4rger"), FoldCase("\xC4rger"));
}

TEST(CaseFolding, PathsCompareWithoutLetterCase)
{
    EXPECT_TRUE(SameText("C:\\Program Files\\Советник Pro", "c:\\PROGRAM FILES\\советник pro"));
    EXPECT_FALSE(SameText("C:\\Советник", "C:\\Советник Pro"));
    EXPECT_TRUE(IsInsideFolder("c:\\program files\\СОВЕТНИК\\Ёж.txt", "C:\\Program Files\\советник"));
    EXPECT_TRUE(IsInsideFolder("C:\\Αλφα\\x", "c:\\ΑΛΦΑ\\"));
    EXPECT_FALSE(IsInsideFolder("C:\\Советник", "C:\\Советник"));
    EXPECT_FALSE(IsInsideFolder("C:\\Советники\\x", "C:\\Советник"));
}

} // namespace
} // namespace qe
