#include "payload_image.h"

#include <cstring>

static void PutUint32(uint8_t* target, uint32_t value);

static void PutUint32(uint8_t* target, uint32_t value) {
    target[0] = static_cast<uint8_t>(value);
    target[1] = static_cast<uint8_t>(value >> 8);
    target[2] = static_cast<uint8_t>(value >> 16);
    target[3] = static_cast<uint8_t>(value >> 24);
}

uint32_t CheckPayloadSizes(const uint64_t* sizes, uint32_t count, uint32_t* faultIndex) {
    if (count != PayloadBodyCount) {
        *faultIndex = count < PayloadBodyCount ? count : PayloadBodyCount;
        return BodyCountWrong;
    }
    uint64_t total = PayloadDirectoryBytes;
    for (uint32_t index = 0; index < count; ++index) {
        if (sizes[index] > UINT32_MAX) {
            *faultIndex = index;
            return BodyTooLarge;
        }
        // Each size is below 2^32, so the running total cannot wrap 64 bits before this catches it.
        total += sizes[index];
        if (total > UINT32_MAX) {
            *faultIndex = index;
            return ImageTooLarge;
        }
    }
    return ImageOk;
}

uint32_t AssemblePayloadImage(const std::vector<PayloadBody>& bodies, std::vector<uint8_t>* image,
                              uint32_t* faultIndex) {
    image->clear();
    uint64_t sizes[PayloadBodyCount + 1] = {};
    uint32_t count = bodies.size() > PayloadBodyCount ? PayloadBodyCount + 1 : static_cast<uint32_t>(bodies.size());
    for (uint32_t index = 0; index < count && index < PayloadBodyCount; ++index) {
        sizes[index] = bodies[index].Bytes.size();
    }
    uint32_t fault = CheckPayloadSizes(sizes, count, faultIndex);
    if (fault != ImageOk) {
        return fault;
    }
    const std::vector<uint8_t>& license = bodies[LicenseBodyIndex].Bytes;
    // The installer shows the license as a C string; a NUL would cut it short without a word.
    if (!license.empty() && std::memchr(license.data(), 0, license.size()) != nullptr) {
        *faultIndex = LicenseBodyIndex;
        return LicenseHasNul;
    }

    uint64_t total = PayloadDirectoryBytes;
    for (uint32_t index = 0; index < PayloadBodyCount; ++index) {
        total += sizes[index];
    }
    image->resize(static_cast<size_t>(total));
    uint8_t* data = image->data();
    uint32_t bodyOffset = PayloadDirectoryBytes;
    for (uint32_t index = 0; index < PayloadBodyCount; ++index) {
        const PayloadBody& body = bodies[index];
        uint8_t* record = data + index * PayloadRecordBytes;
        uint32_t size = static_cast<uint32_t>(body.Bytes.size());
        PutUint32(record, size);
        PutUint32(record + 4, static_cast<uint32_t>(body.LastWriteTime));
        PutUint32(record + 8, static_cast<uint32_t>(body.LastWriteTime >> 32));
        if (size != 0) {
            std::memcpy(data + bodyOffset, body.Bytes.data(), size);
        }
        bodyOffset += size;
    }
    return ImageOk;
}

const char* DescribeImageFault(uint32_t fault) {
    switch (fault) {
        case ImageOk:
            return "fits";
        case BodyCountWrong:
            return "the pack holds exactly ten bodies";
        case BodyTooLarge:
            return "body is 4 GiB or larger; its size does not fit 32 bits";
        case ImageTooLarge:
            return "image would reach 4 GiB with this body; its size does not fit 32 bits";
        case LicenseHasNul:
            return "license text contains a NUL byte";
        default:
            return "unknown fault";
    }
}
