// Benchmark driver: runs every measurement of tools/bench inside one Wine
// virtual desktop and writes the results.
//
//   bench_driver.exe <output-folder> <tidewell.exe> [--runs R] [--sizes N,N,...]
//                    [--cpu-seconds S] [--soak-cycles C] [--only PHASE]
//                    [--cpu-log FILE] [--steal-cpu CPU] [--trace TRACE]
//                    [--request-sizes N,N,...]
//
// PHASE is the name of a row of kPhases below. The benchmark's own programs
// (bench_*.exe) lie beside this one. Each comparison alternates the two
// programs, the one that goes first changing every round, and reports
// medians; each program has one warm-up run before its first comparison.
// FILE is the log of tools/bench's reaper, from which each run's CPU time is
// taken; CPU is the Linux CPU everything runs on, whose stolen time is taken
// off each run's wall time. TRACE is the Wine server's request trace, which
// tools/bench has the server write for the phases that count requests: with
// it only those run, without it all the others; they count over the
// --request-sizes numbers of windows (default 100,500).
// Results go to the output folder: results.md (the tables), summary.tsv (the
// README's figures), actions.dat (the plot's data), raw.tsv (every sample) and
// log.txt (progress, while it runs).
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "bench_process.h"
#include "bench_report.h"
#include "bench_state.h"
#include "measures.h"
#include "standin_taskbar.h"

Options options;

namespace {

// One row per phase, in the order a whole run measures them; --only NAME runs
// the row of that name alone. A phase writes its own section of results.md,
// except the rows that name a shared table: the walk writes that table's
// heading before the first of them that runs, and ends the table after the
// last.
struct Phase {
    const char* name;
    void (*run)(const SetUp& setUp);
    void (*sharedTable)();  // writes the heading of the table the row belongs to, or null
    // Counts requests: runs only under the Wine server's request trace, which
    // slows the server too much for the other phases.
    bool traced;
};

const Phase kPhases[] = {
    {"requests", MeasureRequests, nullptr, true},
    {"actions", MeasureActions, nullptr, false},
    {"hung", MeasureHungWindows, nullptr, false},
    {"exclusions", MeasureExclusions, nullptr, false},
    {"monitors", MeasureMonitors, nullptr, false},
    {"start", MeasureStart, ResidentTableHeading, false},
    {"cpu", MeasureCpuAtRest, ResidentTableHeading, false},
    {"size", MeasureSize, ResidentTableHeading, false},
    {"soak", MeasureSoak, nullptr, false},
};

// Runs every phase in turn, or the one options.only names.
void RunPhases(const SetUp& setUp)
{
    void (*openTable)() = nullptr;
    for (const Phase& phase : kPhases) {
        if ((!options.only.empty() && options.only != phase.name) || phase.traced == options.trace.empty())
            continue;
        if (phase.sharedTable != openTable) {
            if (openTable != nullptr)
                report.markdown += "\n";
            if (phase.sharedTable != nullptr)
                phase.sharedTable();
            openTable = phase.sharedTable;
        }
        phase.run(setUp);
    }
    if (openTable != nullptr)
        report.markdown += "\n";
}

// "N,N,...": the numbers of windows.
std::vector<int> ParseSizes(const std::string& value)
{
    std::vector<int> sizes;
    for (const char* p = value.c_str(); *p != '\0';) {
        sizes.push_back(std::atoi(p));
        const char* comma = std::strchr(p, ',');
        p = comma != nullptr ? comma + 1 : p + std::strlen(p);
    }
    return sizes;
}

bool ParseOptions(int argc, char** argv)
{
    if (argc < 3)
        return false;
    options.outDir = argv[1];
    options.tidewell = argv[2];
    for (int i = 3; i + 1 < argc; i += 2) {
        std::string name = argv[i], value = argv[i + 1];
        if (name == "--runs")
            options.runs = std::atoi(value.c_str());
        else if (name == "--cpu-seconds")
            options.cpuSeconds = std::atoi(value.c_str());
        else if (name == "--soak-cycles")
            options.soakCycles = std::atoi(value.c_str());
        else if (name == "--only")
            options.only = value;
        else if (name == "--cpu-log")
            options.cpuLog = value;
        else if (name == "--steal-cpu")
            options.stealCpu = std::atoi(value.c_str());
        else if (name == "--trace")
            options.trace = value;
        else if (name == "--sizes")
            options.sizes = ParseSizes(value);
        else if (name == "--request-sizes")
            options.requestSizes = ParseSizes(value);
        else {
            return false;
        }
    }
    options.soakFirstCycles = std::min(options.soakFirstCycles, options.soakCycles);
    return options.runs > 0 && !options.sizes.empty() && !options.requestSizes.empty();
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    if (!ParseOptions(__argc, __argv))
        return 2;
    if (!OpenReport(options.outDir))
        return 2;
    double start = NowMs();
    StandinTaskbar taskbar(true, TRUE);
    if (!taskbar.ok()) {
        Fail("the stand-in taskbar could not be made");
        return 1;
    }
    RunPhases(SetUp{taskbar});
    WriteReport(options.outDir);
    Log("done in %.0f s%s", (NowMs() - start) / 1000, report.failures ? ", with failures" : "");
    CloseReport();
    return report.failures == 0 ? 0 : 1;
}
