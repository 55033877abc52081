#include "app/SetupWindow.h"

#include <memory>
#include <string>

#include "package/ModelLoader.h"
#include "platform/win32/Win32Platform.h"

namespace qe {
namespace {

const char WindowClass[] = "TFormInstaller";

// The error box of the application: stop icon, the application title as caption, and a
// period after the text when it has none.
void ShowErrorBox(HWND Owner, const std::string& Title, std::string Text)
{
    if (!Text.empty() && Text.back() != '.')
        Text += '.';
    MessageBoxA(Owner, Text.c_str(), Title.c_str(), MB_OK | MB_ICONSTOP);
}

LRESULT CALLBACK WindowProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam)
{
    if (Message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(Window, Message, WParam, LParam);
}

} // namespace

int RunSetupWindow(HINSTANCE Instance, int ShowCommand)
{
    win32::TWin32Platform Windows;
    const std::string ExePath = Windows.Platform().FileSystem->ExecutablePath();
    const TProgramModel Model = CreateModel(Windows.Platform(), ExePath);
    std::string Error;
    try {
        Model.Data().LoadFromFile(ExePath);
    } catch (const std::exception& Failure) {
        Error = Failure.what();
    }
    const std::string Title = (Model.IsUninstall() ? "Uninstall - " : "Install - ") + Model.Data().ProgramName;

    WNDCLASSEXA Class{};
    Class.cbSize = sizeof(Class);
    Class.lpfnWndProc = WindowProc;
    Class.hInstance = Instance;
    Class.hIcon = LoadIconA(Instance, MAKEINTRESOURCEA(1));
    Class.hIconSm = Class.hIcon;
    Class.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    Class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    Class.lpszClassName = WindowClass;
    RegisterClassExA(&Class);

    HWND Window =
        CreateWindowExA(0, WindowClass, Title.c_str(), WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                        CW_USEDEFAULT, CW_USEDEFAULT, 503, 386, nullptr, nullptr, Instance, nullptr);
    if (!Error.empty())
        ShowErrorBox(nullptr, Title, Error);
    ShowWindow(Window, ShowCommand);
    UpdateWindow(Window);

    MSG Message;
    while (GetMessageA(&Message, nullptr, 0, 0) > 0) {
        TranslateMessage(&Message);
        DispatchMessageA(&Message);
    }
    return 0;
}

} // namespace qe
