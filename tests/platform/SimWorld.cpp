// The conformance suite's world on the simulated Windows.
#include "platform/sim/SimPlatform.h"
#include "tests/platform/ConformanceWorld.h"

namespace qe::test {
namespace {

class TSimWorld : public IConformanceWorld {
public:
    TSimWorld()
    {
        FMachine.FileSystem.AddFolders(Scratch());
        // The program that runs the suite.
        FMachine.FileSystem.AddFile(sim::TSimPlatform::ExePath, "MZ conformance");
    }

    const TPlatform& Platform() override { return FMachine.Platform(); }
    std::string Scratch() override { return "C:\\Users\\User\\AppData\\Local\\Temp\\Conformance"; }
    std::string RegistryKey() override { return "Software\\QeConformance"; }
    void SetVariable(const std::string& Name, const std::string& Value) override
    {
        FMachine.System.SetVariable(Name, Value);
    }
    void HoldOpen(const std::string& Path) override { FMachine.FileSystem.SetInUse(Path, true); }
    bool KeepsCreationTimes() override { return true; }
    bool LimitsFolderPaths() override { return true; }
    void OpenWindow(const std::string& ClassName) override { FMachine.System.AddWindow(ClassName); }
    uint32_t LastError() override { return FMachine.FileSystem.LastError(); }
    void SetTempFolder(const std::string& Path) override
    {
        FMachine.System.SetFolders(FMachine.System.WindowsFolder(), FMachine.System.SystemFolder(), Path);
    }

    std::optional<TPrivateTo> PrivateTo(const std::string& Path) override
    {
        return FMachine.FileSystem.PrivateTo(Path);
    }
    bool KeepsAccessLists() override { return true; }
    bool MakeLink(const std::string& Path, const std::string& Target, bool Folder) override
    {
        FMachine.FileSystem.AddLink(Path, Target, Folder);
        return true;
    }

private:
    sim::TSimPlatform FMachine;
};

} // namespace

std::unique_ptr<IConformanceWorld> MakeConformanceWorld()
{
    return std::make_unique<TSimWorld>();
}

} // namespace qe::test
