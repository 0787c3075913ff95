#pragma once

#include <cstdint>
#include <string>

enum ProgramFault : uint32_t {
    ProgramOk = 0,
    ProgramNoMzHeader = 1,
    ProgramNoPeHeader = 2,
    ProgramNotI386 = 3,
    ProgramNotPe32 = 4,
    ProgramIsDll = 5,
};

// Whether the bytes are a 32-bit Windows program the installer can put on any Windows: the MZ header,
// the PE signature it points at, Machine i386 and the PE32 optional header. Reads nothing past
// size, whatever the header fields claim.
uint32_t CheckProgramImage(const uint8_t* data, uint64_t size);

// What is wrong with the image, for a maker to read; a wrong Machine is named with what it is. data is
// the image CheckProgramImage judged.
std::string DescribeProgramFault(uint32_t fault, const uint8_t* data);
