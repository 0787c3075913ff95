#pragma once

#include "payload_layout.h"

#include <cstdint>
#include <string>
#include <vector>

enum ImageFault : uint32_t {
    ImageOk = 0,
    BodyCountWrong = 1,
    ImageTooLarge = 2,
    LicenseHasNul = 3,
    LicenseTooLong = 4,
};

struct PayloadBody {
    std::vector<uint8_t> Bytes;
    uint64_t LastWriteTime;  // Windows FILETIME, 0 when the entry carries none
};

// Sizes alone, so the builder can refuse a body before reading it in. *imageSize is the directory and
// the bodies together, saturated at the largest 64-bit value. On a fault, *faultIndex is the first
// missing or first extra body, or the largest one when the image would not fit the installer's block.
uint32_t CheckPayloadSizes(const uint64_t* sizes, uint32_t count, uint32_t* faultIndex, uint64_t* imageSize);

// Directory of ten size/time records, then the bodies back to back; *image is left empty on a fault.
uint32_t AssemblePayloadImage(const std::vector<PayloadBody>& bodies, std::vector<uint8_t>* image,
                              uint32_t* faultIndex);

std::string DescribeImageFault(uint32_t fault);
