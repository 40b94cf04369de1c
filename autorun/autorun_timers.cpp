// Periodic actions. A timer sends the same command a menu would, so a periodic
// run goes through the main window's dispatch with that action's filter.
#include "autorun/autorun_timers.h"

#include "resources/resource_ids.h"

const AutoRunRow kAutoRunRows[kAutoRunCount] = {
    {kActionRows[kCloseAction].timerId, kCloseAction, IDC_CHECK_CLOSE, IDC_AUTORUN_CLOSE_EDIT,
     IDC_AUTORUN_CLOSE_SPIN, IDC_AUTORUN_CLOSE_LABEL},
    {kActionRows[kRestoreAction].timerId, kRestoreAction, IDC_CHECK_RESTORE, IDC_AUTORUN_RESTORE_EDIT,
     IDC_AUTORUN_RESTORE_SPIN, IDC_AUTORUN_RESTORE_LABEL},
    {kActionRows[kMaximizeAction].timerId, kMaximizeAction, IDC_CHECK_MAXIMIZE, IDC_AUTORUN_MAXIMIZE_EDIT,
     IDC_AUTORUN_MAXIMIZE_SPIN, IDC_AUTORUN_MAXIMIZE_LABEL},
    {kActionRows[kMinimizeAction].timerId, kMinimizeAction, IDC_CHECK_MINIMIZE, IDC_AUTORUN_MINIMIZE_EDIT,
     IDC_AUTORUN_MINIMIZE_SPIN, IDC_AUTORUN_MINIMIZE_LABEL},
};

bool StartAutoRunTimers(HWND mainWindow, const AppState& state)
{
    for (const AutoRunRow& row : kAutoRunRows) {
        const AutoRunEntry& entry = state.autoRun[row.entry];
        // The interval goes to SetTimer unchanged, as its unsigned count.
        if (entry.enabled)
            SetTimer(mainWindow, row.timerId, static_cast<UINT>(entry.interval), AutoRunTimerProc);
        else
            KillTimer(mainWindow, row.timerId);
    }
    return true;
}

bool StopAutoRunTimers(HWND mainWindow)
{
    for (const AutoRunRow& row : kAutoRunRows)
        KillTimer(mainWindow, row.timerId);
    return true;
}

void CALLBACK AutoRunTimerProc(HWND window, UINT, UINT_PTR timerId, DWORD)
{
    for (const ActionRow& row : kActionRows) {
        if (row.timerId == timerId) {
            SendMessageA(window, WM_COMMAND, MAKEWPARAM(row.command, 0), 0);
            return;
        }
    }
}
