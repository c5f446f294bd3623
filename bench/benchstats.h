#pragma once
// Helpers shared by the benchmarks: medians of interleaved samples, so one
// stall of a shared machine or a first run's warm-up decides nothing.
#include <algorithm>
#include <chrono>
#include <vector>

namespace bench {

using TClock = std::chrono::steady_clock;

inline double Since(TClock::time_point Start) {
    return std::chrono::duration<double>(TClock::now() - Start).count();
}

template <class F> double Seconds(F&& Fn) {
    const auto start = TClock::now();
    Fn();
    return Since(start);
}

inline double Median(std::vector<double> V) {
    if (V.empty()) return 0;
    const size_t mid = V.size() / 2;
    std::nth_element(V.begin(), V.begin() + mid, V.end());
    if (V.size() % 2) return V[mid];
    return (V[mid] + *std::max_element(V.begin(), V.begin() + mid)) / 2;
}

} // namespace bench
