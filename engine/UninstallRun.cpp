// The uninstall run: deletes the logged files, removes the logged folders that have
// become empty and removes the program's entry from the list of installed programs. The
// record is input like a package: a path it lists is deleted only when it is a plain
// absolute path reached through no link, and a registry entry only when it is this
// uninstaller's own.
#include <algorithm>
#include <limits>
#include <optional>
#include <unordered_map>

#include "engine/PathMacros.h"
#include "engine/Uninstaller.h"
#include "package/QeUninstall.h"
#include "package/TargetPaths.h"
#include "platform/CaseFolding.h"
#include "platform/Paths.h"
#include "platform/SysFolders.h"

namespace qe {
namespace {

// Folder as Windows reads it, for comparing: "." and empty names dropped, ".." taking
// the name before it away, trailing dots and blanks of names dropped, in capitals
// ("C:\Program Files\.\" and "c:\program files" are one folder). A share's leading "\\"
// stays.
std::string Canonical(const std::string& Folder)
{
    std::vector<std::string> Names;
    for (size_t Start = 0; Start <= Folder.size();) {
        const size_t End = std::min(Folder.find(PathDelimiter, Start), Folder.size());
        std::string Name = Folder.substr(Start, End - Start);
        while (!Name.empty() && Name != "." && Name != ".." && (Name.back() == '.' || Name.back() == ' '))
            Name.pop_back();
        if (Name == ".." && Names.size() > 1)
            Names.pop_back();
        else if (!Name.empty() && Name != "." && Name != "..")
            Names.push_back(Name);
        Start = End + 1;
    }
    std::string Result = Folder.starts_with("\\\\") ? "\\\\" : Folder.starts_with("\\") ? "\\" : "";
    for (size_t I = 0; I < Names.size(); ++I)
        Result += (I > 0 ? "\\" : "") + Names[I];
    return FoldCase(Result);
}

// The logged folders in the order they are tried: each one after the logged folders
// inside it, so that a folder whose subfolders go can go too; of those, later ones first;
// otherwise in record order. The folders' names go into a tree once, where each folder
// finds the nearest logged folder above it, so the order takes time in proportion to the
// record's size, and no recursion.
std::vector<std::string> RemovalOrder(const std::vector<std::string>& Folders)
{
    constexpr size_t None = std::numeric_limits<size_t>::max();
    struct TNode {
        std::unordered_map<std::string, size_t> Below; // by name
        size_t Folder = None;                          // the first logged folder here
    };
    const size_t Count = Folders.size();
    std::vector<TNode> Tree(1);
    std::vector<std::vector<size_t>> Ways(Count); // the nodes from the root to each folder
    for (size_t I = 0; I < Count; ++I) {
        const std::string Key = Canonical(Folders[I]);
        size_t Node = 0;
        for (size_t Start = 0; Start < Key.size();) {
            const size_t End = std::min(Key.find(PathDelimiter, Start), Key.size());
            const auto [At, Added] = Tree[Node].Below.try_emplace(Key.substr(Start, End - Start), Tree.size());
            Node = At->second;
            if (Added)
                Tree.emplace_back();
            Ways[I].push_back(Node);
            Start = End + 1;
        }
        if (Tree[Node].Folder == None)
            Tree[Node].Folder = I;
    }
    std::vector<std::vector<size_t>> Inside(Count);
    std::vector<bool> Outermost(Count, true);
    for (size_t I = 0; I < Count; ++I)
        for (size_t Step = Ways[I].size(); Step-- > 1;) {
            const size_t Above = Tree[Ways[I][Step - 1]].Folder;
            if (Above != None) {
                Inside[Above].push_back(I);
                Outermost[I] = false;
                break;
            }
        }
    // Depth first: a folder is placed once all inside it are.
    std::vector<std::string> Order;
    std::vector<std::pair<size_t, size_t>> Stack; // folder, folders inside it still to place
    for (size_t Root = 0; Root < Count; ++Root) {
        if (!Outermost[Root])
            continue;
        Stack.emplace_back(Root, Inside[Root].size());
        while (!Stack.empty()) {
            auto& [Folder, Left] = Stack.back();
            if (Left == 0) {
                Order.push_back(Folders[Folder]);
                Stack.pop_back();
                continue;
            }
            const size_t Next = Inside[Folder][--Left];
            Stack.emplace_back(Next, Inside[Next].size());
        }
    }
    return Order;
}

// Why the run leaves Path alone, or nothing when it may go: it is no plain absolute path,
// or a folder on the way to it leads elsewhere. The folders on the way are held in Holds
// until the caller lets go.
std::optional<std::string> Unsafe(TFolderHolds& Holds, const std::string& Path, const TTextTable& Texts)
{
    if (const auto Fault = PlainPathFault(Path, Texts))
        return Texts.Format(TText::UninstallFaultUnplain, {*Fault});
    const TWayCheck Way = Holds.HoldWay(ExtractFileDir(Path));
    if (Way.Kind == TEntryKind::ekLink)
        return Texts.Format(TText::UninstallFaultLink, {Way.Folder});
    if (Way.Kind == TEntryKind::ekUnknown)
        return Texts.Format(TText::UninstallFaultUnopenable, {Way.Folder});
    return std::nullopt;
}

} // namespace

std::vector<std::string> SharedFolders(const TPlatform& Platform)
{
    std::vector<std::string> Shared;
    for (const int Id : {sfWindows, sfSystem, sfPersonal})
        if (const std::string Folder = GetSpecialFolder(Platform, Id, false); !Folder.empty())
            Shared.push_back(Canonical(Folder));
    for (const TInstallScope Scope : {TInstallScope::Machine, TInstallScope::CurrentUser})
        for (const auto Root : {ProgramsRoot, StartMenuRoot}) {
            try {
                if (const std::string Folder = Root(Platform, Scope); !Folder.empty())
                    Shared.push_back(Canonical(Folder));
            } catch (const Exception&) {
                // the user has no such folder
            }
        }
    return Shared;
}

bool IsSharedFolder(const std::vector<std::string>& Shared, const std::string& Folder)
{
    const std::string Path = Canonical(Folder);
    return IsRootFolder(Path) || IsRootFolder(Folder) || std::find(Shared.begin(), Shared.end(), Path) != Shared.end();
}

void TQeUninstall::Execute()
{
    IFileSystem& Fs = *FPlatform.FileSystem;
    ProgressPosition = 0;
    ProgressMax = static_cast<int32_t>(Files.size() + Folders.size()) + 1;
    // Missing, read-only or locked files and folders that are not empty are passed over.
    for (const std::string& File : Files) {
        TFolderHolds Way(Fs);
        if (const auto Why = Unsafe(Way, File, *Texts)) {
            DoProgress(Texts->Format(TText::ProgressNotDeletingFile, {File, *Why}), 1);
            continue;
        }
        DoProgress(Texts->Format(TText::ProgressDeletingFile, {File}), 1);
        Fs.RemoveFile(File);
    }
    const std::vector<std::string> Shared = SharedFolders(FPlatform);
    for (const std::string& Folder : RemovalOrder(Folders)) {
        if (IsSharedFolder(Shared, Folder)) {
            DoProgress(Texts->Format(TText::ProgressNotRemovingSharedFolder, {Folder}), 1);
            continue;
        }
        TFolderHolds Way(Fs);
        if (const auto Why = Unsafe(Way, Folder, *Texts)) {
            DoProgress(Texts->Format(TText::ProgressNotRemovingFolder, {Folder, *Why}), 1);
            continue;
        }
        DoProgress(Texts->Format(TText::ProgressRemovingFolder, {Folder}), 1);
        Fs.RemoveFolder(Folder);
    }
    // Only a plain name is a key of its own below the one that holds every program's
    // entry, and only an entry that names this uninstaller is this program's.
    const std::string Key = UninstallKeyPrefix + ProgramName;
    const TRegistryRoot Root = UninstallRoot(Scope);
    if (ProgramName.empty()) {
        DoProgress(Texts->Format(TText::ProgressNotUnregistering), 1);
    } else if (const auto Fault = ProgramNameFault(ProgramName, *Texts)) {
        DoProgress(Texts->Format(TText::ProgressNotUnregisteringName, {*Fault}), 1);
    } else if (FPlatform.Registry->KeyExists(Root, Key) &&
               !EntryNamesUninstaller(*FPlatform.Registry, Root, Key, FileName)) {
        DoProgress(Texts->Format(TText::ProgressNotUnregisteringOther, {ProgramName}), 1);
    } else {
        DoProgress(Texts->Format(TText::ProgressUnregistering), 1);
        FPlatform.Registry->DeleteKey(Root, Key);
    }
    DoProgress(Texts->Format(TText::ProgressDone), 1);
}

} // namespace qe
