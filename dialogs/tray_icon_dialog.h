// The tray-icon settings dialog: which of the four icons are shown.
#pragma once
#include <windows.h>

#include "settings/app_state.h"

// The handler of the tray-icon settings command: runs the dialog and, when it
// is accepted, adds and removes icons and saves the four tray-icon keys.
LRESULT OnTrayIconSettingsCommand(HWND mainWindow, AppState& state);
bool RunTrayIconDialog(HWND owner, unsigned char* trayIcons);
INT_PTR CALLBACK TrayIconDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
