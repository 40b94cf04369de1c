// AppState: every setting of the resident program, and the groups of keys that
// fill it beyond the four filters.
#pragma once
#include <cstdint>

#include "settings/actions.h"
#include "settings/hotkey_value.h"
#include "windows/exclusion_list.h"
#include "windows/undo_record.h"
#include "windows/window_filter.h"

const int kAutoRunCount = kActionCount;   // close, restore, maximize, minimize
const int kTrayIconCount = kActionCount;  // close, restore, maximize, minimize
const int kHotkeyCount = 5;    // ids 2 to 6

// One row per hotkey: its id, its key in the hotkey section and the command it
// sends. The five of the hotkey dialog, in AppState.hotkeys order, and the
// undo hotkey, which only the settings file sets.
struct HotkeyRow {
    int id;
    const char* key;
    unsigned command;
};
extern const HotkeyRow kHotkeyRows[kHotkeyCount];
extern const HotkeyRow kUndoHotkeyRow;
extern const char kHotkeySection[];

struct AutoRunEntry {
    int32_t interval;       // milliseconds
    unsigned char enabled;  // 1 = on
};

struct AppState {
    AutoRunEntry autoRun[kAutoRunCount];
    unsigned char trayIcons[kTrayIconCount];
    FilterSet filters;
    HotkeyEntry hotkeys[kHotkeyCount];
    HotkeyEntry undoHotkey;
    ExclusionList exclusions;
    UndoRecord undo;  // what the last show action changed, not a setting
};

bool LoadAppState(AppState* state);
bool LoadHotkeys(const char* path, HotkeyEntry* hotkeys);
void LoadUndoHotkey(const char* path, HotkeyEntry* hotkey);
bool LoadTrayIcons(const char* path, unsigned char* trayIcons);
bool LoadAutoRun(const char* path, AutoRunEntry* autoRun);
// The savers write their group's keys; true when every write succeeded.
bool SaveTrayIcons(const char* path, const unsigned char* trayIcons);
bool SaveHotkeys(const char* path, const HotkeyEntry* hotkeys);
bool SaveAutoRun(const char* path, const AutoRunEntry* autoRun);
