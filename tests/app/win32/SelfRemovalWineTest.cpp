// The self-removal script on the real Windows (under Wine in the test command): the
// command interpreter waits while the uninstaller's file is held open, then removes the
// file, its folder and the script, whatever script their names are in.
#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "app/SelfRemoval.h"
#include "platform/Paths.h"
#include "platform/SysFolders.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32Text.h"

namespace qe::test {
namespace {

using win32::Utf8;
using win32::Wide;

bool Exists(const std::string& Path)
{
    return GetFileAttributesW(Wide(Path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The paths matching Pattern (a folder and a wildcard name).
std::set<std::string> Matching(const std::string& Folder, const std::string& Name)
{
    std::set<std::string> Paths;
    WIN32_FIND_DATAW Data;
    HANDLE H = FindFirstFileW(Wide(Folder + "\\" + Name).c_str(), &Data);
    if (H != INVALID_HANDLE_VALUE) {
        do
            Paths.insert(Folder + "\\" + Utf8(Data.cFileName));
        while (FindNextFileW(H, &Data));
        FindClose(H);
    }
    return Paths;
}

// Where a script of this process may lie: in a folder of its own below the user's
// temporary folder, or below the Windows temporary folder when elevated.
std::set<std::string> Scripts(const TPlatform& Platform)
{
    auto Paths = Matching(ExcludeTrailingDelimiter(GetSpecialFolder(Platform, sfTemp, false)), "QeUninstall-*");
    Paths.merge(Matching(GetSpecialFolder(Platform, sfWindows, true) + "Temp", "QeUninstall-*"));
    return Paths;
}

bool WaitUntilGone(const std::string& Path, DWORD Milliseconds)
{
    for (DWORD Waited = 0; Exists(Path) && Waited < Milliseconds; Waited += 100)
        Sleep(100);
    return !Exists(Path);
}

TEST(SelfRemovalUnderWindows, TheScriptWaitsForTheFileThenRemovesItItsFolderAndItself)
{
    win32::TWin32Platform Machine;
    const TPlatform& P = Machine.Platform();
    // Names no code page but UTF-16 writes whole, and a "%" that must not start a variable.
    const std::string Folder =
        GetSpecialFolder(P, sfTemp, true) + "qe самоудаление 网格 100% " + std::to_string(GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryW(Wide(Folder).c_str(), nullptr)) << Folder << " " << GetLastError();
    const std::string Exe = Folder + "\\Uninstall.exe";
    HANDLE Running = CreateFileW(Wide(Exe).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(Running, INVALID_HANDLE_VALUE);

    const auto Before = Scripts(P);
    ASSERT_TRUE(SelfDelete(P, Exe, true));
    std::set<std::string> New;
    for (const std::string& Path : Scripts(P))
        if (!Before.count(Path))
            New.insert(Path);
    ASSERT_EQ(New.size(), 1u);
    std::string Script = *New.begin();
    std::string ScriptFolder;
    if ((GetFileAttributesW(Wide(Script).c_str()) & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        const auto Inside = Matching(Script, "*.bat");
        ASSERT_EQ(Inside.size(), 1u);
        ScriptFolder = Script;
        Script = *Inside.begin();
    }

    // While the program's file is in use the script keeps trying.
    Sleep(2000);
    EXPECT_TRUE(Exists(Exe));
    CloseHandle(Running);
    EXPECT_TRUE(WaitUntilGone(Exe, 30000));
    EXPECT_TRUE(WaitUntilGone(Folder, 5000));
    EXPECT_TRUE(WaitUntilGone(Script, 5000)) << Script;
    // Windows' interpreter lets go of the script between lines and so removes its folder
    // too; Wine's holds it open to the end.
    if (!ScriptFolder.empty())
        RemoveDirectoryW(Wide(ScriptFolder).c_str());
    RemoveDirectoryW(Wide(Folder).c_str());
}

} // namespace
} // namespace qe::test
