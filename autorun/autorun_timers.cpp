// Periodic actions. A timer sends the same command a menu would, so a periodic
// run goes through the main window's dispatch with that action's filter.
#include "autorun/autorun_timers.h"

#include "resources/resource_ids.h"

const AutoRunRow kAutoRunRows[kAutoRunCount] = {
    {101, 0, 1042, 1043, 1047, 1053},  // close
    {102, 1, 1010, 1044, 1049, 1054},  // restore
    {103, 2, 1011, 1045, 1051, 1055},  // maximize
    {104, 3, 1012, 1046, 1052, 1056},  // minimize
};

namespace {

struct TimerCommandRow {
    UINT_PTR timerId;
    UINT command;
};

const TimerCommandRow kTimerCommandRows[] = {
    {101, IDM_CLOSE_WINDOWS},
    {102, IDM_RESTORE_WINDOWS},
    {103, IDM_MAXIMIZE_WINDOWS},
    {104, IDM_MINIMIZE_WINDOWS},
};

}  // namespace

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
    for (const TimerCommandRow& row : kTimerCommandRows) {
        if (row.timerId == timerId) {
            SendMessageA(window, WM_COMMAND, MAKEWPARAM(row.command, 0), 0);
            return;
        }
    }
}
