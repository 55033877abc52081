// The install and uninstall runs on a fuzzed package, or the uninstall run on a fuzzed
// record, on a simulated machine where a terminal's user has planted links to folders
// elsewhere, in the terminal's folder and in its data folder. The first byte chooses: even,
// the rest is a package that is installed into the terminal (for every user, or with its
// second bit for the current user only) and then uninstalled by the uninstaller the install
// made; odd, the rest is the record of an uninstaller in a product's program folder.
// Whatever the bytes:
// - the install writes only below the folders its macros name (the terminal and its data
//   folder, the program and Start Menu folders, the Windows, system and documents folders
//   and the boot drive), never through a link, and in the registry only the product's own
//   entry, never the keys below another program's entry of the same name;
// - the uninstall removes only files and folders its record lists in their plain spelling
//   (a link followed or another spelling would remove some other path), and in the
//   registry only the entry that names it as the uninstaller, with the keys below it.
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>

#include "engine/PathMacros.h"
#include "fuzz/FuzzInput.h"
#include "package/QeUninstall.h"
#include "package/TargetPaths.h"
#include "platform/CaseFolding.h"
#include "platform/Paths.h"
#include "platform/SysFolders.h"
#include "platform/TerminalDataFolders.h"
#include "platform/sim/SimPlatform.h"

namespace {

using qe::sim::TSimPlatform;

const std::string Terminal = "D:\\MT4";
const std::string Crafted = "C:\\Program Files\\Grid Expert\\Uninstall.exe";
const std::string UninstallKeys = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

std::string DataFolder(TSimPlatform& Machine)
{
    return qe::TerminalDataRoot(Machine.Platform()) + "\\" + qe::TerminalDataId(Machine.Platform(), Terminal);
}

// Windows and its boot drive on E:, programs and documents on C:, the terminal on D:,
// with links in the terminal to C:\Secret, and another product's files and entry.
TSimPlatform PreparedMachine()
{
    TSimPlatform Machine;
    auto& Fs = Machine.FileSystem;
    Fs.AddDrive('D');
    Fs.AddDrive('E');
    Fs.AddFolders("E:\\WINDOWS\\system32");
    Machine.System.SetFolders("E:\\WINDOWS", "E:\\WINDOWS\\system32", "C:\\TEMP\\");
    Machine.Registry.SetString(qe::TRegistryRoot::rrLocalMachine, qe::SetupKey, "BootDir", "E:\\");
    Fs.AddFile(Terminal + "\\terminal.exe", "");
    Fs.AddFile(Terminal + "\\MQL4\\Experts\\Grid.ex4", "the terminal's expert");
    Fs.AddFile("C:\\Secret\\secret.ini", std::string(300, 's'));
    Fs.AddFile("C:\\Secret\\Grid.ex4", "someone else's");
    Fs.AddFile("D:\\Other\\notes.txt", "notes");
    Fs.AddLink(Terminal + "\\MQL4\\Libraries", "C:\\Secret", true);
    Fs.AddLink(Terminal + "\\MQL4\\Indicators", "D:\\Other", true);
    Fs.AddLink(Terminal + "\\config\\experts.ini", "C:\\Secret\\secret.ini", false);
    Fs.AddLink(Terminal + "\\MQL4\\Experts\\Grid.ex4.~qe", "C:\\Secret\\Grid.ex4", false);
    Fs.AddFile("C:\\Program Files\\Other Product\\Uninstall.exe", "MZ other");
    const auto LM = qe::TRegistryRoot::rrLocalMachine;
    Machine.Registry.SetString(LM, UninstallKeys + "Other Product", "UninstallString",
                               "C:\\Program Files\\Other Product\\Uninstall.exe");
    Machine.Registry.SetString(LM, UninstallKeys + "Other Product\\Parts", "DisplayName", "Part");
    Machine.Registry.SetString(LM, UninstallKeys + "Grid Expert", "UninstallString", Crafted);
    // The terminal's data folder, known by its name, with a settings record of its own and
    // a link among its MQL4 folders.
    const std::string Data = DataFolder(Machine);
    Fs.AddFile(Data + "\\config\\experts.ini", std::string(300, 'e'));
    Fs.AddFolders(Data + "\\MQL4\\Experts");
    Fs.AddLink(Data + "\\MQL4\\Scripts", "C:\\Secret", true);
    return Machine;
}

std::string RootName(qe::TRegistryRoot Root)
{
    return Root == qe::TRegistryRoot::rrCurrentUser ? "HKCU\\" : "HKLM\\";
}

// The product's own entry in the list of installed programs, as StateOf names keys.
std::string OwnKey(qe::TInstallScope Scope, const std::string& ProgramName)
{
    const auto Root =
        Scope == qe::TInstallScope::CurrentUser ? qe::TRegistryRoot::rrCurrentUser : qe::TRegistryRoot::rrLocalMachine;
    return RootName(Root) + qe::FoldCase(UninstallKeys + ProgramName);
}

// Whether the key Own of State names Uninstaller as the program that removes it: the
// entry, with the keys below it, is then that program's.
bool Names(const std::map<std::string, std::string>& Keys, const std::string& Own, const std::string& Uninstaller)
{
    const auto Entry = Keys.find(Own);
    return Entry != Keys.end() && (Entry->second.find("UninstallString=" + Uninstaller + ";") != std::string::npos ||
                                   Entry->second.find("UninstallString=\"" + Uninstaller + "\";") != std::string::npos);
}

// Everything a run can change: each path with what it holds, each registry key with its
// values.
struct TState {
    std::map<std::string, std::string> Paths; // by upper-case path
    std::map<std::string, std::string> Keys;  // by upper-case key
};

TState StateOf(TSimPlatform& Machine)
{
    TState State;
    for (const std::string& Path : Machine.FileSystem.AllPaths()) {
        uint32_t Attributes = 0;
        Machine.FileSystem.GetAttributes(Path, Attributes);
        State.Paths[qe::FoldCase(Path)] = (Attributes & qe::faReparsePoint) != 0 ? "(link)"
                                          : (Attributes & qe::faDirectory) != 0  ? "(folder)"
                                                                                : Machine.FileSystem.FileContents(Path);
    }
    for (const auto Root : {qe::TRegistryRoot::rrLocalMachine, qe::TRegistryRoot::rrCurrentUser})
        for (const std::string& Key : Machine.Registry.Keys(Root)) {
            std::string& Values = State.Keys[RootName(Root) + qe::FoldCase(Key)];
            for (const auto& Value : Machine.Registry.Values(Root, Key))
                Values += Value.Name + "=" + Value.Data + ";";
        }
    return State;
}

[[noreturn]] void Fault(const std::string& What)
{
    std::fprintf(stderr, "%s\n", What.c_str());
    std::abort();
}

// The paths and keys that differ between two states.
template <class TMap> std::set<std::string> Changed(const TMap& Before, const TMap& After)
{
    std::set<std::string> Result;
    for (const auto& [Path, Value] : Before)
        if (auto It = After.find(Path); It == After.end() || It->second != Value)
            Result.insert(Path);
    for (const auto& [Path, Value] : After)
        if (Before.count(Path) == 0)
            Result.insert(Path);
    return Result;
}

bool Below(const std::string& Path, const std::vector<std::string>& Roots)
{
    for (const std::string& Root : Roots)
        if (Path == Root || qe::IsInsideFolder(Path, Root))
            return true;
    return false;
}

// The install of the package may change only what lies below its macros' folders.
void CheckInstall(TSimPlatform& Machine, const TState& Before, const qe::TQeInstall& Model)
{
    const TState After = StateOf(Machine);
    std::vector<std::string> Roots = {qe::FoldCase(Terminal), qe::FoldCase(DataFolder(Machine)), "E:", "E:\\WINDOWS",
                                      "C:\\USERS\\USER\\DOCUMENTS"};
    if (!qe::ProgramNameFault(Model.ProgramName)) {
        Roots.push_back(qe::FoldCase(qe::ProgramFolder(Machine.Platform(), Model.ProgramName, Model.Scope)));
        Roots.push_back(qe::FoldCase(qe::StartMenuFolder(Machine.Platform(), Model.ProgramName, Model.Scope)));
    }
    // The folder that holds the programs of the install's kind is made when it is missing,
    // as the first program installed for a user makes it.
    const auto MadeRoot = [&](const std::string& Path) {
        const auto Made = After.Paths.find(Path);
        return Before.Paths.count(Path) == 0 && Made != After.Paths.end() && Made->second == "(folder)" &&
               (Path == qe::FoldCase(qe::ProgramsRoot(Machine.Platform(), Model.Scope)) ||
                Path == qe::FoldCase(qe::StartMenuRoot(Machine.Platform(), Model.Scope)));
    };
    for (const std::string& Path : Changed(Before.Paths, After.Paths))
        if (!Below(Path, Roots) && !MadeRoot(Path))
            Fault("the install changed " + Path + ", outside its folders");
    // An earlier entry of the product goes with the keys below it; another program's entry
    // of the same name is only written over.
    const std::string Own = OwnKey(Model.Scope, Model.ProgramName);
    const bool Earlier =
        !qe::ProgramNameFault(Model.ProgramName) &&
        Names(Before.Keys, Own,
              qe::ProgramFolder(Machine.Platform(), Model.ProgramName, Model.Scope) + "\\Uninstall.exe");
    // Writing the entry makes the keys above it that are missing, without values.
    const auto MadeAbove = [&](const std::string& Key) {
        const auto Made = After.Keys.find(Key);
        return Own.starts_with(Key + "\\") && Before.Keys.count(Key) == 0 && Made != After.Keys.end() &&
               Made->second.empty();
    };
    for (const std::string& Key : Changed(Before.Keys, After.Keys))
        if (Key != Own && !(Earlier && Key.starts_with(Own + "\\")) && !MadeAbove(Key))
            Fault("the install changed the registry key " + Key);
}

// The uninstall may remove only what its record lists, as listed, and the entry that names
// it; it writes nothing.
void CheckUninstall(TSimPlatform& Machine, const TState& Before, const qe::TQeUninstall& Model)
{
    const TState After = StateOf(Machine);
    std::set<std::string> Listed;
    for (const auto* List : {&Model.Files, &Model.Folders})
        for (const std::string& Path : *List)
            Listed.insert(qe::FoldCase(Path));
    for (const std::string& Path : Changed(Before.Paths, After.Paths)) {
        if (After.Paths.count(Path) != 0)
            Fault("the uninstall wrote " + Path);
        if (Listed.count(Path) == 0)
            Fault("the uninstall removed " + Path + ", which its record does not list so");
    }
    // The entry goes with the keys below it, when it names this uninstaller.
    const std::string Own = OwnKey(Model.Scope, Model.ProgramName);
    const bool Named = Names(Before.Keys, Own, Model.FileName);
    for (const std::string& Key : Changed(Before.Keys, After.Keys))
        if (!Named || (Key != Own && !Key.starts_with(Own + "\\")))
            Fault("the uninstall changed the registry key " + Key);
}

std::string Bytes(const qe::TMemoryStream& Stream)
{
    return std::string(Stream.Bytes().begin(), Stream.Bytes().end());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    static const TSimPlatform Prepared = PreparedMachine();
    if (Size == 0)
        return 0;
    TSimPlatform Machine(Prepared);
    const std::string File = Bytes(qe::fuzz::AfterStub(Data + 1, Size - 1));
    if (Data[0] % 2 == 1) {
        Machine.FileSystem.AddFile(Crafted, File);
        const TState Before = StateOf(Machine);
        qe::TQeUninstall Uninstall(Machine.Platform());
        try {
            Uninstall.LoadFromFile(Crafted);
        } catch (const qe::Exception&) {
            return 0; // a banner that does not decode
        }
        Uninstall.Execute();
        CheckUninstall(Machine, Before, Uninstall);
        return 0;
    }
    Machine.FileSystem.AddFile(TSimPlatform::ExePath, File);
    const TState Before = StateOf(Machine);
    qe::TQeInstall Install(Machine.Platform());
    try {
        Install.LoadFromFile(TSimPlatform::ExePath);
        Install.TargetFolders = {Terminal};
        Install.Scope = (Data[0] & 2) != 0 ? qe::TInstallScope::CurrentUser : qe::TInstallScope::Machine;
        Install.Execute();
    } catch (const qe::Exception&) {
        // Refused or failed: what it wrote before is still held to the same bounds.
    }
    CheckInstall(Machine, Before, Install);
    if (qe::ProgramNameFault(Install.ProgramName))
        return 0;
    const std::string Uninstaller =
        qe::ProgramFolder(Machine.Platform(), Install.ProgramName, Install.Scope) + "\\Uninstall.exe";
    if (!Machine.FileSystem.FileExists(Uninstaller))
        return 0;
    const TState Installed = StateOf(Machine);
    qe::TQeUninstall Uninstall(Machine.Platform());
    try {
        Uninstall.LoadFromFile(Uninstaller);
    } catch (const qe::Exception&) {
        return 0;
    }
    Uninstall.Execute();
    CheckUninstall(Machine, Installed, Uninstall);
    return 0;
}
