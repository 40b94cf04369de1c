// An exclusion list that matches nothing: Tidewell with 64 excluded names
// against the program without a settings file.
#include <windows.h>

#include <algorithm>
#include <string>

#include "bench_actions.h"
#include "alternate_runs.h"
#include "bench_process.h"
#include "bench_report.h"
#include "bench_state.h"
#include "bench_statistics.h"
#include "measures.h"

// Writes a settings file whose exclusion list holds 64 program names, p1.exe
// to p63.exe and `last`. The section name is Shift-JIS, as the sources are
// compiled to CP932.
bool WriteExclusions(const std::string& ini, const char* last)
{
    std::string content = "[除外するプログラム]\r\n";
    for (int i = 1; i < 64; ++i)
        content += Format("%d=p%d.exe\r\n", i, i);
    content += Format("64=%s\r\n", last);
    return WriteFileBytes(ini, content);
}

// Tidewell with 64 excluded names that match no running program against the
// same program without a settings file, over the largest N.
void MeasureExclusions(const SetUp&)
{
    const int n = *std::max_element(options.sizes.begin(), options.sizes.end());
    const std::string dir = options.outDir + "\\exclusions";
    const std::string copy = dir + "\\tidewell.exe", ini = dir + "\\tidewell.ini";
    CreateDirectoryA(dir.c_str(), nullptr);
    if (!CopyFileA(options.tidewell.c_str(), copy.c_str(), FALSE) ||
        !WriteExclusions(ini, "bench_windows.exe")) {
        Fail("exclusions: could not make the copy with a settings file in %s", dir.c_str());
        return;
    }
    // The list is read to its 64th name: listing the helper there spares its windows.
    {
        BenchWindows windows(3, "normal");
        TimeAction(BenchActionOf("/min"), copy, windows, 0, "tidewell listing bench_windows.exe");
    }
    if (!WriteExclusions(ini, "p64.exe")) {
        Fail("exclusions: could not write %s", ini.c_str());
        return;
    }
    report.markdown += Format("### An exclusion list that matches nothing\n\n"
                              "Tidewell run from a copy of it in a folder of its own whose settings "
                              "file lists 64 programs, none of them running (p1.exe to p64.exe), "
                              "against the program alone in its folder without a settings file, over "
                              "N ordinary windows timed as above; median of %d runs, with the smallest and largest (ms). N = 0 is "
                              "the start and end alone, reading of the list included.\n\n",
                              options.runs);
    report.markdown += "| Action | N | With 64 names | Without | Ratio | Target (<= 1.10) |\n"
                       "|---|---:|---:|---:|---:|---|\n";
    Log("exclusions /min N=0 ...");
    Pair empty = Alternate(
        "exclusions /min N=0", "with-64-names", "without", [&] { return TimeRun(copy, "/min"); },
        [&] { return TimeRun(options.tidewell, "/min"); });
    double with0 = Median(Walls(empty.first)), without0 = Median(Walls(empty.second));
    Log("  with %.0f ms, without %.0f ms", with0, without0);
    report.markdown += Format("| `/min` | 0 | %s | %s | - |\n", WallCells(empty).c_str(),
                              RatioCell(Walls(empty.first), Walls(empty.second)).c_str());
    for (const char* name : {"/min", "/close"}) {
        const BenchAction& action = BenchActionOf(name);
        std::string measure = Format("exclusions %s N=%d", name, n);
        Log("%s ...", measure.c_str());
        double start = NowMs();
        Pair pair = Alternate(
            measure, "with-64-names", "without",
            [&] {
                BenchWindows windows(n, action.made);
                return TimeAction(action, copy, windows, n, "tidewell with 64 names");
            },
            [&] {
                BenchWindows windows(n, action.made);
                return TimeAction(action, options.tidewell, windows, n, "tidewell");
            });
        double with = Median(Walls(pair.first)), without = Median(Walls(pair.second));
        Log("  with %.0f ms, without %.0f ms, ratio %s (%.0f s)", with, without,
            Ratio(with, without).c_str(), (NowMs() - start) / 1000);
        report.markdown += Format("| `%s` | %d | %s | %s | %s |\n", name, n, WallCells(pair).c_str(),
                                  RatioCell(Walls(pair.first), Walls(pair.second)).c_str(),
                                  Verdict(without > 0 && with / without <= 1.10));
        Summarize("exclusions", Ratio(with, without, "%.2f"));
    }
    report.markdown += "\n";
}
