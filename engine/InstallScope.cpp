#include "engine/InstallScope.h"

#include "engine/PathMacros.h"

namespace qe {

bool CanWriteIn(const TPlatform& Platform, const std::string& Folder)
{
    if (Folder.empty())
        return false;
    // A name no one can have made ahead of us, so that the folder is ours to remove.
    const std::string Probe = Folder + "\\~qe-" + RandomName(*Platform.System, 8);
    if (!Platform.FileSystem->MakeFolder(Probe))
        return false;
    Platform.FileSystem->RemoveFolder(Probe);
    return true;
}

TScopeChoice ChooseInstallScope(const TPlatform& Platform, bool CurrentUserAsked)
{
    if (CurrentUserAsked)
        return {TInstallScope::CurrentUser, "asked for on the command line (/CURRENTUSER)"};
    if (Platform.System->IsElevated())
        return {TInstallScope::Machine, "the program runs with administrator rights"};
    for (const std::string& Folder :
         {ProgramsRoot(Platform, TInstallScope::Machine), StartMenuRoot(Platform, TInstallScope::Machine)})
        if (!CanWriteIn(Platform, Folder))
            return {TInstallScope::CurrentUser,
                    "the program runs without administrator rights and may not write to " + Folder};
    return {TInstallScope::Machine, "this user may write to Program Files and the all-users Start Menu"};
}

} // namespace qe
