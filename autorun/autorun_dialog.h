// The auto-run settings dialog: each periodic action on or off, and its period
// in whole seconds.
#pragma once
#include <windows.h>

#include "settings/app_state.h"

// The handler of the auto-run settings command: runs the dialog and, when it
// is accepted, saves the four auto-run sections. Returns 0.
LRESULT OnAutoRunSettingsCommand(HWND mainWindow, AppState& state);
// The periodic actions are stopped while the dialog is open and started again
// after it, whatever its result.
bool RunAutoRunDialog(HWND mainWindow, AppState* state);
INT_PTR CALLBACK AutoRunDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
