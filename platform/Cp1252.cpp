#include "platform/Cp1252.h"

#include "platform/Unicode.h"

namespace qe {
namespace {

// The characters of bytes 0x80 to 0x9F; 0 where the byte is unused.
constexpr char32_t Cp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

} // namespace

char32_t Cp1252Character(uint8_t Byte)
{
    if (Byte >= 0x80 && Byte < 0xA0 && Cp1252High[Byte - 0x80] != 0)
        return Cp1252High[Byte - 0x80];
    return Byte;
}

std::optional<char> Cp1252Byte(char32_t Character)
{
    if (Character < 0x80 || (Character >= 0xA0 && Character <= 0xFF))
        return static_cast<char>(Character);
    for (int I = 0; I < 32; ++I)
        if (Cp1252High[I] != 0 && Cp1252High[I] == Character)
            return static_cast<char>(0x80 + I);
    return std::nullopt;
}

std::string Cp1252ToUtf8(const std::string& Text)
{
    std::string Result;
    Result.reserve(Text.size());
    for (const char C : Text)
        AppendUtf8(Result, Cp1252Character(static_cast<uint8_t>(C)));
    return Result;
}

bool IsCp1252Text(std::string_view Text)
{
    size_t Pos = 0;
    char32_t Character = 0;
    while (Pos < Text.size())
        if (!DecodeUtf8(Text, Pos, Character) || !Cp1252Byte(Character))
            return false;
    return true;
}

} // namespace qe
