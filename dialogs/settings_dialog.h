// The frame that every settings dialog shares: one open dialog per kind, the
// parameter as a window property, the program's icons, placement at the
// cursor, drag by any point, the " *" marker for unsaved changes and the
// question on closing. A kind is one row of constants and handlers.
#pragma once
#include <windows.h>

// What the frame remembers of one kind while its dialog runs.
struct SettingsDialogSlot {
    HWND window;      // the open dialog; null when none is open
    bool ending;      // EndDialog has been called
    bool asking;      // the closing question is up
    HICON icons[2];   // large and small title-bar icons, destroyed after the dialog
};

struct SettingsDialogKind {
    int templateId;
    const char* baseTitle;
    const char* propertyName;  // holds the parameter on the dialog window
    const char* confirmText;
    BOOL initResult;           // TRUE: the first tab stop gets the focus
    DLGPROC proc;
    // Fills the controls from the parameter.
    void (*fill)(HWND dialog, const void* param);
    // True when a control differs from the parameter.
    bool (*differs)(HWND dialog, const void* param);
    // OK: checks the input and stores it into the parameter; false refuses,
    // leaving the dialog open and the parameter as it was.
    bool (*accept)(HWND dialog, void* param);
    // Optional: the reaction to any other command, after the marker.
    void (*react)(HWND dialog, int controlId);
    // Optional: run before the dialog and after it, whatever its result.
    void (*prepare)(HWND owner, void* param, void* context);
    void (*complete)(HWND owner, void* param, void* context);
    SettingsDialogSlot* slot;
};

// Runs the kind's modal dialog and returns its result (1 accepted, 2 cancelled,
// -1 when it could not be made). When a dialog of the kind is already open, it
// is brought to the front instead and 0 is returned.
INT_PTR RunSettingsDialog(const SettingsDialogKind& kind, HWND owner, void* param,
                          void* context);
// The dialog procedure of every kind; each kind's own procedure calls it.
INT_PTR SettingsDialogProc(const SettingsDialogKind& kind, HWND dialog, UINT message,
                           WPARAM wParam, LPARAM lParam);
void* GetSettingsDialogParam(const SettingsDialogKind& kind, HWND dialog);

void UpdateChangedMarker(const SettingsDialogKind& kind, HWND dialog);
// The WM_CLOSE handler: asks before unsaved changes are dropped.
INT_PTR ConfirmClose(const SettingsDialogKind& kind, HWND dialog);

// Check boxes bound to one-byte flags at byte offsets of the parameter (a flag
// is on when non-zero, a box when it is not clear). Used by the dialogs that are nothing but check boxes.
struct FlagBoxRow {
    int checkbox;
    unsigned offset;
};
void FillFlagBoxes(HWND dialog, const FlagBoxRow* rows, int count, const void* param);
bool FlagBoxesDiffer(HWND dialog, const FlagBoxRow* rows, int count, const void* param);
void StoreFlagBoxes(HWND dialog, const FlagBoxRow* rows, int count, void* param);
int CountCheckedBoxes(HWND dialog, const FlagBoxRow* rows, int count);
// True when the box is checked (BST_CHECKED).
bool IsBoxChecked(HWND dialog, int checkbox);
