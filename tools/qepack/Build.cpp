#include "tools/qepack/Build.h"

#include <filesystem>

#include "tools/qepack/Manifest.h"
#include "tools/qepack/StubCheck.h"

namespace qe {

void BuildInstaller(const std::string& ManifestPath, const std::string& OutPath, const std::string& StubPath)
{
    TStdioFiles Files;
    TPackageContents Contents = LoadManifest(ManifestPath, Files);
    Contents.PayloadKey = RandomPayloadKey();
    auto Stub = Files.OpenForReading(StubPath);
    CheckStub(*Stub, StubPath);
    WriteInstallerFile(Contents, *Stub, OutPath, Files);
}

void WriteInstallerFile(const TPackageContents& Contents, TStream& Stub, const std::string& OutPath, TStdioFiles& Files)
{
    namespace fs = std::filesystem;
    const std::string TempPath = OutPath + ".partial";
    try {
        {
            auto Out = Files.CreateForWriting(TempPath);
            WriteInstaller(*Out, Stub, Contents);
        }
        fs::rename(TempPath, OutPath);
    } catch (...) {
        std::error_code Ignored;
        fs::remove(TempPath, Ignored);
        throw;
    }
}

} // namespace qe
