#pragma once

#include "setup/payload_layout.h"
#include "setup/setup_state.h"

#include <lzma.h>

#include <cstdint>

// Fills the directory from the image's records; offsets wrap in 32 bits, as the closing sum expects.
// Returns where the last body ends.
uint32_t FillPayloadDirectory(const uint8_t* image, PayloadEntry* directory);

// Reads the five LZMA property bytes; false when the properties byte is out of range.
bool DecodeLzmaProperties(const uint8_t* properties, lzma_options_lzma* options);
