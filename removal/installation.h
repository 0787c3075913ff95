#pragma once

#include "common/component_table.h"
#include "common/paths.h"

#include <cstdint>

// Room for anything built from a path of the installation: a command, a key path, a link's path.
constexpr uint32_t TextCapacity = 600;

// The installation being removed: for the uninstaller, the folder it lives in. That folder, not the
// saved AppPath, decides which files go; a registry entry goes only while it names this folder.
struct Installation {
    wchar_t Program[PathCapacity];  // the uninstaller's own path, in its long form
    wchar_t Folder[PathCapacity];   // its folder, ending in a backslash
    // The outermost folder above it that the installation recorded as created, with its backslash;
    // empty when none was recorded or the record names no folder above this one.
    wchar_t CreatedFolder[PathCapacity];
};

// 1 when the uninstaller's own path could be read whole. Reads the record of created folders too.
uint32_t FindInstallation(Installation* installation);

// The installation in the folder (ending in a backslash), as the installer sees one it replaces: its
// uninstaller where the installer puts it. 1 when both paths fit.
uint32_t ComposeInstallation(const wchar_t* folder, Installation* installation);

// Where the installer put the component's program: the folder, its name, ".exe", composed as the
// installer composed it, in an out buffer of PathCapacity. 0 when it does not fit.
uint32_t ComposeComponentPath(const Installation& installation, uint32_t component, wchar_t* out);
