// The product manifest: a TOML file in which a vendor names the product's data, its
// documents and banner, and the files to install with their targets.
#pragma once

#include <string>
#include <vector>

#include "package/PackageWriter.h"
#include "platform/Exceptions.h"
#include "platform/stdio/StdioFiles.h"

namespace qe {

// A manifest that cannot make a sound installer; the message names the manifest line
// or the file at fault, and says how to fix it.
class EManifestError : public Exception {
public:
    using Exception::Exception;
};

// The kinds of values a manifest key holds.
enum class TManifestValue { Text, FileName, Version, Number, Flag, TextList };

// One key the manifest accepts: [Table] Key, or a key of each [[file]] when Table is "file".
struct TManifestKey {
    const char* Table;
    const char* Key;
    TManifestValue Kind;
};
extern const std::vector<TManifestKey> ManifestKeys;

// What the version resource of the installer says besides the product's name and version.
struct TProductDescription {
    std::string Description;
    std::string Copyright;
};

struct TManifest {
    TPackageContents Contents;
    TProductDescription Product;
    // Likely mistakes that still make a sound installer, each naming its manifest line.
    std::vector<std::string> Warnings;
    // Every file the manifest reads: itself, the documents, the banner and the sources.
    std::vector<std::string> Inputs;
};

// Reads and checks the manifest at Path; relative paths in it are taken from the
// manifest's folder. Defines are "table.key=value" texts that replace or add values, as
// a release script passes them. Every source file is checked and its times read; its
// contents are read later, when the payload is written, through Files. Every file the
// manifest names must lie below its folder (as its path and its links lead), unless
// AllowOutside: a manifest from elsewhere must not pack this machine's files.
TManifest LoadManifest(const std::string& Path, TStdioFiles& Files, const std::vector<std::string>& Defines = {},
                       bool AllowOutside = false);

// A commented starting manifest for a new product, as `qepack init` writes it.
std::string StarterManifest();

} // namespace qe
