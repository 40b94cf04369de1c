// The figures of the tables; see bench_statistics.h.
#include "bench_statistics.h"

#include <algorithm>

#include "bench_report.h"

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    size_t middle = values.size() / 2;
    if (values.size() % 2 == 1)
        return values[middle];
    return (values[middle - 1] + values[middle]) / 2;
}

std::string Spread(std::vector<double> values, const char* format)
{
    if (values.empty())
        return "n/a";
    std::sort(values.begin(), values.end());
    std::string m = Format(format, Median(values)), lo = Format(format, values.front()),
                hi = Format(format, values.back());
    return m + " (" + lo + "-" + hi + ")";
}

Interval RatioInterval(const std::vector<double>& values, const std::vector<double>& references)
{
    Interval interval;
    if (values.size() < 2 || references.size() < 2)
        return interval;
    unsigned seed = 12345;
    auto pick = [&seed](const std::vector<double>& from) {
        std::vector<double> drawn;
        for (size_t i = 0; i < from.size(); ++i) {
            seed = seed * 1103515245u + 12345u;
            drawn.push_back(from[(seed >> 8) % from.size()]);
        }
        return Median(drawn);
    };
    std::vector<double> ratios;
    for (int i = 0; i < 2000; ++i) {
        double reference = pick(references), value = pick(values);
        if (reference > 0)
            ratios.push_back(value / reference);
    }
    if (ratios.empty())
        return interval;
    std::sort(ratios.begin(), ratios.end());
    interval.known = true;
    interval.low = ratios[ratios.size() * 25 / 1000];
    interval.high = ratios[ratios.size() * 975 / 1000];
    return interval;
}

std::string IntervalText(const Interval& interval)
{
    return interval.known ? Format(" (%.2f-%.2f)", interval.low, interval.high) : "";
}

std::string RatioCell(const std::vector<double>& values, const std::vector<double>& references)
{
    return Ratio(Median(values), Median(references), "%.2f") + IntervalText(RatioInterval(values, references));
}

std::string Ratio(double value, double reference, const char* format)
{
    return reference > 0 ? Format(format, value / reference) : "n/a";
}

std::string RatioRange(std::vector<double> ratios)
{
    if (ratios.empty())
        return "n/a";
    std::sort(ratios.begin(), ratios.end());
    return Format("%.2f to %.2f", ratios.front(), ratios.back());
}

const char* Verdict(bool met)
{
    return met ? "met" : "**missed**";
}
