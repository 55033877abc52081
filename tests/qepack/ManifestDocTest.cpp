// The manifest reference documents exactly the keys the parser accepts, each in the
// section of its table.
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "tools/qepack/Manifest.h"
#include "tools/qepack/TargetRules.h"

namespace qe {
namespace {

std::string ReadDoc()
{
    std::ifstream Doc(std::string(QE_SOURCE_DIR) + "/docs/manifest.md", std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(Doc)), std::istreambuf_iterator<char>());
}

TEST(ManifestDoc, DocumentsEveryKeyInItsTableAndNoOther)
{
    std::map<std::string, std::set<std::string>> Documented;
    std::string Table;
    std::istringstream Doc(ReadDoc());
    for (std::string Line; std::getline(Doc, Line);) {
        if (Line.starts_with("## ")) {
            // "## [product]" or "## [[file]]"; other sections hold no keys.
            const size_t Open = Line.find_first_not_of("[ #");
            Table = Line.find('[') == std::string::npos ? "" : Line.substr(Open, Line.find(']') - Open);
        } else if (!Table.empty() && Line.starts_with("| `")) {
            Documented[Table].insert(Line.substr(3, Line.find('`', 3) - 3));
        }
    }
    std::map<std::string, std::set<std::string>> Accepted;
    for (const TManifestKey& Key : ManifestKeys)
        Accepted[Key.Table].insert(Key.Key);
    EXPECT_EQ(Documented, Accepted);
}

TEST(ManifestDoc, NamesEveryMacro)
{
    const std::string Doc = ReadDoc();
    for (const TTargetMacro& Macro : TargetMacros)
        EXPECT_NE(Doc.find(std::string("| `") + Macro.Name + "` |"), std::string::npos) << Macro.Name;
}

} // namespace
} // namespace qe
