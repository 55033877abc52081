// The system of the simulated Windows: its folders, environment, top-level windows,
// process starts (recorded) and clock.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/System.h"
#include "platform/sim/SimFileSystem.h"

namespace qe::sim {

struct TWindow {
    std::string ClassName;
    std::string Title;
};

struct TProcessStart {
    std::string CommandLine;
    std::string CurrentFolder;
    std::vector<std::string> Environment; // empty: the caller's
};

class TSimSystem : public ISystem {
public:
    explicit TSimSystem(TSimFileSystem& FileSystem) : FFileSystem(&FileSystem) {}
    // Other's state over another file system, for a copy of a whole machine.
    TSimSystem(const TSimSystem& Other, TSimFileSystem& FileSystem) : TSimSystem(Other) { FFileSystem = &FileSystem; }

    std::string WindowsFolder() override { return FWindowsFolder; }
    // The Windows folder, unless a user's own was set (SetUsersWindowsFolder).
    std::string SystemWindowsFolder() override { return FSystemWindowsFolder; }
    std::string SystemFolder() override { return FSystemFolder; }
    std::string TempFolder() override { return FTempFolder; }
    std::string ExpandEnvironment(const std::string& Text) override;
    bool TopLevelWindowExists(const std::string& ClassName) override;
    // Starts when the command line's program file exists (found as Windows finds it
    // in an unquoted command line with blanks) and the current folder exists
    // (an empty one is the caller's).
    bool StartHiddenIdleProcess(const std::string& CommandLine, const std::string& CurrentFolder,
                                const std::vector<std::string>& Environment) override;
    bool IsElevated() override { return FElevated; }
    // A fixed sequence: each machine gives the same bytes, no two calls alike.
    bool RandomBytes(uint8_t* Buffer, size_t Size) override;
    TSystemTime LocalTime() override { return FLocalTime; }
    std::string DisplayLanguage() override { return FDisplayLanguage; }
    bool Md5(const void* Data, size_t Size, std::array<uint8_t, 16>& Digest) override;

    // Seeding and inspection; not part of the interface.
    // The shared Windows folder is set to Windows too.
    void SetFolders(const std::string& Windows, const std::string& System, const std::string& Temp);
    // The Windows folder becomes Folder, a folder of the user's own, as a terminal server
    // gives a program not marked aware of it; the shared one stays.
    void SetUsersWindowsFolder(const std::string& Folder) { FWindowsFolder = Folder; }
    void SetVariable(const std::string& Name, const std::string& Value);
    void AddWindow(const std::string& ClassName, const std::string& Title = {});
    void CloseWindows(const std::string& ClassName);
    void SetLocalTime(const TSystemTime& Time) { FLocalTime = Time; }
    // Also tells the file system whether the caller may change folders private to the
    // administrators.
    void SetElevated(bool Elevated)
    {
        FElevated = Elevated;
        FFileSystem->SetCallerIsAdministrator(Elevated);
    }
    void SetDisplayLanguage(const std::string& Tag) { FDisplayLanguage = Tag; }
    const std::vector<TProcessStart>& ProcessStarts() const { return FProcessStarts; }

private:
    TSimSystem(const TSimSystem&) = default;

    TSimFileSystem* FFileSystem;
    std::string FWindowsFolder = "C:\\WINDOWS";
    std::string FSystemWindowsFolder = "C:\\WINDOWS";
    std::string FSystemFolder = "C:\\WINDOWS\\system32";
    std::string FTempFolder = "C:\\TEMP\\";
    std::map<std::string, std::pair<std::string, std::string>> FVariables; // by upper-case name
    std::vector<TWindow> FWindows;
    std::vector<TProcessStart> FProcessStarts;
    TSystemTime FLocalTime{2024, 3, 2, 5, 14, 30, 15, 250};
    bool FElevated = false;
    std::string FDisplayLanguage = "en-US";
    uint64_t FRandomState = 0;
};

} // namespace qe::sim
