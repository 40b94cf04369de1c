// The tray-icon settings dialog: four check boxes, one per icon. At least one
// icon stays shown: OK does nothing while every box is clear.
#include "dialogs/tray_icon_dialog.h"

#include <cstring>

#include "dialogs/settings_dialog.h"
#include "dialogs/settings_save.h"
#include "resources/resource_ids.h"
#include "tray/tray_icons.h"

namespace {

// Check box and index into AppState.trayIcons.
const FlagBoxRow kTrayIconDialogRows[kTrayIconCount] = {
    {IDC_CHECK_CLOSE, 0},
    {IDC_CHECK_RESTORE, 1},
    {IDC_CHECK_MAXIMIZE, 2},
    {IDC_CHECK_MINIMIZE, 3},
};

void FillTrayIcons(HWND dialog, const void* param)
{
    FillFlagBoxes(dialog, kTrayIconDialogRows, kTrayIconCount, param);
}

bool TrayIconsDiffer(HWND dialog, const void* param)
{
    return FlagBoxesDiffer(dialog, kTrayIconDialogRows, kTrayIconCount, param);
}

bool AcceptTrayIcons(HWND dialog, void* param)
{
    if (CountCheckedBoxes(dialog, kTrayIconDialogRows, kTrayIconCount) == 0)
        return false;
    StoreFlagBoxes(dialog, kTrayIconDialogRows, kTrayIconCount, param);
    return true;
}

SettingsDialogSlot trayIconDialog;

const SettingsDialogKind kTrayIconDialogKind = {
    IDD_TRAY_SETTINGS,
    "常駐の設定",
    "PROP_DIALOGPARAM",
    "設定が変更されています。\n\n設定を保存しますか？",
    FALSE,
    TrayIconDialogProc,
    FillTrayIcons,
    TrayIconsDiffer,
    AcceptTrayIcons,
    nullptr,
    nullptr,
    nullptr,
    &trayIconDialog,
};

}  // namespace

INT_PTR CALLBACK TrayIconDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    return SettingsDialogProc(kTrayIconDialogKind, dialog, message, wParam, lParam);
}

bool RunTrayIconDialog(HWND owner, unsigned char* trayIcons)
{
    return RunSettingsDialog(kTrayIconDialogKind, owner, trayIcons, nullptr) == IDOK;
}

LRESULT OnTrayIconSettingsCommand(HWND mainWindow, AppState& state)
{
    unsigned char oldFlags[kTrayIconCount];
    std::memcpy(oldFlags, state.trayIcons, sizeof oldFlags);
    if (!RunTrayIconDialog(mainWindow, state.trayIcons))
        return 0;
    ApplyTrayIconChange(state.trayIcons, oldFlags);
    SaveSettingsGroup(SaveTrayIcons, state.trayIcons);
    return 0;
}
