#include "tools/qepack/AnsiText.h"

#include <cstdint>

#include "platform/Cp1252.h"
#include "platform/Utf8.h"

namespace qe {

std::optional<std::string> Utf8ToAnsi(const std::string& Utf8)
{
    std::string Result;
    for (size_t I = 0; I < Utf8.size();) {
        const auto Lead = static_cast<uint8_t>(Utf8[I]);
        const int Extra = Lead < 0x80 ? 0 : (Lead >> 5) == 6 ? 1 : (Lead >> 4) == 14 ? 2 : (Lead >> 3) == 30 ? 3 : -1;
        if (Extra < 0 || I + static_cast<size_t>(Extra) >= Utf8.size())
            return std::nullopt;
        char32_t Code = Extra == 0 ? Lead : Lead & (0x3F >> Extra);
        for (int K = 1; K <= Extra; ++K) {
            const auto Next = static_cast<uint8_t>(Utf8[I + static_cast<size_t>(K)]);
            if ((Next >> 6) != 2)
                return std::nullopt;
            Code = Code << 6 | (Next & 0x3F);
        }
        const auto Ansi = Cp1252Byte(Code);
        if (!Ansi)
            return std::nullopt;
        Result += *Ansi;
        I += static_cast<size_t>(Extra) + 1;
    }
    return Result;
}

std::string BytesToLatin1Utf8(const std::string& Bytes)
{
    std::string Result;
    for (const char C : Bytes)
        AppendUtf8(Result, static_cast<uint8_t>(C));
    return Result;
}

std::string AnsiToUtf8(const std::string& Ansi)
{
    std::string Result;
    for (const char C : Ansi)
        AppendUtf8(Result, Cp1252Character(static_cast<uint8_t>(C)));
    return Result;
}

} // namespace qe
