// Process entry of setup.exe, the installer and, under the name "Uninstall.exe", the
// uninstaller: the wizard decides its mode by the program's file name.
#include <windows.h>

#include <objbase.h>

#include <cstdlib>

#include "app/win32/CommonControls.h"
#include "app/win32/WizardWindow.h"
#include "linklabel/win32/LinkLabelWindow.h"
#include "platform/win32/DllSearch.h"

// libstdc++'s handler for an exception that nobody catches prints the exception's type,
// demangled, to the console, which a program with windows has not; its demangler would be
// a twentieth of setup.exe. This one ends the program as that one does after printing.
namespace __gnu_cxx {
void __verbose_terminate_handler()
{
    std::abort();
}
} // namespace __gnu_cxx

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int ShowCommand)
{
    // Before anything loads a DLL.
    qe::win32::RestrictDllSearch();
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    int Result = 0;
    try {
        qe::win32::LoadCommonControls();
        Result = qe::win32::RunWizard(ShowCommand);
    } catch (const std::exception& Failure) {
        qe::ShowApplicationError(nullptr, Failure.what());
        Result = 1;
    }
    CoUninitialize();
    return Result;
}
