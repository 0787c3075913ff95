#pragma once

#include "payload_layout.h"

#include <lzma.h>

#include <cstdint>
#include <vector>

// The installer's decode done on the host, for the tools, tests and benchmarks that read a built
// resource: the property bytes, then one raw LZMA1 decode into the loader's fixed capacity. *image
// keeps what was produced; true only when the whole resource decoded, up to its end marker. The
// properties the resource states go to *properties when it is given.
bool DecodePayloadResource(const std::vector<uint8_t>& resource, std::vector<uint8_t>* image,
                           lzma_options_lzma* properties = nullptr);

// Reads a resource file whole into *resource and decodes it; false when it cannot be read or decoded.
bool DecodePayloadFile(const char* path, std::vector<uint8_t>* resource, std::vector<uint8_t>* image);
