#pragma once

#include "common/command_line.h"

#include <windows.h>

// What the installer and the uninstaller do alike before their own work, and at their end: the help,
// the one-installation-at-a-time check, the log and a refused command line.

struct RunRules {
    uint32_t Switches;        // the SwitchBit values the program accepts
    const wchar_t* Role;      // the program's part, named in the log's first line
    const wchar_t* Usage;     // the switches and exit codes, as the help shows them
    bool InheritableClaim;    // whether a process started in turn keeps the installation claimed
    // Whether the /log names a file the program itself writes, which the log would take the place of;
    // null when none can be named.
    bool (*LogNamesOwnFile)(const CommandLine& arguments);
};

struct RunStart {
    CommandLine Arguments;
    HANDLE Claim;
    HANDLE Log;
};

// Only the wizard's mode may wait for a person; /passive shows its window and nothing else.
bool MayShowMessageBox(RunMode mode);

// True when the program goes on with its work. Otherwise *exitCode says how it ends: the help was
// shown (0), another installation runs (1618) or the command line was refused (1639).
bool BeginRun(const wchar_t* commandLine, const RunRules& rules, RunStart* run, int* exitCode);

// Logs the exit code, then closes the log and gives up the claim; for every run that began.
void EndRun(RunStart* run, int exitCode);
