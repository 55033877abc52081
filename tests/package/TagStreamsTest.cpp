#include "package/TagStreams.h"

#include <gtest/gtest.h>

#include "platform/Exceptions.h"

namespace qe {
namespace {

TMemoryStream Bytes(std::initializer_list<uint8_t> List)
{
    return TMemoryStream(std::vector<uint8_t>(List));
}

void PutHeader(TMemoryStream& S, int32_t Id, uint8_t Kind)
{
    TTagStreamAdapter(S).WriteTag(Id, Kind);
}

TEST(TagStreams, RecordsOfEveryWrittenKindReadBack)
{
    TMemoryStream S;
    TTagStreamAdapter W(S);
    W.WriteSignature(MakeSignature("QEIN"));
    W.WriteByte(1, 200);
    W.WriteInteger(-7, -123456789);
    W.WriteString(3, std::string("a\0b\xff", 4));
    W.WriteString(4, "");
    TMemoryStream Source(std::vector<uint8_t>(5000, 0xAB));
    W.WriteStream(5, Source, 5000);
    W.WriteEnd();
    // The empty string is a header and a zero count, nothing more.
    EXPECT_EQ(S.GetSize(), 4 + 6 + 9 + 13 + 9 + 5009 + 5);

    S.SetPosition(0);
    TTagStreamAdapter R(S);
    ASSERT_TRUE(R.CheckSignature(MakeSignature("QEIN")));
    ASSERT_TRUE(R.NextTag());
    EXPECT_EQ(R.TagId, 1);
    EXPECT_EQ(R.TagKind, tkByte);
    EXPECT_EQ(R.ReadByte(), 200);
    ASSERT_TRUE(R.NextTag());
    EXPECT_EQ(R.TagId, -7);
    EXPECT_EQ(R.ReadInteger(), -123456789);
    ASSERT_TRUE(R.NextTag());
    EXPECT_EQ(R.TagKind, tkString);
    EXPECT_EQ(R.ReadString(), std::string("a\0b\xff", 4));
    ASSERT_TRUE(R.NextTag());
    EXPECT_EQ(R.ReadString(), "");
    ASSERT_TRUE(R.NextTag());
    EXPECT_EQ(R.TagKind, tkBinary);
    ASSERT_EQ(R.ReadCount(), 5000);
    std::vector<uint8_t> Block(5000);
    S.ReadBuffer(Block.data(), 5000);
    EXPECT_EQ(Block, std::vector<uint8_t>(5000, 0xAB));
    EXPECT_FALSE(R.NextTag());
    EXPECT_EQ(R.TagId, -1);
}

TEST(TagStreams, SignatureNeedsFourMatchingBytes)
{
    TMemoryStream Empty;
    EXPECT_FALSE(TTagStreamAdapter(Empty).CheckSignature(MakeSignature("QEIN")));
    auto Short = Bytes({'Q', 'E', 'I'});
    EXPECT_FALSE(TTagStreamAdapter(Short).CheckSignature(MakeSignature("QEIN")));
    auto Other = Bytes({'Q', 'E', 'U', 'N'});
    EXPECT_FALSE(TTagStreamAdapter(Other).CheckSignature(MakeSignature("QEIN")));
    Other.SetPosition(0);
    EXPECT_TRUE(TTagStreamAdapter(Other).CheckSignature(MakeSignature("QEUN")));
}

TEST(TagStreams, EndRecordOfAnyKindAndCutHeadersEndTheSequence)
{
    auto End = Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0x09});
    EXPECT_FALSE(TTagStreamAdapter(End).NextTag());
    auto Cut = Bytes({0x01, 0x00, 0x00, 0x00});
    EXPECT_FALSE(TTagStreamAdapter(Cut).NextTag());
}

TEST(TagStreams, SkippingPassesOverGroupsAndValuesOfEveryKind)
{
    TMemoryStream S;
    TTagStreamAdapter W(S);
    PutHeader(S, 50, tkGroup); // a group holding a group and values of kinds 2, 3, 5, 6
    PutHeader(S, 1, tkGroup);
    W.WriteString(1, "nested");
    W.WriteEnd();
    PutHeader(S, 2, 2);
    S.WriteString(std::string(1, 'x'));
    PutHeader(S, 3, 3);
    S.WriteString(std::string(2, 'x'));
    PutHeader(S, 5, 5);
    S.WriteString(std::string(4, 'x'));
    PutHeader(S, 6, 6);
    S.WriteString(std::string(8, 'x'));
    W.WriteEnd();
    PutHeader(S, 60, 200); // kinds from 9 on carry no value
    W.WriteInteger(70, 42);

    S.SetPosition(0);
    TTagStreamAdapter R(S);
    ASSERT_TRUE(R.NextTag());
    R.SkipValue();
    ASSERT_TRUE(R.NextTag());
    EXPECT_EQ(R.TagId, 60);
    R.SkipValue();
    ASSERT_TRUE(R.NextTag());
    EXPECT_EQ(R.TagId, 70);
    EXPECT_EQ(R.ReadInteger(), 42);
}

TEST(TagStreams, GroupWithoutEndConsumesTheRest)
{
    TMemoryStream S;
    TTagStreamAdapter W(S);
    PutHeader(S, 9, tkGroup);
    W.WriteInteger(1, 5);
    S.SetPosition(0);
    TTagStreamAdapter R(S);
    ASSERT_TRUE(R.NextTag());
    R.SkipValue();
    EXPECT_EQ(S.Position(), S.GetSize());
    EXPECT_FALSE(R.NextTag());
}

TEST(TagStreams, DeeplyNestedGroupsAreSkippedWithoutRecursion)
{
    TMemoryStream S;
    for (int I = 0; I < 200000; ++I)
        PutHeader(S, 9, tkGroup);
    S.SetPosition(0);
    TTagStreamAdapter R(S);
    ASSERT_TRUE(R.NextTag());
    R.SkipValue();
    EXPECT_EQ(S.Position(), S.GetSize());
}

TEST(TagStreams, CountsThatCannotBeMetEndTheData)
{
    for (const int32_t Count : {-1, -2147483647 - 1, 6, 2147483647}) {
        TMemoryStream S;
        TTagStreamAdapter W(S);
        W.WriteTag(1, tkString);
        const auto C = static_cast<uint32_t>(Count);
        const uint8_t CountBytes[4] = {uint8_t(C), uint8_t(C >> 8), uint8_t(C >> 16), uint8_t(C >> 24)};
        S.WriteBuffer(CountBytes, 4);
        S.WriteString("abcde"); // five bytes where the count asks for more (or fewer than none)
        S.SetPosition(0);
        TTagStreamAdapter R(S);
        ASSERT_TRUE(R.NextTag());
        EXPECT_EQ(R.ReadString(), "") << Count;
        EXPECT_EQ(S.Position(), S.GetSize()) << Count;
        EXPECT_FALSE(R.NextTag());

        S.SetPosition(0);
        ASSERT_TRUE(R.NextTag());
        R.SkipValue();
        EXPECT_EQ(S.Position(), S.GetSize()) << Count;
    }
}

TEST(TagStreams, WriteStreamWritesOnlyWhatItRead)
{
    TMemoryStream Out;
    TMemoryStream Source(std::vector<uint8_t>(6000, 7));
    EXPECT_THROW(TTagStreamAdapter(Out).WriteStream(8, Source, 10000), EStreamError);
    // Header, count and the 6000 bytes that existed; nothing invented.
    EXPECT_EQ(Out.GetSize(), 5 + 4 + 6000);
}

} // namespace
} // namespace qe
