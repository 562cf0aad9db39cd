// Order statistics of the benchmark's samples.
#pragma once

#include <algorithm>
#include <cmath>
#include <vector>

// Nearest-rank percentile (q in 0..1); negative when there are no samples.
inline double Percentile(std::vector<double> samples, double q)
{
    if (samples.empty())
        return -1;
    std::sort(samples.begin(), samples.end());
    const size_t rank = static_cast<size_t>(std::ceil(q * samples.size()));
    return samples[rank == 0 ? 0 : rank - 1];
}

// Median, the mean of the two middle samples for an even count; negative when empty.
inline double Median(std::vector<double> samples)
{
    if (samples.empty())
        return -1;
    std::sort(samples.begin(), samples.end());
    const size_t n = samples.size();
    return n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
}
