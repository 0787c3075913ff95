// Makes damaged copies of the built payload resource, each the way one loader check must catch it:
//   short / long      one byte less / more than the resource the loader expects
//   stream            the same size, with bytes of the compressed stream changed
//   checksum          an image with one changed byte, recompressed to exactly the expected size
//   directory         an image whose entry sizes no longer end at its end, with an unchanged checksum
//   oversized         a stream that decodes to more than the 4 MiB output buffer
// Usage: make_payload_variants <payload.lzma> <output-folder>
#include "payload_checksum.h"
#include "payload_compress.h"
#include "payload_decode.h"

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

// Recompresses an image and pads it with bytes past the end marker, which the decoder never reads,
// so that only the intended check can tell the copy from the real resource.
bool CompressToSize(const std::vector<uint8_t>& image, size_t size, std::vector<uint8_t>* resource) {
    if (CompressPayloadImage(image, resource) != CompressOk || resource->size() > size) {
        return false;
    }
    resource->resize(size, 0);
    return true;
}

bool Write(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

uint32_t Checksum(const std::vector<uint8_t>& image) {
    return PayloadChecksum(image.data(), static_cast<uint32_t>(image.size()));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_payload_variants <payload.lzma> <output-folder>\n");
        return 2;
    }
    std::vector<uint8_t> resource;
    std::vector<uint8_t> image;
    if (!DecodePayloadFile(argv[1], &resource, &image) || resource.size() < 64) {
        std::fprintf(stderr, "make_payload_variants: %s is not a payload resource\n", argv[1]);
        return 1;
    }
    const std::string folder = argv[2];
    const size_t size = resource.size();
    bool ok = true;

    std::vector<uint8_t> variant(resource.begin(), resource.end() - 1);
    ok = ok && Write(folder + "/short.lzma", variant);
    variant.assign(resource.begin(), resource.end());
    variant.push_back(0);
    ok = ok && Write(folder + "/long.lzma", variant);

    variant.assign(resource.begin(), resource.end());
    for (size_t i = size / 2; i < size / 2 + 16; ++i) variant[i] ^= 0xA5;
    ok = ok && Write(folder + "/stream.lzma", variant);

    // Try changes in the license text until one recompresses small enough.
    bool made = false;
    for (size_t i = 130; i < 600 && !made; ++i) {
        std::vector<uint8_t> changed = image;
        changed[i] ^= 0x01;
        made = Checksum(changed) != Checksum(image) && CompressToSize(changed, size, &variant);
    }
    ok = ok && made && Write(folder + "/checksum.lzma", variant);

    // Raising one byte of an entry's size by d and lowering the next by 2d leaves the running checksum
    // as it was whenever no carry crosses the rotation; keep the first such edit that fits, from the
    // last entry back, since whether a recompressed image fits depends on the bodies.
    made = false;
    for (size_t entry = PayloadEntryCount; entry-- > 0 && !made;) {
        for (size_t at = entry * PayloadRecordBytes; at < entry * PayloadRecordBytes + 3 && !made; ++at) {
            for (int d = 1; d < 100 && !made; ++d) {
                if (image[at] + d > 255 || image[at + 1] < 2 * d) continue;
                std::vector<uint8_t> changed = image;
                changed[at] = static_cast<uint8_t>(changed[at] + d);
                changed[at + 1] = static_cast<uint8_t>(changed[at + 1] - 2 * d);
                made = Checksum(changed) == Checksum(image) && CompressToSize(changed, size, &variant);
            }
        }
    }
    ok = ok && made && Write(folder + "/directory.lzma", variant);

    std::vector<uint8_t> huge(PayloadCapacity + 1, 0x4B);
    ok = ok && CompressToSize(huge, size, &variant) && Write(folder + "/oversized.lzma", variant);

    if (!ok) {
        std::fprintf(stderr, "make_payload_variants: could not make every variant\n");
        return 1;
    }
    return 0;
}
