// What the driver's files share while it runs: the options it was started
// with, and the report it writes. Everything else is handed on as arguments.
#pragma once
#include <cstdio>
#include <string>
#include <vector>

struct Options {
    std::string outDir;
    std::string tidewell;
    int runs = 7;
    std::vector<int> sizes = {50, 200, 500};
    int hungWindows = 5;
    int hungTotal = 200;
    int cpuSeconds = 60;
    int soakCycles = 1000;
    int soakFirstCycles = 10;
    std::string only;
    std::string cpuLog;
    int stealCpu = -1;
    // The Wine server's request trace, for the phases that count requests.
    std::string trace;
    std::vector<int> requestSizes = {100, 500};
    int requestRounds = 2;
};

extern Options options;

// The open log.txt and raw.tsv, the text of results.md and summary.tsv as the
// measures add to it, and how many checks have failed.
struct Report {
    FILE* log = nullptr;
    FILE* raw = nullptr;
    std::string markdown;
    // The README's summary: lines "key<TAB>figure"; a key given twice is one row.
    std::string summary;
    int failures = 0;
};

extern Report report;
