// The driver's output: progress and failures in log.txt, every sample in
// raw.tsv, and at the end results.md (the tables) and summary.tsv (the
// README's figures) from the text the measures add to `report`.
#pragma once
#include <string>

// One line of progress, after the seconds since the driver started.
void Log(const char* format, ...);
// A failed check: logged as "FAILED: ..." and counted.
void Fail(const char* format, ...);
// One line of raw.tsv: measure, program, run and value.
void Raw(const std::string& measure, const std::string& program, int run, double value);
// printf into a string of at most 2047 characters.
std::string Format(const char* format, ...);
// One figure of the README's summary under its key.
void Summarize(const char* key, const std::string& figure);

// Opens log.txt and raw.tsv in the folder to add to them, a new raw.tsv with
// its heading line; false when either cannot be made.
bool OpenReport(const std::string& outDir);
// Adds to results.md and summary.tsv in the folder.
void WriteReport(const std::string& outDir);
void CloseReport();
