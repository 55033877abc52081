// The shell of the simulated Windows: shell links are written as small text files that
// only this shell reads back, "open" is recorded, and the folder chooser answers as a
// test told it to.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/Shell.h"
#include "platform/sim/SimFileSystem.h"

namespace qe::sim {

struct TFolderChoice {
    std::string Caption;
    std::string InitialFolder; // after the chooser dropped a folder that does not exist
};

class TSimShell : public IShell {
public:
    explicit TSimShell(TSimFileSystem& FileSystem) : FFileSystem(&FileSystem) {}
    // Other's state over another file system, for a copy of a whole machine.
    TSimShell(const TSimShell& Other, TSimFileSystem& FileSystem) : TSimShell(Other) { FFileSystem = &FileSystem; }

    void SaveLink(const TShellLink& Link, const std::string& FileName) override;
    bool ReadLink(const std::string& FileName, TShellLinkData& Data) override;
    // Succeeds for an existing file and for a link text with a scheme ("http:", "mailto:").
    bool ShellOpen(const std::string& FileOrLink) override;
    // As ShellOpen, recorded apart; fails as a machine without a desktop shell would.
    bool OpenAsUser(const std::string& FileOrLink) override;
    TFolderPick ChooseFolder(const std::string& Caption, std::string& Folder) override;

    // Seeding and inspection; not part of the interface.
    // The next folder choice: the user picks Folder, or cancels when Confirm is false.
    void AnswerFolderChoice(bool Confirm, const std::string& Folder = {});
    // The next folder choice: the user picks an item without a file-system path.
    void AnswerFolderChoiceWithoutPath(const std::string& DisplayName);
    const std::vector<std::string>& Opened() const { return FOpened; }
    const std::vector<std::string>& OpenedAsUser() const { return FOpenedAsUser; }
    // Whether the user's desktop shell runs (it does unless told otherwise).
    void SetDesktopShell(bool Running) { FDesktopShell = Running; }
    const std::vector<TFolderChoice>& FolderChoices() const { return FFolderChoices; }

private:
    TSimShell(const TSimShell&) = default;
    // An existing file, or a link text with a scheme ("http:", "mailto:").
    bool CanOpen(const std::string& FileOrLink);

    struct TAnswer {
        TFolderPick Pick;
        std::string Folder;
    };

    TSimFileSystem* FFileSystem;
    std::vector<std::string> FOpened;
    std::vector<std::string> FOpenedAsUser;
    bool FDesktopShell = true;
    std::vector<TFolderChoice> FFolderChoices;
    std::deque<TAnswer> FAnswers;
};

} // namespace qe::sim
