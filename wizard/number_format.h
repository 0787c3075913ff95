#pragma once

#include <cstdint>

// Writes value into out through a format with one conversion ("%u MB"; "x" gives hexadecimal) and
// returns the characters written. The output, terminator included, never exceeds 64 bytes.
uint32_t FormatUnsigned(char* out, const char* format, uint32_t value);
