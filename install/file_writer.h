#pragma once

#include <windows.h>

#include <cstdint>

// WriteEntryToFile's result for a file written whole that takes the place of one in use only at the
// next restart.
constexpr uint32_t WrittenForRestart = 18;

// The calls whose failures Wine cannot produce (a full disk half-way, a disk refusing the data on its
// way out, a replace refused as Windows refuses it for a read-only target); tests replace them, the
// product never does.
namespace FileWriterSeams {
extern BOOL(WINAPI* WriteFileCall)(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED);
extern BOOL(WINAPI* FlushFileBuffersCall)(HANDLE);
extern BOOL(WINAPI* MoveFileExCall)(LPCWSTR, LPCWSTR, DWORD);
}  // namespace FileWriterSeams
