#pragma once

#include "common/command_line.h"
#include "removal/installation.h"
#include "removal/removal_outcome.h"

#include <windows.h>

// A running program cannot delete its own file, but it can move it aside on its volume. The uninstaller
// makes a folder of its own that only administrators and the system can write, puts a copy of itself
// there and moves its own file in beside it: it then removes the install folder itself and reports the
// truth. The copy waits for the uninstaller to end, deletes its file, removes the folder and ends; its
// own file goes when its last handle closes, one opened for deletion on close that the uninstaller
// hands down. A clean removal leaves nothing for the restart and no file anywhere.
// A file moves only on its volume: an install folder on another volume than the temporary folder gets
// a folder of the same kind beside it for the uninstaller's file, which the copy clears as well.

struct RemovalCopy {
    wchar_t Folder[PathCapacity];    // the copy's own folder, with its backslash
    wchar_t Program[PathCapacity];   // the copy
    wchar_t Original[PathCapacity];  // where the uninstaller's own file is
    // The folder besides its own where the copy deletes the uninstaller's file, uninstall.exe, and
    // which it then removes: the one beside the install folder, or the install folder itself when the
    // file could not leave it. Empty when the file is in the copy's own folder.
    wchar_t Aside[PathCapacity];
    bool Moved;                      // the uninstaller's file left the install folder
    HANDLE ProgramFile;              // the copy, open for deletion on close
};

// Makes the folder and the copy and checks the folder before anything uses it. False, with nothing
// left behind, when any of it fails.
bool PrepareRemovalCopy(RemovalCopy* copy);

// Moves the uninstaller's file out of the install folder; a file that cannot move (held open) is handed
// to the restart where it is.
RemovalOutcome MoveUninstallerAside(const Installation& installation, RemovalCopy* copy);

// Starts the copy, handing it this process, the outcome and the folder aside. 1 when it runs, and it
// shows the result unless quiet. Otherwise the copy is deleted at once and the uninstaller's moved file
// goes at the restart, which *outcome then tells.
uint32_t StartRemovalCopy(RemovalCopy* copy, RemovalOutcome* outcome, bool quiet);

// True when the command line is the copy's: /finish with a process to wait for and a known outcome.
bool IsRemovalCopy(const CommandLine& arguments);

// The copy's work: waits for the uninstaller to end, deletes its file, leaves its own folder and removes
// it. What the copy achieved, to be combined with the uninstaller's outcome.
RemovalOutcome FinishRemoval(const CommandLine& arguments);
