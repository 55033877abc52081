// The model of an uninstaller: the product's data and the files and folders that the
// install run created, read from the uninstall record inside the uninstaller's file.
#pragma once

#include <string>
#include <vector>

#include "package/QeClasses.h"

namespace qe {

// Ids of the uninstall record.
enum TUninstallId : int32_t {
    uiShowNotice = 1,
    uiProgramName = 2,
    uiMajorVersion = 3,
    uiMinorVersion = 4,
    uiBuildNumber = 5,
    uiReleaseNumber = 6,
    uiPublisher = 7,
    uiWebsite = 8,
    uiAddress = 9,
    uiContactName = 10,
    uiEmail = 11,
    uiBanner = 12,
    uiFolder = 13,
    uiFile = 14,
};

class TQeUninstall : public TQeData {
public:
    explicit TQeUninstall(const TPlatform& Platform);

    void Clear() override;
    // Reads the uninstall record; a stream without one leaves the model cleared.
    void LoadFromStream(TStream& Stream) override;
    // Deletes the files, removes the folders that are empty and unregisters the program.
    void Execute() override;

    std::vector<std::string> Files;
    std::vector<std::string> Folders;
};

} // namespace qe
