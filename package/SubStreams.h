// A window onto bytes StartPos to EndPos (both inclusive) of another stream, seen as a
// stream of its own whose positions count from StartPos. It keeps no position of its
// own: it moves the inner stream's.
#pragma once

#include "platform/Streams.h"

namespace qe {

class TSubStream : public TStream {
public:
    // A window onto a stream that stays its owner's.
    TSubStream(TStream& Stream, int64_t StartPos, int64_t EndPos);
    // A window that owns its inner stream and frees it with itself.
    TSubStream(std::unique_ptr<TStream> Stream, int64_t StartPos, int64_t EndPos);

    TSubStream(const TSubStream&) = delete;
    TSubStream& operator=(const TSubStream&) = delete;

    void SetBounds(int64_t StartPos, int64_t EndPos);
    int64_t GetSize() override { return FEndPos - FStartPos + 1; }
    int32_t Read(void* Buffer, int32_t Count) override;
    int32_t Write(const void* Buffer, int32_t Count) override;
    // Raises "Seek out of range" when the result would lie before the window.
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;

    int64_t StartPos() const { return FStartPos; }
    int64_t EndPos() const { return FEndPos; }
    bool OwnsStream() const { return FOwned != nullptr; }

private:
    int32_t ClipCount(int32_t Count);

    std::unique_ptr<TStream> FOwned;
    TStream& FStream;
    int64_t FStartPos = 0;
    int64_t FEndPos = -1;
};

} // namespace qe
