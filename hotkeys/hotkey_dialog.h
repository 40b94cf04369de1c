// The hotkey settings dialog: a hotkey control per hotkey; duplicates refused.
#pragma once
#include <windows.h>

#include "settings/app_state.h"

// The handler of the hotkey settings command: runs the dialog and, when it is
// accepted, saves the five hotkey keys and names those another program holds.
// Returns 0.
LRESULT OnHotkeySettingsCommand(HWND mainWindow, AppState& state);
// The hotkeys, the undo hotkey with them, are unregistered while the dialog is
// open and registered again after it, whatever its result; failed receives the entries that could not
// be registered then (see RegisterHotkeys).
bool RunHotkeyDialog(HWND mainWindow, HotkeyEntry* hotkeys, const HotkeyEntry& undoHotkey, unsigned* failed);
INT_PTR CALLBACK HotkeyDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
