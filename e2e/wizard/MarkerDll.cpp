// A DLL named like one of the system's, planted beside a program: when any process loads
// it, it writes NAME.dll.loaded beside itself, naming the program that loaded it (UTF-8).
#include <windows.h>

#include <string>

BOOL WINAPI DllMain(HINSTANCE Instance, DWORD Reason, LPVOID)
{
    if (Reason != DLL_PROCESS_ATTACH)
        return TRUE;
    wchar_t Self[MAX_PATH] = {};
    const DWORD Length = GetModuleFileNameW(Instance, Self, MAX_PATH);
    if (Length == 0 || Length >= MAX_PATH)
        return TRUE;
    wchar_t Program[MAX_PATH] = {};
    const DWORD ProgramLength = GetModuleFileNameW(nullptr, Program, MAX_PATH);
    char Text[MAX_PATH * 3] = {};
    const int Size =
        WideCharToMultiByte(CP_UTF8, 0, Program, static_cast<int>(ProgramLength), Text, sizeof(Text), nullptr, nullptr);
    const std::wstring Marker = std::wstring(Self, Length) + L".loaded";
    const HANDLE File =
        CreateFileW(Marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (File != INVALID_HANDLE_VALUE) {
        DWORD Written = 0;
        WriteFile(File, Text, static_cast<DWORD>(Size), &Written, nullptr);
        CloseHandle(File);
    }
    return TRUE;
}
