// The exclusion settings dialog. The list box is the dialog's list, in the
// stored order; "追加(&A)" adds the edit's name, typed or put there by a choice
// from the drop-down of programs that have a visible window now.
#include "dialogs/exclusion_dialog.h"

#include <cstring>

#include "dialogs/settings_dialog.h"
#include "dialogs/settings_save.h"
#include "resources/resource_ids.h"
#include "settings/exclusions.h"
#include "windows/program_names.h"

namespace {

// The length messages of list boxes, combo boxes and edits may count two
// bytes for every character of ANSI text: room for a name counted so.
const size_t kControlTextSize = 2 * kExclusionNameSize;

// Copies text into name when it fits there.
bool TakeName(const char* text, char* name)
{
    size_t length = std::strlen(text);
    if (length >= kExclusionNameSize)
        return false;
    std::memcpy(name, text, length + 1);
    return true;
}

// A list box or combo box entry as a name; false when it does not fit one.
bool GetEntryName(HWND control, UINT lengthMessage, UINT textMessage, WPARAM index, char* name)
{
    char text[kControlTextSize] = "";
    LRESULT length = SendMessageA(control, lengthMessage, index, 0);
    if (length < 0 || length >= static_cast<LRESULT>(sizeof text) ||
        SendMessageA(control, textMessage, index, reinterpret_cast<LPARAM>(text)) < 0)
        return false;
    return TakeName(text, name);
}

// The edit's text as a name; false when it does not fit one.
bool GetEditName(HWND edit, char* name)
{
    char text[kControlTextSize] = "";
    if (GetWindowTextLengthA(edit) >= static_cast<int>(sizeof text))
        return false;
    GetWindowTextA(edit, text, sizeof text);
    return TakeName(text, name);
}

HWND ListBox(HWND dialog)
{
    return GetDlgItem(dialog, IDC_EXCLUSION_LIST);
}

// The list box's entries, in their order.
void ReadShownList(HWND dialog, ExclusionList* list)
{
    HWND box = ListBox(dialog);
    LRESULT entries = SendMessageA(box, LB_GETCOUNT, 0, 0);
    list->count = 0;
    for (LRESULT i = 0; i < entries && list->count < kMaxExclusions; ++i) {
        if (GetEntryName(box, LB_GETTEXTLEN, LB_GETTEXT, static_cast<WPARAM>(i), list->names[list->count]))
            ++list->count;
    }
}

// A file name without a folder: not empty, and no '\', '/' or ':'. Walked by
// character, as the second byte of a double-byte character can have a
// backslash's value.
bool IsPlainFileName(const char* name)
{
    if (name[0] == '\0')
        return false;
    for (const char* p = name; *p != '\0'; p = CharNextA(p)) {
        if (*p == '\\' || *p == '/' || *p == ':')
            return false;
    }
    return true;
}

// EnumWindows: the programs of the visible top-level windows, each once, as
// many as a list holds.
BOOL CALLBACK CollectProgram(HWND window, LPARAM param)
{
    ExclusionList* programs = reinterpret_cast<ExclusionList*>(param);
    if (!IsWindowVisible(window))
        return TRUE;
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    char name[kExclusionNameSize];
    if (GetProcessProgramName(processId, name, sizeof name) && FindProgramName(*programs, name) < 0 &&
        TakeName(name, programs->names[programs->count]))
        ++programs->count;
    return programs->count < kMaxExclusions;
}

// The drop-down sorts its entries itself (CBS_SORT).
void FillOpenPrograms(HWND dialog)
{
    ExclusionList programs;
    programs.count = 0;
    EnumWindows(CollectProgram, reinterpret_cast<LPARAM>(&programs));
    for (int i = 0; i < programs.count; ++i) {
        SendDlgItemMessageA(dialog, IDC_EXCLUSION_PROGRAMS, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(programs.names[i]));
    }
}

void FillExclusions(HWND dialog, const void* param)
{
    const ExclusionList* list = static_cast<const ExclusionList*>(param);
    for (int i = 0; i < list->count; ++i)
        SendMessageA(ListBox(dialog), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(list->names[i]));
    SendDlgItemMessageA(dialog, IDC_EXCLUSION_NAME, EM_LIMITTEXT, kExclusionNameSize - 1, 0);
    FillOpenPrograms(dialog);
}

bool ExclusionsDiffer(HWND dialog, const void* param)
{
    const ExclusionList* stored = static_cast<const ExclusionList*>(param);
    ExclusionList shown;
    ReadShownList(dialog, &shown);
    if (shown.count != stored->count)
        return true;
    for (int i = 0; i < shown.count; ++i) {
        if (std::strcmp(shown.names[i], stored->names[i]) != 0)
            return true;
    }
    return false;
}

bool AcceptExclusions(HWND dialog, void* param)
{
    ReadShownList(dialog, static_cast<ExclusionList*>(param));
    return true;
}

// Adds the edit's name at the end of the list and empties the edit. A name
// that is not a plain file name, is listed already, or finds the list full is
// refused with a beep and stays in the edit.
void AddEditedName(HWND dialog)
{
    char name[kExclusionNameSize];
    ExclusionList shown;
    ReadShownList(dialog, &shown);
    if (!GetEditName(GetDlgItem(dialog, IDC_EXCLUSION_NAME), name) || !IsPlainFileName(name) ||
        shown.count >= kMaxExclusions || FindProgramName(shown, name) >= 0) {
        MessageBeep(MB_OK);
        return;
    }
    LRESULT added = SendMessageA(ListBox(dialog), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    // Selected, so that it is scrolled into view.
    SendMessageA(ListBox(dialog), LB_SETCURSEL, static_cast<WPARAM>(added), 0);
    SetDlgItemTextA(dialog, IDC_EXCLUSION_NAME, "");
}

// Removes the selected entry and selects the one that took its place (or the
// new last one), so that "削除(&D)" can be pressed again.
void RemoveSelectedName(HWND dialog)
{
    HWND box = ListBox(dialog);
    LRESULT selected = SendMessageA(box, LB_GETCURSEL, 0, 0);
    if (selected == LB_ERR)
        return;
    LRESULT left = SendMessageA(box, LB_DELETESTRING, static_cast<WPARAM>(selected), 0);
    if (left > 0)
        SendMessageA(box, LB_SETCURSEL, static_cast<WPARAM>(selected < left ? selected : left - 1), 0);
}

// A program chosen in the drop-down goes into the edit, ready to be added.
void TakeChosenProgram(HWND dialog)
{
    HWND programs = GetDlgItem(dialog, IDC_EXCLUSION_PROGRAMS);
    LRESULT chosen = SendMessageA(programs, CB_GETCURSEL, 0, 0);
    char name[kExclusionNameSize];
    if (chosen != CB_ERR &&
        GetEntryName(programs, CB_GETLBTEXTLEN, CB_GETLBTEXT, static_cast<WPARAM>(chosen), name))
        SetDlgItemTextA(dialog, IDC_EXCLUSION_NAME, name);
}

// While the edit has the focus, Enter adds its name instead of pressing OK.
void MakeAddDefault(HWND dialog)
{
    SendMessageA(dialog, DM_SETDEFID, IDC_EXCLUSION_ADD, 0);
}

void MakeOkDefault(HWND dialog)
{
    SendMessageA(dialog, DM_SETDEFID, IDOK, 0);
}

// The dialog's own notifications: control, notification code, handler.
struct ExclusionCommandRow {
    int control;
    int notification;
    void (*handler)(HWND dialog);
};

const ExclusionCommandRow kExclusionCommandRows[] = {
    {IDC_EXCLUSION_ADD, BN_CLICKED, AddEditedName},
    {IDC_EXCLUSION_REMOVE, BN_CLICKED, RemoveSelectedName},
    {IDC_EXCLUSION_PROGRAMS, CBN_SELCHANGE, TakeChosenProgram},
    {IDC_EXCLUSION_NAME, EN_SETFOCUS, MakeAddDefault},
    {IDC_EXCLUSION_NAME, EN_KILLFOCUS, MakeOkDefault},
};

void OnExclusionCommand(HWND dialog, int controlId, int notification)
{
    for (const ExclusionCommandRow& row : kExclusionCommandRows) {
        if (row.control == controlId && row.notification == notification)
            row.handler(dialog);
    }
}

SettingsDialogSlot exclusionDialog;

const SettingsDialogKind kExclusionDialogKind = {
    IDD_EXCLUSION_SETTINGS,
    "除外の設定",
    "PROP_DIALOGPARAM",
    "設定が変更されています。\n\n設定を保存しますか？",
    TRUE,
    ExclusionDialogProc,
    FillExclusions,
    ExclusionsDiffer,
    AcceptExclusions,
    nullptr,
    nullptr,
    nullptr,
    &exclusionDialog,
};

}  // namespace

INT_PTR CALLBACK ExclusionDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        // The list changes before the frame compares it for the marker.
        OnExclusionCommand(dialog, LOWORD(wParam), HIWORD(wParam));
        break;
    default:
        break;
    }
    return SettingsDialogProc(kExclusionDialogKind, dialog, message, wParam, lParam);
}

bool RunExclusionDialog(HWND owner, ExclusionList* exclusions)
{
    return RunSettingsDialog(kExclusionDialogKind, owner, exclusions, nullptr) == IDOK;
}

LRESULT OnExclusionSettingsCommand(HWND mainWindow, AppState& state)
{
    if (RunExclusionDialog(mainWindow, &state.exclusions))
        SaveSettingsGroup(SaveExclusions, state.exclusions);
    return 0;
}
