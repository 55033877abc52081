#include "package/PeImage.h"

#include <algorithm>
#include <vector>

#include "package/TagStreams.h"

namespace qe {
namespace {

// The header lies within the first page of the file.
constexpr int32_t HeaderBytes = 4096;
constexpr uint32_t PeSignature = 0x00004550; // "PE\0\0"
constexpr uint16_t Pe32Magic = 0x10B;
constexpr uint16_t Pe32PlusMagic = 0x20B;
constexpr uint32_t CertificateTableIndex = 4;

uint32_t Get32(const std::vector<uint8_t>& Bytes, size_t At)
{
    return At + 4 <= Bytes.size() ? GetLE32(&Bytes[At]) : 0;
}

uint16_t Get16(const std::vector<uint8_t>& Bytes, size_t At)
{
    return At + 2 <= Bytes.size() ? static_cast<uint16_t>(Bytes[At] | Bytes[At + 1] << 8) : 0;
}

} // namespace

std::optional<TPeSignatureFields> FindSignatureFields(TStream& Image)
{
    std::vector<uint8_t> Header(HeaderBytes);
    Image.Seek(0, TSeekOrigin::soBeginning);
    Header.resize(static_cast<size_t>(std::max(Image.Read(Header.data(), HeaderBytes), 0)));
    if (Header.size() < 0x40 || Header[0] != 'M' || Header[1] != 'Z')
        return std::nullopt;
    const size_t Pe = Get32(Header, 0x3C);
    if (Pe >= Header.size() || Get32(Header, Pe) != PeSignature)
        return std::nullopt;
    // The file header (20 bytes) follows the signature, then the optional header, which
    // ends with the data directory entries of 8 bytes each.
    const size_t OptionalSize = Get16(Header, Pe + 20);
    const size_t Optional = Pe + 24;
    const uint16_t Magic = Get16(Header, Optional);
    if (Magic != Pe32Magic && Magic != Pe32PlusMagic)
        return std::nullopt;
    const bool Plus = Magic == Pe32PlusMagic;
    const size_t DirectoryCount = Get32(Header, Optional + (Plus ? 108 : 92));
    const size_t Entry = Optional + (Plus ? 112 : 96) + 8 * CertificateTableIndex;
    if (DirectoryCount <= CertificateTableIndex || Entry + 8 > Optional + OptionalSize || Entry + 8 > Header.size())
        return std::nullopt;
    return TPeSignatureFields{static_cast<int64_t>(Optional + 64), static_cast<int64_t>(Entry),
                              Get32(Header, Entry + 4)};
}

void ClearSignatureFields(TStream& Image)
{
    const auto Fields = FindSignatureFields(Image);
    if (!Fields)
        return;
    const uint8_t Zeros[8] = {};
    Image.Seek(Fields->CertificateTableAt, TSeekOrigin::soBeginning);
    Image.WriteBuffer(Zeros, 8);
    Image.Seek(Fields->CheckSumAt, TSeekOrigin::soBeginning);
    Image.WriteBuffer(Zeros, 4);
}

} // namespace qe
