// Creation and last-write times of a source file as Windows file times (100-ns
// intervals since 1 January 1601, UTC).
#pragma once

#include <cstdint>
#include <string>

namespace qe {

struct TSourceTimes {
    uint64_t CreationTime = 0;
    uint64_t WriteTime = 0;
};

// Raises qe::Exception naming the file when its times cannot be read. Where the file
// system keeps no creation time, the last-write time stands in for it.
TSourceTimes ReadSourceTimes(const std::string& Path);

// Gives the file at Path these times, as the installer gives them: WriteTime as its last
// access and last write. Where the file system keeps no settable creation time, only
// those two are set. Raises qe::Exception naming the file on failure.
void SetFileTimes(const std::string& Path, const TSourceTimes& Times);

} // namespace qe
