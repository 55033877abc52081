#include "platform/win32/Win32Platform.h"

namespace qe::win32 {

TWin32Platform::TWin32Platform() : FPlatform{&FileSystem, &Registry, &System, &Shell} {}

} // namespace qe::win32
