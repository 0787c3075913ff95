#pragma once

#include <cstdint>

// Text operations on fixed-size buffers of UTF-16 characters, the one set that the installer, the
// uninstaller and the pack's programs share. Each writes only inside the capacity it is given (at
// least 1) and keeps the string terminated. Those that return a result give 1 when the whole text
// fit and 0 when it was cut to fit; a cut text is never used to name a file or key.

// Length of the string, or capacity - 1 for a buffer that holds no terminator.
uint32_t BoundedLength(const wchar_t* buffer, uint32_t capacity);

uint32_t AppendText(wchar_t* buffer, uint32_t capacity, const wchar_t* text);

// Appends at most count characters of the text, fewer when it ends before them.
uint32_t AppendTextPart(wchar_t* buffer, uint32_t capacity, const wchar_t* text, uint32_t count);

// Replaces the buffer's string with the text.
uint32_t CopyText(wchar_t* buffer, uint32_t capacity, const wchar_t* text);

// Folds A to Z only: the names this project compares are plain ASCII, and no other letter may match one.
inline wchar_t LowerAscii(wchar_t c) {
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}
