// Tray menus. A double-click runs the icon's action before the callback returns;
// a right-click posts the show-menu command, so the menu opens from the queue.
#include "tray/tray_menu.h"

#include "resources/resource_ids.h"

namespace {

struct TrayMenuRow {
    UINT iconId;
    UINT showMenuCommand;
    int submenu;  // position in menu resource 168
    UINT actionCommand;
};

const TrayMenuRow kTrayMenuRows[] = {
    {4, IDM_SHOW_MINIMIZE_MENU, 3, IDM_MINIMIZE_WINDOWS},
    {3, IDM_SHOW_MAXIMIZE_MENU, 2, IDM_MAXIMIZE_WINDOWS},
    {2, IDM_SHOW_RESTORE_MENU, 1, IDM_RESTORE_WINDOWS},
    {1, IDM_SHOW_CLOSE_MENU, 0, IDM_CLOSE_WINDOWS},
};

// TPM_RIGHTBUTTON | TPM_BOTTOMALIGN: bottom-left corner at the cursor.
const UINT kTrayMenuTrackFlags = TPM_RIGHTBUTTON | TPM_BOTTOMALIGN;

const TrayMenuRow* FindRowByIcon(WPARAM iconId)
{
    for (const TrayMenuRow& row : kTrayMenuRows) {
        if (row.iconId == iconId)
            return &row;
    }
    return nullptr;
}

}  // namespace

LRESULT OnTrayCallback(HWND mainWindow, WPARAM iconId, LPARAM mouseMessage)
{
    switch (mouseMessage) {
    case WM_LBUTTONDBLCLK:
        if (const TrayMenuRow* row = FindRowByIcon(iconId))
            SendMessageA(mainWindow, WM_COMMAND, MAKEWPARAM(row->actionCommand, 0), 0);
        return 0;
    case WM_RBUTTONUP:
        if (const TrayMenuRow* row = FindRowByIcon(iconId))
            PostMessageA(mainWindow, WM_COMMAND, MAKEWPARAM(row->showMenuCommand, 0), 0);
        return 0;
    default:
        return DefWindowProcA(mainWindow, WM_APP + 1, iconId, mouseMessage);
    }
}

bool ShowTrayMenuForCommand(HWND mainWindow, UINT command)
{
    for (const TrayMenuRow& row : kTrayMenuRows) {
        if (row.showMenuCommand == command) {
            ShowPopupMenuAtCursor(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_TRAY_MENU),
                                  row.submenu, mainWindow, kTrayMenuTrackFlags);
            return true;
        }
    }
    return false;
}

bool ShowPopupMenuAtCursor(HINSTANCE instance, LPCSTR menuName, int submenu, HWND owner,
                           UINT trackFlags)
{
    POINT cursor;
    if (!GetCursorPos(&cursor))
        return false;
    HMENU menu = LoadMenuA(instance, menuName);
    if (menu == nullptr)
        return false;
    HMENU popup = GetSubMenu(menu, submenu);
    bool tracked = popup != nullptr && TrackPopupAt(owner, popup, cursor, trackFlags);
    // Destroying the loaded menu frees its submenus with it.
    DestroyMenu(menu);
    return tracked;
}

bool TrackPopupAt(HWND owner, HMENU menu, POINT point, UINT trackFlags)
{
    // The owner must be the foreground window, or the menu does not close when
    // the user clicks elsewhere.
    SetForegroundWindow(owner);
    return TrackPopupMenuEx(menu, trackFlags, point.x, point.y, owner, nullptr) != FALSE;
}

BOOL SetMenuCheck(HMENU menu, UINT command, unsigned char flag)
{
    return CheckMenuItem(menu, command, MF_BYCOMMAND | (flag ? MF_CHECKED : MF_UNCHECKED));
}
