// An installer is often run from a downloads folder where other files lie. A DLL there
// named like one of Windows' own must never be loaded in its place: the program restricts
// the DLL search to the system folder before it loads anything, and loads every DLL it
// loads itself from the system folder only.
#pragma once

#include <windows.h>

namespace qe::win32 {

// Takes the program's folder and the current folder out of the search for DLLs loaded
// from now on. Call it first thing, before any other DLL is loaded.
void RestrictDllSearch();

// Loads one of Windows' DLLs by its file name from the system folder only (side-by-side
// assemblies such as the common controls still resolve through the program's manifest);
// null when the system folder has none.
HMODULE LoadSystemLibrary(const char* FileName);

} // namespace qe::win32
