// Instance control. A start that finds the main window or the mutex is a second
// start: it closes what the stored close filter selects, once, and ends.
#include "app/instance.h"

#include "app/main_window.h"
#include "dialogs/program_icon.h"
#include "settings/exclusions.h"
#include "settings/filters.h"
#include "settings/settings_file.h"
#include "windows/system_library.h"
#include "windows/window_actions.h"

namespace {

const char kInstanceMutexName[] = "Tidewell";

}  // namespace

int QuickClose()
{
    char path[kPathBufferSize];
    GetSettingsFilePath(path, kModuleNameLimit, kSettingsExtension);
    ForgetMissingSettingsFile(path);
    WindowFilter filter;
    LoadCloseFilter(path, &filter);
    ExclusionList programs;
    LoadExclusions(path, &programs);
    CloseWindows(nullptr, filter, programs, nullptr);
    return 0;
}

HANDLE CreateInstanceMutex(const char* name)
{
    HANDLE mutex = CreateMutexA(nullptr, TRUE, name);
    if (mutex != nullptr && GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return nullptr;
    }
    return mutex;
}

int RunResident(HINSTANCE instance)
{
    AppState state;
    LoadAppState(&state);

    WNDCLASSEXA windowClass;
    ZeroMemory(&windowClass, sizeof windowClass);
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = instance;
    // The class icons live as long as the process.
    windowClass.hIcon = GetProgramIcon(instance, false);
    windowClass.hIconSm = GetProgramIcon(instance, true);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    windowClass.lpszMenuName = "";
    windowClass.lpszClassName = kMainWindowClass;
    RegisterClassExA(&windowClass);

    HWND window = CreateWindowExA(0, kMainWindowClass, kMainWindowClass, WS_POPUP | WS_MINIMIZE,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                  nullptr, nullptr, instance, &state);
    if (window == nullptr)
        return 0;

    MSG message;
    message.wParam = 0;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

int RunInstanceControl(HINSTANCE instance)
{
    if (FindWindowA(kMainWindowClass, kMainWindowClass) != nullptr)
        return QuickClose();
    HANDLE mutex = CreateInstanceMutex(kInstanceMutexName);
    if (mutex == nullptr)
        return QuickClose();
    // Only the resident program shows dialogs and asks the shell for icons
    // and links. Without comctl32.dll the tray and the actions still work.
    InitSystemCommonControls();
    bool com = StartSystemCom();
    int exitCode = RunResident(instance);
    if (com)
        EndSystemCom();
    CloseHandle(mutex);
    return exitCode;
}
