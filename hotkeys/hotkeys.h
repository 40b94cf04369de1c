// Registration of the five global hotkeys on the main window.
#pragma once
#include <windows.h>

#include "settings/app_state.h"

// Registers the five hotkeys, then the undo hotkey, so that a combination one
// of the five uses stays with that one. Returns those of the five that could
// not be registered (bit i for entry i): a combination that another program
// holds. An entry without a key, and one whose combination an earlier entry
// has taken, are not counted.
unsigned RegisterHotkeys(HWND mainWindow, const HotkeyEntry* hotkeys, const HotkeyEntry& undoHotkey);
bool UnregisterHotkeys(HWND mainWindow);
