// The actions over N ordinary windows: Tidewell against the bare work.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench_actions.h"
#include "alternate_runs.h"
#include "bench_programs.h"
#include "bench_report.h"
#include "bench_state.h"
#include "bench_statistics.h"
#include "measures.h"

namespace {

// Tidewell against the baseline.
Pair MeasureAction(const BenchAction& action, int n, bool warmUp)
{
    return AlternateAction(Format("action %s N=%d", action.name, n), action, n, options.tidewell, "tidewell",
                           BenchProgram("bench_baseline.exe"), "baseline", warmUp);
}

}  // namespace

void MeasureActions(const SetUp&)
{
    const std::string tidewell = options.tidewell;
    const std::string baseline = BenchProgram("bench_baseline.exe");
    report.markdown += "### Actions over N ordinary windows\n\n"
                       "Wall time: from the program's start until it has ended and the windows have "
                       "settled, less the time the host took the CPU away (ms). CPU time: what the "
                       "program's own process used (ms); per window, the median's part beyond the "
                       "program's start and end with no window to act on (N = 0). The figures are "
                       "medians of " + std::to_string(options.runs) + " runs, with the smallest and "
                       "largest in brackets; the ratios are those of the medians, the wall time's "
                       "with the interval that holds it in 95 of 100 cases (bootstrap).\n\n"
                       "| Action | N | Wall: Tidewell | Baseline | Ratio | CPU: Tidewell | Baseline | "
                       "Per window | Ratio | Target (N >= 200: ratio <= 1.10) |\n"
                       "|---|---:|---:|---:|---|---:|---:|---:|---:|---|\n";

    // Start and end alone, on an empty desktop.
    Log("start and end with no window to act on ...");
    Pair empty = Alternate(
        "action /min N=0", "tidewell", "baseline", [&] { return TimeRun(tidewell, "/min"); },
        [&] { return TimeRun(baseline, "/min"); });
    double tw0 = Median(Walls(empty.first)), base0 = Median(Walls(empty.second));
    double twCpu0 = Cpus(empty.first).empty() ? -1 : Median(Cpus(empty.first));
    double baseCpu0 = Cpus(empty.second).empty() ? -1 : Median(Cpus(empty.second));
    Log("  tidewell %.0f ms (CPU %.1f ms), baseline %.0f ms (CPU %.1f ms)", tw0, twCpu0, base0, baseCpu0);
    report.markdown += Format("| `/min` | 0 | %s | %s | %s | %s | - | %s | - |\n", WallCells(empty).c_str(),
                              RatioCell(Walls(empty.first), Walls(empty.second)).c_str(),
                              Spread(Cpus(empty.first), "%.1f").c_str(),
                              Spread(Cpus(empty.second), "%.1f").c_str(), Ratio(twCpu0, baseCpu0, "%.2f").c_str());

    // At each size, each action in turn; the first size's runs start with a
    // warm-up run of each program.
    const size_t actions = sizeof kBenchActions / sizeof kBenchActions[0];
    std::vector<std::vector<Pair>> runs(options.sizes.size(), std::vector<Pair>(actions));
    for (size_t s = 0; s < options.sizes.size(); ++s) {
        for (size_t a = 0; a < actions; ++a)
            runs[s][a] = MeasureAction(kBenchActions[a], options.sizes[s], s == 0);
    }

    // The plot's data: per size, for each action, Tidewell's and then the
    // baseline's median, smallest and largest wall time.
    std::vector<std::string> plot(options.sizes.size());
    std::vector<double> wallRatios, cpuRatios;
    for (size_t a = 0; a < actions; ++a) {
        for (size_t s = 0; s < options.sizes.size(); ++s) {
            int n = options.sizes[s];
            const Pair& pair = runs[s][a];
            std::vector<double> tWalls = Walls(pair.first), bWalls = Walls(pair.second);
            std::vector<double> tCpu = Cpus(pair.first), bCpu = Cpus(pair.second);
            if (bCpu.empty())
                tCpu.clear();
            double t = Median(tWalls), b = Median(bWalls);
            // Per window, beyond the start and end alone.
            double tc = -1, bc = -1;
            if (!tCpu.empty() && !bCpu.empty() && twCpu0 >= 0 && baseCpu0 >= 0) {
                tc = (Median(tCpu) - twCpu0) / n;
                bc = (Median(bCpu) - baseCpu0) / n;
            }
            Log("%s N=%d: tidewell %.0f ms, baseline %.0f ms, ratio %s; CPU per window %.3f against %.3f ms",
                kBenchActions[a].name, n, t, b, Ratio(t, b).c_str(), tc, bc);
            std::string target = "-";
            if (n >= 200) {
                target = Verdict(b > 0 && t / b <= 1.10);
                Interval interval = RatioInterval(tWalls, bWalls);
                if (interval.known && interval.low <= 1.10 && interval.high > 1.10)
                    target += " (within the noise)";
                if (b > 0)
                    wallRatios.push_back(t / b);
                if (tc > 0 && bc > 0)
                    cpuRatios.push_back(tc / bc);
            }
            report.markdown += Format("| `%s` | %d | %s | %s | %s | %s | %s | %s | %s |\n", kBenchActions[a].name, n,
                                      WallCells(pair).c_str(), RatioCell(tWalls, bWalls).c_str(),
                                      Spread(tCpu, "%.0f").c_str(), Spread(bCpu, "%.0f").c_str(),
                                      tCpu.empty() ? "n/a" : Format("%.3f / %.3f", tc, bc).c_str(),
                                      tc < 0 || bc <= 0 ? "n/a" : Ratio(tc, bc, "%.2f").c_str(), target.c_str());
            for (const std::vector<double>* walls : {&tWalls, &bWalls}) {
                std::vector<double> sorted = *walls;
                std::sort(sorted.begin(), sorted.end());
                plot[s] += sorted.empty() ? " 0 0 0"
                                          : Format(" %.1f %.1f %.1f", Median(sorted), sorted.front(), sorted.back());
            }
        }
    }
    report.markdown += "\n";
    Summarize("actions-wall", RatioRange(wallRatios));
    Summarize("actions-cpu", RatioRange(cpuRatios));
    FILE* data = std::fopen((options.outDir + "\\actions.dat").c_str(), "wb");
    if (data != nullptr) {
        std::fprintf(data, "# N, then per action (close, min, max, restore): Tidewell's and the "
                           "baseline's median, smallest and largest ms\n");
        for (size_t s = 0; s < options.sizes.size(); ++s)
            std::fprintf(data, "%d%s\n", options.sizes[s], plot[s].c_str());
        std::fclose(data);
    }
}
