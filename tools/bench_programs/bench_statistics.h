// The figures of the tables: medians and ranges of runs, ratios with their
// bootstrap interval, and whether a target was met.
#pragma once
#include <string>
#include <vector>

double Median(std::vector<double> values);
// The median of the values with their smallest and largest, "m (lo-hi)".
std::string Spread(std::vector<double> values, const char* format);

// The interval that holds the ratio of the two medians in 95 of 100 cases, as
// the bootstrap finds it: the ratio over 2000 resamplings of each set of runs
// (with a fixed seed, so that the same runs give the same interval).
struct Interval {
    bool known = false;
    double low = 0, high = 0;
};
Interval RatioInterval(const std::vector<double>& values, const std::vector<double>& references);
// " (0.95-1.12)", or nothing when the interval is not known.
std::string IntervalText(const Interval& interval);
// The ratio of the medians with its interval, "1.04 (0.95-1.12)".
std::string RatioCell(const std::vector<double>& values, const std::vector<double>& references);

// value / reference in the format, or "n/a" without a reference.
std::string Ratio(double value, double reference, const char* format = "%.3f");
// "lo to hi" over ratios, two decimals.
std::string RatioRange(std::vector<double> ratios);
// "met", or "**missed**".
const char* Verdict(bool met);
