// Reader and writer of the tag-stream framing shared by the install package and the
// uninstall record: a 4-byte signature, then records of a 32-bit id, a kind byte and a
// value whose length follows from the kind. The adapter knows no ids; each format's
// parser drives it.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Streams.h"

namespace qe {

// Value kinds of a record.
enum TTagKind : uint8_t {
    tkGroup = 0,   // nested records closed by an end record
    tkByte = 1,    // 1 byte
    tkInteger = 4, // signed 32-bit
    tkString = 7,  // 32-bit count, then the bytes
    tkBinary = 8,  // 32-bit count, then the bytes
};

constexpr int32_t EndTagId = -1;

// The 32-bit value whose little-endian bytes are the four letters.
constexpr uint32_t MakeSignature(const char (&Letters)[5])
{
    return static_cast<uint32_t>(static_cast<uint8_t>(Letters[0])) |
           static_cast<uint32_t>(static_cast<uint8_t>(Letters[1])) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(Letters[2])) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(Letters[3])) << 24;
}

// Numbers in the package are 32-bit little-endian, whatever the machine.
inline void PutLE32(uint8_t* Out, uint32_t Value)
{
    for (int I = 0; I < 4; ++I)
        Out[I] = static_cast<uint8_t>(Value >> (8 * I));
}

inline uint32_t GetLE32(const uint8_t* In)
{
    return static_cast<uint32_t>(In[0]) | static_cast<uint32_t>(In[1]) << 8 | static_cast<uint32_t>(In[2]) << 16 |
           static_cast<uint32_t>(In[3]) << 24;
}

class TTagStreamAdapter {
public:
    explicit TTagStreamAdapter(TStream& Stream) : FStream(Stream) {}

    TStream& Stream() { return FStream; }

    void WriteSignature(uint32_t Value);
    void WriteTag(int32_t Id, uint8_t Kind);
    void WriteEnd() { WriteTag(EndTagId, 0); }
    void WriteByte(int32_t Id, uint8_t Value);
    void WriteInteger(int32_t Id, int32_t Value);
    void WriteString(int32_t Id, const std::string& Value);
    // Copies Count bytes from Source's current position; writes only bytes it read, and
    // raises when Source runs short (the count written would otherwise be wrong).
    void WriteStream(int32_t Id, TStream& Source, int32_t Count);

    bool CheckSignature(uint32_t Value);
    // Reads the next header; false at an end record or when the stream ends.
    bool NextTag();
    // The last NextTag met the end of the stream rather than an end record.
    bool HeaderCut() const { return FHeaderCut; }
    uint8_t ReadByte();
    int32_t ReadInteger();
    // A count that is negative or larger than what is left yields what could be read
    // (nothing is allocated beyond the stream) and leaves the stream at its end.
    std::string ReadString();
    // Reads the count of a binary value; a count that does not fit into the rest of the
    // stream moves the stream to its end and gives -1, which a parser treats as the end.
    int32_t ReadCount();
    void SkipValue();

    int32_t TagId = 0;
    uint8_t TagKind = 0;

private:
    // The count of a string or binary value, or -1 after moving to the end of the
    // stream when the count cannot be satisfied.
    int32_t ReadCheckedCount();

    TStream& FStream;
    bool FHeaderCut = false; // the last NextTag met the end of the stream
};

} // namespace qe
