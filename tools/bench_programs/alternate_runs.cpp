// Two programs measured in turns; see alternate_runs.h.
#include "alternate_runs.h"

#include <cstring>

#include "bench_statistics.h"

std::vector<double> Walls(const Samples& samples)
{
    std::vector<double> values;
    for (const Sample& sample : samples)
        values.push_back(sample.wall);
    return values;
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

std::string WallCells(const Pair& pair)
{
    return Spread(Walls(pair.first), "%.0f") + " | " + Spread(Walls(pair.second), "%.0f");
}

void RawSample(const std::string& measure, const char* program, int run, const Sample& sample)
{
    Raw(measure, program, run, sample.wall);
    if (!options.cpuLog.empty())
        Raw(measure + " cpu", program, run, sample.cpu);
    if (options.stealCpu >= 0)
        Raw(measure + " stolen", program, run, sample.stolen);
}

Pair AlternateAction(const std::string& measure, const BenchAction& action, int n,
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
