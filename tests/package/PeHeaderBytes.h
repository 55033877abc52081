// The first bytes of a Windows program as a linker and a signing tool leave them: a DOS
// header pointing at a PE header whose optional header ends in 16 data directory entries,
// with a checksum and, once signed, the certificate table's entry.
#pragma once

#include <cstdint>
#include <string>

namespace qe::test {

struct TPeHeaderLayout {
    static constexpr size_t PeStart = 0x100;
    static constexpr size_t Optional = PeStart + 24;
    bool Plus = false; // PE32+
    size_t CheckSumAt() const { return Optional + 64; }
    size_t CertificateTableAt() const { return Optional + (Plus ? 112 : 96) + 8 * 4; }
};

inline void Put32(std::string& Bytes, size_t At, uint32_t Value)
{
    for (int I = 0; I < 4; ++I)
        Bytes[At + static_cast<size_t>(I)] = static_cast<char>(Value >> (8 * I));
}

inline uint32_t Get32(const std::string& Bytes, size_t At)
{
    uint32_t Value = 0;
    for (size_t I = 4; I-- > 0;)
        Value = Value << 8 | static_cast<uint8_t>(Bytes[At + I]);
    return Value;
}

// Size bytes (at least 1024) of a program with that header, a checksum and, when
// SignatureSize is not 0, a certificate table at SignatureAt; the rest of the bytes a
// pattern that is no header.
inline std::string PeHeaderBytes(size_t Size, const TPeHeaderLayout& Layout, uint32_t SignatureAt = 0,
                                 uint32_t SignatureSize = 0)
{
    std::string Bytes(Size, '\0');
    for (size_t I = 0x200; I < Size; ++I)
        Bytes[I] = static_cast<char>(I * 13);
    Bytes[0] = 'M';
    Bytes[1] = 'Z';
    Put32(Bytes, 0x3C, TPeHeaderLayout::PeStart);
    Bytes.replace(TPeHeaderLayout::PeStart, 4, std::string("PE\0\0", 4));
    const uint16_t OptionalSize = Layout.Plus ? 240 : 224;
    Bytes[TPeHeaderLayout::PeStart + 20] = static_cast<char>(OptionalSize & 0xFF);
    Bytes[TPeHeaderLayout::Optional] = 0x0B;
    Bytes[TPeHeaderLayout::Optional + 1] = Layout.Plus ? 2 : 1;
    Put32(Bytes, TPeHeaderLayout::Optional + (Layout.Plus ? 108 : 92), 16);
    Put32(Bytes, Layout.CheckSumAt(), 0x0004C0DE);
    Put32(Bytes, Layout.CertificateTableAt(), SignatureAt);
    Put32(Bytes, Layout.CertificateTableAt() + 4, SignatureSize);
    return Bytes;
}

} // namespace qe::test
