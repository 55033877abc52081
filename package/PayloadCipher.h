// The payload cipher: AES in 16-byte blocks, each on its own (no chaining), with a
// final block that carries the last bytes and, in its last byte, how many there are.
#pragma once

#include <cstdint>

#include "platform/Exceptions.h"
#include "platform/Streams.h"

namespace qe {

class ECipherException : public Exception {
public:
    ECipherException() : Exception("Invalid file format") {}
};

// Payloads move in chunks of this many bytes: one read, one call of the cipher and one write
// each. Large enough that calls cost nothing next to the bytes, small enough to stay in
// the processor's cache.
constexpr int32_t CipherChunkSize = 256 * 1024;

// Reads Source from its current position (its block count follows from its full size)
// and writes Dest at its current position. KeySize is 16, 24 or 32. Raises
// ECipherException on a short read or a damaged final block.
void CipherStream(TStream& Source, TStream& Dest, const uint8_t* Key, int KeySize, bool Encrypt);

// The stored size of a payload for a file of Size bytes.
constexpr int64_t CipheredSize(int64_t Size)
{
    return 16 * (Size / 16 + 1);
}

} // namespace qe
