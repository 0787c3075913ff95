#pragma once

#include "product_version.h"

// Literals that more than one part of the installer shows or writes.
constexpr const wchar_t* MakerName = L"Kelvorin";
constexpr const wchar_t* ProductTitle = L"Kelvorin App Pack (32-bit)";
// The maker's version, as the version block gives it; the logs name the version that ran.
constexpr const wchar_t* ProductVersion = L"" KELVORIN_VERSION_TEXT;
// What the list of installed programs shows.
constexpr const wchar_t* ProductDisplayVersion = L"" KELVORIN_DISPLAY_VERSION_TEXT;
constexpr unsigned long ProductVersionMajor = KELVORIN_VERSION_MAJOR;
constexpr unsigned long ProductVersionMinor = KELVORIN_VERSION_MINOR;
