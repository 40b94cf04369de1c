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
//   nodlgframe noborder emptytitle disabled owned refuseclose hung
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

int liveWindows = 0;

LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CLOSE:
        if (GetPropA(window, "REFUSE_CLOSE") != nullptr)
            return 0;  // like a program that asks whether to save
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        RemovePropA(window, "REFUSE_CLOSE");
        if (--liveWindows == 0)
            PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

HWND CreateTestWindow(const std::string& name, DWORD exStyle, DWORD style, const char* title,
                      HWND owner)
{
    std::string className = "TwTest_" + name;
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = TestWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = className.c_str();
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(exStyle, className.c_str(), title, style, 40, 40, 320, 200,
                                  owner, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (window != nullptr)
        ++liveWindows;
    return window;
}

struct HungThreadArgs {
    std::string name;
    HANDLE created;
};

// Creates its window, answers messages briefly, then stops pumping for good.
DWORD WINAPI HungThread(void* param)
{
    HungThreadArgs* args = static_cast<HungThreadArgs*>(param);
    HWND window = CreateTestWindow(args->name, 0, WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                   args->name.c_str(), nullptr);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);
    SetEvent(args->created);
    (void)window;
    Sleep(INFINITE);
    return 0;
}

HWND ownerForOwned = nullptr;

bool CreateKind(const std::string& kind, const std::string& name)
{
    const DWORD overlapped = WS_OVERLAPPEDWINDOW;
    HWND window = nullptr;
    const char* title = name.c_str();
    if (kind == "normal" || kind == "maximized" || kind == "minimized" || kind == "invisible" ||
        kind == "disabled" || kind == "refuseclose") {
        window = CreateTestWindow(name, 0, overlapped, title, nullptr);
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
    } else if (kind == "hung") {
        HungThreadArgs* args = new HungThreadArgs{name, CreateEventA(nullptr, TRUE, FALSE, nullptr)};
        CloseHandle(CreateThread(nullptr, 0, HungThread, args, 0, nullptr));
        WaitForSingleObject(args->created, 10000);
        return FindWindowA(("TwTest_" + name).c_str(), nullptr) != nullptr;
    } else {
        std::fprintf(stderr, "testwin: unknown kind %s\n", kind.c_str());
        return false;
    }
    if (window == nullptr)
        return false;
    if (kind == "refuseclose")
        SetPropA(window, "REFUSE_CLOSE", reinterpret_cast<HANDLE>(1));
    if (kind == "disabled")
        EnableWindow(window, FALSE);
    if (kind == "maximized")
        ShowWindow(window, SW_SHOWMAXIMIZED);
    else if (kind == "minimized")
        ShowWindow(window, SW_SHOWMINIMIZED);
    else if (kind != "invisible")
        ShowWindow(window, SW_SHOWNORMAL);
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
        if (spec.size() > 3 && spec.compare(spec.size() - 3, 3, "+fg") == 0) {
            makeForeground = true;
            spec.erase(spec.size() - 3);
        }
        std::string kind = spec, name = spec;
        size_t colon = spec.find(':');
        if (colon != std::string::npos) {
            kind = spec.substr(0, colon);
            name = spec.substr(colon + 1);
        }
        if (!CreateKind(kind, name))
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
