// The auto-run settings dialog. Each row of kAutoRunRows is one line: check
// box, seconds edit with its up-down arrows, and the label that ends the
// sentence. A row that is off keeps its number, greyed.
#include "autorun/autorun_dialog.h"

#include <commctrl.h>

#include "autorun/autorun_seconds.h"
#include "autorun/autorun_timers.h"
#include "dialogs/settings_dialog.h"
#include "dialogs/settings_save.h"
#include "dialogs/window_routines.h"
#include "resources/resource_ids.h"

namespace {

// The up-down arrows' range, in seconds.
const int kUpDownMaximum = 32766;
// Far beyond any number of seconds the dialog stores (at most 7 digits).
const int kSecondsTextSize = 64;

// The thousands separator that the up-down control writes into its edit.
char ThousandsSeparator()
{
    char separator[8] = "";
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, separator, sizeof separator) != 2)
        return '\0';
    return separator[0];
}

// The interval that the row's edit stands for, as OK would store it.
int32_t EditInterval(HWND dialog, int edit, char separator)
{
    char text[kSecondsTextSize] = "";
    GetDlgItemTextA(dialog, edit, text, sizeof text);
    return AutoRunIntervalFromSeconds(ParseAutoRunSeconds(text, separator));
}

void EnableAutoRunRow(HWND dialog, const AutoRunRow& row)
{
    bool on = IsBoxChecked(dialog, row.checkbox);
    EnableDlgItem(dialog, row.upDown, on);
    EnableDlgItem(dialog, row.edit, on);
    EnableDlgItem(dialog, row.label, on);
}

void FillAutoRun(HWND dialog, const void* param)
{
    const AppState* state = static_cast<const AppState*>(param);
    for (const AutoRunRow& row : kAutoRunRows) {
        const AutoRunEntry& entry = state->autoRun[row.entry];
        int seconds = entry.interval / 1000;
        SetDlgItemInt(dialog, row.edit, static_cast<UINT>(seconds), TRUE);
        HWND upDown = GetDlgItem(dialog, row.upDown);
        SendMessageA(upDown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(GetDlgItem(dialog, row.edit)), 0);
        SendMessageA(upDown, UDM_SETRANGE, 0, MAKELPARAM(kUpDownMaximum, 0));
        SendMessageA(upDown, UDM_SETPOS, 0, MAKELPARAM(static_cast<WORD>(seconds), 0));
        CheckDlgButton(dialog, row.checkbox, entry.enabled ? BST_CHECKED : BST_UNCHECKED);
        EnableAutoRunRow(dialog, row);
    }
}

bool AutoRunDiffers(HWND dialog, const void* param)
{
    const AppState* state = static_cast<const AppState*>(param);
    char separator = ThousandsSeparator();
    for (const AutoRunRow& row : kAutoRunRows) {
        const AutoRunEntry& entry = state->autoRun[row.entry];
        if (EditInterval(dialog, row.edit, separator) != entry.interval ||
            (entry.enabled != 0) != IsBoxChecked(dialog, row.checkbox))
            return true;
    }
    return false;
}

bool AcceptAutoRun(HWND dialog, void* param)
{
    AppState* state = static_cast<AppState*>(param);
    char separator = ThousandsSeparator();
    for (const AutoRunRow& row : kAutoRunRows) {
        AutoRunEntry& entry = state->autoRun[row.entry];
        entry.interval = EditInterval(dialog, row.edit, separator);
        entry.enabled = IsBoxChecked(dialog, row.checkbox) ? 1 : 0;
    }
    return true;
}

// A click on a row's check box greys or enables the rest of the row.
void ReactToAutoRunCommand(HWND dialog, int controlId)
{
    for (const AutoRunRow& row : kAutoRunRows) {
        if (row.checkbox == controlId)
            EnableAutoRunRow(dialog, row);
    }
}

void PrepareAutoRun(HWND mainWindow, void*, void*)
{
    StopAutoRunTimers(mainWindow);
}

void CompleteAutoRun(HWND mainWindow, void* param, void*)
{
    StartAutoRunTimers(mainWindow, *static_cast<const AppState*>(param));
}

SettingsDialogSlot autoRunDialog;

const SettingsDialogKind kAutoRunDialogKind = {
    IDD_AUTORUN_SETTINGS,
    "自動実行の設定",
    "PROP_TIMERDIALOGPARAM",
    "保存しますか？",
    TRUE,
    AutoRunDialogProc,
    FillAutoRun,
    AutoRunDiffers,
    AcceptAutoRun,
    ReactToAutoRunCommand,
    PrepareAutoRun,
    CompleteAutoRun,
    &autoRunDialog,
};

}  // namespace

INT_PTR CALLBACK AutoRunDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    return SettingsDialogProc(kAutoRunDialogKind, dialog, message, wParam, lParam);
}

bool RunAutoRunDialog(HWND mainWindow, AppState* state)
{
    return RunSettingsDialog(kAutoRunDialogKind, mainWindow, state, nullptr) == IDOK;
}

LRESULT OnAutoRunSettingsCommand(HWND mainWindow, AppState& state)
{
    if (!RunAutoRunDialog(mainWindow, &state))
        return 0;
    SaveSettingsGroup(SaveAutoRun, state.autoRun);
    return 0;
}
