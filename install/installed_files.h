#pragma once

#include "setup/setup_state.h"

// Whether the path names a file that the installation writes into the chosen folders: a program, the
// uninstaller, a Start-menu link, or a temporary name of the install folder, which the installation
// removes as a leftover. Compared as the platform compares paths, short names and all.
bool NamesInstalledFile(const SetupState& setup, const wchar_t* path);
