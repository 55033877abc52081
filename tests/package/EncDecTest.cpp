#include "package/EncDec.h"

#include <gtest/gtest.h>
#include <set>

namespace qe {
namespace {

const char Pad = CodeTable[64];

TEST(EncDec, CodeTableHoldsSixtyFiveDistinctPrintableSymbols)
{
    const std::string Table(CodeTable);
    ASSERT_EQ(Table.size(), 65u);
    EXPECT_EQ(std::set<char>(Table.begin(), Table.end()).size(), 65u);
    for (const char C : Table)
        EXPECT_TRUE(C > ' ' && C < 127) << int(C);
}

TEST(EncDec, ShortGroupsArePadded)
{
    EXPECT_EQ(EncodeString(""), "");
    const std::string One = EncodeString("A");
    ASSERT_EQ(One.size(), 4u);
    EXPECT_EQ(One[2], Pad);
    EXPECT_EQ(One[3], Pad);
    const std::string Two = EncodeString("AB");
    EXPECT_NE(Two[2], Pad);
    EXPECT_EQ(Two[3], Pad);
    const std::string Three = EncodeString("ABC");
    EXPECT_EQ(Three.find(Pad), std::string::npos);
    EXPECT_EQ(EncodeString(std::string(10, 'x')).size(), 16u);
}

TEST(EncDec, EveryByteStringSurvivesTheRoundTrip)
{
    std::string All;
    for (int I = 0; I < 256; ++I)
        All += static_cast<char>(I);
    for (size_t Length = 0; Length <= All.size(); Length += 1)
        ASSERT_EQ(DecodeString(EncodeString(All.substr(0, Length))), All.substr(0, Length)) << Length;
    const std::string Encoded = EncodeString(All);
    for (const char C : Encoded)
        EXPECT_NE(std::string(CodeTable).find(C), std::string::npos);
}

TEST(EncDec, OddLengthsAndForeignCharactersDecodeWithoutFailing)
{
    EXPECT_EQ(DecodeString("x"), "");
    const std::string Six = EncodeString("abcdef");
    EXPECT_EQ(DecodeString(Six + "Q"), "abcdef");                          // 4k+1: the last character is ignored
    const std::string Partial = EncodeString("abcd");                      // last group "d" + 2 pads
    EXPECT_EQ(DecodeString(Partial.substr(0, 6)), "abcd");                 // 4k+2: missing positions are pad
    EXPECT_EQ(DecodeString(std::string(4, '\x01')), std::string(3, '\0')); // unknown symbols count as 0
}

} // namespace
} // namespace qe
