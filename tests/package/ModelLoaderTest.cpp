#include "package/ModelLoader.h"

#include <gtest/gtest.h>

#include "package/PackageWriter.h"
#include "platform/sim/SimPlatform.h"

namespace qe {
namespace {

TEST(ModelLoader, OnlyTheUninstallersOwnNameMakesAnUninstaller)
{
    for (const char* Path : {"Uninstall.exe", "uninstall.EXE", "C:\\Program Files\\Demo\\UNINSTALL.EXE",
                             "/tmp/copies/Uninstall.exe", "D:Uninstall.exe"})
        EXPECT_TRUE(IsUninstallerName(Path)) << Path;
    for (const char* Path : {"setup.exe", "Uninstall2.exe", "Uninstall (2).exe", "Uninstall.exe.bak",
                             "C:\\Uninstall.exe\\setup.exe", "MyUninstall.exe", ""})
        EXPECT_FALSE(IsUninstallerName(Path)) << Path;
}

// An installer of one product, as the producer writes it.
std::string InstallerBytes()
{
    TPackageContents Contents;
    Contents.ProgramName = "Demo";
    Contents.MajorVersion = 3;
    Contents.Files.push_back(MemoryFile("{app}\\a.txt", "alpha"));
    TMemoryStream Stub(std::vector<uint8_t>(512, 0));
    TMemoryStream Out;
    WriteInstaller(Out, Stub, Contents);
    return std::string(Out.Bytes().begin(), Out.Bytes().end());
}

TEST(ModelLoader, LoadsTheModelTheNameCallsFor)
{
    sim::TSimPlatform Machine;
    Machine.FileSystem.AddFile("C:\\Downloads\\setup.exe", InstallerBytes());
    const TProgramModel Install = LoadModel(Machine.Platform(), "C:\\Downloads\\setup.exe");
    ASSERT_FALSE(Install.IsUninstall());
    EXPECT_EQ(Install.Install->ProgramName, "Demo");
    EXPECT_EQ(Install.Install->Files.size(), 1u);
    EXPECT_EQ(&Install.Data(), Install.Install.get());
    EXPECT_EQ(Install.Data().FileName, "C:\\Downloads\\setup.exe");

    // The same installer under the uninstaller's name finds no uninstall record: an empty
    // uninstaller with the defaults.
    Machine.FileSystem.AddFile("C:\\Downloads\\Uninstall.exe", InstallerBytes());
    const TProgramModel Uninstall = LoadModel(Machine.Platform(), "C:\\Downloads\\Uninstall.exe");
    ASSERT_TRUE(Uninstall.IsUninstall());
    EXPECT_EQ(Uninstall.Install, nullptr);
    EXPECT_EQ(Uninstall.Data().ProgramName, "");
    EXPECT_EQ(Uninstall.Data().MajorVersion, 1);
    EXPECT_TRUE(Uninstall.Uninstall->Files.empty());
}

TEST(ModelLoader, AFileThatCannotBeOpenedRaisesAndTheEmptyModelRemains)
{
    sim::TSimPlatform Machine;
    EXPECT_THROW(LoadModel(Machine.Platform(), "C:\\missing.exe"), EFOpenError);
    // A program keeps the empty model it made before loading failed.
    const TProgramModel Model = CreateModel(Machine.Platform(), "C:\\missing\\Uninstall.exe");
    EXPECT_THROW(Model.Data().LoadFromFile("C:\\missing\\Uninstall.exe"), EFOpenError);
    EXPECT_TRUE(Model.IsUninstall());
    EXPECT_EQ(Model.Data().FileName, "");
}

TEST(ProductFields, AModelStartsWithTheDefaultsItIsClearedTo)
{
    sim::TSimPlatform Machine;
    for (const bool Uninstall : {false, true}) {
        const TProgramModel Model = CreateModel(Machine.Platform(), Uninstall ? "Uninstall.exe" : "setup.exe");
        TQeData& Data = Model.Data();
        const TProductFields Fresh = Data;
        Data.ProgramName = "Changed";
        Data.MajorVersion = 9;
        Data.ShowNotice = 0;
        Data.Clear();
        const TProductFields Cleared = Data;
        EXPECT_EQ(Fresh.MajorVersion, 1);
        EXPECT_TRUE(Cleared == Fresh);
        EXPECT_TRUE(Fresh == TProductFields{});
    }
}

} // namespace
} // namespace qe
