// The target settings dialog: which window states each action touches.
#pragma once
#include <windows.h>

#include "settings/app_state.h"

// The handler of the target settings command: runs the dialog and, when it is
// accepted, saves the nine target keys. Returns 0.
LRESULT OnTargetSettingsCommand(HWND mainWindow, AppState& state);
bool RunTargetDialog(HWND owner, FilterSet* filters);
INT_PTR CALLBACK TargetDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
