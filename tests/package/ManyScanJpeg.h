// Makes JPEG files of the shape that keeps a decoder busy: a flat grey progressive
// picture whose one AC scan is repeated, so that a few bytes a scan make the decoder
// walk the whole picture once for every scan.
#pragma once

#include <string>

namespace qe::test {

// A Width x Height picture holding Scans scans in all (at least 2).
std::string ManyScanJpeg(int Width, int Height, int Scans);

} // namespace qe::test
