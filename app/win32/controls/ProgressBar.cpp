#include "app/win32/controls/ProgressBar.h"

#include <algorithm>

#include <commctrl.h>

namespace qe::win32 {

TWin32ProgressBar::TWin32ProgressBar(HWND Handle, const TLayoutItem& Item, TWin32Panel* Page)
    : TControl(Handle, Item, Page)
{
    SendMessageW(Handle, PBM_SETRANGE32, 0, 100);
    SendMessageW(Handle, PBM_SETPOS, 0, 0);
}

void TWin32ProgressBar::SetPosition(int32_t Position)
{
    SendMessageW(Handle(), PBM_SETPOS, static_cast<WPARAM>(std::clamp<int32_t>(Position, 0, 100)), 0);
}

int32_t TWin32ProgressBar::Position() const
{
    return static_cast<int32_t>(SendMessageW(Handle(), PBM_GETPOS, 0, 0));
}

} // namespace qe::win32
