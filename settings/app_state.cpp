// Loading the whole AppState, and the savers of its groups of keys.
#include "settings/app_state.h"

#include "settings/exclusions.h"
#include "settings/filters.h"
#include "settings/settings_file.h"

namespace {

const char kAutoRunEnabledKey[] = "有効";
const char kAutoRunIntervalKey[] = "間隔";
const int kDefaultAutoRunInterval = 60000;

constexpr HotkeyRow ActionHotkey(ActionIndex action)
{
    return {kActionRows[action].hotkeyId, kActionRows[action].hotkeyKey, kActionRows[action].command};
}

void LoadHotkey(const char* path, const HotkeyRow& row, HotkeyEntry* hotkey)
{
    hotkey->id = row.id;
    UnpackHotkeyValue(ReadProfileInt(path, kHotkeySection, row.key, 0), hotkey);
}

}  // namespace

const char kHotkeySection[] = "ホットキーの設定";

const HotkeyRow kHotkeyRows[kHotkeyCount] = {
    {2, "非アクティブなウィンドウを閉じる", IDM_CLOSE_INACTIVE},
    ActionHotkey(kCloseAction),
    ActionHotkey(kRestoreAction),
    ActionHotkey(kMinimizeAction),
    ActionHotkey(kMaximizeAction),
};

const HotkeyRow kUndoHotkeyRow = {7, "直前の操作を取り消す", IDM_UNDO};

bool LoadHotkeys(const char* path, HotkeyEntry* hotkeys)
{
    for (int i = 0; i < kHotkeyCount; ++i)
        LoadHotkey(path, kHotkeyRows[i], &hotkeys[i]);
    return true;
}

void LoadUndoHotkey(const char* path, HotkeyEntry* hotkey)
{
    LoadHotkey(path, kUndoHotkeyRow, hotkey);
}

bool LoadTrayIcons(const char* path, unsigned char* trayIcons)
{
    int shown = 0;
    for (int i = 0; i < kTrayIconCount; ++i) {
        trayIcons[i] = ReadProfileFlag(path, kMainSection, kActionRows[i].trayIconKey, kActionRows[i].trayIconDefault);
        shown += trayIcons[i];
    }
    // The close icon is shown whenever no icon is chosen.
    if (shown == 0)
        trayIcons[0] = 1;
    return true;
}

bool LoadAutoRun(const char* path, AutoRunEntry* autoRun)
{
    for (int i = 0; i < kAutoRunCount; ++i) {
        const char* section = kActionRows[i].autoRunSection;
        autoRun[i].enabled = ReadProfileFlag(path, section, kAutoRunEnabledKey, 0);
        autoRun[i].interval = ReadProfileInt(path, section, kAutoRunIntervalKey, kDefaultAutoRunInterval);
    }
    return true;
}

bool LoadAppState(AppState* state)
{
    *state = AppState();
    char path[kPathBufferSize];
    GetSettingsFilePath(path, kModuleNameLimit, kSettingsExtension);
    LoadFilters(path, &state->filters);
    LoadHotkeys(path, state->hotkeys);
    LoadUndoHotkey(path, &state->undoHotkey);
    LoadTrayIcons(path, state->trayIcons);
    LoadAutoRun(path, state->autoRun);
    LoadExclusions(path, &state->exclusions);
    return true;
}

bool SaveTrayIcons(const char* path, const unsigned char* trayIcons)
{
    bool saved = true;
    for (int i = 0; i < kTrayIconCount; ++i)
        saved = WriteProfileFlag(path, kMainSection, kActionRows[i].trayIconKey, trayIcons[i]) && saved;
    return saved;
}

bool SaveHotkeys(const char* path, const HotkeyEntry* hotkeys)
{
    bool saved = true;
    for (const HotkeyRow& row : kHotkeyRows) {
        for (int i = 0; i < kHotkeyCount; ++i) {
            if (hotkeys[i].id == row.id) {
                saved = WriteProfileInt(path, kHotkeySection, row.key, PackHotkeyValue(hotkeys[i])) && saved;
                break;
            }
        }
    }
    return saved;
}

bool SaveAutoRun(const char* path, const AutoRunEntry* autoRun)
{
    bool saved = true;
    for (int i = 0; i < kAutoRunCount; ++i) {
        const char* section = kActionRows[i].autoRunSection;
        saved = WriteProfileFlag(path, section, kAutoRunEnabledKey, autoRun[i].enabled) && saved;
        saved = WriteProfileInt(path, section, kAutoRunIntervalKey, autoRun[i].interval) && saved;
    }
    return saved;
}
