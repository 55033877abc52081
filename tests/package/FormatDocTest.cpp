#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <string>

#include "package/EncDec.h"
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

} // namespace
} // namespace qe
