#pragma once

#include "setup/setup_state.h"

#include <cstdint>

// Free space that could not be queried.
constexpr uint64_t UnknownFreeBytes = ~0ull;

// Bytes the ticked components need (bit n of tickedMask is component n) plus the uninstaller, which
// counts only when something is ticked. Unsigned 32-bit sums, as the uninstall entry expects.
uint32_t RequiredBytes(const PayloadEntry* directory, uint32_t tickedMask);

// Clears the first 64 bytes of text and writes "Space required:  " with the MiB figure, rounded up.
void WriteRequiredText(char* text, uint32_t bytesRequired);

// Turns the required text into the available one: the label over characters 6 to 16, then the free
// figure in the smallest unit whose count fits in 32 bits, or "?" when unknown.
void WriteAvailableText(char* text, uint64_t freeBytes);

// Whether "&Install" may be pressed: a non-empty selection strictly below the free space, with free
// space beyond 32 bits (or unknown) counting as 4,294,967,295 bytes.
bool InstallFits(uint32_t bytesRequired, uint64_t freeBytes);
