// Our AES against the standard's examples and, where the tests have it (Linux), against
// libgcrypt, on both of its paths: the processor's instructions and the plain code.
#include "package/Aes.h"

#include <gtest/gtest.h>
#include <random>
#include <vector>

#ifdef QE_TEST_WITH_LIBGCRYPT
#include <gcrypt.h>
#endif

namespace qe {
namespace {

using TBytes = std::vector<uint8_t>;

TBytes Counting(size_t Size)
{
    TBytes Bytes(Size);
    for (size_t I = 0; I < Size; ++I)
        Bytes[I] = static_cast<uint8_t>(I);
    return Bytes;
}

TBytes Transformed(const TAes& Aes, const TBytes& In, bool Encrypt)
{
    TBytes Out(In.size());
    if (Encrypt)
        Aes.EncryptBlocks(In.data(), Out.data(), In.size() / 16);
    else
        Aes.DecryptBlocks(In.data(), Out.data(), In.size() / 16);
    return Out;
}

// The run enciphered by another implementation: libgcrypt where the tests have it, else
// our plain code, which the standard's examples hold.
TBytes Reference(const TBytes& Key, const TBytes& In)
{
#ifdef QE_TEST_WITH_LIBGCRYPT
    gcry_check_version(nullptr);
    const int Algorithm = Key.size() == 32   ? GCRY_CIPHER_AES256
                          : Key.size() == 24 ? GCRY_CIPHER_AES192
                                             : GCRY_CIPHER_AES128;
    gcry_cipher_hd_t Handle = nullptr;
    EXPECT_EQ(gcry_cipher_open(&Handle, Algorithm, GCRY_CIPHER_MODE_ECB, 0), 0u);
    EXPECT_EQ(gcry_cipher_setkey(Handle, Key.data(), Key.size()), 0u);
    TBytes Out(In.size());
    EXPECT_EQ(gcry_cipher_encrypt(Handle, Out.data(), Out.size(), In.data(), In.size()), 0u);
    gcry_cipher_close(Handle);
    return Out;
#else
    return Transformed(TAes(Key.data(), static_cast<int>(Key.size()), false), In, true);
#endif
}

std::vector<bool> Paths()
{
    if (TAes::ProcessorHasInstructions())
        return {false, true};
    return {false};
}

TEST(Aes, StandardExamplesForEveryKeySize)
{
    const TBytes Plain = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77,
                          0x88, 0x99, 0xaa, 0xbb, 0xcc, 0xdd, 0xee, 0xff};
    const std::pair<int, TBytes> Examples[] = {
        {16, {0x69, 0xc4, 0xe0, 0xd8, 0x6a, 0x7b, 0x04, 0x30, 0xd8, 0xcd, 0xb7, 0x80, 0x70, 0xb4, 0xc5, 0x5a}},
        {24, {0xdd, 0xa9, 0x7c, 0xa4, 0x86, 0x4c, 0xdf, 0xe0, 0x6e, 0xaf, 0x70, 0xa0, 0xec, 0x0d, 0x71, 0x91}},
        {32, {0x8e, 0xa2, 0xb7, 0xca, 0x51, 0x67, 0x45, 0xbf, 0xea, 0xfc, 0x49, 0x90, 0x4b, 0x49, 0x60, 0x89}},
    };
    for (const bool Instructions : Paths())
        for (const auto& [KeySize, Cipher] : Examples) {
            const TAes Aes(Counting(32).data(), KeySize, Instructions);
            EXPECT_EQ(Transformed(Aes, Plain, true), Cipher) << KeySize << " " << Instructions;
            EXPECT_EQ(Transformed(Aes, Cipher, false), Plain) << KeySize << " " << Instructions;
        }
}

TEST(Aes, RunsOfBlocksMatchAnotherImplementationOnBothPaths)
{
    // Runs of 0 to 9 blocks and a long one: the four-at-a-time loop with every remainder.
    std::mt19937 Random(11);
    auto RandomBytes = [&](size_t Size) {
        TBytes Bytes(Size);
        for (auto& B : Bytes)
            B = static_cast<uint8_t>(Random());
        return Bytes;
    };
    for (const int KeySize : {16, 24, 32})
        for (const size_t Blocks : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 1027}) {
            const TBytes Key = RandomBytes(static_cast<size_t>(KeySize));
            const TBytes Plain = RandomBytes(16 * Blocks);
            const TBytes Expected = Reference(Key, Plain);
            for (const bool Instructions : Paths()) {
                const TAes Aes(Key.data(), KeySize, Instructions);
                ASSERT_EQ(Transformed(Aes, Plain, true), Expected) << KeySize << " " << Blocks << " " << Instructions;
                ASSERT_EQ(Transformed(Aes, Expected, false), Plain) << KeySize << " " << Blocks << " " << Instructions;
                // In place, as a caller with one buffer does.
                TBytes Buffer = Expected;
                Aes.DecryptBlocks(Buffer.data(), Buffer.data(), Blocks);
                ASSERT_EQ(Buffer, Plain) << KeySize << " " << Blocks << " " << Instructions;
            }
        }
}

} // namespace
} // namespace qe
