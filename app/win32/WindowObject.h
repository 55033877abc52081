// One window procedure for every window class of the program: it maps a window handle to
// the object that handles its messages.
#pragma once

#include <windows.h>

namespace qe::win32 {

class TWindowObject {
public:
    virtual ~TWindowObject() = default;
    // Handles one message; calls the class's default handling for what it leaves.
    virtual LRESULT HandleMessage(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) = 0;
};

// The window procedure of a class whose windows are created with their TWindowObject as
// the creation parameter (lpParam of CreateWindowEx). An exception escaping a handler
// cannot unwind through the system's code: it goes to the application's error box.
LRESULT CALLBACK WindowObjectProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam);

// Registers a window class of the program that uses WindowObjectProc; ExtraBytes are the
// window's extra bytes (DLGWINDOWEXTRA for a window that works like a dialog box).
void RegisterObjectClass(const wchar_t* ClassName, int ExtraBytes, HICON Icon, HBRUSH Background);

} // namespace qe::win32
