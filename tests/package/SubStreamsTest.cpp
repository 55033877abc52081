#include "package/SubStreams.h"

#include <gtest/gtest.h>
#include <numeric>

#include "platform/Exceptions.h"

namespace qe {
namespace {

std::vector<uint8_t> Counting(size_t Size)
{
    std::vector<uint8_t> Bytes(Size);
    std::iota(Bytes.begin(), Bytes.end(), 0);
    return Bytes;
}

TEST(SubStreams, ReadsOnlyInsideTheWindow)
{
    TMemoryStream Inner(Counting(100));
    TSubStream Window(Inner, 10, 19);
    EXPECT_EQ(Window.GetSize(), 10);
    EXPECT_EQ(Window.Seek(0, TSeekOrigin::soBeginning), 0);
    uint8_t Buffer[16] = {};
    ASSERT_EQ(Window.Read(Buffer, 16), 10);
    EXPECT_EQ(Buffer[0], 10);
    EXPECT_EQ(Buffer[9], 19);
    EXPECT_EQ(Window.Read(Buffer, 16), 0);
    EXPECT_EQ(Window.Seek(0, TSeekOrigin::soEnd), 10);
    EXPECT_EQ(Window.Read(Buffer, 1), 0);
    EXPECT_EQ(Window.Seek(-4, TSeekOrigin::soCurrent), 6);
    EXPECT_EQ(Inner.Position(), 16);
}

TEST(SubStreams, SeekBeforeTheWindowRaisesAfterMoving)
{
    TMemoryStream Inner(Counting(100));
    TSubStream Window(Inner, 10, 19);
    try {
        Window.Seek(-1, TSeekOrigin::soBeginning);
        FAIL() << "no exception";
    } catch (const Exception& E) {
        EXPECT_EQ(E.Message(), "Seek out of range");
    }
    EXPECT_EQ(Inner.Position(), 9);
    // A seek past the end is accepted; nothing moves there.
    EXPECT_EQ(Window.Seek(50, TSeekOrigin::soBeginning), 50);
    uint8_t B;
    EXPECT_EQ(Window.Read(&B, 1), 0);
    EXPECT_EQ(Window.Write(&B, 1), 0);
}

TEST(SubStreams, CreationClampsTheInnerPosition)
{
    TMemoryStream Inner(Counting(100));
    Inner.SetPosition(50);
    TSubStream Above(Inner, 10, 19);
    EXPECT_EQ(Inner.Position(), 19);
    Inner.SetPosition(3);
    TSubStream Below(Inner, 10, 19);
    EXPECT_EQ(Inner.Position(), 10);
}

TEST(SubStreams, WritesAreClippedToTheWindow)
{
    TMemoryStream Inner(std::vector<uint8_t>(100, 0));
    TSubStream Window(Inner, 10, 19);
    Window.Seek(5, TSeekOrigin::soBeginning);
    const std::vector<uint8_t> Data(16, 0xEE);
    EXPECT_EQ(Window.Write(Data.data(), 16), 5);
    EXPECT_EQ(Inner.Bytes()[14], 0);
    EXPECT_EQ(Inner.Bytes()[15], 0xEE);
    EXPECT_EQ(Inner.Bytes()[19], 0xEE);
    EXPECT_EQ(Inner.Bytes()[20], 0);
    EXPECT_EQ(Inner.GetSize(), 100);
}

TEST(SubStreams, OwnershipDecidesWhetherTheInnerStreamLives)
{
    TMemoryStream Kept(Counting(30));
    {
        TSubStream Window(Kept, 0, 9);
        EXPECT_FALSE(Window.OwnsStream());
    }
    EXPECT_EQ(Kept.GetSize(), 30);
    // A stream that tells when it is freed.
    struct TWatched : TMemoryStream {
        explicit TWatched(bool& Freed) : TMemoryStream(Counting(30)), FFreed(Freed) {}
        ~TWatched() override { FFreed = true; }
        bool& FFreed;
    };
    bool Freed = false;
    {
        TSubStream Owning(std::make_unique<TWatched>(Freed), 5, 9);
        EXPECT_TRUE(Owning.OwnsStream());
        uint8_t B = 0;
        Owning.Seek(0, TSeekOrigin::soBeginning);
        ASSERT_EQ(Owning.Read(&B, 1), 1);
        EXPECT_EQ(B, 5);
        EXPECT_FALSE(Freed);
    }
    EXPECT_TRUE(Freed);
}

} // namespace
} // namespace qe
