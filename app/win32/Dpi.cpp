#include "app/win32/Dpi.h"

namespace qe::win32 {
namespace {

template <class TFunction> TFunction User32Function(const char* Name)
{
    HMODULE User = GetModuleHandleW(L"user32.dll");
    return User ? reinterpret_cast<TFunction>(reinterpret_cast<void*>(GetProcAddress(User, Name))) : nullptr;
}

} // namespace

UINT WindowDpi(HWND Window)
{
    using TGetDpiForWindow = UINT(WINAPI*)(HWND);
    static const auto GetDpiForWindow = User32Function<TGetDpiForWindow>("GetDpiForWindow");
    if (GetDpiForWindow && Window) {
        const UINT Dpi = GetDpiForWindow(Window);
        if (Dpi != 0)
            return Dpi;
    }
    HDC Screen = GetDC(nullptr);
    const int Dpi = Screen ? GetDeviceCaps(Screen, LOGPIXELSY) : 0;
    if (Screen)
        ReleaseDC(nullptr, Screen);
    return Dpi > 0 ? static_cast<UINT>(Dpi) : DesignDpi;
}

SIZE WindowSizeForClient(int Width, int Height, DWORD Style, DWORD ExStyle, UINT Dpi)
{
    using TAdjustWindowRectExForDpi = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    static const auto AdjustForDpi = User32Function<TAdjustWindowRectExForDpi>("AdjustWindowRectExForDpi");
    RECT Rect{0, 0, Width, Height};
    if (!AdjustForDpi || !AdjustForDpi(&Rect, Style, FALSE, ExStyle, Dpi))
        AdjustWindowRectEx(&Rect, Style, FALSE, ExStyle);
    return SIZE{Rect.right - Rect.left, Rect.bottom - Rect.top};
}

} // namespace qe::win32
