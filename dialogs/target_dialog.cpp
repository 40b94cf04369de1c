// The target settings dialog: nine check boxes, each bound to one state flag
// of an action's filter. Every combination is accepted.
#include "dialogs/target_dialog.h"

#include <cstddef>

#include "dialogs/settings_dialog.h"
#include "dialogs/settings_save.h"
#include "resources/resource_ids.h"
#include "settings/filters.h"

namespace {

constexpr unsigned FlagOffset(size_t filter, size_t flag)
{
    return static_cast<unsigned>(filter + flag);
}

// In the order of the target keys; the ids do not rise with the rows.
const FlagBoxRow kTargetRows[] = {
    {IDC_TARGET_CLOSE_NORMAL,
     FlagOffset(offsetof(FilterSet, closeFilter), offsetof(WindowFilter, includeNormal))},
    {IDC_TARGET_CLOSE_MAXIMIZED,
     FlagOffset(offsetof(FilterSet, closeFilter), offsetof(WindowFilter, includeMaximized))},
    {IDC_TARGET_CLOSE_MINIMIZED,
     FlagOffset(offsetof(FilterSet, closeFilter), offsetof(WindowFilter, includeMinimized))},
    {IDC_TARGET_RESTORE_MAXIMIZED,
     FlagOffset(offsetof(FilterSet, restoreFilter), offsetof(WindowFilter, includeMaximized))},
    {IDC_TARGET_RESTORE_MINIMIZED,
     FlagOffset(offsetof(FilterSet, restoreFilter), offsetof(WindowFilter, includeMinimized))},
    {IDC_TARGET_MAXIMIZE_NORMAL,
     FlagOffset(offsetof(FilterSet, maximizeFilter), offsetof(WindowFilter, includeNormal))},
    {IDC_TARGET_MAXIMIZE_MINIMIZED,
     FlagOffset(offsetof(FilterSet, maximizeFilter), offsetof(WindowFilter, includeMinimized))},
    {IDC_TARGET_MINIMIZE_NORMAL,
     FlagOffset(offsetof(FilterSet, minimizeFilter), offsetof(WindowFilter, includeNormal))},
    {IDC_TARGET_MINIMIZE_MAXIMIZED,
     FlagOffset(offsetof(FilterSet, minimizeFilter), offsetof(WindowFilter, includeMaximized))},
};
const int kTargetRowCount = sizeof kTargetRows / sizeof kTargetRows[0];

void FillTargets(HWND dialog, const void* param)
{
    FillFlagBoxes(dialog, kTargetRows, kTargetRowCount, param);
}

bool TargetsDiffer(HWND dialog, const void* param)
{
    return FlagBoxesDiffer(dialog, kTargetRows, kTargetRowCount, param);
}

bool AcceptTargets(HWND dialog, void* param)
{
    StoreFlagBoxes(dialog, kTargetRows, kTargetRowCount, param);
    return true;
}

SettingsDialogSlot targetDialog;

const SettingsDialogKind kTargetDialogKind = {
    IDD_TARGET_SETTINGS,
    "ﾀｰｹﾞｯﾄ の設定",
    "PROP_DIALOGPARAM",
    "設定が変更されています。\n\n設定を保存しますか？",
    FALSE,
    TargetDialogProc,
    FillTargets,
    TargetsDiffer,
    AcceptTargets,
    nullptr,
    nullptr,
    nullptr,
    &targetDialog,
};

}  // namespace

INT_PTR CALLBACK TargetDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    return SettingsDialogProc(kTargetDialogKind, dialog, message, wParam, lParam);
}

bool RunTargetDialog(HWND owner, FilterSet* filters)
{
    return RunSettingsDialog(kTargetDialogKind, owner, filters, nullptr) == IDOK;
}

LRESULT OnTargetSettingsCommand(HWND mainWindow, AppState& state)
{
    if (RunTargetDialog(mainWindow, &state.filters))
        SaveSettingsGroup(SaveTargets, state.filters);
    return 0;
}
