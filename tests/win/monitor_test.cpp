// The two monitors that run_on_two_monitors sets up, as tests of actions by
// monitor need them: the pointer, host key presses and other programs' windows
// (of testwin.exe, seen from this process as the program sees them) are on
// the monitor they were sent to.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "harness.h"
#include "resources/resource_ids.h"
#include "standin_taskbar.h"

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

// ---- actions on the pointer's monitor ------------------------------------------

namespace {

const POINT kOnFirst = {300, 300}, kOnSecond = {1500, 300};

std::string MonitorKey(const char* key, bool on)
{
    return std::string("[対象モニター]\r\n") + key + "=" + (on ? "1" : "0") + "\r\n";
}

// The windows' states, "l=normal r=minimized ...", once they have settled on
// the expected ones (or after 5 s).
std::string StatesOf(const std::vector<std::pair<const char*, HWND>>& windows, const std::string& expected)
{
    std::string states;
    WaitUntil([&] {
        states.clear();
        for (const auto& window : windows)
            states += std::string(states.empty() ? "" : " ") + window.first + "=" + StateName(StateOf(window.second));
        return states == expected;
    }, 5000);
    return states;
}

}  // namespace

TEST(PointerMonitor, SwitchesAndTheSecondStartReadTheKeysAndKeepToThePointersMonitor)
{
    StandinTaskbar taskbar;
    ASSERT_TRUE(taskbar.ok());
    ProgramCopy copy;
    TestWindows windows({"normal:l+at100", "normal:r+at1500", "normal:m+at1500+min"});
    ASSERT_TRUE(windows.ok());
    const std::vector<std::pair<const char*, HWND>> all = {
        {"l", windows.Find("l")}, {"r", windows.Find("r")}, {"m", windows.Find("m")}};
    const std::string restoreMinimized = "[Tidewell]\r\n最小化されたウィンドウを元に戻す=1\r\n";
    struct Step {
        const char* switchText;
        const char* key;
        bool on;
        POINT pointer;
        const char* states;
    };
    // m, minimized on the second monitor, counts there.
    const Step steps[] = {
        {"/min", "最小化する", true, kOnSecond, "l=normal r=minimized m=minimized"},
        {"/min", "最小化する", false, kOnSecond, "l=minimized r=minimized m=minimized"},
        {"/restore", "元に戻す", true, kOnSecond, "l=minimized r=normal m=normal"},
        {"/restore", "元に戻す", false, kOnSecond, "l=normal r=normal m=normal"},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(std::string(step.switchText) + (step.on ? " on" : " off"));
        copy.WriteSettings(restoreMinimized + MonitorKey(step.key, step.on));
        ASSERT_TRUE(SetCursorPos(step.pointer.x, step.pointer.y));
        ASSERT_EQ(RunToEnd(copy.exe, step.switchText), 0);
        EXPECT_EQ(StatesOf(all, step.states), step.states);
    }

    // A second start closes once with the close filter and its key.
    Resident resident(copy);
    ASSERT_NE(resident.window(), nullptr);
    copy.WriteSettings(MonitorKey("閉じる", true));
    ASSERT_TRUE(SetCursorPos(kOnFirst.x, kOnFirst.y));
    ASSERT_EQ(RunToEnd(copy.exe, ""), 0);
    EXPECT_EQ(StatesOf(all, "l=gone r=normal m=normal"), "l=gone r=normal m=normal");
    copy.WriteSettings(MonitorKey("閉じる", false));
    ASSERT_EQ(RunToEnd(copy.exe, ""), 0);
    EXPECT_EQ(StatesOf(all, "l=gone r=gone m=gone"), "l=gone r=gone m=gone");
}

TEST(PointerMonitor, TheResidentsTriggersFollowTheMenuItemAndUndoTakesBackWhatChanged)
{
    StandinTaskbar taskbar;
    ASSERT_TRUE(taskbar.ok());
    ProgramCopy copy;
    // Ctrl+Alt+M minimizes, also maximized windows.
    copy.WriteSettings("[Tidewell]\r\n最大化されたウィンドウを最小化する=1\r\n[ホットキーの設定]\r\nウィンドウを最小化=845\r\n");
    TestWindows windows({"normal:l+at100", "normal:r+at1500"});
    ASSERT_TRUE(windows.ok());
    HWND l = windows.Find("l"), r = windows.Find("r");
    const std::vector<std::pair<const char*, HWND>> both = {{"l", l}, {"r", r}};
    Resident resident(copy);
    ASSERT_NE(resident.window(), nullptr);

    // A menu command: maximize, on the pointer's monitor while its item is checked.
    ASSERT_TRUE(SetCursorPos(kOnSecond.x, kOnSecond.y));
    resident.Send(IDM_MAXIMIZE_ON_POINTER_MONITOR);
    resident.Send(IDM_MAXIMIZE_WINDOWS);
    EXPECT_EQ(StatesOf(both, "l=normal r=maximized"), "l=normal r=maximized");
    resident.Send(IDM_MAXIMIZE_ON_POINTER_MONITOR);
    resident.Send(IDM_MAXIMIZE_WINDOWS);
    EXPECT_EQ(StatesOf(both, "l=maximized r=maximized"), "l=maximized r=maximized");

    // The hotkey, pressed with the pointer over a window on the first monitor.
    const std::string xdotool = HostXdotool();
    ASSERT_FALSE(xdotool.empty());
    resident.Send(IDM_MINIMIZE_ON_POINTER_MONITOR);
    ASSERT_TRUE(PressKeysOver(xdotool, l, "ctrl+alt+m"));
    EXPECT_EQ(StatesOf(both, "l=minimized r=maximized"), "l=minimized r=maximized");
    // Undo takes back the one window the action changed, and nothing else.
    ShowWindow(r, SW_RESTORE);
    ASSERT_EQ(WaitForState(r, kNormal), kNormal);
    resident.Send(IDM_UNDO);
    EXPECT_EQ(StatesOf(both, "l=maximized r=normal"), "l=maximized r=normal");
    resident.Send(IDM_MINIMIZE_ON_POINTER_MONITOR);
    ASSERT_TRUE(PressKeysOver(xdotool, l, "ctrl+alt+m"));
    EXPECT_EQ(StatesOf(both, "l=minimized r=minimized"), "l=minimized r=minimized");
    // The two items wrote their keys, off again.
    EXPECT_NE(copy.ReadSettings().find("[対象モニター]\r\n最大化する=0\r\n最小化する=0\r\n"), std::string::npos)
        << copy.ReadSettings();
}

TEST(PointerMonitor, APeriodicActionKeepsToThePointersMonitor)
{
    StandinTaskbar taskbar;
    ASSERT_TRUE(taskbar.ok());
    ProgramCopy copy;
    copy.WriteSettings("[Tidewell]\r\n最小化されたウィンドウを元に戻す=1\r\n[自動実行/元に戻す]\r\n有効=1\r\n間隔=300\r\n" +
                       MonitorKey("元に戻す", true));
    TestWindows windows({"normal:l+at100+min", "normal:r+at1500+min"});
    ASSERT_TRUE(windows.ok());
    const std::vector<std::pair<const char*, HWND>> both = {{"l", windows.Find("l")}, {"r", windows.Find("r")}};
    ASSERT_TRUE(SetCursorPos(kOnSecond.x, kOnSecond.y));
    Resident resident(copy);
    ASSERT_NE(resident.window(), nullptr);
    EXPECT_EQ(StatesOf(both, "l=minimized r=normal"), "l=minimized r=normal");
    EXPECT_TRUE(HoldsFor([&] { return StateOf(both[0].second) == kMinimized; }, 1000));
    resident.Send(IDM_RESTORE_ON_POINTER_MONITOR);
    EXPECT_EQ(StatesOf(both, "l=normal r=normal"), "l=normal r=normal");
}
