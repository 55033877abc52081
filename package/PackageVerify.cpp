#include "package/PackageVerify.h"

#include "package/Integrity.h"
#include "package/JpegImage.h"
#include "package/QeClasses.h"

namespace qe {

bool VerifyFile(const std::string& Path, TStdioFiles& Files, std::ostream& Out)
{
    auto Stream = Files.OpenForReading(Path);
    const TPlatform FilesOnly; // the model is only loaded here, never run
    TQeInstall Model(FilesOnly);
    try {
        Model.LoadFromStream(*Stream);
    } catch (const EJpegError& Error) {
        Out << "FAULT  its banner does not decode: " << Error.Message() << "\n";
        return false;
    }
    // The same check the installer makes before it installs anything.
    const TPackageCheck Check = CheckPackage(*Stream, Model);
    if (!Check.HasPackage) {
        Out << Path << ": no install package\n";
        return false;
    }
    for (const std::string& Fault : Check.PackageFaults)
        Out << "FAULT  " << Fault << "\n";
    for (size_t I = 0; I < Model.Files.size(); ++I) {
        if (Check.FileSound(I))
            Out << "ok     " << Model.Files[I]->Target << " (" << Check.FileSizes[I] << " bytes)\n";
        else
            Out << "FAULT  " << Check.FileFault(I, Model.Files[I]->Target) << "\n";
    }
    if (!Check.HasIntegrityRecord)
        Out << "no integrity record (an older producer's package): payloads checked without digests\n";
    Out << Model.Files.size() << " files, " << (Check.Sound() ? "all sound" : "faults found") << "\n";
    return Check.Sound();
}

} // namespace qe
