// The install run checks the whole package before it changes anything on the machine.
#include "language/Languages.h"
#include "package/Integrity.h"
#include "tests/engine/EngineFixture.h"
#include "tests/engine/MachineSnapshot.h"

namespace qe::test {
namespace {

TEST_F(EngineTest, ADamagedInstallerIsRefusedBeforeAnyChange)
{
    Contents.Files.push_back(MemoryFile("{metatrader}\\MQL4\\Experts\\Grid.ex4", std::string(5000, 'g')));
    Contents.Files.push_back(MemoryFile("{app}\\Manual.txt", "manual", "Manual"));
    Contents.Readme = "{\\rtf1 readme}";
    const auto Offset = static_cast<size_t>(LoadInstaller()->Files[1]->PayloadOffset);
    std::string Bytes = M.FileSystem.FileContents(sim::TSimPlatform::ExePath);
    Bytes[Offset + 3] ^= 0x40;
    M.FileSystem.AddFile(sim::TSimPlatform::ExePath, Bytes);
    auto Install = OpenInstaller();
    const TMachineSnapshot Before = Snapshot(M);

    Install->TargetFolders = {T1, T2};
    try {
        Install->Execute();
        FAIL() << "installed";
    } catch (const EPackageDamaged& Error) {
        EXPECT_EQ(Error.Message(), "The installer is damaged: the contents of Manual.txt do not match their digest. "
                                   "Download it again.");
    }
    EXPECT_EQ(Snapshot(M), Before);
    EXPECT_TRUE(Lines.empty());
    EXPECT_TRUE(Install->InstallLog.empty());

    // In the wizard's language, the file named within the sentence as that language puts it.
    const TTextTable Turkish = LoadTexts("tr");
    Install->Texts = &Turkish;
    try {
        Install->Execute();
        FAIL() << "installed";
    } catch (const EPackageDamaged& Error) {
        EXPECT_EQ(Error.Message(), "Kurulum programı hasarlı: Manual.txt dosyasının içeriği özet değeriyle uyuşmuyor. "
                                   "Lütfen yeniden indirin.");
    }
    EXPECT_EQ(Snapshot(M), Before);
}

} // namespace
} // namespace qe::test
