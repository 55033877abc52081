#include "package/TagStreams.h"

#include <array>
#include <vector>

#include "platform/Exceptions.h"

namespace qe {

void TTagStreamAdapter::WriteSignature(uint32_t Value)
{
    uint8_t Bytes[4];
    PutLE32(Bytes, Value);
    FStream.WriteBuffer(Bytes, 4);
}

void TTagStreamAdapter::WriteTag(int32_t Id, uint8_t Kind)
{
    uint8_t Header[5];
    PutLE32(Header, static_cast<uint32_t>(Id));
    Header[4] = Kind;
    FStream.WriteBuffer(Header, 5);
}

void TTagStreamAdapter::WriteByte(int32_t Id, uint8_t Value)
{
    WriteTag(Id, tkByte);
    FStream.WriteBuffer(&Value, 1);
}

void TTagStreamAdapter::WriteInteger(int32_t Id, int32_t Value)
{
    WriteTag(Id, tkInteger);
    uint8_t Bytes[4];
    PutLE32(Bytes, static_cast<uint32_t>(Value));
    FStream.WriteBuffer(Bytes, 4);
}

void TTagStreamAdapter::WriteString(int32_t Id, const std::string& Value)
{
    WriteTag(Id, tkString);
    uint8_t Count[4];
    PutLE32(Count, static_cast<uint32_t>(Value.size()));
    FStream.WriteBuffer(Count, 4);
    if (!Value.empty())
        FStream.WriteString(Value);
}

void TTagStreamAdapter::WriteStream(int32_t Id, TStream& Source, int32_t Count)
{
    WriteTag(Id, tkBinary);
    uint8_t CountBytes[4];
    PutLE32(CountBytes, static_cast<uint32_t>(Count));
    FStream.WriteBuffer(CountBytes, 4);
    std::array<uint8_t, 4096> Buffer;
    int32_t Remaining = Count;
    while (Remaining > 0) {
        const int32_t Chunk = std::min<int32_t>(Remaining, static_cast<int32_t>(Buffer.size()));
        const int32_t Got = Source.Read(Buffer.data(), Chunk);
        if (Got <= 0)
            throw EStreamError("Stream read error");
        FStream.WriteBuffer(Buffer.data(), Got);
        Remaining -= Got;
    }
}

bool TTagStreamAdapter::CheckSignature(uint32_t Value)
{
    uint8_t Bytes[4];
    return FStream.Read(Bytes, 4) == 4 && GetLE32(Bytes) == Value;
}

bool TTagStreamAdapter::NextTag()
{
    uint8_t Header[5];
    FHeaderCut = FStream.Read(Header, 5) != 5;
    if (FHeaderCut)
        return false;
    TagId = static_cast<int32_t>(GetLE32(Header));
    TagKind = Header[4];
    return TagId != EndTagId;
}

uint8_t TTagStreamAdapter::ReadByte()
{
    uint8_t Value = 0;
    FStream.Read(&Value, 1);
    return Value;
}

int32_t TTagStreamAdapter::ReadInteger()
{
    uint8_t Bytes[4] = {0, 0, 0, 0};
    FStream.Read(Bytes, 4);
    return static_cast<int32_t>(GetLE32(Bytes));
}

int32_t TTagStreamAdapter::ReadCheckedCount()
{
    uint8_t Bytes[4];
    if (FStream.Read(Bytes, 4) != 4)
        return -1;
    const auto Count = static_cast<int32_t>(GetLE32(Bytes));
    const int64_t Left = FStream.GetSize() - FStream.Position();
    if (Count < 0 || Count > Left) {
        FStream.Seek(0, TSeekOrigin::soEnd);
        return -1;
    }
    return Count;
}

std::string TTagStreamAdapter::ReadString()
{
    const int32_t Count = ReadCheckedCount();
    if (Count <= 0)
        return {};
    std::string Value(static_cast<size_t>(Count), '\0');
    Value.resize(static_cast<size_t>(std::max(FStream.Read(Value.data(), Count), 0)));
    return Value;
}

int32_t TTagStreamAdapter::ReadCount()
{
    return ReadCheckedCount();
}

void TTagStreamAdapter::SkipValue()
{
    // Groups nest without limit in a damaged stream, so nesting is counted rather
    // than recursed into.
    int64_t OpenGroups = 0;
    for (;;) {
        switch (TagKind) {
        case tkGroup: ++OpenGroups; break;
        case 1:
        case 2: FStream.Seek(1, TSeekOrigin::soCurrent); break;
        case 3: FStream.Seek(2, TSeekOrigin::soCurrent); break;
        case 4:
        case 5: FStream.Seek(4, TSeekOrigin::soCurrent); break;
        case 6: FStream.Seek(8, TSeekOrigin::soCurrent); break;
        case 7:
        case 8: {
            const int32_t Count = ReadCheckedCount();
            if (Count > 0)
                FStream.Seek(Count, TSeekOrigin::soCurrent);
            break;
        }
        default: break;
        }
        // Close the groups whose end records follow; stop at the end of the stream.
        for (;;) {
            if (OpenGroups == 0)
                return;
            if (NextTag())
                break;
            if (FHeaderCut)
                return;
            --OpenGroups;
        }
    }
}

} // namespace qe
