#pragma once

#include "product_version.h"

#include <cstdint>

// A version of the pack as one number, its four parts from the most significant down, so that two
// versions compare as two numbers do.
using VersionNumber = uint64_t;

constexpr VersionNumber MakeVersionNumber(uint32_t major, uint32_t minor, uint32_t build, uint32_t revision) {
    return (static_cast<VersionNumber>(major) << 48) | (static_cast<VersionNumber>(minor) << 32) |
           (static_cast<VersionNumber>(build) << 16) | revision;
}

// The version this program was built as.
constexpr VersionNumber ThisVersion = MakeVersionNumber(KELVORIN_VERSION_MAJOR, KELVORIN_VERSION_MINOR,
                                                        KELVORIN_VERSION_BUILD, KELVORIN_VERSION_REVISION);

// "a.b.c.d" with each part a decimal number from 0 to 65535, and nothing before, between or after:
// the form the build takes and the record holds. True when the text is one; *version is then set.
bool ParseVersionText(const wchar_t* text, VersionNumber* version);
