// The benchmarks report the median of several runs: the machine is shared, and one slow or one
// lucky run should not decide a figure.
#pragma once

#include <algorithm>
#include <vector>

inline double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}
