// Test helper: creates real top-level windows of the kinds the window selection
// tells apart, then pumps messages until every one of them is gone.
//
//   testwin.exe <ready-event> <kind>[:<name>] ...
//
// Each window's class is "TwTest_<name>" (name defaults to the kind), so tests
// find it with FindWindowA(class, NULL) whatever its title. The named event is
// set once all windows exist. A kind followed by "+fg" is made the foreground
// window. Kinds:
//   normal maximized minimized invisible nosysmenu popup toolwindow
//   nodlgframe noborder emptytitle disabled owned refuseclose hung countclose
//   timeclose shellclass shellwindow hungmany
// A hungmany window is twelve hung windows of one thread, named <name>1 to
// <name>12.
// A countclose window refuses to close like refuseclose and shows how many
// close requests it has had in its title: "<name>#<count>".
// A shellclass window is a normal window whose class is its name, unprefixed
// ("shellclass:Progman"); a shellwindow window is a normal one made the shell's
// window with SetShellWindow.
// A timeclose window refuses to close too and puts the GetTickCount() of the
// last close request in its title: "<name>@<tick>".
// The suffix "+cloak" sets the property TW_CLOAKED, which the tests' stand-in
// for the desktop window manager reports as cloaked. Every window carries the
// property TW_TEST, so that tests can tell the windows of testwin apart.
// More suffixes (not for hung) change the window's state after it is made, in
// the order given: "+max" maximizes, "+min" minimizes, so "maximized:w+min" is
// minimized from the maximized state. "+hide" keeps any kind hidden: it is never
// shown, and "+max" or "+min" set its state without showing it, so
// "popup:p+max+hide" is a hidden maximized popup. "+at<x>" moves the window's
// left edge to x (its top stays), so "normal:r+at1500+min" is minimized where
// it was moved to. (Under Wine without a window manager, hiding or destroying
// a window that was once shown costs its thread about 2 s, and a window first
// shown maximized snaps back to maximized after its first restore;
// "normal:w+max" is maximized without that quirk.)
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

// Exported by user32 but not declared by the headers.
extern "C" BOOL WINAPI SetShellWindow(HWND window);

namespace {

int liveWindows = 0;

LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CLOSE:
        if (GetPropA(window, "COUNT_CLOSE") != nullptr) {
            UINT_PTR count = reinterpret_cast<UINT_PTR>(GetPropA(window, "COUNT_CLOSE")) + 1;
            SetPropA(window, "COUNT_CLOSE", reinterpret_cast<HANDLE>(count));
            char className[256], title[300];
            GetClassNameA(window, className, sizeof className);
            std::snprintf(title, sizeof title, "%s#%u", className + 7, static_cast<unsigned>(count - 1));
            SetWindowTextA(window, title);
            return 0;
        }
        if (GetPropA(window, "TIME_CLOSE") != nullptr) {
            char className[256], title[300];
            GetClassNameA(window, className, sizeof className);
            std::snprintf(title, sizeof title, "%s@%lu", className + 7, GetTickCount());
            SetWindowTextA(window, title);
            return 0;
        }
        if (GetPropA(window, "REFUSE_CLOSE") != nullptr)
            return 0;  // like a program that asks whether to save
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        RemovePropA(window, "REFUSE_CLOSE");
        RemovePropA(window, "COUNT_CLOSE");
        RemovePropA(window, "TIME_CLOSE");
        RemovePropA(window, "TW_TEST");
        RemovePropA(window, "TW_CLOAKED");
        if (--liveWindows == 0)
            PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

HWND CreateTestWindow(const std::string& name, DWORD exStyle, DWORD style, const char* title,
                      HWND owner, const std::string& classPrefix = "TwTest_")
{
    std::string className = classPrefix + name;
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = TestWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = className.c_str();
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(exStyle, className.c_str(), title, style, 40, 40, 320, 200,
                                  owner, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (window != nullptr) {
        ++liveWindows;
        SetPropA(window, "TW_TEST", reinterpret_cast<HANDLE>(1));
    }
    return window;
}

struct HungThreadArgs {
    std::string name;
    int count;  // 1: one window named name; more: name1, name2, ...
    HANDLE created;
};

// Creates its windows, answers messages briefly, then stops pumping for good.
DWORD WINAPI HungThread(void* param)
{
    HungThreadArgs* args = static_cast<HungThreadArgs*>(param);
    for (int i = 1; i <= args->count; ++i) {
        std::string name = args->count == 1 ? args->name : args->name + std::to_string(i);
        CreateTestWindow(name, 0, WS_OVERLAPPEDWINDOW | WS_VISIBLE, name.c_str(), nullptr);
    }
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);
    SetEvent(args->created);
    Sleep(INFINITE);
    return 0;
}

HWND ownerForOwned = nullptr;
// Set while the window of a spec with "+hide" is made.
bool keepHidden = false;

// A hidden window takes a state without being shown.
void SetHiddenState(HWND window, LONG state)
{
    LONG style = GetWindowLongA(window, GWL_STYLE) & ~(WS_MINIMIZE | WS_MAXIMIZE);
    SetWindowLongA(window, GWL_STYLE, style | state);
}

bool CreateKind(const std::string& kind, const std::string& name)
{
    const DWORD overlapped = WS_OVERLAPPEDWINDOW;
    HWND window = nullptr;
    const char* title = name.c_str();
    if (kind == "normal" || kind == "maximized" || kind == "minimized" || kind == "invisible" ||
        kind == "disabled" || kind == "refuseclose" || kind == "countclose" ||
        kind == "timeclose") {
        window = CreateTestWindow(name, 0, overlapped, title, nullptr);
    } else if (kind == "shellclass") {
        window = CreateTestWindow(name, 0, overlapped, title, nullptr, "");
    } else if (kind == "shellwindow") {
        window = CreateTestWindow(name, 0, overlapped, title, nullptr);
        SetShellWindow(window);
    } else if (kind == "nosysmenu") {
        window = CreateTestWindow(name, 0, WS_OVERLAPPED | WS_CAPTION | WS_THICKFRAME, title, nullptr);
    } else if (kind == "popup") {
        window = CreateTestWindow(name, 0, WS_POPUP | WS_CAPTION | WS_SYSMENU, title, nullptr);
    } else if (kind == "toolwindow") {
        window = CreateTestWindow(name, WS_EX_TOOLWINDOW, overlapped, title, nullptr);
    } else if (kind == "nodlgframe" || kind == "noborder") {
        // Overlapped windows always get WS_CAPTION at creation; take half of it away.
        window = CreateTestWindow(name, 0, overlapped, title, nullptr);
        LONG style = GetWindowLongA(window, GWL_STYLE);
        style &= kind == "nodlgframe" ? ~WS_DLGFRAME : ~WS_BORDER;
        SetWindowLongA(window, GWL_STYLE, style);
        SetWindowPos(window, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    } else if (kind == "emptytitle") {
        window = CreateTestWindow(name, 0, overlapped, "", nullptr);
    } else if (kind == "owned") {
        if (ownerForOwned == nullptr)
            ownerForOwned = CreateTestWindow(name + "_owner", 0, WS_POPUP, "", nullptr);
        window = CreateTestWindow(name, 0, WS_POPUP | WS_CAPTION | WS_SYSMENU, title, ownerForOwned);
    } else if (kind == "hung" || kind == "hungmany") {
        int count = kind == "hung" ? 1 : 12;
        HungThreadArgs* args = new HungThreadArgs{name, count, CreateEventA(nullptr, TRUE, FALSE, nullptr)};
        CloseHandle(CreateThread(nullptr, 0, HungThread, args, 0, nullptr));
        WaitForSingleObject(args->created, 10000);
        return FindWindowA(("TwTest_" + name + (count == 1 ? "" : "12")).c_str(), nullptr) != nullptr;
    } else {
        std::fprintf(stderr, "testwin: unknown kind %s\n", kind.c_str());
        return false;
    }
    if (window == nullptr)
        return false;
    if (kind == "refuseclose")
        SetPropA(window, "REFUSE_CLOSE", reinterpret_cast<HANDLE>(1));
    // The property holds the count plus one, so that it is never null.
    if (kind == "countclose")
        SetPropA(window, "COUNT_CLOSE", reinterpret_cast<HANDLE>(1));
    if (kind == "timeclose")
        SetPropA(window, "TIME_CLOSE", reinterpret_cast<HANDLE>(1));
    if (kind == "disabled")
        EnableWindow(window, FALSE);
    if (keepHidden) {
        if (kind == "maximized")
            SetHiddenState(window, WS_MAXIMIZE);
        else if (kind == "minimized")
            SetHiddenState(window, WS_MINIMIZE);
    } else if (kind == "maximized")
        ShowWindow(window, SW_SHOWMAXIMIZED);
    else if (kind == "minimized")
        ShowWindow(window, SW_SHOWMINIMIZED);
    else if (kind != "invisible")
        ShowWindow(window, SW_SHOWNORMAL);
    return true;
}

// The state suffixes of a spec, applied in order to the window just made.
bool ChangeState(const std::string& name, const std::vector<std::string>& changes)
{
    HWND window = FindWindowA(("TwTest_" + name).c_str(), nullptr);
    if (window == nullptr)
        return false;
    bool hidden = !IsWindowVisible(window);
    for (const std::string& change : changes) {
        if (change == "cloak")
            SetPropA(window, "TW_CLOAKED", reinterpret_cast<HANDLE>(1));
        else if (change == "max" && hidden)
            SetHiddenState(window, WS_MAXIMIZE);
        else if (change == "max")
            ShowWindow(window, SW_SHOWMAXIMIZED);
        else if (change == "min" && hidden)
            SetHiddenState(window, WS_MINIMIZE);
        else if (change == "min")
            ShowWindow(window, SW_MINIMIZE);
        else if (change.compare(0, 2, "at") == 0) {
            RECT rect;
            GetWindowRect(window, &rect);
            SetWindowPos(window, nullptr, std::atoi(change.c_str() + 2), rect.top, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    std::string foreground;
    for (int i = 2; i < argc; ++i) {
        std::string spec = argv[i];
        bool makeForeground = false;
        std::vector<std::string> changes;
        for (bool stripped = true; stripped;) {
            stripped = false;
            for (const char* suffix : {"+fg", "+max", "+min", "+hide", "+cloak"}) {
                size_t length = std::strlen(suffix);
                if (spec.size() > length &&
                    spec.compare(spec.size() - length, length, suffix) == 0) {
                    if (std::strcmp(suffix, "+fg") == 0)
                        makeForeground = true;
                    else
                        changes.insert(changes.begin(), suffix + 1);
                    spec.erase(spec.size() - length);
                    stripped = true;
                    break;
                }
            }
            size_t at = spec.rfind("+at");
            if (!stripped && at != std::string::npos && at > 0 && at + 3 < spec.size() &&
                spec.find_first_not_of("0123456789", at + 3) == std::string::npos) {
                changes.insert(changes.begin(), spec.substr(at + 1));
                spec.erase(at);
                stripped = true;
            }
        }
        std::string kind = spec, name = spec;
        size_t colon = spec.find(':');
        if (colon != std::string::npos) {
            kind = spec.substr(0, colon);
            name = spec.substr(colon + 1);
        }
        keepHidden = false;
        for (const std::string& change : changes)
            keepHidden = keepHidden || change == "hide";
        bool created = CreateKind(kind, name);
        keepHidden = false;
        if (!created)
            return 3;
        if (!changes.empty() && !ChangeState(name, changes))
            return 3;
        if (makeForeground)
            foreground = name;
    }
    if (!foreground.empty()) {
        HWND window = FindWindowA(("TwTest_" + foreground).c_str(), nullptr);
        SetForegroundWindow(window);
    }
    // Let every window settle in its state before the test looks at it.
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);
    HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[1]);
    if (ready != nullptr) {
        SetEvent(ready);
        CloseHandle(ready);
    }
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
