// UTF-8, the text of files read by other programs (the deployment log, the producer's
// JSON).
#pragma once

#include <string>

namespace qe {

// Appends the UTF-8 bytes of Code.
void AppendUtf8(std::string& Out, char32_t Code);

// UTF-16 text in UTF-8; a surrogate without its partner becomes U+FFFD.
std::string Utf16ToUtf8(const std::u16string& Text);

} // namespace qe
