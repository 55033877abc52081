// The wizard's controls as real Win32 controls. Every control is a direct child of the
// wizard window with its fixed id (app/ControlIds.h), so that GetDlgItem finds it and a
// driver in another process reads and sets it with the controls' standard messages; the
// texts live in the controls themselves. A page is a child window too, lying under its
// controls; a control shows when it is visible itself and its page is in front.
#pragma once

#include "app/win32/controls/Buttons.h"
#include "app/win32/controls/ChildWindow.h"
#include "app/win32/controls/Lists.h"
#include "app/win32/controls/Pictures.h"
#include "app/win32/controls/ProgressBar.h"
#include "app/win32/controls/Texts.h"
