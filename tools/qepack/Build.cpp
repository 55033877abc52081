#include "tools/qepack/Build.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "package/Integrity.h"
#include "package/PayloadCipher.h"
#include "platform/stdio/Utf8Path.h"
#include "tools/qepack/Manifest.h"
#include "tools/qepack/StubCheck.h"
#include "tools/qepack/TargetRules.h"
#include "tools/qepack/VersionResource.h"

namespace qe {
namespace {

namespace fs = std::filesystem;

// The installer must not replace what it is made from.
void CheckOutput(const std::string& OutPath, const std::vector<std::string>& Inputs)
{
    std::error_code Error;
    if (fs::is_directory(PathOf(OutPath), Error))
        throw Exception("-o \"" + OutPath + "\" is a folder; name the installer file to write, as -o " +
                        TextOf(PathOf(OutPath) / "Setup.exe"));
    const fs::path Out = fs::weakly_canonical(PathOf(OutPath), Error);
    for (const std::string& Input : Inputs) {
        std::error_code Ignored;
        if (fs::weakly_canonical(PathOf(Input), Ignored) == Out ||
            fs::equivalent(PathOf(OutPath), PathOf(Input), Ignored))
            throw Exception("-o \"" + OutPath + "\" names an input of the build (\"" + Input +
                            "\"); write the installer to a file of its own");
    }
}

TPayloadKey ChooseKey(const TBuildOptions& Options, const std::string& ManifestBytes)
{
    if (Options.Key)
        return *Options.Key;
    if (const char* Epoch = std::getenv("SOURCE_DATE_EPOCH"); Epoch != nullptr && *Epoch != '\0')
        return DerivedPayloadKey(Epoch, ManifestBytes, Options.Defines);
    return RandomPayloadKey();
}

TVersionInfo VersionOf(const TPackageContents& C, const TProductDescription& Product, const std::string& OutPath)
{
    TVersionInfo Info;
    Info.ProductName = C.ProgramName;
    Info.CompanyName = C.Publisher;
    Info.FileDescription = Product.Description.empty() ? C.ProgramName + " Setup" : Product.Description;
    Info.LegalCopyright = Product.Copyright;
    Info.OriginalFilename = TextOf(PathOf(OutPath).filename());
    Info.Major = C.MajorVersion;
    Info.Minor = C.MinorVersion;
    Info.Build = C.BuildNumber;
    Info.Release = C.ReleaseNumber;
    return Info;
}

} // namespace

TBuildReport BuildInstaller(const TBuildOptions& Options)
{
    const auto Start = std::chrono::steady_clock::now();
    TStdioFiles Files;
    TManifest Manifest = LoadManifest(Options.ManifestPath, Files, Options.Defines, Options.AllowOutside);
    std::vector<std::string> Inputs = Manifest.Inputs;
    Inputs.push_back(Options.StubPath);
    CheckOutput(Options.OutPath, Inputs);
    TPackageContents& Contents = Manifest.Contents;
    Contents.PayloadKey = ChooseKey(Options, Files.ReadWhole(Options.ManifestPath));

    TBuildReport Report;
    Report.Warnings = Manifest.Warnings;
    std::string Image = Files.ReadWhole(Options.StubPath);
    TMemoryStream Stub(std::vector<uint8_t>(Image.begin(), Image.end()));
    CheckStub(Stub, Options.StubPath);
    Report.VersionResourceWritten =
        WriteVersionResource(Image, Options.StubPath, VersionOf(Contents, Manifest.Product, Options.OutPath));
    if (!Report.VersionResourceWritten)
        Report.Warnings.push_back("the stub \"" + Options.StubPath +
                                  "\" carries no version resource, so the installer's file properties stay empty");
    TMemoryStream Patched(std::vector<uint8_t>(Image.begin(), Image.end()));
    WriteInstallerFile(Contents, Patched, Options.OutPath, Files);

    Report.FileCount = Contents.Files.size();
    for (const TPackedFile& File : Contents.Files) {
        Report.SourceBytes += fs::file_size(PathOf(File.SourceName));
        ++Report.FilesByMacro[TargetMacroOf(File.Target)];
    }
    Report.InstallerBytes = fs::file_size(PathOf(Options.OutPath));
    Report.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
    return Report;
}

void WriteInstallerFile(const TPackageContents& Contents, TStream& Stub, const std::string& OutPath, TStdioFiles& Files)
{
    const std::string TempPath = OutPath + ".partial";
    try {
        {
            auto Out = Files.CreateForWriting(TempPath);
            WriteInstaller(*Out, Stub, Contents);
        }
        fs::rename(PathOf(TempPath), PathOf(OutPath));
    } catch (...) {
        std::error_code Ignored;
        fs::remove(PathOf(TempPath), Ignored);
        throw;
    }
}

TPayloadKey ParsePayloadKey(const std::string& Hex)
{
    TPayloadKey Key{};
    if (Hex.size() != 2 * Key.size() || Hex.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        throw Exception("--key takes 32 hexadecimal digits (16 bytes), as --key 00112233445566778899aabbccddeeff");
    for (size_t I = 0; I < Key.size(); ++I)
        Key[I] = static_cast<uint8_t>(std::stoi(Hex.substr(2 * I, 2), nullptr, 16));
    return Key;
}

TPayloadKey DerivedPayloadKey(const std::string& SourceDateEpoch, const std::string& ManifestBytes,
                              const std::vector<std::string>& Defines)
{
    std::string Input = "qepack payload key";
    for (const std::string* Part : {&SourceDateEpoch, &ManifestBytes})
        Input += '\0' + *Part;
    for (const std::string& Define : Defines)
        Input += '\0' + Define;
    // The key is stored in the package anyway: it needs to differ between inputs, not to
    // be secret, so the package's own digest serves.
    const TDigest Digest = DigestOf(Input.data(), Input.size());
    static_assert(sizeof(Digest) == sizeof(TPayloadKey));
    TPayloadKey Key{};
    std::copy(Digest.begin(), Digest.end(), Key.begin());
    return Key;
}

} // namespace qe
