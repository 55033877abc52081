// An installer is often run from a downloads folder where other files lie. A DLL there
// named like one of Windows' own must never be loaded in its place: the program restricts
// the DLL search to the system folder before it loads anything, and loads every DLL it
// loads itself from the system folder only.
#pragma once

#include <windows.h>

namespace qe::win32 {

// The DLLs the program imports load with it, before it can do anything: it imports only
// DLLs every system loads from the system folder (kernel32, user32, gdi32, advapi32, ole32,
// ws2_32, the C runtime); the rest it loads itself. (Wine's own user32 imports version.dll,
// which Windows' does not; a test under Wine must not force a copy beside the program on it.)
//
// Takes the program's folder and the current folder out of the search for DLLs loaded
// from now on, and loads the DLLs Windows' own libraries load on demand from the system
// folder. Call it first thing, before any other DLL is loaded.
void RestrictDllSearch();

// Loads one of Windows' DLLs by its file name from the system folder only; null when the
// system folder has none.
HMODULE LoadSystemLibrary(const char* FileName);

// Loads a DLL of Windows that the program's manifest redirects to a side-by-side assembly
// (the common controls, version 6): the assembly's copy, else the system folder's.
HMODULE LoadSystemAssembly(const char* FileName);

// A function of one of Windows' DLLs, the DLL loaded from the system folder at the first
// call; null when the DLL or the function is missing.
template <class TFunction> TFunction SystemFunction(const char* FileName, const char* Name)
{
    HMODULE Module = LoadSystemLibrary(FileName);
    return Module ? reinterpret_cast<TFunction>(reinterpret_cast<void*>(GetProcAddress(Module, Name))) : nullptr;
}

} // namespace qe::win32
