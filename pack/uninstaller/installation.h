#pragma once

#include "setup/component_table.h"

#include <cstdint>

// The uninstaller's own name comes last in the table of names; the components come before it.
constexpr uint32_t ComponentCount = sizeof(ComponentNames) / sizeof(ComponentNames[0]) - 1;

// Room for the uninstaller's own path; the installer's folders are shorter still.
constexpr uint32_t PathCapacity = 260;
// Room for anything built from such a path: a component's path, a command, a key path.
constexpr uint32_t TextCapacity = 600;

// The installation being removed: the folder the running uninstaller lives in. That folder, not the
// saved AppPath, decides which files go; a registry entry goes only while it names this folder.
struct Installation {
    wchar_t Program[PathCapacity];  // the uninstaller's own path, in its long form
    wchar_t Folder[PathCapacity];   // its folder, ending in a backslash
};

// 1 when the uninstaller's own path could be read whole.
uint32_t FindInstallation(Installation* installation);

// Where the installer put the component's program: the folder, its name, ".exe". 0 when it does not fit.
uint32_t ComposeComponentPath(const Installation& installation, uint32_t component, wchar_t* out);
