#include "setup/payload_format.h"

#include "payload_constants.h"
#include "resources/resource_ids.h"
#include "setup/payload_checksum.h"

namespace {

uint32_t ReadUInt32(const uint8_t* bytes);
void* AllocateDecoderMemory(void* opaque, size_t count, size_t size);
void FreeDecoderMemory(void* opaque, void* block);
uint32_t DecodePayload(const uint8_t* resource, uint8_t* output, uint32_t capacity);

}  // namespace

uint8_t* PayloadBuffer::AllocatePayloadBuffer() {
    if (Owned) {
        ReleasePayloadBuffer();
        Owned = 0;
    }
    void* block = ::HeapAlloc(::GetProcessHeap(), HEAP_ZERO_MEMORY, PayloadCapacity);
    if (block == nullptr) {
        return nullptr;
    }
    Data = static_cast<uint8_t*>(block);
    Owned = 1;
    Capacity = PayloadCapacity;
    ElementSize = 1;
    Length = PayloadCapacity;
    return Data;
}

void PayloadBuffer::ReleasePayloadBuffer() {
    if (!Owned || Data == nullptr) {
        return;
    }
    ::HeapFree(::GetProcessHeap(), 0, Data);
    Data = nullptr;
    Capacity = 0;
    ElementSize = 1;
    Length = 0;
    Reserved = 0;
}

uint32_t SetupState::LoadPayload() {
    HRSRC resource = ::FindResourceW(Instance, MAKEINTRESOURCEW(IDR_PAYLOAD), RT_RCDATA);
    if (resource == nullptr) {
        ResourceData = nullptr;
        return 4;
    }
    ResourceSize = ::SizeofResource(Instance, resource);
    if (ResourceSize == 0) {
        ResourceData = nullptr;
        return 4;
    }
    HGLOBAL loaded = ::LoadResource(Instance, resource);
    ResourceData = loaded != nullptr ? static_cast<const uint8_t*>(::LockResource(loaded)) : nullptr;
    if (ResourceData == nullptr) {
        return 4;
    }
    if (ResourceSize != PayloadResourceSize) {
        return 4;
    }
    if (Payload.AllocatePayloadBuffer() == nullptr) {
        return 7;
    }
    if (DecodePayload(ResourceData, Payload.Data, Payload.Length) != PayloadImageSize) {
        return 21;
    }
    if (PayloadChecksum(Payload.Data, PayloadImageSize) != PayloadImageChecksum) {
        return 21;
    }
    if (FillPayloadDirectory(Payload.Data, PayloadDirectory) != PayloadImageSize) {
        return 21;
    }
    return 0;
}

uint32_t FillPayloadDirectory(const uint8_t* image, PayloadEntry* directory) {
    uint32_t offset = PayloadDirectoryBytes;
    for (uint32_t k = 0; k < PayloadEntryCount; ++k) {
        const uint8_t* record = image + PayloadRecordBytes * k;
        directory[k].Offset = offset;
        directory[k].Size = ReadUInt32(record);
        directory[k].LastWriteTime.dwLowDateTime = ReadUInt32(record + 4);
        directory[k].LastWriteTime.dwHighDateTime = ReadUInt32(record + 8);
        offset += directory[k].Size;
    }
    return offset;
}

bool DecodeLzmaProperties(const uint8_t* properties, lzma_options_lzma* options) {
    uint32_t byte = properties[0];
    if (byte >= 9 * 5 * 5) {
        return false;
    }
    *options = lzma_options_lzma{};
    options->lc = byte % 9;
    options->lp = (byte / 9) % 5;
    options->pb = byte / 45;
    uint32_t dictionary = ReadUInt32(properties + 1);
    options->dict_size = dictionary < 4096 ? 4096 : dictionary;
    return true;
}

namespace {

uint32_t ReadUInt32(const uint8_t* bytes) {
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

void* AllocateDecoderMemory(void*, size_t count, size_t size) {
    if (size != 0 && count > static_cast<size_t>(-1) / size) {
        return nullptr;
    }
    return ::HeapAlloc(::GetProcessHeap(), 0, count * size);
}

void FreeDecoderMemory(void*, void* block) {
    if (block != nullptr) {
        ::HeapFree(::GetProcessHeap(), 0, block);
    }
}

// One decoder call over the whole stream; only the produced count matters to the caller, since a
// damaged stream shows up there or in the checksum.
uint32_t DecodePayload(const uint8_t* resource, uint8_t* output, uint32_t capacity) {
    lzma_options_lzma options;
    if (!DecodeLzmaProperties(resource, &options)) {
        return 0;
    }
    lzma_filter filters[2] = {{LZMA_FILTER_LZMA1, &options}, {LZMA_VLI_UNKNOWN, nullptr}};
    lzma_allocator allocator = {AllocateDecoderMemory, FreeDecoderMemory, nullptr};
    size_t inputPosition = 0;
    size_t outputPosition = 0;
    ::lzma_raw_buffer_decode(filters, &allocator, resource + PayloadPropertyBytes, &inputPosition,
                             PayloadResourceSize - PayloadPropertyBytes, output, &outputPosition, capacity);
    return static_cast<uint32_t>(outputPosition);
}

}  // namespace
