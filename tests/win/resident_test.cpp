// End-to-end tests of the resident program: tidewell.exe runs for real, and the
// tests drive it from outside through what other programs see of it: its main
// window, its mutex, its hotkeys, the messages it takes and the windows it acts on.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include <windows.h>
#include <shellapi.h>

#include "harness.h"
#include "resources/resource_ids.h"

namespace {

// Commands of the main window, as menus, tray icons, hotkeys and timers send them.
const UINT kQuit = IDM_QUIT;
const UINT kCloseWindows = IDM_CLOSE_WINDOWS;
const UINT kMinimizeWindows = IDM_MINIMIZE_WINDOWS;
const UINT kMaximizeWindows = IDM_MAXIMIZE_WINDOWS;
const UINT kRestoreWindows = IDM_RESTORE_WINDOWS;

const DWORD kSendTimeoutMs = 30000;

// ---------------------------------------------------------------------------
// Settings files

// Builds the text of a settings file, key by key (literals are Shift-JIS).
class Settings {
public:
    Settings& Section(const std::string& name)
    {
        text_ += "[" + name + "]\r\n";
        return *this;
    }
    Settings& Key(const std::string& key, int value) { return Key(key, std::to_string(value)); }
    Settings& Key(const std::string& key, const std::string& value)
    {
        text_ += key + "=" + value + "\r\n";
        return *this;
    }
    const std::string& text() const { return text_; }

private:
    std::string text_;
};

const char kMainSection[] = "Tidewell";
const char kHotkeySection[] = "ホットキーの設定";

// Every flag of every filter on.
Settings AllFiltersOn()
{
    static const char* const kKinds[] = {"不可視", "ポップアップ", "タイトルのない", "通常サイズの",
                                         "最大化された", "最小化された"};
    static const char* const kActions[] = {"閉じる", "元に戻す", "最大化する", "最小化する"};
    Settings settings;
    settings.Section(kMainSection);
    for (const char* action : kActions) {
        for (const char* kind : kKinds)
            settings.Key(std::string(kind) + "ウィンドウを" + action, 1);
    }
    return settings;
}

// The key lines of one section of a settings file, in file order.
std::vector<std::pair<std::string, std::string>> SectionEntries(const std::string& content,
                                                                const std::string& section)
{
    std::vector<std::pair<std::string, std::string>> entries;
    for (const SettingsLine& line : ReadSettingsLines(content)) {
        if (line.isKey && line.section == section)
            entries.emplace_back(line.key, line.value);
    }
    return entries;
}

// ---------------------------------------------------------------------------
// The resident instance

bool HasEnded(const Process& process)
{
    return process.handle == nullptr || WaitForSingleObject(process.handle, 0) == WAIT_OBJECT_0;
}

// A resident tidewell.exe that ends with the object, whatever the test did:
// first a WM_CLOSE like any other program would send, then TerminateProcess.
class Resident {
public:
    explicit Resident(const ProgramCopy& copy)
    {
        if (FindMainWindow() != nullptr)
            return;  // another instance runs; started() stays false
        window_ = StartResident(copy, &process_);
        // The window exists before its creation is through; the last step of the
        // creation lowers the priority, so that marks the program as running.
        if (window_ != nullptr)
            WaitUntil([&] { return HasEnded(process_) || Priority() == IDLE_PRIORITY_CLASS; },
                      10000);
    }
    ~Resident() { End(); }
    Resident(const Resident&) = delete;
    Resident& operator=(const Resident&) = delete;

    bool started() const { return window_ != nullptr && !HasEnded(process_); }
    HWND window() const { return window_; }
    DWORD id() const { return process_.id; }
    bool Running() const { return !HasEnded(process_); }
    DWORD Priority() const { return process_.handle ? GetPriorityClass(process_.handle) : 0; }

    // Waits for the program to end by itself; fills its exit code.
    bool WaitForExit(DWORD timeoutMs, DWORD* exitCode)
    {
        return WaitProcess(process_, timeoutMs, exitCode);
    }

    // True when the main window answered (a modal loop answers too).
    bool Responsive() const
    {
        DWORD_PTR result = 0;
        return IsWindow(window_) &&
               SendMessageTimeoutA(window_, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result) != 0;
    }

    // Sends a command and waits until the main window has handled it.
    bool Command(UINT command) const
    {
        DWORD_PTR result = 0;
        return SendMessageTimeoutA(window_, WM_COMMAND, MAKEWPARAM(command, 0), 0, SMTO_NORMAL,
                                   kSendTimeoutMs, &result) != 0;
    }

    bool Hotkey(WPARAM id) const
    {
        DWORD_PTR result = 0;
        return SendMessageTimeoutA(window_, WM_HOTKEY, id, 0, SMTO_NORMAL, kSendTimeoutMs,
                                   &result) != 0;
    }

    void End()
    {
        if (process_.handle == nullptr)
            return;
        if (!HasEnded(process_) && IsWindow(window_))
            PostMessageA(window_, WM_CLOSE, 0, 0);
        DWORD exitCode = 0;
        if (!WaitProcess(process_, 10000, &exitCode))
            KillProcess(process_);
    }

private:
    Process process_;
    HWND window_ = nullptr;
};

// Wine's own top-level windows share the desktop with the test windows: its
// explorer has hidden popups and, once an icon is in the notification area,
// the visible, captioned "Wine System Tray" window, which even the default
// filters select. They are no part of what is tested here, so the tests take
// them out of reach: the program never touches a disabled window. Everything
// that is neither a test window nor the resident's main window is disabled
// while the shield is up and enabled again afterwards.
class ForeignWindowShield {
public:
    ForeignWindowShield() = default;
    ~ForeignWindowShield() { Lower(); }
    ForeignWindowShield(const ForeignWindowShield&) = delete;
    ForeignWindowShield& operator=(const ForeignWindowShield&) = delete;

    // May be called again to cover windows that appeared since.
    void Raise() { EnumWindows(DisableForeign, reinterpret_cast<LPARAM>(this)); }

    void Lower()
    {
        for (HWND window : disabled_) {
            if (IsWindow(window))
                EnableWindow(window, TRUE);
        }
        disabled_.clear();
    }

private:
    static BOOL CALLBACK DisableForeign(HWND window, LPARAM param)
    {
        ForeignWindowShield* shield = reinterpret_cast<ForeignWindowShield*>(param);
        char className[256] = "";
        GetClassNameA(window, className, sizeof className);
        std::string name = className;
        if (GetPropA(window, "TW_TEST") != nullptr || name == "TidewellApp" || !IsWindowEnabled(window))
            return TRUE;
        EnableWindow(window, FALSE);
        shield->disabled_.push_back(window);
        return TRUE;
    }

    std::vector<HWND> disabled_;
};

// Wine's explorer shows its "Wine System Tray" window while the notification
// area holds an icon and hides it again when the last one goes; without a window
// manager each of those costs it two seconds, which the program would wait for
// at every start and end. So this test program keeps an icon of its own there
// from first to last: the window then exists before any shield is raised and
// stays shown. Its owner is a message-only window, which no enumeration finds.
class NotificationAreaKeeper : public ::testing::Environment {
public:
    void SetUp() override
    {
        owner_ = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
        ZeroMemory(&icon_, sizeof icon_);
        icon_.cbSize = sizeof icon_;
        icon_.hWnd = owner_;
        icon_.uID = 1;
        icon_.uFlags = NIF_ICON;
        icon_.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
        added_ = owner_ != nullptr && Shell_NotifyIconA(NIM_ADD, &icon_);
    }
    void TearDown() override
    {
        if (added_)
            Shell_NotifyIconA(NIM_DELETE, &icon_);
        if (owner_ != nullptr)
            DestroyWindow(owner_);
    }

private:
    HWND owner_ = nullptr;
    NOTIFYICONDATAA icon_;
    bool added_ = false;
};

const ::testing::Environment* const kKeeper =
    ::testing::AddGlobalTestEnvironment(new NotificationAreaKeeper);

// ---------------------------------------------------------------------------
// Probes

bool MutexExists()
{
    HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, "Tidewell");
    if (mutex == nullptr)
        return false;
    CloseHandle(mutex);
    return true;
}

// Whether this thread can take the key combination as a hotkey (it is given back at once).
bool CombinationIsFree(UINT modifiers, UINT key)
{
    const int kProbeId = 0x7123;
    if (!RegisterHotKey(nullptr, kProbeId, modifiers, key))
        return false;
    UnregisterHotKey(nullptr, kProbeId);
    return true;
}

std::string TitleOf(HWND window)
{
    char title[256] = "";
    GetWindowTextA(window, title, sizeof title);
    return title;
}

struct WindowSearch {
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindowOfProcess(HWND window, LPARAM param)
{
    WindowSearch* search = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId)
        search->found.push_back(window);
    return TRUE;
}

std::vector<HWND> TopLevelWindowsOf(DWORD processId)
{
    WindowSearch search = {processId, {}};
    EnumWindows(CollectWindowOfProcess, reinterpret_cast<LPARAM>(&search));
    std::sort(search.found.begin(), search.found.end());
    return search.found;
}

// A handle that is closed with the object.
struct ScopedHandle {
    HANDLE handle;
    explicit ScopedHandle(HANDLE h) : handle(h) {}
    ~ScopedHandle()
    {
        if (handle != nullptr)
            CloseHandle(handle);
    }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
};

// Without a window manager, Wine takes about two seconds to destroy a
// captioned window (it waits for a window manager to take note of the unmap),
// and a test program destroys its windows one after the other. That is longer
// than the program's close wait, so a closed window may go away some seconds
// after the action has returned; the tests wait for that with this ceiling per window.
const DWORD kCloseCeilingMs = 5000;

bool Gone(HWND window, DWORD timeoutMs = kCloseCeilingMs)
{
    return WaitForState(window, kGone, timeoutMs) == kGone;
}

// ---------------------------------------------------------------------------
// Instance control

TEST(ResidentInstance, HasHiddenMainWindowMutexAndIdlePriorityAndStays)
{
    ASSERT_FALSE(MutexExists()) << "an instance runs already";
    ProgramCopy copy;
    Resident resident(copy);
    ASSERT_TRUE(resident.started());

    HWND window = resident.window();
    char className[64] = "";
    GetClassNameA(window, className, sizeof className);
    EXPECT_STREQ("TidewellApp", className);
    EXPECT_EQ("TidewellApp", TitleOf(window));
    EXPECT_FALSE(IsWindowVisible(window));
    LONG style = GetWindowLongA(window, GWL_STYLE);
    EXPECT_EQ(static_cast<LONG>(WS_POPUP | WS_MINIMIZE),
              style & static_cast<LONG>(WS_POPUP | WS_MINIMIZE | WS_VISIBLE));
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    EXPECT_EQ(resident.id(), owner);

    EXPECT_TRUE(MutexExists());

    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, owner);
    ASSERT_NE(nullptr, process);
    EXPECT_EQ(static_cast<DWORD>(IDLE_PRIORITY_CLASS), GetPriorityClass(process));
    CloseHandle(process);

    EXPECT_TRUE(HoldsFor([&] { return resident.Running(); }, 2000))
        << "the resident instance ended by itself";
    EXPECT_TRUE(resident.Responsive());

    PostMessageA(window, WM_CLOSE, 0, 0);
    DWORD exitCode = 99;
    ASSERT_TRUE(resident.WaitForExit(10000, &exitCode));
    EXPECT_EQ(0u, exitCode);
    EXPECT_FALSE(MutexExists());
    EXPECT_EQ(nullptr, FindMainWindow());
}

TEST(SecondStart, ClosesWhatTheCloseFilterSelectsOnceAndLeavesTheResidentRunning)
{
    ProgramCopy copy;  // no settings file: the close filter takes normal and maximized windows
    ForeignWindowShield shield;
    shield.Raise();
    Resident resident(copy);
    ASSERT_TRUE(resident.started());
    shield.Raise();

    TestWindows windows({"normal:a+fg", "maximized:b", "minimized:c", "popup:p", "countclose:k"});
    ASSERT_TRUE(windows.ok());
    HWND a = windows.Find("a"), b = windows.Find("b"), c = windows.Find("c");
    HWND p = windows.Find("p"), k = windows.Find("k");
    ASSERT_EQ(a, GetForegroundWindow()) << "the test window did not become the foreground window";

    EXPECT_EQ(0, RunToEnd(copy.exe, ""));

    EXPECT_TRUE(Gone(a)) << "the foreground window is not spared";
    EXPECT_TRUE(Gone(b));
    EXPECT_TRUE(WaitUntil([&] { return TitleOf(k) != "k"; }, kCloseCeilingMs));
    EXPECT_EQ("k#1", TitleOf(k)) << "the window that refuses to close was asked once";
    EXPECT_EQ(kMinimized, StateOf(c));
    EXPECT_EQ(kNormal, StateOf(p));

    EXPECT_TRUE(resident.Running());
    EXPECT_EQ(resident.window(), FindMainWindow());
    EXPECT_TRUE(resident.Responsive());
    // Nothing reached the resident instance: it sends no close request of its own.
    EXPECT_TRUE(HoldsFor([&] { return TitleOf(k) == "k#1"; }, 500));
}

TEST(SecondStart, WhoseCloseFilterSelectsTheMainWindowEndsTheResidentToo)
{
    ProgramCopy copy;
    copy.WriteSettings(Settings()
                           .Section(kMainSection)
                           .Key("不可視ウィンドウを閉じる", 1)
                           .Key("ポップアップウィンドウを閉じる", 1)
                           .Key("タイトルのないウィンドウを閉じる", 1)
                           .Key("最小化されたウィンドウを閉じる", 1)
                           .text());
    ForeignWindowShield shield;
    shield.Raise();
    Resident resident(copy);
    ASSERT_TRUE(resident.started());
    shield.Raise();

    TestWindows windows({"minimized:c", "invisible:i"});
    ASSERT_TRUE(windows.ok());
    HWND c = windows.Find("c"), i = windows.Find("i");

    EXPECT_EQ(0, RunToEnd(copy.exe, ""));

    DWORD exitCode = 99;
    ASSERT_TRUE(resident.WaitForExit(10000, &exitCode)) << "the resident instance still runs";
    EXPECT_EQ(0u, exitCode);
    EXPECT_EQ(nullptr, FindMainWindow());
    EXPECT_FALSE(MutexExists());
    EXPECT_TRUE(Gone(c));
    EXPECT_TRUE(Gone(i));
}

TEST(SecondStart, TheMutexAloneCountsAsARunningInstance)
{
    ASSERT_EQ(nullptr, FindMainWindow());
    // Held by this process, as by an instance that is still starting or already ending.
    ScopedHandle mutex(CreateMutexA(nullptr, FALSE, "Tidewell"));
    DWORD mutexError = GetLastError();
    ASSERT_NE(nullptr, mutex.handle);
    ASSERT_NE(static_cast<DWORD>(ERROR_ALREADY_EXISTS), mutexError);

    ProgramCopy copy;
    ForeignWindowShield shield;
    shield.Raise();
    TestWindows windows({"normal:a", "minimized:c"});
    ASSERT_TRUE(windows.ok());
    HWND a = windows.Find("a"), c = windows.Find("c");

    Process process = StartProcess(copy.exe, "");
    ASSERT_NE(nullptr, process.handle);
    bool windowSeen = false;
    WaitUntil([&] {
        windowSeen = windowSeen || FindMainWindow() != nullptr;
        return HasEnded(process);
    }, 30000);
    DWORD exitCode = 99;
    bool ended = WaitProcess(process, 0, &exitCode);
    if (!ended)
        KillProcess(process);

    ASSERT_TRUE(ended) << "the start did not end";
    EXPECT_EQ(0u, exitCode);
    EXPECT_FALSE(windowSeen) << "a main window was created";
    EXPECT_TRUE(Gone(a)) << "the quick close did not run";
    EXPECT_EQ(kMinimized, StateOf(c));
}

// ---------------------------------------------------------------------------
// Hotkeys

// Waits for a hotkey that this thread registered.
bool ReceiveHotkey(int id, DWORD timeoutMs)
{
    return WaitUntil([&] {
        MSG message;
        while (PeekMessageA(&message, nullptr, WM_HOTKEY, WM_HOTKEY, PM_REMOVE)) {
            if (static_cast<int>(message.wParam) == id)
                return true;
        }
        return false;
    }, timeoutMs);
}

TEST(Hotkeys, StoredCombinationsAreHeldWhileTheProgramRuns)
{
    struct Combination {
        const char* name;
        UINT modifiers;
        UINT key;
        bool held;
    };
    const Combination kCombinations[] = {
        {"Ctrl+Alt+A", MOD_CONTROL | MOD_ALT, 'A', true},
        {"Ctrl+A", MOD_CONTROL, 'A', false},
        {"Alt+A", MOD_ALT, 'A', false},
        {"Ctrl+Alt+Shift+A", MOD_CONTROL | MOD_ALT | MOD_SHIFT, 'A', false},
        // The extended-key bit is kept in the file but never registered.
        {"Ctrl+Delete", MOD_CONTROL, VK_DELETE, true},
        {"Win+Ctrl+Delete", MOD_WIN | MOD_CONTROL, VK_DELETE, false},
        {"Delete", 0, VK_DELETE, false},
        {"F9", 0, VK_F9, true},
        {"Shift+F9", MOD_SHIFT, VK_F9, false},
        // Bits above the low 16 are dropped.
        {"Shift+B", MOD_SHIFT, 'B', true},
        {"B", 0, 'B', false},
        {"Ctrl+Shift+B", MOD_CONTROL | MOD_SHIFT, 'B', false},
        // What an unassigned entry would register if it were registered at all.
        {"no modifiers, no key", 0, 0, false},
    };
    for (const Combination& combination : kCombinations)
        ASSERT_TRUE(CombinationIsFree(combination.modifiers, combination.key))
            << combination.name << " is held before the program starts";

    ProgramCopy copy;
    copy.WriteSettings(Settings()
                           .Section(kHotkeySection)
                           .Key("非アクティブなウィンドウを閉じる", 0)
                           .Key("ウィンドウを閉じる", 833)
                           .Key("ウィンドウを元に戻す", (10 << 8) | VK_DELETE)
                           .Key("ウィンドウを最小化", VK_F9)
                           .Key("ウィンドウを最大化", 65536 + ((MOD_SHIFT << 8) | 'B'))
                           .text());
    Resident resident(copy);
    ASSERT_TRUE(resident.started());

    for (const Combination& combination : kCombinations)
        EXPECT_EQ(combination.held, !CombinationIsFree(combination.modifiers, combination.key))
            << combination.name;

    // A WM_CLOSE from outside ends the program, and its hotkeys are free again.
    PostMessageA(resident.window(), WM_CLOSE, 0, 0);
    DWORD exitCode = 99;
    ASSERT_TRUE(resident.WaitForExit(10000, &exitCode));
    EXPECT_EQ(0u, exitCode);
    for (const Combination& combination : kCombinations)
        EXPECT_TRUE(CombinationIsFree(combination.modifiers, combination.key))
            << combination.name << " is still held after the end";
}

TEST(Hotkeys, OnlyTheExtendedBitStillRegistersAnEmptyCombination)
{
    // The counterpart of the unassigned entry above: an entry whose only bit is
    // the extended-key flag is registered, as modifiers 0 and key 0.
    ASSERT_TRUE(CombinationIsFree(0, 0));
    ProgramCopy copy;
    copy.WriteSettings(
        Settings().Section(kHotkeySection).Key("非アクティブなウィンドウを閉じる", 8 << 8).text());
    Resident resident(copy);
    ASSERT_TRUE(resident.started());
    EXPECT_FALSE(CombinationIsFree(0, 0));
    resident.End();
    EXPECT_TRUE(CombinationIsFree(0, 0));
}

TEST(Hotkeys, ARealKeyPressRunsTheHotkeysAction)
{
    char display[256] = "";
    if (GetEnvironmentVariableA("DISPLAY", display, sizeof display) == 0)
        GTEST_SKIP() << "no X display";
    std::string xdotool = HostXdotool();
    if (xdotool.empty())
        GTEST_SKIP() << "xdotool is not installed on the host";

    ProgramCopy copy;
    copy.WriteSettings(Settings().Section(kHotkeySection).Key("ウィンドウを閉じる", 833).text());
    ForeignWindowShield shield;
    shield.Raise();
    Resident resident(copy);
    ASSERT_TRUE(resident.started());
    shield.Raise();

    // The popup is not closed by the default close filter; it takes the keys,
    // away from the window that the hotkey closes.
    TestWindows windows({"popup:p", "normal:a"});
    ASSERT_TRUE(windows.ok());
    HWND p = windows.Find("p"), a = windows.Find("a");
    ASSERT_TRUE(SetWindowPos(p, HWND_TOP, 480, 320, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE));

    // First make sure that a key press on this display reaches Wine at all.
    const int kProbeId = 0x7124;
    ASSERT_TRUE(RegisterHotKey(nullptr, kProbeId, MOD_CONTROL | MOD_ALT | MOD_SHIFT, 'Q'));
    bool probeArrived = PressKeysOver(xdotool, p, "ctrl+alt+shift+q") && ReceiveHotkey(kProbeId, 10000);
    UnregisterHotKey(nullptr, kProbeId);
    if (!probeArrived)
        GTEST_SKIP() << "key presses from xdotool do not reach Wine here";
    EXPECT_EQ(kNormal, StateOf(a));

    ASSERT_TRUE(PressKeysOver(xdotool, p, "ctrl+alt+a"));
    EXPECT_TRUE(Gone(a, 10000)) << "the hotkey did not close the window";
    EXPECT_EQ(kNormal, StateOf(p));
    EXPECT_TRUE(resident.Running());
}

// One resident instance for all checks of the hotkey messages. The filters
// are chosen so that each action leaves its own trace: maximize takes normal
// windows, minimize maximized ones, restore minimized ones, and close normal ones.
class HotkeyMessages : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        copy_ = new ProgramCopy;
        copy_->WriteSettings(Settings()
                                 .Section(kMainSection)
                                 .Key("最大化されたウィンドウを閉じる", 0)
                                 .Key("最大化されたウィンドウを元に戻す", 0)
                                 .Key("最小化されたウィンドウを元に戻す", 1)
                                 .Key("通常サイズのウィンドウを最小化する", 0)
                                 .Key("最大化されたウィンドウを最小化する", 1)
                                 .text());
        suiteShield_ = new ForeignWindowShield;
        suiteShield_->Raise();
        resident_ = new Resident(*copy_);
    }
    static void TearDownTestSuite()
    {
        delete resident_;
        delete suiteShield_;
        delete copy_;
    }
    void SetUp() override
    {
        ASSERT_TRUE(resident_->started());
        ASSERT_TRUE(resident_->Running());
        shield_.Raise();
    }
    void TearDown() override { EXPECT_TRUE(resident_->Running()); }

    static ProgramCopy* copy_;
    static ForeignWindowShield* suiteShield_;
    static Resident* resident_;
    ForeignWindowShield shield_;
};

ProgramCopy* HotkeyMessages::copy_ = nullptr;
ForeignWindowShield* HotkeyMessages::suiteShield_ = nullptr;
Resident* HotkeyMessages::resident_ = nullptr;

// The foreground window is one that refuses to close and shows every close
// request in its title at once.
TEST_F(HotkeyMessages, Id2ClosesTheSelectedWindowsButTheForegroundOne)
{
    TestWindows windows({"normal:a", "maximized:m", "countclose:f+fg"});
    ASSERT_TRUE(windows.ok());
    HWND a = windows.Find("a"), m = windows.Find("m"), f = windows.Find("f");
    ASSERT_EQ(f, GetForegroundWindow()) << "the test window did not become the foreground window";
    ASSERT_TRUE(resident_->Hotkey(2));
    EXPECT_EQ("f", TitleOf(f));
    EXPECT_TRUE(Gone(a));
    EXPECT_EQ(kMaximized, StateOf(m));
}

TEST_F(HotkeyMessages, Id3ClosesTheSelectedWindowsForegroundIncluded)
{
    TestWindows windows({"normal:a", "maximized:m", "countclose:f+fg"});
    ASSERT_TRUE(windows.ok());
    HWND a = windows.Find("a"), m = windows.Find("m"), f = windows.Find("f");
    ASSERT_EQ(f, GetForegroundWindow()) << "the test window did not become the foreground window";
    ASSERT_TRUE(resident_->Hotkey(3));
    EXPECT_EQ("f#1", TitleOf(f));
    EXPECT_TRUE(Gone(a));
    EXPECT_EQ(kMaximized, StateOf(m));
}

TEST_F(HotkeyMessages, Id4Restores)
{
    TestWindows windows({"minimized:i", "normal:a"});
    ASSERT_TRUE(windows.ok());
    HWND i = windows.Find("i"), a = windows.Find("a");
    ASSERT_TRUE(resident_->Hotkey(4));
    EXPECT_EQ(kNormal, WaitForState(i, kNormal));
    EXPECT_EQ(kNormal, StateOf(a));
}

TEST_F(HotkeyMessages, Id5Minimizes)
{
    TestWindows windows({"maximized:m", "normal:a"});
    ASSERT_TRUE(windows.ok());
    HWND m = windows.Find("m"), a = windows.Find("a");
    ASSERT_TRUE(resident_->Hotkey(5));
    EXPECT_EQ(kMinimized, WaitForState(m, kMinimized));
    EXPECT_EQ(kNormal, StateOf(a));
}

TEST_F(HotkeyMessages, Id6Maximizes)
{
    TestWindows windows({"normal:a", "minimized:i"});
    ASSERT_TRUE(windows.ok());
    HWND a = windows.Find("a"), i = windows.Find("i");
    ASSERT_TRUE(resident_->Hotkey(6));
    EXPECT_EQ(kMaximized, WaitForState(a, kMaximized));
    EXPECT_EQ(kMinimized, StateOf(i));
}

TEST_F(HotkeyMessages, APostedHotkeyRunsToo)
{
    TestWindows windows({"normal:a"});
    ASSERT_TRUE(windows.ok());
    HWND a = windows.Find("a");
    ASSERT_TRUE(PostMessageA(resident_->window(), WM_HOTKEY, 6, MAKELPARAM(MOD_CONTROL, 'M')));
    EXPECT_EQ(kMaximized, WaitForState(a, kMaximized, 10000));
}

TEST_F(HotkeyMessages, OtherIdsDoNothing)
{
    // Every action would change one of these windows. A closed window takes
    // its time to go here, but k shows a close request at once.
    TestWindows windows({"normal:a", "maximized:m", "minimized:i", "countclose:k"});
    ASSERT_TRUE(windows.ok());
    HWND a = windows.Find("a"), m = windows.Find("m"), i = windows.Find("i"), k = windows.Find("k");
    for (WPARAM id : {0, 1, 7, 100, 0xBFFF}) {
        SCOPED_TRACE("hotkey id " + std::to_string(id));
        ASSERT_TRUE(resident_->Hotkey(id));
        EXPECT_EQ(kNormal, StateOf(a));
        EXPECT_TRUE(IsWindowVisible(a));
        EXPECT_EQ(kMaximized, StateOf(m));
        EXPECT_EQ(kMinimized, StateOf(i));
        EXPECT_EQ("k", TitleOf(k));
    }
}

// ---------------------------------------------------------------------------
// Periodic actions

TEST(PeriodicActions, AnEnabledEntryRunsAgainAndAgainAndDisabledOnesNever)
{
    // Minimize every 300 ms, taking maximized windows only. The other three
    // entries are off with short periods; each of them would change the normal
    // window n or restore m if it ran.
    ProgramCopy copy;
    copy.WriteSettings(Settings()
                           .Section(kMainSection)
                           .Key("通常サイズのウィンドウを最小化する", 0)
                           .Key("最大化されたウィンドウを最小化する", 1)
                           .Key("最大化されたウィンドウを元に戻す", 0)
                           .Key("最小化されたウィンドウを元に戻す", 1)
                           .Section("自動実行/閉じる").Key("有効", 0).Key("間隔", 100)
                           .Section("自動実行/元に戻す").Key("有効", 0).Key("間隔", 100)
                           .Section("自動実行/最大化").Key("有効", 0).Key("間隔", 100)
                           .Section("自動実行/最小化").Key("有効", 1).Key("間隔", 300)
                           .text());
    ForeignWindowShield shield;
    shield.Raise();
    TestWindows windows({"maximized:m", "normal:n"});
    ASSERT_TRUE(windows.ok());
    HWND m = windows.Find("m"), n = windows.Find("n");
    Resident resident(copy);
    ASSERT_TRUE(resident.started());

    ASSERT_EQ(kMinimized, WaitForState(m, kMinimized, 5000));
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        // Restoring a window minimized from the maximized state maximizes it again.
        ShowWindow(m, SW_RESTORE);
        EXPECT_EQ(kMinimized, WaitForState(m, kMinimized, 5000));
        // The disabled restore entry would bring it back within 100 ms.
        EXPECT_TRUE(HoldsFor([&] { return StateOf(m) == kMinimized; }, 400));
    }
    EXPECT_TRUE(HoldsFor([&] { return StateOf(n) == kNormal && IsWindowVisible(n); }, 1500))
        << "window n is " << StateName(StateOf(n));
    EXPECT_TRUE(resident.Running());
}

TEST(PeriodicActions, CloseAndRestoreEntriesRunTheirOwnActions)
{
    // Close takes maximized windows only, restore minimized ones only.
    ProgramCopy copy;
    copy.WriteSettings(Settings()
                           .Section(kMainSection)
                           .Key("通常サイズのウィンドウを閉じる", 0)
                           .Key("最大化されたウィンドウを元に戻す", 0)
                           .Key("最小化されたウィンドウを元に戻す", 1)
                           .Section("自動実行/閉じる").Key("有効", 1).Key("間隔", 300)
                           .Section("自動実行/元に戻す").Key("有効", 1).Key("間隔", 300)
                           .text());
    ForeignWindowShield shield;
    shield.Raise();
    TestWindows windows({"maximized:c", "minimized:r", "normal:n"});
    ASSERT_TRUE(windows.ok());
    HWND c = windows.Find("c"), r = windows.Find("r"), n = windows.Find("n");
    Resident resident(copy);
    ASSERT_TRUE(resident.started());

    EXPECT_TRUE(Gone(c));
    EXPECT_EQ(kNormal, WaitForState(r, kNormal, 5000));
    // Still running: a window that turns up later is closed as well.
    TestWindows later({"maximized:c2"});
    ASSERT_TRUE(later.ok());
    EXPECT_TRUE(Gone(later.Find("c2")));
    EXPECT_EQ(kNormal, StateOf(n));
    EXPECT_EQ(kNormal, StateOf(r));
}

TEST(PeriodicActions, MaximizeEntryRunsItsOwnAction)
{
    ProgramCopy copy;  // the maximize filter takes normal windows by default
    copy.WriteSettings(
        Settings().Section("自動実行/最大化").Key("有効", 1).Key("間隔", 300).text());
    ForeignWindowShield shield;
    shield.Raise();
    TestWindows windows({"normal:a", "minimized:i"});
    ASSERT_TRUE(windows.ok());
    HWND a = windows.Find("a"), i = windows.Find("i");
    Resident resident(copy);
    ASSERT_TRUE(resident.started());

    EXPECT_EQ(kMaximized, WaitForState(a, kMaximized, 5000));
    EXPECT_EQ(kMinimized, StateOf(i));
}

// ---------------------------------------------------------------------------
// Commands

TEST(Commands, ActionsSpareTheMainWindowEvenWithEveryFilterFlagOn)
{
    ProgramCopy copy;
    copy.WriteSettings(AllFiltersOn().text());
    ForeignWindowShield shield;
    shield.Raise();
    Resident resident(copy);
    ASSERT_TRUE(resident.started());
    shield.Raise();
    HWND main = resident.window();

    // One window for each flag.
    TestWindows windows({"normal:a", "maximized:b", "minimized:c", "invisible:i", "popup:p",
                         "emptytitle:e"});
    ASSERT_TRUE(windows.ok());
    const char* const kNames[] = {"a", "b", "c", "i", "p", "e"};
    std::vector<HWND> all;
    for (const char* name : kNames)
        all.push_back(windows.Find(name));

    auto expectMainUntouched = [&] {
        EXPECT_TRUE(IsWindow(main));
        EXPECT_FALSE(IsWindowVisible(main));
        EXPECT_TRUE(IsIconic(main));
        EXPECT_TRUE(resident.Running());
    };

    ASSERT_TRUE(resident.Command(kMinimizeWindows));
    for (size_t n = 0; n < all.size(); ++n)
        EXPECT_EQ(kMinimized, WaitForState(all[n], kMinimized)) << kNames[n];
    expectMainUntouched();

    ASSERT_TRUE(resident.Command(kRestoreWindows));
    for (size_t n = 0; n < all.size(); ++n) {
        // b was maximized before it was minimized, so restoring brings it back maximized.
        WindowState expected = n == 1 ? kMaximized : kNormal;
        EXPECT_EQ(expected, WaitForState(all[n], expected)) << kNames[n];
    }
    expectMainUntouched();

    ASSERT_TRUE(resident.Command(kMaximizeWindows));
    for (size_t n = 0; n < all.size(); ++n)
        EXPECT_EQ(kMaximized, WaitForState(all[n], kMaximized)) << kNames[n];
    expectMainUntouched();

    // Closing costs each window some seconds here; two fresh ones are enough,
    // hidden and minimized like the main window.
    windows.Close();
    TestWindows closing({"invisible:ci", "minimized:cm"});
    ASSERT_TRUE(closing.ok());
    ASSERT_TRUE(resident.Command(kCloseWindows));
    EXPECT_TRUE(Gone(closing.Find("ci")));
    EXPECT_TRUE(Gone(closing.Find("cm")));
    expectMainUntouched();
    EXPECT_TRUE(HoldsFor([&] { return resident.Running(); }, 500));

    // The exit command ends the program with 0.
    ASSERT_TRUE(PostMessageA(main, WM_COMMAND, MAKEWPARAM(kQuit, 0), 0));
    DWORD exitCode = 99;
    ASSERT_TRUE(resident.WaitForExit(10000, &exitCode));
    EXPECT_EQ(0u, exitCode);
    EXPECT_FALSE(MutexExists());
}

// ---------------------------------------------------------------------------
// Windows that no action touches

// testwin.exe under a Japanese name, for the windows of a second program.
struct OtherProgram {
    ProgramCopy folder;
    std::string exe = folder.dir + "\\テスト窓.exe";
    bool ok = CopyFileA((BinaryDir() + "\\testwin.exe").c_str(), exe.c_str(), FALSE) != FALSE;
};

TEST(Exclusions, ListedProgramsAreLeftAloneByEveryTrigger)
{
    ProgramCopy copy;
    OtherProgram other;
    ASSERT_TRUE(other.ok);
    TestWindows mine({"normal:kept"}), theirs({"normal:taken"}, other.exe);
    ASSERT_TRUE(mine.ok() && theirs.ok());
    HWND kept = mine.Find("kept"), taken = theirs.Find("taken");
    ForeignWindowShield shield;
    shield.Raise();

    // 64 names are read, the 65th is not.
    Settings full;
    full.Section("除外するプログラム");
    for (int i = 1; i <= 63; ++i)
        full.Key(std::to_string(i), "p" + std::to_string(i) + ".exe");
    full.Key("64", "testwin.exe").Key("65", "テスト窓.exe");
    copy.WriteSettings(full.text());
    EXPECT_EQ(RunToEnd(copy.exe, "/min"), 0);
    EXPECT_EQ(WaitForState(taken, kMinimized), kMinimized);
    EXPECT_EQ(StateOf(kept), kNormal);
    ShowWindow(taken, SW_RESTORE);

    // Names compare without case; reading stops at the first gap.
    Settings settings;
    settings.Section(kMainSection).Key("最大化されたウィンドウを最小化する", 1).Key("最小化されたウィンドウを閉じる", 1);
    settings.Section("除外するプログラム").Key("1", "TESTWIN.EXE").Key("3", "テスト窓.exe");
    settings.Section("自動実行/最大化").Key("有効", 1).Key("間隔", 1000);
    copy.WriteSettings(settings.text());
    Resident resident(copy);
    ASSERT_TRUE(resident.started());
    shield.Raise();
    // The periodic maximize, a hotkey's minimize, the second start's close.
    EXPECT_EQ(WaitForState(taken, kMaximized, 5000), kMaximized);
    ASSERT_TRUE(resident.Hotkey(5));
    EXPECT_EQ(WaitForState(taken, kMinimized), kMinimized);
    EXPECT_EQ(RunToEnd(copy.exe, ""), 0);
    EXPECT_TRUE(Gone(taken));
    EXPECT_EQ(StateOf(kept), kNormal);
    EXPECT_TRUE(resident.Running());
}

// The tests' stand-in dwmapi.dll in the system folder (of this process's
// bitness, which is the program's) for as long as the object lives.
struct CloakingLibrary {
    std::string system = [] {
        char folder[MAX_PATH] = "";
        GetSystemDirectoryA(folder, MAX_PATH);
        return std::string(folder) + "\\dwmapi.dll";
    }();
    std::string saved = system + ".tw-saved";
    bool ok = MoveFileA(system.c_str(), saved.c_str()) &&
              CopyFileA((BinaryDir() + "\\standin_dwmapi\\dwmapi.dll").c_str(), system.c_str(), FALSE);
    ~CloakingLibrary()
    {
        DeleteFileA(system.c_str());
        MoveFileA(saved.c_str(), system.c_str());
    }
};

TEST(ShellWindows, AreNeverTouchedAndCloakedWindowsCountAsHidden)
{
    CloakingLibrary library;
    ASSERT_TRUE(library.ok);
    ProgramCopy copy;
    const std::vector<std::string> shell = {"Progman", "WorkerW", "Shell_TrayWnd", "Shell_SecondaryTrayWnd", "desk"};
    TestWindows windows({"shellclass:Progman", "shellclass:WorkerW", "shellclass:Shell_TrayWnd",
                         "shellclass:Shell_SecondaryTrayWnd", "shellwindow:desk", "normal:cloaked+cloak",
                         "normal:plain"});
    ASSERT_TRUE(windows.ok());
    ASSERT_EQ(GetShellWindow(), windows.Find("desk"));
    HWND cloaked = windows.Find("cloaked"), plain = windows.Find("plain");
    ForeignWindowShield shield;
    shield.Raise();
    const auto shellUntouched = [&] {
        for (const std::string& name : shell)
            EXPECT_TRUE(StateOf(windows.Find(name)) == kNormal && IsWindowVisible(windows.Find(name))) << name;
    };

    // Cloaked windows are taken only by a filter whose invisible kind is on.
    EXPECT_EQ(RunToEnd(copy.exe, "/min"), 0);
    EXPECT_EQ(WaitForState(plain, kMinimized), kMinimized);
    EXPECT_EQ(StateOf(cloaked), kNormal);
    shellUntouched();
    copy.WriteSettings(AllFiltersOn().text());
    const std::pair<const char*, WindowState> runs[] = {
        {"/min", kMinimized}, {"/max", kMaximized}, {"/restore", kNormal}, {"/close", kGone}};
    for (const auto& run : runs) {
        EXPECT_EQ(RunToEnd(copy.exe, run.first), 0);
        EXPECT_EQ(WaitForState(cloaked, run.second, 5000), run.second) << run.first;
        EXPECT_EQ(WaitForState(plain, run.second, 5000), run.second) << run.first;
        shellUntouched();
    }
}

// The nine menu toggles, in the order in which the target keys are saved.
struct Toggle {
    UINT command;
    const char* key;
    int defaultValue;
};

const Toggle kToggles[] = {
    {IDM_CLOSE_NORMAL, "通常サイズのウィンドウを閉じる", 1},
    {IDM_CLOSE_MAXIMIZED, "最大化されたウィンドウを閉じる", 1},
    {IDM_CLOSE_MINIMIZED, "最小化されたウィンドウを閉じる", 0},
    {IDM_RESTORE_MAXIMIZED, "最大化されたウィンドウを元に戻す", 1},
    {IDM_RESTORE_MINIMIZED, "最小化されたウィンドウを元に戻す", 0},
    {IDM_MAXIMIZE_NORMAL, "通常サイズのウィンドウを最大化する", 1},
    {IDM_MAXIMIZE_MINIMIZED, "最小化されたウィンドウを最大化する", 0},
    {IDM_MINIMIZE_NORMAL, "通常サイズのウィンドウを最小化する", 1},
    {IDM_MINIMIZE_MAXIMIZED, "最大化されたウィンドウを最小化する", 0},
};

TEST(Commands, EachToggleFlipsOneFlagAndWritesTheNineTargetKeys)
{
    // Two keys of the section that the target settings never write.
    ProgramCopy copy;
    copy.WriteSettings(Settings()
                           .Section(kMainSection)
                           .Key("不可視ウィンドウを閉じる", 0)
                           .Key("通常サイズのウィンドウを元に戻す", 0)
                           .text());
    ForeignWindowShield shield;
    shield.Raise();
    Resident resident(copy);
    ASSERT_TRUE(resident.started());

    int expected[9];
    for (int n = 0; n < 9; ++n)
        expected[n] = kToggles[n].defaultValue;
    for (int round = 0; round < 2; ++round) {
        for (int t = 0; t < 9; ++t) {
            SCOPED_TRACE("round " + std::to_string(round) + ", command " +
                         std::to_string(kToggles[t].command));
            ASSERT_TRUE(resident.Command(kToggles[t].command));
            expected[t] = 1 - expected[t];
            auto entries = SectionEntries(copy.ReadSettings(), kMainSection);
            ASSERT_EQ(11u, entries.size());
            EXPECT_EQ("不可視ウィンドウを閉じる", entries[0].first);
            EXPECT_EQ("0", entries[0].second);
            EXPECT_EQ("通常サイズのウィンドウを元に戻す", entries[1].first);
            EXPECT_EQ("0", entries[1].second);
            for (int n = 0; n < 9; ++n) {
                auto entry = std::find_if(entries.begin(), entries.end(),
                                          [&](const std::pair<std::string, std::string>& e) {
                                              return e.first == kToggles[n].key;
                                          });
                ASSERT_NE(entries.end(), entry) << "target key " << n << " not written";
                EXPECT_EQ(std::to_string(expected[n]), entry->second) << "target key " << n;
            }
        }
    }

    // The flags in use follow the toggles: flip minimize from normal to
    // maximized windows and close from normal and maximized to minimized ones.
    for (UINT command : {40081u, 40080u, 40082u, 40083u, 40076u})
        ASSERT_TRUE(resident.Command(command));
    shield.Raise();
    TestWindows windows({"normal:a", "maximized:b"});
    ASSERT_TRUE(windows.ok());
    HWND a = windows.Find("a"), b = windows.Find("b");
    ASSERT_TRUE(resident.Command(kMinimizeWindows));
    EXPECT_EQ(kMinimized, WaitForState(b, kMinimized));
    EXPECT_EQ(kNormal, StateOf(a));
    ASSERT_TRUE(resident.Command(kCloseWindows));
    EXPECT_TRUE(Gone(b));
    EXPECT_EQ(kNormal, StateOf(a));
}

TEST(Commands, CommandsWithoutAnActionLeaveEverythingAsItWas)
{
    ProgramCopy copy;
    const std::string settings = Settings().Section(kMainSection).Key("最小化されたウィンドウを閉じる", 1).text();
    copy.WriteSettings(settings);
    ForeignWindowShield shield;
    shield.Raise();
    Resident resident(copy);
    ASSERT_TRUE(resident.started());
    shield.Raise();

    // Each of the four actions would change at least one of these windows; k
    // shows a close request at once.
    TestWindows windows({"normal:a", "maximized:m", "minimized:i", "countclose:k"});
    ASSERT_TRUE(windows.ok());
    HWND a = windows.Find("a"), m = windows.Find("m"), i = windows.Find("i"), k = windows.Find("k");
    const std::vector<HWND> ownWindows = TopLevelWindowsOf(resident.id());

    auto expectNothingChanged = [&] {
        EXPECT_TRUE(resident.Running());
        EXPECT_TRUE(resident.Responsive());
        EXPECT_EQ(kNormal, StateOf(a));
        EXPECT_TRUE(IsWindowVisible(a));
        EXPECT_EQ(kMaximized, StateOf(m));
        EXPECT_EQ(kMinimized, StateOf(i));
        EXPECT_EQ("k", TitleOf(k));
        EXPECT_EQ(settings, copy.ReadSettings());
    };

    // Menu entries that are in no table.
    for (UINT command : {40087u, 40088u, 40089u, 40096u, 40097u, 40098u, 40099u}) {
        SCOPED_TRACE("command " + std::to_string(command));
        ASSERT_TRUE(resident.Command(command));
        expectNothingChanged();
        EXPECT_EQ(ownWindows, TopLevelWindowsOf(resident.id()));
    }
}

}  // namespace
