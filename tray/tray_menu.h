// Mouse events on the tray icons, and the icons' popup menus.
#pragma once
#include <windows.h>

LRESULT OnTrayCallback(HWND mainWindow, WPARAM iconId, LPARAM mouseMessage);
// Shows the popup of a show-menu command (40002 to 40005); false for other commands.
bool ShowTrayMenuForCommand(HWND mainWindow, UINT command);
bool ShowPopupMenuAtCursor(HINSTANCE instance, LPCSTR menuName, int submenu, HWND owner,
                           UINT trackFlags);
bool TrackPopupAt(HWND owner, HMENU menu, POINT point, UINT trackFlags);
BOOL SetMenuCheck(HMENU menu, UINT command, unsigned char flag);
