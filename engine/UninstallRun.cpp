// The uninstall run: deletes the logged files, removes the logged folders that have
// become empty and removes the program's entry from the list of installed programs.
#include "engine/Uninstaller.h"
#include "package/QeUninstall.h"

namespace qe {

void TQeUninstall::Execute()
{
    ProgressPosition = 0;
    ProgressMax = static_cast<int32_t>(Files.size() + Folders.size()) + 1;
    // Missing, read-only or locked files and folders that are not empty are passed over.
    for (const std::string& File : Files) {
        DoProgress("Delete file " + File + " ...", 1);
        FPlatform.FileSystem->RemoveFile(File);
    }
    for (const std::string& Folder : Folders) {
        DoProgress("Remove folder " + Folder + " ...", 1);
        FPlatform.FileSystem->RemoveFolder(Folder);
    }
    // Without a program name the key would be the one that holds every program's entry.
    if (HasOwnUninstallKey(ProgramName)) {
        DoProgress("Unregistering uninstaller ...", 1);
        FPlatform.Registry->DeleteKey(TRegistryRoot::rrLocalMachine, UninstallKeyPrefix + ProgramName);
    } else {
        DoProgress("Not unregistering the uninstaller: the uninstall record gives no program name.", 1);
    }
    DoProgress("Done.", 1);
}

} // namespace qe
