#include "common/paths.h"

#include "common/plain_path.h"

#include <windows.h>

namespace {

// The walk copies the path into a buffer of this size, so it fits paths of at most 259 characters.
constexpr uint32_t WorkingCopyCapacity = MAX_PATH;

bool IsPathSeparator(wchar_t c);
bool IsDriveLetter(wchar_t c);
uint32_t FolderRootLength(const wchar_t* folder, uint32_t length);
uint32_t MakeFolder(const wchar_t* prefix);

}  // namespace

void EnsureTrailingSeparator(wchar_t* path) {
    uint32_t n = 0;
    while (path[n] != L'\0') {
        ++n;
    }
    if (n > 0 && IsPathSeparator(path[n - 1])) {
        --n;
    }
    path[n] = L'\\';
    path[n + 1] = L'\0';
}

void MakeFolderPlain(wchar_t* folder) {
    // Room is kept for the separator; a plain form that does not fit leaves the folder as given, for the
    // check of its length to refuse.
    static_cast<void>(MakePathPlain(folder, PathCapacity - 1));
    EnsureTrailingSeparator(folder);
}

bool IsExistingFolder(const wchar_t* path) {
    DWORD attributes = ::GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool IsFileInPlace(const wchar_t* path) {
    DWORD attributes = ::GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool IsFullPath(const wchar_t* path) {
    if (IsDriveLetter(path[0]) && path[1] == L':') {
        return IsPathSeparator(path[2]);
    }
    if (!IsPathSeparator(path[0]) || !IsPathSeparator(path[1])) {
        return false;
    }
    uint32_t i = 2;
    while (path[i] != L'\0' && !IsPathSeparator(path[i])) {
        ++i;
    }
    // A server name, a separator, then a share name.
    return i > 2 && IsPathSeparator(path[i]) && path[i + 1] != L'\0' && !IsPathSeparator(path[i + 1]);
}

uint32_t CutToParentFolder(wchar_t* folder) {
    uint32_t length = 0;
    while (folder[length] != L'\0') {
        ++length;
    }
    const uint32_t root = FolderRootLength(folder, length);
    if (length <= root) {
        return 0;
    }
    // The folder's own trailing separator stays out of the search for the one before it.
    uint32_t end = length - 1;
    while (end > root && !IsPathSeparator(folder[end - 1])) {
        --end;
    }
    if (end == 0) {
        return 0;
    }
    folder[end] = L'\0';
    return 1;
}

RootRule ChooseRootRule(const wchar_t* path) {
    if (IsPathSeparator(path[0])) {
        if (IsPathSeparator(path[1])) {
            return {4, 5};  // \\server\share\: the share root ends at the fourth separator
        }
        return {2, 2};
    }
    if (path[1] == L':') {
        return {2, 4};
    }
    return {1, 1};
}

uint32_t CreateDirectoryChain(const wchar_t* path) {
    wchar_t prefix[WorkingCopyCapacity] = {};
    // Measured before anything is made, so a path that cannot fit the copy leaves the disk untouched.
    uint32_t length = 0;
    while (length < WorkingCopyCapacity && path[length] != L'\0') {
        ++length;
    }
    if (length == WorkingCopyCapacity) {
        return 0;
    }
    if (length == 0) {
        return 1;
    }
    RootRule rule = ChooseRootRule(path);
    uint32_t separators = 0;
    for (uint32_t j = 0; j < length; ++j) {
        prefix[j] = path[j];
        if (!IsPathSeparator(path[j])) {
            continue;
        }
        ++separators;
        // The zero fill terminates the prefix right after this separator.
        if (separators >= rule.Separators && j >= rule.FirstIndex && !MakeFolder(prefix)) {
            return 0;
        }
    }
    return 1;
}

namespace {

bool IsPathSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

bool IsDriveLetter(wchar_t c) {
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

// How much of the folder is its root: the share root of a network path (the volume lives there, not
// on the server), the current drive's root, a drive root, a bare drive, or nothing for a relative path.
uint32_t FolderRootLength(const wchar_t* folder, uint32_t length) {
    if (IsPathSeparator(folder[0]) && IsPathSeparator(folder[1])) {
        uint32_t separators = 0;
        for (uint32_t i = 0; i < length; ++i) {
            if (IsPathSeparator(folder[i]) && ++separators == 4) {
                return i + 1;
            }
        }
        return length;
    }
    if (IsPathSeparator(folder[0])) {
        return 1;
    }
    if (folder[0] != L'\0' && folder[1] == L':') {
        return IsPathSeparator(folder[2]) ? 3 : 2;
    }
    return 0;
}

uint32_t MakeFolder(const wchar_t* prefix) {
    if (IsExistingFolder(prefix)) {
        return 1;
    }
    return ::CreateDirectoryW(prefix, nullptr) ? 1 : 0;
}

}  // namespace
