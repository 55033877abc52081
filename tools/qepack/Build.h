// qepack build: from a product manifest and a stub to a ready installer.
#pragma once

#include <string>

#include "package/PackageWriter.h"
#include "platform/stdio/StdioFiles.h"

namespace qe {

// Writes the installer to a temporary file beside OutPath and renames it only when it
// is whole: a failure leaves no installer and keeps an existing OutPath as it was.
void BuildInstaller(const std::string& ManifestPath, const std::string& OutPath, const std::string& StubPath);

// The writing half of BuildInstaller, with the same promise about OutPath.
void WriteInstallerFile(const TPackageContents& Contents, TStream& Stub, const std::string& OutPath,
                        TStdioFiles& Files);

} // namespace qe
