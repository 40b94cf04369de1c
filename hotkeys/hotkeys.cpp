// Global hotkeys. An entry with neither modifiers nor key is unregistered; the
// extended-key bit is kept in the settings but never passed to RegisterHotKey.
#include "hotkeys/hotkeys.h"

const char kHotkeySection[] = "ホットキーの設定";

const HotkeyRow kHotkeyRows[5] = {
    {2, "非アクティブなウィンドウを閉じる"},
    {3, "ウィンドウを閉じる"},
    {4, "ウィンドウを元に戻す"},
    {5, "ウィンドウを最小化"},
    {6, "ウィンドウを最大化"},
};

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
