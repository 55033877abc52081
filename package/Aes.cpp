#include "package/Aes.h"

#include <cstring>

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#include <wmmintrin.h>
#define QE_AES_INSTRUCTIONS 1
#endif

namespace qe {
namespace {

// Multiplication in the field of 256 elements that the cipher computes in.
constexpr uint8_t Multiply(uint8_t A, uint8_t B)
{
    uint8_t Product = 0;
    for (; B != 0; B >>= 1) {
        if (B & 1)
            Product ^= A;
        A = static_cast<uint8_t>((A << 1) ^ ((A & 0x80) ? 0x1b : 0));
    }
    return Product;
}

constexpr uint8_t RotateLeft(uint8_t Value, int Bits)
{
    return static_cast<uint8_t>((Value << Bits) | (Value >> (8 - Bits)));
}

struct TSubstitution {
    uint8_t Forward[256] = {};
    uint8_t Inverse[256] = {};
};

// The substitution box: each byte's multiplicative inverse (0 for 0) under the affine map,
// worked out here rather than typed in, so that no table entry can be mistyped.
constexpr TSubstitution MakeSubstitution()
{
    uint8_t Power[255] = {};
    uint8_t Logarithm[256] = {};
    uint8_t Value = 1;
    for (int I = 0; I < 255; ++I) {
        Power[I] = Value;
        Logarithm[Value] = static_cast<uint8_t>(I);
        Value = Multiply(Value, 3); // 3 generates every element but 0
    }
    TSubstitution Box;
    for (int X = 0; X < 256; ++X) {
        const uint8_t B = X == 0 ? 0 : Power[(255 - Logarithm[X]) % 255];
        const uint8_t S =
            static_cast<uint8_t>(B ^ RotateLeft(B, 1) ^ RotateLeft(B, 2) ^ RotateLeft(B, 3) ^ RotateLeft(B, 4) ^ 0x63);
        Box.Forward[X] = S;
        Box.Inverse[S] = static_cast<uint8_t>(X);
    }
    return Box;
}

constexpr TSubstitution Box = MakeSubstitution();

// The state is 16 bytes, four columns of four; byte R + 4 * C is row R of column C.
using TState = uint8_t[16];

void AddRoundKey(TState State, const uint8_t* Key)
{
    for (int I = 0; I < 16; ++I)
        State[I] ^= Key[I];
}

// Row R moves R places to the left (Inverse: to the right), each byte substituted.
void SubstituteAndShiftRows(TState State, bool Inverse)
{
    TState Old;
    std::memcpy(Old, State, 16);
    for (int Row = 0; Row < 4; ++Row)
        for (int Column = 0; Column < 4; ++Column) {
            const int From = Row + 4 * ((Column + (Inverse ? 4 - Row : Row)) % 4);
            State[Row + 4 * Column] = Inverse ? Box.Inverse[Old[From]] : Box.Forward[Old[From]];
        }
}

uint8_t Twice(uint8_t A)
{
    return static_cast<uint8_t>((A << 1) ^ ((A & 0x80) ? 0x1b : 0));
}

// Each column times the polynomial {3, 1, 1, 2}. The inverse's {11, 13, 9, 14} is that one
// times {4, 0, 5, 0}, which is what the first step makes of the column.
void MixColumns(TState State, bool Inverse)
{
    for (int Column = 0; Column < 4; ++Column) {
        uint8_t* A = State + 4 * Column;
        if (Inverse) {
            const uint8_t U = Twice(Twice(A[0] ^ A[2]));
            const uint8_t V = Twice(Twice(A[1] ^ A[3]));
            A[0] ^= U, A[1] ^= V, A[2] ^= U, A[3] ^= V;
        }
        const uint8_t All = A[0] ^ A[1] ^ A[2] ^ A[3];
        const uint8_t First = A[0];
        A[0] ^= All ^ Twice(A[0] ^ A[1]);
        A[1] ^= All ^ Twice(A[1] ^ A[2]);
        A[2] ^= All ^ Twice(A[2] ^ A[3]);
        A[3] ^= All ^ Twice(A[3] ^ First);
    }
}

#ifdef QE_AES_INSTRUCTIONS
// 32-bit Windows keeps the stack at 4-byte alignment; these functions realign it for the
// 16-byte values they may keep there.
#define QE_AES_TARGET __attribute__((target("sse2,aes"), force_align_arg_pointer))

QE_AES_TARGET inline __m128i Round(__m128i Block, __m128i Key, bool Encrypt)
{
    return Encrypt ? _mm_aesenc_si128(Block, Key) : _mm_aesdec_si128(Block, Key);
}

QE_AES_TARGET inline __m128i LastRound(__m128i Block, __m128i Key, bool Encrypt)
{
    return Encrypt ? _mm_aesenclast_si128(Block, Key) : _mm_aesdeclast_si128(Block, Key);
}

// Four blocks go through the rounds side by side, each in a register of its own, so that
// the processor overlaps their rounds.
template <bool Encrypt>
QE_AES_TARGET void RunInstructions(const uint8_t (*Keys)[16], int Rounds, const uint8_t* In, uint8_t* Out,
                                   size_t Blocks)
{
    __m128i K[15];
    for (int R = 0; R <= Rounds; ++R)
        K[R] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Keys[R]));
    const auto* Source = reinterpret_cast<const __m128i*>(In);
    auto* Target = reinterpret_cast<__m128i*>(Out);
    size_t I = 0;
    for (; I + 4 <= Blocks; I += 4) {
        __m128i A = _mm_xor_si128(_mm_loadu_si128(Source + I), K[0]);
        __m128i B = _mm_xor_si128(_mm_loadu_si128(Source + I + 1), K[0]);
        __m128i C = _mm_xor_si128(_mm_loadu_si128(Source + I + 2), K[0]);
        __m128i D = _mm_xor_si128(_mm_loadu_si128(Source + I + 3), K[0]);
        for (int R = 1; R < Rounds; ++R) {
            const __m128i Key = K[R];
            A = Round(A, Key, Encrypt);
            B = Round(B, Key, Encrypt);
            C = Round(C, Key, Encrypt);
            D = Round(D, Key, Encrypt);
        }
        _mm_storeu_si128(Target + I, LastRound(A, K[Rounds], Encrypt));
        _mm_storeu_si128(Target + I + 1, LastRound(B, K[Rounds], Encrypt));
        _mm_storeu_si128(Target + I + 2, LastRound(C, K[Rounds], Encrypt));
        _mm_storeu_si128(Target + I + 3, LastRound(D, K[Rounds], Encrypt));
    }
    for (; I < Blocks; ++I) {
        __m128i A = _mm_xor_si128(_mm_loadu_si128(Source + I), K[0]);
        for (int R = 1; R < Rounds; ++R)
            A = Round(A, K[R], Encrypt);
        _mm_storeu_si128(Target + I, LastRound(A, K[Rounds], Encrypt));
    }
}

// The instructions' inverse rounds take the round keys in reverse order, the inner ones
// passed through the inverse column mix.
QE_AES_TARGET void InverseMixKey(const uint8_t* In, uint8_t* Out)
{
    _mm_storeu_si128(reinterpret_cast<__m128i*>(Out),
                     _mm_aesimc_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(In))));
}
#endif

} // namespace

bool TAes::ProcessorHasInstructions()
{
#ifdef QE_AES_INSTRUCTIONS
    unsigned Eax = 0, Ebx = 0, Ecx = 0, Edx = 0;
    return __get_cpuid(1, &Eax, &Ebx, &Ecx, &Edx) && (Ecx & bit_AES) && (Edx & bit_SSE2);
#else
    return false;
#endif
}

TAes::TAes(const uint8_t* Key, int KeySize, bool UseInstructions)
    : FRounds(KeySize / 4 + 6), FUseInstructions(UseInstructions && ProcessorHasInstructions())
{
    // The key schedule in 4-byte words: the key itself, then each word the one a key's
    // length before it, mixed with the word just before.
    const int KeyWords = KeySize / 4;
    const int Words = 4 * (FRounds + 1);
    uint8_t W[60][4];
    std::memcpy(W, Key, static_cast<size_t>(KeySize));
    uint8_t RoundConstant = 1;
    for (int I = KeyWords; I < Words; ++I) {
        uint8_t T[4] = {W[I - 1][0], W[I - 1][1], W[I - 1][2], W[I - 1][3]};
        if (I % KeyWords == 0) {
            const uint8_t First = T[0];
            T[0] = static_cast<uint8_t>(Box.Forward[T[1]] ^ RoundConstant);
            T[1] = Box.Forward[T[2]];
            T[2] = Box.Forward[T[3]];
            T[3] = Box.Forward[First];
            RoundConstant = Multiply(RoundConstant, 2);
        } else if (KeyWords > 6 && I % KeyWords == 4) {
            for (uint8_t& Byte : T)
                Byte = Box.Forward[Byte];
        }
        for (int B = 0; B < 4; ++B)
            W[I][B] = static_cast<uint8_t>(W[I - KeyWords][B] ^ T[B]);
    }
    for (int R = 0; R <= FRounds; ++R)
        std::memcpy(FEncryptKeys[R], W[4 * R], 16);
#ifdef QE_AES_INSTRUCTIONS
    if (FUseInstructions) {
        std::memcpy(FDecryptKeys[0], FEncryptKeys[FRounds], 16);
        for (int R = 1; R < FRounds; ++R)
            InverseMixKey(FEncryptKeys[FRounds - R], FDecryptKeys[R]);
        std::memcpy(FDecryptKeys[FRounds], FEncryptKeys[0], 16);
    }
#endif
}

void TAes::EncryptBlocks(const uint8_t* In, uint8_t* Out, size_t Blocks) const
{
#ifdef QE_AES_INSTRUCTIONS
    if (FUseInstructions)
        return RunInstructions<true>(FEncryptKeys, FRounds, In, Out, Blocks);
#endif
    for (size_t I = 0; I < Blocks; ++I, In += BlockSize, Out += BlockSize) {
        TState State;
        std::memcpy(State, In, BlockSize);
        AddRoundKey(State, FEncryptKeys[0]);
        for (int R = 1; R <= FRounds; ++R) {
            SubstituteAndShiftRows(State, false);
            if (R < FRounds)
                MixColumns(State, false);
            AddRoundKey(State, FEncryptKeys[R]);
        }
        std::memcpy(Out, State, BlockSize);
    }
}

void TAes::DecryptBlocks(const uint8_t* In, uint8_t* Out, size_t Blocks) const
{
#ifdef QE_AES_INSTRUCTIONS
    if (FUseInstructions)
        return RunInstructions<false>(FDecryptKeys, FRounds, In, Out, Blocks);
#endif
    for (size_t I = 0; I < Blocks; ++I, In += BlockSize, Out += BlockSize) {
        TState State;
        std::memcpy(State, In, BlockSize);
        AddRoundKey(State, FEncryptKeys[FRounds]);
        for (int R = FRounds - 1; R >= 0; --R) {
            SubstituteAndShiftRows(State, true);
            AddRoundKey(State, FEncryptKeys[R]);
            if (R > 0)
                MixColumns(State, true);
        }
        std::memcpy(Out, State, BlockSize);
    }
}

} // namespace qe
