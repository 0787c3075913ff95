#pragma once

#include "common/bounded_text.h"

#include <cstdint>

// Comparisons of the uninstaller; its texts are composed with the bounded text operations.

// Case-insensitive, as Windows compares file names and registry data naming files.
bool SameText(const wchar_t* a, const wchar_t* b);

// Cuts a path right after its last backslash, leaving its folder; the length kept, backslash
// included, or 0 when the path holds no backslash.
uint32_t CutToFolder(wchar_t* path);
