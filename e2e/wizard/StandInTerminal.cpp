// Stands in for a MetaTrader terminal's terminal.exe: records that it was started, and by
// which program, by writing terminal-started.txt beside itself (its own path in UTF-8 and
// the program that started it), then ends.
#include <windows.h>

#include <tlhelp32.h>

#include <string>

namespace {

std::string Utf8(const wchar_t* Text, int Length)
{
    char Bytes[MAX_PATH * 3] = {};
    const int Size = WideCharToMultiByte(CP_UTF8, 0, Text, Length, Bytes, sizeof(Bytes), nullptr, nullptr);
    return std::string(Bytes, static_cast<size_t>(Size > 0 ? Size : 0));
}

// The file name and process id of the program that started this one (the name "?" when
// it has ended).
std::string Starter()
{
    const DWORD Self = GetCurrentProcessId();
    HANDLE Snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (Snapshot == INVALID_HANDLE_VALUE)
        return "?";
    DWORD Parent = 0;
    std::string Name = "?";
    PROCESSENTRY32W Entry{};
    Entry.dwSize = sizeof(Entry);
    for (BOOL More = Process32FirstW(Snapshot, &Entry); More; More = Process32NextW(Snapshot, &Entry))
        if (Entry.th32ProcessID == Self)
            Parent = Entry.th32ParentProcessID;
    for (BOOL More = Process32FirstW(Snapshot, &Entry); More; More = Process32NextW(Snapshot, &Entry))
        if (Entry.th32ProcessID == Parent)
            Name = Utf8(Entry.szExeFile, -1).c_str(); // without the closing NUL
    CloseHandle(Snapshot);
    return Name + " (process " + std::to_string(Parent) + ")";
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    wchar_t Path[MAX_PATH] = {};
    const DWORD Length = GetModuleFileNameW(nullptr, Path, MAX_PATH);
    if (Length == 0 || Length >= MAX_PATH)
        return 1;
    const std::wstring Self(Path, Length);
    const std::wstring Marker = Self.substr(0, Self.rfind(L'\\') + 1) + L"terminal-started.txt";
    const std::string Record = Utf8(Path, static_cast<int>(Length)) + "\r\nstarted by " + Starter();
    const HANDLE File =
        CreateFileW(Marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (File == INVALID_HANDLE_VALUE)
        return 1;
    DWORD Written = 0;
    WriteFile(File, Record.data(), static_cast<DWORD>(Record.size()), &Written, nullptr);
    CloseHandle(File);
    return 0;
}
