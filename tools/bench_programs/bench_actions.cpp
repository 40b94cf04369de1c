// The four actions as the measures run them; see bench_actions.h.
#include "bench_actions.h"

#include <cstring>

#include "bench_report.h"

int WindowsDone(const BenchAction& action, const WindowCounts& counts, int made)
{
    if (std::strcmp(action.expected, "gone") == 0)
        return made - counts.total;
    if (std::strcmp(action.expected, "minimized") == 0)
        return counts.minimized;
    if (std::strcmp(action.expected, "maximized") == 0)
        return counts.maximized;
    return counts.normal;
}

const BenchAction& BenchActionOf(const char* name)
{
    for (const BenchAction& action : kBenchActions) {
        if (std::strcmp(action.name, name) == 0)
            return action;
    }
    return kBenchActions[0];
}

Sample TimeAction(const BenchAction& action, const std::string& exe, BenchWindows& windows,
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
