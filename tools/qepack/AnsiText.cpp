#include "tools/qepack/AnsiText.h"

#include <cstdint>

namespace qe {
namespace {

// The characters of bytes 0x80 to 0x9F in code page 1252; 0 where the byte is unused.
constexpr char32_t Cp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

std::optional<char> AnsiOf(char32_t Code)
{
    if (Code < 0x80 || (Code >= 0xA0 && Code <= 0xFF))
        return static_cast<char>(Code);
    for (int I = 0; I < 32; ++I)
        if (Cp1252High[I] != 0 && Cp1252High[I] == Code)
            return static_cast<char>(0x80 + I);
    return std::nullopt;
}

char32_t CharacterOf(uint8_t Byte)
{
    if (Byte >= 0x80 && Byte < 0xA0 && Cp1252High[Byte - 0x80] != 0)
        return Cp1252High[Byte - 0x80];
    return Byte;
}

void AppendUtf8(std::string& Out, char32_t Code)
{
    if (Code < 0x80) {
        Out += static_cast<char>(Code);
    } else if (Code < 0x800) {
        Out += static_cast<char>(0xC0 | Code >> 6);
        Out += static_cast<char>(0x80 | (Code & 0x3F));
    } else {
        Out += static_cast<char>(0xE0 | Code >> 12);
        Out += static_cast<char>(0x80 | (Code >> 6 & 0x3F));
        Out += static_cast<char>(0x80 | (Code & 0x3F));
    }
}

} // namespace

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
        const auto Ansi = AnsiOf(Code);
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
        AppendUtf8(Result, CharacterOf(static_cast<uint8_t>(C)));
    return Result;
}

std::u16string AnsiToUtf16(const std::string& Ansi)
{
    std::u16string Result;
    for (const char C : Ansi)
        Result += static_cast<char16_t>(CharacterOf(static_cast<uint8_t>(C)));
    return Result;
}

} // namespace qe
