// Starts a program, waits for its top-level window with the given caption, closes the
// window as a user would and checks that the program then ends with exit code 2, an
// installer's code for "cancelled".
//   window-driver.exe PROGRAM CAPTION [TIMEOUT_SECONDS]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/win32/Win32Text.h"

namespace {

struct TSearch {
    DWORD ProcessId;
    std::string Caption;
    HWND Found;
};

BOOL CALLBACK CheckWindow(HWND Window, LPARAM Param)
{
    auto* Search = reinterpret_cast<TSearch*>(Param);
    DWORD Owner = 0;
    GetWindowThreadProcessId(Window, &Owner);
    wchar_t Text[512] = {};
    GetWindowTextW(Window, Text, 512);
    if (Owner == Search->ProcessId && IsWindowVisible(Window) && qe::win32::Utf8(Text) == Search->Caption) {
        Search->Found = Window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: window-driver PROGRAM CAPTION [TIMEOUT_SECONDS]\n");
        return 2;
    }
    const DWORD TimeoutMs = (argc > 3 ? std::atoi(argv[3]) : 30) * 1000;
    std::wstring CommandLine = qe::win32::Wide(std::string("\"") + argv[1] + "\"");
    STARTUPINFOW Startup{};
    Startup.cb = sizeof(Startup);
    PROCESS_INFORMATION Process{};
    if (!CreateProcessW(qe::win32::Wide(argv[1]).c_str(), CommandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &Startup, &Process)) {
        std::fprintf(stderr, "cannot start %s (error %lu)\n", argv[1], GetLastError());
        return 1;
    }
    TSearch Search{Process.dwProcessId, argv[2], nullptr};
    const DWORD Start = GetTickCount();
    while (Search.Found == nullptr && GetTickCount() - Start < TimeoutMs) {
        EnumWindows(CheckWindow, reinterpret_cast<LPARAM>(&Search));
        if (Search.Found == nullptr)
            Sleep(100);
    }
    if (Search.Found == nullptr) {
        std::fprintf(stderr, "no window captioned \"%s\" appeared within %lu s\n", argv[2], TimeoutMs / 1000);
        TerminateProcess(Process.hProcess, 1);
        return 1;
    }
    std::printf("found the window \"%s\"\n", argv[2]);
    PostMessageW(Search.Found, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(Process.hProcess, 10000) != WAIT_OBJECT_0) {
        std::fprintf(stderr, "the program did not end after its window was closed\n");
        TerminateProcess(Process.hProcess, 1);
        return 1;
    }
    DWORD ExitCode = 1;
    GetExitCodeProcess(Process.hProcess, &ExitCode);
    std::printf("the program ended with exit code %lu\n", ExitCode);
    return ExitCode == 2 ? 0 : 1;
}
