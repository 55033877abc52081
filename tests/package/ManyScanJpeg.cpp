#include "tests/package/ManyScanJpeg.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <vector>
// libjpeg's header needs size_t and FILE declared before it.
#include <jpeglib.h>

namespace qe::test {
namespace {

// Encodes a flat grey picture with one DC scan and one AC scan of all 63 coefficients.
std::string TwoScanJpeg(int Width, int Height)
{
    jpeg_compress_struct Info;
    jpeg_error_mgr Errors;
    Info.err = jpeg_std_error(&Errors);
    jpeg_create_compress(&Info);
    unsigned char* Buffer = nullptr;
    unsigned long Size = 0;
    jpeg_mem_dest(&Info, &Buffer, &Size);
    Info.image_width = static_cast<JDIMENSION>(Width);
    Info.image_height = static_cast<JDIMENSION>(Height);
    Info.input_components = 1;
    Info.in_color_space = JCS_GRAYSCALE;
    jpeg_set_defaults(&Info);
    jpeg_scan_info Scans[2] = {{1, {0, 0, 0, 0}, 0, 0, 0, 0}, {1, {0, 0, 0, 0}, 1, 63, 0, 0}};
    Info.scan_info = Scans;
    Info.num_scans = 2;
    jpeg_start_compress(&Info, TRUE);
    std::vector<JSAMPLE> Row(static_cast<size_t>(Width), 128);
    JSAMPROW Rows[1] = {Row.data()};
    while (Info.next_scanline < Info.image_height)
        jpeg_write_scanlines(&Info, Rows, 1);
    jpeg_finish_compress(&Info);
    jpeg_destroy_compress(&Info);
    std::string Bytes(reinterpret_cast<const char*>(Buffer), Size);
    std::free(Buffer);
    return Bytes;
}

bool IsMarker(const std::string& Bytes, size_t I)
{
    if (I + 1 >= Bytes.size() || static_cast<uint8_t>(Bytes[I]) != 0xFF)
        return false;
    const auto Code = static_cast<uint8_t>(Bytes[I + 1]);
    return Code != 0 && (Code < 0xD0 || Code > 0xD7); // stuffed bytes and restarts are scan data
}

} // namespace

std::string ManyScanJpeg(int Width, int Height, int Scans)
{
    const std::string Two = TwoScanJpeg(Width, Height);
    // The second scan, with the table that precedes it, runs from the end of the first
    // scan's data to the end-of-image marker.
    const size_t FirstScan = Two.find("\xFF\xDA");
    if (FirstScan == std::string::npos || Two.size() < 2 || Two.compare(Two.size() - 2, 2, "\xFF\xD9") != 0)
        throw std::runtime_error("unexpected encoder output");
    const size_t HeaderLength =
        static_cast<size_t>(static_cast<uint8_t>(Two[FirstScan + 2])) << 8 | static_cast<uint8_t>(Two[FirstScan + 3]);
    size_t SecondStart = FirstScan + 2 + HeaderLength;
    while (!IsMarker(Two, SecondStart))
        ++SecondStart;
    const size_t End = Two.size() - 2;
    const std::string Second = Two.substr(SecondStart, End - SecondStart);
    std::string Result = Two.substr(0, End);
    for (int I = 2; I < Scans; ++I)
        Result += Second;
    return Result + "\xFF\xD9";
}

} // namespace qe::test
