#pragma once

#include <cstdint>

// The payload's fixed layout, shared by the installer's loader and the host tool that builds it, so
// that the builder refuses exactly what the loader could not hold.
constexpr uint32_t PayloadCapacity = 0x400000;  // 4 MiB: fixed, never sized from the stream
constexpr uint32_t PayloadRecordBytes = 12;
