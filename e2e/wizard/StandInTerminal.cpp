// Stands in for a MetaTrader terminal's terminal.exe: records that it was started, and by
// which program, by writing terminal-started.txt beside itself, then ends.
#include <windows.h>

#include <tlhelp32.h>

#include <string>

namespace {

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
    PROCESSENTRY32 Entry{};
    Entry.dwSize = sizeof(Entry);
    for (BOOL More = Process32First(Snapshot, &Entry); More; More = Process32Next(Snapshot, &Entry))
        if (Entry.th32ProcessID == Self)
            Parent = Entry.th32ParentProcessID;
    for (BOOL More = Process32First(Snapshot, &Entry); More; More = Process32Next(Snapshot, &Entry))
        if (Entry.th32ProcessID == Parent)
            Name = Entry.szExeFile;
    CloseHandle(Snapshot);
    return Name + " (process " + std::to_string(Parent) + ")";
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char Path[MAX_PATH] = {};
    const DWORD Length = GetModuleFileNameA(nullptr, Path, MAX_PATH);
    if (Length == 0 || Length >= MAX_PATH)
        return 1;
    std::string Marker(Path, Length);
    Marker = Marker.substr(0, Marker.rfind('\\') + 1) + "terminal-started.txt";
    const std::string Record = std::string(Path, Length) + "\r\nstarted by " + Starter();
    const HANDLE File =
        CreateFileA(Marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (File == INVALID_HANDLE_VALUE)
        return 1;
    DWORD Written = 0;
    WriteFile(File, Record.data(), static_cast<DWORD>(Record.size()), &Written, nullptr);
    CloseHandle(File);
    return 0;
}
