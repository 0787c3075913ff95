#pragma once

#include "setup/setup_state.h"

// What the install folder holds beside the programs: the uninstaller, and nothing left over.

// Run before the first program goes in: makes the folder, removes the temporary files an installation
// cut short left there, and puts the uninstaller in place at its path (null when the path did not fit),
// so that whatever this installation manages to write can be taken back. Adds no line to the details
// list: the final step writes the uninstaller again and reports it. True when an uninstaller, this one
// or an earlier installation's, is in place.
bool PrepareInstallFolder(SetupState& setup, const wchar_t* uninstaller);

// WriteEntryToFile's result for the uninstaller's body at the path.
uint32_t WriteUninstaller(SetupState& setup, const wchar_t* path);

// True when a file, not a folder, is at the path.
bool IsFileInPlace(const wchar_t* path);
