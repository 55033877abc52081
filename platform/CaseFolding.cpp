#include "platform/CaseFolding.h"

#include <algorithm>

#include "platform/Unicode.h"

#ifdef _WIN32
#include "platform/win32/Win32Text.h"
#else
#include <locale.h>
#include <wctype.h>
#endif

namespace qe {

std::u16string UpperCaseUtf16(const std::u16string& Text)
{
#ifdef _WIN32
    return win32::WideUpperCase(Text);
#else
    // Unicode's capitals; C.UTF-8 is built into the C library. Surrogates stay.
    static const locale_t Unicode = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{});
    std::u16string Result = Text;
    for (char16_t& Unit : Result) {
        const wint_t Upper = towupper_l(Unit, Unicode);
        if (Upper < 0x10000)
            Unit = static_cast<char16_t>(Upper);
    }
    return Result;
#endif
}

std::string FoldCase(const std::string& Text)
{
    if (std::all_of(Text.begin(), Text.end(), [](char C) { return static_cast<unsigned char>(C) < 0x80; })) {
        std::string Result = Text;
        for (char& C : Result)
            if (C >= 'a' && C <= 'z')
                C = static_cast<char>(C - 'a' + 'A');
        return Result;
    }
    // Runs of characters go to the table together; a byte that is no UTF-8 is kept, so
    // that two different damaged names stay different.
    std::string Result;
    std::string Run;
    const auto Flush = [&] {
        Result += Utf16ToUtf8(UpperCaseUtf16(Utf8ToUtf16(Run)));
        Run.clear();
    };
    char32_t Character = 0;
    for (size_t Pos = 0; Pos < Text.size();) {
        const size_t Start = Pos;
        if (DecodeUtf8(Text, Pos, Character)) {
            Run.append(Text, Start, Pos - Start);
        } else {
            Flush();
            Result.append(Text, Start, Pos - Start);
        }
    }
    Flush();
    return Result;
}

} // namespace qe
