#pragma once

#include <cstdint>

// The payload's fixed layout, shared by the installer's loader, the host tool that builds it, the
// tests and the benchmarks, so that the builder refuses exactly what the loader could not hold. The
// resource that carries it is IDR_PAYLOAD of resources/resource_ids.h.
constexpr uint32_t PayloadEntryCount = 10;  // the license, the eight programs, the uninstaller
constexpr uint32_t LicenseEntry = 0;
constexpr uint32_t UninstallerEntry = 9;
constexpr uint32_t PayloadRecordBytes = 12;  // size, then the last-write time
constexpr uint32_t PayloadDirectoryBytes = PayloadEntryCount * PayloadRecordBytes;
constexpr uint32_t PayloadPropertyBytes = 5;  // lc/lp/pb, then the dictionary size, before the stream
constexpr uint32_t PayloadCapacity = 0x400000;  // 4 MiB: fixed, never sized from the stream
// The License page shows at most this much of the license, and has no scroll bar.
constexpr uint32_t LicenseShownBytes = 511;
