#include "platform/win32/Win32System.h"

#include <windows.h>

#include <vector>

namespace qe::win32 {
namespace {

// The folder functions write into a 255-byte buffer and are told it holds 254, so a
// text of 253 characters and its NUL fit. A longer text is not written at all: the
// result is then empty, never a part of the path.
template <typename TGetter> std::string FolderText(TGetter Getter)
{
    char Buffer[255] = {};
    const UINT Length = Getter(Buffer, 254);
    if (Length == 0 || Length >= 254)
        return {};
    return std::string(Buffer);
}

} // namespace

std::string TWin32System::WindowsFolder()
{
    return FolderText([](char* B, UINT Size) { return GetWindowsDirectoryA(B, Size); });
}

std::string TWin32System::SystemFolder()
{
    return FolderText([](char* B, UINT Size) { return GetSystemDirectoryA(B, Size); });
}

std::string TWin32System::TempFolder()
{
    return FolderText([](char* B, UINT Size) { return GetTempPathA(Size, B); });
}

std::string TWin32System::ExpandEnvironment(const std::string& Text)
{
    // Sized to the expansion, so the caller sees the whole text and decides on it.
    std::vector<char> Buffer(Text.size() + 260);
    for (;;) {
        const DWORD Needed = ExpandEnvironmentStringsA(Text.c_str(), Buffer.data(), static_cast<DWORD>(Buffer.size()));
        if (Needed == 0)
            return Text;
        if (Needed <= Buffer.size())
            return std::string(Buffer.data());
        Buffer.resize(Needed);
    }
}

bool TWin32System::TopLevelWindowExists(const std::string& ClassName)
{
    return FindWindowA(ClassName.c_str(), nullptr) != nullptr;
}

bool TWin32System::StartHiddenIdleProcess(const std::string& CommandLine, const std::string& CurrentFolder)
{
    STARTUPINFOA Startup{};
    Startup.cb = sizeof(Startup);
    Startup.dwFlags = STARTF_USESHOWWINDOW;
    Startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION Process{};
    std::vector<char> Line(CommandLine.begin(), CommandLine.end());
    Line.push_back('\0');
    if (!CreateProcessA(nullptr, Line.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED | IDLE_PRIORITY_CLASS, nullptr,
                        CurrentFolder.empty() ? nullptr : CurrentFolder.c_str(), &Startup, &Process))
        return false;
    SetThreadPriority(Process.hThread, THREAD_PRIORITY_IDLE);
    CloseHandle(Process.hProcess);
    ResumeThread(Process.hThread);
    CloseHandle(Process.hThread);
    return true;
}

TSystemTime TWin32System::LocalTime()
{
    SYSTEMTIME T;
    GetLocalTime(&T);
    return TSystemTime{T.wYear, T.wMonth, T.wDayOfWeek, T.wDay, T.wHour, T.wMinute, T.wSecond, T.wMilliseconds};
}

} // namespace qe::win32
