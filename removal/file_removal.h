#pragma once

#include "removal/removal_outcome.h"

// Deletes a file; a file already gone counts as removed. One that is in use is handed to the system,
// which deletes it at the next restart before anything can open it again.
RemovalOutcome RemoveFileNowOrAtRestart(const wchar_t* path);

// Removes a folder (given without a trailing backslash) once it is empty. A folder that still holds
// other people's files stays; one that holds files waiting for the restart (earlier says so) is handed
// to the system as well, so that it goes after them.
RemovalOutcome RemoveFolderWhenEmpty(const wchar_t* folder, RemovalOutcome earlier);
