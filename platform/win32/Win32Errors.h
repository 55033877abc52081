// Turns a Win32 error code into the system's message text.
#pragma once

#include <cstdint>
#include <string>

namespace qe::win32 {

// The system's text for Code, without trailing blanks, line breaks and period, as the
// second part of "Cannot open file "%s". %s" quotes it.
std::string SysErrorMessage(uint32_t Code);

} // namespace qe::win32
