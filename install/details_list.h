#pragma once

#include "setup/setup_state.h"

// The lines of the Progress page's details list: what the installation writes, and what failed. Each
// line goes to the list when the wizard shows one and to the log when one was asked for.

void AddDetailsLine(const SetupState& setup, const wchar_t* line);

// "ERROR: Write failed." under the line that names what failed, and one more error. The log adds the
// Windows error behind it, when there is one (error is then not 0).
void CountFailedWrite(SetupState& setup, DWORD error);

// "ERROR: Removal failed." under the line that names what stays, and one more error.
void CountFailedRemoval(SetupState& setup);

// A registry value that could not be written: its key, as HKLM\ and the key path, then the error. The
// Windows error is the thread's last one, as the registry layer leaves it.
void CountFailedRegistryWrite(SetupState& setup, const wchar_t* keyPath);
