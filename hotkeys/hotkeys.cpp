// Global hotkeys. An entry with neither modifiers nor key is unregistered; the
// extended-key bit is kept in the settings but never passed to RegisterHotKey.
#include "hotkeys/hotkeys.h"

bool RegisterHotkeys(HWND mainWindow, const HotkeyEntry* hotkeys)
{
    for (int i = 0; i < 5; ++i) {
        const HotkeyEntry& entry = hotkeys[i];
        if (entry.modifiers != 0 || entry.key != 0)
            RegisterHotKey(mainWindow, kHotkeyRows[i].id, entry.modifiers & ~kHotkeyExtendedBit,
                           entry.key);
        else
            UnregisterHotKey(mainWindow, kHotkeyRows[i].id);
    }
    return true;
}

bool UnregisterHotkeys(HWND mainWindow)
{
    for (const HotkeyRow& row : kHotkeyRows)
        UnregisterHotKey(mainWindow, row.id);
    return true;
}
