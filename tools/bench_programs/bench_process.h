// What the driver measures of a process: timed runs (wall time less the
// host's steal, CPU time from tools/bench's reaper log), memory and handles,
// and the CPU time of its Linux process; finding and ending its window, and
// waiting for its first tray icon.
#pragma once
#include <windows.h>

#include <string>

#include "processes.h"

class BenchWindows;
class StandinTaskbar;

double NowMs();
// A file's size in bytes, or -1 when it cannot be read.
double FileSize(const std::string& path);
// Writes exactly these bytes to a file, replacing it; false when that fails.
bool WriteFileBytes(const std::string& path, const std::string& content);

// A top-level window of the process with that class, shown or not; or null.
HWND WindowOf(const Process& child, const char* className);
// Asks the program's window to close and waits for the program to end.
void EndByClose(Process& child, const char* className);

// Waits for the first icon that a program adds after the stand-in has seen
// `before` requests; its arrival in GetTickCount() ms, or 0 on timeout.
DWORD WaitForIconAdded(const StandinTaskbar& taskbar, size_t before, DWORD timeoutMs);

// One timed run: the wall-clock time in ms, less what the virtual machine's
// host took of the CPU the run had; and the CPU time in ms that the program's
// process used from its start to its end (-1 where unknown).
struct Sample {
    double wall = -1;
    double cpu = -1;
    double stolen = 0;
};

// Runs a program to its end, timed from its start, less the host's steal,
// with the CPU time it used. With windows, the time runs on until they have
// settled. False, with the sample left unmeasured, when it did not end.
bool TimeProgram(const std::string& exe, const std::string& args, BenchWindows* windows, Sample* sample);
// The same without windows; the sample is unmeasured when the run failed.
Sample TimeRun(const std::string& exe, const std::string& args);

struct MemorySample {
    double workingSetKb = 0;
    double privateKb = 0;
    DWORD handles = 0;
    bool ok = false;
};

// The working set and the private bytes as the platform reports them, and the
// handles. Wine takes both figures from Linux: the resident set, and the
// process's anonymous memory (PagefileUsage, which Windows calls the commit
// charge or private bytes) on either side of Wine, its Unix side included.
MemorySample SampleMemory(const Process& child);

// The Linux process behind a Windows one: Wine shows a program's path as the
// start of its Linux command line. Found through drive Z:, Wine's view of "/".
int FindUnixPid(const std::string& exe);
// CPU time in ms that the kernel has run every thread of a Linux process, to
// the nanosecond (the first field of each thread's schedstat); -1 when unknown.
double UnixCpuMs(int unixPid);
