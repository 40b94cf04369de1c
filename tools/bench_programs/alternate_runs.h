// Two programs measured in turns: the runs of each, their wall and CPU times,
// and the two wall times as table cells.
#pragma once
#include <string>
#include <vector>

#include "bench_actions.h"
#include "bench_process.h"
#include "bench_report.h"
#include "bench_state.h"

typedef std::vector<Sample> Samples;

struct Pair {
    Samples first;
    Samples second;
};

std::vector<double> Walls(const Samples& samples);
// The CPU times that are known.
std::vector<double> Cpus(const Samples& samples);
// The two programs' wall times as two table cells.
std::string WallCells(const Pair& pair);
// A run's figures in raw.tsv: the wall time, and the CPU and stolen time where
// they are measured.
void RawSample(const std::string& measure, const char* program, int run, const Sample& sample);

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

// The runs of one action over n windows, two programs in turns, each on the
// same windows put back in the state they were made in (a close leaves none:
// each gets fresh ones). Each run must act on all n windows.
Pair AlternateAction(const std::string& measure, const BenchAction& action, int n,
                     const std::string& firstExe, const char* firstName,
                     const std::string& secondExe, const char* secondName, bool warmUp);
