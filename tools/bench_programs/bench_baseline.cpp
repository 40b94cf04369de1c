// Benchmark baseline: the bare work of one action, and nothing else. One
// EnumWindows pass; each window gets the eligibility reads of the program's
// selection (with the default filter of the action) and, when selected, the
// one platform call: ShowWindow, or for close PostMessageA and then IsWindow
// every millisecond for up to 1000 ms.
//
//   bench_baseline.exe /close | /min | /max | /restore
#include <windows.h>

#include <cstdlib>
#include <cstring>

namespace {

struct Action {
    const char* name;
    int showCommand;  // 0: close
    bool takeNormal;
    bool takeMaximized;
};

// The default filters: close takes normal-size and maximized windows, restore
// maximized ones, maximize and minimize normal-size ones; none takes
// minimized, invisible, popup-like or untitled windows.
const Action kActions[] = {
    {"/close", 0, true, true},
    {"/min", SW_MINIMIZE, true, false},
    {"/max", SW_SHOWMAXIMIZED, true, false},
    {"/restore", SW_RESTORE, false, true},
};

bool IsSelected(const Action& action, HWND window)
{
    if (!action.takeNormal && !IsIconic(window) && !IsZoomed(window))
        return false;
    if (!action.takeMaximized && IsZoomed(window))
        return false;
    if (IsIconic(window))
        return false;
    if (GetParent(window) != nullptr || !IsWindowEnabled(window) || !IsWindowVisible(window))
        return false;
    LONG style = GetWindowLongA(window, GWL_STYLE);
    LONG exStyle = GetWindowLongA(window, GWL_EXSTYLE);
    if ((style & WS_SYSMENU) == 0 || (style & WS_POPUP) != 0 || (exStyle & WS_EX_TOOLWINDOW) != 0)
        return false;
    if ((style & WS_BORDER) == 0 || (style & WS_DLGFRAME) == 0)
        return false;
    return GetWindowTextLengthA(window) > 0;
}

BOOL CALLBACK ActOnWindow(HWND window, LPARAM param)
{
    const Action& action = *reinterpret_cast<const Action*>(param);
    if (!IsSelected(action, window))
        return TRUE;
    if (action.showCommand != 0) {
        ShowWindow(window, action.showCommand);
        return TRUE;
    }
    PostMessageA(window, WM_CLOSE, 0, 0);
    DWORD start = GetTickCount();
    while (IsWindow(window) && GetTickCount() - start < 1000)
        Sleep(1);
    return TRUE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    for (int i = 1; i < __argc; ++i) {
        for (const Action& action : kActions) {
            if (std::strcmp(__argv[i], action.name) == 0)
                EnumWindows(ActOnWindow, reinterpret_cast<LPARAM>(&action));
        }
    }
    return 0;
}
