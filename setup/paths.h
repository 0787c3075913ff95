#pragma once

#include <cstdint>

// Makes a folder string end with exactly the one backslash a file name is appended after. The buffer
// needs room for the current length plus two characters.
void EnsureTrailingSeparator(wchar_t* path);

// Creates every missing folder along the path, outside in, up to its last separator.
// 1 when each folder examined exists or was made, 0 at the first creation that fails.
uint32_t CreateDirectoryChain(const wchar_t* path);
