// The exclusion settings dialog: the programs whose windows no action touches.
#pragma once
#include <windows.h>

#include "settings/app_state.h"

// The handler of the exclusion settings command: runs the dialog and, when it
// is accepted, saves the list of excluded programs. Returns 0.
LRESULT OnExclusionSettingsCommand(HWND mainWindow, AppState& state);
bool RunExclusionDialog(HWND owner, ExclusionList* exclusions);
INT_PTR CALLBACK ExclusionDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
