// Stands in for a MetaTrader terminal's terminal.exe: records that it was started by
// writing terminal-started.txt beside itself, then ends.
#include <windows.h>

#include <cstring>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char Path[MAX_PATH] = {};
    const DWORD Length = GetModuleFileNameA(nullptr, Path, MAX_PATH);
    if (Length == 0 || Length >= MAX_PATH)
        return 1;
    char Marker[MAX_PATH + 32] = {};
    lstrcpyA(Marker, Path);
    *(strrchr(Marker, '\\') + 1) = '\0';
    lstrcatA(Marker, "terminal-started.txt");
    const HANDLE File = CreateFileA(Marker, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (File == INVALID_HANDLE_VALUE)
        return 1;
    DWORD Written = 0;
    WriteFile(File, Path, Length, &Written, nullptr);
    CloseHandle(File);
    return 0;
}
