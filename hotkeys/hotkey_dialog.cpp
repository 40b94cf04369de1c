// The hotkey settings dialog. It works on HotkeyDialogValues, the hotkey
// controls' values of the five entries; the launcher converts the entries to
// and from them around the dialog.
#include "hotkeys/hotkey_dialog.h"

#include <commctrl.h>

#include "dialogs/format_text.h"
#include "dialogs/settings_dialog.h"
#include "dialogs/settings_save.h"
#include "dialogs/window_routines.h"
#include "hotkeys/hotkeys.h"
#include "resources/resource_ids.h"

namespace {

const char kHotkeyDialogTitle[] = "ﾎｯﾄｷｰ の設定";
const char kDuplicateHotkeyText[] =
    "ホットキーが重複しています。\n異なるホットキーを割り当ててください。";
const char kHeldHotkeysText[] =
    "次のホットキーは他のプログラムが使用しているため、登録できませんでした。\n";
const size_t kHeldHotkeysTextSize = 512;

// The entries' labels as the dialog shows them, top to bottom.
struct HotkeyLabelRow {
    int entry;
    const char* label;
};

const HotkeyLabelRow kHotkeyLabelRows[kHotkeyCount] = {
    {1, "ウィンドウを閉じる"},
    {2, "ウィンドウを元に戻す"},
    {3, "ウィンドウを最小化する"},
    {4, "ウィンドウを最大化する"},
    {0, "非ｱｸﾃｨﾌﾞなｳｨﾝﾄﾞｳを閉じる"},
};

// Control and AppState.hotkeys entry. The controls run top to bottom as close,
// restore, minimize, maximize, close inactive.
struct HotkeyDialogRow {
    int control;
    int entry;
};

const HotkeyDialogRow kHotkeyDialogRows[kHotkeyCount] = {
    {IDC_HOTKEY_CLOSE_INACTIVE, 0},
    {IDC_HOTKEY_CLOSE, 1},
    {IDC_HOTKEY_RESTORE, 2},
    {IDC_HOTKEY_MINIMIZE, 3},
    {IDC_HOTKEY_MAXIMIZE, 4},
};

// The controls' values of the entries, in entry order.
typedef uint32_t HotkeyDialogValues[kHotkeyCount];

uint32_t ControlHotkey(HWND dialog, int control)
{
    return static_cast<uint32_t>(SendDlgItemMessageA(dialog, control, HKM_GETHOTKEY, 0, 0)) & 0xFFFF;
}

void FillHotkeys(HWND dialog, const void* param)
{
    const uint32_t* values = static_cast<const uint32_t*>(param);
    for (const HotkeyDialogRow& row : kHotkeyDialogRows) {
        // A key typed without modifiers gets Control+Alt.
        SendDlgItemMessageA(dialog, row.control, HKM_SETRULES, HKCOMB_NONE,
                            MAKELPARAM(HOTKEYF_CONTROL | HOTKEYF_ALT, 0));
        SendDlgItemMessageA(dialog, row.control, HKM_SETHOTKEY, values[row.entry], 0);
    }
}

bool HotkeysDiffer(HWND dialog, const void* param)
{
    const uint32_t* values = static_cast<const uint32_t*>(param);
    for (const HotkeyDialogRow& row : kHotkeyDialogRows) {
        if (ControlHotkey(dialog, row.control) != values[row.entry])
            return true;
    }
    return false;
}

// Two controls with the same non-zero value, compared whole (the extended-key
// flag included).
bool HasDuplicateHotkey(HWND dialog)
{
    for (int i = 0; i + 1 < kHotkeyCount; ++i) {
        uint32_t value = ControlHotkey(dialog, kHotkeyDialogRows[i].control);
        if (value == 0)
            continue;
        for (int j = i + 1; j < kHotkeyCount; ++j) {
            if (ControlHotkey(dialog, kHotkeyDialogRows[j].control) == value)
                return true;
        }
    }
    return false;
}

bool AcceptHotkeys(HWND dialog, void* param)
{
    if (HasDuplicateHotkey(dialog)) {
        ShowMessage(dialog, kHotkeyDialogTitle, kDuplicateHotkeyText, MB_OK);
        return false;
    }
    uint32_t* values = static_cast<uint32_t*>(param);
    for (const HotkeyDialogRow& row : kHotkeyDialogRows)
        values[row.entry] = ControlHotkey(dialog, row.control);
    return true;
}

// The entries the dialog edits, and those that could not be registered after it.
struct HotkeyDialogContext {
    HotkeyEntry* hotkeys;
    const HotkeyEntry* undoHotkey;  // not in the dialog; registered again after it
    unsigned failed;
};

void PrepareHotkeys(HWND mainWindow, void* param, void* context)
{
    uint32_t* values = static_cast<uint32_t*>(param);
    const HotkeyEntry* hotkeys = static_cast<HotkeyDialogContext*>(context)->hotkeys;
    UnregisterHotkeys(mainWindow);
    for (int i = 0; i < kHotkeyCount; ++i)
        values[i] = ToControlHotkey(hotkeys[i]);
}

void CompleteHotkeys(HWND mainWindow, void* param, void* context)
{
    const uint32_t* values = static_cast<const uint32_t*>(param);
    HotkeyDialogContext* dialogContext = static_cast<HotkeyDialogContext*>(context);
    for (int i = 0; i < kHotkeyCount; ++i)
        FromControlHotkey(values[i], &dialogContext->hotkeys[i]);
    dialogContext->failed = RegisterHotkeys(mainWindow, dialogContext->hotkeys, *dialogContext->undoHotkey);
}

// Names, one line each, the hotkeys that another program holds.
void ShowHeldHotkeys(HWND mainWindow, unsigned failed)
{
    char text[kHeldHotkeysTextSize];
    int used = FormatText(text, sizeof text, "%s", kHeldHotkeysText);
    for (const HotkeyLabelRow& row : kHotkeyLabelRows) {
        if (used >= 0 && (failed >> row.entry & 1u) != 0) {
            int added = FormatText(text + used, sizeof text - static_cast<size_t>(used), "\n%s", row.label);
            used = added < 0 ? -1 : used + added;
        }
    }
    ShowMessage(mainWindow, kHotkeyDialogTitle, text, MB_OK | MB_ICONEXCLAMATION);
}

SettingsDialogSlot hotkeyDialogWindow;

const SettingsDialogKind kHotkeyDialogKind = {
    IDD_HOTKEY_SETTINGS,
    kHotkeyDialogTitle,
    "PROP_HOTKEYDIALOGPARAM",
    "保存しますか？",
    TRUE,
    HotkeyDialogProc,
    FillHotkeys,
    HotkeysDiffer,
    AcceptHotkeys,
    nullptr,
    PrepareHotkeys,
    CompleteHotkeys,
    &hotkeyDialogWindow,
};

}  // namespace

INT_PTR CALLBACK HotkeyDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    return SettingsDialogProc(kHotkeyDialogKind, dialog, message, wParam, lParam);
}

bool RunHotkeyDialog(HWND mainWindow, HotkeyEntry* hotkeys, const HotkeyEntry& undoHotkey, unsigned* failed)
{
    HotkeyDialogValues values = {};
    HotkeyDialogContext context = {hotkeys, &undoHotkey, 0};
    bool accepted = RunSettingsDialog(kHotkeyDialogKind, mainWindow, values, &context) == IDOK;
    *failed = context.failed;
    return accepted;
}

LRESULT OnHotkeySettingsCommand(HWND mainWindow, AppState& state)
{
    unsigned failed = 0;
    if (!RunHotkeyDialog(mainWindow, state.hotkeys, state.undoHotkey, &failed))
        return 0;
    SaveSettingsGroup(SaveHotkeys, state.hotkeys);
    if (failed != 0)
        ShowHeldHotkeys(mainWindow, failed);
    return 0;
}
