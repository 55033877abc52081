#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <string>

#include "package/EncDec.h"
#include "package/Integrity.h"
#include "package/QeClasses.h"

namespace qe {
namespace {

// The documented table and mask are what other producers copy: they must be ours.
TEST(FormatDoc, StatesTheCodeTableAndTheKeyMaskOfTheCode)
{
    std::ifstream Doc(std::string(QE_SOURCE_DIR) + "/docs/package-format.md");
    ASSERT_TRUE(Doc.good());
    char Mask[8];
    std::snprintf(Mask, sizeof Mask, "0x%02X", KeyMask);
    bool TableFound = false, MaskFound = false;
    for (std::string Line; std::getline(Doc, Line);) {
        TableFound |= Line == std::string("CodeTable = \"") + CodeTable + "\"";
        MaskFound |= Line == std::string("KeyMask = ") + Mask;
    }
    EXPECT_TRUE(TableFound);
    EXPECT_TRUE(MaskFound);
}

// Another implementation checks its digest against the documented example.
TEST(FormatDoc, StatesThepiIntegrityAndADigestOfTheCode)
{
    std::ifstream Doc(std::string(QE_SOURCE_DIR) + "/docs/package-format.md");
    ASSERT_TRUE(Doc.good());
    std::string Expected = "XXH3-128(\"abc\") = ";
    char Hex[3];
    for (const uint8_t Byte : DigestOf("abc", 3)) {
        std::snprintf(Hex, sizeof Hex, "%02x", Byte);
        Expected += Hex;
    }
    const std::string Row = "| " + std::to_string(piIntegrity) + " | 8 | integrity record |";
    bool DigestFound = false, RowFound = false;
    for (std::string Line; std::getline(Doc, Line);) {
        DigestFound |= Line == Expected;
        RowFound |= Line.rfind(Row, 0) == 0;
    }
    EXPECT_TRUE(DigestFound) << Expected;
    EXPECT_TRUE(RowFound);
}

} // namespace
} // namespace qe
