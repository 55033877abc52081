#include "package/EncDec.h"

#include <array>
#include <cstdint>

namespace qe {
namespace {

constexpr int PadSymbol = 64;

// Symbol value of every byte: its position in the code table, 0 when it has none.
constexpr std::array<uint8_t, 256> MakeSymbolValues()
{
    std::array<uint8_t, 256> Values{};
    for (int I = 0; I < 65; ++I)
        Values[static_cast<uint8_t>(CodeTable[I])] = static_cast<uint8_t>(I);
    return Values;
}

constexpr std::array<uint8_t, 256> SymbolValues = MakeSymbolValues();

} // namespace

std::string EncodeString(const std::string& Source)
{
    std::string Result;
    Result.reserve((Source.size() + 2) / 3 * 4);
    for (size_t I = 0; I < Source.size(); I += 3) {
        const auto B0 = static_cast<uint8_t>(Source[I]);
        const bool HasB1 = I + 1 < Source.size();
        const bool HasB2 = I + 2 < Source.size();
        const uint8_t B1 = HasB1 ? static_cast<uint8_t>(Source[I + 1]) : 0;
        const uint8_t B2 = HasB2 ? static_cast<uint8_t>(Source[I + 2]) : 0;
        const int S0 = B0 >> 2;
        int S1 = (B0 & 3) << 4;
        int S2 = PadSymbol;
        int S3 = PadSymbol;
        if (HasB1) {
            S1 += B1 >> 4;
            S2 = (B1 & 15) << 2;
        }
        if (HasB2) {
            S2 += B2 >> 6;
            S3 = B2 & 63;
        }
        Result += CodeTable[S0];
        Result += CodeTable[S1];
        Result += CodeTable[S2];
        Result += CodeTable[S3];
    }
    return Result;
}

std::string DecodeString(const std::string& Text)
{
    std::string Result;
    Result.reserve(Text.size() / 4 * 3 + 3);
    const size_t Length = Text.size();
    // A group starts at every fourth character while it is not the input's last one.
    for (size_t I = 0; I + 1 < Length; I += 4) {
        int S[4];
        for (size_t K = 0; K < 4; ++K)
            S[K] = I + K < Length ? SymbolValues[static_cast<uint8_t>(Text[I + K])] : PadSymbol;
        Result += static_cast<char>(((S[0] & 63) << 2) + ((S[1] & 48) >> 4));
        if (S[2] == PadSymbol)
            continue;
        Result += static_cast<char>(((S[1] & 15) << 4) + ((S[2] & 60) >> 2));
        if (S[3] == PadSymbol)
            continue;
        Result += static_cast<char>(((S[2] & 3) << 6) + (S[3] & 63));
    }
    return Result;
}

void WriteEncoded(TTagStreamAdapter& Tags, int32_t Id, const std::string& Text)
{
    Tags.WriteString(Id, EncodeString(Text));
}

std::string ReadDecoded(TTagStreamAdapter& Tags)
{
    return DecodeString(Tags.ReadString());
}

} // namespace qe
