#include "file_time.h"

// FILETIME counts from 1601-01-01 UTC, Unix time from 1970-01-01 UTC.
static const int64_t UnixEpochSince1601 = 11644473600;
static const int64_t TicksPerSecond = 10000000;
static const int64_t NanosecondsPerTick = 100;

bool FileTimeFromUnix(int64_t seconds, int64_t nanoseconds, uint64_t* fileTime) {
    if (nanoseconds < 0 || nanoseconds >= TicksPerSecond * NanosecondsPerTick) {
        return false;
    }
    // Checked before the addition, which could otherwise overflow.
    if (seconds < -UnixEpochSince1601 ||
        seconds > static_cast<int64_t>(LatestFileTime / TicksPerSecond) - UnixEpochSince1601) {
        return false;
    }
    uint64_t since1601 = static_cast<uint64_t>(seconds + UnixEpochSince1601);
    uint64_t ticks = static_cast<uint64_t>(nanoseconds / NanosecondsPerTick);
    if (since1601 > (LatestFileTime - ticks) / TicksPerSecond) {
        return false;
    }
    uint64_t result = since1601 * TicksPerSecond + ticks;
    if (result == 0) {
        return false;
    }
    *fileTime = result;
    return true;
}
