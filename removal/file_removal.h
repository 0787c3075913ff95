#pragma once

#include "removal/removal_outcome.h"

#include <windows.h>

// Where the names of what is handed to the restart, or left behind, are written: the /log file, or
// null for none. A deployment tool that is told 3010 learns from it what waits for the restart.
void ReportRemovalsTo(HANDLE log);

// Deletes a file of the pack; a file already gone counts as removed. One that is in use is handed to
// the system, which deletes it at the next restart before anything can open it again. A folder that
// bears the file's name is someone's own, not the pack's: it stays, and nothing is handed on.
RemovalOutcome RemoveFileNowOrAtRestart(const wchar_t* path);

// Removes a folder (given without a trailing backslash) once it is empty. A folder that still holds
// other people's files stays; one that holds files waiting for the restart (earlier says so) is handed
// to the system as well, so that it goes after them.
RemovalOutcome RemoveFolderWhenEmpty(const wchar_t* folder, RemovalOutcome earlier);
