// The four window actions, one row each: every id and key that belongs to an
// action. The tables of the tray, the menus, the hotkeys, the timers and the
// settings take theirs from these rows when they are compiled, each in its
// own order. No platform calls.
#pragma once

#include "resources/resource_ids.h"
#include "windows/window_filter.h"

// The actions' indices, in the order AppState keeps its per-action settings.
enum ActionIndex { kCloseAction, kRestoreAction, kMaximizeAction, kMinimizeAction, kActionCount };

struct ActionRow {
    WindowFilter FilterSet::*filter;
    unsigned command;          // runs the action with its filter
    unsigned iconId;           // the tray icon's id, also its icon resource
    const char* tooltip;       // the tray icon's tooltip
    unsigned showMenuCommand;  // opens the icon's menu
    int submenu;               // the menu's position in the tray menu resource
    const char* trayIconKey;   // shows the icon
    unsigned char trayIconDefault;
    int hotkeyId;
    const char* hotkeyKey;
    unsigned timerId;          // the periodic action's timer
    const char* autoRunSection;
    const char* monitorKey;    // only the pointer's monitor
    unsigned monitorCommand;   // the menu item that flips it
};

inline constexpr ActionRow kActionRows[kActionCount] = {
    {&FilterSet::closeFilter, IDM_CLOSE_WINDOWS, IDI_CLOSE_WINDOWS, "ｳｨﾝﾄﾞｳを閉じる", IDM_SHOW_CLOSE_MENU, 0,
     "「ウィンドウを閉じる」を使用する", 1, 3, "ウィンドウを閉じる", 101, "自動実行/閉じる", "閉じる",
     IDM_CLOSE_ON_POINTER_MONITOR},
    {&FilterSet::restoreFilter, IDM_RESTORE_WINDOWS, IDI_RESTORE_WINDOWS, "ｳｨﾝﾄﾞｳを元に戻す", IDM_SHOW_RESTORE_MENU, 1,
     "「ウィンドウを元に戻す」を使用する", 0, 4, "ウィンドウを元に戻す", 102, "自動実行/元に戻す", "元に戻す",
     IDM_RESTORE_ON_POINTER_MONITOR},
    {&FilterSet::maximizeFilter, IDM_MAXIMIZE_WINDOWS, IDI_MAXIMIZE_WINDOWS, "ｳｨﾝﾄﾞｳを最大化", IDM_SHOW_MAXIMIZE_MENU, 2,
     "「ウィンドウを最大化」を使用する", 0, 6, "ウィンドウを最大化", 103, "自動実行/最大化", "最大化する",
     IDM_MAXIMIZE_ON_POINTER_MONITOR},
    {&FilterSet::minimizeFilter, IDM_MINIMIZE_WINDOWS, IDI_MINIMIZE_WINDOWS, "ｳｨﾝﾄﾞｳを最小化", IDM_SHOW_MINIMIZE_MENU, 3,
     "「ウィンドウを最小化」を使用する", 0, 5, "ウィンドウを最小化", 104, "自動実行/最小化", "最小化する",
     IDM_MINIMIZE_ON_POINTER_MONITOR},
};

// The section of the keys that keep an action to the pointer's monitor.
inline constexpr char kMonitorSection[] = "対象モニター";
