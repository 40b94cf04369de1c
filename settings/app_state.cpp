// Loading the whole AppState, and the savers of its groups of keys.
#include "settings/app_state.h"

#include "settings/exclusions.h"
#include "settings/filters.h"
#include "settings/settings_file.h"

namespace {

const char* const kTrayIconKeys[kTrayIconCount] = {
    "「ウィンドウを閉じる」を使用する",
    "「ウィンドウを元に戻す」を使用する",
    "「ウィンドウを最大化」を使用する",
    "「ウィンドウを最小化」を使用する",
};
const unsigned char kTrayIconDefaults[kTrayIconCount] = {1, 0, 0, 0};

const char* const kAutoRunSections[kAutoRunCount] = {
    "自動実行/閉じる",
    "自動実行/元に戻す",
    "自動実行/最大化",
    "自動実行/最小化",
};
const char kAutoRunEnabledKey[] = "有効";
const char kAutoRunIntervalKey[] = "間隔";
const int kDefaultAutoRunInterval = 60000;

}  // namespace

const char kHotkeySection[] = "ホットキーの設定";

const HotkeyRow kHotkeyRows[kHotkeyCount] = {
    {2, "非アクティブなウィンドウを閉じる"},
    {3, "ウィンドウを閉じる"},
    {4, "ウィンドウを元に戻す"},
    {5, "ウィンドウを最小化"},
    {6, "ウィンドウを最大化"},
};

bool LoadHotkeys(const char* path, HotkeyEntry* hotkeys)
{
    for (int i = 0; i < kHotkeyCount; ++i) {
        hotkeys[i].id = kHotkeyRows[i].id;
        UnpackHotkeyValue(ReadProfileInt(path, kHotkeySection, kHotkeyRows[i].key, 0), &hotkeys[i]);
    }
    return true;
}

bool LoadTrayIcons(const char* path, unsigned char* trayIcons)
{
    int shown = 0;
    for (int i = 0; i < kTrayIconCount; ++i) {
        trayIcons[i] = ReadProfileFlag(path, kMainSection, kTrayIconKeys[i], kTrayIconDefaults[i]);
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
        autoRun[i].enabled = ReadProfileFlag(path, kAutoRunSections[i], kAutoRunEnabledKey, 0);
        autoRun[i].interval =
            ReadProfileInt(path, kAutoRunSections[i], kAutoRunIntervalKey, kDefaultAutoRunInterval);
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
    LoadTrayIcons(path, state->trayIcons);
    LoadAutoRun(path, state->autoRun);
    LoadExclusions(path, &state->exclusions);
    return true;
}

bool SaveTrayIcons(const char* path, const unsigned char* trayIcons)
{
    bool saved = true;
    for (int i = 0; i < kTrayIconCount; ++i)
        saved = WriteProfileFlag(path, kMainSection, kTrayIconKeys[i], trayIcons[i]) && saved;
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
        saved = WriteProfileFlag(path, kAutoRunSections[i], kAutoRunEnabledKey, autoRun[i].enabled) && saved;
        saved = WriteProfileInt(path, kAutoRunSections[i], kAutoRunIntervalKey, autoRun[i].interval) && saved;
    }
    return saved;
}
