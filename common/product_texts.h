#pragma once

// Literals that more than one part of the installer shows or writes.
constexpr const wchar_t* MakerName = L"Kelvorin";
constexpr const wchar_t* ProductTitle = L"Kelvorin App Pack (32-bit)";
// As the version block gives it; the logs name the version that ran.
constexpr const wchar_t* ProductVersion = L"23.8.0.0";
