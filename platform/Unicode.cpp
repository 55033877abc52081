#include "platform/Unicode.h"

#include <cstdint>

namespace qe {
namespace {

// The range of the byte after a lead byte: narrower than 80..BF after the leads whose
// sequences could otherwise be overlong (E0, F0), a surrogate (ED) or above U+10FFFF (F4).
bool SecondByteFits(uint8_t Lead, uint8_t Byte)
{
    switch (Lead) {
    case 0xE0: return Byte >= 0xA0 && Byte <= 0xBF;
    case 0xED: return Byte >= 0x80 && Byte <= 0x9F;
    case 0xF0: return Byte >= 0x90 && Byte <= 0xBF;
    case 0xF4: return Byte >= 0x80 && Byte <= 0x8F;
    default: return Byte >= 0x80 && Byte <= 0xBF;
    }
}

void AppendUtf16(std::u16string& Text, char32_t Character)
{
    if (Character < 0x10000) {
        Text += static_cast<char16_t>(Character);
    } else {
        Character -= 0x10000;
        Text += static_cast<char16_t>(0xD800 + (Character >> 10));
        Text += static_cast<char16_t>(0xDC00 + (Character & 0x3FF));
    }
}

bool IsHighSurrogate(char16_t Unit)
{
    return Unit >= 0xD800 && Unit <= 0xDBFF;
}

bool IsLowSurrogate(char16_t Unit)
{
    return Unit >= 0xDC00 && Unit <= 0xDFFF;
}

// Visits each character of Text, an ill-formed sequence as U+FFFD.
template <class TVisit> void ForEachCharacter(std::string_view Text, TVisit Visit)
{
    char32_t Character = 0;
    for (size_t Pos = 0; Pos < Text.size();) {
        DecodeUtf8(Text, Pos, Character);
        Visit(Character);
    }
}

} // namespace

bool DecodeUtf8(std::string_view Text, size_t& Pos, char32_t& Character)
{
    const auto Lead = static_cast<uint8_t>(Text[Pos++]);
    if (Lead < 0x80) {
        Character = Lead;
        return true;
    }
    // C0 and C1 could only start overlong forms; F5 and above values past U+10FFFF.
    const int Extra = Lead >= 0xC2 && Lead <= 0xDF   ? 1
                      : Lead >= 0xE0 && Lead <= 0xEF ? 2
                      : Lead >= 0xF0 && Lead <= 0xF4 ? 3
                                                     : 0;
    Character = ReplacementCharacter;
    if (Extra == 0)
        return false;
    char32_t Value = Lead & (0x3F >> Extra);
    for (int I = 0; I < Extra; ++I) {
        if (Pos >= Text.size())
            return false;
        const auto Byte = static_cast<uint8_t>(Text[Pos]);
        if (I == 0 ? !SecondByteFits(Lead, Byte) : (Byte & 0xC0) != 0x80)
            return false;
        Value = Value << 6 | (Byte & 0x3F);
        ++Pos;
    }
    Character = Value;
    return true;
}

void AppendUtf8(std::string& Text, char32_t Character)
{
    if (Character > 0x10FFFF || (Character >= 0xD800 && Character <= 0xDFFF))
        Character = ReplacementCharacter;
    if (Character < 0x80) {
        Text += static_cast<char>(Character);
    } else if (Character < 0x800) {
        Text += static_cast<char>(0xC0 | Character >> 6);
        Text += static_cast<char>(0x80 | (Character & 0x3F));
    } else if (Character < 0x10000) {
        Text += static_cast<char>(0xE0 | Character >> 12);
        Text += static_cast<char>(0x80 | (Character >> 6 & 0x3F));
        Text += static_cast<char>(0x80 | (Character & 0x3F));
    } else {
        Text += static_cast<char>(0xF0 | Character >> 18);
        Text += static_cast<char>(0x80 | (Character >> 12 & 0x3F));
        Text += static_cast<char>(0x80 | (Character >> 6 & 0x3F));
        Text += static_cast<char>(0x80 | (Character & 0x3F));
    }
}

bool IsValidUtf8(std::string_view Text)
{
    char32_t Character = 0;
    for (size_t Pos = 0; Pos < Text.size();)
        if (!DecodeUtf8(Text, Pos, Character))
            return false;
    return true;
}

std::string ValidUtf8(std::string_view Text)
{
    if (IsValidUtf8(Text))
        return std::string(Text);
    std::string Result;
    ForEachCharacter(Text, [&](char32_t Character) { AppendUtf8(Result, Character); });
    return Result;
}

std::u16string Utf8ToUtf16(std::string_view Text)
{
    std::u16string Result;
    Result.reserve(Text.size());
    ForEachCharacter(Text, [&](char32_t Character) { AppendUtf16(Result, Character); });
    return Result;
}

std::string Utf16ToUtf8(std::u16string_view Text)
{
    std::string Result;
    Result.reserve(Text.size());
    for (size_t I = 0; I < Text.size(); ++I) {
        const char16_t Unit = Text[I];
        if (IsHighSurrogate(Unit) && I + 1 < Text.size() && IsLowSurrogate(Text[I + 1])) {
            AppendUtf8(Result, 0x10000 + ((static_cast<char32_t>(Unit) - 0xD800) << 10) + (Text[I + 1] - 0xDC00));
            ++I;
        } else {
            // An unpaired surrogate becomes U+FFFD here.
            AppendUtf8(Result, Unit);
        }
    }
    return Result;
}

bool IsValidUtf16(std::u16string_view Text)
{
    for (size_t I = 0; I < Text.size(); ++I) {
        if (IsHighSurrogate(Text[I]) && I + 1 < Text.size() && IsLowSurrogate(Text[I + 1]))
            ++I;
        else if (IsHighSurrogate(Text[I]) || IsLowSurrogate(Text[I]))
            return false;
    }
    return true;
}

size_t Utf16Length(std::string_view Text)
{
    size_t Length = 0;
    ForEachCharacter(Text, [&](char32_t Character) { Length += Character < 0x10000 ? 1 : 2; });
    return Length;
}

std::string Abridged(std::string_view Text, size_t Characters)
{
    size_t Pos = 0;
    char32_t Character = 0;
    for (size_t Taken = 0; Taken < Characters && Pos < Text.size(); ++Taken)
        DecodeUtf8(Text, Pos, Character);
    return std::string(Text.substr(0, Pos)) + "...";
}

} // namespace qe
