// Benchmark driver: runs every measurement of tools/bench inside one Wine
// virtual desktop and writes the results.
//
//   bench_driver.exe <output-folder> <tidewell.exe> [--runs R] [--sizes N,N,...]
//                    [--cpu-seconds S] [--soak-cycles C] [--only PHASE]
//
// PHASE is one of actions, hung, exclusions, start, cpu, soak, size. The
// benchmark's own programs (bench_*.exe) lie beside this one. Each comparison
// alternates the two programs, the one that goes first changing every round,
// and reports medians; each program has one warm-up run before its first
// comparison.
// Results go to the output folder: results.md (the tables), actions.dat (the
// plot's data), raw.tsv (every sample) and log.txt (progress, while it runs).
#include <windows.h>
#include <psapi.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "harness.h"
#include "resources/resource_ids.h"
#include "standin_taskbar.h"

namespace {

const char kTidewellClass[] = "TidewellApp";
const char kBenchWindowClass[] = "TwBenchWindow";
const char kBenchTrayClass[] = "TwBenchTray";
const char kBenchTimerClass[] = "TwBenchTimer";
const UINT kTrayCallbackMessage = WM_APP + 1;

struct Options {
    std::string outDir;
    std::string tidewell;
    int runs = 5;
    std::vector<int> sizes = {50, 200, 500};
    int hungWindows = 5;
    int hungTotal = 200;
    int cpuSeconds = 60;
    int soakCycles = 1000;
    int soakFirstCycles = 10;
    std::string only;
};

Options options;
FILE* logFile = nullptr;
FILE* rawFile = nullptr;
std::string markdown;
int failures = 0;

double NowMs();

// One line of progress, after the seconds since the driver started.
void Log(const char* format, ...)
{
    static const double started = NowMs();
    char line[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    if (logFile != nullptr) {
        std::fprintf(logFile, "[%4.0f s] %s\n", (NowMs() - started) / 1000, line);
        std::fflush(logFile);
    }
}

void Fail(const char* format, ...)
{
    char line[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    ++failures;
    Log("FAILED: %s", line);
}

void Raw(const std::string& measure, const std::string& program, int run, double value)
{
    if (rawFile == nullptr)
        return;
    std::fprintf(rawFile, "%s\t%s\t%d\t%.3f\n", measure.c_str(), program.c_str(), run, value);
    std::fflush(rawFile);
}

std::string Format(const char* format, ...)
{
    char text[2048];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}

double NowMs()
{
    static LARGE_INTEGER frequency = {};
    if (frequency.QuadPart == 0)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    size_t middle = values.size() / 2;
    if (values.size() % 2 == 1)
        return values[middle];
    return (values[middle - 1] + values[middle]) / 2;
}

std::string BenchProgram(const char* name)
{
    return BinaryDir() + "\\" + name;
}

// ---- processes ----------------------------------------------------------------

struct WindowSearch {
    DWORD processId;
    const char* className;
    HWND found;
};

BOOL CALLBACK FindWindowOfProcess(HWND window, LPARAM param)
{
    WindowSearch* search = reinterpret_cast<WindowSearch*>(param);
    if (!IsWindowOfProcess(window, search->processId, search->className))
        return TRUE;
    search->found = window;
    return FALSE;
}

HWND WindowOf(const Process& child, const char* className)
{
    WindowSearch search = {child.id, className, nullptr};
    EnumWindows(FindWindowOfProcess, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Asks the program's window to close and waits for the program to end.
void EndByClose(Process& child, const char* className)
{
    if (child.handle == nullptr)
        return;
    if (HWND window = WindowOf(child, className)) {
        PostMessageA(window, WM_CANCELMODE, 0, 0);
        PostMessageA(window, WM_CLOSE, 0, 0);
        if (WaitProcess(child, 10000))
            return;
    }
    Log("  (process %lu did not end when asked; stopped)", child.id);
    KillProcess(child);
}

// ---- the window helper ---------------------------------------------------------

struct WindowCounts {
    int total = 0;
    int normal = 0;
    int maximized = 0;
    int minimized = 0;
};

struct CountSearch {
    DWORD processId;
    WindowCounts counts;
};

// A top-level window of that process and class.
BOOL CALLBACK CountWindowOfProcess(HWND window, LPARAM param)
{
    CountSearch* search = reinterpret_cast<CountSearch*>(param);
    if (!IsWindowOfProcess(window, search->processId, kBenchWindowClass))
        return TRUE;
    ++search->counts.total;
    if (IsIconic(window))
        ++search->counts.minimized;
    else if (IsZoomed(window))
        ++search->counts.maximized;
    else
        ++search->counts.normal;
    return TRUE;
}

// The windows of one bench_windows.exe run, from its start to its end.
class BenchWindows {
public:
    BenchWindows(int count, const char* state, int hung = 0) : count_(count + hung)
    {
        static int serial = 0;
        std::string events = Format("TwBench-%lu-%d", GetCurrentProcessId(), ++serial);
        ready_ = CreateEventA(nullptr, TRUE, FALSE, (events + "-ready").c_str());
        settle_ = CreateEventA(nullptr, TRUE, FALSE, (events + "-settle").c_str());
        settled_ = CreateEventA(nullptr, TRUE, FALSE, (events + "-settled").c_str());
        quit_ = CreateEventA(nullptr, TRUE, FALSE, (events + "-quit").c_str());
        child_ = StartProcess(BenchProgram("bench_windows.exe"),
                       Format("%s %d %s %d", events.c_str(), count, state, hung));
        HANDLE handles[2] = {ready_, child_.handle};
        ok_ = child_.handle != nullptr &&
              WaitForMultipleObjects(2, handles, FALSE, 300000) == WAIT_OBJECT_0;
        if (!ok_)
            Fail("bench_windows.exe %d %s %d did not get ready", count, state, hung);
    }
    ~BenchWindows()
    {
        SetEvent(quit_);
        if (!WaitProcess(child_, 60000))
            KillProcess(child_);
        CloseHandle(ready_);
        CloseHandle(settle_);
        CloseHandle(settled_);
        CloseHandle(quit_);
    }
    BenchWindows(const BenchWindows&) = delete;
    BenchWindows& operator=(const BenchWindows&) = delete;

    bool ok() const { return ok_; }
    int made() const { return count_; }
    // Waits until the windows' thread has handled every message waiting for it,
    // painting included.
    bool Settle()
    {
        ResetEvent(settled_);
        SetEvent(settle_);
        HANDLE handles[2] = {settled_, child_.handle};
        return WaitForMultipleObjects(2, handles, FALSE, 60000) == WAIT_OBJECT_0;
    }
    WindowCounts Counts() const
    {
        CountSearch search = {child_.id, {}};
        EnumWindows(CountWindowOfProcess, reinterpret_cast<LPARAM>(&search));
        return search.counts;
    }

private:
    Process child_;
    int count_;
    HANDLE ready_ = nullptr;
    HANDLE settle_ = nullptr;
    HANDLE settled_ = nullptr;
    HANDLE quit_ = nullptr;
    bool ok_ = false;
};

// Runs a program to its end; the wall-clock time from its start, in ms, or -1.
double TimeRun(const std::string& exe, const std::string& args)
{
    double start = NowMs();
    Process child = StartProcess(exe, args);
    if (child.handle == nullptr)
        return -1;
    if (!WaitProcess(child, 600000)) {
        KillProcess(child);
        return -1;
    }
    return NowMs() - start;
}

// ---- process measurements ------------------------------------------------------

struct MemorySample {
    double workingSetKb = 0;
    double privateKb = 0;
    DWORD handles = 0;
    bool ok = false;
};

// NtQuerySystemInformation's list of every open handle in the system
// (SystemExtendedHandleInformation), as far as it is needed here.
struct HandleEntry {
    void* object;
    ULONG_PTR processId;
    ULONG_PTR handle;
    ULONG grantedAccess;
    USHORT backTraceIndex;
    USHORT typeIndex;
    ULONG attributes;
    ULONG reserved;
};

struct HandleList {
    ULONG_PTR count;
    ULONG_PTR reserved;
    HandleEntry entries[1];
};

typedef LONG(WINAPI* QuerySystemInformation)(ULONG infoClass, void* buffer, ULONG size,
                                              ULONG* needed);

// How many handles a process holds, from the system's handle list (Wine's
// GetProcessHandleCount answers 0 for every other process); -1 when unknown.
long CountHandles(DWORD processId)
{
    const ULONG kSystemExtendedHandleInformation = 64;
    const LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);
    QuerySystemInformation query = reinterpret_cast<QuerySystemInformation>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"),
                                               "NtQuerySystemInformation")));
    if (query == nullptr)
        return -1;
    std::vector<char> buffer(1 << 20);
    LONG status;
    for (;;) {
        ULONG needed = 0;
        status = query(kSystemExtendedHandleInformation, buffer.data(),
                       static_cast<ULONG>(buffer.size()), &needed);
        if (status != kInfoLengthMismatch || buffer.size() >= (64u << 20))
            break;
        buffer.resize(std::max<size_t>(buffer.size() * 2, needed + 4096));
    }
    if (status != 0)
        return -1;
    const HandleList* list = reinterpret_cast<const HandleList*>(buffer.data());
    long count = 0;
    for (ULONG_PTR i = 0; i < list->count; ++i) {
        if (list->entries[i].processId == processId)
            ++count;
    }
    return count;
}

// The working set and the private bytes as the platform reports them, and the
// handles. Wine takes both figures from Linux: the resident set, and the
// process's anonymous memory (PagefileUsage, which Windows calls the commit
// charge or private bytes) on either side of Wine, its Unix side included.
MemorySample SampleMemory(const Process& child)
{
    MemorySample sample;
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, child.id);
    if (process == nullptr)
        return sample;
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    bool ok = GetProcessMemoryInfo(process, &counters, sizeof counters) != FALSE;
    CloseHandle(process);
    sample.workingSetKb = static_cast<double>(counters.WorkingSetSize) / 1024.0;
    sample.privateKb = static_cast<double>(counters.PagefileUsage) / 1024.0;
    long handles = CountHandles(child.id);
    sample.handles = handles >= 0 ? static_cast<DWORD>(handles) : 0;
    sample.ok = ok && sample.workingSetKb > 0 && sample.privateKb > 0 && handles > 0;
    return sample;
}

// The Linux process behind a Windows one: Wine shows a program's path as the
// start of its Linux command line. Found through drive Z:, Wine's view of "/".
int FindUnixPid(const std::string& exe)
{
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA("Z:\\proc\\*", &data);
    if (find == INVALID_HANDLE_VALUE)
        return -1;
    int found = -1;
    do {
        if (data.cFileName[0] < '1' || data.cFileName[0] > '9')
            continue;
        // The arguments are separated by null characters.
        std::string line =
            ReadFileBytes(std::string("Z:\\proc\\") + data.cFileName + "\\cmdline");
        if (line.size() >= exe.size() && _strnicmp(line.c_str(), exe.c_str(), exe.size()) == 0 &&
            (line.size() == exe.size() || line[exe.size()] == '\0' || line[exe.size()] == ' ')) {
            found = std::atoi(data.cFileName);
            break;
        }
    } while (FindNextFileA(find, &data));
    FindClose(find);
    return found;
}

// CPU time in ms that the kernel has run every thread of a Linux process, to
// the nanosecond (the first field of each thread's schedstat); -1 when unknown.
double UnixCpuMs(int unixPid)
{
    std::string dir = Format("Z:\\proc\\%d\\task", unixPid);
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return -1;
    double total = 0;
    int threads = 0;
    do {
        if (data.cFileName[0] < '1' || data.cFileName[0] > '9')
            continue;
        std::string line = ReadFileBytes(dir + "\\" + data.cFileName + "\\schedstat");
        if (line.empty())
            continue;  // the thread has ended
        total += std::strtod(line.c_str(), nullptr) / 1e6;
        ++threads;
    } while (FindNextFileA(find, &data));
    FindClose(find);
    return threads > 0 ? total : -1;
}

// ---- the tables ----------------------------------------------------------------

const char* Verdict(bool met)
{
    return met ? "met" : "**missed**";
}

std::string Ratio(double value, double reference)
{
    return reference > 0 ? Format("%.3f", value / reference) : "n/a";
}

// ---- actions -------------------------------------------------------------------

struct ActionSpec {
    const char* name;      // the switch
    const char* made;      // the state bench_windows makes the windows in
    const char* expected;  // what the action leaves them as
};

const ActionSpec kActionSpecs[] = {
    {"/close", "normal", "gone"},
    {"/min", "normal", "minimized"},
    {"/max", "normal", "maximized"},
    {"/restore", "maximized", "normal"},
};

// How many windows of the helper reached the state the action gives.
int WindowsDone(const ActionSpec& action, const WindowCounts& counts, int made)
{
    if (std::strcmp(action.expected, "gone") == 0)
        return made - counts.total;
    if (std::strcmp(action.expected, "minimized") == 0)
        return counts.minimized;
    if (std::strcmp(action.expected, "maximized") == 0)
        return counts.maximized;
    return counts.normal;
}

// One timed run of a program over the windows: from the program's start until
// it has ended and the windows have settled (their thread has handled what the
// action left it, painting included). Checks that `expected` windows got the
// action. The time in ms, or -1.
double TimeAction(const ActionSpec& action, const std::string& exe, BenchWindows& windows,
                  int expected, const char* label)
{
    if (!windows.ok())
        return -1;
    double start = NowMs();
    Process child = StartProcess(exe, action.name);
    if (child.handle == nullptr || !WaitProcess(child, 600000) || !windows.Settle()) {
        KillProcess(child);
        Fail("%s %s did not end", label, action.name);
        return -1;
    }
    double ms = NowMs() - start;
    int done = WindowsDone(action, windows.Counts(), windows.made());
    if (done != expected) {
        Fail("%s %s over %d windows: %d of %d windows are %s", label, action.name,
             windows.made(), done, expected, action.expected);
    }
    return ms;
}

const ActionSpec& Spec(const char* name)
{
    for (const ActionSpec& action : kActionSpecs) {
        if (std::strcmp(action.name, name) == 0)
            return action;
    }
    return kActionSpecs[0];
}

// One program's turn at one size: maximize, restore and close one set of
// fresh windows, minimize another. The times in kActionSpecs order.
std::vector<double> RunActions(const std::string& exe, const char* label, int n)
{
    std::vector<double> times(4, -1);
    double start = NowMs();
    {
        BenchWindows windows(n, "normal");
        times[2] = TimeAction(Spec("/max"), exe, windows, n, label);
        times[3] = TimeAction(Spec("/restore"), exe, windows, n, label);
        times[0] = TimeAction(Spec("/close"), exe, windows, n, label);
    }
    BenchWindows windows(n, "normal");
    times[1] = TimeAction(Spec("/min"), exe, windows, n, label);
    Log("  %s N=%d: close %.0f, min %.0f, max %.0f, restore %.0f ms (%.1f s with the windows' making)",
        label, n, times[0], times[1], times[2], times[3], (NowMs() - start) / 1000);
    return times;
}

struct Pair {
    std::vector<double> first;
    std::vector<double> second;
};

// Alternates two runs: one warm-up of each (unless the programs are warm
// already), then options.runs timed runs each, the one that goes first
// changing every round.
template <typename RunFirst, typename RunSecond>
Pair Alternate(const std::string& measure, const char* firstName, const char* secondName,
               RunFirst runFirst, RunSecond runSecond, bool warmUp = true)
{
    Pair pair;
    for (int round = warmUp ? 0 : 1; round <= options.runs; ++round) {
        for (int turn = 0; turn < 2; ++turn) {
            bool first = (turn == 0) == (round % 2 == 0);
            double value = first ? runFirst() : runSecond();
            const char* name = first ? firstName : secondName;
            Raw(measure, name, round, value);
            if (round == 0)
                continue;  // warm-up
            if (value < 0)
                Fail("%s: a run of %s failed", measure.c_str(), name);
            else
                (first ? pair.first : pair.second).push_back(value);
        }
    }
    return pair;
}

void MeasureActions()
{
    const std::string tidewell = options.tidewell;
    const std::string baseline = BenchProgram("bench_baseline.exe");
    markdown += "### Actions over N ordinary windows\n\n"
                "Time from the program's start until it has ended and the windows have "
                "settled, median of " + std::to_string(options.runs) + " runs (ms). "
                "N = 0 is the start and end of the program with no window to act on.\n\n"
                "| Action | N | Tidewell | Baseline | Ratio | Target (N >= 200: ratio <= 1.10) |\n"
                "|---|---:|---:|---:|---:|---|\n";

    // Start and end alone, on an empty desktop.
    Log("start and end with no window to act on ...");
    Pair empty = Alternate(
        "action /min N=0", "tidewell", "baseline", [&] { return TimeRun(tidewell, "/min"); },
        [&] { return TimeRun(baseline, "/min"); });
    double tw0 = Median(empty.first), base0 = Median(empty.second);
    Log("  tidewell %.0f ms, baseline %.0f ms", tw0, base0);
    markdown += Format("| `/min` | 0 | %.0f | %.0f | %s | - |\n", tw0, base0,
                       Ratio(tw0, base0).c_str());

    // One warm-up turn of each program at the smallest size, then the timed
    // rounds: at each size, the two programs take turns, the one that goes
    // first changing every round.
    const size_t actions = sizeof kActionSpecs / sizeof kActionSpecs[0];
    std::vector<std::vector<std::vector<double>>> tw(options.sizes.size(),
                                                     std::vector<std::vector<double>>(actions));
    std::vector<std::vector<std::vector<double>>> base = tw;
    Log("warm-up at N=%d ...", options.sizes[0]);
    RunActions(tidewell, "tidewell", options.sizes[0]);
    RunActions(baseline, "baseline", options.sizes[0]);
    for (size_t s = 0; s < options.sizes.size(); ++s) {
        int n = options.sizes[s];
        Log("actions at N=%d ...", n);
        for (int round = 1; round <= options.runs; ++round) {
            for (int turn = 0; turn < 2; ++turn) {
                bool tidewellTurn = (turn == 0) == (round % 2 == 1);
                const char* label = tidewellTurn ? "tidewell" : "baseline";
                std::vector<double> times = RunActions(tidewellTurn ? tidewell : baseline, label, n);
                for (size_t a = 0; a < actions; ++a) {
                    Raw(Format("action %s N=%d", kActionSpecs[a].name, n), label, round, times[a]);
                    if (times[a] >= 0)
                        (tidewellTurn ? tw : base)[s][a].push_back(times[a]);
                }
            }
        }
    }

    std::vector<std::vector<double>> plot(options.sizes.size());
    for (size_t a = 0; a < actions; ++a) {
        for (size_t s = 0; s < options.sizes.size(); ++s) {
            int n = options.sizes[s];
            double t = Median(tw[s][a]), b = Median(base[s][a]);
            Log("%s N=%d: tidewell %.0f ms, baseline %.0f ms, ratio %s", kActionSpecs[a].name, n,
                t, b, Ratio(t, b).c_str());
            std::string target = "-";
            if (n >= 200)
                target = Verdict(b > 0 && t / b <= 1.10);
            markdown += Format("| `%s` | %d | %.0f | %.0f | %s | %s |\n", kActionSpecs[a].name, n,
                               t, b, Ratio(t, b).c_str(), target.c_str());
            plot[s].push_back(t);
            plot[s].push_back(b);
        }
    }
    markdown += "\n";
    FILE* data = std::fopen((options.outDir + "\\actions.dat").c_str(), "wb");
    if (data != nullptr) {
        std::fprintf(data, "# N");
        for (const ActionSpec& action : kActionSpecs)
            std::fprintf(data, " %s:tidewell %s:baseline", action.name + 1, action.name + 1);
        std::fprintf(data, "\n");
        for (size_t s = 0; s < options.sizes.size(); ++s) {
            std::fprintf(data, "%d", options.sizes[s]);
            for (double value : plot[s])
                std::fprintf(data, " %.1f", value);
            std::fprintf(data, "\n");
        }
        std::fclose(data);
    }
}

void MeasureHungWindows()
{
    const int hung = options.hungWindows;
    const int ordinary = options.hungTotal - hung;
    markdown += Format("### Hung windows\n\n"
                       "Tidewell over %d windows of which %d are hung (their thread has not "
                       "looked at its messages for five seconds, so that the system counts them "
                       "as hung), against the same %d ordinary windows alone; median "
                       "of %d runs, after the runs above (ms).\n\n",
                       options.hungTotal, hung, ordinary, options.runs);
    markdown += Format("| Action | With %d hung | Without | Added per hung window | "
                       "Target (<= 300 ms) |\n|---|---:|---:|---:|---|\n",
                       hung);
    for (const ActionSpec& action : kActionSpecs) {
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
        double with = Median(pair.first), without = Median(pair.second);
        double added = (with - without) / hung;
        Log("  with %.0f ms, without %.0f ms: %.0f ms per hung window", with, without, added);
        markdown += Format("| `%s` | %.0f | %.0f | %.0f | %s |\n", action.name, with, without,
                           added, Verdict(added <= 300));
    }
    markdown += "\n";
}

// ---- exclusions ----------------------------------------------------------------

// Writes a settings file whose exclusion list holds 64 program names, p1.exe
// to p63.exe and `last`. The section name is Shift-JIS, as the sources are
// compiled to CP932.
bool WriteExclusions(const std::string& ini, const char* last)
{
    std::string content = "[除外するプログラム]\r\n";
    for (int i = 1; i < 64; ++i)
        content += Format("%d=p%d.exe\r\n", i, i);
    content += Format("64=%s\r\n", last);
    FILE* file = std::fopen(ini.c_str(), "wb");
    if (file == nullptr)
        return false;
    bool written = std::fwrite(content.data(), 1, content.size(), file) == content.size();
    return std::fclose(file) == 0 && written;
}

// Tidewell with 64 excluded names that match no running program against the
// same program without a settings file, over the largest N.
void MeasureExclusions()
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
        TimeAction(Spec("/min"), copy, windows, 0, "tidewell listing bench_windows.exe");
    }
    if (!WriteExclusions(ini, "p64.exe")) {
        Fail("exclusions: could not write %s", ini.c_str());
        return;
    }
    markdown += Format("### An exclusion list that matches nothing\n\n"
                       "Tidewell run from a copy of it in a folder of its own whose settings "
                       "file lists 64 programs, none of them running (p1.exe to p64.exe), "
                       "against the program alone in its folder without a settings file, over "
                       "N ordinary windows timed as above; median of %d runs (ms). N = 0 is "
                       "the start and end alone, reading of the list included.\n\n",
                       options.runs);
    markdown += "| Action | N | With 64 names | Without | Ratio | Target (<= 1.10) |\n"
                "|---|---:|---:|---:|---:|---|\n";
    Log("exclusions /min N=0 ...");
    Pair empty = Alternate(
        "exclusions /min N=0", "with-64-names", "without", [&] { return TimeRun(copy, "/min"); },
        [&] { return TimeRun(options.tidewell, "/min"); });
    double with0 = Median(empty.first), without0 = Median(empty.second);
    Log("  with %.0f ms, without %.0f ms", with0, without0);
    markdown += Format("| `/min` | 0 | %.0f | %.0f | %s | - |\n", with0, without0,
                       Ratio(with0, without0).c_str());
    for (const char* name : {"/min", "/close"}) {
        const ActionSpec& action = Spec(name);
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
        double with = Median(pair.first), without = Median(pair.second);
        Log("  with %.0f ms, without %.0f ms, ratio %s (%.0f s)", with, without,
            Ratio(with, without).c_str(), (NowMs() - start) / 1000);
        markdown += Format("| `%s` | %d | %.0f | %.0f | %s | %s |\n", name, n, with, without,
                           Ratio(with, without).c_str(),
                           Verdict(without > 0 && with / without <= 1.10));
    }
    markdown += "\n";
}

// ---- the resident program ------------------------------------------------------

// Waits for the first icon that the program adds after the stand-in has seen
// `before` requests; its arrival in GetTickCount() ms, or 0 on timeout.
DWORD WaitForIconAdded(const StandinTaskbar& taskbar, size_t before, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        std::vector<TrayCall> calls = taskbar.Calls();
        for (size_t i = before; i < calls.size(); ++i) {
            if (calls[i].code == NIM_ADD)
                return calls[i].tick;
        }
        if (GetTickCount() - start >= timeoutMs)
            return 0;
        Sleep(1);
    }
}

struct ResidentProgram {
    const char* name;
    std::string exe;
    const char* windowClass;
};

struct StartSample {
    double toIconMs = -1;
    MemorySample memory;
};

// Starts a tray program, times its start until its first icon, takes its
// memory a second later and ends it.
StartSample StartOnce(const StandinTaskbar& taskbar, const ResidentProgram& program)
{
    StartSample sample;
    size_t before = taskbar.CallCount();
    DWORD start = GetTickCount();
    Process child = StartProcess(program.exe, "");
    if (child.handle == nullptr)
        return sample;
    DWORD added = WaitForIconAdded(taskbar, before, 30000);
    if (added != 0) {
        sample.toIconMs = static_cast<double>(added - start);
        Sleep(1000);
        sample.memory = SampleMemory(child);
    }
    EndByClose(child, program.windowClass);
    return sample;
}

void MeasureStart(const StandinTaskbar& taskbar)
{
    const ResidentProgram tidewell = {"tidewell", options.tidewell, kTidewellClass};
    const ResidentProgram tray = {"bench_tray", BenchProgram("bench_tray.exe"), kBenchTrayClass};
    Log("start to first tray icon, working set ...");
    // The working set of each timed run; the first run of each is the warm-up.
    std::vector<double> wsTw, wsTray;
    int runsTw = 0, runsTray = 0;
    Pair pair = Alternate(
        "start to first icon", "tidewell", "bench_tray",
        [&] {
            StartSample sample = StartOnce(taskbar, tidewell);
            if (runsTw++ > 0 && sample.memory.ok)
                wsTw.push_back(sample.memory.workingSetKb);
            return sample.toIconMs;
        },
        [&] {
            StartSample sample = StartOnce(taskbar, tray);
            if (runsTray++ > 0 && sample.memory.ok)
                wsTray.push_back(sample.memory.workingSetKb);
            return sample.toIconMs;
        });
    for (size_t i = 0; i < wsTw.size(); ++i)
        Raw("working set KB", "tidewell", static_cast<int>(i + 1), wsTw[i]);
    for (size_t i = 0; i < wsTray.size(); ++i)
        Raw("working set KB", "bench_tray", static_cast<int>(i + 1), wsTray[i]);
    double tw = Median(pair.first), ref = Median(pair.second);
    double wsT = Median(wsTw), wsR = Median(wsTray);
    Log("  start to icon: tidewell %.0f ms, minimal %.0f ms; working set %.0f KB against %.0f KB",
        tw, ref, wsT, wsR);
    markdown += Format("| Start to first tray icon (ms) | %.0f | %.0f | minimal tray program | "
                       "%s | <= 1.2: %s |\n",
                       tw, ref, Ratio(tw, ref).c_str(), Verdict(ref > 0 && tw / ref <= 1.2));
    markdown += Format("| Working set 1 s after the icon (KB) | %.0f | %.0f | minimal tray "
                       "program | %s | <= 1.2: %s |\n",
                       wsT, wsR, Ratio(wsT, wsR).c_str(), Verdict(wsR > 0 && wsT / wsR <= 1.2));
}

// CPU time at rest: the resident program and the one-timer program run side
// by side, with nothing else going on in the desktop; their CPU times are
// taken 2 s after both have started and again options.cpuSeconds later.
// Returns the table's row.
std::string MeasureCpuAtRest(const StandinTaskbar& taskbar)
{
    Log("CPU at rest over %d s, side by side ...", options.cpuSeconds);
    size_t before = taskbar.CallCount();
    Process tidewell = StartProcess(options.tidewell, "");
    Process timer = StartProcess(BenchProgram("bench_timer.exe"), "");
    bool started = WaitForIconAdded(taskbar, before, 30000) != 0;
    for (int i = 0; i < 3000 && WindowOf(timer, kBenchTimerClass) == nullptr; ++i)
        Sleep(1);
    started = started && WindowOf(timer, kBenchTimerClass) != nullptr;
    int pidTidewell = FindUnixPid(options.tidewell);
    int pidTimer = FindUnixPid(BenchProgram("bench_timer.exe"));
    double cpuTidewell = -1, cpuTimer = -1;
    if (!started || pidTidewell < 0 || pidTimer < 0) {
        Fail("CPU at rest: programs not started (%d) or not found (%d, %d)", started, pidTidewell,
             pidTimer);
    } else {
        Sleep(2000);
        double tidewell0 = UnixCpuMs(pidTidewell), timer0 = UnixCpuMs(pidTimer);
        Sleep(static_cast<DWORD>(options.cpuSeconds) * 1000);
        double tidewell1 = UnixCpuMs(pidTidewell), timer1 = UnixCpuMs(pidTimer);
        if (tidewell0 >= 0 && tidewell1 >= 0 && timer0 >= 0 && timer1 >= 0) {
            cpuTidewell = tidewell1 - tidewell0;
            cpuTimer = timer1 - timer0;
        } else {
            Fail("CPU at rest: could not read the CPU times");
        }
    }
    EndByClose(tidewell, kTidewellClass);
    EndByClose(timer, kBenchTimerClass);
    Raw("cpu at rest ms", "tidewell", 1, cpuTidewell);
    Raw("cpu at rest ms", "bench_timer", 1, cpuTimer);
    Log("  tidewell %.2f ms, one-timer program %.2f ms", cpuTidewell, cpuTimer);
    bool met = cpuTimer > 0 && cpuTidewell >= 0 && cpuTidewell / cpuTimer <= 1.1;
    return Format("| CPU time over %d s at rest (ms) | %.1f | %.1f | program with one 1-second "
                  "timer | %s | <= 1.1: %s |\n",
                  options.cpuSeconds, cpuTidewell, cpuTimer, Ratio(cpuTidewell, cpuTimer).c_str(),
                  Verdict(met));
}

double FileSize(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return static_cast<double>(data.nFileSizeLow);
}

void MeasureSize()
{
    double tw = FileSize(options.tidewell), ref = FileSize(BenchProgram("bench_tray.exe"));
    Raw("executable bytes", "tidewell", 1, tw);
    Raw("executable bytes", "bench_tray", 1, ref);
    Log("executable size: tidewell %.0f bytes, minimal tray program %.0f bytes", tw, ref);
    markdown += Format("| Executable size (bytes) | %.0f | %.0f | minimal tray program | %s | "
                       "<= 2.0: %s |\n",
                       tw, ref, Ratio(tw, ref).c_str(), Verdict(ref > 0 && tw / ref <= 2.0));
}

// ---- soak ----------------------------------------------------------------------

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

void MeasureSoak(const StandinTaskbar& taskbar)
{
    Log("soak: %d tray-menu cycles and %d action commands ...", options.soakCycles,
        options.soakCycles);
    const int windowCount = 4;
    BenchWindows windows(windowCount, "normal");
    size_t before = taskbar.CallCount();
    Process resident = StartProcess(options.tidewell, "");
    HWND mainWindow = nullptr;
    if (windows.ok() && WaitForIconAdded(taskbar, before, 30000) != 0)
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
    markdown += Format("### Soak\n\nThe resident program through %d cycles, each a tray-menu "
                       "open and close and one action command (maximize and restore in turn, "
                       "over %d windows).%s\n\n",
                       options.soakCycles, windowCount,
                       complete ? "" : " **The soak did not complete.**");
    markdown += Format("| Measure | After %d cycles | After %d cycles | Growth | Target |\n"
                       "|---|---:|---:|---:|---|\n",
                       options.soakFirstCycles, options.soakCycles);
    markdown += Format("| Private bytes (KB) | %.0f | %.0f | %+.0f | < 64 KB: %s |\n",
                       first.privateKb, last.privateKb, grown, Verdict(complete && grown < 64));
    markdown += Format("| Handles | %lu | %lu | %+ld | 0: %s |\n", first.handles, last.handles,
                       handles, Verdict(complete && handles <= 0));
    markdown += "\n";
}

void MeasureResident(const StandinTaskbar& taskbar)
{
    bool all = options.only.empty();
    if (all || options.only == "start" || options.only == "cpu" || options.only == "size") {
        markdown += Format("### The resident program\n\n"
                           "Times and working sets are medians of %d runs. The references are "
                           "programs of the benchmark's own, built the same way (static, "
                           "stripped). The CPU time at rest is taken side by side, with "
                           "nothing else going on; Linux counts it to the nanosecond.\n\n",
                           options.runs);
        markdown += "| Measure | Tidewell | Reference | Reference program | Ratio | Target |\n"
                    "|---|---:|---:|---|---:|---|\n";
        if (all || options.only == "start")
            MeasureStart(taskbar);
        if (all || options.only == "cpu")
            markdown += MeasureCpuAtRest(taskbar);
        if (all || options.only == "size")
            MeasureSize();
        markdown += "\n";
    }
    if (all || options.only == "soak")
        MeasureSoak(taskbar);
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
        else if (name == "--sizes") {
            options.sizes.clear();
            for (const char* p = value.c_str(); *p != '\0';) {
                options.sizes.push_back(std::atoi(p));
                const char* comma = std::strchr(p, ',');
                p = comma != nullptr ? comma + 1 : p + std::strlen(p);
            }
        } else {
            return false;
        }
    }
    options.soakFirstCycles = std::min(options.soakFirstCycles, options.soakCycles);
    return options.runs > 0 && !options.sizes.empty();
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    if (!ParseOptions(__argc, __argv))
        return 2;
    logFile = std::fopen((options.outDir + "\\log.txt").c_str(), "wb");
    rawFile = std::fopen((options.outDir + "\\raw.tsv").c_str(), "wb");
    if (logFile == nullptr || rawFile == nullptr)
        return 2;
    std::fprintf(rawFile, "measure\tprogram\trun\tvalue\n");
    double start = NowMs();
    bool all = options.only.empty();
    StandinTaskbar taskbar(true, TRUE);
    if (!taskbar.ok()) {
        Fail("the stand-in taskbar could not be made");
        return 1;
    }
    if (all || options.only == "actions")
        MeasureActions();
    if (all || options.only == "hung")
        MeasureHungWindows();
    if (all || options.only == "exclusions")
        MeasureExclusions();
    MeasureResident(taskbar);

    FILE* out = std::fopen((options.outDir + "\\results.md").c_str(), "wb");
    if (out != nullptr) {
        std::fputs(markdown.c_str(), out);
        std::fclose(out);
    }
    Log("done in %.0f s%s", (NowMs() - start) / 1000, failures ? ", with failures" : "");
    std::fclose(rawFile);
    std::fclose(logFile);
    return failures == 0 ? 0 : 1;
}
