#pragma once

#include <cstdint>

// Writes value into out through a format with one conversion ("%u MB"); returns the characters written.
uint32_t FormatUnsigned(char* out, const char* format, uint32_t value);

// The Folder page's Browse command: the folder picker, then the chosen folder becomes the install folder.
void ChooseInstallFolder();
