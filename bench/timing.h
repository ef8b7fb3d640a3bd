#pragma once
// The clock and the statistic the microsecond benchmarks share.

#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <vector>

inline double TicksPerMicrosecond() {
    LARGE_INTEGER f{};
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart) / 1e6;
}

inline LONGLONG Now() {
    LARGE_INTEGER t{};
    QueryPerformanceCounter(&t);
    return t.QuadPart;
}

// The middle sample, or the mean of the two middle ones for an even count.
inline double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n == 0 ? 0.0 : (n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2.0);
}
