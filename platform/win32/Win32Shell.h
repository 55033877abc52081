// The Windows shell: shell links through the shell's link object and its persist-file
// interface, "open", and the folder chooser. COM must be initialised on the calling
// thread for the links (the program does so at start-up).
#pragma once

#include "platform/Shell.h"

namespace qe::win32 {

class TWin32Shell : public IShell {
public:
    void SaveLink(const TShellLink& Link, const std::string& FileName) override;
    bool ReadLink(const std::string& FileName, TShellLinkData& Data) override;
    bool ShellOpen(const std::string& FileOrLink) override;
    bool OpenAsUser(const std::string& FileOrLink) override;
    TFolderPick ChooseFolder(const std::string& Caption, std::string& Folder) override;

    // The application's main window (an HWND): owner of the folder chooser and of
    // "open", and the window the chooser is centred on. May stay null.
    void SetOwnerWindow(void* Window) { FOwner = Window; }

private:
    void* FOwner = nullptr;
};

} // namespace qe::win32
