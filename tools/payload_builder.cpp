#include "file_time.h"
#include "pack_folder.h"
#include "payload_checksum.h"
#include "payload_compress.h"
#include "payload_image.h"
#include "program_image.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

enum BuilderExit : int {
    BuilderOk = 0,
    BuilderRefused = 1,
    BuilderUsage = 2,
};

struct BodyArgument {
    std::string File;
    std::string TimeText;
};

struct BuilderArguments {
    const char* ResourcePath;
    const char* HeaderPath;
    const char* PackFolder;
    std::vector<BodyArgument> Bodies;
};

// One body as the builder takes it in: its file, and the time it carries or whether the file's own
// last-write time is taken.
struct BodySource {
    std::string File;
    uint64_t LastWriteTime;
    bool TimeFromFile;
    bool Program;
};

static const char UsageText[] =
    "usage: payload_builder --resource <out-file> --header <out-file> <body-file>@<filetime> ... (exactly ten)\n"
    "   or: payload_builder --resource <out-file> --header <out-file> --pack-folder <folder> <uninstaller>@<filetime>\n"
    "  <filetime> is a Windows FILETIME, hex with a 0x prefix or decimal; 0 means none\n"
    "  a pack folder holds license.txt and the eight programs; each program carries its own last-write time\n";

static bool ParseArguments(int argc, char** argv, BuilderArguments* arguments);
static bool ParseFileTime(const std::string& text, uint64_t* value);
static void ReportBody(uint32_t index, const std::string& file, const std::string& reason);
static bool SourceWithTime(uint32_t index, const BodyArgument& argument, BodySource* source);
static bool ListedSources(const BuilderArguments& arguments, std::vector<BodySource>* sources);
static bool PackFolderSources(const BuilderArguments& arguments, std::vector<BodySource>* sources);
static bool StatBody(const BodySource& source, uint64_t* size, uint64_t* lastWriteTime, std::string* reason);
static bool ReadBody(const std::string& file, uint64_t size, std::vector<uint8_t>* bytes, std::string* reason);
static bool ReadBodies(const std::vector<BodySource>& sources, std::vector<PayloadBody>* bodies);
static std::string FormatHeader(uint32_t resourceSize, uint32_t imageSize, uint32_t checksum);
static bool WriteOutput(const char* path, const void* data, size_t size);

static bool ParseArguments(int argc, char** argv, BuilderArguments* arguments) {
    arguments->ResourcePath = nullptr;
    arguments->HeaderPath = nullptr;
    arguments->PackFolder = nullptr;
    for (int index = 1; index < argc; ++index) {
        const char* argument = argv[index];
        const char** option = nullptr;
        if (std::strcmp(argument, "--resource") == 0) {
            option = &arguments->ResourcePath;
        } else if (std::strcmp(argument, "--header") == 0) {
            option = &arguments->HeaderPath;
        } else if (std::strcmp(argument, "--pack-folder") == 0) {
            option = &arguments->PackFolder;
        } else if (std::strncmp(argument, "--", 2) == 0) {
            std::fprintf(stderr, "payload_builder: unknown option %s\n", argument);
            return false;
        }
        if (option != nullptr) {
            if (*option != nullptr || index + 1 >= argc) {
                std::fprintf(stderr, "payload_builder: %s needs exactly one name\n", argument);
                return false;
            }
            *option = argv[++index];
            continue;
        }
        // Split at the last '@' so a file name may itself contain one.
        std::string text = argument;
        size_t at = text.rfind('@');
        BodyArgument body;
        body.File = at == std::string::npos ? text : text.substr(0, at);
        body.TimeText = at == std::string::npos ? std::string() : text.substr(at + 1);
        arguments->Bodies.push_back(body);
    }
    if (arguments->ResourcePath == nullptr || arguments->HeaderPath == nullptr) {
        std::fprintf(stderr, "payload_builder: both --resource and --header are needed\n");
        return false;
    }
    return true;
}

static bool ParseFileTime(const std::string& text, uint64_t* value) {
    uint64_t base = 10;
    size_t position = 0;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        position = 2;
    }
    if (position == text.size()) {
        return false;
    }
    uint64_t result = 0;
    for (; position < text.size(); ++position) {
        char c = text[position];
        uint64_t digit = 0;
        if (c >= '0' && c <= '9') {
            digit = static_cast<uint64_t>(c - '0');
        } else if (base == 16 && c >= 'a' && c <= 'f') {
            digit = static_cast<uint64_t>(c - 'a' + 10);
        } else if (base == 16 && c >= 'A' && c <= 'F') {
            digit = static_cast<uint64_t>(c - 'A' + 10);
        } else {
            return false;
        }
        if (result > (LatestFileTime - digit) / base) {
            return false;
        }
        result = result * base + digit;
    }
    *value = result;
    return true;
}

static void ReportBody(uint32_t index, const std::string& file, const std::string& reason) {
    std::fprintf(stderr, "payload_builder: body %u (%s): %s\n", index, file.empty() ? "no file" : file.c_str(),
                 reason.c_str());
}

static bool SourceWithTime(uint32_t index, const BodyArgument& argument, BodySource* source) {
    *source = {argument.File, 0, false, false};
    if (!ParseFileTime(argument.TimeText, &source->LastWriteTime)) {
        ReportBody(index, argument.File,
                   "malformed time '" + argument.TimeText +
                       "'; expected @<filetime>, hex with 0x or decimal, at most 0x7FFFFFFFFFFFFFFF");
        return false;
    }
    return true;
}

static bool ListedSources(const BuilderArguments& arguments, std::vector<BodySource>* sources) {
    uint32_t count = static_cast<uint32_t>(arguments.Bodies.size());
    if (count != PayloadEntryCount) {
        uint32_t index = count < PayloadEntryCount ? count : PayloadEntryCount;
        std::string file = count < PayloadEntryCount ? std::string() : arguments.Bodies[index].File;
        ReportBody(index, file,
                   std::string(count < PayloadEntryCount ? "missing" : "one too many") + "; " +
                       DescribeImageFault(BodyCountWrong) + ", " + std::to_string(count) + " given");
        return false;
    }
    for (uint32_t index = 0; index < PayloadEntryCount; ++index) {
        BodySource source;
        if (!SourceWithTime(index, arguments.Bodies[index], &source)) {
            return false;
        }
        sources->push_back(source);
    }
    return true;
}

// The license and the programs from the maker's folder, the uninstaller from the build. The license
// carries no time, as the installer never writes it to a file.
static bool PackFolderSources(const BuilderArguments& arguments, std::vector<BodySource>* sources) {
    if (arguments.Bodies.size() != 1) {
        std::fprintf(stderr,
                     "payload_builder: with --pack-folder, give the uninstaller and nothing else (%zu given)\n",
                     arguments.Bodies.size());
        return false;
    }
    PackFolderScan scan;
    ScanPackFolder(arguments.PackFolder, &scan);
    for (const std::string& ignored : scan.Ignored) {
        std::fprintf(stderr,
                     "payload_builder: note: %s: not carried; the pack holds license.txt and the eight programs\n",
                     ignored.c_str());
    }
    for (const std::string& fault : scan.Faults) {
        std::fprintf(stderr, "payload_builder: %s\n", fault.c_str());
    }
    if (!scan.Faults.empty()) {
        return false;
    }
    sources->push_back({scan.Files[0], 0, false, false});
    for (uint32_t index = 1; index < PackFolderFileCount; ++index) {
        sources->push_back({scan.Files[index], 0, true, true});
    }
    BodySource uninstaller;
    if (!SourceWithTime(UninstallerEntry, arguments.Bodies[0], &uninstaller)) {
        return false;
    }
    sources->push_back(uninstaller);
    return true;
}

static bool StatBody(const BodySource& source, uint64_t* size, uint64_t* lastWriteTime, std::string* reason) {
    struct stat status;
    if (::stat(source.File.c_str(), &status) != 0) {
        *reason = std::string("cannot read: ") + std::strerror(errno);
        return false;
    }
    *size = static_cast<uint64_t>(status.st_size);
    *lastWriteTime = source.LastWriteTime;
    if (source.TimeFromFile && !FileTimeFromUnix(status.st_mtim.tv_sec, status.st_mtim.tv_nsec, lastWriteTime)) {
        *reason = "its last-write time lies outside what Windows can carry (1601 to 30828)";
        return false;
    }
    return true;
}

static bool ReadBody(const std::string& file, uint64_t size, std::vector<uint8_t>* bytes, std::string* reason) {
    FILE* stream = std::fopen(file.c_str(), "rb");
    if (stream == nullptr) {
        *reason = std::string("cannot open: ") + std::strerror(errno);
        return false;
    }
    bytes->resize(static_cast<size_t>(size));
    size_t got = size == 0 ? 0 : std::fread(bytes->data(), 1, bytes->size(), stream);
    bool complete = got == bytes->size() && std::fgetc(stream) == EOF && std::ferror(stream) == 0;
    if (std::fclose(stream) != 0 || !complete) {
        *reason = "cannot read it whole, or it changed while being read";
        return false;
    }
    return true;
}

// Sizes and times first, so that a set too large for the installer is refused before it is read in;
// then every body, so that one run names every faulty program.
static bool ReadBodies(const std::vector<BodySource>& sources, std::vector<PayloadBody>* bodies) {
    bool ok = true;
    uint64_t sizes[PayloadEntryCount] = {};
    for (uint32_t index = 0; index < PayloadEntryCount; ++index) {
        std::string reason;
        if (!StatBody(sources[index], &sizes[index], &(*bodies)[index].LastWriteTime, &reason)) {
            ReportBody(index, sources[index].File, reason);
            ok = false;
        }
    }
    if (!ok) {
        return false;
    }
    uint32_t faultIndex = 0;
    uint64_t imageSize = 0;
    if (CheckPayloadSizes(sizes, PayloadEntryCount, &faultIndex, &imageSize) != ImageOk) {
        std::fprintf(stderr,
                     "payload_builder: the directory and the ten bodies make an image of %llu bytes, more than "
                     "the installer's fixed payload block of %llu bytes; the largest body is %s, %llu bytes\n",
                     static_cast<unsigned long long>(imageSize), static_cast<unsigned long long>(PayloadCapacity),
                     sources[faultIndex].File.c_str(), static_cast<unsigned long long>(sizes[faultIndex]));
        return false;
    }
    for (uint32_t index = 0; index < PayloadEntryCount; ++index) {
        std::string reason;
        if (!ReadBody(sources[index].File, sizes[index], &(*bodies)[index].Bytes, &reason)) {
            ReportBody(index, sources[index].File, reason);
            ok = false;
            continue;
        }
        const std::vector<uint8_t>& bytes = (*bodies)[index].Bytes;
        uint32_t fault = sources[index].Program ? CheckProgramImage(bytes.data(), bytes.size()) : ProgramOk;
        if (fault != ProgramOk) {
            ReportBody(index, sources[index].File, DescribeProgramFault(fault, bytes.data()));
            ok = false;
        }
    }
    return ok;
}

static std::string FormatHeader(uint32_t resourceSize, uint32_t imageSize, uint32_t checksum) {
    char text[512];
    int length = std::snprintf(text, sizeof text,
                               "#pragma once\n"
                               "#include <cstdint>\n"
                               "// Generated by payload_builder: the figures the loader checks the embedded payload "
                               "against.\n"
                               "constexpr uint32_t PayloadResourceSize = %u;\n"
                               "constexpr uint32_t PayloadImageSize = %u;\n"
                               "constexpr uint32_t PayloadImageChecksum = %u;\n",
                               resourceSize, imageSize, checksum);
    return std::string(text, length > 0 ? static_cast<size_t>(length) : 0);
}

// Written beside the target and renamed over it, so a failed run never leaves half a file for the build.
static bool WriteOutput(const char* path, const void* data, size_t size) {
    std::string temporary = std::string(path) + ".part";
    FILE* stream = std::fopen(temporary.c_str(), "wb");
    if (stream == nullptr) {
        std::fprintf(stderr, "payload_builder: cannot create %s: %s\n", temporary.c_str(), std::strerror(errno));
        return false;
    }
    bool written = size == 0 || std::fwrite(data, 1, size, stream) == size;
    if (std::fclose(stream) != 0 || !written) {
        std::fprintf(stderr, "payload_builder: cannot write %s\n", temporary.c_str());
        std::remove(temporary.c_str());
        return false;
    }
    if (std::rename(temporary.c_str(), path) != 0) {
        std::fprintf(stderr, "payload_builder: cannot move %s to %s: %s\n", temporary.c_str(), path,
                     std::strerror(errno));
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

int main(int argc, char** argv) {
    BuilderArguments arguments;
    if (!ParseArguments(argc, argv, &arguments)) {
        std::fputs(UsageText, stderr);
        return BuilderUsage;
    }
    // Whatever an earlier run left must not outlive a refusal, or the build would go on with it.
    std::remove(arguments.ResourcePath);
    std::remove(arguments.HeaderPath);

    std::vector<BodySource> sources;
    bool listed = arguments.PackFolder != nullptr ? PackFolderSources(arguments, &sources)
                                                  : ListedSources(arguments, &sources);
    std::vector<PayloadBody> bodies(PayloadEntryCount);
    if (!listed || !ReadBodies(sources, &bodies)) {
        return BuilderRefused;
    }

    std::vector<uint8_t> image;
    uint32_t faultIndex = 0;
    uint32_t fault = AssemblePayloadImage(bodies, &image, &faultIndex);
    if (fault != ImageOk) {
        ReportBody(faultIndex, sources[faultIndex].File, DescribeImageFault(fault));
        return BuilderRefused;
    }
    uint32_t imageSize = static_cast<uint32_t>(image.size());
    uint32_t checksum = PayloadChecksum(image.data(), imageSize);

    std::vector<uint8_t> resource;
    uint32_t compressFault = CompressPayloadImage(image, &resource);
    if (compressFault != CompressOk) {
        std::fprintf(stderr, "payload_builder: %s\n", DescribeCompressFault(compressFault));
        return BuilderRefused;
    }
    std::string header = FormatHeader(static_cast<uint32_t>(resource.size()), imageSize, checksum);
    if (!WriteOutput(arguments.ResourcePath, resource.data(), resource.size())) {
        return BuilderRefused;
    }
    if (!WriteOutput(arguments.HeaderPath, header.data(), header.size())) {
        std::remove(arguments.ResourcePath);
        return BuilderRefused;
    }
    return BuilderOk;
}
