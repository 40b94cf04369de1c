// The two monitors that run_on_two_monitors sets up, as tests of actions by
// monitor need them: the pointer, host key presses and other programs' windows
// (of testwin.exe, seen from this process as the program sees them) are on
// the monitor they were sent to.
#include <gtest/gtest.h>

#include <vector>

#include "harness.h"

namespace {

struct Monitor {
    HMONITOR handle;
    RECT rect;
    bool primary;
};

BOOL CALLBACK AddMonitor(HMONITOR handle, HDC, RECT*, LPARAM param)
{
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (GetMonitorInfoA(handle, &info))
        reinterpret_cast<std::vector<Monitor>*>(param)->push_back(
            {handle, info.rcMonitor, (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
    return TRUE;
}

::testing::AssertionResult RectIs(const RECT& rect, LONG left, LONG top, LONG right, LONG bottom)
{
    if (rect.left == left && rect.top == top && rect.right == right && rect.bottom == bottom)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << rect.left << "," << rect.top << ")-(" << rect.right << ","
                                         << rect.bottom << ")";
}

HMONITOR UnderPointer()
{
    POINT point;
    return GetCursorPos(&point) ? MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST) : nullptr;
}

}  // namespace

TEST(TwoMonitors, PointerKeysAndWindowsAreOnTheMonitorTheyWereSentTo)
{
    ASSERT_EQ(2, GetSystemMetrics(SM_CMONITORS));
    std::vector<Monitor> monitors;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    ASSERT_EQ(2u, monitors.size());
    EXPECT_TRUE(RectIs(monitors[0].rect, 0, 0, 1024, 768));
    EXPECT_TRUE(monitors[0].primary);
    EXPECT_TRUE(RectIs(monitors[1].rect, 1024, 0, 2048, 768));
    EXPECT_FALSE(monitors[1].primary);
    const HMONITOR first = monitors[0].handle, second = monitors[1].handle;

    ASSERT_TRUE(SetCursorPos(1500, 300));
    EXPECT_EQ(second, UnderPointer());
    ASSERT_TRUE(SetCursorPos(300, 300));
    EXPECT_EQ(first, UnderPointer());

    TestWindows windows({"normal:left+at100", "normal:right+at1500", "normal:wide+at1500+max"});
    ASSERT_TRUE(windows.ok());
    HWND left = windows.Find("left"), right = windows.Find("right"), wide = windows.Find("wide");
    RECT rect;
    ASSERT_TRUE(GetWindowRect(right, &rect));
    EXPECT_EQ(1500, rect.left);
    EXPECT_EQ(first, MonitorFromWindow(left, MONITOR_DEFAULTTONEAREST));
    EXPECT_EQ(second, MonitorFromWindow(right, MONITOR_DEFAULTTONEAREST));
    ASSERT_EQ(kMaximized, StateOf(wide));
    EXPECT_EQ(second, MonitorFromWindow(wide, MONITOR_DEFAULTTONEAREST));

    // xdotool (a host program) takes the pointer over there, and its keys reach Wine.
    const int kProbeId = 0x7131;
    ASSERT_TRUE(RegisterHotKey(nullptr, kProbeId, MOD_CONTROL | MOD_ALT | MOD_SHIFT, 'Q'));
    ASSERT_TRUE(PressKeysOver(HostXdotool(), right, "ctrl+alt+shift+q"));
    EXPECT_TRUE(WaitUntil([&] {
        MSG message;
        while (PeekMessageA(&message, nullptr, WM_HOTKEY, WM_HOTKEY, PM_REMOVE))
            if (static_cast<int>(message.wParam) == kProbeId)
                return true;
        return false;
    }, 10000)) << "no key press from xdotool arrived";
    UnregisterHotKey(nullptr, kProbeId);
    EXPECT_EQ(second, UnderPointer());

    // Minimized by another process, the window stays on its monitor.
    ShowWindow(right, SW_MINIMIZE);
    ASSERT_EQ(kMinimized, WaitForState(right, kMinimized));
    EXPECT_EQ(second, MonitorFromWindow(right, MONITOR_DEFAULTTONEAREST));
}
