// The window's DPI and the scaling of the layout's 96-dpi numbers. Functions of newer
// systems are found at run time, so the program still starts where they are missing.
#pragma once

#include <windows.h>

namespace qe::win32 {

constexpr UINT DesignDpi = 96;

// A length of the layout at 96 dpi, scaled to Dpi.
inline int Scale(int Value, UINT Dpi)
{
    return MulDiv(Value, static_cast<int>(Dpi), static_cast<int>(DesignDpi));
}

// The DPI of the monitor the window is on where the system tells it per window, else the
// screen's.
UINT WindowDpi(HWND Window);

// The outer size of a window with this style whose client area is Width x Height at Dpi.
SIZE WindowSizeForClient(int Width, int Height, DWORD Style, DWORD ExStyle, UINT Dpi);

} // namespace qe::win32
