// Benchmark driver: runs every measurement of tools/bench inside one Wine
// virtual desktop and writes the results.
//
//   bench_driver.exe <output-folder> <tidewell.exe> [--runs R] [--sizes N,N,...]
//                    [--cpu-seconds S] [--soak-cycles C] [--only PHASE]
//                    [--cpu-log FILE] [--steal-cpu CPU]
//
// PHASE is one of actions, hung, exclusions, monitors, start, cpu, soak, size. The
// benchmark's own programs (bench_*.exe) lie beside this one. Each comparison
// alternates the two programs, the one that goes first changing every round,
// and reports medians; each program has one warm-up run before its first
// comparison. FILE is the log of tools/bench's reaper, from which each run's
// CPU time is taken; CPU is the Linux CPU everything runs on, whose stolen
// time is taken off each run's wall time.
// Results go to the output folder: results.md (the tables), summary.tsv (the
// README's figures), actions.dat (the plot's data), raw.tsv (every sample) and
// log.txt (progress, while it runs).
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
    int runs = 7;
    std::vector<int> sizes = {50, 200, 500};
    int hungWindows = 5;
    int hungTotal = 200;
    int cpuSeconds = 60;
    int soakCycles = 1000;
    int soakFirstCycles = 10;
    std::string only;
    std::string cpuLog;
    int stealCpu = -1;
};

Options options;
FILE* logFile = nullptr;
FILE* rawFile = nullptr;
std::string markdown;
// The README's summary: lines "key<TAB>figure"; a key given twice is one row.
std::string summary;
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
        reset_ = CreateEventA(nullptr, TRUE, FALSE, (events + "-reset").c_str());
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
        CloseHandle(reset_);
        CloseHandle(settled_);
        CloseHandle(quit_);
    }
    BenchWindows(const BenchWindows&) = delete;
    BenchWindows& operator=(const BenchWindows&) = delete;

    bool ok() const { return ok_; }
    int made() const { return count_; }
    DWORD processId() const { return child_.id; }
    // Waits until the windows' thread has handled every message waiting for it,
    // painting included.
    bool Settle() { return Signal(settle_); }
    // Puts every window back in the state it was made in, and settles.
    bool Reset() { return Signal(reset_); }
    bool Signal(HANDLE request)
    {
        ResetEvent(settled_);
        SetEvent(request);
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
    HANDLE reset_ = nullptr;
    HANDLE settled_ = nullptr;
    HANDLE quit_ = nullptr;
    bool ok_ = false;
};

// One timed run: the wall-clock time in ms, less what the virtual machine's
// host took of the CPU the run had; and the CPU time in ms that the program's
// process used from its start to its end (-1 where unknown).
struct Sample {
    double wall = -1;
    double cpu = -1;
    double stolen = 0;
};

// The time in ms that the host of a virtual machine has run something else
// while the CPU that tools/bench runs everything on wanted to run ("steal" in
// Linux's /proc/stat, counted in 10 ms ticks); 0 when not measured. A busy
// loop of the lowest class keeps that CPU wanting to run all the time, so
// this is time that every program of the run lost alike.
double StolenMs()
{
    if (options.stealCpu < 0)
        return 0;
    std::string stat = ReadFileBytes("Z:\\proc\\stat");
    size_t at = stat.find(Format("\ncpu%d ", options.stealCpu));
    if (at == std::string::npos)
        return 0;
    // user nice system idle iowait irq softirq steal
    const char* p = stat.c_str() + at + 4;
    double value = 0;
    for (int field = 0; field < 8; ++field)
        value = std::strtod(p, const_cast<char**>(&p));
    return value * 10;
}

// tools/bench runs the desktop under a reaper that logs, for every process
// that ends, a line "name<TAB>linux-pid<TAB>cpu-ms". Processes are timed one
// at a time, so the first line with the program's name after its start is
// its own. cpuLogSeen is how much of the log has been looked at.
size_t cpuLogSeen = 0;

double FileSize(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return static_cast<double>(data.nFileSizeLow);
}

void SkipEndedProcesses()
{
    if (!options.cpuLog.empty())
        cpuLogSeen = static_cast<size_t>(std::max(0.0, FileSize(options.cpuLog)));
}

// The CPU time of the process of `exe` that ended last, once the reaper has
// logged it; -1 without a log or after 5 s. Linux keeps 15 characters of a
// process's name: Wine names the process after the program's file.
double EndedProcessCpuMs(const std::string& exe)
{
    if (options.cpuLog.empty())
        return -1;
    std::string name = exe.substr(exe.find_last_of("\\/") + 1).substr(0, 15) + "\t";
    for (DWORD start = GetTickCount(); GetTickCount() - start < 5000; Sleep(2)) {
        std::string log = ReadFileBytes(options.cpuLog);
        for (size_t end; (end = log.find('\n', cpuLogSeen)) != std::string::npos;) {
            std::string line = log.substr(cpuLogSeen, end - cpuLogSeen);
            cpuLogSeen = end + 1;
            size_t value = line.rfind('\t');
            if (_strnicmp(line.c_str(), name.c_str(), name.size()) == 0 && value != std::string::npos)
                return std::strtod(line.c_str() + value + 1, nullptr);
        }
    }
    Fail("no CPU time was logged for %s", exe.c_str());
    return -1;
}

// Runs a program to its end, timed from its start, less the host's steal,
// with the CPU time it used. With windows, the time runs on until they have
// settled. False, with the sample left unmeasured, when it did not end.
bool TimeProgram(const std::string& exe, const std::string& args, BenchWindows* windows, Sample* sample)
{
    SkipEndedProcesses();
    double stolen = StolenMs(), start = NowMs();
    Process child = StartProcess(exe, args);
    if (child.handle == nullptr || !WaitProcess(child, 600000) || (windows != nullptr && !windows->Settle())) {
        KillProcess(child);
        return false;
    }
    sample->stolen = StolenMs() - stolen;
    sample->wall = NowMs() - start - sample->stolen;
    sample->cpu = EndedProcessCpuMs(exe);
    return true;
}

Sample TimeRun(const std::string& exe, const std::string& args)
{
    Sample sample;
    TimeProgram(exe, args, nullptr, &sample);
    return sample;
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

void Summarize(const char* key, const std::string& figure)
{
    summary += std::string(key) + "\t" + figure + "\n";
}

// "lo to hi" over ratios, two decimals.
std::string RatioRange(std::vector<double> ratios)
{
    if (ratios.empty())
        return "n/a";
    std::sort(ratios.begin(), ratios.end());
    return Format("%.2f to %.2f", ratios.front(), ratios.back());
}

const char* Verdict(bool met)
{
    return met ? "met" : "**missed**";
}

std::string Ratio(double value, double reference, const char* format = "%.3f")
{
    return reference > 0 ? Format(format, value / reference) : "n/a";
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
// action.
Sample TimeAction(const ActionSpec& action, const std::string& exe, BenchWindows& windows,
                  int expected, const char* label)
{
    Sample sample;
    if (!windows.ok())
        return sample;
    if (!TimeProgram(exe, action.name, &windows, &sample)) {
        Fail("%s %s did not end", label, action.name);
        return sample;
    }
    int done = WindowsDone(action, windows.Counts(), windows.made());
    if (done != expected) {
        Fail("%s %s over %d windows: %d of %d windows are %s", label, action.name,
             windows.made(), done, expected, action.expected);
    }
    return sample;
}

const ActionSpec& Spec(const char* name)
{
    for (const ActionSpec& action : kActionSpecs) {
        if (std::strcmp(action.name, name) == 0)
            return action;
    }
    return kActionSpecs[0];
}

void RawSample(const std::string& measure, const char* program, int run, const Sample& sample)
{
    Raw(measure, program, run, sample.wall);
    if (!options.cpuLog.empty())
        Raw(measure + " cpu", program, run, sample.cpu);
    if (options.stealCpu >= 0)
        Raw(measure + " stolen", program, run, sample.stolen);
}

typedef std::vector<Sample> Samples;

std::vector<double> Walls(const Samples& samples)
{
    std::vector<double> values;
    for (const Sample& sample : samples)
        values.push_back(sample.wall);
    return values;
}

struct Pair {
    Samples first;
    Samples second;
};

// Alternates two runs: one warm-up of each (unless the programs are warm
// already), then options.runs timed runs each, the one that goes first
// changing every round. Turns that follow each other closely share what the
// machine goes through at the time, so their ratio is steadier than that of
// runs far apart.
template <typename RunFirst, typename RunSecond>
Pair Alternate(const std::string& measure, const char* firstName, const char* secondName,
               RunFirst runFirst, RunSecond runSecond, bool warmUp = true)
{
    Pair pair;
    for (int round = warmUp ? 0 : 1; round <= options.runs; ++round) {
        double walls[2] = {-1, -1};
        for (int turn = 0; turn < 2; ++turn) {
            bool first = (turn == 0) == (round % 2 == 0);
            Sample sample = first ? runFirst() : runSecond();
            const char* name = first ? firstName : secondName;
            RawSample(measure, name, round, sample);
            walls[first ? 0 : 1] = sample.wall;
            if (round == 0)
                continue;  // warm-up
            if (sample.wall < 0)
                Fail("%s: a run of %s failed", measure.c_str(), name);
            else
                (first ? pair.first : pair.second).push_back(sample);
        }
        Log("  %s %d: %s %.0f ms, %s %.0f ms", round == 0 ? "warm-up" : "round", round, firstName, walls[0],
            secondName, walls[1]);
    }
    return pair;
}

// The median of the values with their smallest and largest, "m (lo-hi)".
std::string Spread(std::vector<double> values, const char* format)
{
    if (values.empty())
        return "n/a";
    std::sort(values.begin(), values.end());
    std::string m = Format(format, Median(values)), lo = Format(format, values.front()),
                hi = Format(format, values.back());
    return m + " (" + lo + "-" + hi + ")";
}

std::vector<double> Cpus(const Samples& samples)
{
    std::vector<double> values;
    for (const Sample& sample : samples) {
        if (sample.cpu >= 0)
            values.push_back(sample.cpu);
    }
    return values;
}

// The interval that holds the ratio of the two medians in 95 of 100 cases, as
// the bootstrap finds it: the ratio over 2000 resamplings of each set of runs
// (with a fixed seed, so that the same runs give the same interval).
struct Interval {
    bool known = false;
    double low = 0, high = 0;
};

Interval RatioInterval(const std::vector<double>& values, const std::vector<double>& references)
{
    Interval interval;
    if (values.size() < 2 || references.size() < 2)
        return interval;
    unsigned seed = 12345;
    auto pick = [&seed](const std::vector<double>& from) {
        std::vector<double> drawn;
        for (size_t i = 0; i < from.size(); ++i) {
            seed = seed * 1103515245u + 12345u;
            drawn.push_back(from[(seed >> 8) % from.size()]);
        }
        return Median(drawn);
    };
    std::vector<double> ratios;
    for (int i = 0; i < 2000; ++i) {
        double reference = pick(references), value = pick(values);
        if (reference > 0)
            ratios.push_back(value / reference);
    }
    if (ratios.empty())
        return interval;
    std::sort(ratios.begin(), ratios.end());
    interval.known = true;
    interval.low = ratios[ratios.size() * 25 / 1000];
    interval.high = ratios[ratios.size() * 975 / 1000];
    return interval;
}

// " (0.95-1.12)", or nothing when the interval is not known.
std::string IntervalText(const Interval& interval)
{
    return interval.known ? Format(" (%.2f-%.2f)", interval.low, interval.high) : "";
}

// The ratio of the medians with its interval, "1.04 (0.95-1.12)".
std::string RatioCell(const std::vector<double>& values, const std::vector<double>& references)
{
    return Ratio(Median(values), Median(references), "%.2f") + IntervalText(RatioInterval(values, references));
}

// The two programs' wall times as two table cells.
std::string WallCells(const Pair& pair)
{
    return Spread(Walls(pair.first), "%.0f") + " | " + Spread(Walls(pair.second), "%.0f");
}

// The runs of one action over n windows, two programs in turns, each on the
// same windows put back in the state they were made in (a close leaves none:
// each gets fresh ones). Each run must act on all n windows.
Pair AlternateAction(const std::string& measure, const ActionSpec& action, int n,
                     const std::string& firstExe, const char* firstName,
                     const std::string& secondExe, const char* secondName, bool warmUp)
{
    const bool closes = std::strcmp(action.expected, "gone") == 0;
    BenchWindows* shared = closes ? nullptr : new BenchWindows(n, action.made);
    Log("%s ...", measure.c_str());
    auto run = [&](const std::string& exe, const char* label) {
        if (closes) {
            BenchWindows fresh(n, action.made);
            return TimeAction(action, exe, fresh, n, label);
        }
        if (shared->Reset())
            return TimeAction(action, exe, *shared, n, label);
        Fail("%s: the windows could not be put back", measure.c_str());
        return Sample();
    };
    Pair pair = Alternate(
        measure, firstName, secondName, [&] { return run(firstExe, firstName); },
        [&] { return run(secondExe, secondName); }, warmUp);
    delete shared;
    return pair;
}

// Tidewell against the baseline.
Pair MeasureAction(const ActionSpec& action, int n, bool warmUp)
{
    return AlternateAction(Format("action %s N=%d", action.name, n), action, n, options.tidewell, "tidewell",
                           BenchProgram("bench_baseline.exe"), "baseline", warmUp);
}

void MeasureActions()
{
    const std::string tidewell = options.tidewell;
    const std::string baseline = BenchProgram("bench_baseline.exe");
    markdown += "### Actions over N ordinary windows\n\n"
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
    markdown += Format("| `/min` | 0 | %s | %s | %s | %s | - | %s | - |\n", WallCells(empty).c_str(),
                       RatioCell(Walls(empty.first), Walls(empty.second)).c_str(),
                       Spread(Cpus(empty.first), "%.1f").c_str(), Spread(Cpus(empty.second), "%.1f").c_str(),
                       Ratio(twCpu0, baseCpu0, "%.2f").c_str());

    // At each size, each action in turn; the first size's runs start with a
    // warm-up run of each program.
    const size_t actions = sizeof kActionSpecs / sizeof kActionSpecs[0];
    std::vector<std::vector<Pair>> runs(options.sizes.size(), std::vector<Pair>(actions));
    for (size_t s = 0; s < options.sizes.size(); ++s) {
        for (size_t a = 0; a < actions; ++a)
            runs[s][a] = MeasureAction(kActionSpecs[a], options.sizes[s], s == 0);
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
                kActionSpecs[a].name, n, t, b, Ratio(t, b).c_str(), tc, bc);
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
            markdown += Format("| `%s` | %d | %s | %s | %s | %s | %s | %s | %s |\n", kActionSpecs[a].name, n,
                               WallCells(pair).c_str(), RatioCell(tWalls, bWalls).c_str(), Spread(tCpu, "%.0f").c_str(),
                               Spread(bCpu, "%.0f").c_str(),
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
    markdown += "\n";
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

void MeasureHungWindows()
{
    const int hung = options.hungWindows;
    const int ordinary = options.hungTotal - hung;
    markdown += Format("### Hung windows\n\n"
                       "Tidewell over %d windows of which %d are hung (their thread has not "
                       "looked at its messages for five seconds, so that the system counts them "
                       "as hung), against the same %d ordinary windows alone; median, smallest and largest "
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
        double with = Median(Walls(pair.first)), without = Median(Walls(pair.second));
        double added = (with - without) / hung;
        Log("  with %.0f ms, without %.0f ms: %.0f ms per hung window", with, without, added);
        markdown += Format("| `%s` | %s | %.0f | %s |\n", action.name, WallCells(pair).c_str(), added,
                           Verdict(added <= 300));
        Summarize("hung", Format("%.0f ms", added));
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
                       "N ordinary windows timed as above; median of %d runs, with the smallest and largest (ms). N = 0 is "
                       "the start and end alone, reading of the list included.\n\n",
                       options.runs);
    markdown += "| Action | N | With 64 names | Without | Ratio | Target (<= 1.10) |\n"
                "|---|---:|---:|---:|---:|---|\n";
    Log("exclusions /min N=0 ...");
    Pair empty = Alternate(
        "exclusions /min N=0", "with-64-names", "without", [&] { return TimeRun(copy, "/min"); },
        [&] { return TimeRun(options.tidewell, "/min"); });
    double with0 = Median(Walls(empty.first)), without0 = Median(Walls(empty.second));
    Log("  with %.0f ms, without %.0f ms", with0, without0);
    markdown += Format("| `/min` | 0 | %s | %s | - |\n", WallCells(empty).c_str(),
                       RatioCell(Walls(empty.first), Walls(empty.second)).c_str());
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
        double with = Median(Walls(pair.first)), without = Median(Walls(pair.second));
        Log("  with %.0f ms, without %.0f ms, ratio %s (%.0f s)", with, without,
            Ratio(with, without).c_str(), (NowMs() - start) / 1000);
        markdown += Format("| `%s` | %d | %s | %s | %s |\n", name, n, WallCells(pair).c_str(),
                           RatioCell(Walls(pair.first), Walls(pair.second)).c_str(),
                           Verdict(without > 0 && with / without <= 1.10));
        Summarize("exclusions", Ratio(with, without, "%.2f"));
    }
    markdown += "\n";
}

// ---- the pointer's monitor -----------------------------------------------------

// Writes a settings file whose four keys that keep an action to the monitor
// under the pointer all hold `value`. The names are Shift-JIS, as the sources
// are compiled to CP932.
bool WriteMonitorKeys(const std::string& ini, int value)
{
    std::string content = "[対象モニター]\r\n";
    for (const char* key : {"閉じる", "元に戻す", "最大化する", "最小化する"})
        content += Format("%s=%d\r\n", key, value);
    FILE* file = std::fopen(ini.c_str(), "wb");
    if (file == nullptr)
        return false;
    bool written = std::fwrite(content.data(), 1, content.size(), file) == content.size();
    return std::fclose(file) == 0 && written;
}

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

// Tidewell with every action kept to the pointer's monitor against the same
// program and settings with that off, over the largest N, every window on the
// pointer's monitor.
void MeasureMonitors()
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
    markdown += Format(u8"### Only the pointer's monitor\n\n"
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
    markdown += "| Action | N | Keys on | Keys off | Ratio | Target (<= 1.10) |\n"
                "|---|---:|---:|---:|---:|---|\n";
    Log("monitors /min N=0 ...");
    Pair empty = Alternate(
        "monitors /min N=0", "keys-on", "keys-off", [&] { return TimeRun(on, "/min"); },
        [&] { return TimeRun(off, "/min"); });
    Log("  keys on %.0f ms, keys off %.0f ms", Median(Walls(empty.first)), Median(Walls(empty.second)));
    markdown += Format("| `/min` | 0 | %s | %s | - |\n", WallCells(empty).c_str(),
                       RatioCell(Walls(empty.first), Walls(empty.second)).c_str());
    for (const ActionSpec& action : kActionSpecs) {
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
        markdown += Format("| `%s` | %d | %s | %s | %s |\n", action.name, n, WallCells(pair).c_str(),
                           RatioCell(withWalls, withoutWalls).c_str(), target.c_str());
        Summarize("monitors", Ratio(with, without, "%.2f"));
    }
    POINT at;
    if (PointerMonitor(&at) != monitor)
        Fail("monitors: the pointer left its monitor during the runs");
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
            return Sample{sample.toIconMs, -1};
        },
        [&] {
            StartSample sample = StartOnce(taskbar, tray);
            if (runsTray++ > 0 && sample.memory.ok)
                wsTray.push_back(sample.memory.workingSetKb);
            return Sample{sample.toIconMs, -1};
        });
    for (size_t i = 0; i < wsTw.size(); ++i)
        Raw("working set KB", "tidewell", static_cast<int>(i + 1), wsTw[i]);
    for (size_t i = 0; i < wsTray.size(); ++i)
        Raw("working set KB", "bench_tray", static_cast<int>(i + 1), wsTray[i]);
    double tw = Median(Walls(pair.first)), ref = Median(Walls(pair.second));
    double wsT = Median(wsTw), wsR = Median(wsTray);
    Log("  start to icon: tidewell %.0f ms, minimal %.0f ms; working set %.0f KB against %.0f KB",
        tw, ref, wsT, wsR);
    markdown += Format("| Start to first tray icon (ms) | %s | minimal tray program | "
                       "%s | <= 1.2: %s |\n",
                       WallCells(pair).c_str(), Ratio(tw, ref).c_str(), Verdict(ref > 0 && tw / ref <= 1.2));
    Summarize("start", Ratio(tw, ref, "%.2f"));
    markdown += Format("| Working set 1 s after the icon (KB) | %s | %s | minimal tray "
                       "program | %s | <= 1.2: %s |\n",
                       Spread(wsTw, "%.0f").c_str(), Spread(wsTray, "%.0f").c_str(), Ratio(wsT, wsR).c_str(),
                       Verdict(wsR > 0 && wsT / wsR <= 1.2));
    Summarize("working-set", Ratio(wsT, wsR, "%.2f"));
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
    Summarize("cpu-rest", Ratio(cpuTidewell, cpuTimer, "%.2f"));
    return Format("| CPU time over %d s at rest (ms) | %.1f | %.1f | program with one 1-second "
                  "timer | %s | <= 1.1: %s |\n",
                  options.cpuSeconds, cpuTidewell, cpuTimer, Ratio(cpuTidewell, cpuTimer).c_str(),
                  Verdict(met));
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
    Summarize("size", Ratio(tw, ref, "%.2f"));
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
                           "Times and working sets are medians of %d runs, with the smallest and largest. The references are "
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
        else if (name == "--cpu-log")
            options.cpuLog = value;
        else if (name == "--steal-cpu")
            options.stealCpu = std::atoi(value.c_str());
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
    if (all || options.only == "monitors")
        MeasureMonitors();
    MeasureResident(taskbar);

    for (const char* name : {"results.md", "summary.tsv"}) {
        FILE* out = std::fopen((options.outDir + "\\" + name).c_str(), "wb");
        if (out != nullptr) {
            std::fputs(name[0] == 'r' ? markdown.c_str() : summary.c_str(), out);
            std::fclose(out);
        }
    }
    Log("done in %.0f s%s", (NowMs() - start) / 1000, failures ? ", with failures" : "");
    std::fclose(rawFile);
    std::fclose(logFile);
    return failures == 0 ? 0 : 1;
}
