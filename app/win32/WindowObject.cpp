#include "app/win32/WindowObject.h"

#include <exception>

#include "linklabel/win32/LinkLabelWindow.h"

namespace qe::win32 {

LRESULT CALLBACK WindowObjectProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam)
{
    if (Message == WM_NCCREATE) {
        const auto* Create = reinterpret_cast<const CREATESTRUCTA*>(LParam);
        SetWindowLongPtrA(Window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(Create->lpCreateParams));
    }
    auto* Object = reinterpret_cast<TWindowObject*>(GetWindowLongPtrA(Window, GWLP_USERDATA));
    if (!Object)
        return DefWindowProcA(Window, Message, WParam, LParam);
    try {
        return Object->HandleMessage(Window, Message, WParam, LParam);
    } catch (const std::exception& Failure) {
        ShowApplicationError(GetAncestor(Window, GA_ROOT), Failure.what());
    } catch (...) {
        ShowApplicationError(GetAncestor(Window, GA_ROOT), "Unknown error");
    }
    return 0;
}

void RegisterObjectClass(const char* ClassName, int ExtraBytes, HICON Icon, HBRUSH Background)
{
    WNDCLASSEXA Class{};
    Class.cbSize = sizeof(Class);
    Class.lpfnWndProc = WindowObjectProc;
    Class.cbWndExtra = ExtraBytes;
    Class.hInstance = GetModuleHandleA(nullptr);
    Class.hIcon = Icon;
    Class.hIconSm = Icon;
    Class.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    Class.hbrBackground = Background;
    Class.lpszClassName = ClassName;
    RegisterClassExA(&Class);
}

} // namespace qe::win32
