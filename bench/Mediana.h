#pragma once
// The median of a benchmark's measurements.

#include <algorithm>
#include <vector>

inline double mediana(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}
