// The file system as the system uses it. Paths are ANSI strings.
#pragma once

#include <memory>
#include <string>

#include "platform/Streams.h"

namespace qe {

class IFileSystem {
public:
    virtual ~IFileSystem() = default;

    // Opens an existing file for reading only; raises EFOpenError
    // ("Cannot open file "%s". %s") when it cannot.
    virtual std::unique_ptr<TStream> OpenForReading(const std::string& Path) = 0;
    // Creates a file for writing, replacing an existing one; raises EFCreateError
    // ("Cannot create file "%s". %s") when it cannot.
    virtual std::unique_ptr<TStream> CreateForWriting(const std::string& Path) = 0;
};

} // namespace qe
