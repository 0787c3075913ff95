#pragma once

#include "removal/installation.h"
#include "removal/removal_outcome.h"

#include <windows.h>

// A running program cannot delete its own file. The uninstaller therefore starts a copy of itself in
// the temporary folder, which waits for it to end, deletes its file and the install folder, and shows
// the result. The copy's own file is opened for deletion on close and that handle handed down to the
// copy, so the system deletes the copy when it ends; the copy is also named for deletion at the next
// restart, for a system that keeps it.

// What the copy is told on its command line.
struct HelperRequest {
    HANDLE Original;         // the uninstaller's process, to wait for
    RemovalOutcome Outcome;  // what the uninstaller achieved before it ended
    wchar_t Program[PathCapacity];
    bool Quiet;              // /quiet: no message at the end either
};

// 1 when the copy runs; it then reports the result (unless quiet), and the uninstaller only has to end.
uint32_t StartRemovalHelper(const Installation& installation, RemovalOutcome outcome, bool quiet);

// True when the command line is the copy's, as StartRemovalHelper writes it, naming a process.
bool ReadHelperRequest(const wchar_t* commandLine, HelperRequest* request);

// The copy's work: waits for the uninstaller to end, then removes it. The outcome of the whole removal.
RemovalOutcome FinishAfterUninstaller(const HelperRequest& request);

// Deletes the uninstaller's file and its folder once empty, either or both at the next restart.
RemovalOutcome RemoveUninstallerAndFolder(const wchar_t* program, RemovalOutcome earlier);
