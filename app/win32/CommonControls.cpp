#include "app/win32/CommonControls.h"

#include "platform/Exceptions.h"
#include "platform/win32/DllSearch.h"

namespace qe::win32 {
namespace {

HMODULE Library()
{
    static const HMODULE Module = LoadSystemAssembly("comctl32.dll");
    return Module;
}

template <class TFunction> TFunction Function(const char* Name)
{
    return Library() ? reinterpret_cast<TFunction>(reinterpret_cast<void*>(GetProcAddress(Library(), Name))) : nullptr;
}

using TSetWindowSubclass = BOOL(WINAPI*)(HWND, SUBCLASSPROC, UINT_PTR, DWORD_PTR);
using TDefSubclassProc = LRESULT(WINAPI*)(HWND, UINT, WPARAM, LPARAM);
using TRemoveWindowSubclass = BOOL(WINAPI*)(HWND, SUBCLASSPROC, UINT_PTR);

} // namespace

void LoadCommonControls()
{
    using TInitCommonControlsEx = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    const auto Init = Function<TInitCommonControlsEx>("InitCommonControlsEx");
    if (!Init || !Function<TSetWindowSubclass>("SetWindowSubclass"))
        throw Exception("Cannot load the common controls (comctl32.dll)");
    const INITCOMMONCONTROLSEX Controls{sizeof(Controls),
                                        ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
    Init(&Controls);
}

bool SubclassWindow(HWND Window, SUBCLASSPROC Procedure, UINT_PTR Id, DWORD_PTR Data)
{
    static const auto Set = Function<TSetWindowSubclass>("SetWindowSubclass");
    return Set && Set(Window, Procedure, Id, Data);
}

LRESULT DefaultSubclassProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam)
{
    static const auto Default = Function<TDefSubclassProc>("DefSubclassProc");
    return Default ? Default(Window, Message, WParam, LParam) : DefWindowProcW(Window, Message, WParam, LParam);
}

void RemoveSubclass(HWND Window, SUBCLASSPROC Procedure, UINT_PTR Id)
{
    static const auto Remove = Function<TRemoveWindowSubclass>("RemoveWindowSubclass");
    if (Remove)
        Remove(Window, Procedure, Id);
}

} // namespace qe::win32
