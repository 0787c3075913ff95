#pragma once

#include <cstdint>

// What removes a file or a key tree asks first, when one is set: the installer, which may have to put
// back what it removed should its installation fail, keeps each thing before it goes. The uninstaller
// sets none: its removals are final.
struct RemovalKeeper {
    // Moves the file to where it can be put back from: true when it is no longer at its path. False for
    // a path that is no file, or one that cannot be moved; the removal then goes on as a final one.
    bool (*SetFileAside)(void* context, const wchar_t* path);
    // Remembers every value under the key: true when all are kept and the tree may be deleted.
    bool (*KeepKeyTree)(void* context, const wchar_t* keyPath);
    void* Context;
};

// Null for none.
void KeepRemovalsWith(const RemovalKeeper* keeper);
const RemovalKeeper* CurrentRemovalKeeper();
