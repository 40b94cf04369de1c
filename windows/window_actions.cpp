// Window selection and the four actions. One EnumWindows pass; each eligible
// window is handled completely before the next one is tested.
#include "windows/window_actions.h"

#include <cstdlib>

#include "windows/array_growth.h"
#include "windows/program_names.h"
#include "windows/system_library.h"

namespace {

// The command of a close step; the show steps use their SW_ command.
const int kCloseCommand = -1;

// How long a window that was asked to close is waited for, at most.
const DWORD kCloseWaitMs = 1000;
// How long a window's thread may take to answer before it counts as hung.
const UINT kResponsiveTimeoutMs = 250;

// The shell's own windows, the desktop and the taskbars: never touched.
const char* const kShellClasses[] = {"Progman", "WorkerW", "Shell_TrayWnd", "Shell_SecondaryTrayWnd"};
// DWMWA_CLOAKED: non-zero for a window on another virtual desktop or of a
// suspended store app.
const DWORD kDwmCloakedAttribute = 14;

typedef HRESULT(WINAPI* DwmGetWindowAttributeProc)(HWND window, DWORD attribute, void* value,
                                                   DWORD size);

// One process's program, looked up at most once per action (more often only
// when the list of verdicts cannot grow).
struct ProgramVerdict {
    DWORD processId;
    bool excluded;
};

// The shell's windows as one action finds them. Looked up once, when the
// first window gets as far as that test, so that each window then costs a
// comparison rather than a read of its class name (two round trips to the
// window system), and an action with nothing to act on costs nothing.
struct ShellWindows {
    bool looked;
    bool complete;  // false: the list could not be had, so classes are compared per window
    HWND desktop;   // the shell's desktop window, whatever its class
    HWND* windows;  // of the shell's classes; from the standard allocator, freed after the action
    size_t count;
    size_t capacity;
};

// Handed through one enumeration; lives on the operation's stack.
struct SelectionContext {
    HWND excluded;
    const WindowFilter* filter;
    const ExclusionList* programs;
    ShellWindows shell;
    bool dwmLooked;  // the cloaking query, looked up for the first window that needs it
    DwmGetWindowAttributeProc getDwmAttribute;
    int command;
    UndoRecord* undo;
    ProgramVerdict* verdicts;  // from the standard allocator, freed after the action
    size_t verdictCount;
    size_t verdictCapacity;
    ThreadAnswers asked;
    DWORD windowThread;       // the window's thread, where the exclusion test had to find it
    HMONITOR pointerMonitor;  // when the filter keeps the action to it
};

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

// Where the desktop window manager or its answer is missing, nothing is cloaked.
bool IsCloaked(SelectionContext& context, HWND window)
{
    if (!context.dwmLooked) {
        context.getDwmAttribute =
            GetSystemLibraryFunction<DwmGetWindowAttributeProc>(kDwmLibrary, "DwmGetWindowAttribute");
        context.dwmLooked = true;
    }
    DWORD cloaked = 0;
    return context.getDwmAttribute != nullptr &&
           SUCCEEDED(context.getDwmAttribute(window, kDwmCloakedAttribute, &cloaked, sizeof cloaked)) &&
           cloaked != 0;
}

// Class names compare regardless of case, as the window system compares them.
bool HasShellClass(HWND window)
{
    char className[32];
    if (GetClassNameA(window, className, sizeof className) == 0)
        return false;
    for (const char* shellClass : kShellClasses) {
        if (lstrcmpiA(className, shellClass) == 0)
            return true;
    }
    return false;
}

bool AddShellWindow(ShellWindows* shell, HWND window)
{
    if (!MakeRoomForOne(&shell->windows, shell->count, &shell->capacity))
        return false;
    shell->windows[shell->count++] = window;
    return true;
}

// Every top-level window of each shell class. When one that was found goes
// away during the search, FindWindowEx cannot go on after it and those behind
// it would be missed: the list then counts as not had.
void FindShellWindows(ShellWindows* shell)
{
    shell->looked = true;
    shell->desktop = GetShellWindow();
    for (const char* shellClass : kShellClasses) {
        HWND found = nullptr;
        for (HWND next; (next = FindWindowExA(nullptr, found, shellClass, nullptr)) != nullptr; found = next) {
            if (!AddShellWindow(shell, next))
                return;
        }
        if (found != nullptr && !IsWindow(found))
            return;
    }
    shell->complete = true;
}

bool IsShellWindow(SelectionContext& context, HWND window)
{
    ShellWindows& shell = context.shell;
    if (!shell.looked)
        FindShellWindows(&shell);
    if (window == shell.desktop)
        return true;
    if (!shell.complete)
        return HasShellClass(window);
    for (size_t i = 0; i < shell.count; ++i) {
        if (shell.windows[i] == window)
            return true;
    }
    return false;
}

// A window whose program cannot be found out is not excluded by name.
bool IsProgramExcluded(SelectionContext& context, HWND window)
{
    if (context.programs->count == 0)
        return false;
    DWORD processId = 0;
    context.windowThread = GetWindowThreadProcessId(window, &processId);
    for (size_t i = 0; i < context.verdictCount; ++i) {
        if (context.verdicts[i].processId == processId)
            return context.verdicts[i].excluded;
    }
    char name[kExclusionNameSize];
    bool excluded = GetProcessProgramName(processId, name, sizeof name) &&
                    FindProgramName(*context.programs, name) >= 0;
    if (MakeRoomForOne(&context.verdicts, context.verdictCount, &context.verdictCapacity))
        context.verdicts[context.verdictCount++] = {processId, excluded};
    return excluded;
}

bool IsWindowEligible(SelectionContext& context, HWND window)
{
    const WindowFilter& filter = *context.filter;
    context.windowThread = 0;
    if (window == context.excluded)
        return false;
    if (!MatchesWindowState(filter, window))
        return false;
    if (GetParent(window) != nullptr)
        return false;
    if (!IsWindowEnabled(window))
        return false;
    if (!filter.includeInvisible && (!IsWindowVisible(window) || IsCloaked(context, window)))
        return false;
    LONG style = GetWindowLongA(window, GWL_STYLE);
    LONG exStyle = GetWindowLongA(window, GWL_EXSTYLE);
    if (!filter.includePopup && IsPopupLike(style, exStyle))
        return false;
    if (!filter.includeUntitled && !HasFullCaption(style))
        return false;
    if (!filter.includeUntitled && GetWindowTextLengthA(window) <= 0)
        return false;
    if (IsShellWindow(context, window))
        return false;
    // The costliest test: the name of the window's program.
    if (IsProgramExcluded(context, window))
        return false;
    // A minimized window counts on the monitor it was on before.
    return !filter.pointerMonitorOnly ||
           MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST) == context.pointerMonitor;
}

// The monitor under the mouse pointer as the action starts; the primary one
// when the pointer's place cannot be had.
HMONITOR PointerMonitor()
{
    POINT pointer = {0, 0};
    if (!GetCursorPos(&pointer))
        return MonitorFromPoint(pointer, MONITOR_DEFAULTTOPRIMARY);
    return MonitorFromPoint(pointer, MONITOR_DEFAULTTONEAREST);
}

ShowState ShowStateOf(HWND window)
{
    if (IsIconic(window))
        return kShowMinimized;
    return IsZoomed(window) ? kShowMaximized : kShowNormal;
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

BOOL CALLBACK SelectWindowProc(HWND window, LPARAM param)
{
    SelectionContext& context = *reinterpret_cast<SelectionContext*>(param);
    if (!IsWindowEligible(context, window))
        return TRUE;
    if (context.command == kCloseCommand) {
        CloseStep(window);
        return TRUE;
    }
    if (context.undo != nullptr)
        AddUndoEntry(context.undo, window, ShowStateOf(window));
    ShowWindowSafely(window, context.command, &context.asked, context.windowThread);
    return TRUE;
}

bool ApplyToEligibleWindows(HWND excluded, const WindowFilter& filter, const ExclusionList& programs,
                            int command, UndoRecord* undo)
{
    // A show action replaces what the last one left to undo.
    if (command != kCloseCommand && undo != nullptr)
        ClearUndoRecord(undo);
    SelectionContext context = {excluded, &filter, &programs, {}, false, nullptr, command, undo, nullptr, 0, 0, {},
                                0, filter.pointerMonitorOnly ? PointerMonitor() : nullptr};
    bool completed = EnumWindows(SelectWindowProc, reinterpret_cast<LPARAM>(&context)) != FALSE;
    std::free(context.shell.windows);
    std::free(context.verdicts);
    FreeThreadAnswers(&context.asked);
    return completed;
}

}  // namespace

void FreeThreadAnswers(ThreadAnswers* asked)
{
    std::free(asked->entries);
    *asked = ThreadAnswers();
}

// ShowWindow on another thread's window waits for that thread, for ever if it
// has stopped pumping messages. So the thread is asked first, with a timeout,
// whether it answers; a window whose thread does not answer gets the command
// queued instead (ShowWindowAsync), which it carries out once it recovers. A
// thread is asked once per action: the answer stands for all its windows, so
// that a program with many windows costs one round trip, and a hung one a
// single wait.
void ShowWindowSafely(HWND window, int command, ThreadAnswers* asked, DWORD thread)
{
    if (thread == 0)
        thread = GetWindowThreadProcessId(window, nullptr);
    if (thread == GetCurrentThreadId()) {
        ShowWindow(window, command);
        return;
    }
    size_t i = 0;
    while (i < asked->count && asked->entries[i].threadId != thread)
        ++i;
    bool answers;
    if (i < asked->count) {
        answers = asked->entries[i].answers;
    } else {
        DWORD_PTR answer = 0;
        answers = SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_BLOCK | SMTO_ABORTIFHUNG,
                                      kResponsiveTimeoutMs, &answer) != 0;
        if (MakeRoomForOne(&asked->entries, asked->count, &asked->capacity))
            asked->entries[asked->count++] = {thread, answers};
    }
    if (answers)
        ShowWindow(window, command);
    else
        ShowWindowAsync(window, command);
}

bool CloseWindows(HWND excluded, const WindowFilter& filter, const ExclusionList& programs, UndoRecord* undo)
{
    return ApplyToEligibleWindows(excluded, filter, programs, kCloseCommand, undo);
}

bool CloseInactive(HWND, const WindowFilter& filter, const ExclusionList& programs, UndoRecord* undo)
{
    return ApplyToEligibleWindows(GetForegroundWindow(), filter, programs, kCloseCommand, undo);
}

bool RestoreWindows(HWND excluded, const WindowFilter& filter, const ExclusionList& programs, UndoRecord* undo)
{
    return ApplyToEligibleWindows(excluded, filter, programs, SW_RESTORE, undo);
}

bool MaximizeWindows(HWND excluded, const WindowFilter& filter, const ExclusionList& programs, UndoRecord* undo)
{
    return ApplyToEligibleWindows(excluded, filter, programs, SW_SHOWMAXIMIZED, undo);
}

bool MinimizeWindows(HWND excluded, const WindowFilter& filter, const ExclusionList& programs, UndoRecord* undo)
{
    return ApplyToEligibleWindows(excluded, filter, programs, SW_MINIMIZE, undo);
}

bool MinimizeInactive(HWND, const WindowFilter& filter, const ExclusionList& programs, UndoRecord* undo)
{
    return ApplyToEligibleWindows(GetForegroundWindow(), filter, programs, SW_MINIMIZE, undo);
}
