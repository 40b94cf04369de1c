// End-to-end tests of the settings dialogs: the resident program runs for
// real, the tests work its dialogs from outside as a user would and look at
// what the user gets: the settings file, the hotkeys held, the tray icons and
// the periodic actions.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <string>
#include <vector>

#include "dialog_driver.h"
#include "harness.h"
#include "standin_taskbar.h"
#include "resources/resource_ids.h"

namespace {

const char kMain[] = "Tidewell", kHotkeySection[] = "ホットキーの設定";
const char* const kTrayKeys[4] = {"「ウィンドウを閉じる」を使用する", "「ウィンドウを元に戻す」を使用する",
                                  "「ウィンドウを最大化」を使用する", "「ウィンドウを最小化」を使用する"};
const int kTrayBoxes[4] = {1042, 1010, 1011, 1012};
// The target keys in the order they are saved, their boxes and their defaults.
const char* const kTargetKeys[9] = {
    "通常サイズのウィンドウを閉じる", "最大化されたウィンドウを閉じる", "最小化されたウィンドウを閉じる",
    "最大化されたウィンドウを元に戻す", "最小化されたウィンドウを元に戻す", "通常サイズのウィンドウを最大化する",
    "最小化されたウィンドウを最大化する", "通常サイズのウィンドウを最小化する", "最大化されたウィンドウを最小化する"};
const int kTargetBoxes[9] = {1016, 1017, 1018, 1019, 1020, 1023, 1024, 1021, 1022};
const char kTargetDefaults[] = "110101010";
const char* const kHotkeyKeys[5] = {"非アクティブなウィンドウを閉じる", "ウィンドウを閉じる", "ウィンドウを元に戻す",
                                    "ウィンドウを最小化", "ウィンドウを最大化"};
const int kHotkeyControls[5] = {1035, 1036, 1037, 1038, 1039};
const char* const kAutoRunSections[4] = {"自動実行/閉じる", "自動実行/元に戻す", "自動実行/最大化", "自動実行/最小化"};
// Each auto-run row: check box, seconds, up-down, label.
const int kAutoRunRows[4][4] = {{1042, 1043, 1047, 1053}, {1010, 1044, 1049, 1054}, {1011, 1045, 1051, 1055},
                                {1012, 1046, 1052, 1056}};
const WORD kCtrlAltA = MAKEWORD('A', HOTKEYF_CONTROL | HOTKEYF_ALT), kShiftF9 = MAKEWORD(VK_F9, HOTKEYF_SHIFT);
const char kSave[] = "保存しますか？", kSaveChanged[] = "設定が変更されています。\n\n設定を保存しますか？";

std::string Header(const std::string& section) { return "[" + section + "]\r\n"; }
std::string Line(const std::string& key, const std::string& value) { return key + "=" + value + "\r\n"; }

// The settings text with the value of one key replaced; a missing section is
// added at the end with that key, as the profile functions add it.
std::string With(std::string text, const std::string& section, const std::string& key, const std::string& value)
{
    if (text.find(Header(section)) == std::string::npos)
        return text + Header(section) + Line(key, value);
    size_t at = text.find("\r\n" + key + "=", text.find(Header(section)));
    if (at == std::string::npos)
        return text + "(no key " + key + ")";
    at += key.size() + 3;
    return text.replace(at, text.find("\r\n", at) - at, value);
}

// The main section with the keys' values replaced by the flags, '0' or '1' each.
std::string WithFlags(std::string text, const char* const* keys, const std::string& flags)
{
    for (size_t i = 0; i < flags.size(); ++i)
        text = With(text, kMain, keys[i], flags.substr(i, 1));
    return text;
}

std::string FlagLines(const char* const* keys, const std::string& flags)
{
    std::string lines;
    for (size_t i = 0; i < flags.size(); ++i)
        lines += Line(keys[i], flags.substr(i, 1));
    return lines;
}

// The check boxes' states as '0' and '1'; setting them so.
std::string Boxes(const Dialog& dialog, const int* ids, int count)
{
    std::string states;
    for (int i = 0; i < count; ++i)
        states += dialog.Checked(ids[i]) ? '1' : '0';
    return states;
}

bool SetBoxes(const Dialog& dialog, const int* ids, const std::string& states)
{
    bool followed = true;
    for (size_t i = 0; i < states.size(); ++i)
        followed = dialog.SetCheck(ids[i], states[i] == '1') && followed;
    return followed;
}

// The auto-run rows as shown: "on" or "off", whether the seconds, the up-down
// and the label are enabled ('+') or not ('-'), and the seconds.
std::string AutoRunRows(const Dialog& dialog)
{
    std::string rows;
    for (const int* row : kAutoRunRows) {
        rows += dialog.Checked(row[0]) ? "on" : "off";
        for (int part = 1; part < 4; ++part)
            rows += dialog.Enabled(row[part]) ? '+' : '-';
        rows += dialog.Text(row[1]) + " ";
    }
    return rows;
}

std::vector<WORD> Hotkeys(const Dialog& dialog)
{
    std::vector<WORD> values;
    for (int id : kHotkeyControls)
        values.push_back(dialog.Hotkey(id));
    return values;
}

// Whether somebody holds the combination: this process cannot register it.
bool Held(UINT modifiers, UINT key)
{
    if (!RegisterHotKey(nullptr, 0x7A21, modifiers, key))
        return true;
    UnregisterHotKey(nullptr, 0x7A21);
    return false;
}

LRESULT HitTest(HWND window, POINT p) { return SendAndWait(window, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y)); }

// The exclusion dialog's list, name, add and remove button, and open programs.
const int kExclusionList = 1057, kExclusionName = 1058, kAddButton = 1059, kRemoveButton = 1060, kOpenPrograms = 1061;
const char kExclusionSection[] = "除外するプログラム";
typedef std::vector<std::string> Names;

// The entries of another process's list box or combo box, read with the W
// messages (Wine answers the A ones across processes in UTF-16), in Shift-JIS.
Names Entries(HWND control, UINT countMessage, UINT lengthMessage, UINT textMessage)
{
    Names entries;
    for (LRESULT i = 0, count = SendAndWait(control, countMessage); i < count; ++i) {
        DWORD_PTR length = 0;
        SendMessageTimeoutW(control, lengthMessage, i, 0, SMTO_NORMAL, 5000, &length);
        std::wstring wide(static_cast<int>(length) + 1, L'\0');
        SendMessageTimeoutW(control, textMessage, i, reinterpret_cast<LPARAM>(&wide[0]), SMTO_NORMAL, 5000, nullptr);
        char text[1024] = "";
        WideCharToMultiByte(932, 0, wide.c_str(), -1, text, sizeof text, nullptr, nullptr);
        entries.push_back(text);
    }
    return entries;
}
Names Listed(const Dialog& d) { return Entries(d.Item(kExclusionList), LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT); }
Names OpenPrograms(const Dialog& d)
{
    return Entries(d.Item(kOpenPrograms), CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT);
}

// Sent, not posted: these buttons show no message box that could hold the test up.
void Press(const Dialog& d, int button) { SendAndWait(d.Item(button), BM_CLICK); }
// Types the name and presses "追加(&A)"; true when the list took it.
bool AddName(const Dialog& d, const std::string& name)
{
    LRESULT count = SendAndWait(d.Item(kExclusionList), LB_GETCOUNT);
    d.SetText(kExclusionName, name);
    Press(d, kAddButton);
    return SendAndWait(d.Item(kExclusionList), LB_GETCOUNT) == count + 1;
}

struct Kind {
    UINT command;
    const char *caption, *question;
    bool (*change)(const Dialog&);  // one change a user makes, and the value it saves
    const char *section, *key, *value;
};
const Kind kHotkeys = {IDM_HOTKEY_SETTINGS, "ﾎｯﾄｷｰ の設定", kSave,
                       [](const Dialog& d) { return d.SetHotkey(1037, MAKEWORD('R', HOTKEYF_CONTROL | HOTKEYF_ALT)), true; },
                       kHotkeySection, "ウィンドウを元に戻す", "850"};
const Kind kAutoRun = {IDM_AUTORUN_SETTINGS, "自動実行の設定", kSave, [](const Dialog& d) { return d.SetText(1044, "30"), true; },
                       "自動実行/元に戻す", "間隔", "30000"};
const Kind kTray = {IDM_TRAY_SETTINGS, "常駐の設定", kSaveChanged, [](const Dialog& d) { return d.SetCheck(1011, true); },
                    kMain, "「ウィンドウを最大化」を使用する", "1"};
const Kind kTargets = {IDM_TARGET_SETTINGS, "ﾀｰｹﾞｯﾄ の設定", kSaveChanged, [](const Dialog& d) { return d.SetCheck(1018, true); },
                       kMain, "最小化されたウィンドウを閉じる", "1"};
const Kind kExclusions = {IDM_EXCLUSION_SETTINGS, "除外の設定", kSaveChanged, [](const Dialog& d) { return AddName(d, "notepad.exe"); },
                          kExclusionSection, "1", "notepad.exe"};
const Kind* const kKinds[] = {&kHotkeys, &kAutoRun, &kTray, &kTargets, &kExclusions};
std::string Marked(const Kind& kind) { return std::string(kind.caption) + " *"; }

// The program runs under a name of its own, none of whose windows Wine
// manages: without a window manager, Wine takes two seconds to hide a managed
// window, and every dialog and message box is hidden when it ends.
const char kExeName[] = "tidewell-dialogs.exe";
const char kUnmanagedKey[] = "Software\\Wine\\AppDefaults\\tidewell-dialogs.exe\\X11 Driver";

// One resident program for all cases, which run in order, each on the
// settings that the cases before it left. It starts with a fresh installation
// but for lines that no dialog writes.
class SettingsDialogs : public ::testing::Test {
protected:
    static std::string Untouched() { return Header(kMain) + Line("不可視ウィンドウを元に戻す", "0"); }
    static std::string Memo() { return Header("メモ") + Line("そのまま", "残す"); }
    static void SetUpTestSuite()
    {
        HKEY key;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, kUnmanagedKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                            nullptr) == ERROR_SUCCESS) {
            RegSetValueExA(key, "Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>("N"), 2);
            RegCloseKey(key);
        }
        taskbar_ = new StandinTaskbar();  // takes the program's icons
        copy_ = new ProgramCopy(kExeName);
        copy_->WriteSettings(Untouched() + Memo());
        main_ = StartResident(*copy_, &process_);
        // The last step of the start lowers the priority.
        WaitUntil([] { return GetPriorityClass(process_.handle) == IDLE_PRIORITY_CLASS; }, 10000);
    }
    static void TearDownTestSuite()
    {
        PostMessageA(main_, WM_CLOSE, 0, 0);
        DWORD exitCode = 0;
        if (!WaitProcess(process_, 10000, &exitCode))
            KillProcess(process_);
        delete copy_;
        delete taskbar_;
        RegDeleteKeyA(HKEY_CURRENT_USER, kUnmanagedKey);
    }
    void SetUp() override
    {
        ASSERT_TRUE(taskbar_->ok());
        ASSERT_NE(main_, nullptr);
        ASSERT_EQ(main_, FindMainWindow()) << "the resident program has ended";
    }
    void TearDown() override
    {
        // A dialog or message box left open is cancelled, innermost first.
        for (HWND open = FindOwnedDialog(main_); open != nullptr; open = FindOwnedDialog(main_)) {
            ADD_FAILURE() << "a dialog was left open";
            for (HWND inner = open; inner != nullptr; inner = FindOwnedDialog(inner))
                open = inner;
            PostMessageA(open, WM_COMMAND, IDCANCEL, 0);
            if (!WaitUntil([&] { return !IsWindowVisible(open); }, 2000))
                break;
        }
    }
    // The main window handles the command before this returns.
    static void Send(UINT command) { SendAndWait(main_, WM_COMMAND, command); }
    static std::string File() { return copy_->ReadSettings(); }
    static Dialog Open(const Kind& kind)
    {
        Dialog dialog = Dialog::Open(kind.command, kind.caption);
        EXPECT_TRUE(dialog.ok()) << kind.caption << " did not open";
        return dialog;
    }
    static bool Accept(const Dialog& dialog) { return dialog.Click(IDOK), dialog.WaitGone(); }

    static StandinTaskbar* taskbar_;
    static ProgramCopy* copy_;
    static Process process_;
    static HWND main_;
};
StandinTaskbar* SettingsDialogs::taskbar_ = nullptr;
ProgramCopy* SettingsDialogs::copy_ = nullptr;
Process SettingsDialogs::process_;
HWND SettingsDialogs::main_ = nullptr;

TEST_F(SettingsDialogs, FreshSettingsShowAndOkWritesTheDialogsGroupAlone)
{
    // The target dialog through the close icon's menu, whose loop takes the
    // keys posted after it: "設定(&S)", then "ﾀｰｹﾞｯﾄの設定(&T)...".
    SendAndWait(main_, WM_APP + 1, 1, WM_RBUTTONUP);
    PostMessageA(main_, WM_KEYDOWN, 'S', 1);
    PostMessageA(main_, WM_KEYDOWN, 'T', 1);
    Dialog targets(WaitForOwnedDialog(main_, kTargets.caption));
    ASSERT_TRUE(targets.ok());
    EXPECT_EQ(targets.Title(), kTargets.caption);
    EXPECT_EQ(Boxes(targets, kTargetBoxes, 9), kTargetDefaults);
    // OK without a change writes the dialog's group with the values in use.
    ASSERT_TRUE(Accept(targets));
    std::string main = Untouched() + FlagLines(kTargetKeys, kTargetDefaults), others = Header(kHotkeySection);
    EXPECT_EQ(File(), main + Memo());

    const size_t calls = taskbar_->CallCount();
    Dialog tray = Open(kTray);
    EXPECT_EQ(Boxes(tray, kTrayBoxes, 4), "1000");
    ASSERT_TRUE(Accept(tray));
    main += FlagLines(kTrayKeys, "1000");
    EXPECT_EQ(File(), main + Memo());
    EXPECT_EQ(taskbar_->CallCount(), calls) << "an icon was added or removed";

    Dialog hotkeys = Open(kHotkeys);
    EXPECT_EQ(Hotkeys(hotkeys), std::vector<WORD>(5, 0));
    ASSERT_TRUE(Accept(hotkeys));
    for (const char* key : kHotkeyKeys)
        others += Line(key, "0");
    EXPECT_EQ(File(), main + Memo() + others);

    Dialog autoRun = Open(kAutoRun);
    EXPECT_EQ(autoRun.Title(), kAutoRun.caption);
    EXPECT_EQ(AutoRunRows(autoRun), "off---60 off---60 off---60 off---60 ");
    ASSERT_TRUE(Accept(autoRun));
    for (const char* section : kAutoRunSections)
        others += Header(section) + Line("有効", "0") + Line("間隔", "60000");
    EXPECT_EQ(File(), main + Memo() + others);
}

TEST_F(SettingsDialogs, EveryDialogOpensAtTheCursorInsideTheWorkAreaAndDragsByItsBackground)
{
    const std::string before = File();
    TestWindows windows({"countclose:k"});  // shows a close request in its title
    ASSERT_TRUE(windows.ok());
    RECT work, rect, button;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    for (const Kind* kind : kKinds) {
        SCOPED_TRACE(kind->caption);
        SetCursorPos(work.right - 1, work.bottom - 1);
        Dialog dialog = Open(*kind);
        GetWindowRect(dialog.window(), &rect);
        EXPECT_EQ(rect.right, work.right);
        EXPECT_EQ(rect.bottom, work.bottom);
        dialog.Click(IDCANCEL);
        EXPECT_TRUE(dialog.WaitGone());

        SetCursorPos(500, 400);
        dialog = Open(*kind);
        GetWindowRect(dialog.window(), &rect);
        EXPECT_EQ(rect.left, 500 - (rect.right - rect.left) / 2);
        EXPECT_EQ(rect.top, 400 - (rect.bottom - rect.top) / 2);
        // The background moves the dialog like its caption; a control keeps the mouse.
        POINT background = {2, 2};
        ClientToScreen(dialog.window(), &background);
        EXPECT_EQ(WindowFromPoint(background), dialog.window());
        EXPECT_EQ(HitTest(dialog.window(), background), HTCAPTION);
        EXPECT_EQ(HitTest(dialog.window(), {rect.right + 40, rect.bottom + 40}), HTNOWHERE);
        GetWindowRect(dialog.Item(IDOK), &button);
        POINT onButton = {(button.left + button.right) / 2, (button.top + button.bottom) / 2};
        EXPECT_EQ(HitTest(dialog.Item(IDOK), onButton), HTCLIENT);
        // Commands that no control of the dialog sends change nothing.
        for (UINT id : {0u, 3u, 999u, 1041u, 40001u, 40090u, 0xFFFFu})
            SendAndWait(dialog.window(), WM_COMMAND, id);
        EXPECT_EQ(dialog.Title(), kind->caption);
        // Unchanged, the close box ends the dialog without a question.
        dialog.CloseBox();
        EXPECT_TRUE(dialog.WaitGone());
    }
    EXPECT_EQ(WindowText(windows.Find("k")), "k");
    EXPECT_EQ(File(), before);
}

TEST_F(SettingsDialogs, HotkeysAreHeldAfterOkNoneWhileTheDialogIsOpenAndDuplicatesAreRefused)
{
    const WORD ctrlDelete = MAKEWORD(VK_DELETE, HOTKEYF_CONTROL | HOTKEYF_EXT);  // on the extended keyboard
    Dialog hotkeys = Open(kHotkeys);
    hotkeys.SetHotkey(1036, kCtrlAltA);
    hotkeys.SetHotkey(1038, kShiftF9);
    hotkeys.SetHotkey(1037, ctrlDelete);
    EXPECT_EQ(hotkeys.Title(), Marked(kHotkeys));
    std::string saved = With(With(With(File(), kHotkeySection, kHotkeyKeys[1], "833"), kHotkeySection,
                                  kHotkeyKeys[2], "2606"), kHotkeySection, kHotkeyKeys[3], "1144");
    ASSERT_TRUE(Accept(hotkeys));
    EXPECT_EQ(File(), saved);
    auto held = [] { return Held(MOD_CONTROL | MOD_ALT, 'A') + Held(MOD_CONTROL, VK_DELETE) + Held(MOD_SHIFT, VK_F9); };
    EXPECT_EQ(held(), 3);

    hotkeys = Open(kHotkeys);
    EXPECT_EQ(hotkeys.Title(), kHotkeys.caption);
    EXPECT_EQ(Hotkeys(hotkeys), (std::vector<WORD>{0, kCtrlAltA, ctrlDelete, kShiftF9, 0}));
    // A second request only brings the dialog forward: the hotkeys stay free.
    ASSERT_TRUE(PostCommand(kHotkeys.command));
    EXPECT_TRUE(HoldsFor([&] { return OwnedDialogs(main_).size() == 1 && held() == 0; }, 1000));
    hotkeys.SetHotkey(1039, 0xFF41);  // flag bits that no key press makes
    EXPECT_EQ(hotkeys.Title(), Marked(kHotkeys));
    hotkeys.SetHotkey(1035, 0xF000);
    hotkeys.SetHotkey(1035, 0);
    hotkeys.SetHotkey(1039, 0);
    EXPECT_EQ(hotkeys.Title(), kHotkeys.caption);
    // Cancel ends at once, without a question, and the hotkeys are held again.
    hotkeys.Click(IDCANCEL);
    ASSERT_TRUE(hotkeys.WaitGone());
    EXPECT_EQ(File(), saved);
    EXPECT_EQ(held(), 3);

    // A combination given twice is refused by OK and by Yes in the closing
    // question; the dialog stays with its edits and nothing is saved or held.
    hotkeys = Open(kHotkeys);
    hotkeys.SetHotkey(1035, kShiftF9);
    for (bool viaQuestion : {false, true}) {
        SCOPED_TRACE(viaQuestion ? "Yes in the closing question" : "OK");
        if (viaQuestion) {
            hotkeys.CloseBox();
            HWND question = hotkeys.WaitForBox();
            EXPECT_EQ(MessageBoxText(question), kSave);
            PressButton(question, IDYES);
            WaitUntil([&] { return !IsWindow(question); }, 3000);
        } else {
            hotkeys.Click(IDOK);
        }
        HWND warning = hotkeys.WaitForBox();
        ASSERT_NE(warning, nullptr);
        EXPECT_EQ(WindowText(warning), kHotkeys.caption);
        EXPECT_EQ(MessageBoxText(warning), "ホットキーが重複しています。\n異なるホットキーを割り当ててください。");
        PressButton(warning, IDOK);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(warning); }, 3000));
        EXPECT_TRUE(HoldsFor([&] { return hotkeys.ok() && hotkeys.Box() == nullptr; }, 500));
        EXPECT_EQ(hotkeys.Title(), Marked(kHotkeys));
        EXPECT_EQ(hotkeys.Hotkey(1035), kShiftF9);
        EXPECT_EQ(File(), saved);
        EXPECT_EQ(held(), 0);
    }
    // The same key on the extended keyboard is another combination.
    hotkeys.SetHotkey(1035, kShiftF9 | (HOTKEYF_EXT << 8));
    ASSERT_TRUE(Accept(hotkeys));
    EXPECT_EQ(File(), With(saved, kHotkeySection, kHotkeyKeys[0], "3192"));
    EXPECT_EQ(held(), 3);
}

TEST_F(SettingsDialogs, HotkeysThatAnotherProgramHoldsAreNamedAfterOk)
{
    // This process holds Ctrl+Alt+Q and Ctrl+Alt+W.
    ASSERT_TRUE(RegisterHotKey(nullptr, 0x7A31, MOD_CONTROL | MOD_ALT, 'Q'));
    ASSERT_TRUE(RegisterHotKey(nullptr, 0x7A32, MOD_CONTROL | MOD_ALT, 'W'));
    const std::string heading = "次のホットキーは他のプログラムが使用しているため、登録できませんでした。\n\n";
    struct Step {
        int control;
        WORD value;
        const char* key;
        const char* stored;
        const char* listed;  // empty: no message
    };
    // One held, then two, named top to bottom as the dialog shows them; then
    // both let go, and nothing is said.
    const Step steps[] = {
        {1037, MAKEWORD('Q', HOTKEYF_CONTROL | HOTKEYF_ALT), kHotkeyKeys[2], "849", "ウィンドウを元に戻す"},
        {1035, MAKEWORD('W', HOTKEYF_CONTROL | HOTKEYF_ALT), kHotkeyKeys[0], "855",
         "ウィンドウを元に戻す\n非ｱｸﾃｨﾌﾞなｳｨﾝﾄﾞｳを閉じる"},
        {1035, MAKEWORD('W', HOTKEYF_CONTROL | HOTKEYF_ALT), kHotkeyKeys[0], "855", ""},
    };
    std::vector<WORD> before;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.listed);
        if (step.listed[0] == '\0') {
            UnregisterHotKey(nullptr, 0x7A31);
            UnregisterHotKey(nullptr, 0x7A32);
        }
        const std::string saved = With(File(), kHotkeySection, step.key, step.stored);
        Dialog hotkeys = Open(kHotkeys);
        if (before.empty())
            before = Hotkeys(hotkeys);
        hotkeys.SetHotkey(step.control, step.value);
        ASSERT_TRUE(Accept(hotkeys));
        EXPECT_EQ(File(), saved);
        if (step.listed[0] == '\0') {
            EXPECT_TRUE(HoldsFor([&] { return FindOwnedDialog(main_) == nullptr; }, 1000));
            EXPECT_TRUE(Held(MOD_CONTROL | MOD_ALT, 'Q') && Held(MOD_CONTROL | MOD_ALT, 'W'));
            continue;
        }
        HWND box = WaitForOwnedDialog(main_, kHotkeys.caption);
        ASSERT_NE(box, nullptr) << "no message";
        EXPECT_EQ(MessageBoxText(box), heading + step.listed);
        EXPECT_TRUE(GetDlgItem(box, IDOK) && !GetDlgItem(box, IDCANCEL));
        PressButton(box, IDOK);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 3000));
    }
    // The hotkeys as the cases before left them.
    Dialog hotkeys = Open(kHotkeys);
    for (int i = 0; i < 5; ++i)
        hotkeys.SetHotkey(kHotkeyControls[i], before[i]);
    EXPECT_TRUE(Accept(hotkeys));
}

TEST_F(SettingsDialogs, ClosingAsksWhenChangedAndASecondRequestBringsTheDialogForward)
{
    TestWindows windows({"normal:w"});
    ASSERT_TRUE(windows.ok());
    SetCursorPos(500, 400);
    for (const Kind* kind : kKinds) {
        SCOPED_TRACE(kind->caption);
        const std::string before = File();
        Dialog dialog = Open(*kind);
        // The dialog comes forward once its modal loop shows it; only then
        // can another window take the foreground from it.
        ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == dialog.window(); }, 3000));
        ASSERT_TRUE(HandForeground(windows.Find("w")));
        ASSERT_TRUE(PostCommand(kind->command));
        EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == dialog.window(); }, 3000));
        EXPECT_EQ(OwnedDialogs(main_).size(), 1u);

        ASSERT_TRUE(kind->change(dialog));
        EXPECT_EQ(dialog.Title(), Marked(*kind));
        dialog.CloseBox();
        HWND question = dialog.WaitForBox();
        ASSERT_NE(question, nullptr);
        EXPECT_EQ(WindowText(question), kind->caption);
        EXPECT_EQ(MessageBoxText(question), kind->question);
        // Another close request while the question is up asks nothing more.
        PostMessageA(dialog.window(), WM_CLOSE, 0, 0);
        EXPECT_TRUE(HoldsFor([&] { return OwnedDialogs(dialog.window()) == std::vector<HWND>{question}; }, 500));
        // Cancel keeps the dialog and its change.
        PressButton(question, IDCANCEL);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(question); }, 3000));
        EXPECT_TRUE(HoldsFor([&] { return dialog.ok() && dialog.Box() == nullptr; }, 500));
        EXPECT_EQ(dialog.Title(), Marked(*kind));
        // No acts as Cancel, Yes as OK.
        for (int answer : {IDNO, IDYES}) {
            if (answer == IDYES) {
                dialog = Open(*kind);
                EXPECT_EQ(dialog.Title(), kind->caption);
                ASSERT_TRUE(kind->change(dialog));
            }
            dialog.CloseBox();
            ASSERT_NE(question = dialog.WaitForBox(), nullptr);
            PressButton(question, answer);
            ASSERT_TRUE(dialog.WaitGone());
            EXPECT_EQ(File(), answer == IDNO ? before : With(before, kind->section, kind->key, kind->value));
        }
    }
}

TEST_F(SettingsDialogs, MainWindowKeepsWorkingWhileADialogIsOpen)
{
    const std::string before = File();
    TestWindows windows({"normal:a"});
    ASSERT_TRUE(windows.ok());
    Dialog targets = Open(kTargets);
    Send(IDM_MAXIMIZE_WINDOWS);  // maximize
    EXPECT_EQ(WaitForState(windows.Find("a"), kMaximized), kMaximized);
    Send(IDM_CLOSE_MAXIMIZED);  // the menu item that switches closing maximized windows
    EXPECT_EQ(File(), With(before, kMain, kTargetKeys[1], "0"));
    Dialog tray = Open(kTray);
    tray.Click(IDCANCEL);
    EXPECT_TRUE(tray.WaitGone());
    // OK saves the boxes as they are, over the switched flag.
    ASSERT_TRUE(Accept(targets));
    EXPECT_EQ(File(), before);
}

TEST_F(SettingsDialogs, TrayIconDialogAddsAndRemovesIconsButRefusesNone)
{
    const std::string before = File();
    const size_t calls = taskbar_->CallCount();
    Dialog tray = Open(kTray);
    EXPECT_EQ(Boxes(tray, kTrayBoxes, 4), "1010");
    ASSERT_TRUE(SetBoxes(tray, kTrayBoxes, "0000"));
    // With every box clear, neither OK nor Yes in the closing question ends the dialog.
    tray.Click(IDOK);
    EXPECT_TRUE(HoldsFor([&] { return tray.ok() && tray.Box() == nullptr; }, 500));
    tray.CloseBox();
    HWND question = tray.WaitForBox();
    PressButton(question, IDYES);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(question); }, 3000));
    EXPECT_TRUE(HoldsFor([&] { return tray.ok() && tray.Box() == nullptr; }, 500));
    EXPECT_EQ(tray.Title(), Marked(kTray));
    EXPECT_EQ(File(), before);
    EXPECT_EQ(taskbar_->CallCount(), calls);

    ASSERT_TRUE(tray.SetCheck(1010, true));
    ASSERT_TRUE(Accept(tray));
    // The icons come and go before the file is written, in the order minimize to close.
    EXPECT_TRUE(WaitUntil([&] { return File() == WithFlags(before, kTrayKeys, "0100"); }, 3000)) << File();
    std::vector<TrayCall> got = taskbar_->Calls();
    std::vector<std::pair<DWORD, UINT>> expected = {{NIM_DELETE, 3}, {NIM_ADD, 2}, {NIM_DELETE, 1}}, requests;
    for (size_t i = calls; i < got.size(); ++i)
        requests.emplace_back(got[i].code, got[i].id);
    EXPECT_EQ(requests, expected);
}

TEST_F(SettingsDialogs, TargetDialogSavesTheNineKeysAndTheActionsFollow)
{
    const std::string before = File();
    TestWindows windows({"countclose:k"});
    ASSERT_TRUE(windows.ok());
    Dialog targets = Open(kTargets);
    EXPECT_EQ(Boxes(targets, kTargetBoxes, 9), "111101010");
    ASSERT_TRUE(targets.SetCheck(1020, true));
    EXPECT_EQ(targets.Title(), Marked(kTargets));
    ASSERT_TRUE(targets.SetCheck(1020, false));
    EXPECT_EQ(targets.Title(), kTargets.caption);
    // No box checked is a choice too: the close action then touches nothing.
    ASSERT_TRUE(SetBoxes(targets, kTargetBoxes, "000000000"));
    ASSERT_TRUE(Accept(targets));
    EXPECT_EQ(File(), WithFlags(before, kTargetKeys, "000000000"));
    Send(IDM_CLOSE_WINDOWS);
    EXPECT_EQ(WindowText(windows.Find("k")), "k");

    targets = Open(kTargets);
    ASSERT_TRUE(SetBoxes(targets, kTargetBoxes, kTargetDefaults));
    ASSERT_TRUE(Accept(targets));
    EXPECT_EQ(File(), WithFlags(before, kTargetKeys, kTargetDefaults));
    Send(IDM_CLOSE_WINDOWS);
    EXPECT_EQ(WindowText(windows.Find("k")), "k#1");
}

TEST_F(SettingsDialogs, AutoRunDialogPausesThePeriodicActionsWhileOpen)
{
    // Minimize maximized windows only, every second.
    Send(IDM_MINIMIZE_NORMAL);
    Send(IDM_MINIMIZE_MAXIMIZED);
    TestWindows windows({"maximized:m"});
    ASSERT_TRUE(windows.ok());
    HWND m = windows.Find("m");
    Dialog autoRun = Open(kAutoRun);
    EXPECT_EQ(AutoRunRows(autoRun), "off---60 off---30 off---60 off---60 ");
    ASSERT_TRUE(autoRun.SetCheck(1012, true));
    autoRun.SetText(1046, "1");
    const std::string before = With(With(File(), kAutoRunSections[3], "有効", "1"), kAutoRunSections[3], "間隔", "1000");
    ASSERT_TRUE(Accept(autoRun));
    EXPECT_EQ(File(), before);
    EXPECT_EQ(WaitForState(m, kMinimized, 5000), kMinimized);

    autoRun = Open(kAutoRun);
    EXPECT_EQ(autoRun.Title(), kAutoRun.caption);
    // Neither the open dialog nor a second request for it lets the timer run.
    ShowWindow(m, SW_RESTORE);  // back to maximized
    ASSERT_EQ(WaitForState(m, kMaximized), kMaximized);
    ASSERT_TRUE(PostCommand(kAutoRun.command));
    EXPECT_TRUE(HoldsFor([&] { return StateOf(m) == kMaximized && OwnedDialogs(main_).size() == 1; }, 2500));
    // A check box switches its row and the marker.
    for (bool on : {true, false}) {
        ASSERT_TRUE(autoRun.SetCheck(1042, on));
        EXPECT_EQ(autoRun.Title(), on ? Marked(kAutoRun) : kAutoRun.caption);
        EXPECT_EQ(AutoRunRows(autoRun), (on ? "on+++60" : "off---60") + std::string(" off---30 off---60 on+++1 "));
    }
    autoRun.Click(IDCANCEL);
    ASSERT_TRUE(autoRun.WaitGone());
    EXPECT_EQ(File(), before);
    EXPECT_EQ(WaitForState(m, kMinimized, 5000), kMinimized);
}

TEST_F(SettingsDialogs, AutoRunSecondsAreStoredAsMillisecondsWithinRange)
{
    struct Round {
        const char* typed[4];
        const char* on;
        const char* stored[4];
    };
    const Round rounds[] = {
        {{"1,500", "-5", "abc", "2"}, "1000", {"1500000", "0", "0", "2000"}},
        {{"99999999999999999999", "-99,999,999,999", "3000000", "1"}, "0000", {"2147483000", "0", "2147483000", "1000"}},
        {{"", "2147483", "32,767", "1"}, "0001", {"0", "2147483000", "32767000", "1000"}},
    };
    for (const Round& round : rounds) {
        SCOPED_TRACE(round.typed[0]);
        std::string expected = File();
        Dialog autoRun = Open(kAutoRun);
        // The up-down shows 1500 seconds as "1,500": no change.
        if (&round == &rounds[1]) {
            EXPECT_EQ(autoRun.Title(), kAutoRun.caption);
        }
        for (int row = 0; row < 4; ++row) {
            ASSERT_TRUE(autoRun.SetCheck(kAutoRunRows[row][0], round.on[row] == '1'));
            autoRun.SetText(kAutoRunRows[row][1], round.typed[row]);
            expected = With(With(expected, kAutoRunSections[row], "有効", std::string(1, round.on[row])),
                            kAutoRunSections[row], "間隔", round.stored[row]);
        }
        ASSERT_TRUE(Accept(autoRun));
        EXPECT_EQ(File(), expected);
    }
    // The periodic actions run again, with their new periods.
    TestWindows windows({"maximized:m"});
    ASSERT_TRUE(windows.ok());
    EXPECT_EQ(WaitForState(windows.Find("m"), kMinimized, 5000), kMinimized);
}

TEST_F(SettingsDialogs, AFailedSaveIsSaidOnceAndTheNewSettingsStayInEffect)
{
    const std::string before = File();
    const auto warning = [] { return FindProcessWindow(process_.id, "#32770", "Tidewell"); };
    // Another program holds the settings file open without sharing it.
    HANDLE held = CreateFileA(copy_->ini.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    Dialog targets = Open(kTargets);
    std::string flags = Boxes(targets, kTargetBoxes, 9);
    flags[2] = flags[2] == '1' ? '0' : '1';
    ASSERT_TRUE(SetBoxes(targets, kTargetBoxes, flags));
    targets.Click(IDOK);
    ASSERT_TRUE(WaitUntil([&] { return warning() != nullptr; }, 5000)) << "no warning";
    HWND box = warning();
    std::string path = copy_->ini;  // as the program names it: in lower case
    CharLowerA(&path[0]);
    EXPECT_EQ(MessageBoxText(box), "設定を保存できませんでした。\n" + path);
    EXPECT_TRUE(GetDlgItem(box, IDOK) && !GetDlgItem(box, IDCANCEL) && !GetDlgItem(box, IDNO));
    PressButton(box, IDOK);
    EXPECT_TRUE(WaitUntil([&] { return warning() == nullptr; }, 5000));
    EXPECT_TRUE(targets.WaitGone());
    // The new flag is in effect: the dialog shows it.
    targets = Open(kTargets);
    EXPECT_EQ(Boxes(targets, kTargetBoxes, 9), flags);
    targets.Click(IDCANCEL);
    ASSERT_TRUE(targets.WaitGone());

    // A second failure, from a menu toggle, says nothing.
    flags[2] = flags[2] == '1' ? '0' : '1';
    Send(IDM_CLOSE_MINIMIZED);
    EXPECT_TRUE(HoldsFor([&] { return warning() == nullptr; }, 1000));
    CloseHandle(held);
    EXPECT_EQ(File(), before);
    // Once the file is free, a toggle writes the target keys without a word.
    flags[2] = flags[2] == '1' ? '0' : '1';
    Send(IDM_CLOSE_MINIMIZED);
    EXPECT_EQ(File(), WithFlags(before, kTargetKeys, flags));
    EXPECT_TRUE(HoldsFor([&] { return warning() == nullptr; }, 1000));
}

TEST_F(SettingsDialogs, ExclusionDialogAddsTypedAndOpenProgramsAndTheActionsSkipThemAtOnce)
{
    // The closing-question case left notepad.exe in the list, as the last section.
    const std::string before = File(), others = before.substr(0, before.find(Header(kExclusionSection)));
    ASSERT_EQ(before, others + Header(kExclusionSection) + Line("1", "notepad.exe"));
    // A visible window of this program, below testwin's two: the programs come
    // out of the window list in an order that is not sorted by name.
    HWND own = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 1, 1, nullptr, nullptr,
                               nullptr, nullptr);
    TestWindows windows({"maximized:m", "normal:n"});
    ASSERT_TRUE(windows.ok());
    HWND m = windows.Find("m");
    // The cases before left the periodic minimize of maximized windows on, every second.
    EXPECT_EQ(WaitForState(m, kMinimized, 5000), kMinimized);

    Dialog dialog = Open(kExclusions);
    EXPECT_EQ(Listed(dialog), Names{"notepad.exe"});
    const Names programs = OpenPrograms(dialog);
    for (const char* program : {"dialogs_tests.exe", "testwin.exe"})
        EXPECT_EQ(std::count(programs.begin(), programs.end(), program), 1) << testing::PrintToString(programs);
    for (size_t i = 1; i < programs.size(); ++i) {
        EXPECT_EQ(CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, programs[i - 1].c_str(), -1,
                                 programs[i].c_str(), -1), CSTR_LESS_THAN) << programs[i];
    }
    // Refused with a beep alone, the name staying in the edit.
    for (const char* name : {"NOTEPAD.EXE", "", "bin\\tool.exe", "a/b.exe", "c:tool.exe"}) {
        EXPECT_FALSE(AddName(dialog, name)) << name;
        EXPECT_EQ(dialog.Text(kExclusionName), name);
    }
    EXPECT_EQ(dialog.Box(), nullptr);
    EXPECT_EQ(dialog.Title(), kExclusions.caption);
    // Enter in the edit adds the name instead of ending the dialog. The second
    // byte of 表 has a backslash's value.
    dialog.SetText(kExclusionName, "表.exe");
    SendAndWait(dialog.window(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(dialog.Item(kExclusionName)), TRUE);
    PostMessageA(dialog.Item(kExclusionName), WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_TRUE(WaitUntil([&] { return Listed(dialog) == Names{"notepad.exe", "表.exe"}; }, 3000));
    EXPECT_EQ(dialog.Text(kExclusionName), "");
    EXPECT_EQ(dialog.Title(), Marked(kExclusions));
    // Back to the stored list, the marker goes.
    SendAndWait(dialog.Item(kExclusionList), LB_SETCURSEL, 1);
    Press(dialog, kRemoveButton);
    EXPECT_EQ(dialog.Title(), kExclusions.caption);
    // A program chosen in the drop-down goes into the edit, and from there to the list.
    const size_t chosen = std::find(programs.begin(), programs.end(), "testwin.exe") - programs.begin();
    SendAndWait(dialog.Item(kOpenPrograms), CB_SETCURSEL, chosen);
    SendAndWait(dialog.window(), WM_COMMAND, MAKEWPARAM(kOpenPrograms, CBN_SELCHANGE),
                reinterpret_cast<LPARAM>(dialog.Item(kOpenPrograms)));
    EXPECT_EQ(dialog.Text(kExclusionName), "testwin.exe");
    Press(dialog, kAddButton);
    // Removing the first entry selects the one that took its place.
    SendAndWait(dialog.Item(kExclusionList), LB_SETCURSEL, 0);
    Press(dialog, kRemoveButton);
    EXPECT_EQ(SendAndWait(dialog.Item(kExclusionList), LB_GETCURSEL), 0);
    EXPECT_TRUE(AddName(dialog, "表.exe"));
    EXPECT_EQ(Listed(dialog), (Names{"testwin.exe", "表.exe"}));
    ASSERT_TRUE(Accept(dialog));
    const std::string saved = others + Header(kExclusionSection) + Line("1", "testwin.exe") + Line("2", "表.exe");
    EXPECT_EQ(File(), saved);

    // Neither the minimize command nor the periodic one touches testwin.exe now.
    ShowWindow(m, SW_RESTORE);  // back to maximized
    ASSERT_EQ(WaitForState(m, kMaximized), kMaximized);
    Send(IDM_MINIMIZE_WINDOWS);
    EXPECT_TRUE(HoldsFor([&] { return StateOf(m) == kMaximized; }, 2500));

    // A full list takes no more; Cancel writes nothing.
    dialog = Open(kExclusions);
    for (size_t i = Listed(dialog).size(); i < 64; ++i)
        ASSERT_TRUE(AddName(dialog, "p" + std::to_string(i) + ".exe"));
    EXPECT_FALSE(AddName(dialog, "more.exe"));
    EXPECT_EQ(dialog.Text(kExclusionName), "more.exe");
    dialog.Click(IDCANCEL);
    ASSERT_TRUE(dialog.WaitGone());
    EXPECT_EQ(File(), saved);
    DestroyWindow(own);
}

}  // namespace
