// How Windows compares names without letter case: each small letter counts as its capital,
// one UTF-16 unit for one, by Windows' own table ("ä" is "Ä", "ω" is "Ω", "я" is "Я"). The
// program takes the table from Windows where it runs on Windows, and Unicode's from the C
// library elsewhere (the tests and the producer on Linux).
#pragma once

#include <string>

namespace qe {

// UTF-16 text with every letter in capitals, one unit for one.
std::u16string UpperCaseUtf16(const std::u16string& Text);

// UTF-8 text with every letter in capitals: two names are one to Windows when these are
// equal. Bytes that are no UTF-8 stay as they are.
std::string FoldCase(const std::string& Text);

} // namespace qe
