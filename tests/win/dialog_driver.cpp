// The dialog driver: window searches by class, owner and title, and the
// messages that stand for the user's clicks and key presses.
#include "dialog_driver.h"

#include "harness.h"

namespace {

struct Search {
    HWND owner;
    std::string caption;
    std::vector<HWND> found;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM param)
{
    Search* search = reinterpret_cast<Search*>(param);
    char className[16] = "", title[256] = "";
    GetClassNameA(window, className, sizeof className);
    GetWindowTextA(window, title, sizeof title);
    if (std::string(className) == "#32770" && GetWindow(window, GW_OWNER) == search->owner &&
        IsWindowVisible(window) &&
        (search->caption.empty() || search->caption == title || search->caption + " *" == title))
        search->found.push_back(window);
    return TRUE;
}

}  // namespace

LRESULT SendAndWait(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, 5000, &result);
    return static_cast<LRESULT>(result);
}

std::string WindowText(HWND window)
{
    char text[1024] = "";
    SendAndWait(window, WM_GETTEXT, sizeof text - 1, reinterpret_cast<LPARAM>(text));
    return text;
}

std::vector<HWND> OwnedDialogs(HWND owner, const std::string& caption)
{
    Search search = {owner, caption, {}};
    if (owner != nullptr)
        EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindOwnedDialog(HWND owner, const std::string& caption)
{
    std::vector<HWND> found = OwnedDialogs(owner, caption);
    return found.empty() ? nullptr : found.front();
}

HWND WaitForOwnedDialog(HWND owner, const std::string& caption)
{
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindOwnedDialog(owner, caption)) != nullptr; }, 5000);
    return found;
}

bool PostCommand(UINT command)
{
    return PostMessageA(FindMainWindow(), WM_COMMAND, command, 0) != FALSE;
}

Dialog Dialog::Open(UINT command, const std::string& caption)
{
    return Dialog(PostCommand(command) ? WaitForOwnedDialog(FindMainWindow(), caption) : nullptr);
}

bool Dialog::SetCheck(int id, bool checked) const
{
    if (Checked(id) != checked)
        Click(id);
    bool followed = WaitUntil([&] { return Checked(id) == checked; }, 3000);
    // The box changes while the click is handled, and the dialog hears of it
    // before that handling ends; a sent message is answered only afterwards.
    SendAndWait(window_, WM_NULL);
    return followed;
}

void Dialog::SetHotkey(int id, WORD value) const
{
    SendAndWait(Item(id), HKM_SETHOTKEY, value);
    SendAndWait(window_, WM_COMMAND, MAKEWPARAM(id, EN_CHANGE), reinterpret_cast<LPARAM>(Item(id)));
}

bool Dialog::WaitGone() const
{
    bool gone = WaitUntil([&] { return !IsWindow(window_); }, 5000);
    // The caller saves and applies once the modal call has returned.
    SendAndWait(FindMainWindow(), WM_NULL);
    return gone;
}

std::string MessageBoxText(HWND box)
{
    return WindowText(GetDlgItem(box, 0xFFFF));  // the id of a message box's text
}

void PressButton(HWND box, int id)
{
    PostMessageA(GetDlgItem(box, id), BM_CLICK, 0, 0);
}
