#pragma once
// Small helpers shared by the benchmark programs: the median of repeated
// runs and fixed-point formatting of figures.

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace skyloom::bench {

inline double median(std::vector<double> v) {
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

inline std::string fixed(double v, int decimals = 0) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, v);
    return buffer;
}

} // namespace skyloom::bench
