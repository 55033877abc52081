// The product's documents, the licence, the readme and the news: RTF as the vendor's
// editor wrote it (RTF names its own code page and escapes what it cannot hold), or plain
// UTF-8 text.
#pragma once

#include <string>

namespace qe {

// RTF begins with "{\rtf"; anything else is plain text.
bool IsRtfDocument(const std::string& Document);

// A document as the program keeps it: RTF as stored, byte for byte; plain text in UTF-8 as
// StoredText makes it (package/ProductFields.h).
std::string StoredDocument(const std::string& Stored, bool Utf8);

} // namespace qe
