#include "platform/Utf8.h"

namespace qe {

void AppendUtf8(std::string& Out, char32_t Code)
{
    if (Code < 0x80) {
        Out += static_cast<char>(Code);
    } else if (Code < 0x800) {
        Out += static_cast<char>(0xC0 | Code >> 6);
        Out += static_cast<char>(0x80 | (Code & 0x3F));
    } else if (Code < 0x10000) {
        Out += static_cast<char>(0xE0 | Code >> 12);
        Out += static_cast<char>(0x80 | (Code >> 6 & 0x3F));
        Out += static_cast<char>(0x80 | (Code & 0x3F));
    } else {
        Out += static_cast<char>(0xF0 | Code >> 18);
        Out += static_cast<char>(0x80 | (Code >> 12 & 0x3F));
        Out += static_cast<char>(0x80 | (Code >> 6 & 0x3F));
        Out += static_cast<char>(0x80 | (Code & 0x3F));
    }
}

std::string Utf16ToUtf8(const std::u16string& Text)
{
    std::string Result;
    for (size_t I = 0; I < Text.size(); ++I) {
        const char32_t Unit = Text[I];
        const bool High = Unit >= 0xD800 && Unit < 0xDC00;
        const bool NextLow = I + 1 < Text.size() && Text[I + 1] >= 0xDC00 && Text[I + 1] < 0xE000;
        if (High && NextLow) {
            AppendUtf8(Result, 0x10000 + ((Unit - 0xD800) << 10) + (Text[++I] - 0xDC00));
        } else if (Unit >= 0xD800 && Unit < 0xE000) {
            AppendUtf8(Result, 0xFFFD);
        } else {
            AppendUtf8(Result, Unit);
        }
    }
    return Result;
}

} // namespace qe
