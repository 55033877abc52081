// Process entry of setup.exe: loads the package from the program's own file and shows
// the installer's window until it is closed.
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include "app/SetupWindow.h"

int WINAPI WinMain(HINSTANCE Instance, HINSTANCE, LPSTR, int ShowCommand)
{
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    INITCOMMONCONTROLSEX Controls{sizeof(Controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&Controls);
    const int Result = qe::RunSetupWindow(Instance, ShowCommand);
    CoUninitialize();
    return Result;
}
