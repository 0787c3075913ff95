#include "payload_compress.h"

#include <lzma.h>

#include <cstring>

static const uint8_t ExpectedProperties[PayloadPropertyBytes] = {0x5D, 0x00, 0x00, 0x30, 0x00};

uint32_t CompressPayloadImage(const std::vector<uint8_t>& image, std::vector<uint8_t>* resource) {
    resource->clear();
    lzma_options_lzma options;
    if (lzma_lzma_preset(&options, 9 | LZMA_PRESET_EXTREME)) {
        return CompressSetupFailed;
    }
    // The installer's decoder is built for exactly these; the dictionary covers the whole image.
    options.lc = 3;
    options.lp = 0;
    options.pb = 2;
    options.dict_size = PayloadDictionaryBytes;
    lzma_filter filters[2] = {{LZMA_FILTER_LZMA1, &options}, {LZMA_VLI_UNKNOWN, nullptr}};

    uint32_t propertySize = 0;
    if (lzma_properties_size(&propertySize, &filters[0]) != LZMA_OK || propertySize != PayloadPropertyBytes) {
        return CompressSetupFailed;
    }
    // Incompressible input grows by a few percent at most; half again plus slack is ample.
    size_t capacity = PayloadPropertyBytes + image.size() + image.size() / 2 + 4096;
    resource->resize(capacity);
    if (lzma_properties_encode(&filters[0], resource->data()) != LZMA_OK) {
        resource->clear();
        return CompressSetupFailed;
    }
    if (std::memcmp(resource->data(), ExpectedProperties, PayloadPropertyBytes) != 0) {
        resource->clear();
        return CompressPropertiesWrong;
    }

    size_t used = PayloadPropertyBytes;
    lzma_ret result =
        lzma_raw_buffer_encode(filters, nullptr, image.data(), image.size(), resource->data(), &used, capacity);
    if (result != LZMA_OK) {
        resource->clear();
        return CompressEncodeFailed;
    }
    resource->resize(used);
    return CompressOk;
}

const char* DescribeCompressFault(uint32_t fault) {
    switch (fault) {
        case CompressOk:
            return "compressed";
        case CompressSetupFailed:
            return "liblzma refused the LZMA1 settings";
        case CompressPropertiesWrong:
            return "liblzma encoded property bytes other than 5D 00 00 30 00";
        case CompressEncodeFailed:
            return "liblzma failed to encode the image";
        default:
            return "unknown fault";
    }
}
