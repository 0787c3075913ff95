#include "payload_image.h"

#include <cstring>

static void PutUint32(uint8_t* target, uint32_t value);

static void PutUint32(uint8_t* target, uint32_t value) {
    target[0] = static_cast<uint8_t>(value);
    target[1] = static_cast<uint8_t>(value >> 8);
    target[2] = static_cast<uint8_t>(value >> 16);
    target[3] = static_cast<uint8_t>(value >> 24);
}

uint32_t CheckPayloadSizes(const uint64_t* sizes, uint32_t count, uint32_t* faultIndex, uint64_t* imageSize) {
    *imageSize = PayloadDirectoryBytes;
    if (count != PayloadEntryCount) {
        *faultIndex = count < PayloadEntryCount ? count : PayloadEntryCount;
        return BodyCountWrong;
    }
    uint32_t largest = 0;
    for (uint32_t index = 0; index < count; ++index) {
        *imageSize = sizes[index] > UINT64_MAX - *imageSize ? UINT64_MAX : *imageSize + sizes[index];
        if (sizes[index] > sizes[largest]) {
            largest = index;
        }
    }
    if (*imageSize > PayloadCapacity) {
        *faultIndex = largest;
        return ImageTooLarge;
    }
    return ImageOk;
}

uint32_t AssemblePayloadImage(const std::vector<PayloadBody>& bodies, std::vector<uint8_t>* image,
                              uint32_t* faultIndex) {
    image->clear();
    uint64_t sizes[PayloadEntryCount + 1] = {};
    uint32_t count = bodies.size() > PayloadEntryCount ? PayloadEntryCount + 1 : static_cast<uint32_t>(bodies.size());
    for (uint32_t index = 0; index < count && index < PayloadEntryCount; ++index) {
        sizes[index] = bodies[index].Bytes.size();
    }
    uint64_t total = 0;
    uint32_t fault = CheckPayloadSizes(sizes, count, faultIndex, &total);
    if (fault != ImageOk) {
        return fault;
    }
    const std::vector<uint8_t>& license = bodies[LicenseEntry].Bytes;
    // The installer shows the license as a C string; a NUL would cut it short without a word.
    if (!license.empty() && std::memchr(license.data(), 0, license.size()) != nullptr) {
        *faultIndex = LicenseEntry;
        return LicenseHasNul;
    }
    if (license.size() > LicenseShownBytes) {
        *faultIndex = LicenseEntry;
        return LicenseTooLong;
    }

    image->resize(static_cast<size_t>(total));
    uint8_t* data = image->data();
    uint32_t bodyOffset = PayloadDirectoryBytes;
    for (uint32_t index = 0; index < PayloadEntryCount; ++index) {
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

std::string DescribeImageFault(uint32_t fault) {
    switch (fault) {
        case ImageOk:
            return "fits";
        case BodyCountWrong:
            return "the pack holds exactly " + std::to_string(PayloadEntryCount) + " bodies";
        case ImageTooLarge:
            return "the image would not fit the installer's fixed payload block of " + std::to_string(PayloadCapacity) +
                   " bytes";
        case LicenseHasNul:
            return "license text contains a NUL byte";
        case LicenseTooLong:
            return "license text is longer than the " + std::to_string(LicenseShownBytes) +
                   " bytes the License page shows, which has no scroll bar";
        default:
            return "unknown fault";
    }
}
