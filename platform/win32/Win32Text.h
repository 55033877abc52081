// Windows' own conversions between the ANSI code page and UTF-16, its capitals and its
// MD5 digest (CryptoAPI): the system interface's, and those a simulated Windows built
// for Windows takes for its pure computations.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace qe::win32 {

std::u16string AnsiToWide(const std::string& Text);
// False when a character has no exact form in the ANSI code page.
bool WideToAnsi(const std::u16string& Text, std::string& Ansi);
std::u16string WideUpperCase(const std::u16string& Text);
bool Md5(const void* Data, size_t Size, std::array<uint8_t, 16>& Digest);

} // namespace qe::win32
