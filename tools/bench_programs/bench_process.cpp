// What the driver measures of a process; see bench_process.h.
#include "bench_process.h"

#include <psapi.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "bench_report.h"
#include "bench_state.h"
#include "files.h"
#include "standin_taskbar.h"
#include "window_helper.h"

namespace {

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
// its own. The log's length now: what a run started now need not look at.
size_t EndOfCpuLog()
{
    if (options.cpuLog.empty())
        return 0;
    return static_cast<size_t>(std::max(0.0, FileSize(options.cpuLog)));
}

// The CPU time of the process of `exe` that ended last, once the reaper has
// logged it after the first `seen` bytes of its log (`seen` moves on past the
// lines looked at); -1 without a log or after 5 s. Linux keeps 15 characters
// of a process's name: Wine names the process after the program's file.
double EndedProcessCpuMs(const std::string& exe, size_t* seen)
{
    if (options.cpuLog.empty())
        return -1;
    std::string name = exe.substr(exe.find_last_of("\\/") + 1).substr(0, 15) + "\t";
    for (DWORD start = GetTickCount(); GetTickCount() - start < 5000; Sleep(2)) {
        std::string log = ReadFileBytes(options.cpuLog);
        for (size_t end; (end = log.find('\n', *seen)) != std::string::npos;) {
            std::string line = log.substr(*seen, end - *seen);
            *seen = end + 1;
            size_t value = line.rfind('\t');
            if (_strnicmp(line.c_str(), name.c_str(), name.size()) == 0 && value != std::string::npos)
                return std::strtod(line.c_str() + value + 1, nullptr);
        }
    }
    Fail("no CPU time was logged for %s", exe.c_str());
    return -1;
}

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

}  // namespace

double NowMs()
{
    static LARGE_INTEGER frequency = {};
    if (frequency.QuadPart == 0)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double FileSize(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return static_cast<double>(data.nFileSizeLow);
}

bool WriteFileBytes(const std::string& path, const std::string& content)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    bool written = std::fwrite(content.data(), 1, content.size(), file) == content.size();
    return std::fclose(file) == 0 && written;
}

HWND WindowOf(const Process& child, const char* className)
{
    WindowSearch search = {child.id, className, nullptr};
    EnumWindows(FindWindowOfProcess, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

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

bool TimeProgram(const std::string& exe, const std::string& args, BenchWindows* windows, Sample* sample)
{
    size_t seen = EndOfCpuLog();
    double stolen = StolenMs(), start = NowMs();
    Process child = StartProcess(exe, args);
    if (child.handle == nullptr || !WaitProcess(child, 600000) || (windows != nullptr && !windows->Settle())) {
        KillProcess(child);
        return false;
    }
    sample->stolen = StolenMs() - stolen;
    sample->wall = NowMs() - start - sample->stolen;
    sample->cpu = EndedProcessCpuMs(exe, &seen);
    return true;
}

Sample TimeRun(const std::string& exe, const std::string& args)
{
    Sample sample;
    TimeProgram(exe, args, nullptr, &sample);
    return sample;
}

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
