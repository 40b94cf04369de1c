// The hidden main window: holds the AppState, owns the hotkeys, tray icons and
// timers, and turns every command into an action, a toggle or a dialog.
#pragma once
#include <windows.h>

#include "settings/app_state.h"

extern const char kMainWindowClass[];  // class and title "TidewellApp"

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The AppState kept by the main window, or null.
AppState* GetAppState(HWND mainWindow);
