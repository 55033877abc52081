// The product manifest: a TOML file in which a vendor names the product's data, its
// documents and banner, and the files to install with their targets.
#pragma once

#include <string>

#include "package/PackageWriter.h"
#include "platform/Exceptions.h"
#include "platform/stdio/StdioFiles.h"

namespace qe {

// A manifest that cannot make a sound installer; the message names the manifest line
// or the file at fault.
class EManifestError : public Exception {
public:
    using Exception::Exception;
};

// Reads and checks the manifest at Path; relative paths in it are taken from the
// manifest's folder. Every source file is checked and its times read; its contents
// are read later, when the payload is written, through Files.
TPackageContents LoadManifest(const std::string& Path, TStdioFiles& Files);

} // namespace qe
