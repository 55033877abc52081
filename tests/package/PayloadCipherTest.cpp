#include "package/PayloadCipher.h"

#include <gtest/gtest.h>
#include <random>

#include "package/Aes.h"
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

std::vector<uint8_t> RandomBytes(size_t Size, uint32_t Seed)
{
    std::mt19937 Random(Seed);
    std::vector<uint8_t> Data(Size);
    for (auto& B : Data)
        B = static_cast<uint8_t>(Random());
    return Data;
}

// The payload format computed the plain way, one block at a time, to hold the chunked
// routine against.
std::vector<uint8_t> BlockByBlock(const std::vector<uint8_t>& Data, bool Encrypt)
{
    const TAes Aes(Key, 16);
    auto Transform = [&](uint8_t* Block) {
        if (Encrypt)
            Aes.EncryptBlocks(Block, Block, 1);
        else
            Aes.DecryptBlocks(Block, Block, 1);
    };
    std::vector<uint8_t> Result(Data.begin(), Data.begin() + static_cast<ptrdiff_t>(Data.size() / 16 * 16));
    for (size_t At = 0; At < Result.size(); At += 16)
        Transform(Result.data() + At);
    if (Encrypt) {
        uint8_t Final[16] = {};
        std::copy(Data.begin() + static_cast<ptrdiff_t>(Result.size()), Data.end(), Final);
        Final[15] = static_cast<uint8_t>(Data.size() % 16);
        Transform(Final);
        Result.insert(Result.end(), Final, Final + 16);
    } else {
        // The last whole block is the final block; it keeps only its counted bytes.
        const size_t Count = Result.at(Result.size() - 1);
        Result.resize(Result.size() - 16 + Count);
    }
    return Result;
}

TEST(PayloadCipher, ChunkedRunsMatchTheBlockByBlockResult)
{
    // Every length class: empty and inside one chunk, the final block just before, on and
    // just after a chunk border, several chunks and a part; each with tails of 0 to 31 bytes.
    constexpr int64_t Chunk = CipherChunkSize;
    const int64_t Bases[] = {0, Chunk / 2, Chunk - 32, Chunk, 2 * Chunk - 32, 3 * Chunk - 32, 3 * Chunk};
    const auto Bytes = RandomBytes(3 * Chunk + 32, 1);
    for (const int64_t Base : Bases)
        for (int64_t Tail = 0; Tail < 32; ++Tail) {
            const std::vector<uint8_t> Data(Bytes.begin(), Bytes.begin() + Base + Tail);
            const auto Stored = Cipher(Data, true);
            ASSERT_EQ(Stored, BlockByBlock(Data, true)) << Base + Tail;
            // Trailing bytes that make no whole block are ignored.
            auto Window = Stored;
            Window.resize(Stored.size() + static_cast<size_t>(Tail % 16), 0xa5);
            ASSERT_EQ(Cipher(Window, false), Data) << Base + Tail;
        }
}

TEST(PayloadCipher, WindowPastTheEndOfItsFileKeepsEveryWholeBlockThatArrived)
{
    // The window claims more than the file holds, as a damaged entry would: what arrived
    // is deciphered and written as block by block, then the run fails.
    const auto Data = RandomBytes(2 * CipherChunkSize + 100, 3);
    const auto Stored = Cipher(Data, true);
    for (const size_t Cut :
         {size_t{40}, size_t{CipherChunkSize}, size_t{CipherChunkSize} + 7, Stored.size() - 16, Stored.size() - 1}) {
        TMemoryStream Inner(std::vector<uint8_t>(Stored.begin(), Stored.begin() + static_cast<ptrdiff_t>(Cut)));
        TMemoryStream Dest;
        TSubStream Window(Inner, 0, static_cast<int64_t>(Stored.size()) - 1);
        Window.SetPosition(0);
        EXPECT_THROW(CipherStream(Window, Dest, Key, 16, false), ECipherException) << Cut;
        const size_t Arrived = Cut / 16 * 16;
        const auto Expected = std::vector<uint8_t>(Data.begin(), Data.begin() + static_cast<ptrdiff_t>(Arrived));
        EXPECT_EQ(Dest.Bytes(), Expected) << Cut;
    }
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
