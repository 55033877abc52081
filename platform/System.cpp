#include "platform/System.h"

#include <vector>

#include "platform/Exceptions.h"

namespace qe {

std::string RandomName(ISystem& System, size_t Bytes)
{
    std::vector<uint8_t> Random(Bytes);
    if (!System.RandomBytes(Random.data(), Random.size()))
        throw Exception("No random source");
    std::string Name;
    for (const uint8_t Byte : Random) {
        Name += "0123456789abcdef"[Byte >> 4];
        Name += "0123456789abcdef"[Byte & 15];
    }
    return Name;
}

} // namespace qe
