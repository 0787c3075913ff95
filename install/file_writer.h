#pragma once

#include <windows.h>

// The one call Wine cannot make fail half-way (a full disk); tests replace it, the product never does.
namespace FileWriterSeams {
extern BOOL(WINAPI* WriteFileCall)(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED);
}  // namespace FileWriterSeams
