// A DLL named like one of the system's, planted beside a program: when any process loads
// it, it writes NAME.dll.loaded beside itself, naming the program that loaded it.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE Instance, DWORD Reason, LPVOID)
{
    if (Reason != DLL_PROCESS_ATTACH)
        return TRUE;
    char Self[MAX_PATH + 16] = {};
    const DWORD Length = GetModuleFileNameA(Instance, Self, MAX_PATH);
    if (Length == 0 || Length >= MAX_PATH)
        return TRUE;
    lstrcatA(Self, ".loaded");
    char Program[MAX_PATH] = {};
    const DWORD ProgramLength = GetModuleFileNameA(nullptr, Program, MAX_PATH);
    const HANDLE File = CreateFileA(Self, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (File != INVALID_HANDLE_VALUE) {
        DWORD Written = 0;
        WriteFile(File, Program, ProgramLength, &Written, nullptr);
        CloseHandle(File);
    }
    return TRUE;
}
