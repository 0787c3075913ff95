#pragma once

#include <windows.h>

#include <cstdint>

// Sets one value under HKEY_LOCAL_MACHINE in the 32-bit program's registry view, opening and closing
// its key. 1 when the value was set, 0 when the key could not be created or opened or the value set.
uint32_t WriteRegistryValue(const wchar_t* keyPath, const wchar_t* valueName, DWORD type, const void* data,
                            DWORD byteCount);

// Reads AppPath of the key into the destination (PathCapacity characters, zero-filled), at most
// PathCapacity - 2 characters of it. 1 when it was read.
uint32_t ReadSavedInstallPath(const wchar_t* keyPath, wchar_t* destination);

// A value's type and data, for remembering it before it is written: ERROR_SUCCESS, ERROR_FILE_NOT_FOUND
// when the key or the value is not there, ERROR_MORE_DATA when the data exceeds *byteCount.
LONG ReadRegistryValue(const wchar_t* keyPath, const wchar_t* valueName, DWORD* type, BYTE* data,
                       DWORD* byteCount);
