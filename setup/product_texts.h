#pragma once

// Literals that more than one part of the installer shows or writes.
constexpr const wchar_t* MakerName = L"Kelvorin";
constexpr const wchar_t* ProductTitle = L"Kelvorin App Pack (32-bit)";
