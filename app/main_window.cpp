// The main window procedure and its command dispatch. Every trigger (tray icon,
// menu, hotkey, timer) arrives here as WM_COMMAND.
#include "app/main_window.h"

#include "about/about_dialog.h"
#include "autorun/autorun_dialog.h"
#include "autorun/autorun_timers.h"
#include "dialogs/exclusion_dialog.h"
#include "dialogs/settings_save.h"
#include "dialogs/target_dialog.h"
#include "dialogs/tray_icon_dialog.h"
#include "hotkeys/hotkey_dialog.h"
#include "hotkeys/hotkeys.h"
#include "resources/resource_ids.h"
#include "settings/filters.h"
#include "settings/sign_in_start.h"
#include "tray/tray_icons.h"
#include "tray/tray_menu.h"
#include "windows/window_actions.h"

const char kMainWindowClass[] = "TidewellApp";

namespace {

const char kAppInfoProperty[] = "PROP_APPINFO";

// Commands that run a window action with one of the AppState's filters.
struct ActionCommandRow {
    UINT command;
    WindowOperation operation;
    WindowFilter FilterSet::*filter;
};

constexpr ActionCommandRow ActionCommand(ActionIndex action, WindowOperation operation)
{
    return {kActionRows[action].command, operation, kActionRows[action].filter};
}

const ActionCommandRow kActionCommandRows[] = {
    ActionCommand(kCloseAction, CloseWindows),
    ActionCommand(kMinimizeAction, MinimizeWindows),
    ActionCommand(kMaximizeAction, MaximizeWindows),
    ActionCommand(kRestoreAction, RestoreWindows),
    // Spares the foreground window; the main window itself is not spared.
    {IDM_CLOSE_INACTIVE, CloseInactive, kActionRows[kCloseAction].filter},
};

// Menu check items: each flips one filter flag and saves the target keys.
struct TargetToggleRow {
    UINT command;
    WindowFilter FilterSet::*filter;
    unsigned char WindowFilter::*flag;
};

const TargetToggleRow kTargetToggleRows[] = {
    {IDM_CLOSE_NORMAL, &FilterSet::closeFilter, &WindowFilter::includeNormal},
    {IDM_CLOSE_MAXIMIZED, &FilterSet::closeFilter, &WindowFilter::includeMaximized},
    {IDM_CLOSE_MINIMIZED, &FilterSet::closeFilter, &WindowFilter::includeMinimized},
    {IDM_RESTORE_MAXIMIZED, &FilterSet::restoreFilter, &WindowFilter::includeMaximized},
    {IDM_RESTORE_MINIMIZED, &FilterSet::restoreFilter, &WindowFilter::includeMinimized},
    {IDM_MAXIMIZE_NORMAL, &FilterSet::maximizeFilter, &WindowFilter::includeNormal},
    {IDM_MAXIMIZE_MINIMIZED, &FilterSet::maximizeFilter, &WindowFilter::includeMinimized},
    {IDM_MINIMIZE_NORMAL, &FilterSet::minimizeFilter, &WindowFilter::includeNormal},
    {IDM_MINIMIZE_MAXIMIZED, &FilterSet::minimizeFilter, &WindowFilter::includeMaximized},
};

// Commands with a handler of their own: the dialogs (each settings handler
// saves its own group of keys when its dialog is accepted) and the start at
// sign-in.
struct HandlerCommandRow {
    UINT command;
    LRESULT (*handler)(HWND mainWindow, AppState& state);
};

LRESULT OnAboutCommand(HWND mainWindow, AppState&)
{
    AboutBoxParam param = {};
    param.linkTarget = kSupportSiteAddress;
    ShowAboutBox(mainWindow, &param);
    return 0;
}

// The menu is gone when its command arrives, so the registry is read again.
LRESULT OnStartAtSignInCommand(HWND, AppState&)
{
    if (!SetStartAtSignIn(!IsStartAtSignInSet()))
        WarnStartAtSignInNotChanged();
    return 0;
}

const HandlerCommandRow kHandlerCommandRows[] = {
    {IDM_TARGET_SETTINGS, OnTargetSettingsCommand},
    {IDM_HOTKEY_SETTINGS, OnHotkeySettingsCommand},
    {IDM_TRAY_SETTINGS, OnTrayIconSettingsCommand},
    {IDM_AUTORUN_SETTINGS, OnAutoRunSettingsCommand},
    {IDM_EXCLUSION_SETTINGS, OnExclusionSettingsCommand},
    {IDM_ABOUT, OnAboutCommand},
    {IDM_START_AT_SIGN_IN, OnStartAtSignInCommand},
};


// Stops the timers, unregisters the hotkeys and removes the tray icons; a
// second call finds no AppState and leaves the icons alone.
void ReleaseWindowResources(HWND window)
{
    AppState* state = GetAppState(window);
    RemovePropA(window, kAppInfoProperty);
    StopAutoRunTimers(window);
    UnregisterHotkeys(window);
    if (state != nullptr) {
        RemoveTrayIcons(window, state->trayIcons);
        ClearUndoRecord(&state->undo);
    }
}

LRESULT OnCreate(HWND window, const CREATESTRUCTA* create)
{
    AppState* state = static_cast<AppState*>(create->lpCreateParams);
    SetPropA(window, kAppInfoProperty, state);
    RegisterHotkeys(window, state->hotkeys, state->undoHotkey);
    if (!AddTrayIcons(window, state->trayIcons)) {
        // A window whose creation fails gets no WM_DESTROY, only WM_NCDESTROY:
        // undo what was set up here, or the hotkeys would stay registered.
        ReleaseWindowResources(window);
        return -1;
    }
    StartAutoRunTimers(window, *state);
    SetPriorityClass(GetCurrentProcess(), IDLE_PRIORITY_CLASS);
    return 0;
}

LRESULT OnDestroy(HWND window)
{
    ReleaseWindowResources(window);
    PostQuitMessage(0);
    return 0;
}

bool RunActionCommand(HWND window, AppState& state, UINT command)
{
    for (const ActionCommandRow& row : kActionCommandRows) {
        if (row.command == command) {
            row.operation(window, state.filters.*row.filter, state.exclusions, &state.undo);
            return true;
        }
    }
    return false;
}

bool RunToggleCommand(AppState& state, UINT command)
{
    for (const TargetToggleRow& row : kTargetToggleRows) {
        if (row.command == command) {
            unsigned char& flag = state.filters.*row.filter.*row.flag;
            flag = flag ? 0 : 1;
            SaveSettingsGroup(SaveTargets, state.filters);
            return true;
        }
    }
    // The pointer-monitor items write their own key alone.
    for (const ActionRow& row : kActionRows) {
        if (row.monitorCommand == command) {
            unsigned char& flag = (state.filters.*row.filter).pointerMonitorOnly;
            flag = flag ? 0 : 1;
            SaveSettingsGroup(SavePointerMonitorFlag, PointerMonitorFlag{row.monitorKey, flag});
            return true;
        }
    }
    return false;
}

bool RunHandlerCommand(HWND window, AppState& state, UINT command)
{
    for (const HandlerCommandRow& row : kHandlerCommandRows) {
        if (row.command == command) {
            row.handler(window, state);
            return true;
        }
    }
    return false;
}

LRESULT OnCommand(HWND window, WPARAM wParam, LPARAM lParam)
{
    UINT command = LOWORD(wParam);
    AppState* state = GetAppState(window);
    if (command == IDM_QUIT) {
        DestroyWindow(window);
        return 0;
    }
    if (command == IDM_UNDO) {
        if (state != nullptr)
            UndoLastAction(&state->undo);
        return 0;
    }
    if (state != nullptr) {
        if (RunActionCommand(window, *state, command) || RunToggleCommand(*state, command) ||
            RunHandlerCommand(window, *state, command))
            return 0;
    }
    if (ShowTrayMenuForCommand(window, command))
        return 0;
    return DefWindowProcA(window, WM_COMMAND, wParam, lParam);
}

LRESULT OnInitMenu(HWND window, HMENU menu)
{
    const AppState* state = GetAppState(window);
    if (state == nullptr)
        return 0;
    for (const TargetToggleRow& row : kTargetToggleRows)
        SetMenuCheck(menu, row.command, state->filters.*row.filter.*row.flag);
    for (const ActionRow& row : kActionRows)
        SetMenuCheck(menu, row.monitorCommand, (state->filters.*row.filter).pointerMonitorOnly);
    SetMenuCheck(menu, IDM_START_AT_SIGN_IN, IsStartAtSignInSet() ? 1 : 0);
    EnableMenuItem(menu, IDM_UNDO, MF_BYCOMMAND | (state->undo.count == 0 ? MF_GRAYED : MF_ENABLED));
    return 0;
}

LRESULT OnHotkey(HWND window, WPARAM hotkeyId)
{
    const HotkeyRow* found = static_cast<WPARAM>(kUndoHotkeyRow.id) == hotkeyId ? &kUndoHotkeyRow : nullptr;
    for (const HotkeyRow& row : kHotkeyRows) {
        if (static_cast<WPARAM>(row.id) == hotkeyId) {
            found = &row;
            break;
        }
    }
    if (found != nullptr)
        SendMessageA(window, WM_COMMAND, MAKEWPARAM(found->command, 0), 0);
    return 0;
}

}  // namespace

AppState* GetAppState(HWND mainWindow)
{
    return static_cast<AppState*>(GetPropA(mainWindow, kAppInfoProperty));
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return OnCreate(window, reinterpret_cast<const CREATESTRUCTA*>(lParam));
    case WM_DESTROY:
        return OnDestroy(window);
    case WM_COMMAND:
        return OnCommand(window, wParam, lParam);
    case WM_INITMENU:
        return OnInitMenu(window, reinterpret_cast<HMENU>(wParam));
    case WM_HOTKEY:
        return OnHotkey(window, wParam);
    case kTrayCallbackMessage:
        return OnTrayCallback(window, wParam, lParam);
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}
