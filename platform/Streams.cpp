#include "Streams.h"

#include <algorithm>
#include <cstring>

#include "Exceptions.h"

namespace qe {

int64_t TStream::GetSize()
{
    const int64_t Pos = Seek(0, TSeekOrigin::soCurrent);
    const int64_t Size = Seek(0, TSeekOrigin::soEnd);
    Seek(Pos, TSeekOrigin::soBeginning);
    return Size;
}

void TStream::ReadBuffer(void* Buffer, int32_t Count)
{
    if (Count > 0 && Read(Buffer, Count) != Count)
        throw EStreamError("Stream read error");
}

void TStream::WriteBuffer(const void* Buffer, int32_t Count)
{
    if (Count > 0 && Write(Buffer, Count) != Count)
        throw EStreamError("Stream write error");
}

void TStream::WriteString(const std::string& Bytes)
{
    WriteBuffer(Bytes.data(), static_cast<int32_t>(Bytes.size()));
}

void TStream::CopyFrom(TStream& Source, int64_t Count)
{
    std::vector<uint8_t> Buffer(64 * 1024);
    const bool Whole = Count == 0;
    while (Whole || Count > 0) {
        const auto Chunk = static_cast<int32_t>(Whole ? Buffer.size() : std::min<int64_t>(Count, Buffer.size()));
        const int32_t Got = Source.Read(Buffer.data(), Chunk);
        if (Whole && Got <= 0)
            break;
        if (!Whole && Got != Chunk)
            throw EStreamError("Stream read error");
        WriteBuffer(Buffer.data(), Got);
        Count -= Got;
    }
}

// --- TMemoryStream ---

TMemoryStream::TMemoryStream(const TMemoryStream& Other) : FOwnBytes(*Other.FData), FPosition(Other.FPosition) {}

TMemoryStream::TMemoryStream(TMemoryStream&& Other) : FPosition(Other.FPosition)
{
    if (Other.FData == &Other.FOwnBytes)
        FOwnBytes = std::move(Other.FOwnBytes);
    else
        FOwnBytes = *Other.FData;
}

int32_t TMemoryStream::Read(void* Buffer, int32_t Count)
{
    const int64_t Size = GetSize();
    if (Count <= 0 || FPosition < 0 || FPosition >= Size)
        return 0;
    const int32_t N = static_cast<int32_t>(std::min<int64_t>(Count, Size - FPosition));
    std::memcpy(Buffer, FData->data() + FPosition, static_cast<size_t>(N));
    FPosition += N;
    return N;
}

int32_t TMemoryStream::Write(const void* Buffer, int32_t Count)
{
    if (Count <= 0 || FPosition < 0)
        return 0;
    const int64_t End = FPosition + Count;
    if (End > GetSize())
        FData->resize(static_cast<size_t>(End));
    std::memcpy(FData->data() + FPosition, Buffer, static_cast<size_t>(Count));
    FPosition = End;
    return Count;
}

int64_t TMemoryStream::Seek(int64_t Offset, TSeekOrigin Origin)
{
    switch (Origin) {
    case TSeekOrigin::soBeginning: FPosition = Offset; break;
    case TSeekOrigin::soCurrent: FPosition += Offset; break;
    case TSeekOrigin::soEnd: FPosition = GetSize() + Offset; break;
    }
    return FPosition;
}

void TMemoryStream::Clear()
{
    FData->clear();
    FPosition = 0;
}

void TMemoryStream::SetSize(int64_t Size)
{
    FData->resize(static_cast<size_t>(std::max<int64_t>(Size, 0)));
    FPosition = std::min(FPosition, GetSize());
}

// --- TBufferedStream ---

TBufferedStream::TBufferedStream(std::unique_ptr<TStream> Device, int32_t BufferSize)
    : FDevice(std::move(Device)), FCapacity(std::max(BufferSize, 16)),
      FBuffer(std::make_unique_for_overwrite<uint8_t[]>(static_cast<size_t>(FCapacity)))
{
    FPosition = FDevice->Seek(0, TSeekOrigin::soCurrent);
}

TBufferedStream::~TBufferedStream()
{
    try {
        FlushWrites();
    } catch (...) {
        // A destructor cannot report; callers that care call Flush first.
    }
}

void TBufferedStream::DropReadBuffer()
{
    FReadLength = 0;
}

void TBufferedStream::FlushWrites()
{
    if (FWriteLength == 0)
        return;
    const int32_t Pending = FWriteLength;
    FWriteLength = 0;
    FDevice->Seek(FBufferStart, TSeekOrigin::soBeginning);
    if (FDevice->Write(FBuffer.get(), Pending) != Pending)
        throw EStreamError("Stream write error");
}

void TBufferedStream::Flush()
{
    FlushWrites();
    FDevice->Flush();
}

bool TBufferedStream::SetFileTimes(const TFileTimes& Times)
{
    FlushWrites();
    return FDevice->SetFileTimes(Times);
}

int32_t TBufferedStream::Read(void* Buffer, int32_t Count)
{
    if (Count <= 0 || FPosition < 0)
        return 0;
    FlushWrites();
    auto* Out = static_cast<uint8_t*>(Buffer);
    int32_t Done = 0;
    while (Done < Count) {
        const int64_t Offset = FPosition - FBufferStart;
        if (FReadLength > 0 && Offset >= 0 && Offset < FReadLength) {
            const int32_t N = std::min<int32_t>(Count - Done, FReadLength - static_cast<int32_t>(Offset));
            std::memcpy(Out + Done, FBuffer.get() + Offset, static_cast<size_t>(N));
            Done += N;
            FPosition += N;
            continue;
        }
        const int32_t Left = Count - Done;
        FDevice->Seek(FPosition, TSeekOrigin::soBeginning);
        if (Left >= FCapacity) {
            // Large reads go straight to the caller's memory.
            DropReadBuffer();
            const int32_t N = FDevice->Read(Out + Done, Left);
            if (N <= 0)
                break;
            Done += N;
            FPosition += N;
            continue;
        }
        FBufferStart = FPosition;
        FReadLength = std::max(FDevice->Read(FBuffer.get(), FCapacity), 0);
        if (FReadLength == 0)
            break;
    }
    return Done;
}

int32_t TBufferedStream::Write(const void* Buffer, int32_t Count)
{
    if (Count <= 0 || FPosition < 0)
        return 0;
    DropReadBuffer();
    const bool Continues = FWriteLength > 0 && FPosition == FBufferStart + FWriteLength;
    if (!Continues || Count > FCapacity - FWriteLength)
        FlushWrites();
    if (Count >= FCapacity) {
        FDevice->Seek(FPosition, TSeekOrigin::soBeginning);
        const int32_t N = std::max(FDevice->Write(Buffer, Count), 0);
        FPosition += N;
        return N;
    }
    if (FWriteLength == 0)
        FBufferStart = FPosition;
    std::memcpy(FBuffer.get() + FWriteLength, Buffer, static_cast<size_t>(Count));
    FWriteLength += Count;
    FPosition += Count;
    return Count;
}

int64_t TBufferedStream::Seek(int64_t Offset, TSeekOrigin Origin)
{
    switch (Origin) {
    case TSeekOrigin::soBeginning: FPosition = Offset; break;
    case TSeekOrigin::soCurrent: FPosition += Offset; break;
    case TSeekOrigin::soEnd: FPosition = GetSize() + Offset; break;
    }
    return FPosition;
}

int64_t TBufferedStream::GetSize()
{
    const int64_t DeviceSize = FDevice->GetSize();
    return FWriteLength > 0 ? std::max(DeviceSize, FBufferStart + FWriteLength) : DeviceSize;
}

} // namespace qe
