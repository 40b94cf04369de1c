// The settings dialog frame.
#include "dialogs/settings_dialog.h"

#include <cstring>
#include <cwchar>

#include "dialogs/program_icon.h"
#include "dialogs/format_text.h"
#include "dialogs/wide_text.h"
#include "dialogs/window_routines.h"

namespace {

const size_t kTitleBufferSize = 32768;
const char kChangedMarker[] = " *";
// A base title and the marker; a longer title on the window differs anyway.
const size_t kWideTitleSize = 256;

void DestroySlotIcons(SettingsDialogSlot* slot)
{
    for (HICON& icon : slot->icons) {
        if (icon != nullptr)
            DestroyIcon(icon);
        icon = nullptr;
    }
}

void EndSettingsDialog(const SettingsDialogKind& kind, HWND dialog, INT_PTR result)
{
    kind.slot->ending = true;
    EndDialog(dialog, result);
}

BOOL OnInitDialog(const SettingsDialogKind& kind, HWND dialog, LPARAM param)
{
    SettingsDialogSlot* slot = kind.slot;
    slot->window = dialog;
    SetPropA(dialog, kind.propertyName, reinterpret_cast<HANDLE>(param));
    HMODULE module = GetModuleHandleA(nullptr);
    slot->icons[0] = GetProgramIcon(module, false);
    slot->icons[1] = GetProgramIcon(module, true);
    SendMessageA(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(slot->icons[0]));
    SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(slot->icons[1]));
    PlaceAtCursor(dialog);
    kind.fill(dialog, reinterpret_cast<const void*>(param));
    // Filling a control can notify the dialog before the rest is filled in:
    // the marker is brought in line with the finished dialog.
    UpdateChangedMarker(kind, dialog);
    return kind.initResult;
}

INT_PTR OnCommand(const SettingsDialogKind& kind, HWND dialog, int controlId)
{
    // A dialog that is ending takes no second OK or Cancel: the result stands.
    if (controlId == IDOK || controlId == IDCANCEL) {
        if (kind.slot->ending)
            return TRUE;
        if (controlId == IDCANCEL) {
            EndSettingsDialog(kind, dialog, IDCANCEL);
            return TRUE;
        }
        if (!kind.accept(dialog, GetSettingsDialogParam(kind, dialog)))
            return FALSE;
        EndSettingsDialog(kind, dialog, IDOK);
        return TRUE;
    }
    UpdateChangedMarker(kind, dialog);
    if (kind.react != nullptr)
        kind.react(dialog, controlId);
    return TRUE;
}

}  // namespace

void* GetSettingsDialogParam(const SettingsDialogKind& kind, HWND dialog)
{
    return GetPropA(dialog, kind.propertyName);
}

INT_PTR RunSettingsDialog(const SettingsDialogKind& kind, HWND owner, void* param,
                          void* context)
{
    SettingsDialogSlot* slot = kind.slot;
    if (slot->window != nullptr) {
        BringWindowForward(slot->window);
        return 0;
    }
    if (kind.prepare != nullptr)
        kind.prepare(owner, param, context);
    slot->ending = false;
    slot->asking = false;
    INT_PTR result = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kind.templateId),
                                     owner, kind.proc, reinterpret_cast<LPARAM>(param));
    slot->window = nullptr;
    DestroySlotIcons(slot);
    if (kind.complete != nullptr)
        kind.complete(owner, param, context);
    return result;
}

INT_PTR SettingsDialogProc(const SettingsDialogKind& kind, HWND dialog, UINT message,
                           WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(kind, dialog, lParam);
    case WM_COMMAND:
        return OnCommand(kind, dialog, LOWORD(wParam));
    case WM_CLOSE:
        return ConfirmClose(kind, dialog);
    case WM_NCHITTEST:
        return DragAnywhere(dialog, wParam, lParam);
    case WM_DESTROY:
        RemovePropA(dialog, kind.propertyName);
        return TRUE;
    default:
        return FALSE;
    }
}

void UpdateChangedMarker(const SettingsDialogKind& kind, HWND dialog)
{
    char title[kTitleBufferSize];
    bool changed = kind.differs(dialog, GetSettingsDialogParam(kind, dialog));
    FormatText(title, sizeof title, "%s%s", kind.baseTitle, changed ? kChangedMarker : "");
    // Set through the wide function, so that it reads right under any code page.
    WCHAR wideTitle[kWideTitleSize] = L"";
    size_t used = 0;
    if (!AppendWideText(wideTitle, kWideTitleSize, &used, kProgramCodePage, title))
        return;
    WCHAR current[kWideTitleSize] = L"";
    GetWindowTextW(dialog, current, static_cast<int>(kWideTitleSize));
    if (std::wcscmp(wideTitle, current) != 0)
        SetWindowTextW(dialog, wideTitle);
}

INT_PTR ConfirmClose(const SettingsDialogKind& kind, HWND dialog)
{
    SettingsDialogSlot* slot = kind.slot;
    // A second close while the question is up asks nothing and closes nothing.
    if (slot->asking)
        return TRUE;
    if (!kind.differs(dialog, GetSettingsDialogParam(kind, dialog)))
        return FALSE;
    slot->asking = true;
    int answer = ShowMessage(dialog, kind.baseTitle, kind.confirmText,
                             MB_YESNOCANCEL | MB_ICONEXCLAMATION);
    slot->asking = false;
    switch (answer) {
    case IDCANCEL:
        return TRUE;
    case IDYES:
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, 0), 0);
        // When OK refused the input, the user's edits stay open for correction
        // instead of being thrown away by the default close.
        return slot->ending ? FALSE : TRUE;
    case IDNO:
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
        return FALSE;
    default:
        return FALSE;
    }
}

bool IsBoxChecked(HWND dialog, int checkbox)
{
    return IsDlgButtonChecked(dialog, checkbox) == BST_CHECKED;
}

namespace {

bool IsFlagBoxOn(HWND dialog, int checkbox)
{
    return IsDlgButtonChecked(dialog, checkbox) != BST_UNCHECKED;
}

}  // namespace

void FillFlagBoxes(HWND dialog, const FlagBoxRow* rows, int count, const void* param)
{
    const unsigned char* flags = static_cast<const unsigned char*>(param);
    for (int i = 0; i < count; ++i)
        CheckDlgButton(dialog, rows[i].checkbox, flags[rows[i].offset] ? BST_CHECKED : BST_UNCHECKED);
}

bool FlagBoxesDiffer(HWND dialog, const FlagBoxRow* rows, int count, const void* param)
{
    const unsigned char* flags = static_cast<const unsigned char*>(param);
    for (int i = 0; i < count; ++i) {
        if (IsFlagBoxOn(dialog, rows[i].checkbox) != (flags[rows[i].offset] != 0))
            return true;
    }
    return false;
}

void StoreFlagBoxes(HWND dialog, const FlagBoxRow* rows, int count, void* param)
{
    unsigned char* flags = static_cast<unsigned char*>(param);
    for (int i = 0; i < count; ++i)
        flags[rows[i].offset] = IsFlagBoxOn(dialog, rows[i].checkbox) ? 1 : 0;
}

int CountCheckedBoxes(HWND dialog, const FlagBoxRow* rows, int count)
{
    int checked = 0;
    for (int i = 0; i < count; ++i)
        checked += IsFlagBoxOn(dialog, rows[i].checkbox) ? 1 : 0;
    return checked;
}
