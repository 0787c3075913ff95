#pragma once

#include <cstdint>

// Sum-and-rotate over the decoded payload image. The builder records it and the installer recomputes
// it after decoding, so a damaged resource is caught before any file is written.
uint32_t PayloadChecksum(const uint8_t* data, uint32_t count);
