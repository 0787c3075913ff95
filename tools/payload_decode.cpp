#include "payload_decode.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

bool DecodePayloadResource(const std::vector<uint8_t>& resource, std::vector<uint8_t>* image,
                           lzma_options_lzma* properties) {
    image->clear();
    lzma_filter filters[2] = {{LZMA_FILTER_LZMA1, nullptr}, {LZMA_VLI_UNKNOWN, nullptr}};
    if (resource.size() < PayloadPropertyBytes ||
        lzma_properties_decode(&filters[0], nullptr, resource.data(), PayloadPropertyBytes) != LZMA_OK) {
        return false;
    }
    if (properties != nullptr) {
        *properties = *static_cast<lzma_options_lzma*>(filters[0].options);
    }
    image->resize(PayloadCapacity);
    size_t in = PayloadPropertyBytes;
    size_t out = 0;
    lzma_ret result = lzma_raw_buffer_decode(filters, nullptr, resource.data(), &in, resource.size(), image->data(),
                                             &out, image->size());
    std::free(filters[0].options);
    image->resize(out);
    return result == LZMA_OK && in == resource.size();
}

bool DecodePayloadFile(const char* path, std::vector<uint8_t>* resource, std::vector<uint8_t>* image) {
    std::ifstream file(path, std::ios::binary);
    resource->assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return file.good() && DecodePayloadResource(*resource, image);
}
