#include "platform/System.h"

#include <vector>

#include "platform/Exceptions.h"

namespace qe {

std::string RandomHex(ISystem& System, size_t Bytes)
{
    std::vector<uint8_t> Random(Bytes);
    if (!System.RandomBytes(Random.data(), Random.size()))
        throw Exception("No random source");
    std::string Text;
    for (const uint8_t Byte : Random) {
        Text += "0123456789abcdef"[Byte >> 4];
        Text += "0123456789abcdef"[Byte & 15];
    }
    return Text;
}

} // namespace qe
