// AppState: every setting of the resident program, and the groups of keys that
// fill it beyond the four filters.
#pragma once
#include <cstdint>

#include "settings/hotkey_value.h"
#include "windows/exclusion_list.h"
#include "windows/undo_record.h"
#include "windows/window_filter.h"

const int kAutoRunCount = 4;   // close, restore, maximize, minimize
const int kTrayIconCount = 4;  // close, restore, maximize, minimize
const int kHotkeyCount = 5;    // ids 2 to 6

// One row per hotkey: its id and its key in the hotkey section.
struct HotkeyRow {
    int id;
    const char* key;
};
extern const HotkeyRow kHotkeyRows[kHotkeyCount];
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
    ExclusionList exclusions;
    UndoRecord undo;  // what the last show action changed, not a setting
};

bool LoadAppState(AppState* state);
bool LoadHotkeys(const char* path, HotkeyEntry* hotkeys);
bool LoadTrayIcons(const char* path, unsigned char* trayIcons);
bool LoadAutoRun(const char* path, AutoRunEntry* autoRun);
// The savers write their group's keys; true when every write succeeded.
bool SaveTrayIcons(const char* path, const unsigned char* trayIcons);
bool SaveHotkeys(const char* path, const HotkeyEntry* hotkeys);
bool SaveAutoRun(const char* path, const AutoRunEntry* autoRun);
