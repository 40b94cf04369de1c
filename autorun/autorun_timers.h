// The four periodic actions: one window timer per action on the main window.
#pragma once
#include <windows.h>

#include "settings/app_state.h"

// One row per periodic action: its timer, its AppState.autoRun entry and the
// controls of its line in the auto-run dialog.
struct AutoRunRow {
    UINT_PTR timerId;
    int entry;
    int checkbox;
    int edit;
    int upDown;
    int label;
};
extern const AutoRunRow kAutoRunRows[kAutoRunCount];

bool StartAutoRunTimers(HWND mainWindow, const AppState& state);
bool StopAutoRunTimers(HWND mainWindow);
void CALLBACK AutoRunTimerProc(HWND window, UINT message, UINT_PTR timerId, DWORD time);
