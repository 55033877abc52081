// qepack build: from a product manifest and a stub to a ready installer.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "package/PackageWriter.h"
#include "platform/stdio/StdioFiles.h"

namespace qe {

struct TBuildOptions {
    std::string ManifestPath;
    std::string OutPath;
    std::string StubPath;
    // "table.key=value" texts that replace manifest values.
    std::vector<std::string> Defines;
    // The payload key; without one, a key derived from SOURCE_DATE_EPOCH and the
    // manifest when that variable is set, else a random key.
    std::optional<TPayloadKey> Key;
    // Files from outside the manifest's folder may be packed.
    bool AllowOutside = false;
};

// What a build did, for its summary.
struct TBuildReport {
    std::vector<std::string> Warnings;
    size_t FileCount = 0;
    uint64_t SourceBytes = 0;
    uint64_t InstallerBytes = 0;
    // Files by the macro their target starts with ("{app}": 3).
    std::map<std::string, size_t> FilesByMacro;
    bool VersionResourceWritten = false;
    double Seconds = 0;
};

// Writes the installer to a temporary file beside OutPath and renames it only when it
// is whole: a failure leaves no installer and keeps an existing OutPath as it was.
// OutPath never names one of the build's inputs.
TBuildReport BuildInstaller(const TBuildOptions& Options);

// The writing half of BuildInstaller, with the same promise about OutPath.
void WriteInstallerFile(const TPackageContents& Contents, TStream& Stub, const std::string& OutPath,
                        TStdioFiles& Files);

// A payload key from 32 hexadecimal digits; raises qe::Exception otherwise.
TPayloadKey ParsePayloadKey(const std::string& Hex);

// The key a reproducible build uses: derived from SourceDateEpoch and the manifest's
// bytes and defines, so equal inputs give equal installers.
TPayloadKey DerivedPayloadKey(const std::string& SourceDateEpoch, const std::string& ManifestBytes,
                              const std::vector<std::string>& Defines);

} // namespace qe
