#include "payload_checksum.h"
#include "payload_image.h"

#include <gtest/gtest.h>
#include <lzma.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace {

struct BodyShape {
    uint32_t Size;
    uint64_t Time;
};

struct BuildRun {
    int ExitCode;
    std::string Errors;
    std::vector<uint8_t> Resource;
    std::string Header;
};

const BodyShape ProductBodies[PayloadBodyCount] = {
    {503, 0},
    {153600, 0x01D9D616FAE49F8Aull},
    {174592, 0x01D9D616F979F481ull},
    {345600, 0x01D9D616FBB88AECull},
    {408576, 0x01D9D616F701620Full},
    {191488, 0x01D9D616FC99D163ull},
    {205824, 0x01D9D616F751AEE4ull},
    {340480, 0x01D9D616F7112819ull},
    {263168, 0x01D9D616FE09C3C4ull},
    {79872, 0},
};
const uint32_t ProductImageSize = 2163823;
const uint32_t DecodeCapacity = 4u << 20;  // the installer's payload buffer

uint32_t ReadUint32(const std::vector<uint8_t>& data, size_t offset) {
    return static_cast<uint32_t>(data[offset]) | static_cast<uint32_t>(data[offset + 1]) << 8 |
           static_cast<uint32_t>(data[offset + 2]) << 16 | static_cast<uint32_t>(data[offset + 3]) << 24;
}

std::vector<uint8_t> ReadAll(const std::string& path) {
    std::ifstream stream(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
}

std::vector<uint8_t> Pattern(uint32_t size, uint32_t seed) {
    std::vector<uint8_t> bytes(size);
    uint32_t state = seed * 2654435761u + 1;
    for (uint32_t index = 0; index < size; ++index) {
        state = state * 1103515245u + 12345u;
        // Runs of repeated words mixed with noise, so the encoder has matches and literals both.
        bytes[index] = (index / 64) % 3 == 0 ? static_cast<uint8_t>(state >> 24) : static_cast<uint8_t>(index % 97);
    }
    return bytes;
}

std::string Hex(uint64_t value) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%016llX", static_cast<unsigned long long>(value));
    return text;
}

uint32_t ByteRuleChecksum(const std::vector<uint8_t>& data) {
    uint32_t sum = 0;
    for (uint8_t value : data) {
        sum += value;
        sum = (sum << 1) | (sum >> 31);
    }
    return sum;
}

// Decodes the way the installer does: properties first, then a raw LZMA1 stream that ends at its marker.
bool DecodeResource(const std::vector<uint8_t>& resource, std::vector<uint8_t>* image,
                    lzma_options_lzma* properties) {
    if (resource.size() < 5) {
        return false;
    }
    lzma_filter filters[2] = {{LZMA_FILTER_LZMA1, nullptr}, {LZMA_VLI_UNKNOWN, nullptr}};
    if (lzma_properties_decode(&filters[0], nullptr, resource.data(), 5) != LZMA_OK) {
        return false;
    }
    *properties = *static_cast<lzma_options_lzma*>(filters[0].options);
    image->assign(DecodeCapacity, 0);
    size_t inPos = 5;
    size_t outPos = 0;
    lzma_ret result = lzma_raw_buffer_decode(filters, nullptr, resource.data(), &inPos, resource.size(),
                                             image->data(), &outPos, image->size());
    std::free(filters[0].options);
    image->resize(outPos);
    return result == LZMA_OK && inPos == resource.size();
}

class PayloadBuilderTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "payload_builder_test.XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        Folder = pattern;
    }

    void TearDown() override {
        std::error_code error;
        std::filesystem::remove_all(Folder, error);
    }

    std::string WriteFile(const std::string& name, const std::vector<uint8_t>& bytes) {
        std::string path = Folder + "/" + name;
        std::ofstream stream(path, std::ios::binary);
        stream.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return path;
    }

    // Ten body arguments; the license is text, the rest zeros or a pattern.
    std::vector<std::string> WriteBodies(const BodyShape* shapes, bool patterned, std::vector<PayloadBody>* bodies) {
        std::vector<std::string> arguments;
        for (uint32_t index = 0; index < PayloadBodyCount; ++index) {
            PayloadBody body;
            if (index == LicenseBodyIndex) {
                body.Bytes.assign(shapes[index].Size, 'L');
            } else if (patterned) {
                body.Bytes = Pattern(shapes[index].Size, index);
            } else {
                body.Bytes.assign(shapes[index].Size, 0);
            }
            body.LastWriteTime = shapes[index].Time;
            std::string path = WriteFile("body" + std::to_string(index) + ".bin", body.Bytes);
            arguments.push_back(path + "@" + Hex(body.LastWriteTime));
            if (bodies != nullptr) {
                bodies->push_back(body);
            }
        }
        return arguments;
    }

    BuildRun RunBuilder(const std::vector<std::string>& bodyArguments, const std::string& outName = "out") {
        std::string resourcePath = Folder + "/" + outName + ".lzma";
        std::string headerPath = Folder + "/" + outName + ".h";
        std::string errorsPath = Folder + "/" + outName + ".err";
        std::string command = std::string("'") + PAYLOAD_BUILDER_PATH + "' --resource '" + resourcePath +
                              "' --header '" + headerPath + "'";
        for (const std::string& argument : bodyArguments) {
            command += " '" + argument + "'";
        }
        command += " 2>'" + errorsPath + "'";
        int status = std::system(command.c_str());
        BuildRun run;
        run.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        std::vector<uint8_t> errors = ReadAll(errorsPath);
        run.Errors.assign(errors.begin(), errors.end());
        run.Resource = ReadAll(resourcePath);
        std::vector<uint8_t> header = ReadAll(headerPath);
        run.Header.assign(header.begin(), header.end());
        return run;
    }

    std::string Folder;
};

TEST(PayloadImage, DirectoryRecordsSitEveryTwelveBytesWithTimesUnaligned) {
    std::vector<PayloadBody> bodies(PayloadBodyCount);
    for (uint32_t index = 0; index < PayloadBodyCount; ++index) {
        // Odd and empty sizes keep body offsets off any alignment the layout might lean on.
        bodies[index].Bytes = Pattern(index == 4 ? 0 : index * 7 + 3, index);
        bodies[index].LastWriteTime = 0x0102030405060708ull * (index + 1) + 0xA0;
    }
    bodies[LicenseBodyIndex].Bytes.assign(5, 'T');
    std::vector<uint8_t> image;
    uint32_t faultIndex = 99;
    ASSERT_EQ(AssemblePayloadImage(bodies, &image, &faultIndex), static_cast<uint32_t>(ImageOk));

    size_t offset = PayloadDirectoryBytes;
    for (uint32_t index = 0; index < PayloadBodyCount; ++index) {
        const PayloadBody& body = bodies[index];
        size_t record = index * 12;
        EXPECT_EQ(ReadUint32(image, record), body.Bytes.size()) << "entry " << index;
        EXPECT_EQ(ReadUint32(image, record + 4), static_cast<uint32_t>(body.LastWriteTime)) << "entry " << index;
        EXPECT_EQ(ReadUint32(image, record + 8), static_cast<uint32_t>(body.LastWriteTime >> 32)) << "entry " << index;
        ASSERT_LE(offset + body.Bytes.size(), image.size());
        EXPECT_TRUE(std::equal(body.Bytes.begin(), body.Bytes.end(), image.begin() + offset)) << "entry " << index;
        offset += body.Bytes.size();
    }
    EXPECT_EQ(offset, image.size());
}

TEST(PayloadImage, SizesThatDoNotFitThirtyTwoBitsAreRefusedAtTheirBody) {
    uint64_t sizes[PayloadBodyCount] = {};
    uint32_t faultIndex = 99;
    EXPECT_EQ(CheckPayloadSizes(sizes, PayloadBodyCount, &faultIndex), static_cast<uint32_t>(ImageOk));

    sizes[3] = 0x100000000ull;
    EXPECT_EQ(CheckPayloadSizes(sizes, PayloadBodyCount, &faultIndex), static_cast<uint32_t>(BodyTooLarge));
    EXPECT_EQ(faultIndex, 3u);

    // Largest image that still fits, then one byte more, split so only the total overflows.
    sizes[3] = 0x80000000ull;
    sizes[6] = UINT32_MAX - PayloadDirectoryBytes - 0x80000000ull;
    EXPECT_EQ(CheckPayloadSizes(sizes, PayloadBodyCount, &faultIndex), static_cast<uint32_t>(ImageOk));
    sizes[8] = 1;
    EXPECT_EQ(CheckPayloadSizes(sizes, PayloadBodyCount, &faultIndex), static_cast<uint32_t>(ImageTooLarge));
    EXPECT_EQ(faultIndex, 8u);

    EXPECT_EQ(CheckPayloadSizes(sizes, 9, &faultIndex), static_cast<uint32_t>(BodyCountWrong));
    EXPECT_EQ(faultIndex, 9u);
}

TEST(PayloadChecksumForBuilder, AgreesWithTheByteRuleAtEveryTailLength) {
    EXPECT_EQ(PayloadChecksum(nullptr, 0), 0u);
    EXPECT_EQ(PayloadChecksum(reinterpret_cast<const uint8_t*>("abc"), 3), 1366u);
    std::vector<uint8_t> data = Pattern(4099, 7);
    data[0] = 0xFF;
    data[1] = 0xFF;
    for (uint32_t length = 4090; length <= data.size(); ++length) {
        std::vector<uint8_t> prefix(data.begin(), data.begin() + length);
        EXPECT_EQ(PayloadChecksum(prefix.data(), length), ByteRuleChecksum(prefix)) << "length " << length;
    }
}

TEST_F(PayloadBuilderTest, ResourceDecodesToTheImageAndHeaderStatesItsFigures) {
    BodyShape shapes[PayloadBodyCount];
    for (uint32_t index = 0; index < PayloadBodyCount; ++index) {
        shapes[index] = {index * 1031 + 17, 0x01D9D616F0000000ull + index * 0x1234567ull};
    }
    shapes[9].Time = 0x7FFFFFFFFFFFFFFFull;
    std::vector<PayloadBody> bodies;
    std::vector<std::string> arguments = WriteBodies(shapes, true, &bodies);
    // The same time in decimal must mean the same.
    arguments[2] = Folder + "/body2.bin@" + std::to_string(shapes[2].Time);

    BuildRun run = RunBuilder(arguments);
    ASSERT_EQ(run.ExitCode, 0) << run.Errors;
    EXPECT_EQ(run.Errors, "");

    std::vector<uint8_t> expected;
    uint32_t faultIndex = 0;
    ASSERT_EQ(AssemblePayloadImage(bodies, &expected, &faultIndex), static_cast<uint32_t>(ImageOk));
    ASSERT_GE(run.Resource.size(), 5u);
    const uint8_t properties[5] = {0x5D, 0x00, 0x00, 0x30, 0x00};
    EXPECT_EQ(std::memcmp(run.Resource.data(), properties, 5), 0);

    std::vector<uint8_t> image;
    lzma_options_lzma options;
    ASSERT_TRUE(DecodeResource(run.Resource, &image, &options));
    EXPECT_EQ(options.dict_size, 3u << 20);
    EXPECT_EQ(image, expected);

    std::string header = "#pragma once\n#include <cstdint>\n"
                         "// Generated by payload_builder: the figures the loader checks the embedded payload against.\n"
                         "constexpr uint32_t PayloadResourceSize = " + std::to_string(run.Resource.size()) + ";\n"
                         "constexpr uint32_t PayloadImageSize = " + std::to_string(image.size()) + ";\n"
                         "constexpr uint32_t PayloadImageChecksum = " + std::to_string(ByteRuleChecksum(image)) + ";\n";
    EXPECT_EQ(run.Header, header);
}

TEST_F(PayloadBuilderTest, ProductBodiesGiveTheProductImageAndTheSameBytesEachRun) {
    std::vector<std::string> arguments = WriteBodies(ProductBodies, false, nullptr);
    BuildRun first = RunBuilder(arguments, "first");
    ASSERT_EQ(first.ExitCode, 0) << first.Errors;

    std::vector<uint8_t> image;
    lzma_options_lzma options;
    ASSERT_TRUE(DecodeResource(first.Resource, &image, &options));
    ASSERT_EQ(image.size(), ProductImageSize);
    size_t offset = PayloadDirectoryBytes;
    for (uint32_t index = 0; index < PayloadBodyCount; ++index) {
        EXPECT_EQ(ReadUint32(image, index * 12), ProductBodies[index].Size) << "entry " << index;
        uint64_t time = ReadUint32(image, index * 12 + 4) | static_cast<uint64_t>(ReadUint32(image, index * 12 + 8)) << 32;
        EXPECT_EQ(time, ProductBodies[index].Time) << "entry " << index;
        offset += ProductBodies[index].Size;
    }
    EXPECT_EQ(offset, image.size());
    EXPECT_NE(first.Header.find("PayloadImageSize = 2163823;\n"), std::string::npos) << first.Header;
    EXPECT_NE(first.Header.find("PayloadResourceSize = " + std::to_string(first.Resource.size()) + ";\n"),
              std::string::npos)
        << first.Header;

    BuildRun second = RunBuilder(arguments, "second");
    ASSERT_EQ(second.ExitCode, 0) << second.Errors;
    EXPECT_TRUE(first.Resource == second.Resource);
    EXPECT_EQ(first.Header, second.Header);
}

TEST_F(PayloadBuilderTest, RefusesSetsThatDoNotFitAndNamesTheBody) {
    BodyShape shapes[PayloadBodyCount];
    for (uint32_t index = 0; index < PayloadBodyCount; ++index) {
        shapes[index] = {index + 1, index};
    }
    std::vector<std::string> good = WriteBodies(shapes, true, nullptr);
    std::string extra = WriteFile("extra.bin", Pattern(3, 1));

    struct Case {
        const char* Name;
        std::vector<std::string> Arguments;
        std::string Expected;
    };
    std::vector<Case> cases;
    cases.push_back({"nine bodies", std::vector<std::string>(good.begin(), good.end() - 1), "body 9 "});
    cases.push_back({"eleven bodies", good, "body 10 (" + extra + ")"});
    cases.back().Arguments.push_back(extra + "@0");
    std::string nulLicense = WriteFile("license_nul.txt", {'a', 'b', 0, 'c'});
    cases.push_back({"NUL in license", good, "body 0 (" + nulLicense + "): license"});
    cases.back().Arguments[0] = nulLicense + "@0";
    cases.push_back({"missing file", good, "body 5 (" + Folder + "/absent.bin): cannot read"});
    cases.back().Arguments[5] = Folder + "/absent.bin@0";
    const char* badTimes[] = {"", "0x", "12ab", "0x1G", "-1", "0x8000000000000000", "18446744073709551616"};
    for (const char* badTime : badTimes) {
        cases.push_back({"bad time", good, "body 7 (" + Folder + "/body7.bin): malformed time '" + badTime + "'"});
        cases.back().Arguments[7] = Folder + "/body7.bin@" + badTime;
    }
    cases.push_back({"no time", good, "body 3 (" + Folder + "/body3.bin): malformed time"});
    cases.back().Arguments[3] = Folder + "/body3.bin";

    for (const Case& item : cases) {
        BuildRun run = RunBuilder(item.Arguments, "refused");
        EXPECT_EQ(run.ExitCode, 1) << item.Name;
        EXPECT_NE(run.Errors.find(item.Expected), std::string::npos) << item.Name << ": " << run.Errors;
        EXPECT_TRUE(run.Resource.empty() && run.Header.empty()) << item.Name << " left output behind";
    }
}

}  // namespace
