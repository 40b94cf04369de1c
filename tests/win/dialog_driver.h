// Drives the dialogs of the running resident program from outside, as a user
// would: a command posted to the main window opens one, its controls are
// clicked and filled, its close box is pressed, and the message boxes it shows
// are read and answered. Clicks are posted, so that a message box that opens
// does not hold the test up; every other change has been handled by the time
// the call returns.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

// Sends a message to a window of any process; its answer, or 0 after 5 s.
LRESULT SendAndWait(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
std::string WindowText(HWND window);

// The visible dialogs (class "#32770") owned by owner and titled caption, or
// caption with the changed marker " *"; an empty caption matches any title.
std::vector<HWND> OwnedDialogs(HWND owner, const std::string& caption = std::string());
HWND FindOwnedDialog(HWND owner, const std::string& caption = std::string());
HWND WaitForOwnedDialog(HWND owner, const std::string& caption = std::string());
bool PostCommand(UINT command);  // to the resident main window

class Dialog {
public:
    explicit Dialog(HWND window = nullptr) : window_(window) {}
    // Posts the command and waits for its dialog, owned by the main window.
    static Dialog Open(UINT command, const std::string& caption);

    HWND window() const { return window_; }
    bool ok() const { return window_ != nullptr && IsWindowVisible(window_); }
    std::string Title() const { return WindowText(window_); }
    HWND Item(int id) const { return GetDlgItem(window_, id); }
    bool Checked(int id) const { return SendAndWait(Item(id), BM_GETCHECK) == BST_CHECKED; }
    bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
    std::string Text(int id) const { return WindowText(Item(id)); }
    WORD Hotkey(int id) const { return static_cast<WORD>(SendAndWait(Item(id), HKM_GETHOTKEY)); }

    void Click(int id) const { PostMessageA(Item(id), BM_CLICK, 0, 0); }
    // Clicks the check box if needed; false when its state did not follow.
    bool SetCheck(int id, bool checked) const;
    // The edit reports the new text to the dialog itself.
    void SetText(int id, const std::string& text) const
    {
        SendAndWait(Item(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    // Then sends the command that the control sends for a typed key.
    void SetHotkey(int id, WORD value) const;
    void CloseBox() const { PostMessageA(window_, WM_SYSCOMMAND, SC_CLOSE, 0); }
    // The message box that the dialog shows.
    HWND Box() const { return FindOwnedDialog(window_); }
    HWND WaitForBox() const { return WaitForOwnedDialog(window_); }
    // Waits until the dialog is destroyed and its caller has done its work.
    bool WaitGone() const;

private:
    HWND window_;
};

std::string MessageBoxText(HWND box);
// Clicks a message box's button (IDOK, IDYES, IDNO, IDCANCEL).
void PressButton(HWND box, int id);
