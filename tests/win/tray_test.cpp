// The tray icons, the taskbar watchdog and the tray menus of the resident
// program, driven from outside the way the shell would: a stand-in taskbar in
// this process receives the icons, the tray callback message is sent to the
// hidden main window, and the popup menus are read from the screen and worked
// with key presses.
#include <gtest/gtest.h>

#include "dialog_driver.h"
#include "harness.h"
#include "standin_taskbar.h"
#include "resources/resource_ids.h"

#include <shellapi.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

const UINT kTrayCallback = WM_APP + 1;

// Settings keys (the file is Shift-JIS, as these literals are).
const char kMainSection[] = "Tidewell";
const char kUseCloseIcon[] = "「ウィンドウを閉じる」を使用する";
const char kUseRestoreIcon[] = "「ウィンドウを元に戻す」を使用する";
const char kUseMaximizeIcon[] = "「ウィンドウを最大化」を使用する";
const char kUseMinimizeIcon[] = "「ウィンドウを最小化」を使用する";
const char kHotkeySection[] = "ホットキーの設定";
const char kCloseHotkey[] = "ウィンドウを閉じる";

// Ctrl+Alt+A as the settings file stores it, and as RegisterHotKey takes it.
const int kCtrlAltA = 833;
const UINT kCtrlAltModifiers = MOD_CONTROL | MOD_ALT;
const UINT kKeyA = 'A';

// The nine filter flags that the menus show and flip, in the order the program
// saves them, with their values when no settings file exists.
struct TargetKey {
    const char* key;
    char defaultValue;
};
const TargetKey kTargetKeys[9] = {
    {"通常サイズのウィンドウを閉じる", '1'},
    {"最大化されたウィンドウを閉じる", '1'},
    {"最小化されたウィンドウを閉じる", '0'},
    {"最大化されたウィンドウを元に戻す", '1'},
    {"最小化されたウィンドウを元に戻す", '0'},
    {"通常サイズのウィンドウを最大化する", '1'},
    {"最小化されたウィンドウを最大化する", '0'},
    {"通常サイズのウィンドウを最小化する", '1'},
    {"最大化されたウィンドウを最小化する", '0'},
};
using TargetFlags = std::string;  // nine characters '0' or '1', in kTargetKeys order

TargetFlags DefaultTargets()
{
    TargetFlags flags;
    for (const TargetKey& key : kTargetKeys)
        flags += key.defaultValue;
    return flags;
}

// The head items of one icon's popup: their texts and which target flag each shows.
struct HeadItem {
    const char* text;
    UINT id;
    int target;  // index in kTargetKeys
};
struct IconMenu {
    UINT iconId;
    std::vector<HeadItem> head;
    UINT pointerMonitorItem;  // follows the head items
    const char* pointerMonitorKey;
};
const IconMenu kCloseMenu = {1,
                             {{"通常ｻｲｽﾞのｳｨﾝﾄﾞｳを閉じる", IDM_CLOSE_NORMAL, 0},
                              {"最大化ｳｨﾝﾄﾞｳを閉じる", IDM_CLOSE_MAXIMIZED, 1},
                              {"最小化ｳｨﾝﾄﾞｳを閉じる", IDM_CLOSE_MINIMIZED, 2}},
                             IDM_CLOSE_ON_POINTER_MONITOR, "閉じる"};
const IconMenu kRestoreMenu = {2,
                               {{"最大化ｳｨﾝﾄﾞｳを元に戻す", IDM_RESTORE_MAXIMIZED, 3},
                                {"最小化ｳｨﾝﾄﾞｳを元に戻す", IDM_RESTORE_MINIMIZED, 4}},
                               IDM_RESTORE_ON_POINTER_MONITOR, "元に戻す"};
const IconMenu kMaximizeMenu = {3,
                                {{"通常ｻｲｽﾞのｳｨﾝﾄﾞｳを最大化する", IDM_MAXIMIZE_NORMAL, 5},
                                 {"最小化ｳｨﾝﾄﾞｳを最大化する", IDM_MAXIMIZE_MINIMIZED, 6}},
                                IDM_MAXIMIZE_ON_POINTER_MONITOR, "最大化する"};
const IconMenu kMinimizeMenu = {4,
                                {{"通常ｻｲｽﾞのｳｨﾝﾄﾞｳを最小化する", IDM_MINIMIZE_NORMAL, 7},
                                 {"最大化ｳｨﾝﾄﾞｳを最小化する", IDM_MINIMIZE_MAXIMIZED, 8}},
                                IDM_MINIMIZE_ON_POINTER_MONITOR, "最小化する"};

// ---- settings file ----------------------------------------------------------

std::string Line(const char* key, const std::string& value)
{
    return std::string(key) + "=" + value + "\r\n";
}

std::string TrayIconSettings(bool close, bool restore, bool maximize, bool minimize)
{
    return std::string("[") + kMainSection + "]\r\n" + Line(kUseCloseIcon, close ? "1" : "0") +
           Line(kUseRestoreIcon, restore ? "1" : "0") +
           Line(kUseMaximizeIcon, maximize ? "1" : "0") +
           Line(kUseMinimizeIcon, minimize ? "1" : "0");
}

std::string TargetLines(const TargetFlags& flags)
{
    std::string lines;
    for (int i = 0; i < 9; ++i)
        lines += Line(kTargetKeys[i].key, std::string(1, flags[i]));
    return lines;
}

std::string CloseHotkeySettings()
{
    return std::string("[") + kHotkeySection + "]\r\n" +
           Line(kCloseHotkey, std::to_string(kCtrlAltA));
}

using Section = std::map<std::string, std::string>;

// The settings file as sections of key=value lines.
std::map<std::string, Section> ParseSettings(const std::string& text)
{
    std::map<std::string, Section> sections;
    for (const SettingsLine& line : ReadSettingsLines(text)) {
        if (line.isHeader)
            sections[line.section];
        else if (line.isKey)
            sections[line.section][line.key] = line.value;
    }
    return sections;
}

// The nine target flags as the file holds them ('-' for a missing key).
TargetFlags StoredTargets(const ProgramCopy& copy)
{
    Section main = ParseSettings(copy.ReadSettings())[kMainSection];
    TargetFlags flags;
    for (const TargetKey& key : kTargetKeys) {
        auto found = main.find(key.key);
        flags += found == main.end() || found->second.size() != 1 ? '-' : found->second[0];
    }
    return flags;
}

// ---- the resident program ---------------------------------------------------

// True when this process can take Ctrl+Alt+A, that is, nobody holds it.
bool CtrlAltAIsFree()
{
    const int id = 0x7A11;
    if (!RegisterHotKey(nullptr, id, kCtrlAltModifiers, kKeyA))
        return false;
    UnregisterHotKey(nullptr, id);
    return true;
}

HWND WaitForOpenMenu(DWORD processId, DWORD timeoutMs = 5000)
{
    HWND menu = nullptr;
    WaitUntil([&] { return (menu = FindOpenMenu(processId)) != nullptr; }, timeoutMs);
    return menu;
}

bool WaitForMenuClosed(HWND menu, DWORD timeoutMs = 5000)
{
    return WaitUntil([&] { return !IsWindow(menu) || !IsWindowVisible(menu); }, timeoutMs);
}

// A key press as the menu's loop reads it.
void PressKey(HWND menu, UINT virtualKey)
{
    PostMessageA(menu, WM_KEYDOWN, virtualKey, 1);
}

// ---- reading the stand-in's record ------------------------------------------

struct Request {
    DWORD code;
    UINT id;
    bool operator==(const Request& other) const { return code == other.code && id == other.id; }
};

Request Add(UINT id) { return {NIM_ADD, id}; }
Request Delete(UINT id) { return {NIM_DELETE, id}; }

void PrintTo(const Request& request, std::ostream* out)
{
    const char* name = request.code == NIM_ADD      ? "add"
                       : request.code == NIM_DELETE ? "delete"
                       : request.code == NIM_MODIFY ? "modify"
                                                    : "?";
    *out << name << "(" << request.id << ")";
}

std::vector<Request> Requests(const StandinTaskbar& taskbar, size_t from = 0)
{
    std::vector<Request> requests;
    std::vector<TrayCall> calls = taskbar.Calls();
    for (size_t i = from; i < calls.size(); ++i)
        requests.push_back({calls[i].code, calls[i].id});
    return requests;
}

// Every request so far came from this window.
::testing::AssertionResult AllFrom(const StandinTaskbar& taskbar, HWND window)
{
    for (const TrayCall& call : taskbar.Calls()) {
        if (call.window != static_cast<DWORD>(reinterpret_cast<UINT_PTR>(window)))
            return ::testing::AssertionFailure()
                   << "request for icon " << call.id << " names window " << std::hex
                   << call.window << ", not the main window";
    }
    return ::testing::AssertionSuccess();
}

// Waits until count requests have arrived, then a little longer, so that a
// start that is not finished yet (or one that sends too much) shows.
std::vector<Request> SettledRequests(const StandinTaskbar& taskbar, size_t count)
{
    taskbar.WaitForCalls(count, 5000);
    Sleep(1500);  // more than one watchdog period
    return Requests(taskbar);
}

// ---- reading a popup menu from the screen -------------------------------------

struct Capture {
    RECT rect = {};
    std::vector<DWORD> pixels;
    int width() const { return rect.right - rect.left; }
    int height() const { return rect.bottom - rect.top; }
};

// What the screen shows at the window's place.
Capture CaptureWindow(HWND window)
{
    Capture capture;
    if (!GetWindowRect(window, &capture.rect) || capture.width() <= 0 || capture.height() <= 0)
        return capture;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = capture.width();
    info.bmiHeader.biHeight = -capture.height();  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap != nullptr) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        if (BitBlt(memory, 0, 0, capture.width(), capture.height(), screen, capture.rect.left,
                   capture.rect.top, SRCCOPY)) {
            GdiFlush();
            const DWORD* first = static_cast<const DWORD*>(bits);
            capture.pixels.assign(first, first + capture.width() * capture.height());
        }
        SelectObject(memory, old);
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return capture;
}

// The menu's picture once drawing has finished (two captures in a row agree).
Capture CaptureSettled(HWND window)
{
    Sleep(150);
    Capture last = CaptureWindow(window);
    for (int i = 0; i < 20; ++i) {
        Sleep(100);
        Capture next = CaptureWindow(window);
        if (next.pixels == last.pixels && !next.pixels.empty())
            return next;
        last = next;
    }
    return last;
}

void SaveBitmap(const Capture& capture, const std::string& path)
{
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = capture.width();
    header.biHeight = -capture.height();
    header.biPlanes = 1;
    header.biBitCount = 32;
    DWORD size = static_cast<DWORD>(capture.pixels.size() * 4);
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + size;
    HANDLE out = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(out, &file, sizeof file, &written, nullptr);
    WriteFile(out, &header, sizeof header, &written, nullptr);
    WriteFile(out, capture.pixels.data(), size, &written, nullptr);
    CloseHandle(out);
}

::testing::AssertionResult LooksAlike(const Capture& shown, const Capture& expected,
                                      const std::string& what)
{
    if (shown.pixels.empty() || expected.pixels.empty())
        return ::testing::AssertionFailure() << what << ": no picture of the menu";
    if (shown.width() != expected.width() || shown.height() != expected.height())
        return ::testing::AssertionFailure()
               << what << ": the menu is " << shown.width() << "x" << shown.height()
               << ", expected " << expected.width() << "x" << expected.height();
    size_t differing = 0;
    for (size_t i = 0; i < shown.pixels.size(); ++i)
        differing += (shown.pixels[i] & 0xFFFFFF) != (expected.pixels[i] & 0xFFFFFF);
    if (differing == 0)
        return ::testing::AssertionSuccess();
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    static int counter = 0;
    std::string base = std::string(temp) + "tray-menu-" + std::to_string(++counter);
    SaveBitmap(shown, base + "-shown.bmp");
    SaveBitmap(expected, base + "-expected.bmp");
    return ::testing::AssertionFailure() << what << ": " << differing
                                         << " pixels differ from the expected menu; see "
                                         << base << "-shown.bmp and -expected.bmp";
}

// The popup a tray menu should be: the icon's head items with the check marks
// of the given flags, then the shared tail with the undo item grayed unless a
// show action can be undone, and the pointer-monitor and start items checked
// when they are set.
HMENU BuildExpectedMenu(const IconMenu& menu, const TargetFlags& flags, bool undoable, bool onPointerMonitor,
                        bool startsAtSignIn)
{
    HMENU popup = CreatePopupMenu();
    for (const HeadItem& item : menu.head)
        AppendMenuA(popup, MF_STRING | (flags[item.target] == '1' ? MF_CHECKED : MF_UNCHECKED),
                    item.id, item.text);
    AppendMenuA(popup, MF_STRING | (onPointerMonitor ? MF_CHECKED : MF_UNCHECKED), menu.pointerMonitorItem,
                "ﾏｳｽのあるﾓﾆﾀｰだけ(&O)");
    AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(popup, MF_STRING | (undoable ? MF_ENABLED : MF_GRAYED), IDM_UNDO, "直前の操作を取り消す(&U)");
    HMENU settings = CreatePopupMenu();
    AppendMenuA(settings, MF_STRING, IDM_TRAY_SETTINGS, "常駐の設定(&I)...");
    AppendMenuA(settings, MF_STRING, IDM_TARGET_SETTINGS, "ﾀｰｹﾞｯﾄの設定(&T)...");
    AppendMenuA(settings, MF_STRING, IDM_HOTKEY_SETTINGS, "ﾎｯﾄｷｰの設定(&H)...");
    AppendMenuA(settings, MF_STRING, IDM_AUTORUN_SETTINGS, "自動実行の設定(&A)...");
    AppendMenuA(settings, MF_STRING, IDM_EXCLUSION_SETTINGS, "除外の設定(&X)...");
    AppendMenuA(settings, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(settings, MF_STRING | (startsAtSignIn ? MF_CHECKED : MF_UNCHECKED), IDM_START_AT_SIGN_IN,
                "Windows 起動時に常駐する(&W)");
    AppendMenuA(popup, MF_POPUP, reinterpret_cast<UINT_PTR>(settings), "設定(&S)");
    AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(popup, MF_STRING, IDM_ABOUT, "About(&A)");
    AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(popup, MF_STRING, IDM_QUIT, "終了(&Q)");
    return popup;
}

struct ReferenceMenu {
    HMENU menu;
    POINT at;
};

DWORD WINAPI TrackReferenceMenu(void* param)
{
    ReferenceMenu* reference = static_cast<ReferenceMenu*>(param);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "TwMenuOwner";
    RegisterClassA(&windowClass);
    HWND owner = CreateWindowExA(0, "TwMenuOwner", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    SetForegroundWindow(owner);
    TrackPopupMenuEx(reference->menu, TPM_RIGHTBUTTON | TPM_BOTTOMALIGN, reference->at.x,
                     reference->at.y, owner, nullptr);
    DestroyWindow(owner);
    return 0;
}

// Opens the "設定(&S)" submenu of an open popup by its access key. The
// submenu opens above the popup, so it comes first in the window list.
HWND OpenSettingsSubmenu(HWND popup, DWORD processId)
{
    PressKey(popup, 'S');
    HWND submenu = nullptr;
    WaitUntil([&] { return (submenu = FindOpenMenu(processId)) != popup && submenu != nullptr; }, 5000);
    return submenu != popup ? submenu : nullptr;
}

// The picture of the popup's settings submenu; both are closed afterwards, one
// at a time: an Escape for the popup that comes while the submenu is still
// closing is lost.
Capture SettingsSubmenuPicture(HWND popup, DWORD processId)
{
    Capture capture;
    if (HWND submenu = OpenSettingsSubmenu(popup, processId)) {
        capture = CaptureSettled(submenu);
        PressKey(submenu, VK_ESCAPE);
        WaitForMenuClosed(submenu);
    }
    PressKey(popup, VK_ESCAPE);
    return capture;
}

// The picture of the expected menu, or of its settings submenu, shown by this
// process the way the program shows its own (same place, same tracking flags,
// same keys) and closed again.
Capture ExpectedMenuPicture(const IconMenu& menu, const TargetFlags& flags, bool undoable,
                            bool onPointerMonitor, bool startsAtSignIn, POINT at, bool settingsOpen)
{
    ReferenceMenu reference = {BuildExpectedMenu(menu, flags, undoable, onPointerMonitor, startsAtSignIn), at};
    HANDLE thread = CreateThread(nullptr, 0, TrackReferenceMenu, &reference, 0, nullptr);
    Capture capture;
    HWND shown = WaitForOpenMenu(GetCurrentProcessId());
    if (shown != nullptr && settingsOpen) {
        capture = SettingsSubmenuPicture(shown, GetCurrentProcessId());
    } else if (shown != nullptr) {
        capture = CaptureSettled(shown);
        PressKey(shown, VK_ESCAPE);
    }
    WaitForSingleObject(thread, 5000);
    CloseHandle(thread);
    DestroyMenu(reference.menu);
    return capture;
}

const POINT kMenuPoint = {400, 500};

// Right-clicks the icon and waits for the program's popup; null when none opens.
HWND OpenIconMenu(const Resident& resident, UINT iconId)
{
    SetCursorPos(kMenuPoint.x, kMenuPoint.y);
    SendMessageA(resident.window(), kTrayCallback, iconId, WM_RBUTTONUP);
    return WaitForOpenMenu(resident.processId());
}

// The program's open popup looks exactly like the expected menu, at the cursor.
::testing::AssertionResult ShowsMenu(HWND shown, const IconMenu& menu, const TargetFlags& flags,
                                     bool undoable = false, bool onPointerMonitor = false)
{
    if (shown == nullptr)
        return ::testing::AssertionFailure() << "no menu opened for icon " << menu.iconId;
    Capture picture = CaptureSettled(shown);
    // TPM_BOTTOMALIGN with left alignment: the bottom-left corner at the cursor.
    if (picture.rect.left != kMenuPoint.x || picture.rect.bottom != kMenuPoint.y)
        return ::testing::AssertionFailure()
               << "menu of icon " << menu.iconId << " has its bottom-left corner at ("
               << picture.rect.left << "," << picture.rect.bottom << "), the cursor is at ("
               << kMenuPoint.x << "," << kMenuPoint.y << ")";
    // Closed before the expected one opens: one menu at a time.
    PressKey(shown, VK_ESCAPE);
    if (!WaitForMenuClosed(shown))
        return ::testing::AssertionFailure() << "Escape did not close the menu";
    return LooksAlike(picture, ExpectedMenuPicture(menu, flags, undoable, onPointerMonitor, false, kMenuPoint, false),
                      "menu of icon " + std::to_string(menu.iconId) + " with flags " + flags);
}

// The close icon's settings submenu looks exactly like the expected one, its
// start item checked or not.
::testing::AssertionResult ShowsSettingsSubmenu(const Resident& resident, bool startsAtSignIn)
{
    HWND shown = OpenIconMenu(resident, 1);
    Capture picture = shown != nullptr ? SettingsSubmenuPicture(shown, resident.processId()) : Capture();
    if (shown == nullptr || !WaitForMenuClosed(shown))
        return ::testing::AssertionFailure() << "the close icon's menu did not open and close";
    Capture expected =
        ExpectedMenuPicture(kCloseMenu, DefaultTargets(), false, false, startsAtSignIn, kMenuPoint, true);
    return LooksAlike(picture, expected,
                      std::string("settings submenu, start item ") +
                          (startsAtSignIn ? "checked" : "unchecked"));
}

// ---- start, icons and end ----------------------------------------------------

class TrayIconTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(FindMainWindow(), nullptr) << "another Tidewell is still running";
        ASSERT_TRUE(CtrlAltAIsFree()) << "Ctrl+Alt+A is taken before the test";
    }
    ProgramCopy copy;
};

TEST_F(TrayIconTest, AllFourIconsAreAddedMinimizeFirstAndDeletedOnWmClose)
{
    copy.WriteSettings(TrayIconSettings(true, true, true, true) + CloseHotkeySettings());
    StandinTaskbar taskbar;
    ASSERT_TRUE(taskbar.ok());
    Resident resident(copy);
    ASSERT_NE(resident.window(), nullptr);

    std::vector<Request> expected = {Add(4), Add(3), Add(2), Add(1)};
    EXPECT_EQ(SettledRequests(taskbar, 4), expected);
    EXPECT_TRUE(AllFrom(taskbar, resident.window()));
    EXPECT_FALSE(CtrlAltAIsFree()) << "the hotkey is not registered";

    PostMessageA(resident.window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(resident.WaitForExit(10000), 0);
    expected.insert(expected.end(), {Delete(4), Delete(3), Delete(2), Delete(1)});
    EXPECT_EQ(Requests(taskbar), expected);
    EXPECT_TRUE(AllFrom(taskbar, resident.window()));
    EXPECT_EQ(FindMainWindow(), nullptr);
    EXPECT_TRUE(CtrlAltAIsFree()) << "the hotkey stays registered after the end";
}

TEST_F(TrayIconTest, CloseIconAloneIsAddedAndDeletedOnQuitCommand)
{
    // No tray-icon keys: the close icon is the default.
    copy.WriteSettings(CloseHotkeySettings());
    StandinTaskbar taskbar;
    ASSERT_TRUE(taskbar.ok());
    Resident resident(copy);
    ASSERT_NE(resident.window(), nullptr);

    EXPECT_EQ(SettledRequests(taskbar, 1), std::vector<Request>({Add(1)}));
    EXPECT_TRUE(AllFrom(taskbar, resident.window()));
    EXPECT_FALSE(CtrlAltAIsFree()) << "the hotkey is not registered";

    SendMessageA(resident.window(), WM_COMMAND, IDM_QUIT, 0);
    EXPECT_EQ(resident.WaitForExit(10000), 0);
    EXPECT_EQ(Requests(taskbar), std::vector<Request>({Add(1), Delete(1)}));
    EXPECT_EQ(FindMainWindow(), nullptr);
    EXPECT_TRUE(CtrlAltAIsFree()) << "the hotkey stays registered after the end";
}

TEST_F(TrayIconTest, StartEndsWhenTheTaskbarRefusesEveryAdd)
{
    copy.WriteSettings(TrayIconSettings(true, true, true, true) + CloseHotkeySettings());
    StandinTaskbar taskbar(true, FALSE);
    ASSERT_TRUE(taskbar.ok());
    Resident resident(copy, WithoutWaiting());
    ASSERT_TRUE(resident.Running());

    // The hotkeys are registered before the first icon is tried.
    ASSERT_TRUE(taskbar.WaitForCalls(1, 10000)) << "no icon was tried";
    EXPECT_FALSE(CtrlAltAIsFree()) << "the hotkey is not registered while the icons are tried";

    // 21 attempts 500 ms apart take about 10 s.
    EXPECT_TRUE(taskbar.WaitForCalls(21, 25000));
    EXPECT_EQ(resident.WaitForExit(10000), 0);

    std::vector<TrayCall> calls = taskbar.Calls();
    ASSERT_GE(calls.size(), 21u);
    // Only the first icon of the row order is tried, 21 times. A window whose
    // creation fails gets no WM_DESTROY, so the creation undoes its own work:
    // the teardown (hotkeys first) deletes the record of that icon, which was
    // built. No other icon is ever touched.
    std::vector<Request> requests = Requests(taskbar);
    EXPECT_EQ(std::vector<Request>(requests.begin(), requests.begin() + 21),
              std::vector<Request>(21, Add(4)));
    std::vector<Request> rest(requests.begin() + 21, requests.end());
    EXPECT_EQ(rest, std::vector<Request>({Delete(4)})) << ::testing::PrintToString(rest);
    for (size_t i = 1; i < 21; ++i) {
        DWORD pause = calls[i].tick - calls[i - 1].tick;
        EXPECT_GE(pause, 400u) << "attempt " << i + 1;
        EXPECT_LE(pause, 2500u) << "attempt " << i + 1;
    }
    EXPECT_GE(calls[20].tick - calls[0].tick, 9500u);
    EXPECT_EQ(FindMainWindow(), nullptr);
    EXPECT_TRUE(CtrlAltAIsFree()) << "the failed start leaves the hotkey registered";
}

// ---- the watchdog ------------------------------------------------------------

TEST_F(TrayIconTest, TaskbarRestartPutsTheChosenIconsBackOnce)
{
    copy.WriteSettings(TrayIconSettings(true, false, true, false));
    auto taskbar = std::make_unique<StandinTaskbar>();
    ASSERT_TRUE(taskbar->ok());
    Resident resident(copy);
    ASSERT_NE(resident.window(), nullptr);
    ASSERT_EQ(SettledRequests(*taskbar, 2), std::vector<Request>({Add(3), Add(1)}));

    const std::vector<Request> readd = {Delete(3), Add(3), Delete(1), Add(1)};
    for (BOOL answer : {TRUE, TRUE, FALSE}) {
        SCOPED_TRACE(answer ? "new taskbar accepts icons" : "new taskbar refuses icons");
        taskbar.reset();
        taskbar = std::make_unique<StandinTaskbar>(true, answer);
        ASSERT_TRUE(taskbar->ok());
        // The watchdog looks once a second.
        EXPECT_TRUE(taskbar->WaitForCalls(4, 3000));
        Sleep(2500);
        // Once only, even when the adds failed: the notification window is the same.
        EXPECT_EQ(Requests(*taskbar), readd);
        EXPECT_TRUE(AllFrom(*taskbar, resident.window()));
        EXPECT_TRUE(resident.Responds());
    }
}

TEST_F(TrayIconTest, NotificationWindowThatAppearsLaterGetsTheIconsOnce)
{
    copy.WriteSettings(TrayIconSettings(true, true, false, false));
    // A taskbar without its notification window.
    StandinTaskbar taskbar(false);
    ASSERT_TRUE(taskbar.ok());
    Resident resident(copy);
    ASSERT_NE(resident.window(), nullptr);

    // The icons added at start stay; the watchdog finds no notification window
    // and does nothing.
    EXPECT_EQ(SettledRequests(taskbar, 2), std::vector<Request>({Add(2), Add(1)}));
    Sleep(2000);
    EXPECT_EQ(taskbar.CallCount(), 2u);
    EXPECT_TRUE(resident.Responds());

    ASSERT_TRUE(taskbar.AddNotifyWindow());
    EXPECT_TRUE(taskbar.WaitForCalls(6, 3000));
    Sleep(2500);
    EXPECT_EQ(Requests(taskbar, 2),
              std::vector<Request>({Delete(2), Add(2), Delete(1), Add(1)}));
    EXPECT_TRUE(resident.Responds());
}

// Whether the shell knows the icon (hWnd, uID): a change of nothing succeeds
// only for an icon that exists.
bool ShellHasIcon(HWND window, UINT id)
{
    NOTIFYICONDATAA data = {};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = window;
    data.uID = id;
    data.uFlags = 0;
    return Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

TEST_F(TrayIconTest, WithoutNotificationWindowTheIconsStayAndTheProgramRuns)
{
    // Only Wine's own taskbar, which has no notification window.
    HWND wineTaskbar = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (wineTaskbar = FindWindowA("Shell_TrayWnd", "")) != nullptr; },
                          10000));
    DWORD owner = 0;
    GetWindowThreadProcessId(wineTaskbar, &owner);
    ASSERT_NE(owner, GetCurrentProcessId()) << "a stand-in taskbar is left over";
    ASSERT_EQ(FindWindowExA(wineTaskbar, nullptr, "TrayNotifyWnd", ""), nullptr);

    copy.WriteSettings(TrayIconSettings(true, false, false, true));
    Resident resident(copy);
    ASSERT_NE(resident.window(), nullptr);
    HWND window = resident.window();
    ASSERT_TRUE(WaitUntil([&] { return ShellHasIcon(window, 1); }, 5000));

    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE("after " + std::to_string(round) + " s");
        EXPECT_TRUE(ShellHasIcon(window, 4));
        EXPECT_TRUE(ShellHasIcon(window, 1));
        EXPECT_FALSE(ShellHasIcon(window, 2));
        EXPECT_FALSE(ShellHasIcon(window, 3));
        EXPECT_TRUE(resident.Responds());
        Sleep(1000);
    }

    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(resident.WaitForExit(10000), 0);
    EXPECT_FALSE(ShellHasIcon(window, 4));
    EXPECT_FALSE(ShellHasIcon(window, 1));
}

// ---- the tray callback --------------------------------------------------------

// One resident program for the callback cases: they change no settings.
class TrayCallbackTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        copy_ = new ProgramCopy();
        copy_->WriteSettings(TrayIconSettings(true, true, true, true));
        taskbar_ = new StandinTaskbar();
        resident_ = new Resident(*copy_);
        taskbar_->WaitForCalls(4, 5000);
    }
    static void TearDownTestSuite()
    {
        delete resident_;
        delete taskbar_;
        delete copy_;
    }
    void SetUp() override
    {
        ASSERT_TRUE(taskbar_->ok());
        ASSERT_NE(resident_->window(), nullptr);
        ASSERT_TRUE(resident_->Running()) << "the resident program has ended";
        ASSERT_EQ(taskbar_->CallCount(), 4u) << "the icons were not added once each";
    }
    static LRESULT Callback(WPARAM iconId, LPARAM mouseMessage)
    {
        return SendMessageA(resident_->window(), kTrayCallback, iconId, mouseMessage);
    }

    static ProgramCopy* copy_;
    static StandinTaskbar* taskbar_;
    static Resident* resident_;
};

ProgramCopy* TrayCallbackTest::copy_ = nullptr;
StandinTaskbar* TrayCallbackTest::taskbar_ = nullptr;
Resident* TrayCallbackTest::resident_ = nullptr;

// States of the windows "normal", "maximized" and "minimized", in that order.
std::vector<WindowState> States(HWND normal, HWND maximized, HWND minimized)
{
    return {StateOf(normal), StateOf(maximized), StateOf(minimized)};
}

struct DoubleClickCase {
    UINT iconId;
    const char* action;
    std::vector<WindowState> after;  // of the normal, maximized and minimized window
};

TEST_F(TrayCallbackTest, DoubleClickRunsTheIconsAction)
{
    // Default filters: close normal and maximized windows, restore maximized
    // ones, maximize and minimize normal ones.
    const DoubleClickCase cases[] = {
        {2, "restore", {kNormal, kNormal, kMinimized}},
        {3, "maximize", {kMaximized, kMaximized, kMinimized}},
        {4, "minimize", {kMinimized, kMaximized, kMinimized}},
        {1, "close", {kGone, kGone, kMinimized}},
    };
    for (const DoubleClickCase& c : cases) {
        SCOPED_TRACE(std::string("icon ") + std::to_string(c.iconId) + " (" + c.action + ")");
        // "normal:b+max": a window first shown maximized would snap back to
        // maximized after a restore under Wine without a window manager.
        TestWindows windows({"normal:a", "normal:b+max", "minimized:c"});
        ASSERT_TRUE(windows.ok());
        HWND a = windows.Find("a"), b = windows.Find("b"), m = windows.Find("c");
        ASSERT_EQ(States(a, b, m), std::vector<WindowState>({kNormal, kMaximized, kMinimized}));

        EXPECT_EQ(Callback(c.iconId, WM_LBUTTONDBLCLK), 0);
        if (c.iconId == 1) {
            // Under Wine without a window manager a shown window takes its
            // thread about 2 s to destroy, longer than the program waits for it.
            WaitForState(a, kGone, 5000);
            WaitForState(b, kGone, 5000);
        }
        // A shown window's state changes while the program waits for its thread,
        // so it is checked at once.
        EXPECT_EQ(States(a, b, m), c.after)
            << "normal " << StateName(StateOf(a)) << ", maximized " << StateName(StateOf(b))
            << ", minimized " << StateName(StateOf(m));
        EXPECT_TRUE(resident_->Running());
    }
}

TEST_F(TrayCallbackTest, OtherMouseMessagesAndUnknownIconsDoNothing)
{
    TestWindows windows({"normal:a", "normal:b+max", "minimized:c"});
    ASSERT_TRUE(windows.ok());
    HWND a = windows.Find("a"), b = windows.Find("b"), c = windows.Find("c");
    const std::vector<WindowState> before = {kNormal, kMaximized, kMinimized};
    ASSERT_EQ(States(a, b, c), before);

    for (UINT icon = 1; icon <= 4; ++icon) {
        for (LPARAM mouse : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN,
                             WM_MBUTTONDOWN, WM_MBUTTONUP, WM_RBUTTONDBLCLK}) {
            Callback(icon, mouse);
            EXPECT_EQ(States(a, b, c), before)
                << "icon " << icon << ", mouse message 0x" << std::hex << mouse;
        }
    }
    for (WPARAM icon : {0u, 5u, 40002u, 0x10001u}) {
        EXPECT_EQ(Callback(icon, WM_LBUTTONDBLCLK), 0);
        EXPECT_EQ(Callback(icon, WM_RBUTTONUP), 0);
        EXPECT_EQ(States(a, b, c), before) << "icon " << icon;
    }
    // A menu would open from the queue, right after the callbacks.
    Sleep(700);
    EXPECT_EQ(FindOpenMenu(resident_->processId()), nullptr);
    EXPECT_EQ(States(a, b, c), before);
    EXPECT_TRUE(resident_->Responds());
    EXPECT_EQ(copy_->ReadSettings(), TrayIconSettings(true, true, true, true));

    // The same way, a right button release does open a menu.
    HWND menu = OpenIconMenu(*resident_, 1);
    ASSERT_NE(menu, nullptr);
    PressKey(menu, VK_ESCAPE);
    EXPECT_TRUE(WaitForMenuClosed(menu));
}

TEST_F(TrayIconTest, DoubleClickOnTheCloseIconReturnsOnceTheWindowsAreClosed)
{
    // Windows that were never shown close at once, so the close action can be
    // watched to its end: the close filter takes invisible windows too.
    copy.WriteSettings(std::string("[") + kMainSection + "]\r\n" +
                       Line("不可視ウィンドウを閉じる", "1"));
    StandinTaskbar taskbar;
    ASSERT_TRUE(taskbar.ok());
    Resident resident(copy);
    ASSERT_NE(resident.window(), nullptr);
    ASSERT_TRUE(taskbar.WaitForCalls(1, 5000));

    TestWindows windows({"normal:a+hide", "maximized:b+hide", "minimized:c+hide"});
    ASSERT_TRUE(windows.ok());
    HWND a = windows.Find("a"), b = windows.Find("b"), c = windows.Find("c");
    ASSERT_EQ(States(a, b, c), std::vector<WindowState>({kNormal, kMaximized, kMinimized}));

    EXPECT_EQ(SendMessageA(resident.window(), kTrayCallback, 1, WM_LBUTTONDBLCLK), 0);
    EXPECT_EQ(States(a, b, c), std::vector<WindowState>({kGone, kGone, kMinimized}))
        << "normal " << StateName(StateOf(a)) << ", maximized " << StateName(StateOf(b))
        << ", minimized " << StateName(StateOf(c));
    // The main window is spared, though hidden windows are selected.
    EXPECT_TRUE(resident.Responds());
}

// ---- the tray menus ------------------------------------------------------------

class TrayMenuTest : public TrayIconTest {};

TEST_F(TrayMenuTest, EachIconOpensItsMenuWithTheStoredCheckMarks)
{
    // Every flag the opposite of its default.
    TargetFlags stored;
    for (const TargetKey& key : kTargetKeys)
        stored += key.defaultValue == '1' ? '0' : '1';
    std::string settings = TrayIconSettings(true, true, true, true) + TargetLines(stored);
    copy.WriteSettings(settings);
    StandinTaskbar taskbar;
    ASSERT_TRUE(taskbar.ok());
    Resident resident(copy);
    ASSERT_NE(resident.window(), nullptr);
    ASSERT_TRUE(taskbar.WaitForCalls(4, 5000));

    for (const IconMenu* menu : {&kMinimizeMenu, &kMaximizeMenu, &kRestoreMenu, &kCloseMenu})
        EXPECT_TRUE(ShowsMenu(OpenIconMenu(resident, menu->iconId), *menu, stored));

    // Closing a menu without a choice writes nothing; so does WM_CANCELMODE to its owner.
    HWND menu = OpenIconMenu(resident, 2);
    ASSERT_NE(menu, nullptr);
    PostMessageA(resident.window(), WM_CANCELMODE, 0, 0);
    EXPECT_TRUE(WaitForMenuClosed(menu));
    EXPECT_TRUE(resident.Responds());
    EXPECT_EQ(copy.ReadSettings(), settings);
}

TEST_F(TrayMenuTest, ChoosingAHeadItemFlipsItsFlagAndSavesTheTargets)
{
    const std::string trayKeys = TrayIconSettings(true, true, true, true);
    copy.WriteSettings(trayKeys);
    StandinTaskbar taskbar;
    ASSERT_TRUE(taskbar.ok());
    Resident resident(copy);
    ASSERT_NE(resident.window(), nullptr);
    ASSERT_TRUE(taskbar.WaitForCalls(4, 5000));

    TargetFlags flags = DefaultTargets();
    EXPECT_TRUE(ShowsMenu(OpenIconMenu(resident, 1), kCloseMenu, flags));

    struct Choice {
        const IconMenu* menu;
        int item;  // position among the head items
    };
    // The second item of the close menu off, on and off again, between them the
    // first item of the maximize menu and the second of the minimize menu.
    const Choice choices[] = {{&kCloseMenu, 1},
                              {&kMaximizeMenu, 0},
                              {&kCloseMenu, 1},
                              {&kMinimizeMenu, 1},
                              {&kCloseMenu, 1}};
    for (const Choice& choice : choices) {
        const HeadItem& item = choice.menu->head[choice.item];
        SCOPED_TRACE(std::string("choosing item ") + std::to_string(item.id));
        HWND menu = OpenIconMenu(resident, choice.menu->iconId);
        ASSERT_NE(menu, nullptr);
        for (int i = 0; i <= choice.item; ++i)
            PressKey(menu, VK_DOWN);
        PressKey(menu, VK_RETURN);
        ASSERT_TRUE(WaitForMenuClosed(menu));

        flags[item.target] = flags[item.target] == '1' ? '0' : '1';
        // All nine target keys are written together, nothing else.
        EXPECT_TRUE(WaitUntil([&] { return StoredTargets(copy) == flags; }, 3000))
            << "stored " << StoredTargets(copy) << ", expected " << flags;
        std::map<std::string, Section> file = ParseSettings(copy.ReadSettings());
        EXPECT_EQ(file.size(), 1u);
        EXPECT_EQ(file[kMainSection].size(), 4u + 9u);
        EXPECT_EQ(ParseSettings(trayKeys)[kMainSection],
                  [&] {
                      Section tray = file[kMainSection];
                      for (const TargetKey& key : kTargetKeys)
                          tray.erase(key.key);
                      return tray;
                  }())
            << "the tray-icon keys changed";

        // The next opening shows the new check mark.
        EXPECT_TRUE(ShowsMenu(OpenIconMenu(resident, choice.menu->iconId), *choice.menu, flags));
    }

    // The flipped flag is the one the action uses: maximized windows are now
    // left open by the close icon.
    ASSERT_EQ(flags[1], '0');
    TestWindows windows({"normal:a", "maximized:b"});
    ASSERT_TRUE(windows.ok());
    HWND a = windows.Find("a"), b = windows.Find("b");
    SendMessageA(resident.window(), kTrayCallback, 1, WM_LBUTTONDBLCLK);
    // A shown window takes its thread about 2 s to destroy under Wine.
    EXPECT_EQ(WaitForState(a, kGone, 5000), kGone);
    EXPECT_EQ(StateOf(b), kMaximized);
}

TEST_F(TrayMenuTest, ThePointerMonitorItemShowsItsKeyAndWritesItAlone)
{
    const std::string settings = TrayIconSettings(true, true, true, true) + "[対象モニター]\r\n最小化する=1\r\n";
    copy.WriteSettings(settings);
    StandinTaskbar taskbar;
    ASSERT_TRUE(taskbar.ok());
    Resident resident(copy);
    ASSERT_NE(resident.window(), nullptr);
    ASSERT_TRUE(taskbar.WaitForCalls(4, 5000));
    for (const IconMenu* menu : {&kMinimizeMenu, &kMaximizeMenu, &kRestoreMenu, &kCloseMenu})
        EXPECT_TRUE(ShowsMenu(OpenIconMenu(resident, menu->iconId), *menu, DefaultTargets(), false,
                              menu == &kMinimizeMenu));

    // The close menu's item on, the minimize menu's off: each writes its own key alone.
    std::string expected = settings;
    for (const IconMenu* menu : {&kCloseMenu, &kMinimizeMenu}) {
        HWND shown = OpenIconMenu(resident, menu->iconId);
        ASSERT_NE(shown, nullptr);
        for (size_t i = 0; i <= menu->head.size(); ++i)
            PressKey(shown, VK_DOWN);
        PressKey(shown, VK_RETURN);
        ASSERT_TRUE(WaitForMenuClosed(shown));
        expected = menu == &kCloseMenu ? expected + "閉じる=1\r\n"
                                       : expected.replace(expected.find("最小化する=1"), 12, "最小化する=0");
        EXPECT_TRUE(WaitUntil([&] { return copy.ReadSettings() == expected; }, 3000)) << copy.ReadSettings();
        EXPECT_TRUE(ShowsMenu(OpenIconMenu(resident, menu->iconId), *menu, DefaultTargets(), false,
                              menu == &kCloseMenu));
    }
}

TEST_F(TrayMenuTest, TheUndoHotkeyIsHeldWhileResidentButNotWhileTheHotkeyDialogIsOpen)
{
    // Ctrl+Alt+U, set only in the file, in a form the program would not write.
    const std::string undoHotkey = std::string("[") + kHotkeySection + "]\r\n直前の操作を取り消す=0853\r\n";
    copy.WriteSettings(undoHotkey);
    StandinTaskbar taskbar;
    Resident resident(copy);
    ASSERT_NE(resident.window(), nullptr);
    const auto held = [] {
        if (!RegisterHotKey(nullptr, 0x7A12, kCtrlAltModifiers, 'U'))
            return true;
        UnregisterHotKey(nullptr, 0x7A12);
        return false;
    };
    EXPECT_TRUE(held());

    TestWindows windows({"normal:a"});
    ASSERT_TRUE(windows.ok());
    HWND a = windows.Find("a");
    SendMessageA(resident.window(), WM_COMMAND, IDM_MINIMIZE_WINDOWS, 0);
    ASSERT_EQ(WaitForState(a, kMinimized), kMinimized);
    SendMessageA(resident.window(), WM_HOTKEY, 7, MAKELPARAM(kCtrlAltModifiers, 'U'));
    EXPECT_EQ(WaitForState(a, kNormal), kNormal);

    // The dialog neither shows nor writes it: its OK leaves the key as it was.
    Dialog hotkeys = Dialog::Open(IDM_HOTKEY_SETTINGS, "ﾎｯﾄｷｰ の設定");
    ASSERT_TRUE(hotkeys.ok());
    EXPECT_FALSE(held());
    hotkeys.Click(IDOK);
    ASSERT_TRUE(hotkeys.WaitGone());
    EXPECT_TRUE(held());
    Section stored = ParseSettings(copy.ReadSettings())[kHotkeySection];
    EXPECT_EQ(stored.size(), 6u);
    EXPECT_EQ(stored["直前の操作を取り消す"], "0853");

    PostMessageA(resident.window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(resident.WaitForExit(10000), 0);
    EXPECT_FALSE(held());
}

TEST_F(TrayMenuTest, UndoTakesBackTheLastShowActionOnceAndIsGrayedWithoutOne)
{
    copy.WriteSettings(TrayIconSettings(true, false, false, false));
    StandinTaskbar taskbar;
    ASSERT_TRUE(taskbar.ok());
    Resident resident(copy);
    ASSERT_NE(resident.window(), nullptr);
    ASSERT_TRUE(taskbar.WaitForCalls(1, 5000));
    TestWindows windows({"normal:a", "normal:b", "normal:m+max"});
    ASSERT_TRUE(windows.ok());
    HWND a = windows.Find("a"), b = windows.Find("b"), m = windows.Find("m");
    const TargetFlags flags = DefaultTargets();
    const auto command = [&](UINT id) { SendMessageA(resident.window(), WM_COMMAND, id, 0); };
    const auto settled = [&](WindowState sa, WindowState sb, WindowState sm) {
        return WaitUntil([&] { return States(a, b, m) == std::vector<WindowState>({sa, sb, sm}); }, 5000);
    };
    EXPECT_TRUE(ShowsMenu(OpenIconMenu(resident, 1), kCloseMenu, flags, false));

    // Minimize, then undo from the menu, whose item is grayed again afterwards.
    command(IDM_MINIMIZE_WINDOWS);
    ASSERT_TRUE(settled(kMinimized, kMinimized, kMaximized));
    EXPECT_TRUE(ShowsMenu(OpenIconMenu(resident, 1), kCloseMenu, flags, true));
    HWND menu = OpenIconMenu(resident, 1);
    ASSERT_NE(menu, nullptr);
    PressKey(menu, 'U');
    EXPECT_TRUE(WaitForMenuClosed(menu));
    EXPECT_TRUE(settled(kNormal, kNormal, kMaximized));
    EXPECT_TRUE(ShowsMenu(OpenIconMenu(resident, 1), kCloseMenu, flags, false));

    // Maximize and restore, each undone by the command.
    command(IDM_MAXIMIZE_WINDOWS);
    ASSERT_TRUE(settled(kMaximized, kMaximized, kMaximized));
    command(IDM_UNDO);
    EXPECT_TRUE(settled(kNormal, kNormal, kMaximized));
    command(IDM_RESTORE_WINDOWS);
    ASSERT_TRUE(settled(kNormal, kNormal, kNormal));
    command(IDM_UNDO);
    EXPECT_TRUE(settled(kNormal, kNormal, kMaximized)) << "restored from maximized, maximized again";

    // A window closed in between is left out; a close action keeps the record
    // (it closes m); the record is used once.
    command(IDM_MINIMIZE_WINDOWS);
    ASSERT_TRUE(settled(kMinimized, kMinimized, kMaximized));
    PostMessageA(b, WM_CLOSE, 0, 0);
    command(IDM_CLOSE_WINDOWS);
    ASSERT_TRUE(settled(kMinimized, kGone, kGone));
    command(IDM_UNDO);
    EXPECT_TRUE(settled(kNormal, kGone, kGone));
    ShowWindow(a, SW_MINIMIZE);
    command(IDM_UNDO);
    EXPECT_FALSE(WaitUntil([&] { return StateOf(a) != kMinimized; }, 1000)) << "undone twice";
    EXPECT_TRUE(resident.Responds());
}

TEST_F(TrayMenuTest, QuitItemEndsTheProgram)
{
    copy.WriteSettings(TrayIconSettings(true, true, false, false) + CloseHotkeySettings());
    StandinTaskbar taskbar;
    ASSERT_TRUE(taskbar.ok());
    Resident resident(copy);
    ASSERT_NE(resident.window(), nullptr);
    ASSERT_EQ(SettledRequests(taskbar, 2), std::vector<Request>({Add(2), Add(1)}));
    EXPECT_FALSE(CtrlAltAIsFree()) << "the hotkey is not registered";

    HWND menu = OpenIconMenu(resident, 2);
    ASSERT_NE(menu, nullptr);
    // The access key of "終了(&Q)".
    PressKey(menu, 'Q');
    EXPECT_EQ(resident.WaitForExit(10000), 0);
    EXPECT_EQ(Requests(taskbar),
              std::vector<Request>({Add(2), Add(1), Delete(2), Delete(1)}));
    EXPECT_EQ(FindMainWindow(), nullptr);
    EXPECT_TRUE(CtrlAltAIsFree()) << "the hotkey stays registered after the end";
}

// ---- start at sign-in ------------------------------------------------------------

const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// The Run key's value "Tidewell" as a REG_SZ, or "(none)" when there is no such value.
std::string RunValue()
{
    char data[1024] = "";
    DWORD size = sizeof data;
    LONG result = RegGetValueA(HKEY_CURRENT_USER, kRunKey, "Tidewell", RRF_RT_REG_SZ, nullptr, data, &size);
    return result == ERROR_SUCCESS ? data : "(none)";
}

TEST_F(TrayMenuTest, StartAtSignInItemShowsWritesAndDeletesTheRunValue)
{
    // Whatever the Run key held is put back at the end; the test starts without the value.
    RegistryValue keep(HKEY_CURRENT_USER, kRunKey, "Tidewell", "");
    HKEY run = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, &run), ERROR_SUCCESS);
    RegDeleteValueA(run, "Tidewell");
    RegCloseKey(run);
    copy.WriteSettings(TrayIconSettings(true, false, false, false));
    StandinTaskbar taskbar;
    ASSERT_TRUE(taskbar.ok());
    Resident resident(copy);
    ASSERT_NE(resident.window(), nullptr);
    ASSERT_TRUE(taskbar.WaitForCalls(1, 5000));
    const std::string quoted = "\"" + copy.exe + "\"";
    // Sent with a timeout: a warning box would hold the command up.
    const auto choose = [&] {
        DWORD_PTR result = 0;
        return SendMessageTimeoutA(resident.window(), WM_COMMAND, IDM_START_AT_SIGN_IN, 0, 0, 5000, &result) != 0;
    };

    // Unchecked at first; neither the start nor the menu's opening writes the value.
    EXPECT_TRUE(ShowsSettingsSubmenu(resident, false));
    EXPECT_EQ(RunValue(), "(none)");

    // Chosen by its access key: the quoted path is written.
    HWND menu = OpenIconMenu(resident, 1);
    ASSERT_NE(menu, nullptr);
    HWND submenu = OpenSettingsSubmenu(menu, resident.processId());
    ASSERT_NE(submenu, nullptr);
    PressKey(submenu, 'W');
    EXPECT_TRUE(WaitForMenuClosed(menu));
    EXPECT_TRUE(WaitUntil([&] { return RunValue() != "(none)"; }, 3000));
    EXPECT_STRCASEEQ(RunValue().c_str(), quoted.c_str());
    EXPECT_TRUE(ShowsSettingsSubmenu(resident, true));

    // Chosen again: the value goes.
    EXPECT_TRUE(choose());
    EXPECT_EQ(RunValue(), "(none)");
    EXPECT_TRUE(ShowsSettingsSubmenu(resident, false));

    // The same path in other case counts; another path (a moved folder) shows
    // unchecked, and choosing the item replaces it.
    std::string upper = quoted;
    CharUpperA(&upper[0]);
    {
        RegistryValue same(HKEY_CURRENT_USER, kRunKey, "Tidewell", upper);
        EXPECT_TRUE(ShowsSettingsSubmenu(resident, true));
        EXPECT_EQ(RunValue(), upper) << "opening the menu wrote the value";
    }
    RegistryValue moved(HKEY_CURRENT_USER, kRunKey, "Tidewell", "\"C:\\Old\\tidewell.exe\"");
    EXPECT_TRUE(ShowsSettingsSubmenu(resident, false));
    EXPECT_TRUE(choose());
    EXPECT_STRCASEEQ(RunValue().c_str(), quoted.c_str());
    EXPECT_TRUE(ShowsSettingsSubmenu(resident, true));
    EXPECT_EQ(FindProcessWindow(resident.processId(), "#32770"), nullptr) << "a warning was shown";
}

}  // namespace

// ---- under another code page -------------------------------------------------

// These cases run under LANG=en_US.UTF-8, where a program without a code page
// in its manifest gets code page 1252; this test program keeps 932 by its own.
class CodePage : public TrayIconTest {
protected:
    static std::string Settings()
    {
        return TrayIconSettings(true, false, false, false) + TargetLines(DefaultTargets()) +
               "[メモ]\r\n日本語のキー=そのまま\r\n";
    }
    // The settings warning of the running program, or null.
    static HWND Warning(const Resident& resident)
    {
        return FindProcessWindow(resident.processId(), "#32770", "Tidewell");
    }
    // Starts a copy of the program built with another code page on the
    // settings, and has it flip the close filter's normal-size flag.
    const Resident& StartCopyAndToggle(const char* source)
    {
        variant.reset(new ProgramCopy("tidewell.exe", source));
        variant->WriteSettings(Settings());
        taskbar.reset(new StandinTaskbar());
        resident.reset(new Resident(*variant));
        EXPECT_NE(resident->window(), nullptr);
        EXPECT_TRUE(PostCommand(IDM_CLOSE_NORMAL));
        return *resident;
    }
    std::unique_ptr<ProgramCopy> variant;
    std::unique_ptr<StandinTaskbar> taskbar;
    std::unique_ptr<Resident> resident;
};

TEST_F(CodePage, TheProgramsTextsReadRightThroughTheWideFunctions)
{
    StandinTaskbar taskbar;
    ASSERT_TRUE(taskbar.ok());
    Resident resident(copy);
    ASSERT_NE(resident.window(), nullptr);
    ASSERT_TRUE(taskbar.WaitForCalls(1, 5000));
    EXPECT_EQ(taskbar.Calls()[0].tip, FromShiftJis("ｳｨﾝﾄﾞｳを閉じる"));
    EXPECT_TRUE(ShowsMenu(OpenIconMenu(resident, 1), kCloseMenu, DefaultTargets()));

    // The changed marker is a title the program sets itself.
    Dialog targets = Dialog::Open(IDM_TARGET_SETTINGS, "ﾀｰｹﾞｯﾄ の設定");
    ASSERT_TRUE(targets.ok());
    ASSERT_TRUE(targets.SetCheck(1018, true));
    EXPECT_EQ(WideWindowText(targets.window()), FromShiftJis("ﾀｰｹﾞｯﾄ の設定 *"));
    targets.Click(IDCANCEL);
    ASSERT_TRUE(targets.WaitGone());

    ASSERT_TRUE(PostCommand(IDM_ABOUT));
    HWND about = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (about = FindProcessWindow(resident.processId(), "#32770")) != nullptr; }, 5000));
    EXPECT_EQ(WideWindowText(about), FromShiftJis("Tidewell について"));
    EXPECT_EQ(WideWindowText(GetDlgItem(about, 101)), L"Tidewell ver. " TIDEWELL_WIDE_VERSION);
    EXPECT_EQ(WideWindowText(GetDlgItem(about, 102)), L"https://tidewell.example.org/support/");
    PostMessageA(about, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); }, 5000));
}

TEST_F(CodePage, UnderUtf8NothingIsWrittenAndTheUserIsToldOnce)
{
    const Resident& resident = StartCopyAndToggle("tidewell_utf8.exe");
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (box = Warning(resident)) != nullptr; }, 5000)) << "no warning";
    std::string path = variant->ini;  // as the program names it: in lower case
    CharLowerA(&path[0]);
    EXPECT_EQ(WideWindowText(GetDlgItem(box, 0xFFFF)),
              FromShiftJis("設定を保存できませんでした。\n" + path +
                           "\n\nWindows の文字コード (コードページ 65001) では、設定ファイルを壊さずに"
                           "書き込めないため保存しませんでした。"));
    PressButton(box, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return Warning(resident) == nullptr; }, 5000));

    // The toggle holds in memory; the dialog's OK writes nothing and says nothing.
    Dialog targets = Dialog::Open(IDM_TARGET_SETTINGS, "ﾀｰｹﾞｯﾄ の設定");
    ASSERT_TRUE(targets.ok());
    EXPECT_FALSE(targets.Checked(1016));
    targets.Click(IDOK);
    ASSERT_TRUE(targets.WaitGone());
    EXPECT_TRUE(HoldsFor([&] { return Warning(resident) == nullptr; }, 1000));
    EXPECT_EQ(variant->ReadSettings(), Settings());
}

TEST_F(CodePage, UnderAWesternCodePageTheWriteChangesOnlyItsValue)
{
    const Resident& resident = StartCopyAndToggle("tidewell_cp1252.exe");
    TargetFlags flags = DefaultTargets();
    flags[0] = '0';
    const std::string expected = TrayIconSettings(true, false, false, false) + TargetLines(flags) +
                                 Settings().substr(Settings().find("[メモ]"));
    EXPECT_TRUE(WaitUntil([&] { return variant->ReadSettings() == expected; }, 5000)) << variant->ReadSettings();
    EXPECT_TRUE(HoldsFor([&] { return Warning(resident) == nullptr; }, 1000));
}
