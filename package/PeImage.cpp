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

uint32_t PeCheckSum(TStream& Image, const TPeSignatureFields& Fields)
{
    uint32_t Sum = 0;
    const auto Add = [&](int64_t WordAt, uint32_t Word) {
        if (WordAt == Fields.CheckSumAt || WordAt == Fields.CheckSumAt + 2)
            return;
        Sum += Word;
        Sum = (Sum & 0xFFFF) + (Sum >> 16);
    };
    // Words begin at even offsets; an odd last byte is a word of its own.
    int64_t At = 0;
    std::optional<uint8_t> Low;
    std::vector<uint8_t> Chunk(64 * 1024);
    Image.Seek(0, TSeekOrigin::soBeginning);
    for (int32_t Got; (Got = Image.Read(Chunk.data(), static_cast<int32_t>(Chunk.size()))) > 0;)
        for (int32_t I = 0; I < Got; ++I, ++At) {
            const uint8_t Byte = Chunk[static_cast<size_t>(I)];
            if (!Low) {
                Low = Byte;
                continue;
            }
            Add(At - 1, *Low | static_cast<uint32_t>(Byte) << 8);
            Low.reset();
        }
    if (Low)
        Add(At - 1, *Low);
    Sum = (Sum & 0xFFFF) + (Sum >> 16);
    return Sum + static_cast<uint32_t>(At);
}

void MakeUnsigned(TStream& Image)
{
    const auto Fields = FindSignatureFields(Image);
    if (!Fields)
        return;
    const uint8_t Zeros[8] = {};
    Image.Seek(Fields->CertificateTableAt, TSeekOrigin::soBeginning);
    Image.WriteBuffer(Zeros, 8);
    uint8_t CheckSum[4];
    PutLE32(CheckSum, PeCheckSum(Image, *Fields));
    Image.Seek(Fields->CheckSumAt, TSeekOrigin::soBeginning);
    Image.WriteBuffer(CheckSum, 4);
}

} // namespace qe
