// The soak: the resident program through many tray-menu cycles and action
// commands, with its private bytes and handles before and after.
#include <windows.h>

#include "bench_process.h"
#include "bench_programs.h"
#include "bench_report.h"
#include "bench_state.h"
#include "bench_statistics.h"
#include "measures.h"
#include "resources/resource_ids.h"
#include "standin_taskbar.h"
#include "window_helper.h"

namespace {

const UINT kTrayCallbackMessage = WM_APP + 1;

// A right-click on the close icon opens its menu; Escape closes it.
bool MenuCycle(const Process& resident, HWND mainWindow)
{
    PostMessageA(mainWindow, kTrayCallbackMessage, 1, WM_RBUTTONUP);
    HWND menu = nullptr;
    DWORD start = GetTickCount();
    while ((menu = FindOpenMenu(resident.id)) == nullptr) {
        if (GetTickCount() - start > 10000)
            return false;
        Sleep(1);
    }
    PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 1);
    start = GetTickCount();
    while (IsWindow(menu) && IsWindowVisible(menu)) {
        if (GetTickCount() - start > 10000)
            return false;
        Sleep(1);
    }
    return true;
}

}  // namespace

void MeasureSoak(const SetUp& setUp)
{
    Log("soak: %d tray-menu cycles and %d action commands ...", options.soakCycles,
        options.soakCycles);
    const int windowCount = 4;
    BenchWindows windows(windowCount, "normal");
    size_t before = setUp.taskbar.CallCount();
    Process resident = StartProcess(options.tidewell, "");
    HWND mainWindow = nullptr;
    if (windows.ok() && WaitForIconAdded(setUp.taskbar, before, 30000) != 0)
        mainWindow = WindowOf(resident, kTidewellClass);
    MemorySample first, last;
    int cycle = 0;
    if (mainWindow == nullptr) {
        Fail("soak: the resident program did not start");
    } else {
        for (cycle = 1; cycle <= options.soakCycles; ++cycle) {
            if (!MenuCycle(resident, mainWindow)) {
                Fail("soak: the tray menu did not open and close in cycle %d", cycle);
                break;
            }
            // Maximize and restore in turn: each command acts on every window.
            UINT command = cycle % 2 == 1 ? IDM_MAXIMIZE_WINDOWS : IDM_RESTORE_WINDOWS;
            DWORD_PTR result = 0;
            if (!SendMessageTimeoutA(mainWindow, WM_COMMAND, MAKEWPARAM(command, 0), 0,
                                     SMTO_NORMAL, 30000, &result)) {
                Fail("soak: command %u of cycle %d was not handled", command, cycle);
                break;
            }
            WindowCounts counts = windows.Counts();
            int done = cycle % 2 == 1 ? counts.maximized : counts.normal;
            if (done != windowCount) {
                Fail("soak: after cycle %d, %d of %d windows are %s", cycle, done, windowCount,
                     cycle % 2 == 1 ? "maximized" : "normal");
                break;
            }
            if (cycle == options.soakFirstCycles)
                first = SampleMemory(resident);
            if (cycle % 100 == 0)
                Log("  cycle %d", cycle);
        }
        last = SampleMemory(resident);
    }
    EndByClose(resident, kTidewellClass);
    bool complete = cycle > options.soakCycles && first.ok && last.ok;
    double grown = last.privateKb - first.privateKb;
    long handles = static_cast<long>(last.handles) - static_cast<long>(first.handles);
    Raw("soak private KB", "after first cycles", options.soakFirstCycles, first.privateKb);
    Raw("soak private KB", "after all cycles", options.soakCycles, last.privateKb);
    Raw("soak handles", "after first cycles", options.soakFirstCycles, first.handles);
    Raw("soak handles", "after all cycles", options.soakCycles, last.handles);
    Log("  private bytes %.0f KB -> %.0f KB, handles %lu -> %lu", first.privateKb,
        last.privateKb, first.handles, last.handles);
    report.markdown += Format("### Soak\n\nThe resident program through %d cycles, each a tray-menu "
                              "open and close and one action command (maximize and restore in turn, "
                              "over %d windows).%s\n\n",
                              options.soakCycles, windowCount,
                              complete ? "" : " **The soak did not complete.**");
    report.markdown += Format("| Measure | After %d cycles | After %d cycles | Growth | Target |\n"
                              "|---|---:|---:|---:|---|\n",
                              options.soakFirstCycles, options.soakCycles);
    report.markdown += Format("| Private bytes (KB) | %.0f | %.0f | %+.0f | < 64 KB: %s |\n",
                              first.privateKb, last.privateKb, grown, Verdict(complete && grown < 64));
    report.markdown += Format("| Handles | %lu | %lu | %+ld | 0: %s |\n", first.handles, last.handles,
                              handles, Verdict(complete && handles <= 0));
    report.markdown += "\n";
}
