// Windows code page 1252, in which packages carry their texts and which the simulated
// Windows takes as its ANSI code page.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace qe {

// The character of a byte; a byte the code page leaves unused is the character of the
// same code, as Windows converts it.
char32_t Cp1252Character(uint8_t Byte);

// The byte of a character; nothing when the code page has no such character.
std::optional<char> Cp1252Byte(char32_t Character);

// Text of the code page in UTF-16, one unit for each byte.
std::u16string Cp1252ToUtf16(const std::string& Text);

} // namespace qe
