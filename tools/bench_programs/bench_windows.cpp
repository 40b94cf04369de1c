// Benchmark helper: makes many ordinary top-level windows for the actions to
// work on, then pumps messages until told to quit.
//
//   bench_windows.exe <events> <count> <normal|maximized> [hung]
//
// Makes <count> visible, captioned, titled overlapped windows in the given
// state, all on this thread; a close request destroys a window at once.
// [hung] more windows (default 0) are each made by a thread of their own that
// stops pumping messages for good right after; they are spread evenly among
// the others in the stacking order, and -ready waits until the system counts
// each of them as hung (five seconds without a look at its messages, as
// IsHungAppWindow tells), as a window that has stopped answering is. The named events <events>-ready,
// -settle, -reset, -settled and -quit (made by the caller) drive it: -ready is
// set once every window exists and has been painted; setting -settle has it
// handle every message waiting for its windows, painting included, and then
// set -settled; -reset does the same after putting every window of this
// thread back in the state it was made in; setting -quit ends the process.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const char kWindowClass[] = "TwBenchWindow";
const int kWindowWidth = 160;
const int kWindowHeight = 120;

HWND CreateBenchWindow(int index, int showCommand)
{
    char title[64];
    std::snprintf(title, sizeof title, "Bench window %d", index);
    // A cascade over the desktop, so that no two windows lie exactly on top of each other.
    int x = (index * 23) % (GetSystemMetrics(SM_CXSCREEN) - kWindowWidth);
    int y = (index * 17) % (GetSystemMetrics(SM_CYSCREEN) - kWindowHeight);
    HWND window = CreateWindowExA(0, kWindowClass, title, WS_OVERLAPPEDWINDOW, x, y, kWindowWidth,
                                  kWindowHeight, nullptr, nullptr, GetModuleHandleA(nullptr),
                                  nullptr);
    if (window != nullptr)
        ShowWindow(window, showCommand);
    return window;
}

// Only the helper's own windows: the thread has hidden ones of the system's too.
BOOL CALLBACK ResetWindow(HWND window, LPARAM showCommand)
{
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    if (std::strcmp(name, kWindowClass) == 0)
        ShowWindow(window, static_cast<int>(showCommand));
    return TRUE;
}

void PumpPending()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);
}

struct HungArgs {
    int index;
    int showCommand;
    HANDLE created;
    HWND window;
};

DWORD WINAPI HungThread(void* param)
{
    HungArgs* args = static_cast<HungArgs*>(param);
    args->window = CreateBenchWindow(args->index, args->showCommand);
    PumpPending();
    SetEvent(args->created);
    Sleep(INFINITE);
    return 0;
}

HWND CreateHungWindow(int index, int showCommand)
{
    HungArgs* args =
        new HungArgs{index, showCommand, CreateEventA(nullptr, TRUE, FALSE, nullptr), nullptr};
    HANDLE thread = CreateThread(nullptr, 0, HungThread, args, 0, nullptr);
    if (thread == nullptr)
        return nullptr;
    CloseHandle(thread);
    return WaitForSingleObject(args->created, 10000) == WAIT_OBJECT_0 ? args->window : nullptr;
}

// Pumps this thread's windows until every hung window counts as hung.
bool WaitUntilHung(const HWND* windows, int count)
{
    DWORD start = GetTickCount();
    for (int i = 0; i < count; ++i) {
        while (!IsHungAppWindow(windows[i])) {
            if (GetTickCount() - start > 20000)
                return false;
            PumpPending();
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        }
    }
    return true;
}

}  // namespace

HANDLE OpenNamedEvent(const char* base, const char* suffix)
{
    char name[256];
    std::snprintf(name, sizeof name, "%s-%s", base, suffix);
    return OpenEventA(SYNCHRONIZE | EVENT_MODIFY_STATE, FALSE, name);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    if (__argc < 4)
        return 2;
    const char* events = __argv[1];
    int count = std::atoi(__argv[2]);
    // Shown without activation: activating each new window would only add to
    // the time it takes to make them.
    int showCommand = std::strcmp(__argv[3], "maximized") == 0 ? SW_SHOWMAXIMIZED : SW_SHOWNOACTIVATE;
    int hung = __argc > 4 ? std::atoi(__argv[4]) : 0;
    HANDLE ready = OpenNamedEvent(events, "ready");
    HANDLE settle = OpenNamedEvent(events, "settle");
    HANDLE settled = OpenNamedEvent(events, "settled");
    HANDLE reset = OpenNamedEvent(events, "reset");
    HANDLE quit = OpenNamedEvent(events, "quit");
    if (ready == nullptr || settle == nullptr || settled == nullptr || reset == nullptr || quit == nullptr)
        return 2;

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kWindowClass;
    if (!RegisterClassA(&windowClass))
        return 3;

    int total = count + hung;
    int hungMade = 0;
    HWND hungWindows[64];
    if (hung < 0 || hung > 64)
        return 2;
    for (int index = 0; index < total; ++index) {
        // Hung window k of h sits at about (k + 0.5) / h of the way through.
        bool makeHung = hungMade < hung && index == (2 * hungMade + 1) * total / (2 * hung);
        if (makeHung) {
            hungWindows[hungMade] = CreateHungWindow(index, showCommand);
            if (hungWindows[hungMade] == nullptr)
                return 3;
            ++hungMade;
        } else if (CreateBenchWindow(index, showCommand) == nullptr) {
            return 3;
        }
        if (index % 16 == 15)
            PumpPending();
    }
    PumpPending();
    if (!WaitUntilHung(hungWindows, hungMade))
        return 3;
    SetEvent(ready);

    HANDLE handles[3] = {quit, settle, reset};
    for (;;) {
        DWORD woke = MsgWaitForMultipleObjects(3, handles, FALSE, INFINITE, QS_ALLINPUT);
        if (woke == WAIT_OBJECT_0)
            break;
        if (woke == WAIT_OBJECT_0 + 2)
            EnumThreadWindows(GetCurrentThreadId(), ResetWindow, showCommand);
        // PeekMessageA hands out WM_PAINT once nothing else waits, so an empty
        // queue means every window has been painted.
        PumpPending();
        if (woke == WAIT_OBJECT_0 + 1 || woke == WAIT_OBJECT_0 + 2) {
            ResetEvent(handles[woke - WAIT_OBJECT_0]);
            SetEvent(settled);
        }
    }
    // Ends the hung threads too.
    ExitProcess(0);
}
