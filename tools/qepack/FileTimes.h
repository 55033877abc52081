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

} // namespace qe
