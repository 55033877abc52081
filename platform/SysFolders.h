// Where the well-known folders of this Windows installation lie. Every call reads the
// registry or asks the system afresh; nothing is cached.
#pragma once

#include <string>

#include "platform/Platform.h"

namespace qe {

// The ids the system uses; every id from 0 to 44 has a source (see SysFolders.cpp).
enum TSpecialFolder : int {
    sfPrograms = 2, // the current user's Start Menu programs
    sfPersonal = 4,
    sfAppData = 8,
    sfLocalAppData = 19,
    sfWindows = 23,
    sfSystem = 24,
    sfTemp = 25,
    sfSystemDrive = 26,
    sfBootDir = 27,
    sfProgramFiles = 28,
    sfCommonPrograms = 38,
};

constexpr int SpecialFolderCount = 45;

// A Windows-path value that expands to a path longer than this raises
// EFolderTooLong instead of being cut into a different path.
constexpr size_t MaxExpandedFolder = 259;

// The Windows, system and temporary folders are read through a buffer this long
// (without its NUL); a longer folder reads as "".
constexpr size_t MaxSystemFolder = 253;

class EFolderTooLong : public Exception {
public:
    using Exception::Exception;
};

// The path of folder Id. With AddTrailingDelimiter a "\" is appended unless the path
// already ends in one; without it the path is returned as its source gives it. An id
// outside 0..44 gives "".
std::string GetSpecialFolder(const TPlatform& Platform, int Id, bool AddTrailingDelimiter);

// The readers behind GetSpecialFolder, one per source. Missing keys or values give "".
std::string GetUserShellFolder(const TPlatform& Platform, const std::string& Name);
std::string GetCommonShellFolder(const TPlatform& Platform, const std::string& Name);
std::string GetWindowsPath(const TPlatform& Platform, const std::string& Name);
std::string GetBootDir(const TPlatform& Platform);
std::string GetWindowsDir(const TPlatform& Platform);
std::string GetSystemDir(const TPlatform& Platform);
std::string GetTempDir(const TPlatform& Platform);

// Registry locations of the sources.
extern const char* const ShellFoldersKey; // under the current user and the machine
extern const char* const WindowsPathsKey; // under the machine
extern const char* const SetupKey;        // under the machine, holds "BootDir"

} // namespace qe
