// End-to-end tests of the about box: the resident program runs for real, its
// box is opened by the command and from the tray menu, read from outside and
// worked with the real mouse on the X display. The free-resources line comes
// from a stand-in rsrc32.dll, the link opens a stand-in browser, and copies of
// the program carry other version blocks. The built program's own block holds
// the version set in CMake's project() (TIDEWELL_VERSION).
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <string>
#include <vector>

#include "dialog_driver.h"
#include "harness.h"
#include "standin_taskbar.h"
#include "resources/resource_ids.h"

namespace {

const UINT kAbout = IDM_ABOUT;
const char kSite[] = "https://tidewell.example.org/support/";
const char kFree42[] = "システムリソース： 42 ％使用可能";
const char kFree100[] = "システムリソース： 100 ％使用可能";  // 33 bytes, the longest
// As in the dialog tests, Wine manages no window of the copies' name, so that
// a box that ends is hidden at once.
const char kExeName[] = "tidewell-about.exe";
const char kUnmanagedKey[] = "Software\\Wine\\AppDefaults\\tidewell-about.exe\\X11 Driver";
// Wine's ShellExecuteA runs the command of the address's scheme under
// HKEY_CLASSES_ROOT, which is HKLM\Software\Classes alone: HKCU's classes are not read.
const char kHttpsCommandKey[] = "Software\\Classes\\https\\shell\\open\\command";

// The stand-in rsrc32.dll: in a folder, and in the system folder (of this
// process's bitness, which is the program's) while a SystemLibrary lives.
std::string LibraryIn(const std::string& folder) { return folder + "\\rsrc32.dll"; }
bool PutLibrary(const std::string& folder)
{
    return CopyFileA((BinaryDir() + "\\fake_rsrc32\\rsrc32.dll").c_str(), LibraryIn(folder).c_str(), FALSE);
}
std::string SystemFolder()
{
    char folder[MAX_PATH] = "";
    GetSystemDirectoryA(folder, MAX_PATH);
    return folder;
}
struct SystemLibrary {
    bool ok = PutLibrary(SystemFolder());
    ~SystemLibrary() { DeleteFileA(LibraryIn(SystemFolder()).c_str()); }
};

// Programs started from now on have the library answer from and log to this folder.
void UseLibraryFolder(const std::string& folder, int free)
{
    SetEnvironmentVariableA("TIDEWELL_FAKE_RSRC32", folder.c_str());
    WritePrivateProfileStringA("rsrc32", "free", std::to_string(free).c_str(), (folder + "\\rsrc32.ini").c_str());
}

// A resident copy of the program, ended by the destructor.
struct Resident {
    explicit Resident(const ProgramCopy& copy, const std::string& folder = std::string())
    {
        UseLibraryFolder(copy.dir, 42);
        main = StartResident(copy, &process, 15000, folder);
        WaitUntil([&] { return !main || GetPriorityClass(process.handle) == IDLE_PRIORITY_CLASS; }, 10000);
    }
    ~Resident()
    {
        PostMessageA(main, WM_CLOSE, 0, 0);
        DWORD exitCode = 0;
        if (!WaitProcess(process, 10000, &exitCode))
            KillProcess(process);
    }
    Process process;
    HWND main = nullptr;
};

// ---- the box as the user sees it ---------------------------------------------

Dialog OpenAt(POINT cursor)
{
    SetCursorPos(cursor.x, cursor.y);
    Dialog box = Dialog::Open(kAbout, std::string());
    EXPECT_TRUE(box.ok()) << "the about box did not open";
    return box;
}

RECT Rect(HWND window)
{
    RECT rect = {0, 0, 0, 0};
    GetWindowRect(window, &rect);
    return rect;
}

// The box's font as the dialog manager makes it, the dialog units it gives, and
// the box's window size as its template gives it, before the lines widen it.
struct DialogFont {
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT font = CreateFontA(-MulDiv(9, GetDeviceCaps(dc, LOGPIXELSY), 72), 0, 0, 0, 0, 0, 0, 0, DEFAULT_CHARSET, 0,
                             0, PROOF_QUALITY, 0, "ＭＳ Ｐゴシック");
    HGDIOBJ old = SelectObject(dc, font);
    ~DialogFont() { SelectObject(dc, old), DeleteObject(font), DeleteDC(dc); }
    int Width(const std::string& text) const
    {
        SIZE size = {0, 0};
        GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &size);
        return size.cx;
    }
    int X(int units) const
    {
        return MulDiv(units, (Width("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") / 26 + 1) / 2, 4);
    }
    int Y(int units) const
    {
        TEXTMETRICA metrics;
        GetTextMetricsA(dc, &metrics);
        return MulDiv(units, metrics.tmHeight, 8);
    }
    SIZE Initial(HWND box) const
    {
        RECT rect = {0, 0, X(38), Y(56)};
        AdjustWindowRectEx(&rect, GetWindowLongA(box, GWL_STYLE), FALSE, GetWindowLongA(box, GWL_EXSTYLE));
        return {rect.right - rect.left, rect.bottom - rect.top};
    }
};

// Each text line exactly as wide as its text but never below its first width,
// the box wider by the largest growth and no taller, OK centred again.
void ExpectFitted(const Dialog& box)
{
    DialogFont font;
    const RECT ok = Rect(box.Item(IDOK)), rect = Rect(box.window());
    RECT client;
    GetClientRect(box.window(), &client);
    MapWindowPoints(box.window(), nullptr, reinterpret_cast<POINT*>(&client), 2);
    ASSERT_EQ(ok.right - ok.left, font.X(45)) << "the test's dialog units are not the box's";
    ASSERT_EQ(ok.bottom - ok.top, font.Y(14)) << "the test's dialog units are not the box's";
    int largest = 0;
    for (int id : {101, 102, 103}) {
        const RECT line = Rect(box.Item(id));
        EXPECT_EQ(line.right - line.left, std::max(font.X(1), font.Width(box.Text(id)))) << "line " << id;
        EXPECT_LE(line.right, client.right) << "line " << id;
        largest = std::max(largest, static_cast<int>(line.right - line.left) - font.X(1));
    }
    EXPECT_EQ(rect.right - rect.left, font.Initial(box.window()).cx + largest);
    EXPECT_EQ(rect.bottom - rect.top, font.Initial(box.window()).cy);
    EXPECT_NEAR(ok.left - rect.left, (rect.right - rect.left - (ok.right - ok.left)) / 2, 1);
}

// The controls in their order: id, class and style of each.
std::string Controls(HWND box)
{
    std::string list;
    for (HWND control = GetWindow(box, GW_CHILD); control != nullptr; control = GetWindow(control, GW_HWNDNEXT)) {
        char line[80], className[32] = "";
        GetClassNameA(control, className, sizeof className);
        std::snprintf(line, sizeof line, "%d %s %08lX; ", GetDlgCtrlID(control), className,
                      static_cast<unsigned long>(GetWindowLongA(control, GWL_STYLE)));
        list += line;
    }
    return list;
}

// The label on the screen: its text "blue", "red", "both" or "none", with
// "+frame" while the gray frame of a press is drawn.
std::string Look(HWND label)
{
    const RECT rect = Rect(label);
    const std::vector<DWORD> pixels = ScreenPixels(rect);
    const auto count = [&](DWORD colour) { return std::count(pixels.begin(), pixels.end(), colour); };
    const bool blue = count(0x0000FF) > 0, red = count(0xFF0000) > 0;
    return std::string(blue && red ? "both" : blue ? "blue" : red ? "red" : "none") +
           (count(0x808080) >= rect.bottom - rect.top ? "+frame" : "");
}

// What the cases of a suite share: no window of the copies' name managed by
// Wine, a taskbar for the icon, and one resident copy of the program, started in
// a folder of its own beside its executable's, with the stand-in browser.
struct Session {
    RegistryValue unmanaged{HKEY_CURRENT_USER, kUnmanagedKey, "Managed", "N"};
    StandinTaskbar taskbar;
    ProgramCopy copy{kExeName};
    std::string folder = copy.dir + "\\work", opened = copy.dir + "\\opened.txt";
    bool folderMade = CreateDirectoryA(folder.c_str(), nullptr) != FALSE;
    RegistryValue browser{HKEY_LOCAL_MACHINE, kHttpsCommandKey, "",
                          "\"" + BinaryDir() + "\\url_recorder.exe\" \"" + opened + "\" \"%1\""};
    Resident resident{copy, folder};
};

class AboutBox : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        DeleteFileA(LibraryIn(SystemFolder()).c_str());  // left by a run that was cut short
        session_ = new Session;
        main_ = session_->resident.main;
    }
    static void TearDownTestSuite() { delete session_; }
    void SetUp() override
    {
        DWORD owner = 0;
        ASSERT_TRUE(session_->taskbar.ok() && session_->folderMade);
        ASSERT_NE(main_, nullptr);
        ASSERT_EQ(main_, FindMainWindow()) << "the resident program has ended";
        ASSERT_TRUE(GetWindowThreadProcessId(main_, &owner) && owner == session_->resident.process.id)
            << "another Tidewell was running";
    }
    void TearDown() override
    {
        if (HWND open = FindOwnedDialog(main_)) {
            ADD_FAILURE() << "an about box was left open";
            PostMessageA(open, WM_COMMAND, IDCANCEL, 0);
            WaitUntil([&] { return !IsWindow(open); }, 3000);
        }
    }
    static Session* session_;
    static HWND main_;
};
Session* AboutBox::session_ = nullptr;
HWND AboutBox::main_ = nullptr;

TEST_F(AboutBox, CommandAndTrayItemOpenOneBoxAtTheCursorShowingTheVersionBlockOnFittedLines)
{
    const std::string name = VersionString(session_->copy.exe, "ProductName");
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    Dialog box = OpenAt({500, 400});
    ASSERT_TRUE(box.ok());
    EXPECT_EQ(box.Title(), name + " について");
    EXPECT_EQ(box.Text(101), name + " ver. " + VersionString(session_->copy.exe, "ProductVersion"));
    EXPECT_EQ(box.Text(102), kSite);
    EXPECT_EQ(box.Text(103), "");  // no rsrc32.dll in the system folder
    EXPECT_EQ(box.Text(IDOK), "OK");
    // A popup with a caption and a close box (Wine adds the clipping of
    // siblings and the 3D look, but no help button).
    EXPECT_EQ(GetWindowLongA(box.window(), GWL_STYLE) & ~(WS_CLIPSIBLINGS | DS_3DLOOK),
              WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_CONTEXTHELP | DS_MODALFRAME | DS_SETFONT | DS_SYSMODAL);
    EXPECT_EQ(Controls(box.window()), "100 Static 50000003; 101 Static 50000000; 102 Static 50000000; "
                                      "103 Static 50000000; 1 Button 50020001; ");
    EXPECT_NE(SendAndWait(box.Item(100), STM_GETICON), 0);
    ExpectFitted(box);
    // Centred on the cursor as the template's size was, before the widening.
    const SIZE initial = DialogFont().Initial(box.window());
    EXPECT_EQ(Rect(box.window()).left, 500 - initial.cx / 2);
    EXPECT_EQ(Rect(box.window()).top, 400 - initial.cy / 2);
    // The background moves the box like its caption; OK keeps the mouse.
    POINT background = {2, 2}, onOk = {2, 2};
    ClientToScreen(box.window(), &background);
    ClientToScreen(box.Item(IDOK), &onOk);
    EXPECT_EQ(SendAndWait(box.window(), WM_NCHITTEST, 0, MAKELPARAM(background.x, background.y)), HTCAPTION);
    EXPECT_EQ(SendAndWait(box.Item(IDOK), WM_NCHITTEST, 0, MAKELPARAM(onOk.x, onOk.y)), HTCLIENT);

    // A second request brings the box forward and makes no second one.
    TestWindows windows({"normal:w"});
    ASSERT_TRUE(windows.ok());
    ASSERT_TRUE(HandForeground(windows.Find("w")));
    ASSERT_TRUE(PostCommand(kAbout));
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == box.window(); }, 3000));
    EXPECT_TRUE(HoldsFor([&] { return OwnedDialogs(main_) == std::vector<HWND>{box.window()}; }, 500));
    PostMessageA(box.window(), WM_KEYDOWN, VK_ESCAPE, 1);
    EXPECT_TRUE(box.WaitGone()) << "Esc did not end the box";

    // The tray menu's item, at the bottom-right corner: the template's size
    // fits the work area there.
    SetCursorPos(work.right - 1, work.bottom - 1);
    SendAndWait(main_, WM_APP + 1, 1, WM_RBUTTONUP);
    PostMessageA(main_, WM_KEYDOWN, 'A', 1);  // "About(&A)"
    box = Dialog(WaitForOwnedDialog(main_));
    ASSERT_TRUE(box.ok()) << "the tray menu's item did not open the box";
    EXPECT_EQ(box.Title(), name + " について");
    EXPECT_EQ(Rect(box.window()).left, work.right - initial.cx);
    EXPECT_EQ(Rect(box.window()).top, work.bottom - initial.cy);
    box.CloseBox();
    EXPECT_TRUE(box.WaitGone()) << "the close box did not end the box";

    box = OpenAt({work.left, work.top});
    EXPECT_EQ(Rect(box.window()).left, work.left);
    EXPECT_EQ(Rect(box.window()).top, work.top);
    box.Click(IDOK);
    EXPECT_TRUE(box.WaitGone()) << "OK did not end the box";
}

TEST_F(AboutBox, FreeResourcesLineComesFromTheSystemFoldersLibraryOnly)
{
    const std::string log = session_->copy.dir + "\\rsrc32.log";
    ASSERT_EQ(GetFileAttributesA(LibraryIn(SystemFolder()).c_str()), INVALID_FILE_ATTRIBUTES);
    ASSERT_TRUE(PutLibrary(session_->copy.dir) && PutLibrary(session_->folder));
    Dialog box = OpenAt({500, 400});
    EXPECT_EQ(box.Text(103), "");
    box.Click(IDOK);
    ASSERT_TRUE(box.WaitGone());
    EXPECT_EQ(ReadFileBytes(log), "") << "loaded from beside the program or from its current folder";
    DeleteFileA(LibraryIn(session_->copy.dir).c_str());
    DeleteFileA(LibraryIn(session_->folder).c_str());

    SystemLibrary library;
    ASSERT_TRUE(library.ok);
    // A value the library should never give is cut on a character boundary.
    const char kFreeLowest[] = "システムリソース： -2147483648 ％";
    for (int free : {42, 100, INT_MIN}) {
        UseLibraryFolder(session_->copy.dir, free);
        box = OpenAt({500, 400});
        EXPECT_EQ(box.Text(103), free == 42 ? kFree42 : free == 100 ? kFree100 : kFreeLowest);
        ExpectFitted(box);
        box.Click(IDOK);
        ASSERT_TRUE(box.WaitGone());
    }
    // Loaded for each opening, and asked for the system's value only.
    EXPECT_EQ(ReadFileBytes(log), "load\r\nquery 0\r\nload\r\nquery 0\r\nload\r\nquery 0\r\n");
}

TEST_F(AboutBox, LinkWithTheRealMouseTurnsRedShowsTheHandAndOpensTheSiteOnAClickInside)
{
    const std::string xdotool = HostXdotool();
    if (xdotool.empty())
        GTEST_SKIP() << "xdotool is not installed on the host";
    // Wine gives no handle of a host process: each step waits for its effect.
    const auto mouse = [&](const std::string& actions) { StartHostProgram(xdotool, "xdotool " + actions); };
    const auto moveTo = [&](POINT at) {
        mouse("mousemove " + std::to_string(at.x) + " " + std::to_string(at.y));
        return WaitUntil([&] { POINT p; return GetCursorPos(&p) && p.x == at.x && p.y == at.y; }, 5000);
    };
    const auto captured = [](HWND window) {
        GUITHREADINFO info = {sizeof info, 0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, {0, 0, 0, 0}};
        return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) && info.hwndCapture != nullptr;
    };
    const auto cursor = [] {
        CURSORINFO info = {sizeof info, 0, nullptr, {0, 0}};
        return GetCursorInfo(&info) && (info.flags & CURSOR_SHOWING) ? info.hCursor : nullptr;
    };
    Dialog box = OpenAt({500, 400});
    ASSERT_TRUE(box.ok());
    HWND link = box.Item(102);
    RECT rect = Rect(link);
    const RECT ok = Rect(box.Item(IDOK));
    const POINT inside = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    const POINT background = {ok.left - 6, (ok.top + ok.bottom) / 2}, outside = {rect.right + 60, inside.y + 80};

    ASSERT_TRUE(moveTo(background));
    EXPECT_EQ(Look(link), "blue");
    const HCURSOR arrow = cursor();
    // Over the label: red text, the hand and the tooltip.
    ASSERT_TRUE(moveTo(inside));
    EXPECT_TRUE(WaitUntil([&] { return Look(link) == "red"; }, 3000)) << Look(link);
    EXPECT_NE(cursor(), arrow);
    const std::string hand = HostPointerPicture(session_->copy.dir);
    if (hand.compare(0, 12, "unavailable:") == 0) {
        std::printf("The pointer's picture is not checked: %s\n", hand.c_str());
    } else {
        EXPECT_EQ(hand.substr(0, hand.find('\n')), "32x32 hot 7,0");
        EXPECT_EQ(hand.find('?'), std::string::npos) << "not black and white:\n" << hand;
        EXPECT_EQ(hand.substr(hand.find('\n') + 1, 33), "......##........................\n")
            << "the fingertip is not at the hot spot:\n" << hand;
    }
    HWND tooltip = nullptr;
    EXPECT_TRUE(WaitUntil([&] {
        do
            tooltip = FindWindowExA(nullptr, tooltip, "tooltips_class32", nullptr);
        while (tooltip != nullptr && GetWindow(tooltip, GW_OWNER) != box.window());
        return tooltip != nullptr && IsWindowVisible(tooltip);
    }, 5000));
    EXPECT_EQ(WindowText(tooltip), "サポートサイトへ");

    // A press shows the frame; moving out takes the red away, and the release
    // outside opens nothing.
    mouse("mousedown 1");
    EXPECT_TRUE(WaitUntil([&] { return Look(link) == "red+frame"; }, 3000)) << Look(link);
    ASSERT_TRUE(moveTo(outside));
    EXPECT_TRUE(WaitUntil([&] { return Look(link) == "blue"; }, 3000)) << Look(link);
    mouse("mouseup 1");
    EXPECT_TRUE(WaitUntil([&] { return !captured(box.window()); }, 3000));
    EXPECT_TRUE(HoldsFor([&] { return box.ok(); }, 1000)) << "the release outside ended the box";
    ASSERT_TRUE(moveTo(background));
    EXPECT_TRUE(WaitUntil([&] { return cursor() == arrow; }, 3000)) << "the hand stayed off the label";

    // The background drags the box.
    rect = Rect(box.window());
    mouse("mousedown 1");
    ASSERT_TRUE(WaitUntil([&] { return captured(box.window()); }, 3000));
    ASSERT_TRUE(moveTo({background.x + 40, background.y + 30}));
    mouse("mouseup 1");
    EXPECT_TRUE(WaitUntil([&] { return !captured(box.window()); }, 3000));
    EXPECT_EQ(Rect(box.window()).left - rect.left, 40);
    EXPECT_EQ(Rect(box.window()).top - rect.top, 30);

    // A click inside opens the address once, with the shell's browser, and ends the box.
    rect = Rect(link);
    ASSERT_TRUE(moveTo({(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}));
    mouse("click 1");
    EXPECT_TRUE(box.WaitGone());
    EXPECT_TRUE(WaitUntil([] { return ReadFileBytes(session_->opened) == std::string(kSite) + "\n"; }, 10000))
        << ReadFileBytes(session_->opened);
}

// The block the box shows: its texts and its fixed numbers (the fourth is 0)
// are the version CMake's project() sets.
TEST(AboutBoxVersionBlock, BuiltProgramCarriesTheProjectVersion)
{
    const std::string exe = BinaryDir() + "\\tidewell.exe";
    EXPECT_EQ(VersionString(exe, "FileVersion"), TIDEWELL_VERSION);
    EXPECT_EQ(VersionString(exe, "ProductVersion"), TIDEWELL_VERSION);
    DWORD handle = 0, size = GetFileVersionInfoSizeA(exe.c_str(), &handle);
    std::vector<char> block(size + 1);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(size != 0 && GetFileVersionInfoA(exe.c_str(), 0, size, block.data()) &&
                VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length) &&
                length >= sizeof *fixed);
    const auto numbers = [](DWORD ms, DWORD ls) {
        char text[48];
        std::snprintf(text, sizeof text, "%u.%u.%u.%u", HIWORD(ms), LOWORD(ms), HIWORD(ls), LOWORD(ls));
        return std::string(text);
    };
    EXPECT_EQ(numbers(fixed->dwFileVersionMS, fixed->dwFileVersionLS), TIDEWELL_VERSION ".0");
    EXPECT_EQ(numbers(fixed->dwProductVersionMS, fixed->dwProductVersionLS), TIDEWELL_VERSION ".0");
}

// Copies of the program with other version blocks, one resident at a time.
TEST(AboutBoxVersionBlock, TitleAndNameLineFollowTheBlockAndStayEmptyWithoutOne)
{
    struct Case {
        const char* trace;
        std::string block, title, line;
    };
    const std::string description = "ウィンドウを片付ける試験用の説明";
    const Case cases[] = {
        {"no version block", "", "", ""},
        {"empty product name",
         VersionBlock("041103a4", {{"ProductName", ""}, {"FileDescription", description}, {"ProductVersion", "2.5 β"}}),
         description + " について", description + " ver. 2.5 β"},
        {"no product version, another translation",
         VersionBlock("040904b0", {{"FileDescription", description}, {"ProductName", "Tidewell 試験版"}}),
         "Tidewell 試験版 について", "Tidewell 試験版 ver. "},
    };
    RegistryValue unmanaged(HKEY_CURRENT_USER, kUnmanagedKey, "Managed", "N");
    StandinTaskbar taskbar;
    SystemLibrary library;
    ASSERT_TRUE(taskbar.ok() && library.ok);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.trace);
        ProgramCopy copy(kExeName);
        ASSERT_TRUE(copy.SetVersionBlock(c.block));
        Resident resident(copy);
        ASSERT_NE(resident.main, nullptr) << "the copy did not start";
        Dialog box = OpenAt({500, 400});
        ASSERT_TRUE(box.ok());
        EXPECT_EQ(box.Title(), c.title);
        EXPECT_EQ(box.Text(101), c.line);
        // The rest of the box is there all the same.
        EXPECT_NE(SendAndWait(box.Item(100), STM_GETICON), 0);
        EXPECT_EQ(box.Text(102), kSite);
        EXPECT_EQ(box.Text(103), kFree42);
        EXPECT_TRUE(IsWindowVisible(box.Item(IDOK)));
        ExpectFitted(box);
        box.Click(IDOK);
        EXPECT_TRUE(box.WaitGone());
    }
}

}  // namespace
