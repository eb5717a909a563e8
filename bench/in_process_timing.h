#pragma once

// What the benchmarks that time inside one process share: a monotonic clock and the median of
// the runs, which one slow run on a shared machine does not move.
#include <algorithm>
#include <chrono>
#include <vector>

namespace sw::bench {

using Clock = std::chrono::steady_clock;

inline double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace sw::bench
