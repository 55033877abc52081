// The uninstall record loader on any bytes, then the uninstall run on a simulated
// machine holding an installed product: the run must always reach its end.
#include "fuzz/FuzzInput.h"
#include "package/QeUninstall.h"
#include "platform/sim/SimPlatform.h"

namespace {

// The machine as the install left it, set up once; each input runs on a copy.
qe::sim::TSimPlatform InstalledMachine()
{
    qe::sim::TSimPlatform Machine;
    Machine.FileSystem.AddFile("C:\\Program Files\\Grid Expert\\Readme.rtf", "readme");
    Machine.FileSystem.AddFile("C:\\Program Files\\MetaTrader 4\\experts\\Grid.mq4", "expert");
    Machine.Registry.SetString(qe::TRegistryRoot::rrLocalMachine,
                               "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Grid Expert", "DisplayName",
                               "Grid Expert");
    return Machine;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    static const qe::sim::TSimPlatform Installed = InstalledMachine();
    qe::sim::TSimPlatform Machine(Installed);
    qe::TMemoryStream File = qe::fuzz::AfterStub(Data, Size);
    qe::TQeUninstall Model(Machine.Platform());
    try {
        Model.LoadFromStream(File);
    } catch (const qe::Exception&) {
        return 0; // a banner that does not decode
    }
    Model.Execute();
    return 0;
}
