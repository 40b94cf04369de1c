// Only the pointer's monitor: Tidewell with every action kept to the monitor
// under the pointer against the same program with that off.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "bench_actions.h"
#include "alternate_runs.h"
#include "bench_process.h"
#include "bench_programs.h"
#include "bench_report.h"
#include "bench_state.h"
#include "bench_statistics.h"
#include "measures.h"

// Writes a settings file whose four keys that keep an action to the monitor
// under the pointer all hold `value`. The names are Shift-JIS, as the sources
// are compiled to CP932.
bool WriteMonitorKeys(const std::string& ini, int value)
{
    std::string content = "[対象モニター]\r\n";
    for (const char* key : {"閉じる", "元に戻す", "最大化する", "最小化する"})
        content += Format("%s=%d\r\n", key, value);
    return WriteFileBytes(ini, content);
}

namespace {

struct MonitorSearch {
    DWORD processId;
    HMONITOR monitor;
    int on = 0;
    int off = 0;
};

BOOL CALLBACK CountOnMonitor(HWND window, LPARAM param)
{
    MonitorSearch* search = reinterpret_cast<MonitorSearch*>(param);
    if (!IsWindowOfProcess(window, search->processId, kBenchWindowClass))
        return TRUE;
    if (MonitorFromWindow(window, MONITOR_DEFAULTTONULL) == search->monitor)
        ++search->on;
    else
        ++search->off;
    return TRUE;
}

// The monitor under the pointer, or null; `at` is where the pointer is.
HMONITOR PointerMonitor(POINT* at)
{
    if (!GetCursorPos(at))
        return nullptr;
    Log("  the pointer is at (%ld, %ld), on one of %d monitors", at->x, at->y, GetSystemMetrics(SM_CMONITORS));
    return MonitorFromPoint(*at, MONITOR_DEFAULTTONULL);
}

}  // namespace

// Puts the pointer in the middle of the primary monitor (in the benchmark's
// virtual desktop, the only one); the monitor it is on half a second later,
// or null where it is not there then. Wine moves the pointer only within the
// desktop's X window: tools/bench puts the X pointer in it first.
HMONITOR PointerToMiddle()
{
    POINT middle = {GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2}, at;
    if (!SetCursorPos(middle.x, middle.y))
        return nullptr;
    Sleep(500);
    HMONITOR monitor = PointerMonitor(&at);
    return at.x == middle.x && at.y == middle.y ? monitor : nullptr;
}

// Over the largest N, every window on the pointer's monitor.
void MeasureMonitors(const SetUp&)
{
    const int n = *std::max_element(options.sizes.begin(), options.sizes.end());
    const std::string onDir = options.outDir + "\\monitors-on", offDir = options.outDir + "\\monitors-off";
    const std::string on = onDir + "\\tidewell.exe", off = offDir + "\\tidewell.exe";
    CreateDirectoryA(onDir.c_str(), nullptr);
    CreateDirectoryA(offDir.c_str(), nullptr);
    if (!CopyFileA(options.tidewell.c_str(), on.c_str(), FALSE) ||
        !CopyFileA(options.tidewell.c_str(), off.c_str(), FALSE) ||
        !WriteMonitorKeys(onDir + "\\tidewell.ini", 1) || !WriteMonitorKeys(offDir + "\\tidewell.ini", 0)) {
        Fail("monitors: could not make the copies with settings files in %s", options.outDir.c_str());
        return;
    }
    Log("monitors: the pointer and the windows ...");
    HMONITOR monitor = PointerToMiddle();
    if (monitor == nullptr) {
        Fail("monitors: the pointer could not be put in the middle of the desktop");
        return;
    }
    // Every window, as made for each action, lies on the pointer's monitor.
    for (const char* state : {"normal", "maximized"}) {
        BenchWindows windows(n, state);
        MonitorSearch search = {windows.processId(), monitor};
        EnumWindows(CountOnMonitor, reinterpret_cast<LPARAM>(&search));
        Log("  %d %s windows: %d on the pointer's monitor, %d elsewhere", n, state, search.on, search.off);
        if (search.on != n || search.off != 0)
            Fail("monitors: %d of %d %s windows are on the pointer's monitor", search.on, n, state);
    }
    report.markdown += Format(u8"### Only the pointer's monitor\n\n"
                              u8"Tidewell run from a copy of it in a folder of its own whose settings file sets "
                              u8"the four keys of `[対象モニター]` to 1, so that each action touches only the "
                              u8"windows on the monitor under the pointer, against a copy in another folder "
                              u8"with the same file but the keys set to 0, over N ordinary windows timed as "
                              u8"above. The virtual desktop is one monitor and the pointer is put in its "
                              u8"middle (`SetCursorPos`) before the runs, so every window is on the pointer's "
                              u8"monitor and both sides act on all N. Median of %d runs, with the smallest and "
                              u8"largest (ms); the ratio with its 95 %% bootstrap interval. N = 0 is the start and "
                              u8"end alone.\n\n",
                              options.runs);
    report.markdown += "| Action | N | Keys on | Keys off | Ratio | Target (<= 1.10) |\n"
                       "|---|---:|---:|---:|---:|---|\n";
    Log("monitors /min N=0 ...");
    Pair empty = Alternate(
        "monitors /min N=0", "keys-on", "keys-off", [&] { return TimeRun(on, "/min"); },
        [&] { return TimeRun(off, "/min"); });
    Log("  keys on %.0f ms, keys off %.0f ms", Median(Walls(empty.first)), Median(Walls(empty.second)));
    report.markdown += Format("| `/min` | 0 | %s | %s | - |\n", WallCells(empty).c_str(),
                              RatioCell(Walls(empty.first), Walls(empty.second)).c_str());
    for (const BenchAction& action : kBenchActions) {
        double start = NowMs();
        Pair pair = AlternateAction(Format("monitors %s N=%d", action.name, n), action, n, on, "keys-on",
                                    off, "keys-off", true);
        std::vector<double> withWalls = Walls(pair.first), withoutWalls = Walls(pair.second);
        double with = Median(withWalls), without = Median(withoutWalls);
        Log("  keys on %.0f ms, keys off %.0f ms, ratio %s (%.0f s)", with, without,
            Ratio(with, without).c_str(), (NowMs() - start) / 1000);
        std::string target = Verdict(without > 0 && with / without <= 1.10);
        Interval interval = RatioInterval(withWalls, withoutWalls);
        if (interval.known && interval.low <= 1.10 && interval.high > 1.10)
            target += " (within the noise)";
        report.markdown += Format("| `%s` | %d | %s | %s | %s |\n", action.name, n, WallCells(pair).c_str(),
                                  RatioCell(withWalls, withoutWalls).c_str(), target.c_str());
        Summarize("monitors", Ratio(with, without, "%.2f"));
    }
    POINT at;
    if (PointerMonitor(&at) != monitor)
        Fail("monitors: the pointer left its monitor during the runs");
    report.markdown += "\n";
}
