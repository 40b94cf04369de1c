// Tray menus. A double-click runs the icon's action before the callback returns;
// a right-click posts the show-menu command, so the menu opens from the queue.
#include "tray/tray_menu.h"

#include "resources/resource_ids.h"
#include "settings/actions.h"

namespace {

// Searched in this order; each action's row gives its icon id, show-menu
// command, submenu and action command.
const ActionIndex kTrayMenuOrder[] = {kMinimizeAction, kMaximizeAction, kRestoreAction, kCloseAction};

// TPM_RIGHTBUTTON | TPM_BOTTOMALIGN: bottom-left corner at the cursor.
const UINT kTrayMenuTrackFlags = TPM_RIGHTBUTTON | TPM_BOTTOMALIGN;

const ActionRow* FindRowByIcon(WPARAM iconId)
{
    for (ActionIndex action : kTrayMenuOrder) {
        if (kActionRows[action].iconId == iconId)
            return &kActionRows[action];
    }
    return nullptr;
}

}  // namespace

LRESULT OnTrayCallback(HWND mainWindow, WPARAM iconId, LPARAM mouseMessage)
{
    switch (mouseMessage) {
    case WM_LBUTTONDBLCLK:
        if (const ActionRow* row = FindRowByIcon(iconId))
            SendMessageA(mainWindow, WM_COMMAND, MAKEWPARAM(row->command, 0), 0);
        return 0;
    case WM_RBUTTONUP:
        if (const ActionRow* row = FindRowByIcon(iconId))
            PostMessageA(mainWindow, WM_COMMAND, MAKEWPARAM(row->showMenuCommand, 0), 0);
        return 0;
    default:
        return DefWindowProcA(mainWindow, WM_APP + 1, iconId, mouseMessage);
    }
}

bool ShowTrayMenuForCommand(HWND mainWindow, UINT command)
{
    for (ActionIndex action : kTrayMenuOrder) {
        const ActionRow& row = kActionRows[action];
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
