#pragma once

#include <cstdint>

// How completely something was removed, ordered from best to worst so that outcomes combine by maximum.
enum RemovalOutcome : uint32_t {
    Removed = 0,
    RemovedAtRestart = 1,
    LeftBehind = 2,
};

constexpr RemovalOutcome WorseOutcome(RemovalOutcome a, RemovalOutcome b) {
    return a > b ? a : b;
}
