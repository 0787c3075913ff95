#pragma once

#include "removal/installation.h"
#include "removal/removal_outcome.h"

// Deletes the temporary files an installation cut short left in the installation's folder, those in
// use at the next restart. Files of any other name are not the pack's and stay.
RemovalOutcome RemoveLeftoverFiles(const Installation& installation);

// The same in another folder of the pack's, given with its trailing backslash: the Start-menu folder,
// where an installation cut short may have left a link it had put aside.
RemovalOutcome RemoveLeftoverFilesIn(const wchar_t* folder);
