// Window selection and the four actions. One EnumWindows pass; each eligible
// window is handled completely before the next one is tested.
#include "windows/window_actions.h"

namespace {

typedef void (*WindowStep)(HWND window);

// Handed through one enumeration; lives on the operation's stack.
struct SelectionContext {
    HWND excluded;
    const WindowFilter* filter;
    WindowStep action;
};

// How long a window that was asked to close is waited for, at most.
const DWORD kCloseWaitMs = 1000;
// How long a window's thread may take to answer before it counts as hung.
const UINT kResponsiveTimeoutMs = 250;

bool MatchesWindowState(const WindowFilter& filter, HWND window)
{
    if (!filter.includeNormal && !IsIconic(window) && !IsZoomed(window))
        return false;
    if (!filter.includeMaximized && IsZoomed(window))
        return false;
    if (!filter.includeMinimized && IsIconic(window))
        return false;
    return true;
}

bool IsPopupLike(LONG style, LONG exStyle)
{
    return (style & WS_SYSMENU) == 0 || (style & WS_POPUP) != 0 ||
           (exStyle & WS_EX_TOOLWINDOW) != 0;
}

bool HasFullCaption(LONG style)
{
    return (style & WS_BORDER) != 0 && (style & WS_DLGFRAME) != 0;
}

bool IsWindowEligible(const SelectionContext& context, HWND window)
{
    const WindowFilter& filter = *context.filter;
    if (window == context.excluded)
        return false;
    if (!MatchesWindowState(filter, window))
        return false;
    if (GetParent(window) != nullptr)
        return false;
    if (!IsWindowEnabled(window))
        return false;
    if (!filter.includeInvisible && !IsWindowVisible(window))
        return false;
    LONG style = GetWindowLongA(window, GWL_STYLE);
    LONG exStyle = GetWindowLongA(window, GWL_EXSTYLE);
    if (!filter.includePopup && IsPopupLike(style, exStyle))
        return false;
    if (!filter.includeUntitled && !HasFullCaption(style))
        return false;
    if (!filter.includeUntitled && GetWindowTextLengthA(window) <= 0)
        return false;
    return true;
}

BOOL CALLBACK SelectWindowProc(HWND window, LPARAM param)
{
    const SelectionContext& context = *reinterpret_cast<const SelectionContext*>(param);
    if (IsWindowEligible(context, window))
        context.action(window);
    return TRUE;
}

bool ApplyToEligibleWindows(HWND excluded, const WindowFilter& filter, WindowStep action)
{
    SelectionContext context = {excluded, &filter, action};
    return EnumWindows(SelectWindowProc, reinterpret_cast<LPARAM>(&context)) != FALSE;
}

// The close request is handled by the window's thread some time after it is
// posted, usually within a few milliseconds, so the window is looked at about
// every millisecond (the thread sleeps in between) until it is gone or a
// second has passed. A window the system counts as hung (its thread has not
// looked at its messages for five seconds) cannot close within that second:
// the request stays queued for it, and the run goes on at once.
void CloseStep(HWND window)
{
    PostMessageA(window, WM_CLOSE, 0, 0);
    DWORD start = GetTickCount();
    while (IsWindow(window) && !IsHungAppWindow(window) && GetTickCount() - start < kCloseWaitMs)
        Sleep(1);
}

// ShowWindow on another thread's window waits for that thread, for ever if it
// has stopped pumping messages. So the window is asked first, with a timeout,
// whether its thread answers; a window that does not answer gets the command
// queued instead (ShowWindowAsync), which it carries out once it recovers.
void ShowStep(HWND window, int command)
{
    if (GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId()) {
        ShowWindow(window, command);
        return;
    }
    DWORD_PTR answer = 0;
    if (SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_BLOCK | SMTO_ABORTIFHUNG,
                            kResponsiveTimeoutMs, &answer) != 0)
        ShowWindow(window, command);
    else
        ShowWindowAsync(window, command);
}

void RestoreStep(HWND window)
{
    ShowStep(window, SW_RESTORE);
}

void MaximizeStep(HWND window)
{
    ShowStep(window, SW_SHOWMAXIMIZED);
}

void MinimizeStep(HWND window)
{
    ShowStep(window, SW_MINIMIZE);
}

}  // namespace

bool CloseWindows(HWND excluded, const WindowFilter& filter)
{
    return ApplyToEligibleWindows(excluded, filter, CloseStep);
}

bool CloseInactive(HWND, const WindowFilter& filter)
{
    return ApplyToEligibleWindows(GetForegroundWindow(), filter, CloseStep);
}

bool RestoreWindows(HWND excluded, const WindowFilter& filter)
{
    return ApplyToEligibleWindows(excluded, filter, RestoreStep);
}

bool MaximizeWindows(HWND excluded, const WindowFilter& filter)
{
    return ApplyToEligibleWindows(excluded, filter, MaximizeStep);
}

bool MinimizeWindows(HWND excluded, const WindowFilter& filter)
{
    return ApplyToEligibleWindows(excluded, filter, MinimizeStep);
}

bool MinimizeInactive(HWND, const WindowFilter& filter)
{
    return ApplyToEligibleWindows(GetForegroundWindow(), filter, MinimizeStep);
}
