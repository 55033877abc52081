#include "platform/CaseFolding.h"

#include <array>

namespace qe {
namespace {

// The capital of each Windows-1252 byte; small letters without a capital in the code
// page ("ß", "µ") stay as they are.
constexpr std::array<unsigned char, 256> MakeUpperTable()
{
    std::array<unsigned char, 256> Table{};
    for (int C = 0; C < 256; ++C)
        Table[static_cast<size_t>(C)] = static_cast<unsigned char>(C);
    for (int C = 'a'; C <= 'z'; ++C)
        Table[static_cast<size_t>(C)] = static_cast<unsigned char>(C - 'a' + 'A');
    Table[0x9A] = 0x8A; // š Š
    Table[0x9C] = 0x8C; // œ Œ
    Table[0x9E] = 0x8E; // ž Ž
    Table[0xFF] = 0x9F; // ÿ Ÿ
    for (int C = 0xE0; C <= 0xFE; ++C)
        if (C != 0xF7) // ÷ is no letter
            Table[static_cast<size_t>(C)] = static_cast<unsigned char>(C - 0x20);
    return Table;
}

constexpr std::array<unsigned char, 256> UpperTable = MakeUpperTable();

} // namespace

std::string FoldCase(const std::string& Text)
{
    std::string Result = Text;
    for (char& C : Result)
        C = static_cast<char>(UpperTable[static_cast<unsigned char>(C)]);
    return Result;
}

} // namespace qe
