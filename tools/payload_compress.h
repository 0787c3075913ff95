#pragma once

#include "payload_layout.h"

#include <cstdint>
#include <vector>

constexpr uint32_t PayloadDictionaryBytes = 3u << 20;

enum CompressFault : uint32_t {
    CompressOk = 0,
    CompressSetupFailed = 1,
    CompressPropertiesWrong = 2,
    CompressEncodeFailed = 3,
};

// Five LZMA property bytes, then the raw LZMA1 stream closed by its end marker: the installer's decoder
// knows neither the packed nor the unpacked size up front.
uint32_t CompressPayloadImage(const std::vector<uint8_t>& image, std::vector<uint8_t>* resource);

const char* DescribeCompressFault(uint32_t fault);
