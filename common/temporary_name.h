#pragma once

#include "common/bounded_text.h"

#include <windows.h>

#include <cstdint>

// A program is written beside its target under a name of the installer's own, "~kv", three hexadecimal
// digits and ".tmp", and moved over the target once whole. The name is no longer than the shortest name
// the installer writes (Blorra.exe), so that a temporary path fits wherever its target's path fits.
// An installation cut short leaves such a file behind: the next installation and the uninstaller remove
// files of this form, and no other. Header-only, since the uninstaller shares it.

constexpr uint32_t TemporaryNameLength = 10;
constexpr uint32_t TemporaryNameCount = 0x1000;  // as many names as three digits give

namespace TemporaryNameParts {
constexpr wchar_t Prefix[] = L"~kv";
constexpr wchar_t Extension[] = L".tmp";
constexpr uint32_t PrefixLength = 3;
constexpr uint32_t Digits = 3;
constexpr wchar_t HexDigits[] = L"0123456789abcdef";
}  // namespace TemporaryNameParts

// The name for unique, taken modulo TemporaryNameCount; out holds TemporaryNameLength + 1 characters.
inline void ComposeTemporaryName(wchar_t* out, uint32_t unique) {
    using namespace TemporaryNameParts;
    uint32_t length = 0;
    for (uint32_t i = 0; i < PrefixLength; ++i) {
        out[length++] = Prefix[i];
    }
    for (uint32_t digit = Digits; digit > 0; --digit) {
        out[length++] = HexDigits[(unique >> (4 * (digit - 1))) & 0xF];
    }
    for (const wchar_t* extension = Extension; *extension != L'\0'; ++extension) {
        out[length++] = *extension;
    }
    out[length] = L'\0';
}

// Tries the temporary names in the path's folder one after the other until tryName is done with one.
// It gets each candidate, the folder and a name, in a buffer of capacity characters, and gives true
// when it took the name or failed for a reason another name would not cure, false to go on to the
// next one. Starting wherever the clock stands makes a clash with a leftover of an earlier run unlikely;
// any start works. Nothing is tried when the folder and a name do not fit.
inline void TryTemporaryNamesBeside(const wchar_t* path, wchar_t* candidate, uint32_t capacity,
                                    bool (*tryName)(const wchar_t* candidate, void* context), void* context) {
    if (!CopyText(candidate, capacity, path)) {
        return;
    }
    uint32_t nameStart = BoundedLength(candidate, capacity);
    while (nameStart > 0 && candidate[nameStart - 1] != L'\\') {
        --nameStart;
    }
    if (nameStart + TemporaryNameLength >= capacity) {
        return;
    }
    const uint32_t start = ::GetTickCount();
    for (uint32_t attempt = 0; attempt < TemporaryNameCount; ++attempt) {
        ComposeTemporaryName(candidate + nameStart, start + attempt);
        if (tryName(candidate, context)) {
            return;
        }
    }
}

// True for a name of exactly that form, in any case, as Windows compares names.
inline bool IsTemporaryName(const wchar_t* name) {
    using namespace TemporaryNameParts;
    wchar_t pattern[TemporaryNameLength + 1];
    ComposeTemporaryName(pattern, 0);
    for (uint32_t i = 0; i < TemporaryNameLength; ++i) {
        wchar_t c = LowerAscii(name[i]);
        bool isDigit = i >= PrefixLength && i < PrefixLength + Digits;
        bool matches = isDigit ? (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f') : c == pattern[i];
        if (!matches) {
            return false;  // a shorter name stops here, at its terminator
        }
    }
    return name[TemporaryNameLength] == L'\0';
}

// Hands visit the full path of every file (never a folder) in the folder, which ends in a backslash,
// that bears a temporary name. A folder too long to search is left alone.
inline void VisitTemporaryFiles(const wchar_t* folder, void (*visit)(const wchar_t* path, void* context),
                                void* context) {
    constexpr uint32_t Capacity = 2 * MAX_PATH;  // any folder either program holds, and a name
    wchar_t path[Capacity];
    uint32_t folderLength = static_cast<uint32_t>(::lstrlenW(folder));
    if (folderLength + TemporaryNameLength >= Capacity) {
        return;
    }
    ::lstrcpyW(path, folder);
    ::lstrcpyW(path + folderLength, TemporaryNameParts::Prefix);
    ::lstrcpyW(path + folderLength + TemporaryNameParts::PrefixLength, L"*");
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW(path, &found);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && IsTemporaryName(found.cFileName)) {
            ::lstrcpyW(path + folderLength, found.cFileName);
            visit(path, context);
        }
    } while (::FindNextFileW(search, &found) != FALSE);
    static_cast<void>(::FindClose(search));
}
