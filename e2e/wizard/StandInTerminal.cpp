// Stands in for a MetaTrader terminal's terminal.exe: records that it was started by
// writing terminal-started.txt beside itself (its own path in UTF-8), then ends.
#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    wchar_t Path[MAX_PATH] = {};
    const DWORD Length = GetModuleFileNameW(nullptr, Path, MAX_PATH);
    if (Length == 0 || Length >= MAX_PATH)
        return 1;
    const std::wstring Self(Path, Length);
    const std::wstring Marker = Self.substr(0, Self.rfind(L'\\') + 1) + L"terminal-started.txt";
    const HANDLE File =
        CreateFileW(Marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (File == INVALID_HANDLE_VALUE)
        return 1;
    char Text[MAX_PATH * 3] = {};
    const int Size =
        WideCharToMultiByte(CP_UTF8, 0, Path, static_cast<int>(Length), Text, sizeof(Text), nullptr, nullptr);
    DWORD Written = 0;
    WriteFile(File, Text, static_cast<DWORD>(Size), &Written, nullptr);
    CloseHandle(File);
    return 0;
}
