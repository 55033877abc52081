// The Windows shell as the system uses it: shell links, "open" and the folder chooser.
#pragma once

#include <string>

namespace qe {

class TShellLink;

// What a shell link file holds, as read back from it.
struct TShellLinkData {
    std::string Path;
    std::string WorkingDirectory;
    std::string Arguments;
    std::string Description;
};

// What the user did in the folder chooser.
enum class TFolderPick {
    fpCancelled,
    fpFolder, // a folder of the file system
    // An item without a file-system path, such as "This PC" or a library: only its
    // display name is known.
    fpNoFileSystemPath,
};

class IShell {
public:
    virtual ~IShell() = default;

    // Writes Link to FileName through the shell's link object; a link that the shell
    // refuses to write leaves no file and no error.
    virtual void SaveLink(const TShellLink& Link, const std::string& FileName) = 0;
    // Reads a link file back through the shell's link object; false when it cannot.
    virtual bool ReadLink(const std::string& FileName, TShellLinkData& Data) = 0;
    // Opens a file, or a link text such as a web address, with the verb "open".
    virtual bool ShellOpen(const std::string& FileOrLink) = 0;
    // ShellOpen by the user's desktop shell instead of this program, so that what it
    // starts runs with the rights of the user's desktop, the user's normal rights, even
    // when this program runs elevated. False when there is no desktop shell to ask.
    virtual bool OpenAsUser(const std::string& FileOrLink) = 0;
    // The folder chooser: Folder is the initial selection and, afterwards, the chosen
    // folder's path (fpFolder) or the display name of an item that has none
    // (fpNoFileSystemPath).
    virtual TFolderPick ChooseFolder(const std::string& Caption, std::string& Folder) = 0;
};

} // namespace qe
