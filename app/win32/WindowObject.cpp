#include "app/win32/WindowObject.h"

#include <exception>

#include "linklabel/win32/LinkLabelWindow.h"

namespace qe::win32 {

LRESULT CALLBACK WindowObjectProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam)
{
    if (Message == WM_NCCREATE) {
        const auto* Create = reinterpret_cast<const CREATESTRUCTW*>(LParam);
        SetWindowLongPtrW(Window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(Create->lpCreateParams));
    }
    auto* Object = reinterpret_cast<TWindowObject*>(GetWindowLongPtrW(Window, GWLP_USERDATA));
    if (!Object)
        return DefWindowProcW(Window, Message, WParam, LParam);
    try {
        return Object->HandleMessage(Window, Message, WParam, LParam);
    } catch (const std::exception& Failure) {
        ShowApplicationError(GetAncestor(Window, GA_ROOT), Failure.what());
    } catch (...) {
        ShowApplicationError(GetAncestor(Window, GA_ROOT), "Unknown error");
    }
    return 0;
}

void RegisterObjectClass(const wchar_t* ClassName, int ExtraBytes, HICON Icon, HBRUSH Background)
{
    // A class of the wide API: its windows take and give their texts in UTF-16.
    WNDCLASSEXW Class{};
    Class.cbSize = sizeof(Class);
    Class.lpfnWndProc = WindowObjectProc;
    Class.cbWndExtra = ExtraBytes;
    Class.hInstance = GetModuleHandleW(nullptr);
    Class.hIcon = Icon;
    Class.hIconSm = Icon;
    Class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    Class.hbrBackground = Background;
    Class.lpszClassName = ClassName;
    RegisterClassExW(&Class);
}

} // namespace qe::win32
