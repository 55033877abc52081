#include "package/PayloadCipher.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "package/Aes.h"

namespace qe {
namespace {

constexpr int BlockSize = TAes::BlockSize;

// AES-128/192/256 over runs of whole blocks, every block on its own.
class TBlockCipher {
public:
    TBlockCipher(const uint8_t* Key, int KeySize, bool Encrypt)
        : FAes(CheckedKey(Key, KeySize), KeySize), FEncrypt(Encrypt)
    {
    }

    // Transforms Length bytes (whole blocks) of In into Out.
    void Transform(const uint8_t* In, uint8_t* Out, size_t Length) const
    {
        if (FEncrypt)
            FAes.EncryptBlocks(In, Out, Length / BlockSize);
        else
            FAes.DecryptBlocks(In, Out, Length / BlockSize);
    }

private:
    static const uint8_t* CheckedKey(const uint8_t* Key, int KeySize)
    {
        if (KeySize != 16 && KeySize != 24 && KeySize != 32)
            throw Exception("Invalid cipher key");
        return Key;
    }

    TAes FAes;
    bool FEncrypt;
};

// Reads up to Count bytes; a stream that reports an error counts as having delivered none.
int32_t ReadSome(TStream& Source, uint8_t* Buffer, int32_t Count)
{
    return std::max(Source.Read(Buffer, Count), 0);
}

} // namespace

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
