#include "builtin_pack.h"
#include "payload_constants.h"
#include "setup/payload_checksum.h"
#include "setup/payload_format.h"
#include "setup/setup_state.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

namespace {

uint64_t TimeOf(const PayloadEntry& entry) {
    return static_cast<uint64_t>(entry.LastWriteTime.dwHighDateTime) << 32 | entry.LastWriteTime.dwLowDateTime;
}

uint32_t ChecksumByteByByte(const uint8_t* data, uint32_t count) {
    uint32_t sum = 0;
    for (uint32_t i = 0; i < count; ++i) {
        sum += data[i];
        sum = sum << 1 | sum >> 31;
    }
    return sum;
}

TEST(PayloadChecksum, KnownValues) {
    EXPECT_EQ(0u, PayloadChecksum(nullptr, 0));
    EXPECT_EQ(1366u, PayloadChecksum(reinterpret_cast<const uint8_t*>("abc"), 3));
}

TEST(PayloadChecksum, FourBytesAtATimeAgreesWithTheByteRule) {
    std::mt19937 random(2308);
    std::vector<uint8_t> bytes(4096 + 3);
    for (auto& b : bytes) b = static_cast<uint8_t>(random());
    for (uint32_t length = 0; length <= 64; ++length) {
        for (uint32_t start = 0; start < 4; ++start) {  // unaligned starts too
            ASSERT_EQ(ChecksumByteByByte(bytes.data() + start, length), PayloadChecksum(bytes.data() + start, length))
                << "length " << length << " start " << start;
        }
    }
    EXPECT_EQ(ChecksumByteByByte(bytes.data(), 4099), PayloadChecksum(bytes.data(), 4099));
    std::vector<uint8_t> ones(1000, 0xFF);
    EXPECT_EQ(ChecksumByteByByte(ones.data(), 1000), PayloadChecksum(ones.data(), 1000));
}

TEST(PayloadBuffer, StartsEmptyAndReleaseOfNothingDoesNothing) {
    SetupState setup(::GetModuleHandleW(nullptr));
    EXPECT_EQ(nullptr, setup.Payload.Data);
    EXPECT_EQ(1u, setup.Payload.ElementSize);
    EXPECT_EQ(0u, setup.Payload.Owned | setup.Payload.Capacity | setup.Payload.Length | setup.Payload.Reserved);
    setup.Payload.ReleasePayloadBuffer();
    setup.Payload.ReleasePayloadBuffer();
    EXPECT_EQ(nullptr, setup.Payload.Data);
    EXPECT_EQ(0u, setup.Payload.Owned);
}

// Blocks of the process heap in use that have the payload buffer's size.
int PayloadSizedBlocks() {
    HANDLE heap = ::GetProcessHeap();
    PROCESS_HEAP_ENTRY entry = {};
    int count = 0;
    ::HeapLock(heap);
    while (::HeapWalk(heap, &entry)) {
        if ((entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) != 0 && entry.cbData == 4194304) ++count;
    }
    ::HeapUnlock(heap);
    return count;
}

TEST(PayloadBuffer, AllocateGivesZeroedFourMebibytesAndReleaseKeepsOwned) {
    const int blocksBefore = PayloadSizedBlocks();
    PayloadBuffer buffer = {nullptr, 0, 0, 1, 0, 0};
    uint8_t* first = buffer.AllocatePayloadBuffer();
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(blocksBefore + 1, PayloadSizedBlocks());
    EXPECT_EQ(1u, buffer.Owned);
    EXPECT_EQ(4194304u, buffer.Capacity);
    EXPECT_EQ(4194304u, buffer.Length);
    EXPECT_EQ(1u, buffer.ElementSize);
    bool allZero = true;
    for (uint32_t i = 0; i < buffer.Length; ++i) allZero = allZero && first[i] == 0;
    EXPECT_TRUE(allZero);

    // A second allocation frees the first block, so the heap does not grow.
    first[0] = 0x5A;
    uint8_t* second = buffer.AllocatePayloadBuffer();
    ASSERT_NE(nullptr, second);
    EXPECT_EQ(0, second[0]);
    EXPECT_EQ(blocksBefore + 1, PayloadSizedBlocks());

    buffer.Reserved = 7;
    buffer.ReleasePayloadBuffer();
    EXPECT_EQ(blocksBefore, PayloadSizedBlocks());
    EXPECT_EQ(nullptr, buffer.Data);
    EXPECT_EQ(1u, buffer.Owned);
    EXPECT_EQ(0u, buffer.Capacity);
    EXPECT_EQ(0u, buffer.Length);
    EXPECT_EQ(1u, buffer.ElementSize);
    EXPECT_EQ(0u, buffer.Reserved);
    buffer.ReleasePayloadBuffer();
    EXPECT_EQ(nullptr, buffer.Data);
}

TEST(LoadPayload, BuiltInPayloadDecodesAndIndexes) {
    SetupState setup(::GetModuleHandleW(nullptr));
    ASSERT_EQ(0u, setup.LoadPayload());
    EXPECT_EQ(PayloadResourceSize, setup.ResourceSize);
    EXPECT_NE(nullptr, setup.ResourceData);
    EXPECT_EQ(4194304u, setup.Payload.Length);
    EXPECT_EQ(2163823u, PayloadImageSize);
    uint32_t offset = PayloadDirectoryBytes;
    for (uint32_t k = 0; k < PayloadEntryCount; ++k) {
        EXPECT_EQ(offset, setup.PayloadDirectory[k].Offset) << "entry " << k;
        EXPECT_EQ(BuiltInPack[k].Size, setup.PayloadDirectory[k].Size) << "entry " << k;
        EXPECT_EQ(BuiltInPack[k].Time, TimeOf(setup.PayloadDirectory[k])) << "entry " << k;
        offset += BuiltInPack[k].Size;
    }
    EXPECT_EQ(PayloadImageSize, offset);
    bool tailZero = true;
    for (uint32_t i = PayloadImageSize; i < setup.Payload.Length; ++i) tailZero = tailZero && setup.Payload.Data[i] == 0;
    EXPECT_TRUE(tailZero);
    EXPECT_EQ(0, std::memcmp(setup.Payload.Data + setup.PayloadDirectory[1].Offset, "MZ", 2));
    EXPECT_EQ(0, std::memcmp(setup.Payload.Data + setup.PayloadDirectory[UninstallerEntry].Offset, "MZ", 2));
}

TEST(LoadPayload, DirectoryOffsetsWrapInThirtyTwoBits) {
    uint8_t image[PayloadDirectoryBytes] = {};
    image[0] = 0xFF;  // entry 0: 0xFFFFFFFF bytes
    image[1] = image[2] = image[3] = 0xFF;
    image[12] = 0x10;  // entry 1: 16 bytes
    PayloadEntry directory[PayloadEntryCount];
    EXPECT_EQ(120u + 0xFFFFFFFFu + 16u, FillPayloadDirectory(image, directory));
    EXPECT_EQ(120u, directory[0].Offset);
    EXPECT_EQ(119u, directory[1].Offset);
    EXPECT_EQ(135u, directory[2].Offset);
}

TEST(LoadPayload, PropertiesFollowTheLzmaRules) {
    lzma_options_lzma options;
    const uint8_t shipped[5] = {0x5D, 0x00, 0x00, 0x30, 0x00};
    ASSERT_TRUE(DecodeLzmaProperties(shipped, &options));
    EXPECT_EQ(3u, options.lc);
    EXPECT_EQ(0u, options.lp);
    EXPECT_EQ(2u, options.pb);
    EXPECT_EQ(3145728u, options.dict_size);
    const uint8_t tinyDictionary[5] = {0x5D, 0x10, 0x00, 0x00, 0x00};
    ASSERT_TRUE(DecodeLzmaProperties(tinyDictionary, &options));
    EXPECT_EQ(4096u, options.dict_size);
    const uint8_t lastValid[5] = {224, 0, 0, 1, 0};
    EXPECT_TRUE(DecodeLzmaProperties(lastValid, &options));
    const uint8_t invalid[5] = {225, 0, 0, 1, 0};
    EXPECT_FALSE(DecodeLzmaProperties(invalid, &options));
}

}  // namespace
