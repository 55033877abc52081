#include "platform/stdio/ProgramArguments.h"

#ifdef _WIN32
#include <windows.h>

#include <shellapi.h>

#include "platform/win32/Win32Text.h"
#endif

namespace qe {

std::vector<std::string> Utf8Arguments(int Count, char** Arguments)
{
#ifdef _WIN32
    SetConsoleOutputCP(CP_UTF8);
    int WideCount = 0;
    wchar_t** Wide = CommandLineToArgvW(GetCommandLineW(), &WideCount);
    if (Wide != nullptr) {
        std::vector<std::string> Result;
        for (int I = 0; I < WideCount; ++I)
            Result.push_back(win32::Utf8(Wide[I]));
        LocalFree(Wide);
        return Result;
    }
#endif
    return std::vector<std::string>(Arguments, Arguments + Count);
}

} // namespace qe
