// The resident program against minimal programs of the benchmark's own: start
// to the first tray icon and the working set, CPU time at rest, and the
// executable's size. The three phases are rows of one table.
#include <string>
#include <vector>

#include "alternate_runs.h"
#include "bench_process.h"
#include "bench_programs.h"
#include "bench_report.h"
#include "bench_state.h"
#include "bench_statistics.h"
#include "measures.h"
#include "standin_taskbar.h"

namespace {

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

}  // namespace

void ResidentTableHeading()
{
    report.markdown += Format("### The resident program\n\n"
                              "Times and working sets are medians of %d runs, with the smallest and largest. The references are "
                              "programs of the benchmark's own, built the same way (static, "
                              "stripped). The CPU time at rest is taken side by side, with "
                              "nothing else going on; Linux counts it to the nanosecond.\n\n",
                              options.runs);
    report.markdown += "| Measure | Tidewell | Reference | Reference program | Ratio | Target |\n"
                       "|---|---:|---:|---|---:|---|\n";
}

void MeasureStart(const SetUp& setUp)
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
            StartSample sample = StartOnce(setUp.taskbar, tidewell);
            if (runsTw++ > 0 && sample.memory.ok)
                wsTw.push_back(sample.memory.workingSetKb);
            return Sample{sample.toIconMs, -1};
        },
        [&] {
            StartSample sample = StartOnce(setUp.taskbar, tray);
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
    report.markdown += Format("| Start to first tray icon (ms) | %s | minimal tray program | "
                              "%s | <= 1.2: %s |\n",
                              WallCells(pair).c_str(), Ratio(tw, ref).c_str(), Verdict(ref > 0 && tw / ref <= 1.2));
    Summarize("start", Ratio(tw, ref, "%.2f"));
    report.markdown += Format("| Working set 1 s after the icon (KB) | %s | %s | minimal tray "
                              "program | %s | <= 1.2: %s |\n",
                              Spread(wsTw, "%.0f").c_str(), Spread(wsTray, "%.0f").c_str(),
                              Ratio(wsT, wsR).c_str(), Verdict(wsR > 0 && wsT / wsR <= 1.2));
    Summarize("working-set", Ratio(wsT, wsR, "%.2f"));
}

// The resident program and the one-timer program run side by side, with
// nothing else going on in the desktop; their CPU times are taken 2 s after
// both have started and again options.cpuSeconds later.
void MeasureCpuAtRest(const SetUp& setUp)
{
    Log("CPU at rest over %d s, side by side ...", options.cpuSeconds);
    size_t before = setUp.taskbar.CallCount();
    Process tidewell = StartProcess(options.tidewell, "");
    Process timer = StartProcess(BenchProgram("bench_timer.exe"), "");
    bool started = WaitForIconAdded(setUp.taskbar, before, 30000) != 0;
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
    report.markdown += Format("| CPU time over %d s at rest (ms) | %.1f | %.1f | program with one 1-second "
                              "timer | %s | <= 1.1: %s |\n",
                              options.cpuSeconds, cpuTidewell, cpuTimer, Ratio(cpuTidewell, cpuTimer).c_str(),
                              Verdict(met));
}

void MeasureSize(const SetUp&)
{
    double tw = FileSize(options.tidewell), ref = FileSize(BenchProgram("bench_tray.exe"));
    Raw("executable bytes", "tidewell", 1, tw);
    Raw("executable bytes", "bench_tray", 1, ref);
    Log("executable size: tidewell %.0f bytes, minimal tray program %.0f bytes", tw, ref);
    report.markdown += Format("| Executable size (bytes) | %.0f | %.0f | minimal tray program | %s | "
                              "<= 2.0: %s |\n",
                              tw, ref, Ratio(tw, ref).c_str(), Verdict(ref > 0 && tw / ref <= 2.0));
    Summarize("size", Ratio(tw, ref, "%.2f"));
}
