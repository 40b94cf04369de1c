// Registration of the five global hotkeys on the main window.
#pragma once
#include <windows.h>

#include "hotkeys/hotkey_value.h"

// One row per hotkey: its id and its key in the hotkey section.
struct HotkeyRow {
    int id;
    const char* key;
};
extern const HotkeyRow kHotkeyRows[5];
extern const char kHotkeySection[];

bool RegisterHotkeys(HWND mainWindow, const HotkeyEntry* hotkeys);
bool UnregisterHotkeys(HWND mainWindow);
