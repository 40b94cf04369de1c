// Hung windows among the others: Tidewell with them against without them.
#include <cstring>
#include <string>

#include "bench_actions.h"
#include "alternate_runs.h"
#include "bench_report.h"
#include "bench_state.h"
#include "bench_statistics.h"
#include "measures.h"

void MeasureHungWindows(const SetUp&)
{
    const int hung = options.hungWindows;
    const int ordinary = options.hungTotal - hung;
    report.markdown += Format("### Hung windows\n\n"
                              "Tidewell over %d windows of which %d are hung (their thread has not "
                              "looked at its messages for five seconds, so that the system counts them "
                              "as hung), against the same %d ordinary windows alone; median, smallest and largest "
                              "of %d runs, after the runs above (ms).\n\n",
                              options.hungTotal, hung, ordinary, options.runs);
    report.markdown += Format("| Action | With %d hung | Without | Added per hung window | "
                              "Target (<= 300 ms) |\n|---|---:|---:|---:|---|\n",
                              hung);
    for (const BenchAction& action : kBenchActions) {
        if (std::strcmp(action.name, "/min") != 0 && std::strcmp(action.name, "/close") != 0)
            continue;
        std::string measure = Format("hung %s", action.name);
        Log("%s ...", measure.c_str());
        Pair pair = Alternate(
            measure, "with-hung", "without",
            [&] {
                BenchWindows windows(ordinary, action.made, hung);
                return TimeAction(action, options.tidewell, windows, ordinary, "tidewell");
            },
            [&] {
                BenchWindows windows(ordinary, action.made);
                return TimeAction(action, options.tidewell, windows, ordinary, "tidewell");
            },
            false);
        double with = Median(Walls(pair.first)), without = Median(Walls(pair.second));
        double added = (with - without) / hung;
        Log("  with %.0f ms, without %.0f ms: %.0f ms per hung window", with, without, added);
        report.markdown += Format("| `%s` | %s | %.0f | %s |\n", action.name, WallCells(pair).c_str(), added,
                                  Verdict(added <= 300));
        Summarize("hung", Format("%.0f ms", added));
    }
    report.markdown += "\n";
}
