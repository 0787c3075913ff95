#pragma once

#include <cstdint>

// Windows refuses FILETIMEs with the top bit set, and all ones means "leave unchanged" to SetFileTime.
constexpr uint64_t LatestFileTime = 0x7FFFFFFFFFFFFFFFull;

// A Unix time with its nanoseconds as a Windows FILETIME, to the 100 ns that FILETIME counts (the
// nanoseconds below that are dropped, as Windows and Wine drop them). False when the time falls
// outside what a FILETIME can carry: before 1601, past LatestFileTime, or exactly 0, which the
// payload reads as "no time".
bool FileTimeFromUnix(int64_t seconds, int64_t nanoseconds, uint64_t* fileTime);
