// The tray icons of the four actions and the watchdog that puts them back
// after the taskbar restarts.
#pragma once
#include <windows.h>

// The message the shell sends to the main window for mouse events on an icon.
const UINT kTrayCallbackMessage = WM_APP + 1;
const UINT_PTR kTrayWatchdogTimerId = 1;

// flags: the four AppState.trayIcons flags (close, restore, maximize, minimize);
// the watchdog keeps using the array AddTrayIcons was given until RemoveTrayIcons.
bool AddTrayIcons(HWND mainWindow, const unsigned char* flags);
bool RemoveTrayIcons(HWND mainWindow, const unsigned char* flags);
bool ReaddTrayIcons(HWND mainWindow, const unsigned char* flags);
bool ApplyTrayIconChange(const unsigned char* newFlags, const unsigned char* oldFlags);
HWND FindTrayNotifyWindow();
void CALLBACK TrayWatchdogTimerProc(HWND window, UINT message, UINT_PTR timerId, DWORD time);
