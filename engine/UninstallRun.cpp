// The uninstall run: deletes the logged files, removes the logged folders that have
// become empty and removes the program's entry from the list of installed programs.
#include <functional>

#include "engine/PathMacros.h"
#include "engine/Uninstaller.h"
#include "package/QeUninstall.h"
#include "platform/Paths.h"

namespace qe {
namespace {

// Folder with its trailing "\" and any doubled "\" removed (a share's leading "\\" stays).
std::string Canonical(const std::string& Folder)
{
    std::string Result;
    for (size_t I = 0; I < Folder.size(); ++I)
        if (Folder[I] != PathDelimiter || I < 2 || Result.back() != PathDelimiter)
            Result += Folder[I];
    while (Result.size() > 1 && Result.back() == PathDelimiter)
        Result.pop_back();
    return Result;
}

// The logged folders in the order they are tried: each one after the logged folders
// inside it, deepest first, so that a folder whose subfolders go can go too; otherwise
// in record order.
std::vector<std::string> RemovalOrder(const std::vector<std::string>& Folders)
{
    std::vector<std::string> Paths;
    for (const std::string& Folder : Folders)
        Paths.push_back(Canonical(Folder));
    std::vector<std::string> Order;
    std::vector<bool> Placed(Folders.size(), false);
    const std::function<void(size_t)> Place = [&](size_t I) {
        Placed[I] = true;
        for (size_t J = Folders.size(); J-- > 0;)
            if (!Placed[J] && IsInsideFolder(Paths[J], Paths[I]))
                Place(J);
        Order.push_back(Folders[I]);
    };
    for (size_t I = 0; I < Folders.size(); ++I)
        if (!Placed[I])
            Place(I);
    return Order;
}

} // namespace

bool IsSharedFolder(const TPlatform& Platform, const std::string& Folder)
{
    const std::string Path = Canonical(Folder);
    if (IsRootFolder(Path))
        return true;
    for (const TInstallScope Scope : {TInstallScope::Machine, TInstallScope::CurrentUser})
        for (const auto Root : {ProgramsRoot, StartMenuRoot}) {
            std::string Shared;
            try {
                Shared = Canonical(Root(Platform, Scope));
            } catch (const Exception&) {
                continue; // the user has no such folder
            }
            if (!Shared.empty() && SameText(Path, Shared))
                return true;
        }
    return false;
}

void TQeUninstall::Execute()
{
    ProgressPosition = 0;
    ProgressMax = static_cast<int32_t>(Files.size() + Folders.size()) + 1;
    // Missing, read-only or locked files and folders that are not empty are passed over.
    for (const std::string& File : Files) {
        DoProgress("Delete file " + File + " ...", 1);
        FPlatform.FileSystem->RemoveFile(File);
    }
    for (const std::string& Folder : RemovalOrder(Folders)) {
        if (IsSharedFolder(FPlatform, Folder)) {
            DoProgress("Not removing folder " + Folder + ": other programs share it.", 1);
            continue;
        }
        DoProgress("Remove folder " + Folder + " ...", 1);
        FPlatform.FileSystem->RemoveFolder(Folder);
    }
    // Without a program name the key would be the one that holds every program's entry.
    if (HasOwnUninstallKey(ProgramName)) {
        DoProgress("Unregistering uninstaller ...", 1);
        FPlatform.Registry->DeleteKey(UninstallRoot(Scope), UninstallKeyPrefix + ProgramName);
    } else {
        DoProgress("Not unregistering the uninstaller: the uninstall record gives no program name.", 1);
    }
    DoProgress("Done.", 1);
}

} // namespace qe
