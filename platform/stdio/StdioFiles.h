// Files through the C library: the file system of the package producer, which runs on
// Linux and Windows alike, and of the host tests.
#pragma once

#include <memory>
#include <string>

#include "platform/Streams.h"

namespace qe {

// Opens files with the C library; buffered streams, errors as EFOpenError and
// EFCreateError with the messages of the rest of the system. Paths are UTF-8.
class TStdioFiles {
public:
    std::unique_ptr<TStream> OpenForReading(const std::string& Path);
    std::unique_ptr<TStream> CreateForWriting(const std::string& Path);
    // The bytes of a file, read whole.
    std::string ReadWhole(const std::string& Path);
    // The full path of the running program; empty when the system does not tell.
    static std::string ExecutablePath();
};

} // namespace qe
