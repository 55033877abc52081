// The two fields of a Windows program's header that a signature touches: the header's
// checksum and the entry of the certificate table, which points at the signature that a
// signing tool appends to the file.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/Streams.h"

namespace qe {

struct TPeSignatureFields {
    int64_t CheckSumAt = 0;         // file offset of the 32-bit checksum
    int64_t CertificateTableAt = 0; // of the entry: the table's file offset, then its size
    uint32_t CertificateTableSize = 0;

    bool Signed() const { return CertificateTableSize != 0; }
};

// The fields of the PE32 or PE32+ image at the start of Image; nothing when Image holds
// no such image or its header has no certificate table entry. Moves Image's position.
std::optional<TPeSignatureFields> FindSignatureFields(TStream& Image);

// The header's checksum of the whole of Image as it is now, as Windows computes it
// (CheckSumMappedFile): the sum of its 16-bit words, the checksum's own two words left
// out, folded to 16 bits, plus the byte count.
uint32_t PeCheckSum(TStream& Image, const TPeSignatureFields& Fields);

// Makes the image that is the whole of Image an unsigned program: zeros in its
// certificate table entry and, in its checksum, the checksum of what it holds now. A copy
// of a signed program that leaves the signature behind is then an unsigned program
// instead of one whose signature is broken. Anything that is no such image stays as it
// is.
void MakeUnsigned(TStream& Image);

} // namespace qe
