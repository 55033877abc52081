#include "package/PayloadCipher.h"

#include <gtest/gtest.h>
#include <random>

#include "package/SubStreams.h"

namespace qe {
namespace {

const uint8_t Key[16] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};

std::vector<uint8_t> Cipher(const std::vector<uint8_t>& Data, bool Encrypt)
{
    TMemoryStream Source(Data), Dest;
    CipherStream(Source, Dest, Key, 16, Encrypt);
    return Dest.Bytes();
}

TEST(PayloadCipher, BlocksAreAes128AsPublished)
{
    // The example vector of the AES standard, appendix C.1.
    const std::vector<uint8_t> Plain = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77,
                                        0x88, 0x99, 0xaa, 0xbb, 0xcc, 0xdd, 0xee, 0xff};
    const std::vector<uint8_t> Expected = {0x69, 0xc4, 0xe0, 0xd8, 0x6a, 0x7b, 0x04, 0x30,
                                           0xd8, 0xcd, 0xb7, 0x80, 0x70, 0xb4, 0xc5, 0x5a};
    const auto Stored = Cipher(Plain, true);
    ASSERT_EQ(Stored.size(), 32u);
    EXPECT_EQ(std::vector<uint8_t>(Stored.begin(), Stored.begin() + 16), Expected);
    EXPECT_EQ(Cipher(Stored, false), Plain);
}

TEST(PayloadCipher, StoredSizesFollowTheFinalBlockRule)
{
    std::mt19937 Random(7);
    for (const size_t Size : {0, 1, 15, 16, 17, 31, 32, 1000, 65536 + 5}) {
        std::vector<uint8_t> Data(Size);
        for (auto& B : Data)
            B = static_cast<uint8_t>(Random());
        const auto Stored = Cipher(Data, true);
        EXPECT_EQ(static_cast<int64_t>(Stored.size()), CipheredSize(static_cast<int64_t>(Size)));
        EXPECT_EQ(Cipher(Stored, false), Data) << Size;
    }
}

TEST(PayloadCipher, ShortWindowsFailAndWriteNothing)
{
    for (const size_t Size : {0, 8, 15}) {
        TMemoryStream Source(std::vector<uint8_t>(Size, 1)), Dest;
        try {
            CipherStream(Source, Dest, Key, 16, false);
            FAIL() << Size;
        } catch (const ECipherException& E) {
            EXPECT_EQ(E.Message(), "Invalid file format");
        }
        EXPECT_EQ(Dest.GetSize(), 0) << Size;
    }
}

TEST(PayloadCipher, WindowNotAWholeNumberOfBlocksUsesTheWholeOnes)
{
    const std::vector<uint8_t> Data(20, 0x42);
    auto Stored = Cipher(Data, true); // 32 bytes: one data block, one final block with 4 bytes
    Stored.resize(40, 0x99);          // 8 trailing bytes that the window also covers
    EXPECT_EQ(Cipher(Stored, false), Data);
}

TEST(PayloadCipher, DamagedFinalBlockRaisesWithoutWritingIt)
{
    // A wrong key turns the count byte into noise; find a block whose count is above 15.
    const std::vector<uint8_t> Data(16, 0x11);
    const auto Stored = Cipher(Data, true);
    for (uint8_t Other = 0;; ++Other) {
        uint8_t WrongKey[16] = {};
        WrongKey[0] = Other;
        TMemoryStream Source(Stored), Dest;
        try {
            CipherStream(Source, Dest, WrongKey, 16, false);
        } catch (const ECipherException&) {
            EXPECT_EQ(Dest.GetSize(), 16); // the data block, nothing of the final one
            return;
        }
        ASSERT_LE(Dest.GetSize(), 16 + 15);
    }
}

TEST(PayloadCipher, ReadsFromTheWindowOfALargerFile)
{
    const std::vector<uint8_t> Data = {'h', 'e', 'l', 'l', 'o'};
    auto Stored = Cipher(Data, true);
    std::vector<uint8_t> File(100, 0);
    std::copy(Stored.begin(), Stored.end(), File.begin() + 40);
    TMemoryStream Inner(File), Dest;
    TSubStream Window(Inner, 40, 40 + 16 - 1);
    Window.Seek(0, TSeekOrigin::soBeginning);
    CipherStream(Window, Dest, Key, 16, false);
    EXPECT_EQ(Dest.Bytes(), Data);
}

TEST(PayloadCipher, LongerKeysSelectMoreRounds)
{
    const uint8_t LongKey[32] = {1};
    const std::vector<uint8_t> Data(33, 5);
    for (const int Size : {24, 32}) {
        TMemoryStream Source(Data), Stored, Back;
        CipherStream(Source, Stored, LongKey, Size, true);
        Stored.SetPosition(0);
        CipherStream(Stored, Back, LongKey, Size, false);
        EXPECT_EQ(Back.Bytes(), Data);
    }
}

} // namespace
} // namespace qe
