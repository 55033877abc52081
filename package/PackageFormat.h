// The facts of the two formats appended to the program: where the offset field sits,
// the signatures, every tag id and the payload key's size and mask. Readers, writers,
// tools and tests take them from here.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "package/TagStreams.h"

namespace qe {

// Where an executable keeps the offset of its package or uninstall record.
constexpr int64_t PackageOffsetField = 136;
constexpr uint32_t PackageSignature = MakeSignature("QEIN");
constexpr uint32_t UninstallSignature = MakeSignature("QEUN");

constexpr size_t PayloadKeySize = 16;
// Each byte of the stored payload key is the key byte exclusive-or this mask.
constexpr uint8_t KeyMask = 0x5A;
using TPayloadKey = std::array<uint8_t, PayloadKeySize>;

// One byte, in both formats: 1 says that every string of the package or uninstall record
// is UTF-8. Without it, as in everything made before it, they are Windows-1252.
constexpr int32_t Utf8StringsId = 23;

// Ids of the product's fields, the same in the install package and the uninstall record.
enum TProductFieldId : int32_t {
    pfShowNotice = 1,
    pfProgramName = 2,
    pfMajorVersion = 3,
    pfMinorVersion = 4,
    pfBuildNumber = 5,
    pfReleaseNumber = 6,
    pfPublisher = 7,
    pfWebsite = 8,
    pfAddress = 9,
    pfContactName = 10,
    pfEmail = 11,
};

// The install package's own top-level ids, after the product's fields.
enum TPackageId : int32_t {
    piLicense = 12,
    piReadme = 13,
    piWhatsNew = 14,
    piExpertsOverride = 16,
    piPayloadKey = 18,
    piBanner = 19,
    piFile = 20,
    piIntegrity = 21,   // digests of the records and the payloads (package/Integrity.h)
    piDataFolders = 22, // one byte: 1 installs the terminals' files into their data folders too
    piUtf8Strings = Utf8StringsId,
    piLanguages = 24, // the wizard's languages the vendor offers, comma-separated codes; none: all
};

// Ids inside a file-entry group (id piFile).
enum TFileEntryId : int32_t {
    fiTarget = 1,
    fiCreationTimeLow = 2,
    fiCreationTimeHigh = 3,
    fiWriteTimeLow = 4,
    fiWriteTimeHigh = 5,
    fiShortcutName = 6,
    fiPayloadSize = 7,
    fiPayloadOffset = 8,
};

// The uninstall record's own ids, after the product's fields.
enum TUninstallId : int32_t {
    uiBanner = 12,
    uiFolder = 13,
    uiFile = 14,
    uiCurrentUser = 15, // one byte: 1 for an installation for the current user only
    uiLanguage = 16,    // the code of the language the installation ran in
    uiUtf8Strings = Utf8StringsId,
};

} // namespace qe
