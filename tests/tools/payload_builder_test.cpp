#include "builtin_pack.h"
#include "file_time.h"
#include "pack_folder.h"
#include "payload_checksum.h"
#include "payload_decode.h"
#include "payload_image.h"
#include "program_image.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// A body's size and last-write time, as the built-in pack lists them.
using BodyShape = BuiltInBody;

struct BuildRun {
    int ExitCode;
    std::string Errors;
    std::vector<uint8_t> Resource;
    std::string Header;
};

const uint32_t ProductImageSize = 2163823;

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

void PutUint16(std::vector<uint8_t>* data, size_t offset, uint16_t value) {
    (*data)[offset] = static_cast<uint8_t>(value);
    (*data)[offset + 1] = static_cast<uint8_t>(value >> 8);
}

// The headers of a 32-bit Windows program and nothing more: MZ, the PE signature at 0x40, Machine
// i386, a program (not a DLL) and a full PE32 optional header up to MinimalProgramBytes; a pattern after.
const size_t MinimalProgramBytes = 0x58 + 0xE0;
std::vector<uint8_t> MinimalProgram(uint32_t size, uint32_t seed = 1) {
    std::vector<uint8_t> bytes = Pattern(size, seed);
    std::fill(bytes.begin(), bytes.begin() + MinimalProgramBytes, 0);
    bytes[0] = 'M';
    bytes[1] = 'Z';
    bytes[0x3C] = 0x40;
    bytes[0x40] = 'P';
    bytes[0x41] = 'E';
    PutUint16(&bytes, 0x44, 0x14C);
    PutUint16(&bytes, 0x54, 0xE0);
    PutUint16(&bytes, 0x56, 0x0102);
    PutUint16(&bytes, 0x58, 0x10B);
    return bytes;
}

// A copy that ends where an unreadable page begins: reading one byte past it crashes the test.
class GuardedBytes {
public:
    GuardedBytes(const uint8_t* data, size_t size) : size_(size) {
        size_t page = static_cast<size_t>(::sysconf(_SC_PAGESIZE));
        span_ = (size + page - 1) / page * page + page;
        base_ = static_cast<uint8_t*>(
            ::mmap(nullptr, span_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
        ::mprotect(base_ + span_ - page, page, PROT_NONE);
        std::memcpy(Data(), data, size);
    }
    ~GuardedBytes() { ::munmap(base_, span_); }
    GuardedBytes(const GuardedBytes&) = delete;
    GuardedBytes& operator=(const GuardedBytes&) = delete;
    uint8_t* Data() { return base_ + span_ - ::sysconf(_SC_PAGESIZE) - size_; }

private:
    size_t size_;
    size_t span_;
    uint8_t* base_;
};

std::string Hex(uint64_t value) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%016llX", static_cast<unsigned long long>(value));
    return text;
}

// Sets a file's last-write time from a FILETIME, with nanoseconds below its 100 ns added.
void SetLastWriteTime(const std::string& path, uint64_t fileTime, int64_t extraNanoseconds) {
    int64_t ticks = static_cast<int64_t>(fileTime) - 116444736000000000ll;
    int64_t seconds = ticks >= 0 ? ticks / 10000000 : -((-ticks + 9999999) / 10000000);
    struct timespec times[2] = {{0, UTIME_OMIT}, {seconds, (ticks - seconds * 10000000) * 100 + extraNanoseconds}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

uint32_t ByteRuleChecksum(const std::vector<uint8_t>& data) {
    uint32_t sum = 0;
    for (uint8_t value : data) {
        sum += value;
        sum = (sum << 1) | (sum >> 31);
    }
    return sum;
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
        for (uint32_t index = 0; index < PayloadEntryCount; ++index) {
            PayloadBody body;
            if (index == LicenseEntry) {
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

    // A maker's pack folder: a license of the most the License page shows and eight programs of sizes
    // of their own, with times to the nanosecond (one before 1970); *bodies gets what the payload
    // must carry for them.
    std::string WritePackFolder(const std::string& name, std::vector<PayloadBody>* bodies) {
        std::filesystem::create_directory(Folder + "/" + name);
        PayloadBody license;
        license.Bytes.assign(LicenseShownBytes, 'L');
        license.Bytes[100] = '\r';
        license.Bytes[101] = '\n';
        license.LastWriteTime = 0;
        WriteFile(name + "/license.txt", license.Bytes);
        bodies->push_back(license);
        for (uint32_t index = 1; index <= 8; ++index) {
            PayloadBody program;
            program.Bytes = MinimalProgram(1000 + index * 4099, index);
            program.LastWriteTime = index == 4 ? 116302906590123456ull : BuiltInPack[index].Time;
            std::string path = WriteFile(name + "/" + PackFolderFileName(index), program.Bytes);
            SetLastWriteTime(path, program.LastWriteTime, index * 11 % 100);
            bodies->push_back(program);
        }
        return Folder + "/" + name;
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
    std::vector<PayloadBody> bodies(PayloadEntryCount);
    for (uint32_t index = 0; index < PayloadEntryCount; ++index) {
        // Odd and empty sizes keep body offsets off any alignment the layout might lean on.
        bodies[index].Bytes = Pattern(index == 4 ? 0 : index * 7 + 3, index);
        bodies[index].LastWriteTime = 0x0102030405060708ull * (index + 1) + 0xA0;
    }
    bodies[LicenseEntry].Bytes.assign(5, 'T');
    std::vector<uint8_t> image;
    uint32_t faultIndex = 99;
    ASSERT_EQ(AssemblePayloadImage(bodies, &image, &faultIndex), static_cast<uint32_t>(ImageOk));

    size_t offset = PayloadDirectoryBytes;
    for (uint32_t index = 0; index < PayloadEntryCount; ++index) {
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

TEST(PayloadImage, ImagesBeyondTheInstallersBlockAreRefusedWithTheirSizeAndLargestBody) {
    uint64_t sizes[PayloadEntryCount] = {};
    uint32_t faultIndex = 99;
    uint64_t imageSize = 0;
    EXPECT_EQ(CheckPayloadSizes(sizes, PayloadEntryCount, &faultIndex, &imageSize), static_cast<uint32_t>(ImageOk));
    EXPECT_EQ(imageSize, PayloadDirectoryBytes);

    // An image that fills the 4 MiB block exactly still decodes; one byte more does not.
    sizes[3] = 3u << 20;
    sizes[6] = (1u << 20) - PayloadDirectoryBytes;
    EXPECT_EQ(CheckPayloadSizes(sizes, PayloadEntryCount, &faultIndex, &imageSize), static_cast<uint32_t>(ImageOk));
    EXPECT_EQ(imageSize, PayloadCapacity);
    sizes[8] = 1;
    EXPECT_EQ(CheckPayloadSizes(sizes, PayloadEntryCount, &faultIndex, &imageSize),
              static_cast<uint32_t>(ImageTooLarge));
    EXPECT_EQ(imageSize, PayloadCapacity + 1u);
    EXPECT_EQ(faultIndex, 3u);

    // Sizes that would wrap a 64-bit sum saturate instead of adding up to something small.
    sizes[2] = UINT64_MAX - 8;
    EXPECT_EQ(CheckPayloadSizes(sizes, PayloadEntryCount, &faultIndex, &imageSize),
              static_cast<uint32_t>(ImageTooLarge));
    EXPECT_EQ(imageSize, UINT64_MAX);
    EXPECT_EQ(faultIndex, 2u);

    EXPECT_EQ(CheckPayloadSizes(sizes, 9, &faultIndex, &imageSize), static_cast<uint32_t>(BodyCountWrong));
    EXPECT_EQ(faultIndex, 9u);
}

TEST(FileTime, UnixTimesBecomeFileTimesToTheHundredNanoseconds) {
    struct Case {
        int64_t Seconds;
        int64_t Nanoseconds;
        uint64_t Expected;
    };
    const Case cases[] = {
        {0, 0, 116444736000000000ull},                   // 1970-01-01
        {1692832217, 105191400, 0x01D9D616FAE49F8Aull},  // Ostrel's time in the built-in pack
        {1692832217, 105191499, 0x01D9D616FAE49F8Aull},  // the nanoseconds below 100 are dropped
        {-14182941, 12345679, 116302906590123456ull},    // 1969-07-20 20:17:39.012345679
        {-11644473600, 100, 1},                          // the first 100 ns after 1601-01-01
        {910692730085, 477580700, 0x7FFFFFFFFFFFFFFFull},  // the last time Windows takes
    };
    for (const Case& item : cases) {
        uint64_t fileTime = 0;
        EXPECT_TRUE(FileTimeFromUnix(item.Seconds, item.Nanoseconds, &fileTime)) << item.Seconds;
        EXPECT_EQ(fileTime, item.Expected) << item.Seconds;
    }
    const Case refused[] = {
        {-11644473600, 99, 0},           // 1601-01-01 itself reads as "no time"
        {-11644473601, 999999999, 0},    // before 1601
        {910692730085, 477580800, 0},    // one tick past the last
        {INT64_MAX, 0, 0},
        {INT64_MIN, 0, 0},
        {0, -1, 0},
        {0, 1000000000, 0},
    };
    for (const Case& item : refused) {
        uint64_t fileTime = 42;
        EXPECT_FALSE(FileTimeFromUnix(item.Seconds, item.Nanoseconds, &fileTime)) << item.Seconds;
        EXPECT_EQ(fileTime, 42u);
    }
}

TEST(ProgramImage, OnlyThirtyTwoBitProgramsPassAndNoHeaderFieldLeadsPastTheEnd) {
    std::vector<uint8_t> program = MinimalProgram(1024);
    EXPECT_EQ(CheckProgramImage(program.data(), program.size()), static_cast<uint32_t>(ProgramOk));
    // Each cut ends right before a page the process may not read, so a read past the end would crash.
    for (size_t length = 0; length < MinimalProgramBytes; ++length) {
        GuardedBytes cut(program.data(), length);
        EXPECT_NE(CheckProgramImage(cut.Data(), length), static_cast<uint32_t>(ProgramOk)) << length;
    }
    GuardedBytes whole(program.data(), MinimalProgramBytes);
    EXPECT_EQ(CheckProgramImage(whole.Data(), MinimalProgramBytes), static_cast<uint32_t>(ProgramOk));

    struct Change {
        const char* Name;
        size_t Offset;
        std::vector<uint8_t> Bytes;
        uint32_t Fault;
    };
    const Change changes[] = {
        {"no MZ", 0, {'Z', 'M'}, ProgramNoMzHeader},
        {"PE offset near 4 GiB", 0x3C, {0xF0, 0xFF, 0xFF, 0xFF}, ProgramNoPeHeader},
        {"PE offset at the last bytes", 0x3C, {0xFE, 0x03, 0x00, 0x00}, ProgramNoPeHeader},
        {"no PE signature", 0x42, {'X'}, ProgramNoPeHeader},
        {"x64", 0x44, {0x64, 0x86}, ProgramNotI386},
        {"ARM", 0x44, {0xC4, 0x01}, ProgramNotI386},
        {"PE32+", 0x58, {0x0B, 0x02}, ProgramNotPe32},
        {"no optional header", 0x54, {0x00, 0x00}, ProgramNotPe32},
        {"optional header past the end", 0x54, {0xFF, 0xFF}, ProgramNotPe32},
        {"DLL", 0x57, {0x21}, ProgramIsDll},
    };
    for (const Change& change : changes) {
        std::vector<uint8_t> changed = program;
        std::copy(change.Bytes.begin(), change.Bytes.end(), changed.begin() + change.Offset);
        GuardedBytes guarded(changed.data(), changed.size());
        EXPECT_EQ(CheckProgramImage(guarded.Data(), changed.size()), change.Fault) << change.Name;
    }
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
    BodyShape shapes[PayloadEntryCount];
    for (uint32_t index = 0; index < PayloadEntryCount; ++index) {
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
    ASSERT_TRUE(DecodePayloadResource(run.Resource, &image, &options));
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
    std::vector<std::string> arguments = WriteBodies(BuiltInPack, false, nullptr);
    BuildRun first = RunBuilder(arguments, "first");
    ASSERT_EQ(first.ExitCode, 0) << first.Errors;

    std::vector<uint8_t> image;
    ASSERT_TRUE(DecodePayloadResource(first.Resource, &image));
    ASSERT_EQ(image.size(), ProductImageSize);
    size_t offset = PayloadDirectoryBytes;
    for (uint32_t index = 0; index < PayloadEntryCount; ++index) {
        EXPECT_EQ(ReadUint32(image, index * 12), BuiltInPack[index].Size) << "entry " << index;
        uint64_t time = ReadUint32(image, index * 12 + 4) | static_cast<uint64_t>(ReadUint32(image, index * 12 + 8)) << 32;
        EXPECT_EQ(time, BuiltInPack[index].Time) << "entry " << index;
        offset += BuiltInPack[index].Size;
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
    BodyShape shapes[PayloadEntryCount];
    for (uint32_t index = 0; index < PayloadEntryCount; ++index) {
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

TEST_F(PayloadBuilderTest, PackFolderBodiesGoInByteForByteWithTheirOwnTimes) {
    std::vector<PayloadBody> bodies;
    std::string pack = WritePackFolder("pack", &bodies);
    // Windows finds a program whatever the case of its name, and so does the builder.
    std::filesystem::rename(pack + "/Pebbrack.exe", pack + "/pebbRACK.EXE");
    WriteFile("pack/readme.md", {'r'});
    PayloadBody uninstaller;
    uninstaller.Bytes = MinimalProgram(3000, 9);
    uninstaller.LastWriteTime = 0;
    std::string uninstallerPath = WriteFile("uninstall.exe", uninstaller.Bytes);
    bodies.push_back(uninstaller);

    BuildRun run = RunBuilder({"--pack-folder", pack, uninstallerPath + "@0"});
    ASSERT_EQ(run.ExitCode, 0) << run.Errors;
    EXPECT_EQ(run.Errors, "payload_builder: note: " + pack +
                              "/readme.md: not carried; the pack holds license.txt and the eight programs\n");
    std::vector<uint8_t> expected;
    uint32_t faultIndex = 0;
    ASSERT_EQ(AssemblePayloadImage(bodies, &expected, &faultIndex), static_cast<uint32_t>(ImageOk));
    std::vector<uint8_t> image;
    ASSERT_TRUE(DecodePayloadResource(run.Resource, &image));
    EXPECT_TRUE(image == expected);
    EXPECT_EQ(ReadUint32(image, 4 * 12 + 4), 0x99A655C0u) << "Blorra's time from before 1970";
    EXPECT_NE(run.Header.find("PayloadImageSize = " + std::to_string(expected.size()) + ";\n"), std::string::npos);
}

TEST_F(PayloadBuilderTest, PackFolderFaultsAreRefusedNamingTheFileAndLeaveNoOutput) {
    std::string uninstaller = WriteFile("uninstall.exe", MinimalProgram(3000, 9)) + "@0";
    struct Case {
        const char* Name;
        // Spoils a good pack folder; returns what the messages must say.
        std::function<std::vector<std::string>(const std::string& pack)> Spoil;
    };
    const Case cases[] = {
        {"missing", [](const std::string& pack) {
             std::filesystem::remove(pack + "/Cryvane.exe");
             return std::vector<std::string>{pack + "/Cryvane.exe: missing from the pack folder"};
         }},
        {"misspelt", [](const std::string& pack) {
             std::filesystem::rename(pack + "/Ostrel.exe", pack + "/Ostrell.exe");
             return std::vector<std::string>{pack + "/Ostrell.exe: not one of the pack's programs; the pack folder "
                                                    "holds license.txt, Ostrel.exe, Glimmerdox.exe,",
                                             pack + "/Ostrel.exe: missing"};
         }},
        {"an uninstaller", [this](const std::string& pack) {
             std::filesystem::copy_file(Folder + "/uninstall.exe", pack + "/Uninstall.exe");
             return std::vector<std::string>{pack + "/Uninstall.exe: not one of the pack's programs",
                                             "(the uninstaller is always the project's own)"};
         }},
        {"one name twice", [](const std::string& pack) {
             std::filesystem::copy_file(pack + "/Ostrel.exe", pack + "/OSTREL.EXE");
             return std::vector<std::string>{pack + "/Ostrel.exe: Windows takes it for the same file as " + pack +
                                             "/OSTREL.EXE"};
         }},
        {"a folder", [](const std::string& pack) {
             std::filesystem::remove(pack + "/Jottervale.exe");
             std::filesystem::create_directory(pack + "/Jottervale.exe");
             return std::vector<std::string>{pack + "/Jottervale.exe: not a file"};
         }},
        {"text", [this](const std::string& pack) {
             WriteFile("case-text/Glimmerdox.exe", {'M', 'Z', 'a'});
             return std::vector<std::string>{"body 2 (" + pack + "/Glimmerdox.exe): not a Windows program: no MZ"};
         }},
        {"cut short", [this](const std::string& pack) {
             std::vector<uint8_t> program = MinimalProgram(5000, 3);
             program.resize(0x50);
             WriteFile("case-cut short/Tindlevault.exe", program);
             return std::vector<std::string>{"body 3 (" + pack +
                                             "/Tindlevault.exe): not a Windows program: no PE header"};
         }},
        {"x64", [this](const std::string& pack) {
             std::vector<uint8_t> program = MinimalProgram(5000, 5);
             PutUint16(&program, 0x44, 0x8664);
             WriteFile("case-x64/Humbrewave.exe", program);
             return std::vector<std::string>{"body 5 (" + pack +
                                             "/Humbrewave.exe): not a 32-bit (i386) Windows program: its Machine is "
                                             "0x8664 (x64), not 0x14C"};
         }},
        {"license with NUL", [this](const std::string& pack) {
             WriteFile("case-license with NUL/license.txt", {'a', 0, 'b'});
             return std::vector<std::string>{"body 0 (" + pack + "/license.txt): license text contains a NUL byte"};
         }},
        {"license too long", [this](const std::string& pack) {
             WriteFile("case-license too long/license.txt", std::vector<uint8_t>(LicenseShownBytes + 1, 'L'));
             return std::vector<std::string>{"body 0 (" + pack +
                                             "/license.txt): license text is longer than the 511 bytes"};
         }},
        {"too large", [this](const std::string& pack) {
             WriteFile("case-too large/Pebbrack.exe", MinimalProgram(PayloadCapacity - 40000, 8));
             uint64_t total = PayloadDirectoryBytes + std::filesystem::file_size(Folder + "/uninstall.exe");
             for (const auto& entry : std::filesystem::directory_iterator(pack)) total += entry.file_size();
             return std::vector<std::string>{"an image of " + std::to_string(total) +
                                             " bytes, more than the installer's fixed payload block of 4194304 "
                                             "bytes; the largest body is " + pack + "/Pebbrack.exe, " +
                                             std::to_string(PayloadCapacity - 40000) + " bytes"};
         }},
        {"no folder", [](const std::string& pack) {
             std::filesystem::remove_all(pack);
             return std::vector<std::string>{pack + ": cannot list the pack folder"};
         }},
    };
    for (const Case& item : cases) {
        std::vector<PayloadBody> bodies;
        std::string pack = WritePackFolder(std::string("case-") + item.Name, &bodies);
        std::vector<std::string> expected = item.Spoil(pack);
        // What an earlier good build left must go too.
        WriteFile("refused.lzma", {1, 2, 3});
        WriteFile("refused.h", {'h'});
        BuildRun run = RunBuilder({"--pack-folder", pack, uninstaller}, "refused");
        EXPECT_EQ(run.ExitCode, 1) << item.Name;
        for (const std::string& text : expected) {
            EXPECT_NE(run.Errors.find(text), std::string::npos) << item.Name << ": " << run.Errors;
        }
        EXPECT_TRUE(run.Resource.empty() && run.Header.empty()) << item.Name << " left output behind";
    }
}

}  // namespace
