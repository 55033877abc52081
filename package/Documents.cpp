#include "package/Documents.h"

#include "package/ProductFields.h"

namespace qe {

bool IsRtfDocument(const std::string& Document)
{
    return Document.compare(0, 5, "{\\rtf") == 0;
}

std::string StoredDocument(const std::string& Stored, bool Utf8)
{
    return IsRtfDocument(Stored) ? Stored : StoredText(Stored, Utf8);
}

} // namespace qe
