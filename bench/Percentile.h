// The p-th percentile (0..1, nearest rank) of a set of timings; 0 for none.
#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

inline double Percentile(std::vector<double> values, double p) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const auto at = static_cast<std::size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(at, values.size() - 1)];
}
