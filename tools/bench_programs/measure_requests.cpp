// Requests to the Wine server: what Tidewell's process sends for an action
// against what the baseline's sends, and what the optional checks add,
// counted from the server's request trace (tools/bench runs this phase under
// a server started with -d2, writing into options.trace). Every cross-process
// window call is one or more requests, the same ones on every run, so unlike
// time the counts do not depend on the host.
#include "measures.h"

#include <windows.h>

#include <algorithm>
#include <memory>
#include <set>
#include <vector>

#include "bench_actions.h"
#include "bench_programs.h"
#include "bench_report.h"
#include "bench_state.h"
#include "bench_statistics.h"
#include "processes.h"
#include "tools/bench_programs/request_trace.h"
#include "window_helper.h"

namespace {

const size_t kTraceBufferSize = 1 << 20;

struct Program {
    const char* name;
    std::string exe;
};

// The runs of one program, each its requests.
typedef std::vector<ProcessRequests> Runs;

struct CountedPair {
    Runs first;
    Runs second;
};

// Reads what the server has written since the last reading into the trace,
// then empties the file, which the server appends to, so that it does not
// grow over the runs. Called only while no measured program runs: a line cut
// by the emptying is one of the other programs'.
bool ReadNewTrace(RequestTrace* trace)
{
    HANDLE file = CreateFileA(options.trace.c_str(), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    std::vector<char> buffer(kTraceBufferSize);
    DWORD read = 0;
    bool ok;
    while ((ok = ReadFile(file, buffer.data(), kTraceBufferSize, &read, nullptr) != FALSE) && read > 0)
        ReadRequestTrace(trace, buffer.data(), read);
    ok = ok && SetFilePointer(file, 0, nullptr, FILE_BEGIN) == 0 && SetEndOfFile(file);
    CloseHandle(file);
    trace->partialLine.clear();
    return ok;
}

// One run of a program with the switch, over the windows (or none), to its
// end; its requests into counted. Checks that the action reached the n windows.
bool CountRun(RequestTrace* trace, const Program& program, const BenchAction& action, BenchWindows* windows,
              int n, ProcessRequests* counted)
{
    if (windows != nullptr && !windows->Reset()) {
        Fail("requests %s: the windows could not be put back", action.name);
        return false;
    }
    if (!ReadNewTrace(trace)) {
        Fail("requests: the trace %s cannot be read", options.trace.c_str());
        return false;
    }
    Process child = StartProcess(program.exe, action.name);
    if (child.handle == nullptr || !WaitProcess(child, 600000)) {
        KillProcess(child);
        Fail("requests: %s %s did not end", program.name, action.name);
        return false;
    }
    if (windows != nullptr && windows->Settle()) {
        int done = WindowsDone(action, windows->Counts(), windows->made());
        if (done != n)
            Fail("requests: %s %s: %d of %d windows are %s", program.name, action.name, done, n, action.expected);
    }
    if (!ReadNewTrace(trace))
        return false;
    *counted = RequestsOf(*trace, child.id);
    if (counted->total == 0) {
        Fail("requests: no request of %s (process %lu) in the trace", program.name, child.id);
        return false;
    }
    return true;
}

// The two programs in turns over the same n windows (n = 0: none are made;
// hung more whose threads do not answer), after one warm-up run of each when
// asked; with no second program, the first alone.
CountedPair CountPair(RequestTrace* trace, const BenchAction& action, int n, int hung, const Program& first,
                      const Program* second, bool warmUp)
{
    std::string measure = Format("requests %s N=%d%s", action.name, n, hung > 0 ? Format(" +%d hung", hung).c_str() : "");
    Log("%s ...", measure.c_str());
    std::unique_ptr<BenchWindows> windows;
    if (n > 0 || hung > 0)
        windows.reset(new BenchWindows(n, action.made, hung));
    CountedPair pair;
    if (windows != nullptr && !windows->ok())
        return pair;
    for (int round = warmUp ? 0 : 1; round <= options.requestRounds; ++round) {
        for (const Program* program : {&first, second}) {
            if (program == nullptr)
                continue;
            ProcessRequests counted;
            if (!CountRun(trace, *program, action, windows.get(), n, &counted))
                continue;
            Raw(measure, program->name, round, static_cast<double>(counted.total));
            if (round > 0)
                (program == &first ? pair.first : pair.second).push_back(counted);
        }
    }
    return pair;
}

// The run whose total is the median (the lower middle one of an even number).
ProcessRequests MiddleRun(Runs runs)
{
    if (runs.empty())
        return ProcessRequests();
    std::sort(runs.begin(), runs.end(),
              [](const ProcessRequests& a, const ProcessRequests& b) { return a.total < b.total; });
    return runs[(runs.size() - 1) / 2];
}

double Total(const Runs& runs)
{
    return runs.empty() ? -1 : static_cast<double>(MiddleRun(runs).total);
}

// "m (lo-hi)" of the runs' totals: how far the runs of one program agree.
std::string TotalCell(const Runs& runs)
{
    std::vector<double> totals;
    for (const ProcessRequests& run : runs)
        totals.push_back(static_cast<double>(run.total));
    return Spread(totals, "%.0f");
}

// Requests per window beyond the start and end alone.
double PerWindow(const Runs& atN, const Runs& atZero, int n)
{
    if (atN.empty() || atZero.empty() || n <= 0)
        return -1;
    return (Total(atN) - Total(atZero)) / n;
}

unsigned long Named(const ProcessRequests& requests, const std::string& name)
{
    auto found = requests.byName.find(name);
    return found == requests.byName.end() ? 0 : found->second;
}

// The requests, by name, of which Tidewell sends more than the baseline, at
// the start (N = 0) or per window over n windows.
void AddExtraRequests(const char* action, const CountedPair& atZero, const CountedPair& atN, int n,
                      std::string* rows)
{
    ProcessRequests tw0 = MiddleRun(atZero.first), base0 = MiddleRun(atZero.second);
    ProcessRequests twN = MiddleRun(atN.first), baseN = MiddleRun(atN.second);
    std::set<std::string> names;
    for (const ProcessRequests* requests : {&tw0, &base0, &twN, &baseN}) {
        for (const auto& entry : requests->byName)
            names.insert(entry.first);
    }
    for (const std::string& name : names) {
        double twStart = Named(tw0, name), baseStart = Named(base0, name);
        double twPer = (Named(twN, name) - twStart) / n, basePer = (Named(baseN, name) - baseStart) / n;
        if (twStart <= baseStart && twPer - basePer < 0.05)
            continue;
        *rows += Format("| `%s` | `%s` | %.0f | %.0f | %.2f | %.2f |\n", action, name.c_str(), twStart, baseStart,
                        twPer, basePer);
    }
}

// What an optional check adds: over n windows and with none, the program with
// the check on against the same without it.
void CountOptionalCheck(RequestTrace* trace, const char* check, const BenchAction& action, int n, const Program& with,
                        const Program& without)
{
    CountedPair atZero = CountPair(trace, action, 0, 0, with, &without, true);
    CountedPair atN = CountPair(trace, action, n, 0, with, &without, false);
    double withPer = PerWindow(atN.first, atZero.first, n), withoutPer = PerWindow(atN.second, atZero.second, n);
    Log("  %s: %.2f against %.2f per window, %.0f against %.0f at start", check, withPer, withoutPer,
        Total(atZero.first), Total(atZero.second));
    report.markdown += Format("| %s | `%s` | %.0f | %.0f | %.2f | %.2f | %+.2f |\n", check, action.name,
                              Total(atZero.first), Total(atZero.second), withPer, withoutPer, withPer - withoutPer);
}

void CountOptionalChecks(RequestTrace* trace, int n)
{
    const std::string dir = options.outDir + "\\requests";
    CreateDirectoryA(dir.c_str(), nullptr);
    const Program tidewell = {"tidewell", options.tidewell};
    Program excluding = {"tidewell with 64 names", dir + "\\excluding\\tidewell.exe"};
    Program monitorOn = {"tidewell, pointer's monitor", dir + "\\monitor-on\\tidewell.exe"};
    Program monitorOff = {"tidewell, keys off", dir + "\\monitor-off\\tidewell.exe"};
    for (const Program* copy : {&excluding, &monitorOn, &monitorOff}) {
        std::string folder = copy->exe.substr(0, copy->exe.rfind('\\'));
        CreateDirectoryA(folder.c_str(), nullptr);
        if (!CopyFileA(options.tidewell.c_str(), copy->exe.c_str(), FALSE)) {
            Fail("requests: could not copy the program to %s", folder.c_str());
            return;
        }
    }
    if (!WriteExclusions(dir + "\\excluding\\tidewell.ini", "p64.exe") ||
        !WriteMonitorKeys(dir + "\\monitor-on\\tidewell.ini", 1) ||
        !WriteMonitorKeys(dir + "\\monitor-off\\tidewell.ini", 0)) {
        Fail("requests: could not write the copies' settings files");
        return;
    }
    report.markdown += Format("What the optional checks add, `/min` over N = %d windows: each program with the check "
                              "on against the same without it (the per-monitor key against the same settings file "
                              "with it off), at the start and per window.\n\n"
                              "| Check | Action | At start: on | Off | Per window: on | Off | Added per window |\n"
                              "|---|---|---:|---:|---:|---:|---:|\n",
                              n);
    const BenchAction& minimize = BenchActionOf("/min");
    CountOptionalCheck(trace, "An exclusion list of 64 names that match nothing", minimize, n, excluding, tidewell);
    if (PointerToMiddle() == nullptr)
        Fail("requests: the pointer could not be put in the middle of the desktop");
    CountOptionalCheck(trace, "Only the pointer's monitor", minimize, n, monitorOn, monitorOff);

    // A hung window costs its own window's requests and its thread's one question.
    CountedPair plain = CountPair(trace, minimize, n, 0, tidewell, nullptr, false);
    CountedPair hung = CountPair(trace, minimize, n, 1, tidewell, nullptr, false);
    CountedPair none = CountPair(trace, minimize, 0, 0, tidewell, nullptr, false);
    double perWindow = PerWindow(plain.first, none.first, n);
    double added = Total(hung.first) - Total(plain.first);
    Log("  a hung window: %.0f requests more, %.2f per ordinary window", added, perWindow);
    report.markdown += Format("\nOne hung window among N = %d (its thread has stopped looking at its messages): "
                              "%.0f requests more than without it, %.0f beyond an ordinary window's %.2f.\n\n",
                              n, added, added - perWindow, perWindow);
}

}  // namespace

void MeasureRequests(const SetUp&)
{
    if (options.trace.empty()) {
        Fail("requests: no request trace was given (tools/bench gives one)");
        return;
    }
    RequestTrace trace;
    const Program tidewell = {"tidewell", options.tidewell};
    const Program baseline = {"baseline", BenchProgram("bench_baseline.exe")};
    report.markdown += Format(
        "### Requests to the Wine server\n\n"
        "The requests that the acting program's process sends to the Wine server, counted from the "
        "server's request trace (`wineserver -d2`: one line per request, by thread; the reply that "
        "starts a process's first thread names it). Every cross-process window call is one or more "
        "requests, the same ones on every run, so these counts do not depend on the host. At start: "
        "the whole run with no window to act on (N = 0); per window: the run over N windows less "
        "that, divided by N. Median of %d runs of each program after one warm-up, with the smallest "
        "and largest.\n\n",
        options.requestRounds);
    std::string heading = "| Action | At start: Tidewell | Baseline |";
    std::string rule = "|---|---:|---:|";
    for (int n : options.requestSizes) {
        heading += Format(" N = %d: Tidewell | Baseline | Per window | Ratio |", n);
        rule += "---:|---:|---:|---:|";
    }
    report.markdown += heading + " Target (ratio <= 1.10) |\n" + rule + "---|\n";
    std::string extra;
    std::vector<double> ratios;
    for (const char* name : {"/min", "/max", "/restore"}) {
        const BenchAction& action = BenchActionOf(name);
        CountedPair atZero = CountPair(&trace, action, 0, 0, tidewell, &baseline, true);
        std::string row = Format("| `%s` | %s | %s |", name, TotalCell(atZero.first).c_str(),
                                 TotalCell(atZero.second).c_str());
        bool met = true;
        CountedPair atLargest;
        for (int n : options.requestSizes) {
            CountedPair atN = CountPair(&trace, action, n, 0, tidewell, &baseline, false);
            double tw = PerWindow(atN.first, atZero.first, n), base = PerWindow(atN.second, atZero.second, n);
            Log("  %s N=%d: %.2f against %.2f requests per window", name, n, tw, base);
            row += Format(" %s | %s | %.2f / %.2f | %s |", TotalCell(atN.first).c_str(), TotalCell(atN.second).c_str(),
                          tw, base, Ratio(tw, base, "%.3f").c_str());
            met = met && base > 0 && tw / base <= 1.10;
            if (base > 0)
                ratios.push_back(tw / base);
            atLargest = atN;
        }
        report.markdown += row + Format(" %s |\n", Verdict(met));
        AddExtraRequests(name, atZero, atLargest, options.requestSizes.back(), &extra);
    }
    Summarize("requests", RatioRange(ratios));
    report.markdown += Format("\nThe requests of which Tidewell sends more than the baseline, at the start and per "
                              "window over N = %d:\n\n"
                              "| Action | Request | At start: Tidewell | Baseline | Per window: Tidewell | Baseline |\n"
                              "|---|---|---:|---:|---:|---:|\n%s\n",
                              options.requestSizes.back(), extra.c_str());
    CountOptionalChecks(&trace, options.requestSizes.front());
}
