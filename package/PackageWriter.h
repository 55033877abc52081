// Writes an installer: the stub executable, the install package after it, and the
// enciphered payloads after the package, with the package's offset stored at byte 136.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "package/PackageFormat.h"
#include "package/ProductFields.h"
#include "platform/Streams.h"

namespace qe {

struct TPackedFile {
    std::string Target;
    std::string ShortcutName;
    uint64_t CreationTime = 0;
    uint64_t WriteTime = 0;
    // Names the contents in messages: the source file's path.
    std::string SourceName;
    // Opens the file's contents when its payload is written.
    std::function<std::unique_ptr<TStream>()> OpenSource;
};

// What a package holds: the product's fields and the rest of the package's records. Its
// strings are UTF-8; the documents RTF or UTF-8 text (package/Documents.h).
struct TPackageContents : TProductFields {
    std::string License;
    std::string Readme;
    std::string WhatsNew;
    std::string ExpertsOverride;
    std::string BannerJpeg; // JPEG file contents; empty for no banner
    TPayloadKey PayloadKey{};
    bool UseDataFolders = false; // written only when set: without it a package is as before
    // False for a package as they were before UTF-8: the strings are Windows-1252 bytes,
    // and the record that marks them UTF-8 is left out.
    bool Utf8Strings = true;
    // The wizard's languages the vendor offers, by code; empty (and then not written): all.
    std::vector<std::string> Languages;
    std::vector<TPackedFile> Files;
};

// A file whose contents are given in memory.
TPackedFile MemoryFile(std::string Target, std::string Contents, std::string ShortcutName = {},
                       uint64_t CreationTime = 0, uint64_t WriteTime = 0);

// Writes Stub (from its start to its end), the package and the payloads to Out.
void WriteInstaller(TStream& Out, TStream& Stub, const TPackageContents& Contents);

// A fresh random payload key.
TPayloadKey RandomPayloadKey();

} // namespace qe
