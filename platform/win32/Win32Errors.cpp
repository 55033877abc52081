#include "platform/win32/Win32Errors.h"

#include <windows.h>

#include <iterator>

#include "platform/win32/Win32Text.h"

namespace qe::win32 {

std::string SysErrorMessage(uint32_t Code)
{
    // In the system's language, whatever its code page.
    wchar_t Buffer[256];
    DWORD Length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, Code, 0, Buffer,
                                  static_cast<DWORD>(std::size(Buffer)), nullptr);
    while (Length > 0 && (Buffer[Length - 1] <= L' ' || Buffer[Length - 1] == L'.'))
        --Length;
    if (Length == 0)
        return "System error code: " + std::to_string(Code);
    return Utf8(Buffer, Length);
}

} // namespace qe::win32
