// Tray icons. The four slots are built once when the main window is created and
// passed unchanged to every add and delete. The shell gives no notice of a
// taskbar restart that the program listens for; a one-second watchdog notices
// that the notification window is gone and re-adds the chosen icons.
#include "tray/tray_icons.h"

#include <shellapi.h>

#include "resources/resource_ids.h"
#include "settings/app_state.h"
#include "settings/dbcs_text.h"
#include "windows/system_library.h"

namespace {

// Icons are added and deleted in this order; an action's index is also its
// flag's index in AppState.trayIcons.
const ActionIndex kTrayIconOrder[kTrayIconCount] = {kMinimizeAction, kMaximizeAction, kRestoreAction,
                                                    kCloseAction};

const int kAddRetries = 20;
const DWORD kAddRetryPauseMs = 500;
const UINT kTrayWatchdogPeriodMs = 1000;
const size_t kTooltipSize = 64;

typedef BOOL(WINAPI* ShellNotifyIconProc)(DWORD message, NOTIFYICONDATAA* data);

// False also when shell32.dll cannot be loaded: no icon, as if refused.
bool NotifyShell(DWORD message, NOTIFYICONDATAA* slot)
{
    ShellNotifyIconProc notify = GetSystemLibraryFunction<ShellNotifyIconProc>(kShellLibrary, "Shell_NotifyIconA");
    return notify != nullptr && notify(message, slot) != FALSE;
}

// The first form of NOTIFYICONDATAA, understood by every shell.
NOTIFYICONDATAA trayIconSlots[kTrayIconCount];
HWND lastTrayNotifyWindow = nullptr;
// The AppState's tray flags that the watchdog puts back, while it runs.
const unsigned char* watchedTrayFlags = nullptr;

bool BuildTrayIconSlot(NOTIFYICONDATAA* slot, HWND mainWindow, UINT iconId, UINT message,
                       HICON icon, const char* tooltip)
{
    ZeroMemory(slot, sizeof *slot);
    slot->cbSize = NOTIFYICONDATAA_V1_SIZE;
    slot->hWnd = mainWindow;
    slot->uID = iconId;
    slot->uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    slot->uCallbackMessage = message;
    slot->hIcon = icon;
    CopyDbcsBounded(slot->szTip, tooltip, kTooltipSize);
    return true;
}

bool IsSlotBuilt(const NOTIFYICONDATAA& slot)
{
    return slot.uID != 0;
}

bool AddTrayIcon(NOTIFYICONDATAA* slot)
{
    return NotifyShell(NIM_ADD, slot);
}

bool DeleteTrayIcon(NOTIFYICONDATAA* slot)
{
    return NotifyShell(NIM_DELETE, slot);
}

bool ReplaceTrayIcon(NOTIFYICONDATAA* slot)
{
    DeleteTrayIcon(slot);
    return AddTrayIcon(slot);
}

bool AddTrayIconWithRetry(NOTIFYICONDATAA* slot, int retries, DWORD pauseMs)
{
    for (;;) {
        if (AddTrayIcon(slot))
            return true;
        if (retries <= 0)
            return false;
        Sleep(pauseMs);
        --retries;
    }
}

}  // namespace

bool AddTrayIcons(HWND mainWindow, const unsigned char* flags)
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    for (int i = 0; i < kTrayIconCount; ++i) {
        const ActionRow& row = kActionRows[kTrayIconOrder[i]];
        // Loaded for the program's life, never destroyed; at the system's small
        // icon size, which grows with the display's scaling.
        HICON icon = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(row.iconId), IMAGE_ICON,
                                                   GetSystemMetrics(SM_CXSMICON),
                                                   GetSystemMetrics(SM_CYSMICON), 0));
        BuildTrayIconSlot(&trayIconSlots[i], mainWindow, row.iconId, kTrayCallbackMessage, icon,
                          row.tooltip);
        if (flags[kTrayIconOrder[i]] && !AddTrayIconWithRetry(&trayIconSlots[i], kAddRetries,
                                                          kAddRetryPauseMs))
            return false;
    }
    lastTrayNotifyWindow = FindTrayNotifyWindow();
    watchedTrayFlags = flags;
    SetTimer(mainWindow, kTrayWatchdogTimerId, kTrayWatchdogPeriodMs, TrayWatchdogTimerProc);
    return true;
}

bool RemoveTrayIcons(HWND mainWindow, const unsigned char* flags)
{
    KillTimer(mainWindow, kTrayWatchdogTimerId);
    watchedTrayFlags = nullptr;
    for (int i = 0; i < kTrayIconCount; ++i) {
        if (flags[kTrayIconOrder[i]] && IsSlotBuilt(trayIconSlots[i]))
            DeleteTrayIcon(&trayIconSlots[i]);
    }
    return true;
}

bool ReaddTrayIcons(HWND, const unsigned char* flags)
{
    for (int i = 0; i < kTrayIconCount; ++i) {
        if (flags[kTrayIconOrder[i]] && IsSlotBuilt(trayIconSlots[i]))
            ReplaceTrayIcon(&trayIconSlots[i]);
    }
    return true;
}

bool ApplyTrayIconChange(const unsigned char* newFlags, const unsigned char* oldFlags)
{
    for (int i = 0; i < kTrayIconCount; ++i) {
        int flag = kTrayIconOrder[i];
        if (!IsSlotBuilt(trayIconSlots[i]))
            continue;
        if (newFlags[flag] && !oldFlags[flag])
            AddTrayIcon(&trayIconSlots[i]);
        else if (!newFlags[flag] && oldFlags[flag])
            DeleteTrayIcon(&trayIconSlots[i]);
    }
    return true;
}

HWND FindTrayNotifyWindow()
{
    HWND taskbar = FindWindowA("Shell_TrayWnd", "");
    return FindWindowExA(taskbar, nullptr, "TrayNotifyWnd", "");
}

void CALLBACK TrayWatchdogTimerProc(HWND window, UINT, UINT_PTR, DWORD)
{
    if (lastTrayNotifyWindow != nullptr && IsWindow(lastTrayNotifyWindow))
        return;
    lastTrayNotifyWindow = FindTrayNotifyWindow();
    if (lastTrayNotifyWindow == nullptr)
        return;
    if (watchedTrayFlags != nullptr)
        ReaddTrayIcons(window, watchedTrayFlags);
}
