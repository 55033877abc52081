/* Resource ids of the pictures setup.exe carries: the six pages' header pictures (48 x 48
   icons with transparency) and the folder button's glyph (16 x 16). Shared by the resource
   script and the window's layout, so plain defines. */
#pragma once

#define ICON_PAGE_INFO 101
#define ICON_PAGE_LICENSE 102
#define ICON_PAGE_FOLDER 103
#define ICON_PAGE_READY 104
#define ICON_PAGE_PROGRESS 105
#define ICON_PAGE_NEWS 106
#define ICON_ADD_FOLDER 107
