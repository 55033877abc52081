// The model of an uninstaller: the product's data and the files and folders that the
// install run created, read from the uninstall record inside the uninstaller's file.
#pragma once

#include <string>
#include <vector>

#include "package/QeClasses.h"

namespace qe {

class TQeUninstall : public TQeData {
public:
    explicit TQeUninstall(const TPlatform& Platform);

    void Clear() override;
    // Reads the uninstall record; a stream without one leaves the model cleared.
    void LoadFromStream(TStream& Stream) override;
    // The uninstall run (engine/UninstallRun.cpp): deletes the files, removes the folders
    // that are empty and unregisters the program.
    void Execute();

    std::vector<std::string> Files;
    std::vector<std::string> Folders;

protected:
    void ReadRecords(TTagStreamAdapter& Tags, bool& Utf8) override;
    void MakeStringsUtf8(bool Utf8) override;
};

} // namespace qe
