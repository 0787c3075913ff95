#pragma once

#include <algorithm>
#include <vector>

inline double Median(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    size_t middle = samples.size() / 2;
    return samples.size() % 2 ? samples[middle] : (samples[middle - 1] + samples[middle]) / 2;
}
