// The driver's output; see bench_report.h.
#include "bench_report.h"

#include <cstdarg>
#include <cstdio>

#include "bench_process.h"
#include "bench_state.h"

Report report;

void Log(const char* format, ...)
{
    static const double started = NowMs();
    char line[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    if (report.log != nullptr) {
        std::fprintf(report.log, "[%4.0f s] %s\n", (NowMs() - started) / 1000, line);
        std::fflush(report.log);
    }
}

void Fail(const char* format, ...)
{
    char line[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    ++report.failures;
    Log("FAILED: %s", line);
}

void Raw(const std::string& measure, const std::string& program, int run, double value)
{
    if (report.raw == nullptr)
        return;
    std::fprintf(report.raw, "%s\t%s\t%d\t%.3f\n", measure.c_str(), program.c_str(), run, value);
    std::fflush(report.raw);
}

std::string Format(const char* format, ...)
{
    char text[2048];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}

void Summarize(const char* key, const std::string& figure)
{
    report.summary += std::string(key) + "\t" + figure + "\n";
}

bool OpenReport(const std::string& outDir)
{
    // tools/bench may run the driver twice into one folder (once under the
    // request trace): each run adds to the files.
    report.log = std::fopen((outDir + "\\log.txt").c_str(), "ab");
    report.raw = std::fopen((outDir + "\\raw.tsv").c_str(), "ab");
    if (report.log == nullptr || report.raw == nullptr)
        return false;
    if (std::ftell(report.raw) == 0)
        std::fprintf(report.raw, "measure\tprogram\trun\tvalue\n");
    return true;
}

void WriteReport(const std::string& outDir)
{
    for (const char* name : {"results.md", "summary.tsv"}) {
        FILE* out = std::fopen((outDir + "\\" + name).c_str(), "ab");
        if (out != nullptr) {
            std::fputs(name[0] == 'r' ? report.markdown.c_str() : report.summary.c_str(), out);
            std::fclose(out);
        }
    }
}

void CloseReport()
{
    std::fclose(report.raw);
    std::fclose(report.log);
    report.raw = nullptr;
    report.log = nullptr;
}
