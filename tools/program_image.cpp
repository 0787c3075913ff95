#include "program_image.h"

#include <cstdio>

static const uint64_t PeOffsetField = 0x3C;
static const uint64_t FileHeaderBytes = 20;
static const uint16_t MachineI386 = 0x14C;
static const uint16_t OptionalMagicPe32 = 0x10B;
static const uint16_t CharacteristicDll = 0x2000;

static uint16_t ReadUint16(const uint8_t* data);
static uint32_t ReadUint32(const uint8_t* data);
static const char* MachineName(uint16_t machine);

static uint16_t ReadUint16(const uint8_t* data) {
    return static_cast<uint16_t>(data[0] | data[1] << 8);
}

static uint32_t ReadUint32(const uint8_t* data) {
    return static_cast<uint32_t>(data[0]) | static_cast<uint32_t>(data[1]) << 8 |
           static_cast<uint32_t>(data[2]) << 16 | static_cast<uint32_t>(data[3]) << 24;
}

uint32_t CheckProgramImage(const uint8_t* data, uint64_t size) {
    if (size < PeOffsetField + 4 || data[0] != 'M' || data[1] != 'Z') {
        return ProgramNoMzHeader;
    }
    // 64-bit arithmetic: a 32-bit offset near 4 GiB must not wrap back into the file.
    uint64_t signature = ReadUint32(data + PeOffsetField);
    uint64_t fileHeader = signature + 4;
    uint64_t optionalHeader = fileHeader + FileHeaderBytes;
    if (optionalHeader > size || data[signature] != 'P' || data[signature + 1] != 'E' ||
        data[signature + 2] != 0 || data[signature + 3] != 0) {
        return ProgramNoPeHeader;
    }
    if (ReadUint16(data + fileHeader) != MachineI386) {
        return ProgramNotI386;
    }
    uint16_t optionalSize = ReadUint16(data + fileHeader + 16);
    if (optionalSize < 2 || optionalHeader + optionalSize > size ||
        ReadUint16(data + optionalHeader) != OptionalMagicPe32) {
        return ProgramNotPe32;
    }
    if ((ReadUint16(data + fileHeader + 18) & CharacteristicDll) != 0) {
        return ProgramIsDll;
    }
    return ProgramOk;
}

// The processors a maker is likely to have built for by mistake, by their names in the PE format.
static const char* MachineName(uint16_t machine) {
    switch (machine) {
        case 0x8664:
            return "x64";
        case 0xAA64:
            return "ARM64";
        case 0x1C4:
            return "ARM";
        case 0x200:
            return "IA-64";
        default:
            return "unknown";
    }
}

std::string DescribeProgramFault(uint32_t fault, const uint8_t* data) {
    if (fault == ProgramNotI386) {
        char text[96];
        uint16_t machine = ReadUint16(data + ReadUint32(data + PeOffsetField) + 4);
        std::snprintf(text, sizeof text, "not a 32-bit (i386) Windows program: its Machine is 0x%X (%s), not 0x14C",
                      machine, MachineName(machine));
        return text;
    }
    switch (fault) {
        case ProgramOk:
            return "a 32-bit Windows program";
        case ProgramNoMzHeader:
            return "not a Windows program: no MZ header";
        case ProgramNoPeHeader:
            return "not a Windows program: no PE header where its MZ header points";
        case ProgramNotPe32:
            return "not a 32-bit Windows program: no PE32 optional header (magic 0x10B)";
        case ProgramIsDll:
            return "a DLL, not a program";
        default:
            return "unknown fault";
    }
}
