#include "platform/win32/Win32Errors.h"

#include <windows.h>

namespace qe::win32 {

std::string SysErrorMessage(uint32_t Code)
{
    char Buffer[256];
    DWORD Length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, Code, 0, Buffer,
                                  sizeof(Buffer), nullptr);
    while (Length > 0 && (static_cast<unsigned char>(Buffer[Length - 1]) <= ' ' || Buffer[Length - 1] == '.'))
        --Length;
    if (Length == 0)
        return "System error code: " + std::to_string(Code);
    return std::string(Buffer, Length);
}

} // namespace qe::win32
