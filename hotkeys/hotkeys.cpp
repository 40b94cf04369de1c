// Global hotkeys. An entry with neither modifiers nor key is unregistered; the
// extended-key bit is kept in the settings but never passed to RegisterHotKey.
#include "hotkeys/hotkeys.h"

namespace {

bool SameCombination(const HotkeyEntry& a, const HotkeyEntry& b)
{
    return a.key == b.key && (a.modifiers & ~kHotkeyExtendedBit) == (b.modifiers & ~kHotkeyExtendedBit);
}

}  // namespace

unsigned RegisterHotkeys(HWND mainWindow, const HotkeyEntry* hotkeys)
{
    unsigned registered = 0, failed = 0;
    for (int i = 0; i < kHotkeyCount; ++i) {
        const HotkeyEntry& entry = hotkeys[i];
        if (entry.modifiers == 0 && entry.key == 0) {
            UnregisterHotKey(mainWindow, kHotkeyRows[i].id);
            continue;
        }
        if (RegisterHotKey(mainWindow, kHotkeyRows[i].id, entry.modifiers & ~kHotkeyExtendedBit, entry.key)) {
            registered |= 1u << i;
            continue;
        }
        bool ownEarlier = false;
        for (int j = 0; j < i; ++j)
            ownEarlier = ownEarlier || ((registered >> j & 1u) != 0 && SameCombination(hotkeys[j], entry));
        if (entry.key != 0 && !ownEarlier)
            failed |= 1u << i;
    }
    return failed;
}

bool UnregisterHotkeys(HWND mainWindow)
{
    for (const HotkeyRow& row : kHotkeyRows)
        UnregisterHotKey(mainWindow, row.id);
    return true;
}
