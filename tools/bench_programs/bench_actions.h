// The four actions as the measures run them over the helper's windows, and
// one timed run of an action.
#pragma once
#include <string>

#include "bench_process.h"
#include "window_helper.h"

struct BenchAction {
    const char* name;      // the switch
    const char* made;      // the state bench_windows makes the windows in
    const char* expected;  // what the action leaves them as
};

inline constexpr BenchAction kBenchActions[] = {
    {"/close", "normal", "gone"},
    {"/min", "normal", "minimized"},
    {"/max", "normal", "maximized"},
    {"/restore", "maximized", "normal"},
};

// How many windows of the helper reached the state the action gives.
int WindowsDone(const BenchAction& action, const WindowCounts& counts, int made);

// The row of that switch (the first row for an unknown one).
const BenchAction& BenchActionOf(const char* name);

// One timed run of a program over the windows: from the program's start until
// it has ended and the windows have settled (their thread has handled what the
// action left it, painting included). Checks that `expected` windows got the
// action.
Sample TimeAction(const BenchAction& action, const std::string& exe, BenchWindows& windows,
                  int expected, const char* label);
