#pragma once

#include <cstdint>
#include <vector>

constexpr uint32_t PayloadBodyCount = 10;
constexpr uint32_t PayloadRecordBytes = 12;
constexpr uint32_t PayloadDirectoryBytes = PayloadBodyCount * PayloadRecordBytes;
constexpr uint32_t LicenseBodyIndex = 0;

enum ImageFault : uint32_t {
    ImageOk = 0,
    BodyCountWrong = 1,
    BodyTooLarge = 2,
    ImageTooLarge = 3,
    LicenseHasNul = 4,
};

struct PayloadBody {
    std::vector<uint8_t> Bytes;
    uint64_t LastWriteTime;  // Windows FILETIME, 0 when the entry carries none
};

// Sizes alone, so the builder can refuse a body before reading it in. On a fault, *faultIndex is the
// body that does not fit: the first missing or first extra one, or the one that overflows.
uint32_t CheckPayloadSizes(const uint64_t* sizes, uint32_t count, uint32_t* faultIndex);

// Directory of ten size/time records, then the bodies back to back; *image is left empty on a fault.
uint32_t AssemblePayloadImage(const std::vector<PayloadBody>& bodies, std::vector<uint8_t>* image,
                              uint32_t* faultIndex);

const char* DescribeImageFault(uint32_t fault);
