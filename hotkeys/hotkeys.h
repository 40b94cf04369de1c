// Registration of the five global hotkeys on the main window.
#pragma once
#include <windows.h>

#include "settings/app_state.h"

bool RegisterHotkeys(HWND mainWindow, const HotkeyEntry* hotkeys);
bool UnregisterHotkeys(HWND mainWindow);
