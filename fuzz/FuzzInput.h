// What the fuzz targets share: an input placed after a small stand-in for the program,
// as the program finds its package or record after itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "package/QeClasses.h"
#include "platform/Streams.h"

namespace qe::fuzz {

// Bytes of the stand-in program: the offset field and nothing else of use.
constexpr uint32_t StubSize = 140;

inline TMemoryStream AfterStub(const uint8_t* Data, size_t Size)
{
    std::vector<uint8_t> Bytes(StubSize, 0);
    Bytes.insert(Bytes.end(), Data, Data + Size);
    TMemoryStream File(std::move(Bytes));
    WritePackageOffset(File, StubSize);
    File.SetPosition(0);
    return File;
}

} // namespace qe::fuzz
