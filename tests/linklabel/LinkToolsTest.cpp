#include "linklabel/LinkTools.h"

#include <gtest/gtest.h>

namespace qe {
namespace {

TEST(LinkTools, ToolClassesCannotBeInstantiated)
{
    try {
        TStringTools Tools;
        FAIL() << "no error";
    } catch (const EGenericToolsError& Error) {
        EXPECT_EQ(Error.Message(), "This class cannot be instantiated");
    }
    EXPECT_THROW(TGraphicTools{}, EGenericToolsError);
}

TEST(LinkTools, DeletePatternIgnoresCaseAndStripLineBreaksOnlyRemovesPairs)
{
    EXPECT_EQ(TStringTools::DeletePattern("aXbxcX", "x"), "abc");
    EXPECT_EQ(TStringTools::DeletePattern("abAB", "Ab"), "");
    EXPECT_EQ(TStringTools::DeletePattern("abc", ""), "abc");
    EXPECT_EQ(TStringTools::StripLineBreaks("a\r\nb\n\rc\rd\ne\r\n"), "ab\n\rc\rd\ne");
    EXPECT_EQ(TStringTools::StripLineBreaks("\r\r\n\n"), "\r\n");
}

TEST(LinkTools, SubstituteAllSearchesAgainFromTheStart)
{
    std::string S = "aabb";
    EXPECT_TRUE(TStringTools::SubstituteAll("ab", "a", S));
    EXPECT_EQ(S, "aa"); // the first replacement forms a new "ab" with the "a" before it
    std::string T = "abc";
    EXPECT_FALSE(TStringTools::SubstituteAll("x", "y", T));
    EXPECT_EQ(T, "abc");
    std::string Empty = "abc";
    EXPECT_FALSE(TStringTools::SubstituteAll("", "y", Empty));
}

TEST(LinkTools, SubstituteAllEndsWhenTheReplacementContainsThePattern)
{
    std::string S = "a-a";
    EXPECT_TRUE(TStringTools::SubstituteAll("a", "aa", S));
    EXPECT_EQ(S, "aa-aa");
}

TEST(LinkTools, RectContainsPointIncludesAllFourEdges)
{
    const TRect R{10, 20, 30, 40};
    EXPECT_TRUE(TGraphicTools::RectContainsPoint(R, {10, 20}));
    EXPECT_TRUE(TGraphicTools::RectContainsPoint(R, {30, 40}));
    EXPECT_TRUE(TGraphicTools::RectContainsPoint(R, {30, 20}));
    EXPECT_FALSE(TGraphicTools::RectContainsPoint(R, {31, 30}));
    EXPECT_FALSE(TGraphicTools::RectContainsPoint(R, {20, 41}));
    EXPECT_FALSE(TGraphicTools::RectContainsPoint(R, {9, 30}));
    EXPECT_FALSE(TGraphicTools::RectContainsPoint(R, {20, 19}));
}

} // namespace
} // namespace qe
