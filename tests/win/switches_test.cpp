// End-to-end runs of tidewell.exe with its command-line switches: a private copy
// of the program (with a settings file beside it where a case needs one) acts
// on real windows of testwin.exe, and the tests look at what became of them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "harness.h"

namespace {

const DWORD kRunTimeoutMs = 20000;

// The settings file: the main section with these key=value lines (Shift-JIS).
std::string MainSection(const std::vector<std::string>& lines)
{
    std::string text = "[Tidewell]\r\n";
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

// How a window looks: its state and whether it is visible.
struct Look {
    WindowState state;
    bool visible;
};

const Look kGoneLook = {kGone, false};

Look Shown(WindowState state)
{
    return {state, true};
}

Look LookOf(HWND window)
{
    WindowState state = StateOf(window);
    return {state, state != kGone && IsWindowVisible(window) != FALSE};
}

std::string Describe(const Look& look)
{
    if (look.state == kGone)
        return "gone";
    return std::string(StateName(look.state)) + (look.visible ? " and visible" : " and hidden");
}

// The name testwin gives the window of a spec: the part after the colon, without
// the suffixes that set the foreground or change the state.
std::string WindowName(std::string spec)
{
    for (bool stripped = true; stripped;) {
        stripped = false;
        for (const char* suffix : {"+fg", "+max", "+min", "+hide"}) {
            size_t length = std::strlen(suffix);
            if (spec.size() > length && spec.compare(spec.size() - length, length, suffix) == 0) {
                spec.erase(spec.size() - length);
                stripped = true;
            }
        }
    }
    size_t colon = spec.find(':');
    return colon == std::string::npos ? spec : spec.substr(colon + 1);
}

// The windows of one testwin run. Each handle is looked up once, so a window
// that was closed is still known (and seen to be gone).
class Desk {
public:
    Desk(const Desk&) = delete;
    Desk& operator=(const Desk&) = delete;
    explicit Desk(const std::vector<std::string>& specs) : windows_(specs)
    {
        for (const std::string& spec : specs) {
            std::string name = WindowName(spec);
            names_.push_back(name);
            handles_[name] = windows_.ok() ? windows_.Find(name) : nullptr;
        }
        Remember();
    }

    bool ok() const
    {
        if (!windows_.ok())
            return false;
        for (const auto& entry : handles_) {
            if (entry.second == nullptr)
                return false;
        }
        return true;
    }

    DWORD pid() const { return windows_.process.id; }

    HWND operator[](const std::string& name) const
    {
        auto found = handles_.find(name);
        return found == handles_.end() ? nullptr : found->second;
    }

    // Takes how every window looks now as the state that later checks compare with.
    void Remember()
    {
        for (const std::string& name : names_)
            remembered_[name] = LookOf(handles_[name]);
    }

    // Puts a window into a state by hand between two runs (testwin answers at once).
    void Show(const std::string& name, int command, WindowState state)
    {
        ShowWindow((*this)[name], command);
        WaitForState((*this)[name], state, 2000);
    }

    // The listed windows look as given; every other window looks as remembered.
    ::testing::AssertionResult LooksAsExpected(const std::map<std::string, Look>& changes) const
    {
        std::string problems;
        for (const auto& change : changes) {
            if (handles_.count(change.first) == 0)
                problems += "\n  no window named " + change.first;
        }
        for (const std::string& name : names_) {
            auto change = changes.find(name);
            Look expected = change != changes.end() ? change->second : remembered_.at(name);
            HWND window = handles_.at(name);
            WaitForState(window, expected.state, expected.state == kGone ? 5000 : 1000);
            Look actual = LookOf(window);
            if (actual.state != expected.state || actual.visible != expected.visible) {
                problems += "\n  " + name + ": expected " + Describe(expected) + ", is " +
                            Describe(actual);
            }
        }
        if (problems.empty())
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "windows that differ:" << problems;
    }

private:
    TestWindows windows_;
    std::vector<std::string> names_;
    std::map<std::string, HWND> handles_;
    std::map<std::string, Look> remembered_;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM param)
{
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}

// The top-level windows in the order the platform enumerates them (top first).
std::vector<HWND> TopLevelWindows()
{
    std::vector<HWND> windows;
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

int PositionOf(const std::vector<HWND>& windows, HWND window)
{
    for (size_t i = 0; i < windows.size(); ++i) {
        if (windows[i] == window)
            return static_cast<int>(i);
    }
    return -1;
}

// Windows of other programs that a run could touch: visible ones (default
// filters take any visible titled window) and minimized or maximized ones (the
// runs that take hidden windows take only those states). Wine's own windows
// (explorer's taskbar and tray, DDE and IME windows) are hidden and of normal
// size, and must stay out of every run.
std::string StrayWindows(DWORD testwinPid)
{
    std::string found;
    for (HWND window : TopLevelWindows()) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        if (pid == testwinPid || pid == GetCurrentProcessId())
            continue;
        if (!IsWindowVisible(window) && !IsIconic(window) && !IsZoomed(window))
            continue;
        char className[128] = "", title[128] = "";
        GetClassNameA(window, className, sizeof className);
        GetWindowTextA(window, title, sizeof title);
        found += std::string(" [") + className + " \"" + title + "\" " + Describe(LookOf(window)) +
                 "]";
    }
    return found;
}

int RunSwitches(const std::string& exe, const std::string& args, DWORD timeoutMs = kRunTimeoutMs)
{
    return RunToEnd(exe, args, timeoutMs);
}

std::vector<std::string> FolderEntries(const std::string& dir)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::string name = data.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFileA(find, &data));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

std::string Join(const std::vector<std::string>& names)
{
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "" : ", ") + name;
    return text;
}

// Paths beyond 260 characters need the wide functions and the "\\?\" prefix.
std::wstring LongPath(const std::string& path)
{
    int length = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
    std::wstring wide(length > 0 ? length : 1, L'\0');
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, &wide[0], length);
    wide.resize(wide.size() - 1);
    return L"\\\\?\\" + wide;
}

bool WriteFileBytes(const std::string& path, const std::string& content)
{
    HANDLE file = CreateFileW(LongPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == content.size();
}

bool ReadFileBytes(const std::string& path, std::string* content)
{
    HANDLE file = CreateFileW(LongPath(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    content->clear();
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        content->append(buffer, got);
    CloseHandle(file);
    return true;
}

void RemoveTree(const std::wstring& dir)
{
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((dir + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = data.cFileName;
            if (name == L"." || name == L"..")
                continue;
            std::wstring full = dir + L"\\" + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(full);
            else
                DeleteFileW(full.c_str());
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    RemoveDirectoryW(dir.c_str());
}

// A chain of nested folders under parent whose innermost path is exactly
// length characters long; removed again, deep names and all, by the destructor.
struct DeepFolder {
    std::string top;
    std::string path;
    DeepFolder(const std::string& parent, size_t length)
    {
        top = parent + "\\deep";
        path = top;
        CreateDirectoryW(LongPath(path).c_str(), nullptr);
        while (path.size() < length) {
            size_t room = length - path.size() - 1;
            size_t part = room > 120 ? 100 : room;
            path += "\\" + std::string(part, 'd');
            CreateDirectoryW(LongPath(path).c_str(), nullptr);
        }
    }
    ~DeepFolder() { RemoveTree(LongPath(top)); }
};

// Every test starts on a quiet desktop: no resident instance, and no window of
// another program that a run could touch. Wine's tray window hides a moment
// after the last notification icon goes, so that is waited for.
class SwitchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(FindMainWindow(), nullptr) << "a resident instance runs on this desktop";
        std::string strays;
        bool quiet = WaitUntil([&] {
            strays = StrayWindows(0);
            return strays.empty();
        }, 5000);
        ASSERT_TRUE(quiet) << "windows of other programs that a run could touch:" << strays;
    }
};

// The maximized one is shown normal first: under Wine without a window manager a
// window first shown maximized snaps back to maximized after its first restore.
const std::vector<std::string> kEveryKind = {
    "normal",     "normal:maximized+max", "minimized", "invisible", "nosysmenu", "popup",
    "toolwindow", "nodlgframe",           "noborder",  "emptytitle", "disabled", "owned",
};

// ---------------------------------------------------------------------------
// Each switch with the default filters, on a window of every kind.

struct DefaultRun {
    const char* args;
    bool withForeground;  // adds "front", a normal window made the foreground window
    std::map<std::string, Look> changes;
};

void PrintTo(const DefaultRun& run, std::ostream* out)
{
    *out << run.args;
}

class DefaultFilterTest : public SwitchTest,
                          public ::testing::WithParamInterface<DefaultRun> {};

TEST_P(DefaultFilterTest, TouchesExactlyTheDefaultSelection)
{
    const DefaultRun& run = GetParam();
    ProgramCopy copy;
    std::vector<std::string> specs = kEveryKind;
    if (run.withForeground)
        specs.push_back("normal:front+fg");
    Desk desk(specs);
    ASSERT_TRUE(desk.ok());
    if (run.withForeground) {
        ASSERT_EQ(GetForegroundWindow(), desk["front"]);
    }

    EXPECT_EQ(RunSwitches(copy.exe, run.args), 0);
    EXPECT_TRUE(desk.LooksAsExpected(run.changes));
}

INSTANTIATE_TEST_SUITE_P(
    EachSwitch, DefaultFilterTest,
    ::testing::Values(
        DefaultRun{"/close", false, {{"normal", kGoneLook}, {"maximized", kGoneLook}}},
        DefaultRun{"/naclose", true, {{"normal", kGoneLook}, {"maximized", kGoneLook}}},
        DefaultRun{"/restore", false, {{"maximized", Shown(kNormal)}}},
        DefaultRun{"/max", false, {{"normal", Shown(kMaximized)}}},
        DefaultRun{"/min", false, {{"normal", Shown(kMinimized)}}},
        DefaultRun{"/namin", true, {{"normal", Shown(kMinimized)}}}),
    [](const ::testing::TestParamInfo<DefaultRun>& info) { return std::string(info.param.args + 1); });

// ---------------------------------------------------------------------------
// The eligibility rules, one guard lifted at a time: the same windows are run
// with the flag off and then on.

TEST_F(SwitchTest, HiddenWindowsNeedTheInvisibleFlag)
{
    // Wine's tray window, once it exists, is a hidden captioned window of normal
    // size: this filter takes hidden windows only when maximized or minimized.
    ProgramCopy copy;
    Desk desk({"invisible:hiddenmax+max", "invisible:hiddenmin+min", "invisible:hiddennormal",
               "normal:shownmax+max", "normal:shownnormal", "popup:hiddenpopup+max+hide",
               "toolwindow:hiddentool+min+hide", "emptytitle:hiddenuntitled+max+hide",
               "nodlgframe:hiddennoframe+min+hide"});
    ASSERT_TRUE(desk.ok());
    ASSERT_EQ(Describe(LookOf(desk["hiddenmax"])), "maximized and hidden");
    ASSERT_EQ(Describe(LookOf(desk["hiddenmin"])), "minimized and hidden");
    ASSERT_EQ(StrayWindows(desk.pid()), "");
    const std::vector<std::string> states = {"通常サイズのウィンドウを閉じる=0",
                                             "最小化されたウィンドウを閉じる=1"};

    std::vector<std::string> lines = states;
    lines.push_back("不可視ウィンドウを閉じる=0");
    copy.WriteSettings(MainSection(lines));
    EXPECT_EQ(RunSwitches(copy.exe, "/close"), 0);
    EXPECT_TRUE(desk.LooksAsExpected({{"shownmax", kGoneLook}}));

    desk.Remember();
    lines = states;
    lines.push_back("不可視ウィンドウを閉じる=1");
    copy.WriteSettings(MainSection(lines));
    EXPECT_EQ(RunSwitches(copy.exe, "/close"), 0);
    EXPECT_TRUE(desk.LooksAsExpected({{"hiddenmax", kGoneLook}, {"hiddenmin", kGoneLook}}));
}

TEST_F(SwitchTest, PopupLikeWindowsNeedThePopupFlag)
{
    ProgramCopy copy;
    Desk desk({"normal", "nosysmenu", "popup", "toolwindow", "popup:hiddenpopup+hide",
               "emptytitle", "nodlgframe", "normal:maximized+max"});
    ASSERT_TRUE(desk.ok());

    copy.WriteSettings(MainSection({"ポップアップウィンドウを最小化する=0"}));
    EXPECT_EQ(RunSwitches(copy.exe, "/min"), 0);
    EXPECT_TRUE(desk.LooksAsExpected({{"normal", Shown(kMinimized)}}));

    desk.Remember();
    copy.WriteSettings(MainSection({"ポップアップウィンドウを最小化する=1"}));
    EXPECT_EQ(RunSwitches(copy.exe, "/min"), 0);
    EXPECT_TRUE(desk.LooksAsExpected({{"nosysmenu", Shown(kMinimized)},
                                      {"popup", Shown(kMinimized)},
                                      {"toolwindow", Shown(kMinimized)}}));
}

TEST_F(SwitchTest, UntitledWindowsNeedTheUntitledFlag)
{
    ProgramCopy copy;
    Desk desk({"normal", "nodlgframe", "noborder", "emptytitle", "emptytitle:hiddenempty+hide",
               "popup", "nosysmenu", "minimized"});
    ASSERT_TRUE(desk.ok());

    copy.WriteSettings(MainSection({"タイトルのないウィンドウを最大化する=0"}));
    EXPECT_EQ(RunSwitches(copy.exe, "/max"), 0);
    EXPECT_TRUE(desk.LooksAsExpected({{"normal", Shown(kMaximized)}}));

    desk.Remember();
    copy.WriteSettings(MainSection({"タイトルのないウィンドウを最大化する=1"}));
    EXPECT_EQ(RunSwitches(copy.exe, "/max"), 0);
    EXPECT_TRUE(desk.LooksAsExpected({{"nodlgframe", Shown(kMaximized)},
                                      {"noborder", Shown(kMaximized)},
                                      {"emptytitle", Shown(kMaximized)}}));
}

TEST_F(SwitchTest, StateFlagsChooseByState)
{
    ProgramCopy copy;
    Desk desk({"normal", "normal:maximized+max", "minimized", "maximized:maxthenmin+min"});
    ASSERT_TRUE(desk.ok());

    // All three state flags off: the filter selects nothing.
    copy.WriteSettings(MainSection({"通常サイズのウィンドウを元に戻す=0",
                                    "最大化されたウィンドウを元に戻す=0",
                                    "最小化されたウィンドウを元に戻す=0"}));
    EXPECT_EQ(RunSwitches(copy.exe, "/restore"), 0);
    EXPECT_TRUE(desk.LooksAsExpected({}));

    // Minimized windows only: restored, the one minimized from maximized back to maximized.
    copy.WriteSettings(MainSection({"最大化されたウィンドウを元に戻す=0",
                                    "最小化されたウィンドウを元に戻す=1"}));
    EXPECT_EQ(RunSwitches(copy.exe, "/restore"), 0);
    EXPECT_TRUE(desk.LooksAsExpected({{"minimized", Shown(kNormal)},
                                      {"maxthenmin", Shown(kMaximized)}}));
}

TEST_F(SwitchTest, ShowActionsReachWindowsAlreadyInTheirState)
{
    // A hidden window that is already minimized (maximized) still gets the
    // command, which shows it.
    ProgramCopy copy;
    Desk desk({"invisible:hiddenmin+min", "invisible:hiddenmax+max", "normal"});
    ASSERT_TRUE(desk.ok());
    ASSERT_EQ(StrayWindows(desk.pid()), "");
    copy.WriteSettings(MainSection({"不可視ウィンドウを最小化する=1", "通常サイズのウィンドウを最小化する=0",
                                    "最小化されたウィンドウを最小化する=1",
                                    "不可視ウィンドウを最大化する=1", "通常サイズのウィンドウを最大化する=0",
                                    "最大化されたウィンドウを最大化する=1"}));
    EXPECT_EQ(RunSwitches(copy.exe, "/min /max"), 0);
    EXPECT_TRUE(desk.LooksAsExpected({{"hiddenmin", Shown(kMinimized)},
                                      {"hiddenmax", Shown(kMaximized)}}));
}

TEST_F(SwitchTest, DisabledAndOwnedWindowsAreNeverTouched)
{
    ProgramCopy copy;
    Desk desk({"disabled", "owned", "disabled:disabledmax+max", "owned:ownedmax+max",
               "disabled:disabledmin+min", "owned:ownedmin+min",
               "disabled:hiddendisabled+max+hide", "owned:hiddenowned+min+hide",
               "normal:control", "invisible:hiddencontrol+max"});
    ASSERT_TRUE(desk.ok());
    ASSERT_EQ(StrayWindows(desk.pid()), "");

    // Every flag but the invisible one (Wine's own windows are all hidden).
    copy.WriteSettings(MainSection({"不可視ウィンドウを閉じる=0", "ポップアップウィンドウを閉じる=1",
                                    "タイトルのないウィンドウを閉じる=1", "通常サイズのウィンドウを閉じる=1",
                                    "最大化されたウィンドウを閉じる=1", "最小化されたウィンドウを閉じる=1"}));
    EXPECT_EQ(RunSwitches(copy.exe, "/close"), 0);
    EXPECT_TRUE(desk.LooksAsExpected({{"control", kGoneLook}}));

    // Every flag but the normal-size one (Wine's own windows are all of normal size).
    desk.Remember();
    copy.WriteSettings(MainSection({"不可視ウィンドウを閉じる=1", "ポップアップウィンドウを閉じる=1",
                                    "タイトルのないウィンドウを閉じる=1", "通常サイズのウィンドウを閉じる=0",
                                    "最大化されたウィンドウを閉じる=1", "最小化されたウィンドウを閉じる=1"}));
    EXPECT_EQ(RunSwitches(copy.exe, "/close"), 0);
    EXPECT_TRUE(desk.LooksAsExpected({{"hiddencontrol", kGoneLook}}));
}

// ---------------------------------------------------------------------------
// Closing waits for each window, up to about a second.

// When a timeclose window of testwin was last asked to close, or 0.
DWORD CloseRequestTick(HWND window)
{
    char title[256] = "";
    GetWindowTextA(window, title, sizeof title);
    const char* at = std::strchr(title, '@');
    return at != nullptr ? std::strtoul(at + 1, nullptr, 10) : 0;
}

TEST_F(SwitchTest, WindowsThatRefuseToCloseDelayTheRunAndStayOpen)
{
    // Two windows that refuse to close note when they were asked; between them
    // the enumeration meets two windows that close at once. All are hidden and
    // were never shown: such a window closes at once (a shown one takes Wine
    // about 2 s to destroy), and its place in the stack can be set without
    // Wine's window management changing its state. The filter takes hidden
    // windows, but only maximized ones: Wine's own hidden windows are of normal size.
    ProgramCopy copy;
    copy.WriteSettings(MainSection({"不可視ウィンドウを閉じる=1", "通常サイズのウィンドウを閉じる=0"}));
    Desk desk({"invisible:above+max", "timeclose:first+max+hide", "invisible:middle1+max",
               "invisible:middle2+max", "timeclose:second+max+hide", "invisible:below+max"});
    ASSERT_TRUE(desk.ok());
    ASSERT_EQ(StrayWindows(desk.pid()), "");
    // Stacked in this order, top first, which is the order of the enumeration.
    const std::vector<const char*> stack = {"above", "first", "middle1", "middle2", "second",
                                            "below"};
    for (auto name = stack.rbegin(); name != stack.rend(); ++name)
        SetWindowPos(desk[*name], HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    std::vector<HWND> order = TopLevelWindows();
    std::vector<int> positions;
    std::string seen;
    for (const char* name : stack) {
        positions.push_back(PositionOf(order, desk[name]));
        seen += std::string(" ") + name + "@" + std::to_string(positions.back());
    }
    ASSERT_TRUE(std::is_sorted(positions.begin(), positions.end())) << "enumeration order:" << seen;

    DWORD start = GetTickCount();
    EXPECT_EQ(RunSwitches(copy.exe, "/close"), 0);
    DWORD elapsed = GetTickCount() - start;
    EXPECT_GE(elapsed, 1800u);
    EXPECT_LT(elapsed, 10000u);
    EXPECT_TRUE(desk.LooksAsExpected({{"above", kGoneLook}, {"middle1", kGoneLook},
                                      {"middle2", kGoneLook}, {"below", kGoneLook}}));
    // About a second's wait for the first, then two quick closes, then the second.
    DWORD askedFirst = CloseRequestTick(desk["first"]);
    DWORD askedSecond = CloseRequestTick(desk["second"]);
    ASSERT_NE(askedFirst, 0u);
    ASSERT_NE(askedSecond, 0u);
    EXPECT_GE(askedSecond - askedFirst, 950u);
    EXPECT_LT(askedSecond - askedFirst, 2500u);
}

// A window of this process that takes its time to close: a close request
// starts a timer, and the window destroys itself when it fires. Hidden and
// maximized, like the windows above. Just before it goes, it notes the title
// of the window it watches.
class SlowClosingWindow {
public:
    SlowClosingWindow(DWORD delayMs, HWND watched) : delayMs_(delayMs), watched_(watched)
    {
        ready_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        thread_ = CreateThread(nullptr, 0, ThreadMain, this, 0, nullptr);
        if (thread_ != nullptr)
            WaitForSingleObject(ready_, 10000);
    }
    ~SlowClosingWindow()
    {
        if (IsWindow(window_))
            PostMessageA(window_, WM_CLOSE, 0, 0);
        if (thread_ != nullptr) {
            WaitForSingleObject(thread_, 10000);
            CloseHandle(thread_);
        }
        CloseHandle(ready_);
    }
    SlowClosingWindow(const SlowClosingWindow&) = delete;
    SlowClosingWindow& operator=(const SlowClosingWindow&) = delete;

    HWND window() const { return window_; }
    // Empty until the window has gone.
    std::string WatchedTitleAtClose() const { return watchedTitle_; }

private:
    static DWORD WINAPI ThreadMain(void* param)
    {
        SlowClosingWindow* self = static_cast<SlowClosingWindow*>(param);
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = WindowProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "TwSlowClose";
        RegisterClassA(&windowClass);
        HWND window = CreateWindowExA(0, "TwSlowClose", "slow", WS_OVERLAPPEDWINDOW, 40, 40, 320,
                                      200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        if (window != nullptr) {
            SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
            SetWindowLongA(window, GWL_STYLE, GetWindowLongA(window, GWL_STYLE) | WS_MAXIMIZE);
        }
        self->window_ = window;
        SetEvent(self->ready_);
        MSG message;
        while (window != nullptr && GetMessageA(&message, nullptr, 0, 0) > 0)
            DispatchMessageA(&message);
        return 0;
    }
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        SlowClosingWindow* self =
            reinterpret_cast<SlowClosingWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (self == nullptr)  // still being made
            return DefWindowProcA(window, message, wParam, lParam);
        switch (message) {
        case WM_CLOSE:
            SetTimer(window, 1, self->delayMs_, nullptr);
            return 0;
        case WM_TIMER: {
            char title[256] = "";
            GetWindowTextA(self->watched_, title, sizeof title);
            self->watchedTitle_ = title;
            DestroyWindow(window);
            return 0;
        }
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
        }
    }

    DWORD delayMs_;
    HWND watched_;
    HANDLE ready_ = nullptr;
    HANDLE thread_ = nullptr;
    HWND window_ = nullptr;
    std::string watchedTitle_;
};

TEST_F(SwitchTest, WindowThatTakesAWhileToCloseIsWaitedFor)
{
    // The slow window is met first and goes about 300 ms after its close
    // request: the run waits for it, and only then asks the next window to close.
    ProgramCopy copy;
    copy.WriteSettings(MainSection({"不可視ウィンドウを閉じる=1", "通常サイズのウィンドウを閉じる=0"}));
    Desk desk({"timeclose:next+max+hide"});
    ASSERT_TRUE(desk.ok());
    SlowClosingWindow slow(300, desk["next"]);
    ASSERT_NE(slow.window(), nullptr);
    ASSERT_EQ(StrayWindows(desk.pid()), "");
    SetWindowPos(desk["next"], HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowPos(slow.window(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    std::vector<HWND> order = TopLevelWindows();
    ASSERT_LT(PositionOf(order, slow.window()), PositionOf(order, desk["next"]));

    EXPECT_EQ(RunSwitches(copy.exe, "/close"), 0);
    EXPECT_FALSE(IsWindow(slow.window()));
    EXPECT_EQ(slow.WatchedTitleAtClose(), "next")
        << "the next window was asked to close before the slow one had gone";
    EXPECT_NE(CloseRequestTick(desk["next"]), 0u) << "the next window was not asked to close";
}

// ---------------------------------------------------------------------------
// Several switches on one command line.

TEST_F(SwitchTest, SwitchesRunInCommandLineOrder)
{
    // Closing takes maximized windows only, maximizing takes normal ones.
    ProgramCopy copy;
    copy.WriteSettings(MainSection({"通常サイズのウィンドウを閉じる=0", "最大化されたウィンドウを閉じる=1"}));
    Desk desk({"normal:w"});
    ASSERT_TRUE(desk.ok());

    EXPECT_EQ(RunSwitches(copy.exe, "/close /max"), 0);
    EXPECT_TRUE(desk.LooksAsExpected({{"w", Shown(kMaximized)}}));

    desk.Show("w", SW_RESTORE, kNormal);
    ASSERT_EQ(StateOf(desk["w"]), kNormal);
    EXPECT_EQ(RunSwitches(copy.exe, "/max /close"), 0);
    EXPECT_TRUE(desk.LooksAsExpected({{"w", kGoneLook}}));
}

TEST_F(SwitchTest, SwitchGivenTwiceRunsTwice)
{
    // Restoring a window minimized from the maximized state maximizes it; a
    // second restore gives it its normal size.
    ProgramCopy copy;
    copy.WriteSettings(MainSection({"最小化されたウィンドウを元に戻す=1"}));
    Desk desk({"maximized:w+min"});
    ASSERT_TRUE(desk.ok());
    ASSERT_EQ(StateOf(desk["w"]), kMinimized);

    EXPECT_EQ(RunSwitches(copy.exe, "/restore"), 0);
    EXPECT_TRUE(desk.LooksAsExpected({{"w", Shown(kMaximized)}}));

    desk.Show("w", SW_MINIMIZE, kMinimized);
    ASSERT_EQ(StateOf(desk["w"]), kMinimized);
    EXPECT_EQ(RunSwitches(copy.exe, "/restore /restore"), 0);
    EXPECT_TRUE(desk.LooksAsExpected({{"w", Shown(kNormal)}}));
}

// ---------------------------------------------------------------------------
// The two Inactive switches spare the foreground window, and only it.

TEST_F(SwitchTest, InactiveSwitchesSpareOnlyTheForegroundWindow)
{
    ProgramCopy copy;
    copy.WriteSettings(MainSection({"最大化されたウィンドウを最小化する=1",
                                    "最小化されたウィンドウを閉じる=1"}));
    Desk desk({"normal:a", "normal:b+max", "normal:front+max+fg"});
    ASSERT_TRUE(desk.ok());
    ASSERT_EQ(GetForegroundWindow(), desk["front"]);

    EXPECT_EQ(RunSwitches(copy.exe, "/namin"), 0);
    EXPECT_TRUE(desk.LooksAsExpected({{"a", Shown(kMinimized)}, {"b", Shown(kMinimized)}}));

    desk.Remember();
    ASSERT_EQ(GetForegroundWindow(), desk["front"]);
    EXPECT_EQ(RunSwitches(copy.exe, "/naclose"), 0);
    EXPECT_TRUE(desk.LooksAsExpected({{"a", kGoneLook}, {"b", kGoneLook}}));
}

// ---------------------------------------------------------------------------
// What counts as a switch.

// Ends a resident instance started by a test: asks its main window to close,
// and terminates it only when that does not work.
struct ResidentGuard {
    Process& process;
    ~ResidentGuard()
    {
        if (process.handle == nullptr)
            return;
        HWND window = FindMainWindow();
        if (window != nullptr)
            PostMessageA(window, WM_CLOSE, 0, 0);
        DWORD exitCode = 0;
        if (!WaitProcess(process, 15000, &exitCode))
            KillProcess(process);
    }
};

TEST_F(SwitchTest, NearMissesMatchNoSwitchAndTheProgramBecomesResident)
{
    ProgramCopy copy;
    Desk desk({"normal", "normal:maximized+max"});
    ASSERT_TRUE(desk.ok());
    Process process = StartProcess(
        copy.exe,
        "/CLOSE -close /close:1 /closex /Close close //close \\/close \"/close \" /Naclose "
        "/naclose- /RESTORE /restore2 /MAX /maximize /Min /min: /namin_ -namin");
    ASSERT_NE(process.handle, nullptr);
    ResidentGuard guard{process};

    // The resident start takes the instance mutex, then makes its main window
    // once its notification icon is in (without a taskbar it gives up after
    // about 10 s and ends).
    HWND main = nullptr;
    bool sawMutex = false;
    WaitUntil([&] {
        main = FindMainWindow();
        HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, "Tidewell");
        if (mutex != nullptr) {
            sawMutex = true;
            CloseHandle(mutex);
        }
        return main != nullptr || WaitForSingleObject(process.handle, 0) == WAIT_OBJECT_0;
    }, kRunTimeoutMs);
    ASSERT_TRUE(main != nullptr || sawMutex)
        << "no argument is a switch, so the program should have gone on to become resident";
    if (main != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(main, &owner);
        EXPECT_EQ(owner, process.id);
    }
    EXPECT_TRUE(desk.LooksAsExpected({}));

    if (main != nullptr)
        PostMessageA(main, WM_CLOSE, 0, 0);
    DWORD exitCode = 99;
    EXPECT_TRUE(WaitProcess(process, 15000, &exitCode));
    EXPECT_EQ(exitCode, 0u);
}

TEST_F(SwitchTest, ProgramPathIsNeverTakenForASwitch)
{
    // Argument 0 is whatever the command line begins with, here "/close".
    ProgramCopy copy;
    Desk desk({"normal", "normal:maximized+max"});
    ASSERT_TRUE(desk.ok());
    Process process = StartProcessWithCommandLine(copy.exe, "/close /min");
    DWORD exitCode = 99;
    ASSERT_TRUE(WaitProcess(process, kRunTimeoutMs, &exitCode));
    EXPECT_EQ(exitCode, 0u);
    EXPECT_TRUE(desk.LooksAsExpected({{"normal", Shown(kMinimized)}}));
}

TEST_F(SwitchTest, QuotedProgramPathWithSpaces)
{
    // The settings file beside the program is found too: it adds maximized
    // windows to the minimize filter. Other arguments around the switch do not matter.
    ProgramCopy copy;
    std::string dir = copy.dir + "\\folder with  spaces";
    ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr));
    std::string exe = dir + "\\Tide Well.exe";
    ASSERT_TRUE(CopyFileA(copy.exe.c_str(), exe.c_str(), FALSE));
    ASSERT_TRUE(WriteFileBytes(dir + "\\tide well.ini",
                               MainSection({"最大化されたウィンドウを最小化する=1"})));
    Desk desk({"normal", "normal:maximized+max", "minimized"});
    ASSERT_TRUE(desk.ok());

    EXPECT_EQ(RunSwitches(exe, "first \"some argument\" /min last"), 0);
    EXPECT_TRUE(desk.LooksAsExpected({{"normal", Shown(kMinimized)},
                                      {"maximized", Shown(kMinimized)}}));
}

// ---------------------------------------------------------------------------
// The switch path reads the settings and does nothing else.

struct WatchedRun {
    int exitCode = -1;
    DWORD elapsedMs = 0;
    int polls = 0;
    bool sawMainWindow = false;
    bool sawMutex = false;
    bool sawTrayIcon = false;
};

// Runs the program and, while it runs, looks for the resident's main window,
// its mutex and a notification icon (Wine shows its tray window once any
// program has an icon).
WatchedRun RunWatched(const std::string& exe, const std::string& args)
{
    WatchedRun run;
    DWORD start = GetTickCount();
    Process process = StartProcess(exe, args);
    if (process.handle == nullptr)
        return run;
    while (WaitForSingleObject(process.handle, 10) == WAIT_TIMEOUT) {
        ++run.polls;
        if (FindMainWindow() != nullptr)
            run.sawMainWindow = true;
        HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, "Tidewell");
        if (mutex != nullptr) {
            run.sawMutex = true;
            CloseHandle(mutex);
        }
        HWND tray = FindWindowA("__winex11_standalone_tray", nullptr);
        if (tray != nullptr && IsWindowVisible(tray))
            run.sawTrayIcon = true;
        if (GetTickCount() - start > kRunTimeoutMs)
            break;
    }
    DWORD exitCode = 0;
    if (WaitProcess(process, 0, &exitCode))
        run.exitCode = static_cast<int>(exitCode);
    else
        KillProcess(process);
    run.elapsedMs = GetTickCount() - start;
    return run;
}

TEST_F(SwitchTest, SwitchRunWritesNothingAndCreatesNoInstance)
{
    // The stubborn window makes each close take about a second, long enough to
    // watch the program while it works.
    ProgramCopy copy;
    Desk desk({"refuseclose:stubborn", "normal"});
    ASSERT_TRUE(desk.ok());

    WatchedRun run = RunWatched(copy.exe, "/close");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_GE(run.elapsedMs, 900u);
    EXPECT_GE(run.polls, 20);
    EXPECT_FALSE(run.sawMainWindow);
    EXPECT_FALSE(run.sawMutex);
    EXPECT_FALSE(run.sawTrayIcon);
    EXPECT_TRUE(desk.LooksAsExpected({{"normal", kGoneLook}}));
    EXPECT_EQ(Join(FolderEntries(copy.dir)), "tidewell.exe");

    // With a settings file, every switch in one run: the file stays as it was.
    const std::string settings =
        "; written by hand\r\n[Tidewell]\r\n通常サイズのウィンドウを閉じる = 1\r\n"
        "最大化されたウィンドウを最小化する=1\r\nunknown key=abc\r\n\r\n[other]\r\nx=1";
    copy.WriteSettings(settings);
    WIN32_FILE_ATTRIBUTE_DATA before = {};
    ASSERT_TRUE(GetFileAttributesExA(copy.ini.c_str(), GetFileExInfoStandard, &before));
    run = RunWatched(copy.exe, "/close /naclose /restore /max /min /namin");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_GE(run.elapsedMs, 900u);
    EXPECT_FALSE(run.sawMainWindow);
    EXPECT_FALSE(run.sawMutex);
    EXPECT_FALSE(run.sawTrayIcon);
    EXPECT_EQ(copy.ReadSettings(), settings);
    WIN32_FILE_ATTRIBUTE_DATA after = {};
    ASSERT_TRUE(GetFileAttributesExA(copy.ini.c_str(), GetFileExInfoStandard, &after));
    EXPECT_EQ(CompareFileTime(&before.ftLastWriteTime, &after.ftLastWriteTime), 0);
    EXPECT_EQ(Join(FolderEntries(copy.dir)), "tidewell.exe, tidewell.ini");
}

// ---------------------------------------------------------------------------
// A window whose thread stopped pumping messages.

TEST_F(SwitchTest, HungWindowDoesNotStopTheRun)
{
    ProgramCopy copy;
    copy.WriteSettings(MainSection({"通常サイズのウィンドウを元に戻す=1",
                                    "最小化されたウィンドウを元に戻す=1"}));
    Desk desk({"normal:first", "hung:stuck", "normal:last"});
    ASSERT_TRUE(desk.ok());
    // The enumeration is to meet a normal window before the hung one and one after it.
    SetWindowPos(desk["first"], HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    std::vector<HWND> order = TopLevelWindows();
    int stuck = PositionOf(order, desk["stuck"]);
    ASSERT_LT(PositionOf(order, desk["last"]), stuck);
    ASSERT_GT(PositionOf(order, desk["first"]), stuck);

    struct Step {
        const char* args;
        WindowState state;
    };
    for (const Step& step : {Step{"/min", kMinimized}, Step{"/restore", kNormal},
                             Step{"/max", kMaximized}, Step{"/close", kGone}}) {
        SCOPED_TRACE(step.args);
        EXPECT_EQ(RunSwitches(copy.exe, step.args, 10000), 0) << "-1 means it did not end in 10 s";
        // The hung window may or may not carry out the queued command later.
        Look look = step.state == kGone ? kGoneLook : Shown(step.state);
        EXPECT_TRUE(desk.LooksAsExpected({{"first", look}, {"last", look},
                                          {"stuck", LookOf(desk["stuck"])}}));
        EXPECT_NE(StateOf(desk["stuck"]), kGone);
    }

    // Once the system counts the window as hung (five seconds without a look
    // at its messages), closing does not spend its wait on it.
    bool countsAsHung = false;
    for (int i = 0; i < 100 && !(countsAsHung = IsHungAppWindow(desk["stuck"])); ++i)
        Sleep(100);
    ASSERT_TRUE(countsAsHung);
    DWORD start = GetTickCount();
    EXPECT_EQ(RunSwitches(copy.exe, "/close", 10000), 0);
    EXPECT_LT(GetTickCount() - start, 1000u) << "the close wait was spent on a hung window";
    EXPECT_NE(StateOf(desk["stuck"]), kGone);
}

// A program whose thread stopped answering costs one wait of a quarter second,
// however many windows it has: twelve waits would take 3 s.
TEST_F(SwitchTest, HungProgramCostsOneWaitForAllItsWindows)
{
    ProgramCopy copy;
    TestWindows windows({"normal:a", "hungmany:stuck"});
    ASSERT_TRUE(windows.ok());
    DWORD start = GetTickCount();
    EXPECT_EQ(RunSwitches(copy.exe, "/min", 10000), 0);
    EXPECT_LT(GetTickCount() - start, 2000u);
    EXPECT_EQ(WaitForState(windows.Find("a"), kMinimized), kMinimized);
    for (int i = 1; i <= 12; ++i)
        EXPECT_NE(StateOf(windows.Find("stuck" + std::to_string(i))), kGone) << i;
}

// ---------------------------------------------------------------------------
// Settings that cannot be had.

TEST_F(SwitchTest, SettingsPathThatDoesNotFitGivesDefaults)
{
    // A program named without extension whose path has 257 to 259 characters:
    // its name plus ".ini" is longer than 260. Settings wait at the names that
    // cutting the path down would give, and under the bare name; they would
    // minimize the maximized window instead of the normal one.
    ProgramCopy copy;
    Desk desk({"normal", "normal:maximized+max"});
    ASSERT_TRUE(desk.ok());
    const std::string settings = MainSection({"通常サイズのウィンドウを最小化する=0",
                                              "最大化されたウィンドウを最小化する=1"});
    // The profile functions look for a name without a folder in the Windows folder.
    char windowsDir[MAX_PATH];
    GetWindowsDirectoryA(windowsDir, MAX_PATH);
    const std::string bareName = std::string(windowsDir) + "\\tidewell.ini";
    ASSERT_EQ(GetFileAttributesA(bareName.c_str()), INVALID_FILE_ATTRIBUTES);
    ASSERT_TRUE(WriteFileBytes(bareName, settings));
    struct Remover {
        std::string path;
        ~Remover() { DeleteFileA(path.c_str()); }
    } removeBareName{bareName};
    std::vector<std::string> windowsBefore = FolderEntries(windowsDir);

    for (size_t length = 257; length <= 259; ++length) {
        SCOPED_TRACE("program path of " + std::to_string(length) + " characters");
        const std::string name = "\\tidewell";
        DeepFolder folder(copy.dir, length - name.size());
        std::string exe = folder.path + name;
        ASSERT_EQ(exe.size(), length);
        ASSERT_TRUE(CopyFileA(copy.exe.c_str(), exe.c_str(), FALSE));
        std::vector<std::string> decoys = {exe + ".i", exe + ".in", exe + ".ini"};
        for (const std::string& decoy : decoys)
            ASSERT_TRUE(WriteFileBytes(decoy, settings));
        std::vector<std::string> entries = FolderEntries(folder.path);
        ASSERT_EQ(Join(entries), "tidewell, tidewell.i, tidewell.in, tidewell.ini");

        desk.Show("normal", SW_RESTORE, kNormal);
        desk.Show("maximized", SW_SHOWMAXIMIZED, kMaximized);
        desk.Remember();
        EXPECT_EQ(RunSwitches(exe, "/min"), 0);
        EXPECT_TRUE(desk.LooksAsExpected({{"normal", Shown(kMinimized)}}));
        EXPECT_EQ(FolderEntries(folder.path), entries);
        for (const std::string& decoy : decoys) {
            std::string content;
            EXPECT_TRUE(ReadFileBytes(decoy, &content));
            EXPECT_EQ(content, settings);
        }
    }
    EXPECT_EQ(Join(FolderEntries(windowsDir)), Join(windowsBefore));
    std::string content;
    EXPECT_TRUE(ReadFileBytes(bareName, &content));
    EXPECT_EQ(content, settings);
}

TEST_F(SwitchTest, DamagedSettingsGiveDefaultsForWhatTheySpoil)
{
    // Defaults minimize the normal window and leave the maximized one; the
    // settings below try to do the opposite.
    const std::string keepNormal = "通常サイズのウィンドウを最小化する=0";
    const std::string takeMaximized = "最大化されたウィンドウを最小化する=1";
    std::string binary;
    unsigned seed = 12345;
    for (int i = 0; i < 4096; ++i) {
        seed = seed * 1103515245u + 12345u;
        binary += static_cast<char>((seed >> 16) & 0xFF);
    }
    // Cut inside the double-byte character "す" of the key.
    const std::string keyOnly = keepNormal.substr(0, keepNormal.find('='));
    const size_t su = std::string("通常サイズのウィンドウを最小化").size();
    struct Case {
        const char* what;
        std::string content;
        WindowState normal;
        WindowState maximized;
    };
    const std::vector<Case> cases = {
        {"random bytes", binary, kMinimized, kMaximized},
        {"cut inside a key", "[Tidewell]\r\n" + takeMaximized + "\r\n" + keyOnly.substr(0, su + 1),
         kMinimized, kMinimized},
        {"cut after the equals sign", "[Tidewell]\r\n" + takeMaximized + "\r\n" + keyOnly + "=",
         kMinimized, kMinimized},
        {"cut inside a section name", "[Tidewell]\r\n" + takeMaximized + "\r\n[Tidew",
         kMinimized, kMinimized},
        {"values longer than any buffer",
         "[Tidewell]\r\n" + keepNormal + std::string(3000, 'x') + "\r\n" + takeMaximized +
             std::string(3000, 'y') + "\r\n",
         kNormal, kMinimized},
    };

    ProgramCopy copy;
    Desk desk({"normal", "normal:maximized+max"});
    ASSERT_TRUE(desk.ok());
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        copy.WriteSettings(test.content);
        desk.Show("normal", SW_RESTORE, kNormal);
        desk.Show("maximized", SW_SHOWMAXIMIZED, kMaximized);
        desk.Remember();
        EXPECT_EQ(RunSwitches(copy.exe, "/min"), 0);
        EXPECT_TRUE(desk.LooksAsExpected({{"normal", Shown(test.normal)},
                                          {"maximized", Shown(test.maximized)}}));
    }
}

}  // namespace
