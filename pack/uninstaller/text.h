#pragma once

#include <cstdint>
#include <initializer_list>

// Joins the parts into the buffer, always terminated. 1 when everything fit, 0 when it was cut short;
// a cut text is never used to name a file or key. The first part may be the buffer itself, to extend it.
uint32_t JoinText(wchar_t* out, uint32_t capacity, std::initializer_list<const wchar_t*> parts);

// Case-insensitive, as Windows compares file names and registry data naming files.
bool SameText(const wchar_t* a, const wchar_t* b);

// The same folder, written with or without its trailing backslash.
bool SameFolder(const wchar_t* a, const wchar_t* b);

// Cuts a path right after its last backslash, leaving its folder; the length kept, backslash
// included, or 0 when the path holds no backslash.
uint32_t CutToFolder(wchar_t* path);
