// The progress page's bar.
#pragma once

#include "app/win32/controls/ChildWindow.h"

namespace qe::win32 {

class TWin32ProgressBar : public TControl<IProgressBar> {
public:
    TWin32ProgressBar(HWND Handle, const TLayoutItem& Item, TWin32Panel* Page);
    void SetPosition(int32_t Position) override;
    int32_t Position() const override;
};

} // namespace qe::win32
