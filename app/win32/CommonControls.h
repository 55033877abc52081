// The common controls library (version 6, through the program's manifest), loaded when the
// program asks for it rather than with the program: its start-up work loads further DLLs,
// which must come after the DLL search has been kept to the system folder.
#pragma once

#include <windows.h>

#include <commctrl.h>

namespace qe::win32 {

// Loads the library and registers the control classes the wizard uses; raises when the
// library cannot be loaded.
void LoadCommonControls();

// The library's window subclassing (SetWindowSubclass, DefSubclassProc,
// RemoveWindowSubclass).
bool SubclassWindow(HWND Window, SUBCLASSPROC Procedure, UINT_PTR Id, DWORD_PTR Data);
LRESULT DefaultSubclassProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam);
void RemoveSubclass(HWND Window, SUBCLASSPROC Procedure, UINT_PTR Id);

} // namespace qe::win32
