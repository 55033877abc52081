// Windows code page 1252, in which packages and uninstall records made before UTF-8 carry
// their texts.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qe {

// The character of a byte; a byte the code page leaves unused is the character of the
// same code, as Windows converts it.
char32_t Cp1252Character(uint8_t Byte);

// The byte of a character; nothing when the code page has no such character.
std::optional<char> Cp1252Byte(char32_t Character);

// Text of the code page in UTF-8.
std::string Cp1252ToUtf8(const std::string& Text);

// Whether the code page has every character of Text (UTF-8); a damaged sequence it has not.
bool IsCp1252Text(std::string_view Text);

} // namespace qe
