// The self-removal script on the real Windows (under Wine in the test command): the
// command interpreter waits while the uninstaller's file is held open, then removes the
// file, its folder and the script.
#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "app/SelfRemoval.h"
#include "platform/Paths.h"
#include "platform/SysFolders.h"
#include "platform/win32/Win32Platform.h"

namespace qe::test {
namespace {

bool Exists(const std::string& Path)
{
    return GetFileAttributesA(Path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The paths matching Pattern (a folder and a wildcard name).
std::set<std::string> Matching(const std::string& Folder, const std::string& Name)
{
    std::set<std::string> Paths;
    WIN32_FIND_DATAA Data;
    HANDLE H = FindFirstFileA((Folder + "\\" + Name).c_str(), &Data);
    if (H != INVALID_HANDLE_VALUE) {
        do
            Paths.insert(Folder + "\\" + Data.cFileName);
        while (FindNextFileA(H, &Data));
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
    const std::string Folder =
        GetSpecialFolder(P, sfTemp, true) + "qe self-removal " + std::to_string(GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryA(Folder.c_str(), nullptr));
    const std::string Exe = Folder + "\\Uninstall.exe";
    HANDLE Running = CreateFileA(Exe.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW, 0, nullptr);
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
    if ((GetFileAttributesA(Script.c_str()) & FILE_ATTRIBUTE_DIRECTORY) != 0) {
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
        RemoveDirectoryA(ScriptFolder.c_str());
    RemoveDirectoryA(Folder.c_str());
}

} // namespace
} // namespace qe::test
