#include "package/PayloadCipher.h"

#include <cstring>
#include <gcrypt.h>

namespace qe {
namespace {

constexpr int BlockSize = 16;

// One AES key schedule for one direction; the block transform comes from libgcrypt.
class TBlockCipher {
public:
    TBlockCipher(const uint8_t* Key, int KeySize)
    {
        InitCipherLibrary();
        const int Algorithm = KeySize == 32   ? GCRY_CIPHER_AES256
                              : KeySize == 24 ? GCRY_CIPHER_AES192
                                              : GCRY_CIPHER_AES128;
        if ((KeySize != 16 && KeySize != 24 && KeySize != 32) ||
            gcry_cipher_open(&FHandle, Algorithm, GCRY_CIPHER_MODE_ECB, 0) != 0)
            throw Exception("Invalid cipher key");
        if (gcry_cipher_setkey(FHandle, Key, static_cast<size_t>(KeySize)) != 0) {
            gcry_cipher_close(FHandle);
            throw Exception("Invalid cipher key");
        }
    }
    ~TBlockCipher() { gcry_cipher_close(FHandle); }
    TBlockCipher(const TBlockCipher&) = delete;
    TBlockCipher& operator=(const TBlockCipher&) = delete;

    void Transform(uint8_t* Block, bool Encrypt)
    {
        const gcry_error_t Err = Encrypt ? gcry_cipher_encrypt(FHandle, Block, BlockSize, nullptr, 0)
                                         : gcry_cipher_decrypt(FHandle, Block, BlockSize, nullptr, 0);
        if (Err != 0)
            throw ECipherException();
    }

private:
    gcry_cipher_hd_t FHandle = nullptr;
};

void ReadBlock(TStream& Source, uint8_t* Block, int32_t Count)
{
    if (Source.Read(Block, Count) != Count)
        throw ECipherException();
}

} // namespace

void InitCipherLibrary()
{
    static const bool Ready = [] {
        gcry_check_version(nullptr);
        gcry_control(GCRYCTL_INITIALIZATION_FINISHED, 0);
        return true;
    }();
    (void)Ready;
}

void CipherStream(TStream& Source, TStream& Dest, const uint8_t* Key, int KeySize, bool Encrypt)
{
    TBlockCipher Cipher(Key, KeySize);
    const int64_t Size = Source.GetSize();
    const int64_t BlockCount = Encrypt ? Size / BlockSize + 1 : Size / BlockSize;
    uint8_t Block[BlockSize];
    for (int64_t I = 0; I + 1 < BlockCount; ++I) {
        ReadBlock(Source, Block, BlockSize);
        Cipher.Transform(Block, Encrypt);
        Dest.WriteBuffer(Block, BlockSize);
    }
    if (Encrypt) {
        const auto Tail = static_cast<int32_t>(Size % BlockSize);
        std::memset(Block, 0, BlockSize);
        ReadBlock(Source, Block, Tail);
        Block[BlockSize - 1] = static_cast<uint8_t>(Tail);
        Cipher.Transform(Block, true);
        Dest.WriteBuffer(Block, BlockSize);
        return;
    }
    // Deciphering: a window of fewer than 16 bytes has no final block to read.
    if (BlockCount < 1)
        throw ECipherException();
    ReadBlock(Source, Block, BlockSize);
    Cipher.Transform(Block, false);
    const uint8_t Count = Block[BlockSize - 1];
    if (Count >= BlockSize)
        throw ECipherException();
    Dest.WriteBuffer(Block, Count);
}

} // namespace qe
