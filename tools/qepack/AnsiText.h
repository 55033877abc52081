// Conversions between the producer's UTF-8 world (manifests, JSON) and the installer's
// 8-bit Windows text (code page 1252).
#pragma once

#include <optional>
#include <string>

namespace qe {

// The Windows-1252 bytes of UTF-8 text; nothing when the text is not valid UTF-8 or
// holds a character that code page 1252 cannot represent.
std::optional<std::string> Utf8ToAnsi(const std::string& Utf8);

// Each byte as the character of the same code (Latin-1), in UTF-8: exact bytes survive
// a trip through JSON this way.
std::string BytesToLatin1Utf8(const std::string& Bytes);

// Windows-1252 text in UTF-8, for a terminal. A byte the code page leaves unused stays the
// character of the same code.
std::string AnsiToUtf8(const std::string& Ansi);

} // namespace qe
