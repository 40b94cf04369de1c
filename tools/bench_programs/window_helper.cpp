// The window helper as the driver runs it; see window_helper.h.
#include "window_helper.h"

#include <string>

#include "bench_programs.h"
#include "bench_report.h"

namespace {

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

}  // namespace

BenchWindows::BenchWindows(int count, const char* state, int hung) : count_(count + hung)
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
    if (child_.handle == nullptr) {
        Fail("bench_windows.exe %d %s %d could not be started (error %lu)", count, state, hung, GetLastError());
    } else if (!ok_) {
        // Its exit code tells which step failed (2: arguments or events, 3: a window; 259: still running).
        DWORD code = 0;
        GetExitCodeProcess(child_.handle, &code);
        Fail("bench_windows.exe %d %s %d did not get ready (exit code %lu)", count, state, hung, code);
    }
}

BenchWindows::~BenchWindows()
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

bool BenchWindows::Signal(HANDLE request)
{
    ResetEvent(settled_);
    SetEvent(request);
    HANDLE handles[2] = {settled_, child_.handle};
    return WaitForMultipleObjects(2, handles, FALSE, 60000) == WAIT_OBJECT_0;
}

WindowCounts BenchWindows::Counts() const
{
    CountSearch search = {child_.id, {}};
    EnumWindows(CountWindowOfProcess, reinterpret_cast<LPARAM>(&search));
    return search.counts;
}
