#pragma once

#include "setup/setup_state.h"

// The lines of the Progress page's details list: what the installation writes, and what failed.

void AddDetailsLine(const SetupState& setup, const wchar_t* line);

// "ERROR: Write failed." under the line that names what failed, and one more error.
void CountFailedWrite(SetupState& setup);

// A registry value that could not be written: its key, as HKLM\ and the key path, then the error.
void CountFailedRegistryWrite(SetupState& setup, const wchar_t* keyPath);
