// Global hotkeys. An entry with neither modifiers nor key is unregistered; the
// extended-key bit is kept in the settings but never passed to RegisterHotKey.
#include "hotkeys/hotkeys.h"

namespace {

bool SameCombination(const HotkeyEntry& a, const HotkeyEntry& b)
{
    return a.key == b.key && (a.modifiers & ~kHotkeyExtendedBit) == (b.modifiers & ~kHotkeyExtendedBit);
}

// Whether an entry before entry i that was registered has its combination.
bool TakenByEarlierEntry(const HotkeyEntry* hotkeys, int i, unsigned registered)
{
    for (int j = 0; j < i; ++j) {
        if ((registered >> j & 1u) != 0 && SameCombination(hotkeys[j], hotkeys[i]))
            return true;
    }
    return false;
}

// An entry with neither modifiers nor key is unregistered instead.
bool RegisterHotkey(HWND mainWindow, int id, const HotkeyEntry& entry)
{
    if (entry.modifiers == 0 && entry.key == 0) {
        UnregisterHotKey(mainWindow, id);
        return true;
    }
    return RegisterHotKey(mainWindow, id, entry.modifiers & ~kHotkeyExtendedBit, entry.key) != FALSE;
}

}  // namespace

unsigned RegisterHotkeys(HWND mainWindow, const HotkeyEntry* hotkeys, const HotkeyEntry& undoHotkey)
{
    unsigned registered = 0, failed = 0;
    for (int i = 0; i < kHotkeyCount; ++i) {
        const HotkeyEntry& entry = hotkeys[i];
        if (RegisterHotkey(mainWindow, kHotkeyRows[i].id, entry)) {
            registered |= 1u << i;
            continue;
        }
        if (entry.key != 0 && !TakenByEarlierEntry(hotkeys, i, registered))
            failed |= 1u << i;
    }
    RegisterHotkey(mainWindow, kUndoHotkeyRow.id, undoHotkey);
    return failed;
}

bool UnregisterHotkeys(HWND mainWindow)
{
    for (const HotkeyRow& row : kHotkeyRows)
        UnregisterHotKey(mainWindow, row.id);
    UnregisterHotKey(mainWindow, kUndoHotkeyRow.id);
    return true;
}
