#include "package/PayloadCipher.h"

#include <algorithm>
#include <cstring>
#include <gcrypt.h>
#include <vector>

namespace qe {
namespace {

constexpr int BlockSize = 16;

// AES-128/192/256 over runs of whole blocks, every block on its own, from libgcrypt.
// libgcrypt's ECB mode calls the block function once per block; its CBC decryption runs
// several blocks at once through the AES instructions. So deciphering goes through CBC
// with a zero IV and then takes the chaining back out: every plain block but the first
// had the stored block before it XORed in.
class TBlockCipher {
public:
    TBlockCipher(const uint8_t* Key, int KeySize, bool Encrypt) : FEncrypt(Encrypt)
    {
        InitCipherLibrary();
        const int Algorithm = KeySize == 32   ? GCRY_CIPHER_AES256
                              : KeySize == 24 ? GCRY_CIPHER_AES192
                                              : GCRY_CIPHER_AES128;
        const int Mode = Encrypt ? GCRY_CIPHER_MODE_ECB : GCRY_CIPHER_MODE_CBC;
        if ((KeySize != 16 && KeySize != 24 && KeySize != 32) || gcry_cipher_open(&FHandle, Algorithm, Mode, 0) != 0)
            throw Exception("Invalid cipher key");
        if (gcry_cipher_setkey(FHandle, Key, static_cast<size_t>(KeySize)) != 0) {
            gcry_cipher_close(FHandle);
            throw Exception("Invalid cipher key");
        }
    }
    ~TBlockCipher() { gcry_cipher_close(FHandle); }
    TBlockCipher(const TBlockCipher&) = delete;
    TBlockCipher& operator=(const TBlockCipher&) = delete;

    // Transforms Length bytes (whole blocks) of In into Out; the two must not overlap.
    void Transform(const uint8_t* In, uint8_t* Out, size_t Length)
    {
        if (Length == 0)
            return;
        if (FEncrypt) {
            if (gcry_cipher_encrypt(FHandle, Out, Length, In, Length) != 0)
                throw ECipherException();
            return;
        }
        static const uint8_t ZeroIv[BlockSize] = {};
        if (gcry_cipher_setiv(FHandle, ZeroIv, BlockSize) != 0 ||
            gcry_cipher_decrypt(FHandle, Out, Length, In, Length) != 0)
            throw ECipherException();
        XorPreviousBlocks(In, Out, Length);
    }

private:
    static void XorPreviousBlocks(const uint8_t* In, uint8_t* Out, size_t Length)
    {
        for (size_t I = BlockSize; I < Length; I += sizeof(uint32_t)) {
            uint32_t Plain;
            uint32_t Stored;
            std::memcpy(&Plain, Out + I, sizeof Plain);
            std::memcpy(&Stored, In + I - BlockSize, sizeof Stored);
            Plain ^= Stored;
            std::memcpy(Out + I, &Plain, sizeof Plain);
        }
    }

    gcry_cipher_hd_t FHandle = nullptr;
    bool FEncrypt;
};

// Reads up to Count bytes; a stream that reports an error counts as having delivered none.
int32_t ReadSome(TStream& Source, uint8_t* Buffer, int32_t Count)
{
    return std::max(Source.Read(Buffer, Count), 0);
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
    TBlockCipher Cipher(Key, KeySize, Encrypt);
    const int64_t Size = Source.GetSize();
    // Whole blocks to move: deciphering, all stored blocks, the final one included;
    // enciphering, the file's whole blocks, before the final block made of its tail.
    const int64_t Blocks = Size - Size % BlockSize;
    if (!Encrypt && Blocks < BlockSize)
        throw ECipherException();

    const auto BufferSize =
        static_cast<size_t>(std::min<int64_t>(CipherChunkSize, std::max<int64_t>(Blocks, BlockSize)));
    std::vector<uint8_t> In(BufferSize);
    std::vector<uint8_t> Out(BufferSize);
    for (int64_t Left = Blocks; Left > 0;) {
        const auto Want = static_cast<int32_t>(std::min<int64_t>(CipherChunkSize, Left));
        const int32_t Got = ReadSome(Source, In.data(), Want);
        // What arrived whole is written even when the window ends early.
        const int32_t Whole = Got - Got % BlockSize;
        Cipher.Transform(In.data(), Out.data(), static_cast<size_t>(Whole));
        Left -= Got;
        const bool HoldsFinalBlock = !Encrypt && Got == Want && Left == 0;
        Dest.WriteBuffer(Out.data(), HoldsFinalBlock ? Whole - BlockSize : Whole);
        if (Got != Want)
            throw ECipherException();
        if (HoldsFinalBlock) {
            // The final block's last byte counts the file's bytes in it; more than the
            // block holds means a damaged payload or a wrong key.
            const uint8_t* Final = Out.data() + Whole - BlockSize;
            const uint8_t Count = Final[BlockSize - 1];
            if (Count >= BlockSize)
                throw ECipherException();
            Dest.WriteBuffer(Final, Count);
        }
    }
    if (Encrypt) {
        const auto Tail = static_cast<int32_t>(Size % BlockSize);
        uint8_t Final[BlockSize] = {};
        if (ReadSome(Source, Final, Tail) != Tail)
            throw ECipherException();
        Final[BlockSize - 1] = static_cast<uint8_t>(Tail);
        uint8_t Stored[BlockSize];
        Cipher.Transform(Final, Stored, BlockSize);
        Dest.WriteBuffer(Stored, BlockSize);
    }
}

} // namespace qe
