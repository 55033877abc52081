// Files through the C library: the file system of the package producer, which runs on
// Linux and Windows alike, and of the host tests.
#pragma once

#include "platform/FileSystem.h"

namespace qe {

class TStdioFileSystem : public IFileSystem {
public:
    std::unique_ptr<TStream> OpenForReading(const std::string& Path) override;
    std::unique_ptr<TStream> CreateForWriting(const std::string& Path) override;
};

} // namespace qe
