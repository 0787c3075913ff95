#pragma once

#include "install/registrations.h"
#include "setup/setup_state.h"

// What the install folder holds beside the programs: the uninstaller, and nothing left over.

// Run before the first program goes in: makes the folder, removes the temporary files an installation
// cut short left there, and lists the installation with its uninstaller in place at its path (null when
// the path did not fit), so that whatever this installation writes can be taken back. The entry is
// written before the uninstaller takes its name: there is no moment in which an uninstaller stands
// unlisted. Adds no line to the details list: the final step writes both again and reports them.
// 0 when the uninstaller is in place (or takes the place of one in use at the next restart); otherwise
// the error that kept it out: nothing could take anything back, and the installation is undone.
DWORD PrepareInstallFolder(SetupState& setup, const wchar_t* uninstaller, const RegistrationStrings& entry);

// WriteEntryToFile's result for the uninstaller's body at the path, with the error of a failed call.
uint32_t WriteUninstaller(SetupState& setup, const wchar_t* path, DWORD* error);
