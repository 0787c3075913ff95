#pragma once

#include "setup/setup_state.h"

#include <cstdint>

// The programs an installation is about to replace that are in use: running, or held open without
// sharing. Found before anything is written, so that a person can close them first.

// The programs and the uninstaller in the install folder, and those of an earlier installation elsewhere.
constexpr uint32_t InUseSlots = 2 * (ComponentCount + 1);
constexpr uint32_t InUseNameCapacity = PathCapacity + 64;  // a process name and the file's path

struct ProgramsInUse {
    uint32_t Count;
    wchar_t Names[InUseSlots][InUseNameCapacity];
};

// Looks at the chosen components' programs and the uninstaller in the install folder, and at the
// programs of the installation this one replaces that it removes. Each is named by
// the processes that use it where the platform's Restart Manager names them, as "Ostrel (path)", else
// by its path.
void FindProgramsInUse(const SetupState& setup, uint32_t components, ProgramsInUse& found);

// True when the file is there and another process keeps it from being written: a running program, or
// a file opened without sharing.
bool IsFileInUse(const wchar_t* path);

// A failed open or move whose reason is another process holding the file.
bool IsInUseError(DWORD error);

// "Name (path)" from the Restart Manager's names, else the path alone; pure, for the tests. The names
// are those of the processes, at most count of them.
void ComposeInUseName(const wchar_t* path, const wchar_t* const* processNames, uint32_t count, wchar_t* out);

// The log's lines for what was found: one line per program, under a heading.
void LogProgramsInUse(const SetupState& setup, const ProgramsInUse& found);
