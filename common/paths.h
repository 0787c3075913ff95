#pragma once

#include <cstdint>

// Characters of the install and Start-menu folders and of the folder picker's answer, terminator
// included; the uninstaller's own path fits in as much.
constexpr uint32_t PathCapacity = 300;

// Where the directory walk may first test a prefix: once this many separators have been seen (the
// current one included) and at this character index or later. The server of a network path and the
// root of a drive are never created.
struct RootRule {
    uint32_t Separators;
    uint32_t FirstIndex;
};

// Makes a folder string end with a backslash, so that a file name can be appended directly; only the
// last character is looked at. The buffer needs room for the current length plus two characters.
void EnsureTrailingSeparator(wchar_t* path);

// A chosen folder of PathCapacity characters made plain as the platform resolves it, ending in a
// backslash, before anything is created in it, recorded or compared.
void MakeFolderPlain(wchar_t* folder);

bool IsExistingFolder(const wchar_t* path);

// True when a file, not a folder, is at the path.
bool IsFileInPlace(const wchar_t* path);

// A saved folder is taken only as a full path: a drive letter, a colon and a separator, or
// \\server\share. Anything else would name a folder relative to wherever the program was started.
bool IsFullPath(const wchar_t* path);

// Cuts the folder in place to the one above it, keeping its separator: 1 when cut, 0 when it is
// already a root (a drive root, a share root \\server\share\, the current drive's root) or the
// first name of a relative path. The server of a network path is never reached.
uint32_t CutToParentFolder(wchar_t* folder);

// Creates every missing folder along the path, outside in, up to its last separator.
// 1 when each folder examined exists or was made, 0 at the first creation that fails. A path of 260
// characters or more does not fit the working copy: nothing is created and the result is 0.
uint32_t CreateDirectoryChain(const wchar_t* path);

// The rule for a network path, a path from the current drive's root, a drive path or a relative path,
// chosen from the first two characters. The path must not be empty.
RootRule ChooseRootRule(const wchar_t* path);
