// The wizard's pictures: the banner and the pages' header pictures.
#pragma once

#include <string>

#include "app/win32/controls/ChildWindow.h"

namespace qe::win32 {

// The banner, or a page's header picture: a picture centred on the control's background,
// scaled with the window's DPI; or, for a product without a banner, a plain panel in the
// system's caption colours with the product's name and the program's icon.
class TWin32Image : public TControl<IImage> {
public:
    TWin32Image(HWND Handle, const TLayoutItem& Item, TWin32Panel* Page);
    ~TWin32Image() override;
    void SetPicture(const TJpegImage& Picture) override;
    void SetTitlePanel(const std::string& Title) override;
    void DpiChanged(UINT Dpi) override;
    void DrawItem(const DRAWITEMSTRUCT& Draw) override;

private:
    void DrawTitlePanel(HDC DC, const RECT& Rect) const;
    void FreeBitmap();

    HBITMAP FBitmap = nullptr;
    SIZE FBitmapSize{0, 0};
    HICON FIcon = nullptr;
    UINT FDpi = 96;
    std::string FTitle;
    HFONT FTitleFont = nullptr;
    HICON FProgramIcon = nullptr;
};

} // namespace qe::win32
