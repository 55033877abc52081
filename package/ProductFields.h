// The product's fields, which the install package and the uninstall record both carry
// under the same ids, with their one set of defaults, their one reader and one writer.
#pragma once

#include <cstdint>
#include <string>

#include "package/PackageFormat.h"

namespace qe {

struct TProductFields {
    uint8_t ShowNotice = 1;
    std::string ProgramName;
    int32_t MajorVersion = 1;
    int32_t MinorVersion = 0;
    int32_t BuildNumber = 0;
    int32_t ReleaseNumber = 0;
    std::string Publisher;
    std::string Website;
    std::string Address;
    std::string ContactName;
    std::string Email;

    bool operator==(const TProductFields&) const = default;
};

// Reads the value of the record whose header Tags has just read into Fields when its id is
// one of the product's; false, with nothing read, for any other id.
bool ReadProductField(TTagStreamAdapter& Tags, TProductFields& Fields);

// Writes every product field in ascending id order, the strings encoded and even when
// empty.
void WriteProductFields(TTagStreamAdapter& Tags, const TProductFields& Fields);

// A string as the program keeps it, UTF-8, from the form it was stored in: one of a
// package or record marked UTF-8 as it is (a damaged sequence as U+FFFD), any other as
// Windows-1252.
std::string StoredText(const std::string& Stored, bool Utf8);
// The product's strings, read as stored, brought to UTF-8 likewise.
void MakeFieldsUtf8(TProductFields& Fields, bool Utf8);

} // namespace qe
