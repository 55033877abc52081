#include "package/SubStreams.h"

#include "platform/Exceptions.h"

namespace qe {

TSubStream::TSubStream(TStream& Stream, int64_t StartPos, int64_t EndPos) : FStream(Stream)
{
    SetBounds(StartPos, EndPos);
}

TSubStream::TSubStream(std::unique_ptr<TStream> Stream, int64_t StartPos, int64_t EndPos)
    : FOwned(std::move(Stream)), FStream(*FOwned)
{
    SetBounds(StartPos, EndPos);
}

void TSubStream::SetBounds(int64_t StartPos, int64_t EndPos)
{
    FStartPos = StartPos;
    FEndPos = EndPos;
    const int64_t Pos = FStream.Position();
    if (Pos < FStartPos)
        FStream.Seek(FStartPos, TSeekOrigin::soBeginning);
    else if (Pos > FEndPos)
        FStream.Seek(FEndPos, TSeekOrigin::soBeginning);
}

int32_t TSubStream::ClipCount(int32_t Count)
{
    const int64_t Pos = FStream.Position();
    if (Pos + Count - 1 > FEndPos)
        return static_cast<int32_t>(std::max<int64_t>(FEndPos - Pos + 1, 0));
    return Count;
}

int32_t TSubStream::Read(void* Buffer, int32_t Count)
{
    Count = ClipCount(Count);
    return Count <= 0 ? 0 : FStream.Read(Buffer, Count);
}

int32_t TSubStream::Write(const void* Buffer, int32_t Count)
{
    Count = ClipCount(Count);
    return Count <= 0 ? 0 : FStream.Write(Buffer, Count);
}

int64_t TSubStream::Seek(int64_t Offset, TSeekOrigin Origin)
{
    int64_t Inner = 0;
    switch (Origin) {
    case TSeekOrigin::soBeginning: Inner = FStream.Seek(FStartPos + Offset, TSeekOrigin::soBeginning); break;
    case TSeekOrigin::soCurrent: Inner = FStream.Seek(Offset, TSeekOrigin::soCurrent); break;
    case TSeekOrigin::soEnd: Inner = FStream.Seek(FEndPos + 1 + Offset, TSeekOrigin::soBeginning); break;
    default: return 0;
    }
    const int64_t Result = Inner - FStartPos;
    if (Result < 0)
        throw Exception("Seek out of range");
    return Result;
}

} // namespace qe
