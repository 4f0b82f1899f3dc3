#pragma once
// The program's resources (quillmast.rc): the icons and the about box's picture.

#define IDI_APPLICATION_ICON 1
#define IDI_CHANGEPATH 2
#define IDB_ABOUT 3
