// The window helper, bench_windows.exe, as the driver runs it: one run makes
// the windows, puts them back or lets them settle on request, and counts them
// by state.
#pragma once
#include <windows.h>

#include "processes.h"

struct WindowCounts {
    int total = 0;
    int normal = 0;
    int maximized = 0;
    int minimized = 0;
};

// The windows of one bench_windows.exe run, from its start to its end.
class BenchWindows {
public:
    BenchWindows(int count, const char* state, int hung = 0);
    ~BenchWindows();
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
    bool Signal(HANDLE request);
    WindowCounts Counts() const;

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
