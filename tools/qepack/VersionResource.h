// The version resource of an installer: the product's name, version, publisher,
// description and copyright line, as Explorer's file properties and security tools show
// them. The stub carries a version resource of its own whose room the product's takes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace qe {

struct TVersionInfo {
    // Windows-1252 texts; empty ones are left out.
    std::string ProductName;
    std::string CompanyName;
    std::string FileDescription;
    std::string LegalCopyright;
    std::string OriginalFilename;
    // The numbers of the version; the fixed part holds each up to 65535.
    int32_t Major = 1, Minor = 0, Build = 0, Release = 0;
};

// The VS_VERSIONINFO block, in US English and code page 1252.
std::string VersionInfoBlock(const TVersionInfo& Info);

// Where the version resource's data lies in a PE image: its file offset, its size, and
// the file offset of the size field of its resource data entry.
struct TVersionResourcePlace {
    uint32_t DataOffset = 0;
    uint32_t Size = 0;
    uint32_t SizeField = 0;
};

// Finds the first version resource of Image; nothing when the image is no PE file or
// carries none. Raises qe::Exception naming Name when its headers are damaged.
std::optional<TVersionResourcePlace> FindVersionResource(const std::string& Image, const std::string& Name);

// Replaces the version resource of Image within the room the old one took; false when
// Image has none. Raises qe::Exception when the new block does not fit.
bool WriteVersionResource(std::string& Image, const std::string& Name, const TVersionInfo& Info);

} // namespace qe
