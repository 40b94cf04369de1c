// The four actions as the measures run them; see action_specs.h.
#include "action_specs.h"

#include <cstring>

#include "bench_report.h"

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

const ActionSpec& Spec(const char* name)
{
    for (const ActionSpec& action : kActionSpecs) {
        if (std::strcmp(action.name, name) == 0)
            return action;
    }
    return kActionSpecs[0];
}

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
