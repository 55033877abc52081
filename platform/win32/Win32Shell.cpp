#include "platform/win32/Win32Shell.h"

#include <windows.h>

#include <exdisp.h>
#include <objbase.h>
#include <objidl.h>
#include <shellapi.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>

#include <iterator>
#include <vector>

#include "platform/Exceptions.h"
#include "platform/ShellLink.h"
#include "platform/win32/DllSearch.h"
#include "platform/win32/Win32Errors.h"
#include "platform/win32/Win32Text.h"

namespace qe::win32 {
namespace {

// Releases a COM interface when it goes out of scope.
template <typename T> class TComPtr {
public:
    ~TComPtr()
    {
        if (FPtr != nullptr)
            FPtr->Release();
    }
    T** operator&() { return &FPtr; }
    T* operator->() const { return FPtr; }
    T* Get() const { return FPtr; }

private:
    T* FPtr = nullptr;
};

// The chooser's callback data: the initial folder and the window to centre on.
struct TSelectDirCallback {
    std::wstring Folder;
    HWND MainForm;
};

int CALLBACK SelectDirProc(HWND Dialog, UINT Message, LPARAM, LPARAM Data)
{
    if (Message != BFFM_INITIALIZED)
        return 0;
    const auto* Callback = reinterpret_cast<const TSelectDirCallback*>(Data);
    HMONITOR Monitor =
        MonitorFromWindow(Callback->MainForm != nullptr ? Callback->MainForm : Dialog, MONITOR_DEFAULTTONEAREST);
    MONITORINFO Info{};
    Info.cbSize = sizeof(Info);
    RECT Rect;
    if (GetMonitorInfoW(Monitor, &Info) && GetWindowRect(Dialog, &Rect)) {
        const int MonitorWidth = Info.rcMonitor.right - Info.rcMonitor.left;
        const int MonitorHeight = Info.rcMonitor.bottom - Info.rcMonitor.top;
        const int Left = Info.rcMonitor.left + (MonitorWidth - (Rect.right - Rect.left)) / 2;
        const int Top = Info.rcMonitor.top + (MonitorHeight - (Rect.bottom - Rect.top)) / 2;
        SetWindowPos(Dialog, nullptr, Left, Top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }
    if (!Callback->Folder.empty())
        SendMessageW(Dialog, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(Callback->Folder.c_str()));
    return 0;
}

BOOL CALLBACK CollectEnabledWindow(HWND Window, LPARAM Data)
{
    if (IsWindowVisible(Window) && IsWindowEnabled(Window))
        reinterpret_cast<std::vector<HWND>*>(Data)->push_back(Window);
    return TRUE;
}

} // namespace

void TWin32Shell::SaveLink(const TShellLink& Link, const std::string& FileName)
{
    TComPtr<IShellLinkW> Shell;
    const HRESULT Created = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                             reinterpret_cast<void**>(&Shell));
    if (FAILED(Created) || Shell.Get() == nullptr)
        throw EFCreateError(CannotCreateFileMessage(FileName, SysErrorMessage(static_cast<uint32_t>(Created))));
    Shell->SetArguments(Wide(Link.Arguments).c_str());
    Shell->SetShowCmd(Link.ShowCmd);
    Shell->SetWorkingDirectory(Wide(Link.WorkingDirectory).c_str());
    Shell->SetPath(Wide(Link.Path).c_str());
    Shell->SetDescription(Wide(Link.Description).c_str());
    Shell->SetHotkey(Link.Hotkey);
    Shell->SetIconLocation(Wide(Link.IconLocation).c_str(), Link.IconIndex);
    TComPtr<IPersistFile> File;
    if (FAILED(Shell->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&File))) || File.Get() == nullptr)
        throw Exception("Interface not supported");
    // The shell reports nothing when it cannot write the link.
    File->Save(Wide(FileName).c_str(), TRUE);
}

bool TWin32Shell::ReadLink(const std::string& FileName, TShellLinkData& Data)
{
    TComPtr<IShellLinkW> Shell;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&Shell))))
        return false;
    TComPtr<IPersistFile> File;
    if (FAILED(Shell->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&File))))
        return false;
    if (FAILED(File->Load(Wide(FileName).c_str(), STGM_READ)))
        return false;
    wchar_t Buffer[MAX_PATH * 4];
    const int Size = static_cast<int>(std::size(Buffer));
    // The target as the link's item list names it, in UTF-16 on every system; Wine keeps
    // the path field of a link it saved in the ANSI code page, which loses other letters.
    using TGetPathFromIDList = BOOL(WINAPI*)(LPCITEMIDLIST, LPWSTR);
    static const auto GetPathFromIDList = SystemFunction<TGetPathFromIDList>("shell32.dll", "SHGetPathFromIDListW");
    LPITEMIDLIST Items = nullptr;
    Buffer[0] = L'\0';
    if (!GetPathFromIDList || FAILED(Shell->GetIDList(&Items)) || Items == nullptr || !GetPathFromIDList(Items, Buffer))
        Shell->GetPath(Buffer, Size, nullptr, SLGP_RAWPATH);
    CoTaskMemFree(Items);
    Data.Path = Utf8(Buffer);
    Buffer[0] = L'\0';
    Shell->GetWorkingDirectory(Buffer, Size);
    Data.WorkingDirectory = Utf8(Buffer);
    Buffer[0] = L'\0';
    Shell->GetArguments(Buffer, Size);
    Data.Arguments = Utf8(Buffer);
    Buffer[0] = L'\0';
    Shell->GetDescription(Buffer, Size);
    Data.Description = Utf8(Buffer);
    return true;
}

// The shell's functions. The program does not import shell32: a DLL a program imports loads
// with it, before the program can keep the DLL search to the system folder, and so do the
// DLLs that one imports in turn (shlwapi, shcore), which not every system protects.
namespace {

template <class TFunction> TFunction ShellFunction(const char* Name)
{
    return SystemFunction<TFunction>("shell32.dll", Name);
}

} // namespace

bool TWin32Shell::ShellOpen(const std::string& FileOrLink)
{
    using TShellExecuteW = HINSTANCE(WINAPI*)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);
    static const auto ShellExecute = ShellFunction<TShellExecuteW>("ShellExecuteW");
    if (!ShellExecute)
        return false;
    // No owner window: what the shell starts (a browser, a mail client, a terminal) is on
    // its own, not tied to the wizard that is about to close.
    const auto Result =
        reinterpret_cast<INT_PTR>(ShellExecute(nullptr, L"open", Wide(FileOrLink).c_str(), nullptr, nullptr, SW_SHOW));
    return Result > 32;
}

bool TWin32Shell::OpenAsUser(const std::string& FileOrLink)
{
    // BSTR strings are oleaut32's, loaded from the system folder like shell32.
    using TSysAllocString = BSTR(WINAPI*)(const OLECHAR*);
    using TSysFreeString = void(WINAPI*)(BSTR);
    static const auto AllocString = SystemFunction<TSysAllocString>("oleaut32.dll", "SysAllocString");
    static const auto FreeString = SystemFunction<TSysFreeString>("oleaut32.dll", "SysFreeString");
    if (!AllocString || !FreeString)
        return false;
    // The desktop's folder view lives in the shell's own process; the application object
    // behind it opens what it is given there, with the rights the desktop has.
    TComPtr<IShellWindows> Windows;
    if (FAILED(CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, IID_IShellWindows,
                                reinterpret_cast<void**>(&Windows))))
        return false;
    VARIANT Location{}; // empty: the desktop
    VARIANT Root{};
    LONG Window = 0;
    TComPtr<IDispatch> Desktop;
    if (Windows->FindWindowSW(&Location, &Root, SWC_DESKTOP, &Window, SWFO_NEEDDISPATCH, &Desktop) != S_OK ||
        Desktop.Get() == nullptr)
        return false;
    TComPtr<IServiceProvider> Services;
    TComPtr<IShellBrowser> Browser;
    TComPtr<IShellView> View;
    TComPtr<IDispatch> Background;
    TComPtr<IShellFolderViewDual> FolderView;
    TComPtr<IDispatch> Application;
    TComPtr<IShellDispatch2> Shell;
    if (FAILED(Desktop->QueryInterface(IID_IServiceProvider, reinterpret_cast<void**>(&Services))) ||
        FAILED(Services->QueryService(SID_STopLevelBrowser, IID_IShellBrowser, reinterpret_cast<void**>(&Browser))) ||
        FAILED(Browser->QueryActiveShellView(&View)) ||
        FAILED(View->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, reinterpret_cast<void**>(&Background))) ||
        FAILED(Background->QueryInterface(IID_IShellFolderViewDual, reinterpret_cast<void**>(&FolderView))) ||
        FAILED(FolderView->get_Application(&Application)) ||
        FAILED(Application->QueryInterface(IID_IShellDispatch2, reinterpret_cast<void**>(&Shell))))
        return false;
    BSTR File = AllocString(Wide(FileOrLink).c_str());
    BSTR Verb = AllocString(L"open");
    VARIANT Arguments{};
    VARIANT Folder{};
    VARIANT Operation{};
    Operation.vt = VT_BSTR;
    Operation.bstrVal = Verb;
    VARIANT Show{};
    Show.vt = VT_I4;
    Show.lVal = SW_SHOWNORMAL;
    const HRESULT Opened = File != nullptr && Verb != nullptr
                               ? Shell->ShellExecute(File, Arguments, Folder, Operation, Show)
                               : E_OUTOFMEMORY;
    FreeString(File);
    FreeString(Verb);
    return SUCCEEDED(Opened);
}

TFolderPick TWin32Shell::ChooseFolder(const std::string& Caption, std::string& Folder)
{
    const DWORD Attributes = GetFileAttributesW(Wide(Folder).c_str());
    if (Attributes == INVALID_FILE_ATTRIBUTES || (Attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
        Folder.clear();
    using TBrowseForFolder = LPITEMIDLIST(WINAPI*)(LPBROWSEINFOW);
    using TGetPathFromIDList = BOOL(WINAPI*)(LPCITEMIDLIST, LPWSTR);
    static const auto BrowseForFolder = ShellFunction<TBrowseForFolder>("SHBrowseForFolderW");
    static const auto GetPathFromIDList = ShellFunction<TGetPathFromIDList>("SHGetPathFromIDListW");
    using TGetFileInfo = DWORD_PTR(WINAPI*)(LPCWSTR, DWORD, SHFILEINFOW*, UINT, UINT);
    static const auto GetFileInfo = ShellFunction<TGetFileInfo>("SHGetFileInfoW");
    if (!BrowseForFolder || !GetPathFromIDList)
        return TFolderPick::fpCancelled;
    // The task allocator, which the shell's own allocator is.
    IMalloc* Malloc = nullptr;
    if (FAILED(CoGetMalloc(1, &Malloc)) || Malloc == nullptr)
        return TFolderPick::fpCancelled;
    auto* Buffer = static_cast<wchar_t*>(Malloc->Alloc(MAX_PATH * sizeof(wchar_t)));
    if (Buffer == nullptr) {
        Malloc->Release();
        return TFolderPick::fpCancelled;
    }
    Buffer[0] = L'\0';
    TSelectDirCallback Callback{Wide(Folder), static_cast<HWND>(FOwner)};
    const std::wstring Title = Wide(Caption);
    BROWSEINFOW Info{};
    Info.hwndOwner = static_cast<HWND>(FOwner);
    Info.pidlRoot = nullptr;
    Info.pszDisplayName = Buffer;
    Info.lpszTitle = Title.c_str();
    Info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE | BIF_NONEWFOLDERBUTTON;
    Info.lpfn = SelectDirProc;
    Info.lParam = reinterpret_cast<LPARAM>(&Callback);

    const HRESULT Com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (Com == RPC_E_CHANGED_MODE)
        Info.ulFlags &= ~static_cast<UINT>(BIF_NEWDIALOGSTYLE);
    std::vector<HWND> Disabled;
    EnumThreadWindows(GetCurrentThreadId(), CollectEnabledWindow, reinterpret_cast<LPARAM>(&Disabled));
    for (HWND Window : Disabled)
        EnableWindow(Window, FALSE);
    const UINT OldErrorMode = SetErrorMode(SEM_FAILCRITICALERRORS);
    LPITEMIDLIST Chosen = BrowseForFolder(&Info);
    SetErrorMode(OldErrorMode);
    for (HWND Window : Disabled)
        EnableWindow(Window, TRUE);
    // Only a successful initialisation is balanced.
    if (SUCCEEDED(Com))
        CoUninitialize();

    TFolderPick Pick = TFolderPick::fpCancelled;
    if (Chosen != nullptr) {
        // The buffer holds the item's display name; an item that is no folder of the file
        // system (the chooser lets some through) has no path to put there. Not every
        // chooser fills in the name; the shell gives it then.
        std::string DisplayName = Utf8(Buffer);
        SHFILEINFOW Info{};
        if (DisplayName.empty() && GetFileInfo &&
            GetFileInfo(reinterpret_cast<LPCWSTR>(Chosen), 0, &Info, sizeof(Info), SHGFI_PIDL | SHGFI_DISPLAYNAME))
            DisplayName = Utf8(Info.szDisplayName);
        Buffer[0] = L'\0';
        const bool HasPath = GetPathFromIDList(Chosen, Buffer) && Buffer[0] != L'\0';
        Malloc->Free(Chosen);
        Pick = HasPath ? TFolderPick::fpFolder : TFolderPick::fpNoFileSystemPath;
        Folder = HasPath ? Utf8(Buffer) : DisplayName;
    }
    Malloc->Free(Buffer);
    Malloc->Release();
    return Pick;
}

} // namespace qe::win32
