// Seekable byte streams: the one way bytes move through the system.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace qe {

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

// The three times of a file, as 64-bit Windows file times (100 ns units since 1601).
struct TFileTimes {
    uint64_t CreationTime = 0;
    uint64_t LastAccessTime = 0;
    uint64_t LastWriteTime = 0;
};

class TStream {
public:
    virtual ~TStream() = default;

    // Reads up to Count bytes at the current position; returns how many arrived.
    virtual int32_t Read(void* Buffer, int32_t Count) = 0;
    // Writes up to Count bytes at the current position; returns how many were taken.
    virtual int32_t Write(const void* Buffer, int32_t Count) = 0;
    // Moves the position and returns the new one.
    virtual int64_t Seek(int64_t Offset, TSeekOrigin Origin) = 0;
    virtual int64_t GetSize();
    // Pushes buffered bytes to the device; raises when they cannot be written.
    virtual void Flush() {}
    // Sets the times of the open file under the stream, so that a file just written needs
    // no second open by name; a time of 0 leaves that time as it is. False when the
    // stream is no file or the system refuses.
    virtual bool SetFileTimes(const TFileTimes& Times)
    {
        (void)Times;
        return false;
    }

    int64_t Position() { return Seek(0, TSeekOrigin::soCurrent); }
    void SetPosition(int64_t Pos) { Seek(Pos, TSeekOrigin::soBeginning); }

    // Exact transfers: raise EStreamError when fewer bytes move than asked.
    void ReadBuffer(void* Buffer, int32_t Count);
    void WriteBuffer(const void* Buffer, int32_t Count);
    void WriteString(const std::string& Bytes);
    // Copies Count bytes from Source's position, raising when it runs short; a Count of
    // 0 copies everything from Source's position to its end.
    void CopyFrom(TStream& Source, int64_t Count);
};

// A stream over bytes held in memory; it grows as it is written.
class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::vector<uint8_t> Bytes) : FOwnBytes(std::move(Bytes)) {}
    // A copy, and a stream moved from one over shared bytes, hold bytes of their own.
    TMemoryStream(const TMemoryStream& Other);
    TMemoryStream(TMemoryStream&& Other);
    TMemoryStream& operator=(const TMemoryStream&) = delete;

    int32_t Read(void* Buffer, int32_t Count) override;
    int32_t Write(const void* Buffer, int32_t Count) override;
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
    int64_t GetSize() override { return static_cast<int64_t>(FData->size()); }

    void Clear();
    void SetSize(int64_t Size);
    const std::vector<uint8_t>& Bytes() const { return *FData; }

protected:
    // A stream over bytes that another object owns and keeps while the stream lives, as
    // a simulated disk keeps a file's bytes for every stream open on it.
    explicit TMemoryStream(std::vector<uint8_t>* SharedBytes) : FData(SharedBytes) {}

private:
    std::vector<uint8_t> FOwnBytes;
    std::vector<uint8_t>* FData = &FOwnBytes;
    int64_t FPosition = 0;
};

// Buffers an unbuffered device stream (an open file), so that many small reads and
// writes cost a memory copy instead of a system call each. Owns the device stream.
class TBufferedStream : public TStream {
public:
    static constexpr int32_t DefaultBufferSize = 64 * 1024;

    explicit TBufferedStream(std::unique_ptr<TStream> Device, int32_t BufferSize = DefaultBufferSize);
    ~TBufferedStream() override;

    int32_t Read(void* Buffer, int32_t Count) override;
    int32_t Write(const void* Buffer, int32_t Count) override;
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
    int64_t GetSize() override;
    void Flush() override;
    // Pushes buffered writes to the file first, so that none moves the times afterwards.
    bool SetFileTimes(const TFileTimes& Times) override;

    TStream& Device() { return *FDevice; }

private:
    void DropReadBuffer();
    void FlushWrites();

    std::unique_ptr<TStream> FDevice;
    int32_t FCapacity;
    // Only bytes already read or written are ever used, so the buffer is not cleared.
    std::unique_ptr<uint8_t[]> FBuffer;
    int64_t FPosition = 0;    // logical position of the stream
    int64_t FBufferStart = 0; // device position of FBuffer[0]
    int32_t FReadLength = 0;  // bytes of FBuffer holding read data
    int32_t FWriteLength = 0; // bytes of FBuffer holding unwritten data
};

} // namespace qe
