// The banner picture: JPEG file contents, checked by decoding them when loaded and
// kept unchanged, so that saving writes back exactly the bytes that were loaded.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Exceptions.h"
#include "platform/Streams.h"

namespace qe {

// A picture that does not decode; the message is the decoder's own.
class EJpegError : public Exception {
public:
    using Exception::Exception;
};

// A picture over the bounds a banner is decoded within: too many pixels or too many
// scans. Decoding such a file could take seconds and much memory whatever its size on
// disk, so it is refused before or while it is read.
class EJpegBoundsError : public EJpegError {
public:
    using EJpegError::EJpegError;
};

// The bounds of a banner picture. A banner is about 160 x 320 pixels; a sequential
// JPEG has one scan per component and a progressive one about ten.
constexpr uint64_t MaxJpegPixels = 1024 * 1024;
constexpr int MaxJpegScans = 64;

struct TRgbPicture {
    int Width = 0;
    int Height = 0;
    std::vector<uint8_t> Pixels; // rows from the top, 3 bytes (R, G, B) a pixel
};

class TJpegImage {
public:
    bool Empty() const { return FBytes.empty(); }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    const std::string& Bytes() const { return FBytes; }

    // Loads the rest of Stream, from its position to its end, as a JPEG file.
    void LoadFromStream(TStream& Stream);
    // Raises EJpegError and keeps the previous picture when Bytes do not decode, and
    // EJpegBoundsError when they are over the bounds above. Empty bytes make an empty
    // picture.
    void LoadFromBytes(std::string Bytes);
    void SaveToStream(TStream& Stream) const;
    TRgbPicture Decode() const;

private:
    std::string FBytes;
    int FWidth = 0;
    int FHeight = 0;
};

} // namespace qe
